// mkdir, add, ls, show and dump on a real database file.

#include <gmock/gmock.h>

#include "engine/base.h"
#include "engine/fields.h"
#include "engine/permissions.h"
#include "engine/users.h"
#include "tests/cli/cli_test_support.h"

namespace corvane {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using cli_testing::TRun;

class RecordCommands : public cli_testing::TCliTest {
 protected:
  RecordCommands() : db(CreateDatabase()) {}

  // Adds a record and returns its id.
  std::string Add(const std::string& folder, std::vector<std::string> options, const std::string& asked = {}) {
    options.insert(options.begin(), folder);
    const TRun run = RunOpen("add", db, options, asked);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.size(), 39u) << run.out;  // "{...}\n"
    return run.out.substr(0, 38);
  }

  std::string Ls(std::vector<std::string> options = {}) {
    const TRun run = RunOpen("ls", db, options);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return run.out;
  }

  std::string db;
};

TEST_F(RecordCommands, MkdirCreatesMissingParentsOnly) {
  ASSERT_EQ(RunOpen("mkdir", db, {"Work/Mail"}).exitCode, 0);
  ASSERT_EQ(RunOpen("mkdir", db, {"/Work/Home/"}).exitCode, 0);
  EXPECT_EQ(Ls({"-R"}), "Work/\nWork/Mail/\nWork/Home/\n");
  const TRun again = RunOpen("mkdir", db, {"Work/Mail"});
  EXPECT_EQ(again.exitCode, 1);
  EXPECT_THAT(again.err, HasSubstr("The folder 'Work/Mail' already exists."));
}

TEST_F(RecordCommands, AddSetsFieldsAndShowMasksPasswords) {
  ASSERT_EQ(RunOpen("mkdir", db, {"Work/Mail"}).exitCode, 0);
  const std::string id = Add("Work/Mail", {"--field", "Title=Gmail", "--field", "user name=me@example.org",
                                           "--field", "Description=line one\nline two", "--ask-field", "Password"},
                             "hunter2\n");
  const TRun show = RunOpen("show", db, {"Work/Mail/Gmail"});
  ASSERT_EQ(show.exitCode, 0) << show.err;
  EXPECT_THAT(show.out, HasSubstr("Path: /Work/Mail/Gmail\nId: " + id + "\n"));
  EXPECT_THAT(show.out, HasSubstr("Title: Gmail\nUser name: me@example.org\n"));
  EXPECT_THAT(show.out, HasSubstr("Password: ******\n"));
  EXPECT_THAT(show.out, HasSubstr("Modified by: Default\n"));
  EXPECT_THAT(show.out, HasSubstr("Description: line one\n    line two\n"));
  EXPECT_THAT(show.out, Not(HasSubstr("hunter2")));

  const TRun revealed = RunOpen("show", db, {id, "--show-password", "--json"});
  ASSERT_EQ(revealed.exitCode, 0) << revealed.err;
  EXPECT_THAT(revealed.out, HasSubstr("\"name\": \"Password\",\n      \"number\": 8,\n      \"text\": \"hunter2\""));
  EXPECT_THAT(revealed.out, HasSubstr("\"text\": \"line one\\nline two\""));
}

TEST_F(RecordCommands, AddRefusalsLeaveTheDatabaseAsItWas) {
  const std::string before = cli_testing::ReadWhole(db);
  struct TCase {
    std::vector<std::string> args;
    int exitCode;
    std::string message;
  };
  const TCase cases[] = {
      {{"/", "--field", "Colour=blue"}, 1, "The record has no field 'Colour'."},
      {{"/", "--field", "Password=hunter2"}, 1, "A password is not taken from the command line"},
      {{"/", "--field", "Created=1/1/2020"}, 1, "The field 'Created' is filled in automatically."},
      {{"/", "--field", "Title=\xD0\x96"}, 1, "cannot be stored in code page 1252"},
      {{"Nowhere", "--field", "Title=x"}, 1, "The folder 'Nowhere' does not exist."},
      {{"/", "--field", "Title"}, 2, "A field is given as NAME=VALUE, not 'Title'."},
      {{"/", "--ask-field", "Password"}, 1, "No password was given."},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.message);
    const TRun run = RunOpen("add", db, c.args);
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_THAT(run.err, HasSubstr(c.message));
    EXPECT_EQ(run.out, "");
  }
  EXPECT_EQ(cli_testing::ReadWhole(db), before);
}

TEST_F(RecordCommands, AddStartsFromTheDefaultValues) {
  {
    TPwdBase base;
    base.FileName = db;
    base.Open("secret");
    base.Structure->FieldByName("Account")->SetDefaultValue("acme");
    base.Structure->FieldByName("URL")->SetDefaultValue("https://example.org");
    base.Save();
  }
  const std::string id = Add("/", {"--field", "Title=Shop", "--field", "URL=https://shop.example"});
  const TRun show = RunOpen("show", db, {id});
  EXPECT_THAT(show.out, HasSubstr("Account: acme\n"));
  EXPECT_THAT(show.out, HasSubstr("URL: https://shop.example\n"));
}

