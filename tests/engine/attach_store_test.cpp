// Attachments through the database file: data blocks, units, copies,
// renames, file information and temporary files.

#include <sys/stat.h>

#include <set>

#include "engine/changelog.h"
#include "platform/file_system.h"
#include "tests/engine/attach_test_support.h"

namespace corvane::testing {
namespace {

// The bytes of the block that holds `attachment` in the saved file.
std::string BlockBytes(TPwdBase& base, const TPwdFileAttach& attachment) {
  const TPwdFilesArchive& archive = FilesArchiveOf(base);
  const std::string file = ReadText(base.FileName);
  const std::int32_t offset = attachment.Unit ? attachment.Unit->Offset : attachment.Offset;
  const std::int32_t length = attachment.Unit ? attachment.Unit->StoredSize : attachment.StoredSize;
  return file.substr(static_cast<std::size_t>(archive.StartOffset + offset), static_cast<std::size_t>(length));
}

TEST_F(TAttachTest, AttachmentsComeBackWithTheirDescriptionAndContent) {
  const std::string small = "hello", large = Noise(200000, 1);
  Attach(*record_, "a.txt", small).SetComment("greeting");
  Attach(*record_, "b.bin", large);
  WriteText(Path("empty"), "");
  FilesOf(*record_).Add()->LoadFromFile(Path("empty"));
  Reopen();
  ASSERT_EQ(Files().Count(), 3);
  EXPECT_EQ(Files()[0]->FileName, "a.txt");
  EXPECT_EQ(Files()[0]->Comment, "greeting");
  EXPECT_EQ(Files()[1]->Size, 200000);
  EXPECT_EQ(Content(*Files()[0]), small);
  EXPECT_EQ(Content(*Files()[1]), large);
  EXPECT_EQ(Content(*Files()[2]), "");
  EXPECT_TRUE(FilesArchiveOf(*base_).Warning.empty());
}

TEST_F(TAttachTest, ThreeSmallFilesFormOneUnit) {
  for (int i = 0; i < 3; ++i) {
    TPwdFileAttach& attachment = Attach(*record_, "f" + std::to_string(i), Noise(2900, i));
    EXPECT_GT(attachment.EncodedSize, 2800);
    EXPECT_LT(attachment.EncodedSize, 3200);
  }
  Reopen();
  std::vector<TPwdFileAttach*> all = FilesArchiveOf(*base_).Attachments();
  ASSERT_EQ(all.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(all[i]->UnitPosition, i + 1);
    EXPECT_EQ(all[i]->Unit, all[0]->Unit);
    EXPECT_EQ(all[i]->Offset, all[0]->Offset);
  }
  ASSERT_TRUE(all[0]->Unit);
  EXPECT_EQ(all[0]->Unit->Members.size(), 3u);
  EXPECT_EQ(all[0]->Unit->HeaderSize, 60);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Content(*Files()[i]), Noise(2900, i));
}

TEST_F(TAttachTest, FilesOfTheUnitSizeOrMoreAndLoneSmallFilesStandAlone) {
  Attach(*record_, "big", Noise(9000, 1));
  Attach(*record_, "small", Noise(100, 2));
  EXPECT_GE(Files()[0]->EncodedSize, TPwdFilesArchive::kUnitTarget);
  Reopen();
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(Files()[i]->UnitPosition, 0);
    EXPECT_FALSE(Files()[i]->Unit);
  }
  EXPECT_NE(Files()[0]->Offset, Files()[1]->Offset);
  EXPECT_EQ(Content(*Files()[1]), Noise(100, 2));
}

