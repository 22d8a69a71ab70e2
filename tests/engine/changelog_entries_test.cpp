// What the change log records for each kind of change, and removing an
// operation's entries.

#include <gtest/gtest.h>

#include <set>

#include "tests/engine/access_fixture.h"

namespace corvane {
namespace {

using testing::kPassword;
using testing::kTitle;
using testing::kUrl;
using testing::kUserName;
using testing::TAccessFixture;

class ChangeLog : public TAccessFixture {
 protected:
  ChangeLog() { work = AddFolder(base, "Work"); }

  // Entries from `from` on, as "kind field old>new".
  std::vector<std::string> Entries(int from = 0) const {
    std::vector<std::string> out;
    for (int i = from; i < LogCount(); ++i) {
      const TPwdBaseChangeRec& e = LogEntry(i);
      out.push_back(std::string(ChangeKindName(e.ChangeKind)) + " " + std::to_string(e.FieldNumber) + " " +
                    e.OldText + ">" + e.NewText);
    }
    return out;
  }
  std::set<TGuid> Stamps(int from = 0) const {
    std::set<TGuid> stamps;
    for (int i = from; i < LogCount(); ++i) stamps.insert(LogEntry(i).OperationStamp);
    return stamps;
  }

  TPwdFolder* work;
};

using Lines = std::vector<std::string>;

TEST_F(ChangeLog, EntryCarriesWhoWhenWhereAndTheStamp) {
  TPwdBaseUser* user = AddUser("Ivy", "");
  base.Logon(user->Guid());
  clock.SetDate(46001.5);
  TPwdPassword* record = AddRecord(*work, "Mail");
  const int before = LogCount();
  record->Edit();
  TGuid icon = TGuid::Create();
  base.LogChange(*record, TChangeKind::Update, -2, "", "", icon);
  ASSERT_EQ(LogCount(), before + 1);
  const TPwdBaseChangeRec& e = LogEntry(before);
  EXPECT_EQ(e.Timestamp, 46001.5);
  EXPECT_EQ(e.UserGuid, user->Guid());
  EXPECT_EQ(e.UserName, "Ivy");
  EXPECT_EQ(e.ItemGuid, record->Guid);
  EXPECT_EQ(e.ParentGuid, work->Guid);
  EXPECT_EQ(e.ExtraGuid, icon);
  EXPECT_FALSE(e.OperationStamp.IsNull());
  EXPECT_EQ(e.OperationStamp, record->OperationStamp);
  EXPECT_TRUE(e.ExtraText1.empty() && e.ExtraText2.empty());
  record->Cancel();
}

TEST_F(ChangeLog, NothingIsWrittenWhileLoadingOffOrForANewItem) {
  TPwdPassword* record = AddRecord(*work, "Mail");
  auto* fresh = static_cast<TPwdPassword*>(work->Items->AddItem(kItemTypeRecord, false));
  const int before = LogCount();
  base.LogChange(*fresh, TChangeKind::Update, kTitle, "", "x");
  EXPECT_FALSE(fresh->OperationStamp.IsNull());  // the stamp is set all the same
  fresh->Cancel();
  {
    TPwdBase::TLoadingScope loading(base);
    base.LogChange(*record, TChangeKind::Update, kTitle, "", "x");
  }
  base.LogChanges = 0;
  EditText(*record, kTitle, "Webmail");
  EXPECT_EQ(LogCount(), before);
}

TEST_F(ChangeLog, RecordLifeIsLoggedFieldByField) {
  const int start = LogCount();
  TPwdPassword* record = AddRecord(*work, "Mail", "ann", "s3cret");
  EXPECT_EQ(Entries(start), (Lines{"Insert 0 >Mail", "Insert 1 >ann", "Insert 8 >s3cret"}));
  EXPECT_EQ(Stamps(start).size(), 1u);

  int at = LogCount();
  record->Edit();
  SetText(*record, kUrl, "mail.example");
  SetText(*record, kTitle, "Webmail");
  record->Post();
  EXPECT_EQ(Entries(at), (Lines{"Update 3 >mail.example", "Update 0 Mail>Webmail"}));
  EXPECT_EQ(Stamps(at).size(), 1u);
  EXPECT_TRUE(record->OperationStamp.IsNull());

  at = LogCount();
  record->Delete();
  EXPECT_EQ(Entries(at), (Lines{"Delete 0 Webmail>", "Delete 1 ann>", "Delete 3 mail.example>", "Delete 8 s3cret>"}));
}

TEST_F(ChangeLog, PasswordsAreLoggedInClearWhateverTheViewingRights) {
  TPwdBaseUser* typist = AddUser("Typist", "IUD");
  base.Logon(typist->Guid());
  const int start = LogCount();
  TPwdPassword* record = AddRecord(*work, "Mail", "", "hidden");
  EXPECT_EQ(Entries(start), (Lines{"Insert 0 >Mail", "Insert 8 >hidden"}));
  int at = LogCount();
  EditText(*record, kPassword, "other");
  EXPECT_EQ(Entries(at), (Lines{"Update 8 hidden>other"}));
}

TEST_F(ChangeLog, FolderLifeIsLoggedByName) {
  const int start = LogCount();
  TPwdFolder* folder = AddFolder(*work, "Bank");
  folder->Edit();
  folder->SetName("Banks");
  folder->SetIcon(5);
  folder->Post();
  folder->Delete();
  EXPECT_EQ(Entries(start), (Lines{"Insert -1 >Bank", "Update -1 Bank>Banks", "Update -2 >", "Delete -1 Banks>"}));
}

TEST_F(ChangeLog, StructureChangesAreLoggedOncePerFieldAndOperation) {
  TPwdFieldsList& structure = *base.Structure;
  const int at = LogCount();
  TPwdField* pin = structure.AddField("PIN", kFieldString, kKindRegular);
  pin->SetDescription("card");
  EXPECT_EQ(Entries(at), (Lines{"Update -4 >PIN"}));
  EXPECT_EQ(LogEntry(at).ExtraGuid, pin->Guid);
  EXPECT_EQ(LogEntry(at).ItemGuid, base.Guid);

  base.Edit();  // a new operation on the folder
  pin->SetDescription("bank card");
  structure.SetSectionName(0, "Main");
  base.Post();
  EXPECT_EQ(Entries(at), (Lines{"Update -4 >PIN", "Update -4 PIN>PIN", "Update -5 General>Main"}));
}

TEST_F(ChangeLog, DeletingTheLastOperationSkipsNewerEntriesOfOthers) {
  TPwdBaseChangesLog log(nullptr);
  TGuid a = TGuid::Create(), b = TGuid::Create(), c = TGuid::Create();
  for (const TGuid* stamp : {&a, &b, &b, &a, &c, &c}) log.Add().OperationStamp = *stamp;
  auto stamps = [&] {
    std::vector<TGuid> out;
    for (const auto& rec : log) out.push_back(rec->OperationStamp);
    return out;
  };
  EXPECT_EQ(log.DeleteLastOperation(b), 2);
  EXPECT_EQ(stamps(), (std::vector<TGuid>{a, a, c, c}));
  log.Add().OperationStamp = a;
  log.Add().OperationStamp = b;
  log.Add().OperationStamp = a;
  EXPECT_EQ(log.DeleteLastOperation(a), 1);  // one run only: the one met first from the end
  EXPECT_EQ(stamps(), (std::vector<TGuid>{a, a, c, c, a, b}));
  EXPECT_EQ(log.DeleteLastOperation(TGuid::Create()), 0);
  EXPECT_EQ(log.Count(), 6);
}

}  // namespace
}  // namespace corvane
