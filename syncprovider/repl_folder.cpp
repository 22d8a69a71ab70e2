#include "syncprovider/repl_folder.h"

#include <algorithm>

#include "platform/error.h"
#include "platform/file_system.h"
#include "syncprovider/registry_values.h"

namespace corvane {

namespace {

char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::uint64_t ReadModified(const TRegKey& key, std::string_view name) {
  auto value = key.Query(name);
  if (!value || value->type != TRegType::Binary || value->binary.size() != 8) return 0;
  std::uint64_t time = 0;
  for (int i = 7; i >= 0; --i) time = time << 8 | value->binary[i];
  return time;
}

}  // namespace

std::string ModifiedValueName(std::uint32_t partner) { return "Modified" + std::to_string(partner); }

bool SameFileName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return FoldCase(x) == FoldCase(y); });
}

std::optional<TFileInfo> FindRecordFile(const std::string& path) {
  if (path.empty()) return std::nullopt;
  auto info = FindFile(path);
  if (info && info->IsDirectory()) return std::nullopt;
  return info;
}

std::vector<TDatabaseInfo> ReadDatabaseRecords(std::uint32_t partner) {
  std::vector<TDatabaseInfo> records;
  auto root = TRegKey::Open(THive::CurrentUser, kActiveSyncKey);
  if (!root) return records;
  const std::string modifiedName = ModifiedValueName(partner);
  for (const std::string& name : root->SubKeys()) {
    try {
      auto key = root->OpenSubKey(name);
      if (!key) continue;
      TDatabaseInfo record;
      record.Key = name;
      record.OID = ReadDWordOr(*key, "OID");
      record.File = ReadStringOr(*key, "File");
      record.Name = ReadStringOr(*key, "Name");
      record.Modified = ReadModified(*key, modifiedName);
      record.Enabled = ReadDWordOr(*key, "Enabled") != 0;
      records.push_back(std::move(record));
    } catch (const TError&) {
      // A record deleted or damaged meanwhile is left out.
    }
  }
  return records;
}

void TCvReplFolder::Reload() {
  Databases = ReadDatabaseRecords(PartnerBit);
}

TDatabaseInfo* TCvReplFolder::FindByOid(std::uint32_t oid) {
  auto it = std::find_if(Databases.begin(), Databases.end(), [&](const TDatabaseInfo& d) { return d.OID == oid; });
  return it == Databases.end() ? nullptr : &*it;
}

TDatabaseInfo* TCvReplFolder::FindByFile(std::string_view file) {
  auto it = std::find_if(Databases.begin(), Databases.end(),
                         [&](const TDatabaseInfo& d) { return SameFileName(d.File, file); });
  return it == Databases.end() ? nullptr : &*it;
}

std::optional<TRegKey> TCvReplFolder::OpenRecordKey(const TDatabaseInfo& record) const {
  return TRegKey::Open(THive::CurrentUser, RecordKeyPath(record.Key));
}

void TCvReplFolder::WriteModified(TRegKey& key, std::uint64_t fileTime) const {
  std::uint8_t bytes[8];
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<std::uint8_t>(fileTime >> (8 * i));
  key.SetBinary(ModifiedValueName(PartnerBit), bytes);
}

}  // namespace corvane
