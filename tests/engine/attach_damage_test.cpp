// Damaged archive regions, the check-and-repair pass, and safe names for
// stored file names.

#include "engine/attachments_check.h"
#include "engine/changelog.h"
#include "engine/safe_file_name.h"
#include "platform/clock.h"
#include "tests/engine/attach_test_support.h"

namespace corvane::testing {
namespace {

void FlipByte(const std::string& path, std::size_t at) {
  std::string bytes = ReadText(path);
  bytes[at] ^= 0x5A;
  WriteText(path, bytes);
}

TEST_F(TAttachTest, ADamagedTrailerOrIndexLeavesTheRecordsUsable) {
  Attach(*record_, "doc", "content");
  Save();
  const std::size_t size = ReadText(Path("db.cvd")).size();
  struct TCase {
    const char* what;
    std::size_t at;
    const char* reason;
  };
  const TCase cases[] = {
      {"trailer signature", size - 14, "Invalid database signature."},
      {"index distance", size - 2, ""},
      {"index bytes", size - 16, ""},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    Save();
    base_.reset();
    FlipByte(Path("db.cvd"), c.at);
    base_ = OpenFile(Path("db.cvd"), "secret");
    record_ = &RecordAt(*base_, 0);
    EXPECT_EQ(record_->Title(), "Mail");
    const std::string& warning = FilesArchiveOf(*base_).Warning;
    EXPECT_EQ(warning.rfind("Error while reading file archive part of the database.\r", 0), 0u) << warning;
    EXPECT_NE(warning.find(c.reason), std::string::npos) << warning;
    ASSERT_EQ(Files().Count(), 1);
    EXPECT_FALSE(Files()[0]->HasData());
    EXPECT_THROW(Files()[0]->OpenData(), TError);
    // Rebuild a sound file for the next case.
    FilesOf(*record_).Delete(0);
    Attach(*record_, "doc", "content");
  }
}

TEST_F(TAttachTest, ADamagedBlockFailsOnlyItsAttachmentAndTheCheckRemovesIt) {
  Attach(*record_, "good", Noise(20000, 1));
  Attach(*record_, "bad", Noise(20000, 2));
  Attach(*record_, "also good", Noise(20000, 3));
  Reopen();
  TPwdFileAttach& bad = *Files()[1];
  FlipByte(base_->FileName,
           static_cast<std::size_t>(FilesArchiveOf(*base_).StartOffset + bad.Offset + bad.StoredSize / 2));
  EXPECT_THROW(Content(bad), TError);
  EXPECT_EQ(Content(*Files()[0]), Noise(20000, 1));

  EXPECT_EQ(CheckAttachments(*base_), std::vector<std::string>{"bad"});
  ASSERT_EQ(Files().Count(), 2);
  EXPECT_EQ(Files()[1]->FileName, "also good");
  const TPwdBaseChangeRec& entry = (*base_->ChangesLog)[base_->ChangesLog->Count() - 1];
  EXPECT_EQ(entry.FieldNumber, kLogAttachment);
  EXPECT_EQ(entry.OldText, "bad");
  EXPECT_TRUE(CheckAttachments(*base_).empty());
  Reopen();
  EXPECT_EQ(Content(*Files()[1]), Noise(20000, 3));
}

TEST_F(TAttachTest, ACanceledCheckStopsWithoutRemovingMore) {
  Attach(*record_, "first", Noise(1000, 1));
  Attach(*record_, "bad", Noise(20000, 2));
  Reopen();
  TPwdFileAttach& bad = *Files()[1];
  FlipByte(base_->FileName,
           static_cast<std::size_t>(FilesArchiveOf(*base_).StartOffset + bad.Offset + bad.StoredSize / 2));
  TFakeClock clock;
  base_->Progress.Callback = [](std::uint32_t, const std::string&, TProgressAction action) {
    if (action == TProgressAction::Show) throw TError("User canceled.");
  };
  base_->Progress.Begin(1, "running");  // so that the pass reports at once
  clock.Advance(5000);
  EXPECT_TRUE(CheckAttachments(*base_).empty());
  EXPECT_EQ(Files().Count(), 2);
}

TEST(SafeFileName, KeepsPlainNamesAndConfinesTheRest) {
  const std::pair<const char*, const char*> cases[] = {
      {"report.pdf", "report.pdf"},
      {"my file (2).txt", "my file (2).txt"},
      {"..", "__"},
      {".", "_"},
      {"", "attachment"},
      {"../../etc/passwd", ".._.._etc_passwd"},
      {"/etc/passwd", "_etc_passwd"},
      {"..\\win.ini", ".._win.ini"},
      {"a\nb", "a_b"},
      {".hidden", ".hidden"},
  };
  for (const auto& [stored, safe] : cases) EXPECT_EQ(SafeFileName(stored), safe) << stored;
}

}  // namespace
}  // namespace corvane::testing
