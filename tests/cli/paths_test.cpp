// Folders and records named by path or id, against a database in memory.

#include <gmock/gmock.h>

#include "cli/paths.h"
#include "engine/base.h"
#include "platform/error.h"

namespace corvane {
namespace {

using ::testing::HasSubstr;

TPwdFolder* AddFolder(TPwdFolder& parent, const std::string& name) {
  auto* folder = static_cast<TPwdFolder*>(parent.Items->AddItem(kItemTypeFolder, false));
  folder->SetName(name);
  folder->Post();
  return folder;
}

TPwdPassword* AddRecord(TPwdFolder& parent, const std::string& title) {
  auto* record = static_cast<TPwdPassword*>(parent.Items->AddItem(kItemTypeRecord, false));
  record->Bind()->TitleField()->SetAsString(title);
  record->Post();
  return record;
}

template <class TAction>
std::string ErrorOf(TAction action) {
  try {
    action();
  } catch (const TError& error) {
    return error.what();
  }
  return "no error";
}

class ItemPaths : public ::testing::Test {
 protected:
  ItemPaths() {
    work = AddFolder(base, "Work");
    mail = AddFolder(*work, "Mail");
    office = AddFolder(base, "B\xFCro");  // "Büro" in code page 1252
    gmail = AddRecord(*mail, "Gmail");
    bank = AddRecord(base, "Bank");
    twin1 = AddRecord(*work, "Twin");
    twin2 = AddRecord(*work, "Twin");
    AddRecord(base, "Work");  // a record may share a folder's name
  }

  TPwdBase base;
  TPwdFolder *work, *mail, *office;
  TPwdPassword *gmail, *bank, *twin1, *twin2;
};

TEST_F(ItemPaths, FoldersByPathOrId) {
  const std::pair<std::string, TPwdFolder*> cases[] = {
      {"", &base},          {"/", &base},           {"Work", work},
      {"/Work/", work},     {"Work//Mail", mail},   {"/Work/Mail", mail},
      {"B\xC3\xBCro", office}, {work->Guid.ToString(), work},
  };
  for (const auto& [path, folder] : cases) EXPECT_EQ(&ResolveFolder(base, path), folder) << path;
}

TEST_F(ItemPaths, RecordsByPathOrId) {
  EXPECT_EQ(&ResolveRecord(base, "Work/Mail/Gmail"), gmail);
  EXPECT_EQ(&ResolveRecord(base, "/Bank"), bank);
  EXPECT_EQ(&ResolveRecord(base, "Bank"), bank);
  EXPECT_EQ(&ResolveRecord(base, twin2->Guid.ToString()), twin2);
  // Lower-case hex is the same id.
  std::string lower = gmail->Guid.ToString();
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  EXPECT_EQ(&ResolveRecord(base, lower), gmail);
}

TEST_F(ItemPaths, WrongNamesAreErrors) {
  const std::string unknownId = TGuid::Create().ToString();
  const std::pair<std::string, std::string> folderCases[] = {
      {"Nope", "The folder 'Nope' does not exist."},
      {"Work/Nope/Deeper", "The folder 'Work/Nope/Deeper' does not exist."},
      {"Work/Twin", "'Work/Twin' is a record, not a folder."},
      {unknownId, "The folder '" + unknownId + "' does not exist."},
      {bank->Guid.ToString(), "'" + bank->Guid.ToString() + "' is a record, not a folder."},
      {"\xD0\x96", "cannot be stored in code page 1252"},
  };
  for (const auto& [path, message] : folderCases)
    EXPECT_THAT(ErrorOf([&] { ResolveFolder(base, path); }), HasSubstr(message)) << path;

  const std::pair<std::string, std::string> recordCases[] = {
      {"/", "'/' is a folder, not a record."},
      {"Work/Mail", "'Work/Mail' is a folder, not a record."},
      {"Work/Mail/Yahoo", "The record 'Work/Mail/Yahoo' does not exist."},
      {"Home/Gmail", "The folder 'Home/Gmail' does not exist."},
      {unknownId, "The record '" + unknownId + "' does not exist."},
      {work->Guid.ToString(), "is a folder, not a record."},
  };
  for (const auto& [path, message] : recordCases)
    EXPECT_THAT(ErrorOf([&] { ResolveRecord(base, path); }), HasSubstr(message)) << path;
}

TEST_F(ItemPaths, AnAmbiguousTitleListsTheIds) {
  const std::string message = ErrorOf([&] { ResolveRecord(base, "Work/Twin"); });
  EXPECT_THAT(message, HasSubstr("'Twin' is shared by 2 records"));
  EXPECT_THAT(message, HasSubstr(twin1->Guid.ToString()));
  EXPECT_THAT(message, HasSubstr(twin2->Guid.ToString()));
  // The record named like the folder Work does not make the folder ambiguous.
  EXPECT_EQ(&ResolveFolder(base, "Work"), work);
  EXPECT_NE(&ResolveRecord(base, "/Work"), nullptr);
}

TEST_F(ItemPaths, ItemPathsAreUtf8FromTheRoot) {
  EXPECT_EQ(ItemPath(base), "/");
  EXPECT_EQ(ItemPath(*mail), "/Work/Mail");
  EXPECT_EQ(ItemPath(*gmail), "/Work/Mail/Gmail");
  EXPECT_EQ(ItemPath(*office), "/B\xC3\xBCro");
}

}  // namespace
}  // namespace corvane
