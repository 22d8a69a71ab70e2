// edit, rm, mv, cp, rename, search and icon on a real database file.

#include <gmock/gmock.h>

#include <functional>

#include "engine/base.h"
#include "engine/permissions.h"
#include "engine/users.h"
#include "tests/cli/cli_test_support.h"

namespace corvane {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using cli_testing::ReadWhole;
using cli_testing::TRun;

// A database with:
//   Work/ Work/Mail/ Work/Mail/Gmail (user me@example.org, password hunter2)
//   Archive/ Shop (user buyer) Vault (password vaultpw)
// and the user Clerk (password clerkpw, rights "IUD"), who may neither
// change nor delete Vault, and may not view passwords.
class ItemCommands : public cli_testing::TCliTest {
 protected:
  ItemCommands() : db(CreateDatabase()) {
    Change([](TPwdBase& base) {
      TPwdFolder& work = AddFolder(base, "Work");
      AddRecord(AddFolder(work, "Mail"), "Gmail", "me@example.org", "hunter2");
      AddFolder(base, "Archive");
      AddRecord(base, "Shop", "buyer", "");
      TPwdPassword& vault = AddRecord(base, "Vault", "", "vaultpw");
      auto clerk = std::make_unique<TPwdBaseUser>();
      clerk->SetName("Clerk");
      clerk->SetPassword("clerkpw");
      clerk->SetRights("IUD");
      clerk->SetGuid(TGuid::Create());
      const TGuid clerkId = clerk->Guid();
      base.Users->Add(std::move(clerk));
      vault.SetInheritRights(false);
      vault.Permissions->Clear();
      vault.Permissions->SetEntry(TGuid{}, "", "");
      vault.Permissions->SetEntry(clerkId, "I", "");
    });
  }

  void Change(const std::function<void(TPwdBase&)>& change) {
    TPwdBase base;
    base.FileName = db;
    base.Open("secret");
    change(base);
    base.SetModified(true);
    base.Save();
  }

  static TPwdFolder& AddFolder(TPwdFolder& parent, const std::string& name) {
    auto* folder = static_cast<TPwdFolder*>(parent.Items->AddItem(kItemTypeFolder, false));
    folder->SetName(name);
    folder->Post();
    return *folder;
  }

  static TPwdPassword& AddRecord(TPwdFolder& parent, const std::string& title, const std::string& user,
                                 const std::string& password) {
    auto* record = static_cast<TPwdPassword*>(parent.Items->AddItem(kItemTypeRecord, false));
    TPwdFieldsList* fields = record->Bind();
    fields->FieldByName("Title")->SetAsString(title);
    fields->FieldByName("User name")->SetAsString(user);
    fields->FieldByName("Password")->SetAsString(password);
    record->Post();
    return *record;
  }

  TRun AsClerk(const std::string& command, std::vector<std::string> args, const std::string& moreInput = {}) {
    args.insert(args.begin(), {command, db});
    args.insert(args.end(), {"--password-stdin", "--user", "Clerk"});
    return Run(args, "secret\nclerkpw\n" + moreInput);
  }