TEST_F(TAttachTest, RenamingRewritesNoBlock) {
  Attach(*record_, "alone", Noise(20000, 1));
  for (int i = 0; i < 3; ++i) Attach(*record_, "u" + std::to_string(i), Noise(2900, 10 + i));
  Attach(*record_, "extra", Noise(9000, 2));  // its removal keeps the region from being copied whole
  Reopen();
  // A byte changed inside every block: a block that were decoded and
  // written again would fail the save; a copied one keeps the change.
  std::string file = ReadText(base_->FileName);
  std::vector<std::string> before;
  for (int i = 0; i < 4; ++i) {
    const TPwdFileAttach& attachment = *Files()[i];
    const std::int32_t offset = attachment.Unit ? attachment.Unit->Offset : attachment.Offset;
    const std::int32_t length = attachment.Unit ? attachment.Unit->StoredSize : attachment.StoredSize;
    file[static_cast<std::size_t>(FilesArchiveOf(*base_).StartOffset + offset + length / 2)] ^= 0x55;
  }
  WriteText(base_->FileName, file);
  for (int i = 0; i < 4; ++i) before.push_back(BlockBytes(*base_, *Files()[i]));
  Files()[0]->SetFileName("renamed");
  Files()[2]->SetFileName("renamed unit member");
  FilesOf(*record_).Delete(4);
  Save();
  for (int i = 0; i < 4; ++i) EXPECT_EQ(BlockBytes(*base_, *Files()[i]), before[i]) << i;
  base_ = OpenFile(Path("db.cvd"), "secret");
  record_ = &RecordAt(*base_, 0);
  EXPECT_EQ(Files()[0]->FileName, "renamed");
  EXPECT_EQ(Files()[2]->FileName, "renamed unit member");
  ASSERT_TRUE(Files()[1]->Unit);
  EXPECT_EQ(Files()[2]->Unit, Files()[1]->Unit);
}

TEST_F(TAttachTest, ExtractionRestoresLastWriteTimeAndReadOnly) {
  const std::uint64_t stamp = FileTimeFromUnix({1500000000, 0});
  WriteText(Path("doc"), "data");
  SetLastWriteTime(Path("doc"), stamp);
  SetReadOnly(Path("doc"), true);
  FilesOf(*record_).Add()->LoadFromFile(Path("doc"));
  Reopen();
  TPwdFileAttach& attachment = *Files()[0];
  EXPECT_EQ(attachment.GetLastWriteTime(), stamp);
  attachment.SaveToFile(Path("restored"));
  const TFileInfo info = GetFileInfo(Path("restored"));
  EXPECT_EQ(info.lastWriteTime, stamp);
  EXPECT_TRUE(info.IsReadOnly());
  EXPECT_EQ(ReadText(Path("restored")), "data");
}

TEST_F(TAttachTest, CopyWithinTheDatabaseSharesOneBlock) {
  TPwdPassword& other = AddRecord(*base_, "Other");
  TPwdFileAttach& original = Attach(*record_, "shared", Noise(30000, 3));
  FilesOf(other).Add()->Assign(original);
  EXPECT_EQ(FilesOf(other)[0]->TempFile, original.TempFile);
  Reopen();
  TPwdPassword& copyRecord = RecordAt(*base_, 1);
  EXPECT_EQ(FilesOf(copyRecord)[0]->Offset, Files()[0]->Offset);
  // The copy keeps its data when the original goes.
  FilesOf(*record_).Delete(0);
  Reopen();
  TPwdFileAttach& copy = *FilesOf(RecordAt(*base_, 1))[0];
  EXPECT_EQ(copy.FileName, "shared");
  EXPECT_EQ(Content(copy), Noise(30000, 3));
}

TEST_F(TAttachTest, CopyToAnotherDatabaseKeepsTheContent) {
  Attach(*record_, "doc", Noise(12000, 4));
  Reopen();
  struct TCase {
    const char* password;
    bool blockCopied;
  };
  for (const TCase& c : {TCase{"secret", true}, TCase{"other", false}}) {
    TPwdBase target;
    target.Password = c.password;
    target.Algorithms = base_->Algorithms;
    TPwdPassword& into = AddRecord(target, "Into");
    TPwdFileAttach& copy = *FilesOf(into).Add();
    copy.Assign(*Files()[0]);
    ASSERT_TRUE(copy.TempFile);
    EXPECT_EQ(ReadText(copy.TempFile->Path()) == BlockBytes(*base_, *Files()[0]), c.blockCopied) << c.password;
    target.SaveToFile(Path(std::string("target-") + c.password));
    auto reopened = OpenFile(Path(std::string("target-") + c.password), c.password);
    EXPECT_EQ(Content(*FilesOf(RecordAt(*reopened, 0))[0]), Noise(12000, 4));
  }
}

