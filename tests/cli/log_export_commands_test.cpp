// log and export on a real database file.

#include <gmock/gmock.h>
#include <sys/stat.h>

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

constexpr std::int32_t kTitle = 0, kUser = 1, kPassword = 8, kDescription = 4;

class LogExportCommands : public cli_testing::TCliTest {
 protected:
  LogExportCommands() : db(CreateDatabase()) {
    // Records in the root and in a subfolder with its own structure, and
    // users with fewer rights.
    TPwdBase base;
    base.FileName = db;
    base.Open("secret");
    gmail = AddRecord(base, {{kTitle, "Gmail"}, {kUser, "me, myself"}, {kPassword, "hunter2"}});
    auto* cards = static_cast<TPwdFolder*>(base.Items->AddItem(kItemTypeFolder, false));
    cards->SetName("Cards");
    cards->Post();
    cards->CreateStructure(0);
    cards->Structure->SetDefaultSections();
    cards->Structure->AddField("Title", kFieldString, kKindRegular);
    pinNumber = cards->Structure->AddField("PIN", kFieldString, kKindPassword)->Number;
    cards->Structure->AddField("Notes", kFieldString, kKindMultiline);
    auto* card = static_cast<TPwdPassword*>(cards->Items->AddItem(kItemTypeRecord, false));
    (*card->Bind())[0]->SetAsString("Visa");
    (*card->Bind())[1]->SetAsString("4321");
    (*card->Bind())[2]->SetAsString("say \"hi\"\r\nline two");
    card->Post();
    AddUser(base, "Clerk", "clerkpw", "IUD");    // neither print nor view
    AddUser(base, "Printer", "printpw", "P");    // print, but no passwords
    AddUser(base, "Viewer", "viewpw", "V");      // passwords, but no print
    base.Save();
  }

  static std::string AddRecord(TPwdBase& base, const std::vector<std::pair<std::int32_t, std::string>>& values) {
    auto* record = static_cast<TPwdPassword*>(base.Items->AddItem(kItemTypeRecord, false));
    for (const auto& [number, text] : values) record->Bind()->FieldByNumber(number)->SetAsString(text);
    record->Post();
    return record->Guid.ToString();
  }
  static void AddUser(TPwdBase& base, const std::string& name, const std::string& password, const std::string& rights) {
    auto user = std::make_unique<TPwdBaseUser>();
    user->SetName(name);
    user->SetPassword(password);
    user->SetRights(rights);
    user->SetGuid(TGuid::Create());
    base.Users->Add(std::move(user));
  }

  // Runs as a database user: master password, then the user's.
  TRun RunAs(const std::string& user, const std::string& password, std::vector<std::string> args) {
    args.insert(args.begin() + 2, {"--password-stdin", "--user", user});
    return Run(args, "secret\n" + password + "\n");
  }

  std::string db;
  std::string gmail;
  std::int32_t pinNumber = 0;
};

TEST_F(LogExportCommands, LogShowsEachChangeWithPasswordsMasked) {
  {
    TPwdBase base;
    base.FileName = db;
    base.Open("secret");
    TPwdPassword* record = static_cast<TPwdPassword*>(base.FindItem(*TGuid::Parse(gmail)));
    record->Edit();
    record->Bind()->FieldByNumber(kDescription)->SetAsString("tab\there");
    record->Post();
    record->Delete();
    base.Save();
  }
  const TRun log = RunOpen("log", db);
  ASSERT_EQ(log.exitCode, 0) << log.err;
  EXPECT_THAT(log.out, HasSubstr("\tDefault\tInsert\t" + gmail + "\tUser name\t\"\" -> \"me, myself\"\n"));
  EXPECT_THAT(log.out, HasSubstr("\tInsert\t" + gmail + "\tPassword\t\"\" -> \"******\"\n"));
  EXPECT_THAT(log.out, HasSubstr("\tUpdate\t" + gmail + "\tDescription\t\"\" -> \"tab\\there\"\n"));
  EXPECT_THAT(log.out, HasSubstr("\tDelete\t" + gmail + "\tPassword\t\"******\" -> \"\"\n"));
  EXPECT_THAT(log.out, HasSubstr("\tInsert\t/Cards\t(folder name)\t\"\" -> \"Cards\"\n"));
  EXPECT_THAT(log.out, HasSubstr("\tInsert\t/Cards/Visa\tPIN\t\"\" -> \"******\"\n"));
  EXPECT_THAT(log.out, Not(HasSubstr("hunter2")));
  EXPECT_THAT(log.out, Not(HasSubstr("4321")));

  const TRun shown = RunOpen("log", db, {"--show-password", "--json"});
  ASSERT_EQ(shown.exitCode, 0) << shown.err;
  EXPECT_THAT(shown.out, HasSubstr("\"kind\": \"Insert\",\n    \"id\": \"" + gmail + "\",\n    \"path\": null,\n"
                                   "    \"fieldNumber\": 8,\n    \"field\": \"Password\",\n    \"oldText\": \"\",\n"
                                   "    \"newText\": \"hunter2\",\n    \"masked\": false"));
  EXPECT_THAT(shown.out, HasSubstr("\"path\": \"/Cards/Visa\""));
  EXPECT_THAT(shown.out, HasSubstr("\"newText\": \"4321\""));
  EXPECT_THAT(shown.out, HasSubstr("\"user\": \"Default\""));
}

