// fields and fields-edit on a real database file.

#include <gmock/gmock.h>

#include "engine/base.h"
#include "engine/users.h"
#include "tests/cli/cli_test_support.h"

namespace corvane {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;
using cli_testing::ReadWhole;
using cli_testing::TRun;

class FieldCommands : public cli_testing::TCliTest {
 protected:
  FieldCommands() : db(CreateDatabase()) {
    EXPECT_EQ(RunOpen("mkdir", db, {"Work"}).exitCode, 0);
    const TRun add = RunOpen("add", db,
                             {"Work", "--field", "Title=Gmail", "--field", "Account=12abc", "--field", "URL=mail.com",
                              "--ask-field", "Password"},
                             "hunter2\n");
    EXPECT_EQ(add.exitCode, 0) << add.err;
  }

  std::string FieldsJson(const std::string& folder = "/") {
    const TRun run = RunOpen("fields", db, {folder, "--json"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return run.out;
  }

  // Runs fields-edit with `json` after the master password.
  TRun Edit(const std::string& folder, const std::string& json, std::vector<std::string> options = {}) {
    options.insert(options.begin(), folder);
    return RunOpen("fields-edit", db, options, json);
  }

  std::string Show(const std::string& record) {
    const TRun run = RunOpen("show", db, {record, "--show-password"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return run.out;
  }

  // Adds a user with `rights` and the password "userpw".
  void AddUser(const std::string& name, const std::string& rights) {
    TPwdBase base;
    base.FileName = db;
    base.Open("secret");
    auto user = std::make_unique<TPwdBaseUser>();
    user->SetName(name);
    user->SetPassword("userpw");
    user->SetRights(rights);
    user->SetGuid(TGuid::Create());
    base.Users->Add(std::move(user));
    base.SetModified(true);
    base.Save();
  }

  std::string db;
};

// A description with the root's fields, where `fields` replaces the list.
std::string Description(const std::string& fields, const std::string& sections = R"(["General", "Advanced"])") {
  return R"({"sections": )" + sections + R"(, "fields": [)" + fields + "]}";
}

const std::string kBuiltIn =
    R"({"number": 0}, {"number": 1}, {"number": 2}, {"number": 3}, {"number": 8}, {"number": 5}, )"
    R"({"number": 6}, {"number": 9}, {"number": 7}, {"number": 4})";

TEST_F(FieldCommands, FieldsListsTheStructureInTheRecordEditorsOrder) {
  const TRun root = RunOpen("fields", db);
  ASSERT_EQ(root.exitCode, 0) << root.err;
  EXPECT_THAT(root.out, StartsWith("Number\tName\tType\tKind\tSection\tPosition\tColumn\n"
                                   "0\tTitle\tString\tRegular string\tGeneral\t0\t0\n"
                                   "1\tUser name\tString\tRegular string\tGeneral\t1\t1\n"));
  EXPECT_THAT(root.out, HasSubstr("8\tPassword\tString\tPassword field\tGeneral\t4\t4\n"
                                  "5\tCreated\tDate\tCreation date of record\tAdvanced\t5\t6\n"));
  const TRun work = RunOpen("fields", db, {"Work"});
  EXPECT_EQ(work.out, "Inherited from: /\n" + root.out);

  const std::string json = FieldsJson("Work");
  EXPECT_THAT(json, HasSubstr("\"folder\": \"/Work\",\n  \"structureOf\": \"/\""));
  EXPECT_THAT(json, HasSubstr("\"number\": 8,\n      \"name\": \"Password\",\n      \"type\": \"String\",\n"
                              "      \"kind\": \"Password field\",\n      \"section\": 0,\n      \"position\": 4,\n"
                              "      \"column\": 4,\n      \"columnVisible\": true,"));
  EXPECT_THAT(json, Not(HasSubstr("hunter2")));
}

TEST_F(FieldCommands, TheJsonOfFieldsFedBackChangesNothing) {
  ASSERT_EQ(Edit("/", Description(kBuiltIn)).exitCode, 0);  // numbers alone keep every field as it is
  const std::string before = FieldsJson();
  const TRun edit = Edit("/", before);
  ASSERT_EQ(edit.exitCode, 0) << edit.err;
  EXPECT_EQ(edit.out, "");
  EXPECT_EQ(FieldsJson(), before);
  EXPECT_THAT(Show("Work/Gmail"), HasSubstr("Account: 12abc\nURL: mail.com\nPassword: hunter2\n"));
}

TEST_F(FieldCommands, AnEditRenamesDeletesAddsRetypesAndRenamesSections) {
  const std::string fields =
      R"({"number": 0}, {"number": 1, "name": "Login"}, {"number": 2, "type": "Integer"}, {"number": 8}, )"
      R"({"name": "Colour", "kind": "Predefined values", "predefinedValues": ["red", "", "blue"], )"
      R"( "defaultValue": "Blue"}, )"
      R"({"number": 5}, {"number": 6}, {"number": 9}, {"number": 7}, {"number": 4, "section": "Notes"})";
  const TRun edit = Edit("/", Description(fields, R"(["Main", "Notes"])"));
  ASSERT_EQ(edit.exitCode, 0) << edit.err;

  const std::string json = FieldsJson();
  EXPECT_THAT(json, HasSubstr("\"sections\": [\n    \"Main\",\n    \"Notes\"\n  ]"));
  EXPECT_THAT(json, HasSubstr("\"name\": \"Colour\",\n      \"type\": \"String\",\n"
                              "      \"kind\": \"Predefined values\",\n      \"section\": 0,\n      \"position\": 4,"));
  EXPECT_THAT(json, HasSubstr("\"defaultValue\": \"Blue\",\n      \"predefinedValues\": [\n        \"red\",\n"
                              "        \"blue\"\n      ]"));
  EXPECT_THAT(json, Not(HasSubstr("\"URL\"")));
  const std::string shown = Show("Work/Gmail");
  EXPECT_THAT(shown, HasSubstr("Login: \nAccount: 12\nPassword: hunter2\n"));
  EXPECT_THAT(shown, Not(HasSubstr("mail.com")));
}

TEST_F(FieldCommands, AnInheritingFolderNeedsTheChoiceMade) {
  const std::string before = ReadWhole(db);
  const std::string renamed = Description(R"({"number": 0, "name": "Service"}, )" + kBuiltIn.substr(15));
  const TRun unasked = Edit("Work", renamed);
  EXPECT_EQ(unasked.exitCode, 1);
  EXPECT_THAT(unasked.err, HasSubstr("This folder inherits fields structure from its parent (Test).\n"));
  EXPECT_THAT(unasked.err, HasSubstr("There is no terminal to ask; give --independent or --edit-parent."));
  EXPECT_EQ(ReadWhole(db), before);
  EXPECT_EQ(Edit("Work", renamed, {"--independent", "--edit-parent"}).exitCode, 2);

  const TRun independent = Edit("Work", renamed, {"--independent"});
  ASSERT_EQ(independent.exitCode, 0) << independent.err;
  EXPECT_THAT(FieldsJson("Work"), HasSubstr("\"structureOf\": \"/Work\""));
  EXPECT_THAT(FieldsJson("Work"), HasSubstr("\"name\": \"Service\""));
  EXPECT_THAT(FieldsJson("/"), Not(HasSubstr("Service")));
  EXPECT_THAT(Show("Work/Gmail"), HasSubstr("Service: Gmail\n"));

  ASSERT_EQ(RunOpen("mkdir", db, {"Home"}).exitCode, 0);
  const TRun parent = Edit("Home", renamed, {"--edit-parent"});
  ASSERT_EQ(parent.exitCode, 0) << parent.err;
  EXPECT_THAT(FieldsJson("/"), HasSubstr("\"name\": \"Service\""));
}

TEST_F(FieldCommands, RefusedEditsLeaveTheDatabaseAsItWas) {
  const std::string before = ReadWhole(db);
  struct TCase {
    std::string folder;
    std::string json;
    int exitCode;
    std::string message;
  };
  const TCase cases[] = {
      {"/", "{\"fields\": [", 1, "The JSON input is not valid: unexpected end (line 1, column 13)."},
      {"/", "", 1, "The JSON input is not valid: unexpected end (line 1, column 1)."},
      {"/", R"({"field": []})", 1, "The fields description is not valid: the description has no member \"field\"."},
      {"/", Description(R"({"number": 0, "colour": 1})"), 1, "a field has no member \"colour\""},
      {"/", Description(R"({"type": "Integer"})"), 1, "a new field needs a \"name\""},
      {"/", Description(R"({"number": 0, "type": "Text"})"), 1, "\"type\" does not name one: Text"},
      {"/", Description(kBuiltIn, R"(["General", " "])"), 1, "Please enter section name."},
      {"/", Description(R"({"number": 0}, {"number": 1}, {"number": 2, "type": "Date", "defaultValue": "soon"})"), 1,
       "Field 3 (Account):\nInvalid field value."},
      {"/", Description(R"({"number": 0})"), 1, "The field 'Modified' is filled in by the program and cannot be deleted."},
      {"/", Description(R"({"number": 55})"), 1, "Field 1:\nThe structure has no field number 55."},
      {"Nowhere", Description(kBuiltIn), 1, "The folder 'Nowhere' does not exist."},
      {"/", std::string((1 << 20) + 1, ' '), 1, "The fields description is larger than 1048576 bytes."},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.message);
    const TRun run = Edit(c.folder, c.json);
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_THAT(run.err, HasSubstr(c.message));
  }
  const TRun missing = Edit("/", "", {"--file", File("missing.json")});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_THAT(missing.err, HasSubstr("missing.json"));
  EXPECT_EQ(ReadWhole(db), before);
}

TEST_F(FieldCommands, TheDescriptionComesFromAFileOrAfterThePasswords) {
  const std::string path = File("fields.json");
  std::ofstream(path) << Description(R"({"number": 0, "name": "Service"}, )" + kBuiltIn.substr(15));
  AddUser("Boss", "AIUDVM");
  const TRun boss = Run({"fields-edit", db, "/", "--file", path, "--password-stdin", "--user", "Boss"},
                        "secret\nuserpw\n");
  ASSERT_EQ(boss.exitCode, 0) << boss.err;
  EXPECT_THAT(FieldsJson(), HasSubstr("\"name\": \"Service\""));

  const std::string json = Description(R"({"number": 0, "name": "Title"}, )" + kBuiltIn.substr(15));
  const TRun afterUser = Run({"fields-edit", db, "/", "--password-stdin", "--user", "Boss"}, "secret\nuserpw\n" + json);
  ASSERT_EQ(afterUser.exitCode, 0) << afterUser.err;
  EXPECT_THAT(FieldsJson(), HasSubstr("\"name\": \"Title\""));
}

TEST_F(FieldCommands, EditingNeedsTheAdministratorRightAWritableFileAndThePassword) {
  AddUser("Clerk", "IUDVM");
  const std::string json = Description(kBuiltIn);
  const std::string before = ReadWhole(db);
  const TRun clerk = Run({"fields-edit", db, "/", "--password-stdin", "--user", "Clerk"}, "secret\nuserpw\n" + json);
  EXPECT_EQ(clerk.exitCode, 1);
  EXPECT_THAT(clerk.err, HasSubstr("Access denied."));
  const TRun wrong = Run({"fields-edit", db, "/", "--password-stdin"}, "wrong\n" + json);
  EXPECT_EQ(wrong.exitCode, 1);
  EXPECT_THAT(wrong.err, HasSubstr("The password is incorrect."));
  {
    TPwdBase holder;
    holder.FileName = db;
    holder.Open("secret");
    const TRun held = Edit("/", json);
    EXPECT_EQ(held.exitCode, 1);
    EXPECT_THAT(held.err, HasSubstr("could only be opened read-only"));
  }
  EXPECT_EQ(ReadWhole(db), before);
  // Reading the structure needs no right beyond opening.
  EXPECT_EQ(Run({"fields", db, "--password-stdin", "--user", "Clerk"}, "secret\nuserpw\n").exitCode, 0);
}

}  // namespace
}  // namespace corvane
