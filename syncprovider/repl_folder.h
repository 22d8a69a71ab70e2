#pragma once
// The device's databases as the registry records them: one subkey per database
// under "Software\Corvane\ActiveSync" of the current user, named by the database
// identifier. The program writes "File", "Name" and "OID"; this library writes
// "OID", "Enabled" and "Modified1"/"Modified2" (the file's last-write time when it
// was last synchronised with partner 1 or 2).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_info.h"
#include "platform/registry.h"

namespace corvane {

inline constexpr std::string_view kActiveSyncKey = "Software\\Corvane\\ActiveSync";

// The registry path of the record named `key` (a braced identifier).
inline std::string RecordKeyPath(std::string_view key) {
  return std::string(kActiveSyncKey) + "\\" + std::string(key);
}

// One registry record in memory.
struct TDatabaseInfo {
  std::string Key;             // the subkey name
  std::uint32_t OID = 0;
  std::string File;
  std::string Name;
  std::uint64_t Modified = 0;  // for the current partner; 0 when missing or not 8 bytes
  bool Enabled = false;
  bool Changed = false;        // scratch flag of FindObjects
};

// The name of the partner's "Modified" value: "Modified1" or "Modified2".
std::string ModifiedValueName(std::uint32_t partner);

// The records as seen by one partner, loaded from the registry.
class TCvReplFolder {
 public:
  explicit TCvReplFolder(std::uint32_t partner) : PartnerBit(partner) { Reload(); }

  // Empties the records and reads them again in registry order. A missing key or
  // a record that cannot be read leaves fewer records, never an error.
  void Reload();

  TDatabaseInfo* FindByOid(std::uint32_t oid);
  // File names compare without regard to ASCII case, as the program writes them.
  TDatabaseInfo* FindByFile(std::string_view file);

  // Opens the record's subkey; nullopt when it is gone.
  std::optional<TRegKey> OpenRecordKey(const TDatabaseInfo& record) const;

  // Writes the partner's "Modified" value as 8 little-endian bytes.
  void WriteModified(TRegKey& key, std::uint64_t fileTime) const;

  const std::uint32_t PartnerBit;
  std::vector<TDatabaseInfo> Databases;
};

// Reads every record under the synchronisation key as `partner` sees it; empty
// when the key is absent.
std::vector<TDatabaseInfo> ReadDatabaseRecords(std::uint32_t partner);

// The file a record names, when it is there and not a folder.
std::optional<TFileInfo> FindRecordFile(const std::string& path);

// True when two paths are the same text apart from ASCII case. Byte for byte
// otherwise: a locale's collation could call two different paths the same.
bool SameFileName(std::string_view a, std::string_view b);

}  // namespace corvane
