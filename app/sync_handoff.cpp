#include "app/sync_handoff.h"

#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "app/front_end.h"
#include "app/known_databases.h"
#include "app/locations.h"
#include "app/locations_file_names.h"
#include "app/locations_path.h"
#include "app/message_box.h"
#include "engine/dbfile.h"
#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/named_event.h"
#include "platform/registry.h"

namespace corvane {

namespace {

constexpr std::string_view kFileValue = "File";
constexpr std::string_view kNameValue = "Name";
constexpr std::string_view kOidValue = "OID";
constexpr std::string_view kNewDbFileNameValue = "NewDbFileName";

void WriteRecord(const TPwdBase& base, const std::string& displayName) {
  // The library names records by the identifier in the file itself, so the
  // header on disk decides, not what was read at the last scan.
  const std::optional<TDbFileHeader> header = ReadDbFileHeader(base.FileName);
  if (!header || header->Guid.IsNull()) return;
  try {
    TRegKey key = TRegKey::Create(THive::CurrentUser,
                                  std::string(kActiveSyncRegistryKey) + "\\" + header->Guid.ToString());
    key.SetString(kFileValue, base.FileName);
    key.SetString(kNameValue, displayName);
    if (const std::optional<TFileInfo> file = FindFile(base.FileName)) key.SetDWord(kOidValue, file->objectId);
  } catch (const TError&) {
    // A record that cannot be written is left out; the others still go.
  }
}

// The template's "*" becomes the library's number placeholder "%d".
std::string NumberPattern(const std::string& fileNameTemplate) {
  std::string pattern;
  for (const char c : fileNameTemplate) {
    if (c == '*') {
      pattern += "%d";
    } else {
      pattern += c;
    }
  }
  return pattern;
}

void WriteNewDbFileName() {
  // New databases from the desktop go where the program puts its own new
  // databases: the first database folder that exists.
  const std::string folder = FolderOfFile(NewDatabaseFileName());
  const std::string pattern = JoinPath(folder, NumberPattern(GetDbFileNameTemplate()));
  try {
    TRegKey::Create(THive::CurrentUser, kActiveSyncRegistryKey).SetString(kNewDbFileNameValue, pattern);
  } catch (const TError&) {
    // As for a record: the key is skipped.
  }
}

void SetEventIfExists(std::string_view name) {
  if (std::optional<TNamedEvent> event = TNamedEvent::OpenExisting(name)) event->Set();
}

void ShowHandOffError(const std::exception& error) {
  if (InstalledFrontEnd()) ShowError(error);
}

}  // namespace

void WriteActiveSyncRecords() {
  const std::vector<std::string> names = DisplayNames();
  const std::vector<TKnownDatabase>& known = KnownDatabases();
  for (std::size_t i = 0; i < known.size() && i < names.size(); ++i) WriteRecord(*known[i].base, names[i]);
  WriteNewDbFileName();
}

void HandleActiveSync(TSyncWindow* window) {
  try {
    if (KnownDatabases().empty()) RefreshDatabases(false, false);
    WriteActiveSyncRecords();
    if (!window) {
      AcknowledgeActiveSync(true);
      return;
    }
    FrontEnd().CloseModalDialogs();
    window->RequestCloseAll();
  } catch (const std::exception& error) {
    ShowHandOffError(error);
  }
}

void CompleteActiveSync() {
  try {
    WriteActiveSyncRecords();
    AcknowledgeActiveSync(true);
  } catch (const std::exception& error) {
    ShowHandOffError(error);
  }
}

void AcknowledgeActiveSync(bool success) {
  std::exception_ptr failure;
  if (success) {
    try {
      SetEventIfExists(kActiveSyncErrorEventName);
    } catch (const TError&) {
      // The acknowledgement still goes, so the library learns of the failure
      // at once instead of waiting out its time-out.
      failure = std::current_exception();
    }
  }
  SetEventIfExists(kActiveSyncEventName);
  if (failure) std::rethrow_exception(failure);
}

}  // namespace corvane
