#pragma once
// A private world for one synchronisation test: both registry hives and the
// session folder (named events) in a fresh temporary folder, a folder for
// database files, and, when asked, a stand-in for the program in its own
// Install_Dir that records how it was started and answers the hand-off as told.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/guid.h"
#include "platform/registry.h"
#include "syncprovider/repl_folder.h"
#include "tests/platform/file_test_support.h"

namespace corvane::sync_testing {

using file_testing::ReadText;
using file_testing::TScopedEnv;
using file_testing::TTempFolder;
using file_testing::WriteText;

// The first bytes of a database file, then `body`.
inline std::string DatabaseBytes(const TGuid& id, std::uint16_t version = 230, const std::string& body = "body") {
  std::string bytes = "\xCE\x85\x16\xAB\xC1\x75";
  bytes += static_cast<char>(version & 0xFF);
  bytes += static_cast<char>(version >> 8);
  bytes += std::string(2, '\0');                                   // sub-version
  bytes.append(reinterpret_cast<const char*>(id.bytes.data()), 16);
  bytes += std::string("\x01\x00\x00\x00", 4);                     // save counter
  return bytes + body;
}

inline TGuid IdOf(std::uint8_t n) {
  TGuid id;
  id.bytes.fill(n);
  return id;
}

// Stores a "Modified" value as the library keeps it: 8 little-endian bytes.
inline void SetStoredTime(TRegKey& key, const std::string& name, std::uint64_t time) {
  std::vector<std::uint8_t> bytes(8);
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<std::uint8_t>(time >> (8 * i));
  key.SetBinary(name, bytes);
}

inline std::uint64_t StoredTime(const TRegKey& key, const std::string& name) {
  auto bytes = key.QueryBinary(name);
  if (!bytes || bytes->size() != 8) return 0;
  std::uint64_t time = 0;
  for (int i = 7; i >= 0; --i) time = time << 8 | (*bytes)[i];
  return time;
}

enum class TProgramAnswer {
  kAcknowledges,   // sets the error event, then the acknowledgement, as the program does
  kRefuses,        // sets only the acknowledgement: the hand-off failed
  kSilent,         // never answers
};

// Every key and value of the current user's hive, as text, to show that an
// operation changed nothing.
inline void DumpKey(const TRegKey& key, const std::string& path, std::string& out) {
  for (const TRegValue& v : key.Values()) {
    out += path + ":" + v.name + "=" + std::to_string(static_cast<int>(v.type)) + ":" + v.text + ":" +
           std::to_string(v.number) + ":" + std::string(v.binary.begin(), v.binary.end()) + "\n";
  }
  for (const std::string& sub : key.SubKeys()) {
    out += path + "\\" + sub + "\n";
    if (auto child = key.OpenSubKey(sub)) DumpKey(*child, path + "\\" + sub, out);
  }
}

inline std::string UserRegistryDump() {
  std::string out;
  if (auto root = TRegKey::Open(THive::CurrentUser, "")) DumpKey(*root, "", out);
  return out;
}

// The names in a folder, sorted.
inline std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

class TSyncTestBed {
 public:
  TSyncTestBed()
      : userHive_("CORVANE_USER_REGISTRY", root_ / "user.sqlite"),
        machineHive_("CORVANE_MACHINE_REGISTRY", root_ / "machine.sqlite"),
        runtime_("CORVANE_RUNTIME_DIR", root_ / "run") {
    ::mkdir(Databases().c_str(), 0700);
  }

  std::string Databases() const { return root_ / "databases"; }
  std::string DbPath(const std::string& name) const { return Databases() + "/" + name; }

  std::string WriteDatabase(const std::string& name, const TGuid& id, const std::string& body = "body") {
    WriteText(DbPath(name), DatabaseBytes(id, 230, body));
    return DbPath(name);
  }

  // A record as the program writes it.
  TRegKey AddRecord(const TGuid& id, const std::string& file, std::uint32_t oid, const std::string& name = "Db") {
    TRegKey key = TRegKey::Create(THive::CurrentUser, RecordPath(id));
    key.SetString("File", file);
    key.SetString("Name", name);
    key.SetDWord("OID", oid);
    return key;
  }
  static std::string RecordPath(const TGuid& id) { return RecordKeyPath(id.ToString()); }
  static std::optional<TRegKey> Record(const TGuid& id) { return TRegKey::Open(THive::CurrentUser, RecordPath(id)); }

  void SetNewDbFileName(const std::string& pattern) {
    TRegKey::Create(THive::CurrentUser, kActiveSyncKey).SetString("NewDbFileName", pattern);
  }

  // Puts a stand-in program into a fresh Install_Dir of `hive`.
  void InstallProgram(TProgramAnswer answer, THive hive = THive::CurrentUser) {
    std::string dir = root_ / "install";
    ::mkdir(dir.c_str(), 0700);
    // The start is recorded last, so that a recorded start has answered already.
    std::string script = "#!/bin/sh\n";
    if (answer == TProgramAnswer::kAcknowledges) script += std::string("'") + CORVANESYNC_HOST + "' acknowledge\n";
    if (answer == TProgramAnswer::kRefuses) script += std::string("'") + CORVANESYNC_HOST + "' acknowledge --refuse\n";
    script += "echo \"$@\" >> '" + dir + "/started'\n";
    WriteText(dir + "/corvane", script);
    ::chmod((dir + "/corvane").c_str(), 0700);
    TRegKey::Create(hive, "Software\\Corvane").SetString("Install_Dir", dir);
  }
  // The argument lines of every start of the stand-in program that has ended.
  std::vector<std::string> ProgramStarts() const {
    std::istringstream lines(ReadText(root_ / "install/started"));
    std::vector<std::string> starts;
    for (std::string line; std::getline(lines, line);) starts.push_back(line);
    return starts;
  }
  // Waits (a few seconds at most) until the stand-in has run `count` times: it
  // runs on after the call that started it, and must be done before the test's
  // folders go.
  std::vector<std::string> WaitForStarts(std::size_t count) const {
    for (int i = 0; i < 500 && ProgramStarts().size() < count; ++i) ::usleep(10000);
    return ProgramStarts();
  }

 private:
  TTempFolder root_;
  TScopedEnv userHive_;
  TScopedEnv machineHive_;
  TScopedEnv runtime_;
};

}  // namespace corvane::sync_testing