TEST_F(RecordCommands, LsListsFoldersAndRecordsInStoredOrder) {
  ASSERT_EQ(RunOpen("mkdir", db, {"Work"}).exitCode, 0);
  Add("/", {"--field", "Title=B\xC3\xBC" "ro"});
  const std::string mail = Add("Work", {"--field", "Title=Mail"});
  EXPECT_EQ(Ls(), "Work/\nB\xC3\xBCro\n");
  EXPECT_EQ(Ls({"Work"}), "Mail\n");
  EXPECT_EQ(Ls({"-R"}), "Work/\nWork/Mail\nB\xC3\xBCro\n");
  const std::string json = Ls({"Work", "--json"});
  EXPECT_THAT(json, HasSubstr("\"type\": \"record\",\n    \"name\": \"Mail\",\n    \"path\": \"/Work/Mail\",\n    \"id\": \"" + mail + "\""));
  EXPECT_EQ(Ls({"Work", "--json", "-R"}), json);

  const std::pair<std::string, std::string> errors[] = {
      {"Home", "The folder 'Home' does not exist."},
      {"Work/Mail", "'Work/Mail' is a record, not a folder."},
  };
  for (const auto& [path, message] : errors) {
    const TRun run = RunOpen("ls", db, {path});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_THAT(run.err, HasSubstr(message));
  }
}

TEST_F(RecordCommands, RecordsTheUserMayNotSeeAreNeitherListedNorShown) {
  Add("/", {"--field", "Title=Open"});
  const std::string secret = Add("/", {"--field", "Title=Secret"});
  {
    // Clerk may see what inherits the root's permissions; "Secret" gets its
    // own list, which has an entry for the default user only.
    TPwdBase base;
    base.FileName = db;
    base.Open("secret");
    auto clerk = std::make_unique<TPwdBaseUser>();
    clerk->SetName("Clerk");
    clerk->SetPassword("clerkpw");
    clerk->SetRights("IUV");
    clerk->SetGuid(TGuid::Create());
    base.Users->Add(std::move(clerk));
    TPwdItem* record = base.FindItem(*TGuid::Parse(secret));
    record->SetInheritRights(false);
    record->Permissions->Clear();
    record->Permissions->SetEntry(TGuid(), "", "");
    base.Save();
  }
  EXPECT_EQ(Ls(), "Open\nSecret\n");
  const TRun clerk = Run({"ls", db, "--password-stdin", "--user", "Clerk"}, "secret\nclerkpw\n");
  EXPECT_EQ(clerk.exitCode, 0) << clerk.err;
  EXPECT_EQ(clerk.out, "Open\n");
  // Neither its title nor its id names it for Clerk.
  for (const std::string& name : {std::string("Secret"), secret}) {
    const TRun show = Run({"show", db, name, "--password-stdin", "--user", "Clerk"}, "secret\nclerkpw\n");
    EXPECT_EQ(show.exitCode, 1);
    EXPECT_THAT(show.err, HasSubstr("does not exist"));
  }
}

TEST_F(RecordCommands, ShowNamesAmbiguousTitlesByTheirIds) {
  const std::string first = Add("/", {"--field", "Title=Twin"});
  const std::string second = Add("/", {"--field", "Title=Twin"});
  const TRun run = RunOpen("show", db, {"Twin"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_THAT(run.err, HasSubstr("'Twin' is shared by 2 records"));
  EXPECT_THAT(run.err, HasSubstr(first));
  EXPECT_THAT(run.err, HasSubstr(second));
  EXPECT_EQ(RunOpen("show", db, {second}).exitCode, 0);
}

TEST_F(RecordCommands, DumpShowsEverythingButPasswordsUnlessAsked) {
  ASSERT_EQ(RunOpen("mkdir", db, {"Work"}).exitCode, 0);
  const std::string id = Add("Work", {"--field", "Title=Gmail", "--ask-field", "Password"}, "hunter2\n");
  const TRun dump = RunOpen("dump", db);
  ASSERT_EQ(dump.exitCode, 0) << dump.err;
  EXPECT_THAT(dump.out, HasSubstr("\"name\": \"Test\""));
  EXPECT_THAT(dump.out, HasSubstr("\"guid\": \"" + id + "\""));
  EXPECT_THAT(dump.out, HasSubstr("\"name\": \"Work\""));
  EXPECT_THAT(dump.out, HasSubstr("\"name\": \"Default\""));
  EXPECT_THAT(dump.out, HasSubstr("\"text\": \"Gmail\""));
  EXPECT_THAT(dump.out, HasSubstr("\"changeLog\": ["));
  EXPECT_THAT(dump.out, HasSubstr("\"newText\": \"Gmail\""));
  // Neither the record's value nor its change-log entry gives the password away.
  EXPECT_THAT(dump.out, Not(HasSubstr("hunter2")));
  EXPECT_THAT(dump.out, HasSubstr("\"newText\": \"******\""));

  const TRun revealed = RunOpen("dump", db, {"--show-password"});
  ASSERT_EQ(revealed.exitCode, 0) << revealed.err;
  EXPECT_THAT(revealed.out, HasSubstr("\"text\": \"hunter2\""));
  EXPECT_THAT(revealed.out, HasSubstr("\"newText\": \"hunter2\""));
}

TEST_F(RecordCommands, DumpMasksLoggedValuesOfFieldsThatNoLongerExist) {
  Add("/", {"--field", "Title=Gmail", "--ask-field", "Password"}, "hunter2\n");
  {
    TPwdBase base;
    base.FileName = db;
    base.Open("secret");
    TPwdFieldsList& structure = *base.EffectiveStructure();
    for (int i = 0; i < structure.Count(); ++i)
      if (structure[i]->Name == "Password") structure.DeleteField(i);
    base.Save();
    base.Close();
  }
  const TRun dump = RunOpen("dump", db);
  ASSERT_EQ(dump.exitCode, 0) << dump.err;
  EXPECT_THAT(dump.out, Not(HasSubstr("hunter2")));
  EXPECT_THAT(dump.out, HasSubstr("\"newText\": \"Gmail\""));
}

}  // namespace
}  // namespace corvane
