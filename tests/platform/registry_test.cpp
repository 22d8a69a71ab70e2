#include "platform/registry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "platform/error.h"
#include "platform/registry_location.h"
#include "tests/platform/ipc_test_support.h"
#include "tests/platform/registry_test_support.h"

namespace corvane {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;
using namespace std::string_literals;

namespace fs = std::filesystem;

std::vector<std::string> NamesOf(const std::vector<TRegValue>& values) {
  std::vector<std::string> names;
  for (const TRegValue& value : values) names.push_back(value.name);
  return names;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const std::string& bytes) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

// Runs SQL on a file directly, as a foreign program or a damaging tool would.
void RunSql(const std::string& file, const char* sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
  sqlite3_close(db);
}

class RegistryTest : public ::testing::Test {
 protected:
  testing::TTempRegistry registry_;
};

TEST_F(RegistryTest, ValuesOfEachTypeReadBackAsWritten) {
  TRegKey key = TRegKey::Create(THive::CurrentUser, "Software\\Corvane");
  const std::string withNul = "C:\\Bases\\\xC3\xA9t\xC3\xA9\0end"s;  // UTF-8 with an embedded NUL
  const std::vector<std::uint8_t> bytes = {0x00, 0xFF, 0x00, 0x7F};
  key.SetString("File", withNul);
  key.SetString("", "default value");
  key.SetString("Empty", "");
  key.SetDWord("OID", 0xFFFFFFFFu);
  key.SetBinary("Modified1", bytes);
  key.SetBinary("Nothing", {});

  EXPECT_EQ(key.QueryString("File"), withNul);
  EXPECT_EQ(key.QueryString(""), "default value");
  EXPECT_EQ(key.QueryString("Empty"), "");
  EXPECT_EQ(key.QueryDWord("OID"), 0xFFFFFFFFu);
  EXPECT_EQ(key.QueryBinary("Modified1"), bytes);
  EXPECT_EQ(key.QueryBinary("Nothing"), std::vector<std::uint8_t>{});
  EXPECT_EQ(key.QueryString("Missing"), std::nullopt);
  EXPECT_EQ(key.Query("Missing"), std::nullopt);

  auto any = key.Query("OID");
  ASSERT_TRUE(any);
  EXPECT_EQ(any->type, TRegType::DWord);
  EXPECT_EQ(any->number, 0xFFFFFFFFu);

  // A value written over with another type takes the new type.
  key.SetDWord("File", 7);
  EXPECT_EQ(key.QueryDWord("File"), 7u);
  EXPECT_TRUE(key.DeleteValue("File"));
  EXPECT_FALSE(key.DeleteValue("File"));
  EXPECT_EQ(key.Query("File"), std::nullopt);

  // Everything was written to the file: another opening of the key sees it.
  auto again = TRegKey::Open(THive::CurrentUser, "Software\\Corvane");
  ASSERT_TRUE(again);
  EXPECT_EQ(again->QueryBinary("Modified1"), bytes);
}

TEST_F(RegistryTest, QueryingAValueAsAnotherTypeIsAnError) {
  TRegKey key = TRegKey::Create(THive::CurrentUser, "Software\\Corvane");
  key.SetDWord("AutoClose", 1);
  key.SetString("BackupPath", "x");
  key.SetBinary("Modified1", std::vector<std::uint8_t>{1});
  EXPECT_THAT([&] { key.QueryString("autoclose"); },
              ThrowsMessage<TError>(HasSubstr("\"AutoClose\" in \"Software\\Corvane\" is not a string")));
  EXPECT_THAT([&] { key.QueryBinary("AutoClose"); }, ThrowsMessage<TError>(HasSubstr("is not binary data")));
  EXPECT_THAT([&] { key.QueryDWord("BackupPath"); }, ThrowsMessage<TError>(HasSubstr("is not a number")));
  EXPECT_THAT([&] { key.QueryDWord("Modified1"); }, ThrowsMessage<TError>(HasSubstr("is not a number")));
}

TEST_F(RegistryTest, NamesIgnoreCaseAndKeepTheCaseFirstWritten) {
  TRegKey key = TRegKey::Create(THive::CurrentUser, "Software\\Corvane");
  key.SetDWord("AutoClose", 1);
  key.SetDWord("AUTOCLOSE", 2);

  auto other = TRegKey::Open(THive::CurrentUser, "SOFTWARE\\corvane");
  ASSERT_TRUE(other);
  EXPECT_EQ(other->QueryDWord("autoclose"), 2u);
  EXPECT_THAT(NamesOf(other->Values()), ElementsAre("AutoClose"));

  TRegKey::Create(THive::CurrentUser, "software\\CORVANE\\Policies");
  TRegKey::Create(THive::CurrentUser, "Software\\Corvane\\POLICIES");
  auto root = TRegKey::Open(THive::CurrentUser, "");
  ASSERT_TRUE(root);
  EXPECT_THAT(root->SubKeys(), ElementsAre("Software"));
  EXPECT_THAT(key.SubKeys(), ElementsAre("Policies"));
  EXPECT_TRUE(TRegKey::DeleteKey(THive::CurrentUser, "SOFTWARE\\CORVANE\\policies"));
  EXPECT_THAT(key.SubKeys(), ElementsAre());
}

TEST_F(RegistryTest, ListingsFollowCreationOrder) {
  TRegKey key = TRegKey::Create(THive::CurrentUser, "Software\\Corvane\\ActiveSync");
  for (const char* name : {"{B}", "{A}", "{C}"}) key.CreateSubKey(name);
  EXPECT_THAT(key.SubKeys(), ElementsAre("{B}", "{A}", "{C}"));

  key.SetString("z", "1");
  key.SetString("a", "2");
  key.SetString("M", "3");
  key.SetDWord("Z", 4);       // written over: keeps its place
  EXPECT_TRUE(key.DeleteValue("a"));
  key.SetString("A", "5");    // deleted and written again: goes last
  EXPECT_THAT(NamesOf(key.Values()), ElementsAre("z", "M", "A"));

  // A key deleted and created again goes last too.
  EXPECT_TRUE(TRegKey::DeleteKey(THive::CurrentUser, "Software\\Corvane\\ActiveSync\\{B}"));
  key.CreateSubKey("{B}");
  EXPECT_THAT(key.SubKeys(), ElementsAre("{A}", "{C}", "{B}"));
}

TEST_F(RegistryTest, OpeningForReadingNeverCreatesTheStoreOrAKey) {
  EXPECT_EQ(TRegKey::Open(THive::CurrentUser, "Software\\Corvane"), std::nullopt);
  EXPECT_EQ(TRegKey::Open(THive::LocalMachine, ""), std::nullopt);
  EXPECT_FALSE(TRegKey::DeleteKey(THive::CurrentUser, "Software"));
  EXPECT_FALSE(fs::exists(fs::path(registry_.UserFile()).parent_path()));
  EXPECT_FALSE(fs::exists(fs::path(registry_.MachineFile()).parent_path()));

  // An empty file (as a crash between creating and filling it would leave) holds
  // no keys, and reading leaves it empty.
  WriteFile(registry_.UserFile(), "");
  EXPECT_EQ(TRegKey::Open(THive::CurrentUser, "Software"), std::nullopt);
  EXPECT_EQ(fs::file_size(registry_.UserFile()), 0u);

  TRegKey corvane = TRegKey::Create(THive::CurrentUser, "Software\\Corvane");
  EXPECT_EQ(TRegKey::Open(THive::CurrentUser, "Software\\Corvane\\Policies"), std::nullopt);
  EXPECT_EQ(corvane.OpenSubKey("Policies"), std::nullopt);
  EXPECT_THAT(corvane.SubKeys(), ElementsAre());
}

TEST_F(RegistryTest, CreateMakesParentsAndDeleteKeyRemovesTheWholeSubtree) {
  TRegKey deep = TRegKey::Create(THive::CurrentUser, "A\\B\\C");
  deep.SetString("v", "1");
  TRegKey::Create(THive::CurrentUser, "A\\B").SetString("w", "2");
  TRegKey::Create(THive::CurrentUser, "A\\Other");

  EXPECT_TRUE(TRegKey::DeleteKey(THive::CurrentUser, "a\\b"));
  EXPECT_FALSE(TRegKey::DeleteKey(THive::CurrentUser, "A\\B"));
  EXPECT_EQ(TRegKey::Open(THive::CurrentUser, "A\\B\\C"), std::nullopt);
  auto a = TRegKey::Open(THive::CurrentUser, "A");
  ASSERT_TRUE(a);
  EXPECT_THAT(a->SubKeys(), ElementsAre("Other"));

  // Keys created again under the same names start empty.
  TRegKey again = TRegKey::Create(THive::CurrentUser, "A\\B\\C");
  EXPECT_THAT(again.Values(), ElementsAre());
  EXPECT_EQ(again.OpenSubKey("")->Path(), "A\\B\\C");
}

TEST_F(RegistryTest, NestingDeeperThanRecursionLimitsStillDeletes) {
  std::string path = "Top";
  for (int i = 0; i < 1200; ++i) path += "\\k";
  TRegKey::Create(THive::CurrentUser, path).SetDWord("leaf", 1);
  EXPECT_TRUE(TRegKey::DeleteKey(THive::CurrentUser, "Top"));
  auto root = TRegKey::Open(THive::CurrentUser, "");
  ASSERT_TRUE(root);
  EXPECT_THAT(root->SubKeys(), ElementsAre());
}

TEST_F(RegistryTest, MalformedPathsAndUnknownHivesAreRefusedAndChangeNothing) {
  const std::string withNul("A\0B", 3);
  for (std::string path : {std::string("\\Software"), std::string("Software\\"), std::string("Software\\\\Corvane"),
                           std::string("\\"), withNul}) {
    SCOPED_TRACE(path);
    EXPECT_THROW(TRegKey::Create(THive::CurrentUser, path), TError);
    EXPECT_THROW(TRegKey::Open(THive::CurrentUser, path), TError);
    EXPECT_THROW(TRegKey::DeleteKey(THive::CurrentUser, path), TError);
  }
  EXPECT_FALSE(fs::exists(registry_.UserFile()));

  const auto unknown = static_cast<THive>(7);
  EXPECT_THAT([&] { TRegKey::Create(unknown, "Software"); }, ThrowsMessage<TError>(HasSubstr("Unknown registry hive")));
  EXPECT_THROW(TRegKey::Open(unknown, "Software"), TError);

  TRegKey key = TRegKey::Create(THive::CurrentUser, "Software");
  EXPECT_THROW(key.CreateSubKey("Corvane\\"), TError);
  EXPECT_THROW(key.OpenSubKey("\\Corvane"), TError);
  EXPECT_THROW(key.SetString(std::string("a\0b", 3), "x"), TError);
  EXPECT_THAT(key.SubKeys(), ElementsAre());
  EXPECT_THAT(key.Values(), ElementsAre());
  EXPECT_THAT([] { TRegKey::DeleteKey(THive::CurrentUser, ""); }, ThrowsMessage<TError>(HasSubstr("root key")));
}

TEST_F(RegistryTest, KeyDeletedElsewhereReadsAsEmptyAndRefusesWrites) {
  TRegKey key = TRegKey::Create(THive::CurrentUser, "Software\\Corvane\\ActiveSync\\{1}");
  key.SetString("File", "/a.dat");
  ASSERT_TRUE(TRegKey::DeleteKey(THive::CurrentUser, "Software\\Corvane\\ActiveSync"));

  EXPECT_EQ(key.QueryString("File"), std::nullopt);
  EXPECT_THAT(key.Values(), ElementsAre());
  EXPECT_THAT(key.SubKeys(), ElementsAre());
  EXPECT_EQ(key.OpenSubKey(""), std::nullopt);
  EXPECT_FALSE(key.DeleteValue("File"));
  EXPECT_THAT([&] { key.SetString("File", "/b.dat"); }, ThrowsMessage<TError>(HasSubstr("no longer exists")));
  EXPECT_THROW(key.CreateSubKey("Sub"), TError);

  // A key made again under the same path is a new key: the old handle never
  // reaches it, even though it is the newest key in the store.
  TRegKey::Create(THive::CurrentUser, "Software\\Corvane\\ActiveSync\\{1}").SetString("File", "/c.dat");
  EXPECT_EQ(key.QueryString("File"), std::nullopt);
  EXPECT_THROW(key.SetString("File", "/d.dat"), TError);
}

TEST_F(RegistryTest, ChangingTheVariableSwitchesToAnotherStore) {
  TRegKey first = TRegKey::Create(THive::CurrentUser, "Software\\Corvane");
  first.SetDWord("Store", 1);
  const std::string second = registry_.Folder() + "/second.sqlite";
  ::setenv("CORVANE_USER_REGISTRY", second.c_str(), 1);
  EXPECT_EQ(TRegKey::Open(THive::CurrentUser, "Software\\Corvane"), std::nullopt);
  TRegKey::Create(THive::CurrentUser, "Software\\Corvane").SetDWord("Store", 2);
  first.SetDWord("Still", 1);  // an open key stays with the store it was opened in

  ::setenv("CORVANE_USER_REGISTRY", registry_.UserFile().c_str(), 1);
  auto back = TRegKey::Open(THive::CurrentUser, "Software\\Corvane");
  ASSERT_TRUE(back);
  EXPECT_EQ(back->QueryDWord("Store"), 1u);
  EXPECT_EQ(back->QueryDWord("Still"), 1u);

  // A store deleted meanwhile (by a person starting afresh) is made again as a new
  // file, not written into the deleted one.
  for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(registry_.UserFile() + suffix);
  EXPECT_EQ(TRegKey::Open(THive::CurrentUser, "Software\\Corvane"), std::nullopt);
  TRegKey::Create(THive::CurrentUser, "Software\\Corvane").SetDWord("Store", 3);
  testing::TChildProcess reader([] {
    auto key = TRegKey::Open(THive::CurrentUser, "Software\\Corvane");
    return key && key->QueryDWord("Store") == 3u && !key->QueryDWord("Still") ? 0 : 1;
  });
  EXPECT_EQ(reader.ExitCode(), 0);
}

TEST_F(RegistryTest, DamagedOrForeignFileGivesAClearError) {
  const std::string file = registry_.UserFile();
  struct TCase {
    const char* what;
    std::function<void()> make;
  };
  const TCase cases[] = {
      {"text", [&] { WriteFile(file, std::string(3000, 'x')); }},
      {"truncated header", [&] { WriteFile(file, std::string("SQLite format 3\0", 16) + std::string(40, '\x01')); }},
      {"another program's database", [&] { RunSql(file, "CREATE TABLE notes(text)"); }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove(file);
    fs::create_directories(fs::path(file).parent_path());
    c.make();
    const std::string before = ReadFile(file);
    EXPECT_THAT([] { TRegKey::Open(THive::CurrentUser, "Software"); },
                ThrowsMessage<TError>(HasSubstr("is damaged or is not a registry store")));
    EXPECT_THROW(TRegKey::Create(THive::CurrentUser, "Software"), TError);
    EXPECT_EQ(ReadFile(file), before);
  }
}

TEST_F(RegistryTest, DamagedValueRowGivesAClearError) {
  TRegKey key = TRegKey::Create(THive::CurrentUser, "Software");
  key.SetDWord("OID", 1);
  key.SetString("File", "x");
  RunSql(registry_.UserFile(), "UPDATE reg_values SET data = 'text' WHERE name = 'OID'");
  EXPECT_THAT([&] { key.Query("OID"); }, ThrowsMessage<TError>(HasSubstr("is damaged")));
  EXPECT_THROW(key.Values(), TError);
  EXPECT_EQ(key.QueryString("File"), "x");
}

// Flips bytes all over a real store: every reading either works or throws TError.
TEST_F(RegistryTest, CorruptionAnywhereNeverCrashes) {
  testing::TChildProcess writer([] {
    TRegKey key = TRegKey::Create(THive::LocalMachine, "Software\\Policies\\Corvane");
    for (int i = 0; i < 100; ++i) key.CreateSubKey("Sub" + std::to_string(i)).SetString("Name", std::string(50, 'n'));
    return 0;
  });
  ASSERT_EQ(writer.ExitCode(), 0);  // the machine's store keeps no log: the file alone is complete
  const std::string good = ReadFile(registry_.MachineFile());
  ASSERT_GT(good.size(), 8192u);

  for (std::size_t offset = 0; offset < good.size(); offset += 397) {
    std::string damaged = good;
    damaged[offset] = static_cast<char>(damaged[offset] ^ 0x5A);
    const std::string copy = registry_.Folder() + "/damaged" + std::to_string(offset) + ".sqlite";
    WriteFile(copy, damaged);
    ::setenv("CORVANE_MACHINE_REGISTRY", copy.c_str(), 1);
    try {
      if (auto key = TRegKey::Open(THive::LocalMachine, "Software\\Policies\\Corvane")) {
        for (const std::string& name : key->SubKeys()) {
          if (auto sub = key->OpenSubKey(name)) sub->Values();
        }
      }
    } catch (const TError&) {
    }
    fs::remove(copy);
  }
}

// Both processes add 200 values under one key at the same time; none is lost.
TEST_F(RegistryTest, TwoProcessesWritingAtOnceLoseNothing) {
  const char* path = "Software\\Corvane\\Shared";
  TRegKey::Create(THive::CurrentUser, "Software");  // the child inherits an open connection it must not use
  int start[2];
  ASSERT_EQ(::pipe(start), 0);
  auto addValues = [&](const std::string& prefix) {
    TRegKey key = TRegKey::Create(THive::CurrentUser, path);
    for (std::uint32_t i = 0; i < 200; ++i) key.SetDWord(prefix + std::to_string(i), i);
  };
  testing::TChildProcess child([&] {
    char go;
    if (::read(start[0], &go, 1) != 1) return 2;
    addValues("child");
    return 0;
  });
  ASSERT_EQ(::write(start[1], "g", 1), 1);
  addValues("parent");
  ASSERT_EQ(child.ExitCode(), 0);
  ::close(start[0]);
  ::close(start[1]);

  auto key = TRegKey::Open(THive::CurrentUser, path);
  ASSERT_TRUE(key);
  std::set<std::string> names;
  for (const TRegValue& value : key->Values()) {
    names.insert(value.name);
    EXPECT_EQ(std::to_string(value.number), value.name.substr(value.name.find_first_of("0123456789")));
  }
  EXPECT_EQ(names.size(), 400u);
  EXPECT_TRUE(names.count("child199") && names.count("parent199"));
  EXPECT_THAT(TRegKey::Open(THive::CurrentUser, "Software\\Corvane")->SubKeys(), ElementsAre("Shared"));
}

TEST_F(RegistryTest, HiveFilesFollowTheEnvironment) {
  const std::string home = registry_.Folder() + "/home";
  struct TCase {
    const char* userOverride;
    const char* configHome;
    std::string expected;
  };
  const TCase cases[] = {
      {nullptr, "/cfg", "/cfg/corvane/registry.sqlite"},
      {nullptr, nullptr, home + "/.config/corvane/registry.sqlite"},
      {nullptr, "", home + "/.config/corvane/registry.sqlite"},
      {nullptr, "relative", home + "/.config/corvane/registry.sqlite"},
      {"", "/cfg", "/cfg/corvane/registry.sqlite"},
      {"/x/user.sqlite", "/cfg", "/x/user.sqlite"},
  };
  const std::optional<std::string> savedHome = ::getenv("HOME") ? std::optional<std::string>(::getenv("HOME")) : std::nullopt;
  const std::optional<std::string> savedConfig =
      ::getenv("XDG_CONFIG_HOME") ? std::optional<std::string>(::getenv("XDG_CONFIG_HOME")) : std::nullopt;
  ::setenv("HOME", home.c_str(), 1);
  for (const TCase& c : cases) {
    c.userOverride ? ::setenv("CORVANE_USER_REGISTRY", c.userOverride, 1) : ::unsetenv("CORVANE_USER_REGISTRY");
    c.configHome ? ::setenv("XDG_CONFIG_HOME", c.configHome, 1) : ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(HiveFile(THive::CurrentUser), c.expected);
  }
  ::unsetenv("CORVANE_MACHINE_REGISTRY");
  EXPECT_EQ(HiveFile(THive::LocalMachine), "/etc/corvane/registry.sqlite");

  // The user's store is created private to the user, its folders included.
  ::unsetenv("CORVANE_USER_REGISTRY");
  ::unsetenv("XDG_CONFIG_HOME");
  TRegKey::Create(THive::CurrentUser, "Software");
  struct stat info {};
  ASSERT_EQ(::stat((home + "/.config/corvane").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  ASSERT_EQ(::stat((home + "/.config/corvane/registry.sqlite").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  savedHome ? ::setenv("HOME", savedHome->c_str(), 1) : ::unsetenv("HOME");
  savedConfig ? ::setenv("XDG_CONFIG_HOME", savedConfig->c_str(), 1) : ::unsetenv("XDG_CONFIG_HOME");
}

// Policies are written by an administrator and read by everyone: a user who may
// write neither the machine's store nor its folder still reads it.
TEST_F(RegistryTest, MachineHiveIsReadableWithoutWriteAccess) {
  // Written by an administrator's process that has ended normally; closing the
  // store removed every file a writer leaves beside it while open.
  testing::TChildProcess writer([]() -> int {
    TRegKey::Create(THive::LocalMachine, "Software\\Policies\\Corvane").SetDWord("DisableOptions", 1);
    std::exit(0);
  });
  ASSERT_EQ(writer.ExitCode(), 0);
  const std::string folder = fs::path(registry_.MachineFile()).parent_path();
  ASSERT_EQ(::chmod(registry_.Folder().c_str(), 0755), 0);
  testing::TChildProcess reader([&] {
    if (::geteuid() == 0) {
      if (::setgid(65534) != 0 || ::setuid(65534) != 0) return 3;  // become "nobody"
    } else if (::chmod(folder.c_str(), 0555) != 0 || ::chmod(registry_.MachineFile().c_str(), 0444) != 0) {
      return 4;
    }
    auto key = TRegKey::Open(THive::LocalMachine, "Software\\Policies\\Corvane");
    return key && key->QueryDWord("DisableOptions") == 1u ? 0 : 1;
  });
  EXPECT_EQ(reader.ExitCode(), 0);
  ::chmod(folder.c_str(), 0755);
  ::chmod(registry_.MachineFile().c_str(), 0644);
}

}  // namespace
}  // namespace corvane
