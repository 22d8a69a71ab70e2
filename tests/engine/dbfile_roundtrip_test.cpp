// Every member of a database through its file and back.

#include <gtest/gtest.h>

#include "engine/body_stream.h"
#include "engine/cipher_registry.h"
#include "engine/crypt_stream.h"
#include "tests/engine/dbfile_test_support.h"

namespace corvane {
namespace {

using namespace corvane::testing;

class DbFileRoundTrip : public ::testing::TestWithParam<std::string> {
 protected:
  TTempFolder folder_;
};

TEST_P(DbFileRoundTrip, EveryMemberComesBack) {
  const std::string path = folder_ / "CVBase.dat";
  TPwdBase saved;
  FillSample(saved);
  const int logEntries = saved.ChangesLog->Count();
  ASSERT_GT(logEntries, 0);
  SaveAs(saved, path, "master", GetParam());
  const TGuid iconId = saved.Icons.Id(0);
  TPwdFieldsList mailStructure(nullptr);
  mailStructure.AssignStructure(*FolderAt(FolderAt(saved, 0), 0).Structure);
  saved.Close();

  auto loaded = OpenFile(path, "master");
  TPwdBase& base = *loaded;
  EXPECT_EQ(base.Name, "Sample");
  EXPECT_EQ(base.Description, "All kinds of data");
  EXPECT_EQ(base.Guid, saved.Guid);
  EXPECT_EQ(base.SaveCounter, 1u);
  EXPECT_EQ(base.Algorithms, GetParam());
  EXPECT_EQ(base.SavedAlgorithms, GetParam());
  EXPECT_EQ(base.SavedPassword, "master");
  EXPECT_EQ(base.RequireLogon, 1);
  EXPECT_EQ(base.AutoLogonWindowsUser, 1);
  EXPECT_EQ(base.LogActions, 1);
  EXPECT_EQ(base.LogServer, "logs.example");
  EXPECT_EQ(base.LogServerExtra1, "x1");
  EXPECT_EQ(base.LogServerExtra2, "x2");
  EXPECT_EQ(base.BackupFolder, "/backups");
  EXPECT_EQ(base.BackupCount, 7);
  EXPECT_EQ(base.AutoCloseSeconds, 300);
  EXPECT_EQ(base.OptionFlags, TPwdBase::kRememberSortOrder | 4);
  EXPECT_FALSE(base.Modified);
  EXPECT_FALSE(base.ReadOnly);
  EXPECT_TRUE(base.FileStream.IsOpen());

  ASSERT_EQ(base.Icons.Count(), 1);
  EXPECT_EQ(base.Icons.PrimaryImage(0), "BMprimary");
  EXPECT_EQ(base.Icons.AlternateImage(0), "BMalternate");
  EXPECT_EQ(base.Icons.Id(0), iconId);

  ASSERT_EQ(base.Users->Count(), 3);
  TPwdBaseUser* alice = base.Users->FindByName("alice");
  ASSERT_NE(alice, nullptr);
  EXPECT_EQ(alice->Rights(), "IU");
  EXPECT_EQ(alice->Description(), "Alice");
  EXPECT_TRUE(alice->CheckPassword("pw"));
  ASSERT_TRUE(alice->HasLinks());
  EXPECT_EQ((*alice->LinksIfAny())[0]->Name(), "Staff");
  EXPECT_EQ(base.Users->FindByName("Staff")->UserType(), kGroupDatabase);

  ASSERT_EQ(base.ChangesLog->Count(), logEntries);
  for (int i = 0; i < logEntries; ++i) {
    const TPwdBaseChangeRec& a = (*saved.ChangesLog)[i];
    const TPwdBaseChangeRec& b = (*base.ChangesLog)[i];
    EXPECT_EQ(a.Timestamp, b.Timestamp);
    EXPECT_EQ(a.ItemGuid, b.ItemGuid);
    EXPECT_EQ(a.ParentGuid, b.ParentGuid);
    EXPECT_EQ(a.FieldNumber, b.FieldNumber);
    EXPECT_EQ(a.NewText, b.NewText);
    EXPECT_EQ(a.OldText, b.OldText);
    EXPECT_EQ(a.OperationStamp, b.OperationStamp);
    EXPECT_EQ(a.ChangeKind, b.ChangeKind);
  }

  ASSERT_EQ(base.Items->Count(), 2);
  TPwdFolder& work = FolderAt(base, 0);
  EXPECT_EQ(work.Name, "Work");
  ASSERT_NE(work.Permissions, nullptr);
  // The default user's inherited entry, then the one added.
  ASSERT_EQ(work.Permissions->Count(), 2);
  EXPECT_EQ((*work.Permissions)[1].Granted, "IU");
  EXPECT_EQ((*work.Permissions)[1].Denied, "D");
  TPwdFolder& mail = FolderAt(work, 0);
  EXPECT_EQ(mail.Permissions, nullptr);
  ASSERT_NE(mail.Structure, nullptr);
  EXPECT_TRUE(mail.Structure->SameStructure(mailStructure));
  EXPECT_EQ(mail.SortColumn, 1);
  EXPECT_EQ(mail.SortDescending, 1);
  EXPECT_EQ(base.FindItem(mail.Guid), &mail);

  TPwdPassword& gmail = RecordAt(mail, 0);
  EXPECT_EQ(gmail.Title(), "Gmail");
  EXPECT_EQ(gmail.IconIndex, kBuiltinImageCount);
  EXPECT_EQ(gmail.FieldText(8), "Gmail-secret");
  EXPECT_EQ(gmail.Bind()->FieldByName("Port")->AsInteger(), 993);
  EXPECT_EQ(gmail.Bind()->FieldByKind(kKindExpires)->AsDate(), 46100.25);
  ASSERT_EQ(gmail.AutoFill.Count(), 1);
  EXPECT_EQ(gmail.AutoFill[0].FormName(), "login");
  ASSERT_EQ(gmail.AutoFill[0].Count(), 1);
  EXPECT_EQ(gmail.AutoFill[0][0].ControlName(), "user");
  EXPECT_EQ(gmail.AutoFill[0][0].FieldNumber(), 1);
  EXPECT_EQ(RecordAt(base, 1).Title(), "Bank");
  EXPECT_EQ(base.AllRecords.Count(), 2);
}

INSTANTIATE_TEST_SUITE_P(Ciphers, DbFileRoundTrip,
                         ::testing::Values(AllAlgorithms(), std::string(), std::string("\x13", 1)),
                         [](const auto& info) { return "ciphers" + std::to_string(info.param.size()); });

TEST(DbFileBody, SortSettingsAreDroppedWhenTheDatabaseDoesNotRememberThem) {
  TTempFolder folder;
  TPwdBase base;
  FillSample(base);
  base.OptionFlags = 0;
  SaveAs(base, folder / "db.dat", "pw", AllAlgorithms());
  auto loaded = OpenFile(folder / "db.dat", "pw");
  TPwdFolder& mail = FolderAt(FolderAt(*loaded, 0), 0);
  EXPECT_EQ(mail.SortColumn, -1);
  EXPECT_EQ(mail.SortDescending, 0);
}

TEST(DbFileBody, ListingWithoutThePasswordGivesTheShapeAndTheExpiryDates) {
  TTempFolder folder;
  TPwdBase base;
  FillSample(base);
  SaveAs(base, folder / "db.dat", "pw", AllAlgorithms());
  base.Close();

  auto listed = OpenFile(folder / "db.dat", "");
  EXPECT_EQ(listed->Name, "Sample");
  EXPECT_EQ(listed->Description, "All kinds of data");
  EXPECT_FALSE(listed->FileStream.IsOpen());
  ASSERT_EQ(listed->Items->Count(), 2);
  TPwdFolder& work = FolderAt(*listed, 0);
  EXPECT_TRUE(work.IsFolder());
  EXPECT_EQ(work.Name, "");
  TPwdFolder& mail = FolderAt(work, 0);
  EXPECT_NE(mail.Structure, nullptr);
  TPwdPassword& gmail = RecordAt(mail, 0);
  EXPECT_EQ(gmail.Title(), "");
  EXPECT_EQ(gmail.Bind()->FieldByKind(kKindExpires)->AsDate(), 46100.25);
  EXPECT_EQ(RecordAt(*listed, 1).Bind()->FieldByKind(kKindExpires)->AsDate(), 46000);
  ASSERT_EQ(gmail.AutoFill.Count(), 1);
  EXPECT_EQ(gmail.AutoFill[0].FormName(), "login");
  EXPECT_THROW(listed->Save(), TError);
}

// The reader stops where the tree ends; an empty root leaves one byte unread.
TEST(DbFileBody, AnEmptyRootEndsWithOneUnreadEncryptedByte) {
  for (bool empty : {true, false}) {
    TPwdBase base;
    if (!empty) AddRecord(base, "one");
    TMemoryStream bytes;
    std::uint32_t written = 0;
    {
      TCryptStream out(bytes, "pw", "", true);
      WriteDatabaseBody(base, out);
      written = out.ByteCount();
      out.Finish();
    }
    bytes.Seek(0, TSeekOrigin::Begin);
    TPwdBase target;
    TPwdBase::TLoadingScope loading(target);
    TCryptStream in(bytes, "pw", "", true);
    ReadDatabaseBody(target, in, TStreamFormat{});
    EXPECT_EQ(written - in.ByteCount(), empty ? 1u : 0u) << "empty=" << empty;
  }
}

}  // namespace
}  // namespace corvane