TEST_F(LogExportCommands, LogSinceTakesIsoAndLocaleDates) {
  const TRun all = RunOpen("log", db);
  ASSERT_EQ(all.exitCode, 0) << all.err;
  ASSERT_NE(all.out, "");
  for (const char* since : {"2000-01-01", "1/1/2000"}) EXPECT_EQ(RunOpen("log", db, {"--since", since}).out, all.out);
  for (const char* since : {"9999-12-31", "12/31/9999"}) {
    const TRun none = RunOpen("log", db, {"--since", since});
    EXPECT_EQ(none.exitCode, 0) << none.err;
    EXPECT_EQ(none.out, "");
  }
  for (const char* bad : {"2025-02-30", "yesterday", "31.12.2025x"}) {
    SCOPED_TRACE(bad);
    const TRun run = RunOpen("log", db, {"--since", bad});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_THAT(run.err, HasSubstr("'" + std::string(bad) + "' is not a date"));
  }
}

TEST_F(LogExportCommands, LogAndExportRefusals) {
  struct TCase {
    std::string user, password;
    std::vector<std::string> args;
    int exitCode;
    std::string message;
  };
  const TCase cases[] = {
      {"Printer", "printpw", {"log", db, "--show-password"}, 1, "Access denied."},
      {"Printer", "wrong", {"log", db}, 1, "The password is incorrect."},
      {"Clerk", "clerkpw", {"export", db, "--format", "csv"}, 1, "Access denied."},
      {"Viewer", "viewpw", {"export", db, "--format", "csv", "--show-password"}, 1, "Access denied."},
      {"Printer", "printpw", {"export", db, "--format", "json", "--show-password"}, 1, "Access denied."},
      {"Printer", "printpw", {"export", db, "--format", "xml"}, 2, "Unknown export format 'xml'; give csv or json."},
      {"Printer", "printpw", {"export", db, "--format", "csv", "--folder", "Nowhere"}, 1,
       "The folder 'Nowhere' does not exist."},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.message + " " + c.args[0]);
    const TRun run = RunAs(c.user, c.password, c.args);
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_THAT(run.err, HasSubstr(c.message));
    EXPECT_EQ(run.out, "");
  }
}

TEST_F(LogExportCommands, ExportCsvQuotesAndLeavesPasswordsOut) {
  const TRun run = RunAs("Printer", "printpw", {"export", db, "--format", "csv"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_THAT(run.err, HasSubstr("in clear"));
  const std::string header =
      "Folder,Title,User name,Account,URL,Password,Created,Modified,Modified by,Expire on,Description,PIN,Notes\r\n";
  ASSERT_EQ(run.out.substr(0, header.size()), header);
  EXPECT_THAT(run.out, HasSubstr("\r\n/,Gmail,\"me, myself\",,,,"));
  EXPECT_THAT(run.out, HasSubstr("\r\n/Cards,Visa,,,,,,,,,,,\"say \"\"hi\"\"\r\nline two\"\r\n"));
  EXPECT_THAT(run.out, Not(HasSubstr("hunter2")));
  EXPECT_THAT(run.out, Not(HasSubstr("4321")));

  const TRun work = RunOpen("export", db, {"--format", "csv", "--folder", "Cards", "--show-password"});
  ASSERT_EQ(work.exitCode, 0) << work.err;
  EXPECT_EQ(work.out, "Folder,Title,PIN,Notes\r\n/Cards,Visa,4321,\"say \"\"hi\"\"\r\nline two\"\r\n");
  EXPECT_THAT(work.err, HasSubstr("passwords in clear"));
}

TEST_F(LogExportCommands, ExportJsonListsEachRecordsOwnFields) {
  const TRun run = RunOpen("export", db, {"--format", "json", "--show-password"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_THAT(run.out, HasSubstr("\"id\": \"" + gmail + "\",\n    \"path\": \"/Gmail\",\n    \"folder\": \"/\""));
  EXPECT_THAT(run.out, HasSubstr("\"name\": \"PIN\",\n        \"number\": " + std::to_string(pinNumber) +
                                 ",\n        \"text\": \"4321\""));
  EXPECT_THAT(run.out, HasSubstr("\"text\": \"hunter2\""));
}

TEST_F(LogExportCommands, ExportOutputIsANewPrivateFileUnlessForced) {
  const std::string out = File("export.csv");
  const TRun first = RunOpen("export", db, {"--format", "csv", "--output", out});
  ASSERT_EQ(first.exitCode, 0) << first.err;
  EXPECT_EQ(first.out, "");
  const std::string written = ReadWhole(out);
  EXPECT_EQ(written, RunOpen("export", db, {"--format", "csv"}).out);
  struct stat info {};
  ASSERT_EQ(::stat(out.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  const TRun again = RunOpen("export", db, {"--format", "json", "--output", out});
  EXPECT_EQ(again.exitCode, 1);
  EXPECT_THAT(again.err, HasSubstr("The file '" + out + "' already exists; give --force to replace it."));
  EXPECT_EQ(ReadWhole(out), written);

  ::chmod(out.c_str(), 0644);
  const TRun forced = RunOpen("export", db, {"--format", "json", "--output", out, "--force"});
  ASSERT_EQ(forced.exitCode, 0) << forced.err;
  EXPECT_THAT(ReadWhole(out), HasSubstr("\"path\": \"/Gmail\""));
  ASSERT_EQ(::stat(out.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  const std::string database = ReadWhole(db);
  const TRun overDb = RunOpen("export", db, {"--format", "csv", "--output", db, "--force"});
  EXPECT_EQ(overDb.exitCode, 1);
  EXPECT_THAT(overDb.err, HasSubstr("The export cannot be written over the database file."));
  EXPECT_EQ(ReadWhole(db), database);
}

}  // namespace
}  // namespace corvane
