// The change log as a person sees it: items, field names, masked passwords,
// the date filter and the records the user may not see.

#include "app/change_log_view.h"

#include <gmock/gmock.h>

#include "engine/messages.h"
#include "tests/engine/access_fixture.h"
#include "tests/support/error_of.h"

namespace corvane {
namespace {

using ::testing::ElementsAre;
using testing::kPassword;
using testing_support::ErrorOf;

const TChangeLogQuery kShowPasswords{.since = std::nullopt, .showPasswords = true};

class ChangeLogView : public testing::TAccessFixture {
 protected:
  // Each line as "field: old>new", with "[gone]" for an item that no longer exists.
  static std::vector<std::string> Lines(const std::vector<TChangeLogLine>& lines) {
    std::vector<std::string> out;
    for (const TChangeLogLine& line : lines)
      out.push_back((line.item ? "" : "[gone] ") + line.fieldName + ": " + line.oldText.Text() + ">" +
                    line.newText.Text());
    return out;
  }
  std::vector<std::string> View(TChangeLogQuery query = {}) { return Lines(ViewChangeLog(base, query)); }
};

TEST_F(ChangeLogView, PasswordValuesAreMaskedUnlessAskedFor) {
  TPwdPassword* record = AddRecord(base, "Mail", "", "pw1");
  EditText(*record, kPassword, "");
  EXPECT_THAT(View(), ElementsAre("Title: >Mail", "Password: >******", "Password: ******>"));
  EXPECT_THAT(View(kShowPasswords), ElementsAre("Title: >Mail", "Password: >pw1", "Password: pw1>"));
}

TEST_F(ChangeLogView, DeletedItemsAreNamedByTheirFoldersStructure) {
  TPwdFolder* work = AddFolder(base, "Work");
  TPwdPassword* record = AddRecord(*work, "Mail", "", "pw1");
  const int from = LogCount();
  record->Delete();
  const std::vector<TChangeLogLine> lines = ViewChangeLog(base, {});
  ASSERT_EQ(static_cast<int>(lines.size()), from + 2);
  EXPECT_EQ(lines[0].item, work);  // the folder's own insertion
  EXPECT_THAT(Lines(lines), ::testing::Contains("[gone] Password: ******>"));
  EXPECT_THAT(Lines(lines), ::testing::Contains("[gone] Title: Mail>"));
}

TEST_F(ChangeLogView, ValuesOfFieldsThatNoLongerExistAreMasked) {
  TPwdField* pin = base.Structure->AddField("PIN", kFieldString, kKindRegular);
  const std::int32_t number = pin->Number;
  TPwdPassword* record = AddRecord(base, "Mail");
  EditText(*record, number, "1234");
  base.Structure->DeleteField(pin->Index);
  int values = 0;
  for (const TChangeLogLine& line : ViewChangeLog(base, {})) {
    if (line.entry->FieldNumber != number) continue;
    ++values;
    EXPECT_TRUE(line.masked);
    EXPECT_EQ(line.newText.Text(), "******");
    EXPECT_EQ(line.fieldName, "");
  }
  EXPECT_EQ(values, 1);
}

TEST_F(ChangeLogView, SinceKeepsTheEntriesOfThatDayAndLater) {
  clock.SetDate(46000.75);  // evening of the day before
  AddRecord(base, "Old");
  clock.SetDate(46001.0);  // midnight
  AddRecord(base, "New");
  clock.SetDate(46002.5);
  AddRecord(base, "Newer");
  EXPECT_THAT(View({.since = 46001.0}), ElementsAre("Title: >New", "Title: >Newer"));
  EXPECT_THAT(View({.since = 46003.0}), ElementsAre());
}

TEST_F(ChangeLogView, RightsDecideWhatIsShown) {
  TPwdPassword* hidden = AddRecord(base, "Hidden", "", "pw0");
  TPwdPassword* noView = AddRecord(base, "NoView", "", "pw1");
  TPwdBaseUser* clerk = AddUser("Clerk", "V");
  TPwdBaseUser* reader = AddUser("Reader", "I");
  hidden->SetInheritRights(false);
  hidden->Permissions->Clear();
  hidden->Permissions->SetEntry(TGuid(), "", "");
  noView->SetInheritRights(false);
  noView->Permissions->Clear();
  noView->Permissions->SetEntry(clerk->Guid(), "I", "");
  base.Logon(clerk->Guid());
  EXPECT_THAT(View(kShowPasswords), ElementsAre("Title: >NoView", "Password: >******"));

  base.Logon(reader->Guid());
  EXPECT_EQ(ErrorOf([&] { ViewChangeLog(base, kShowPasswords); }), spwdaccessdenied);
}

}  // namespace
}  // namespace corvane
