#include "app/app_ini_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <vector>

#include "app/messages.h"
#include "engine/messages.h"
#include "platform/atomic_writer.h"
#include "platform/error.h"
#include "platform/file.h"
#include "platform/locale.h"

namespace corvane {

namespace {

constexpr std::string_view kOptionsSection = "Options";

std::string_view SectionName(std::string_view section) { return section.empty() ? kOptionsSection : section; }

// A file that nobody may write is read-only, also for a superuser.
bool IsReadOnly(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && (info.st_mode & 0222) == 0;
}

}  // namespace

TIniDocument TAppIniFile::Load() const {
  struct stat info {};
  if (::stat(path_.c_str(), &info) != 0 && errno == ENOENT) return {};
  TFile file = TFile::Open(path_, TFile::TMode::kRead);
  const std::uint64_t size = file.Remaining();
  if (size > kMaxFileSize) throw TError(FormatMessage(serr_inifiletoolarge, path_));
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  file.ReadExactly(bytes);
  return TIniDocument::Parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void TAppIniFile::Save(const TIniDocument& document) const {
  TAtomicWriter writer(path_);
  writer.File().Write(document.Text());
  writer.Commit();
}

bool TAppIniFile::Open(bool forWriting) {
  Close();
  try {
    if (forWriting) {
      if (IsReadOnly(path_)) return false;
      // Opened for writing and closed again at once: refused when another
      // writer holds it or the system denies writing.
      TFile::Open(path_, TFile::TMode::kWrite).Close();
    }
    bracket_ = Load();
  } catch (const TError&) {
    return false;
  }
  writing_ = forWriting;
  return true;
}

void TAppIniFile::Close() {
  std::optional<TIniDocument> document = std::move(bracket_);
  const bool save = writing_ && changed_;
  bracket_.reset();
  writing_ = changed_ = false;
  if (save && document) Save(*document);
}

std::optional<std::string> TAppIniFile::Get(std::string_view section, std::string_view key) {
  if (bracket_) return bracket_->Get(SectionName(section), key);
  try {
    return Load().Get(SectionName(section), key);
  } catch (const TError&) {
    return std::nullopt;
  }
}

template <class TChange>
void TAppIniFile::Change(TChange change) {
  if (writing_) {
    change(*bracket_);
    changed_ = true;
    return;
  }
  TIniDocument document = Load();
  change(document);
  Save(document);
  if (bracket_) change(*bracket_);
}

std::string TAppIniFile::ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) {
  std::optional<std::string> value = Get(section, key);
  return value ? *value : std::string(defaultValue);
}

std::int32_t TAppIniFile::ReadInteger(std::string_view section, std::string_view key, std::int32_t defaultValue) {
  const std::optional<std::string> value = Get(section, key);
  const std::optional<std::int32_t> number = value ? ParseInteger(*value) : std::nullopt;
  return number ? *number : defaultValue;
}

bool TAppIniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) {
  const std::optional<std::string> value = Get(section, key);
  const std::optional<std::int32_t> number = value ? ParseInteger(*value) : std::nullopt;
  return number ? *number != 0 : defaultValue;
}

void TAppIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  Change([&](TIniDocument& document) { document.Set(SectionName(section), key, value); });
}

void TAppIniFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void TAppIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void TAppIniFile::DeleteValue(std::string_view section, std::string_view key) {
  Change([&](TIniDocument& document) { document.Erase(SectionName(section), key); });
}

}  // namespace corvane
