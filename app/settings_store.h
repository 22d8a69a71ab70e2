#pragma once
// A settings store: typed values by section and key. The empty section is the
// program's main options. Every group of reads or writes is bracketed by Open
// and Close; the store caches nothing across brackets, so each bracket sees
// what other processes wrote before it.
//
// Reads return the default when the value is missing, has no form of the type
// asked, or the store cannot be read. Writes throw TError when the value cannot
// be stored. Not thread-safe.

#include <cstdint>
#include <string>
#include <string_view>

namespace corvane {

class TSettingsStore {
 public:
  virtual ~TSettingsStore() = default;

  // Starts a bracket. False means: read nothing, write nothing (the store is
  // missing for reading, or cannot be written now).
  virtual bool Open(bool forWriting) = 0;
  // Ends the bracket; writes held back for it are made now (TError when that
  // fails). Closing without an open bracket does nothing.
  virtual void Close() = 0;

  virtual std::string ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) = 0;
  virtual std::int32_t ReadInteger(std::string_view section, std::string_view key, std::int32_t defaultValue) = 0;
  virtual bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) = 0;

  virtual void WriteString(std::string_view section, std::string_view key, std::string_view value) = 0;
  virtual void WriteInteger(std::string_view section, std::string_view key, std::int32_t value) = 0;
  virtual void WriteBool(std::string_view section, std::string_view key, bool value) = 0;

  // Removes a value; a missing one is fine.
  virtual void DeleteValue(std::string_view section, std::string_view key) = 0;
};

}  // namespace corvane
