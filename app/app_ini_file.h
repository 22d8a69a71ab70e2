#pragma once
// The settings store in ini mode: one ini file beside the program. A read or
// write with the empty section goes to the section "Options". Integers are
// written as decimal text and booleans as "1" and "0"; a boolean reads as true
// when its text is a number other than 0.
//
// Every read outside a bracket reads the file afresh. A bracket opened for
// writing holds its writes back and makes them in one atomic replacement of the
// file when it closes, so another reader sees all of them or none; a write
// outside such a bracket replaces the file at once. A file that cannot be read
// is never replaced, so nothing in it is lost.

#include <optional>
#include <string>

#include "app/ini_document.h"
#include "app/settings_store.h"

namespace corvane {

class TAppIniFile : public TSettingsStore {
 public:
  // The most bytes of an ini file that are read; a larger one reads as empty
  // and is not written.
  static constexpr std::uint64_t kMaxFileSize = 4 * 1024 * 1024;

  explicit TAppIniFile(std::string path) : path_(std::move(path)) {}

  const std::string& Path() const { return path_; }

  // Reading always opens. Writing opens only when the file can be written now:
  // it is not read-only (no write permission for anyone), not held by another
  // writer, and readable.
  bool Open(bool forWriting) override;
  void Close() override;

  std::string ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) override;
  std::int32_t ReadInteger(std::string_view section, std::string_view key, std::int32_t defaultValue) override;
  bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) override;

  void WriteString(std::string_view section, std::string_view key, std::string_view value) override;
  void WriteInteger(std::string_view section, std::string_view key, std::int32_t value) override;
  void WriteBool(std::string_view section, std::string_view key, bool value) override;
  void DeleteValue(std::string_view section, std::string_view key) override;

 private:
  // The file's document; throws TError when it cannot be read (a missing file
  // is an empty document).
  TIniDocument Load() const;
  void Save(const TIniDocument& document) const;
  std::optional<std::string> Get(std::string_view section, std::string_view key);
  template <class TChange>
  void Change(TChange change);

  std::string path_;
  std::optional<TIniDocument> bracket_;  // the document read when the bracket opened
  bool writing_ = false;
  bool changed_ = false;
};

}  // namespace corvane
