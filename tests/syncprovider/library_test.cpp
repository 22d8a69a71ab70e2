// The library as the service meets it: loaded by corvanesync-host, which plays
// the service, in a separate process.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <regex>
#include <set>

#include "platform/file_system.h"
#include "tests/syncprovider/sync_test_support.h"

namespace corvane {

using namespace sync_testing;

namespace {

struct TRun {
  int exitCode = -1;
  std::string output;

  // The value of the "name: value" line.
  std::string Field(const std::string& name) const {
    std::smatch match;
    std::regex line("(^|\n)" + name + ": ?([^\n]*)");
    return std::regex_search(output, match, line) ? match[2].str() : "<missing " + name + ">";
  }
};

TRun RunCommand(const std::string& command) {
  TRun run;
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) run.output.append(buffer, n);
  int status = ::pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

TRun Host(const std::string& arguments) {
  return RunCommand(std::string("'") + CORVANESYNC_HOST + "' --library '" + CORVANESYNC_LIBRARY + "' " + arguments);
}

}  // namespace

TEST(ProviderLibrary, ExportsExactlyTheSixEntryPoints) {
  TRun nm = RunCommand(std::string("nm -D --defined-only '") + CORVANESYNC_LIBRARY + "'");
  ASSERT_EQ(nm.exitCode, 0) << nm.output;
  std::set<std::string> symbols;
  std::istringstream lines(nm.output);
  for (std::string address, type, name; lines >> address >> type >> name;) symbols.insert(name);
  EXPECT_EQ(symbols, (std::set<std::string>{"FindObjects", "GetObjTypeInfo", "InitObjType", "ObjectNotify",
                                            "ReportStatus", "SyncData"}));
}

TEST(ProviderLibrary, ServiceSessionThroughTheHost) {
  TSyncTestBed bed;
  bed.InstallProgram(TProgramAnswer::kAcknowledges);
  bed.SetNewDbFileName(bed.Databases() + "/CVBase%d.dat");
  std::string mail = bed.WriteDatabase("Mail.dat", IdOf(1), "mail");
  const std::string oid = std::to_string(GetFileInfo(mail).objectId);
  bed.AddRecord(IdOf(1), mail, GetFileInfo(mail).objectId, "Mail").SetDWord("Enabled", 1);

  TRun list = Host("list");
  ASSERT_EQ(list.exitCode, 0) << list.output;
  EXPECT_EQ(list.Field("unchanged"), "");
  EXPECT_EQ(list.Field("changed"), oid);   // never synchronised

  TRun get = Host("get " + oid);
  ASSERT_EQ(get.exitCode, 0) << get.output;
  EXPECT_EQ(get.Field("packet"), "0x00140001");
  EXPECT_EQ(get.Field("key"), IdOf(1).ToString());
  EXPECT_EQ(get.Field("name"), "Mail");
  EXPECT_EQ(get.Field("enabled"), "1");

  // The desktop has written the database: it comes back in place of the file.
  const std::string desktopCopy = bed.DbPath("from-desktop.bin");
  WriteText(desktopCopy, DatabaseBytes(IdOf(1), 230, std::string(9000, 'd')));
  TRun put = Host("put-file '" + desktopCopy + "' " + oid);
  ASSERT_EQ(put.exitCode, 0) << put.output;
  EXPECT_EQ(put.Field("reset"), "0x00000000");
  EXPECT_EQ(ReadText(mail), ReadText(desktopCopy));
  EXPECT_EQ(put.Field("oid"), std::to_string(GetFileInfo(mail).objectId));

  // Now synchronised with partner 1, but not with partner 2.
  EXPECT_EQ(Host("list").Field("unchanged"), put.Field("oid"));
  EXPECT_EQ(Host("--partner 2 list").Field("changed"), put.Field("oid"));

  TRun info = Host("info");
  EXPECT_EQ(info.Field("objects"), "1");
  EXPECT_EQ(info.Field("size"), std::to_string(GetFileInfo(mail).size));
  // Five sessions, and the start while the file arrived.
  EXPECT_EQ(bed.WaitForStarts(6).size(), 6u);
}

TEST(ProviderLibrary, HostReportsRefusals) {
  TSyncTestBed bed;
  // Without a program to hand off to, the object type cannot start.
  TRun list = Host("list");
  EXPECT_EQ(list.exitCode, 1);
  EXPECT_NE(list.output.find("did not acknowledge"), std::string::npos) << list.output;

  bed.InstallProgram(TProgramAnswer::kAcknowledges);
  const std::string garbage = bed.DbPath("garbage.bin");
  WriteText(garbage, "this is not a database");
  bed.SetNewDbFileName(bed.Databases() + "/CVBase%d.dat");
  TRun put = Host("put-file '" + garbage + "'");
  EXPECT_EQ(put.exitCode, 1);
  EXPECT_EQ(put.Field("reset"), "0x8000FFFF");
  EXPECT_EQ(FilesIn(bed.Databases()), std::vector<std::string>{"garbage.bin"});

  TRun record = Host("put-record '..\\..\\Policies' 1 5");
  EXPECT_EQ(record.exitCode, 1);
  EXPECT_EQ(record.Field("packet"), "0x80070057");
  EXPECT_EQ(Host("sync-data '..\\..\\Policies' 1").Field("status"), "0x80070057");
  EXPECT_FALSE(TRegKey::Open(THive::CurrentUser, "Software\\Corvane\\Policies"));

  EXPECT_EQ(Host("frobnicate").exitCode, 2);
  // Two sessions, and the start while the file arrived.
  EXPECT_EQ(bed.WaitForStarts(3).size(), 3u);
}

TEST(ProviderLibrary, NotificationsAndSettingsThroughTheHost) {
  TSyncTestBed bed;
  bed.InstallProgram(TProgramAnswer::kAcknowledges);
  std::string mail = bed.WriteDatabase("Mail.dat", IdOf(1));
  bed.AddRecord(IdOf(1), mail, 11, "Mail");

  TRun unregistered = Host("notify 0x11 12 '" + bed.DbPath("Other.dat") + "' 5");
  EXPECT_EQ(unregistered.Field("result"), "false");
  TRun changed = Host("notify 0x11 12 '" + mail + "' 5");
  EXPECT_EQ(changed.Field("result"), "true");
  EXPECT_EQ(changed.Field("changed"), "1");

  TRun enable = Host("sync-data '" + IdOf(1).ToString() + "' 1");
  EXPECT_EQ(enable.Field("status"), "0x00000000");
  EXPECT_EQ(bed.Record(IdOf(1))->QueryDWord("Enabled"), 1u);
  EXPECT_EQ(bed.Record(IdOf(1))->QueryDWord("OID"), 12u);
  bed.WaitForStarts(2);
}

}  // namespace corvane
