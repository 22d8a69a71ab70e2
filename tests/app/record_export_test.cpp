// Exporting a folder's records as a table: the columns of differing
// structures, passwords, rights and the action log.

#include "app/record_export.h"

#include <gmock/gmock.h>

#include "app/front_end.h"
#include "engine/messages.h"
#include "tests/app/scripted_front_end.h"
#include "tests/engine/access_fixture.h"
#include "tests/support/error_of.h"

namespace corvane {
namespace {

using ::testing::ElementsAre;
using testing_support::ErrorOf;

class RecordExport : public testing::TAccessFixture {
 protected:
  std::vector<std::string> ColumnNames(const TRecordExport& table) const {
    std::vector<std::string> names;
    for (const TExportColumn& column : table.columns) names.push_back(column.name + (column.password ? "*" : ""));
    return names;
  }
  // The row's cells by column, as a CSV line holds them.
  static std::vector<std::string> Cells(const TRecordExport& table, const TExportRow& row) {
    std::vector<std::string> cells(table.columns.size());
    for (const TExportValue& value : row.values) cells[static_cast<std::size_t>(value.column)] = value.text.Text();
    return cells;
  }
  // An own structure with string fields of these names; "*" at the end marks a password field.
  static void GiveStructure(TPwdFolder& folder, const std::vector<std::string>& names) {
    folder.CreateStructure(0);
    folder.Structure->SetDefaultSections();
    for (const std::string& name : names) {
      const bool password = name.back() == '*';
      folder.Structure->AddField(password ? name.substr(0, name.size() - 1) : name, kFieldString,
                                 password ? kKindPassword : kKindRegular);
    }
  }
  TRecordExport Export(TPwdFolder& folder, bool passwords = false) {
    std::optional<TRecordExport> table = ExportRecords(folder, passwords);
    EXPECT_TRUE(table.has_value());
    return table ? std::move(*table) : TRecordExport{};
  }

  testing::TScriptedFrontEnd frontEnd;
  TFrontEndInstallation installed{frontEnd};
};

TEST_F(RecordExport, FoldersWithOtherStructuresShareColumnsByNameInFirstSeenOrder) {
  TPwdFolder* cards = AddFolder(base, "Cards");
  GiveStructure(*cards, {"title", "PIN*", "Note", "Note"});
  AddRecord(base, "Mail", "me", "pw1");
  auto* card = static_cast<TPwdPassword*>(cards->Items->AddItem(kItemTypeRecord, false));
  for (int i = 0; i < 4; ++i) (*card->Bind())[i]->SetAsString(std::string("v") + char('0' + i));
  card->Post();

  const TRecordExport table = Export(base, true);
  EXPECT_THAT(ColumnNames(table), ElementsAre("Title", "User name", "Account", "URL", "Password*", "Created",
                                              "Modified", "Modified by", "Expire on", "Description", "PIN*", "Note",
                                              "Note"));
  ASSERT_EQ(table.rows.size(), 2u);
  // Tree order: the folder "Cards" comes before the record added after it.
  EXPECT_EQ(table.rows[0].record, card);
  EXPECT_EQ(table.rows[0].folder, cards);
  const std::vector<std::string> cells = Cells(table, table.rows[0]);
  EXPECT_EQ(cells[0], "v0");  // "title" went into "Title"
  EXPECT_EQ(cells[10], "v1");
  EXPECT_EQ(cells[11], "v2");
  EXPECT_EQ(cells[12], "v3");
  EXPECT_EQ(cells[1], "");  // a field the structure lacks
  EXPECT_EQ(Cells(table, table.rows[1])[4], "pw1");
  EXPECT_EQ(table.rows[1].folder, &base);
}

TEST_F(RecordExport, PasswordFieldsStayEmptyUnlessAskedFor) {
  AddRecord(base, "Mail", "me", "pw1");
  const TRecordExport table = Export(base);
  ASSERT_EQ(table.rows.size(), 1u);
  const std::vector<std::string> cells = Cells(table, table.rows[0]);
  EXPECT_EQ(cells[1], "me");
  EXPECT_EQ(cells[4], "");
  EXPECT_TRUE(table.columns[4].password);
}

TEST_F(RecordExport, MissingRightsRefuseTheWholeExport) {
  TPwdFolder* work = AddFolder(base, "Work");
  TPwdPassword* record = AddRecord(*work, "Mail", "me", "pw1");
  TPwdBaseUser* viewer = AddUser("Viewer", "PV");
  TPwdBaseUser* printer = AddUser("Printer", "P");
  TPwdBaseUser* clerk = AddUser("Clerk", "IUV");
  // Viewer may not print this one record.
  record->SetInheritRights(false);
  record->Permissions->Clear();
  record->Permissions->SetEntry(TGuid(), "", "");
  record->Permissions->SetEntry(viewer->Guid(), "V", "");

  struct TCase {
    TPwdBaseUser* user;
    bool passwords;
    std::string error;
  };
  const TCase cases[] = {
      {clerk, false, std::string(spwdaccessdenied)},    // no "P" anywhere
      {printer, true, std::string(spwdaccessdenied)},   // "P" but no "V"
      {viewer, false, std::string(spwdaccessdenied)},   // "P" on the folder, not on the record
      {printer, false, "(no error)"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.user->Name());
    base.Logon(c.user->Guid());
    EXPECT_EQ(ErrorOf([&] { ExportRecords(base, c.passwords); }), c.error);
  }
}

TEST_F(RecordExport, RecordsTheUserMayNotSeeAreLeftOut) {
  TPwdPassword* hidden = AddRecord(base, "Hidden");
  AddRecord(base, "Open");
  TPwdBaseUser* printer = AddUser("Printer", "P");
  hidden->SetInheritRights(false);
  hidden->Permissions->Clear();
  hidden->Permissions->SetEntry(TGuid(), "", "");
  base.Logon(printer->Guid());
  const TRecordExport table = Export(base);
  ASSERT_EQ(table.rows.size(), 1u);
  EXPECT_EQ(Cells(table, table.rows[0])[0], "Open");
}

TEST_F(RecordExport, ADeclinedActionLogExportsNothing) {
  AddRecord(base, "Mail");
  base.LogActions = 1;
  // Nobody answers: the message's default button, Cancel.
  EXPECT_FALSE(ExportRecords(base, false).has_value());
  ASSERT_EQ(frontEnd.messages.size(), 1u);
  EXPECT_THAT(frontEnd.messages[0].text, ::testing::HasSubstr("Cannot log user action."));
}

}  // namespace
}  // namespace corvane