  std::string Tree() {
    const TRun run = RunOpen("ls", db, {"-R"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return run.out;
  }

  std::string Show(const std::string& record) {
    const TRun run = RunOpen("show", db, {record, "--show-password"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return run.out;
  }

  static constexpr std::string_view kTree = "Work/\nWork/Mail/\nWork/Mail/Gmail\nArchive/\nShop\nVault\n";
  std::string db;
};

// Refusals of any command leave the file as it was; each case gives the
// command line after DATABASE and the input after the master password.
struct TRefusal {
  std::string command;
  std::vector<std::string> args;
  int exitCode;
  std::string message;
  std::string input = {};
};

TEST_F(ItemCommands, RefusalsLeaveTheDatabaseAsItWas) {
  ASSERT_EQ(Tree(), kTree);
  Change([](TPwdBase& base) {
    AddRecord(base, "Twin", "", "");
    AddRecord(base, "Twin", "", "");
  });
  const std::string before = ReadWhole(db);
  const TRefusal cases[] = {
      {"edit", {"Nowhere/Gmail", "--field", "Title=x"}, 1, "The folder 'Nowhere/Gmail' does not exist."},
      {"edit", {"Twin", "--field", "Title=x"}, 1, "The title 'Twin' is shared by 2 records"},
      {"edit", {"Shop"}, 2, "Nothing to change: give --field or --ask-field."},
      {"edit", {"Shop", "--field", "Password=x"}, 1, "A password is not taken from the command line"},
      {"edit", {"Shop", "--field", "Colour=blue"}, 1, "The record has no field 'Colour'."},
      {"edit", {"Shop", "--field", "Modified=1/1/2020"}, 1, "The field 'Modified' is filled in automatically."},
      {"edit", {"Shop", "--field", "Expire on=soon"}, 1, "Invalid field value."},
      {"edit", {"Shop", "--field", "Title= "}, 1, "Please enter value for Title."},
      {"edit", {"Shop", "--ask-field", "Password"}, 1, "No password was given."},
      {"rm", {"/"}, 1, "The root folder of a database cannot be deleted."},
      {"rm", {"Shop", "Work"}, 1, "The folder '/Work' is not empty; give --recursive"},
      {"rm", {"Shop", "Nowhere"}, 1, "The record 'Nowhere' does not exist."},
      {"mv", {"Shop", "Work", "Work/Mail"}, 1, "Cannot paste parent folder into the child folder."},
      {"mv", {"Work", "Work"}, 1, "Cannot paste parent folder into the child folder."},
      {"mv", {"Shop"}, 2, "Missing FOLDER."},
      {"mv", {"Shop", "Nowhere"}, 1, "The folder 'Nowhere' does not exist."},
      {"mv", {"Shop", "Shop"}, 1, "'Shop' is a record, not a folder."},
      {"cp", {"/", "Archive"}, 1, "The root folder of a database cannot be copied or moved."},
      {"cp", {"Work", "Work/Mail"}, 1, "Cannot paste parent folder into the child folder."},
      {"cp", {"Shop", "/", "--into", db}, 2, "is the database itself; copy without --into."},
      {"rename", {"Work/Mail", ""}, 1, "Folder name cannot be empty."},
      {"rename", {"Archive", "Work"}, 1, "Duplicate folder name 'Work'."},
      {"rename", {"/", "New"}, 1, "The root folder of a database cannot be renamed"},
      {"rename", {"Shop", "New"}, 1, "'Shop' is a record, not a folder."},
      {"icon", {"Shop", "23"}, 1, "There is no icon 23; this database has the icons 0 to 22."},
      {"icon", {"/", "5"}, 1, "The root folder of a database has no icon of its own."},
      {"icon", {"Shop", "five"}, 2, "The icon is given as a number, not 'five'."},
      {"search", {""}, 1, "The text to search for is empty."},
      {"search", {"x", "--field", "Colour"}, 1, "No record of the database has a field 'Colour'."},
  };
  for (const TRefusal& c : cases) {
    SCOPED_TRACE(c.command + " " + c.message);
    const TRun run = RunOpen(c.command, db, c.args, c.input);
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_THAT(run.err, HasSubstr(c.message));
    EXPECT_EQ(run.out, "");
  }
  const TRun negative = Run({"icon", db, "Shop", "--password-stdin", "--", "-1"}, "secret\n");
  EXPECT_THAT(negative.err, HasSubstr("There is no icon -1; this database has the icons 0 to 22."));
  EXPECT_EQ(ReadWhole(db), before);
}

TEST_F(ItemCommands, RightsWrongPasswordsAndReadOnlyAreRefused) {
  const std::string before = ReadWhole(db);
  const TRefusal rightsCases[] = {
      {"edit", {"Vault", "--field", "User name=x"}, 1, "Access denied."},
      {"rm", {"Vault"}, 1, "Access denied."},
      {"mv", {"Vault", "Archive"}, 1, "Access denied."},
      {"edit", {"Shop", "--ask-field", "Password"}, 1, "Access denied.", "typed\n"},
      {"icon", {"Vault", "3"}, 1, "Access denied."},
  };
  for (const TRefusal& c : rightsCases) {
    SCOPED_TRACE(c.command);
    const TRun run = AsClerk(c.command, c.args, c.input);
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_THAT(run.err, HasSubstr(c.message));
  }
  const TRun wrong = Run({"rm", db, "Shop", "--password-stdin", "--user", "Clerk"}, "secret\nwrong\n");
  EXPECT_EQ(wrong.exitCode, 1);
  EXPECT_THAT(wrong.err, HasSubstr("The password is incorrect."));
  EXPECT_EQ(ReadWhole(db), before);

  // Another program holds the file for writing.
  TPwdBase holder;
  holder.FileName = db;
  holder.Open("secret");
  const TRefusal writers[] = {
      {"edit", {"Shop", "--field", "Title=x"}, 1, ""}, {"rm", {"Shop"}, 1, ""},
      {"mv", {"Shop", "Archive"}, 1, ""},              {"cp", {"Shop", "Archive"}, 1, ""},
      {"rename", {"Work", "Job"}, 1, ""},              {"icon", {"Shop", "3"}, 1, ""},
  };
  for (const TRefusal& c : writers) {
    SCOPED_TRACE(c.command);
    const TRun run = RunOpen(c.command, db, c.args);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_THAT(run.err, HasSubstr("could only be opened read-only"));
  }
  EXPECT_EQ(RunOpen("search", db, {"shop"}).exitCode, 0);
  EXPECT_EQ(ReadWhole(db), before);
}

TEST_F(ItemCommands, EditChangesTheFieldsGivenAndStampsTheChange) {
  const TRun edit = AsClerk("edit", {"Work/Mail/Gmail", "--field", "User name=you@example.org", "--field",
                                     "Description=first\nsecond", "--field", "Expire on=3/4/2030"});
  ASSERT_EQ(edit.exitCode, 0) << edit.err;
  EXPECT_EQ(edit.out, "");
  const std::string shown = Show("Work/Mail/Gmail");
  EXPECT_THAT(shown, HasSubstr("Title: Gmail\nUser name: you@example.org\n"));
  EXPECT_THAT(shown, HasSubstr("Password: hunter2\n"));
  EXPECT_THAT(shown, HasSubstr("Expire on: 3/4/2030\n"));
  EXPECT_THAT(shown, HasSubstr("Description: first\n    second\n"));
  EXPECT_THAT(shown, HasSubstr("Modified by: Clerk\n"));

  // A password is read like one; an empty value empties a field; the others stay.
  const TRun password = RunOpen("edit", db, {"Work/Mail/Gmail", "--ask-field", "password", "--field", "User name="},
                                "n3w-pw\n");
  ASSERT_EQ(password.exitCode, 0) << password.err;
  const std::string again = Show("Work/Mail/Gmail");
  EXPECT_THAT(again, HasSubstr("User name: \n"));
  EXPECT_THAT(again, HasSubstr("Password: n3w-pw\n"));
  EXPECT_THAT(again, HasSubstr("Description: first\n"));
  EXPECT_THAT(again, HasSubstr("Modified by: Default\n"));
}

TEST_F(ItemCommands, RmDeletesUntilTheFirstRefusalAndKeepsWhatWasDeleted) {
  const TRun rm = AsClerk("rm", {"Shop", "Vault", "Archive"});
  EXPECT_EQ(rm.exitCode, 1);
  EXPECT_THAT(rm.err, HasSubstr("Access denied."));
  EXPECT_EQ(Tree(), "Work/\nWork/Mail/\nWork/Mail/Gmail\nArchive/\nVault\n");

  // A folder with content goes with --recursive; an item inside it named
  // after it is gone already and is skipped.
  const TRun recursive = RunOpen("rm", db, {"Work", "Work/Mail/Gmail", "Archive", "--recursive"});
  EXPECT_EQ(recursive.exitCode, 0) << recursive.err;
  EXPECT_EQ(Tree(), "Vault\n");
}

TEST_F(ItemCommands, MvMovesIntoTheFolderAndPrintsTheNewIds) {
  const TRun mv = RunOpen("mv", db, {"Shop", "Work/Mail", "Archive"});
  ASSERT_EQ(mv.exitCode, 0) << mv.err;
  EXPECT_EQ(mv.out.size(), 2 * 39u) << mv.out;
  EXPECT_EQ(Tree(), "Work/\nArchive/\nArchive/Shop\nArchive/Mail/\nArchive/Mail/Gmail\nVault\n");
  EXPECT_THAT(Show("Archive/Mail/Gmail"), HasSubstr("Password: hunter2\n"));
  const TRun shown = RunOpen("show", db, {mv.out.substr(0, 38)});
  EXPECT_THAT(shown.out, HasSubstr("Path: /Archive/Shop\n"));

  // An item already in the folder stays where it is.
  const TRun stay = RunOpen("mv", db, {"Archive/Shop", "Vault", "Archive"});
  ASSERT_EQ(stay.exitCode, 0) << stay.err;
  EXPECT_EQ(stay.out.substr(0, 38), mv.out.substr(0, 38));
  EXPECT_EQ(Tree(), "Work/\nArchive/\nArchive/Shop\nArchive/Mail/\nArchive/Mail/Gmail\nArchive/Vault\n");
}

TEST_F(ItemCommands, CpCopiesWithinTheDatabaseAndIntoAnother) {
  const TRun cp = RunOpen("cp", db, {"Work", "Shop", "/"});
  ASSERT_EQ(cp.exitCode, 0) << cp.err;
  EXPECT_EQ(Tree(), std::string(kTree) + "Work (2)/\nWork (2)/Mail/\nWork (2)/Mail/Gmail\nShop\n");

  // The other database has its own master password, read after this one's.
  const std::string other = File("other.cvd");
  ASSERT_EQ(Run({"create", other, "--name", "Other", "--password-stdin"}, "elsewhere\n").exitCode, 0);
  const std::string before = ReadWhole(db);
  const TRun into = RunOpen("cp", db, {"Work/Mail", "/", "--into", other}, "elsewhere\n");
  ASSERT_EQ(into.exitCode, 0) << into.err;
  EXPECT_EQ(ReadWhole(db), before);
  const TRun listed = Run({"ls", other, "-R", "--password-stdin"}, "elsewhere\n");
  EXPECT_EQ(listed.out, "Mail/\nMail/Gmail\n");
  const TRun shown = Run({"show", other, "Mail/Gmail", "--show-password", "--password-stdin"}, "elsewhere\n");
  EXPECT_THAT(shown.out, HasSubstr("Password: hunter2\n"));

  const TRun wrong = RunOpen("cp", db, {"Vault", "/", "--into", other}, "secret\n");
  EXPECT_EQ(wrong.exitCode, 1);
  EXPECT_THAT(wrong.err, HasSubstr("The password is incorrect."));
}

TEST_F(ItemCommands, RenameChangesOnlyTheFolderName) {
  Change([](TPwdBase& base) { AddRecord(base, "Shelf", "", ""); });
  ASSERT_EQ(RunOpen("rename", db, {"Archive", "Shelf"}).exitCode, 0);  // a record's name is free
  ASSERT_EQ(RunOpen("rename", db, {"Work", "Work"}).exitCode, 0);
  ASSERT_EQ(AsClerk("rename", {"Work/Mail", "B\xC3\xBC" "ro"}).exitCode, 0);
  EXPECT_EQ(Tree(), "Work/\nWork/B\xC3\xBCro/\nWork/B\xC3\xBCro/Gmail\nShelf/\nShop\nVault\nShelf\n");
  // The engine's message quotes the name as it was given.
  ASSERT_EQ(RunOpen("mkdir", db, {"Work/Other"}).exitCode, 0);
  const TRun duplicate = RunOpen("rename", db, {"Work/Other", "B\xC3\xBC" "ro"});
  EXPECT_EQ(duplicate.exitCode, 1);
  EXPECT_THAT(duplicate.err, HasSubstr("Duplicate folder name 'B\xC3\xBC" "ro'."));
}

TEST_F(ItemCommands, SearchFindsTextInTheFieldsTheUserMaySee) {
  const TRun found = RunOpen("search", db, {"EXAMPLE"});
  ASSERT_EQ(found.exitCode, 0) << found.err;
  EXPECT_EQ(found.out, "/Work/Mail/Gmail\n    User name: me@example.org\n");

  const TRun password = RunOpen("search", db, {"pw"});
  EXPECT_EQ(password.out, "/Vault\n    Password: ******\n");
  const TRun shown = RunOpen("search", db, {"pw", "--show-password", "--json"});
  EXPECT_THAT(shown.out, HasSubstr("\"path\": \"/Vault\""));
  EXPECT_THAT(shown.out, HasSubstr("\"name\": \"Password\",\n        \"number\": 8,\n        \"text\": \"vaultpw\""));
  // Clerk may not view passwords, so they are not searched for him.
  const TRun clerk = AsClerk("search", {"hunter", "--show-password"});
  EXPECT_EQ(clerk.exitCode, 0) << clerk.err;
  EXPECT_EQ(clerk.out, "");

  const TRun field = RunOpen("search", db, {"e", "--field", "user name", "--json"});
  EXPECT_THAT(field.out, HasSubstr("\"path\": \"/Work/Mail/Gmail\""));
  EXPECT_THAT(field.out, HasSubstr("\"path\": \"/Shop\""));
  EXPECT_THAT(field.out, Not(HasSubstr("Title")));
  EXPECT_EQ(RunOpen("search", db, {"nothing like it", "--json"}).out, "[]\n");
}

TEST_F(ItemCommands, IconSetsTheImageOfFoldersAndRecords) {
  ASSERT_EQ(RunOpen("icon", db, {"Work", "5"}).exitCode, 0);
  ASSERT_EQ(AsClerk("icon", {"Work/Mail/Gmail", "22"}).exitCode, 0);
  Change([](TPwdBase& base) {
    EXPECT_EQ(base.Items->Items()[0]->IconIndex, 5);
    auto& mail = *static_cast<TPwdFolder*>(static_cast<TPwdFolder*>(base.Items->Items()[0])->Items->Items()[0]);
    EXPECT_EQ(mail.Items->Items()[0]->IconIndex, 22);
    base.Icons.AddIcon("BM1", "BM2");
  });
  // With a custom icon, 23 names it.
  EXPECT_EQ(RunOpen("icon", db, {"Shop", "23"}).exitCode, 0);
  EXPECT_THAT(RunOpen("icon", db, {"Shop", "24"}).err, HasSubstr("this database has the icons 0 to 23."));
}

}  // namespace
}  // namespace corvane