TEST_F(TAttachTest, ANewMasterPasswordReencodesTheBlocks) {
  Attach(*record_, "big", Noise(20000, 5));
  Attach(*record_, "s1", Noise(3000, 6));
  Attach(*record_, "s2", Noise(6000, 7));
  Reopen();
  base_->Password = "changed";
  base_->SaveToFile();
  base_ = OpenFile(Path("db.cvd"), "changed");
  record_ = &RecordAt(*base_, 0);
  EXPECT_EQ(Content(*Files()[0]), Noise(20000, 5));
  EXPECT_EQ(Content(*Files()[1]), Noise(3000, 6));
  EXPECT_EQ(Content(*Files()[2]), Noise(6000, 7));
}

TEST_F(TAttachTest, SavingUnderANewNameTakesTheBlocksFromTheFileRead) {
  Attach(*record_, "kept", Noise(20000, 8));
  Reopen();
  Attach(*record_, "new", "fresh");
  base_->SaveToFile(Path("elsewhere.cvd"));
  auto copy = OpenFile(Path("elsewhere.cvd"), "secret");
  TPwdFilesList& files = FilesOf(RecordAt(*copy, 0));
  ASSERT_EQ(files.Count(), 2);
  EXPECT_EQ(Content(*files[0]), Noise(20000, 8));
  EXPECT_EQ(Content(*files[1]), "fresh");
}

TEST_F(TAttachTest, RemovalNeedsNoDataAndIsLogged) {
  Attach(*record_, "gone", "x");
  Reopen();
  FilesOf(*record_).Delete(0);
  const TPwdBaseChangeRec& entry = (*base_->ChangesLog)[base_->ChangesLog->Count() - 1];
  EXPECT_EQ(entry.FieldNumber, kLogAttachment);
  EXPECT_EQ(entry.ChangeKind, TChangeKind::Update);
  EXPECT_EQ(entry.OldText, "gone");
  EXPECT_EQ(entry.NewText, "");
  Reopen();
  EXPECT_EQ(Files().Count(), 0);
}

TEST_F(TAttachTest, TemporaryFilesGoWithTheirLastUser) {
  // Data below the unit size wait in memory; larger ones in files.
  Attach(*record_, "small", "tiny");
  EXPECT_EQ(TempFiles(), 0);
  TPwdFileAttach& first = Attach(*record_, "a", Noise(9000, 1));
  EXPECT_EQ(TempFiles(), 1);
  FilesOf(AddRecord(*base_, "Copy")).Add()->Assign(first);
  EXPECT_EQ(TempFiles(), 1);
  first.LoadFromFile(Path("a"));  // replaced: the copy keeps the old file
  EXPECT_EQ(TempFiles(), 2);
  Save();
  EXPECT_EQ(TempFiles(), 0);
  Attach(*record_, "b", Noise(9000, 2));
  EXPECT_EQ(TempFiles(), 1);
  base_.reset();  // closed without saving
  EXPECT_EQ(TempFiles(), 0);
}

TEST_F(TAttachTest, SizesBeyondTheSignedRangeAreRefused) {
  TPwdFileAttach& attachment = *Files().Add();
  attachment.FileName = "huge.iso";
  TMemoryStream nothing;
  try {
    attachment.SetData(nothing, 0x80000000ull);
    FAIL();
  } catch (const TError& error) {
    EXPECT_STREQ(error.what(), "File 'huge.iso' is too big.");
  }
  EXPECT_EQ(TempFiles(), 0);
}

}  // namespace
}  // namespace corvane::testing
