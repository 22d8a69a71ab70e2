#include "app/synchronize_dialog.h"

#include "app/busy_cursor.h"
#include "app/choosers.h"
#include "app/known_databases.h"
#include "app/locations_path.h"
#include "app/message_box.h"
#include "app/settings.h"
#include "app/settings_keys.h"
#include "app/synchronize.h"
#include "engine/messages.h"
#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/folders.h"
#include "platform/locale.h"

namespace corvane {

namespace {

// Every file of the folder is tried; on Linux "*" is what matches them all.
constexpr std::string_view kAnyFile = "*";

// The remembered choice: the folder, a comma, and the remote database's name.
struct TRememberedChoice {
  std::string folder;
  std::optional<std::string> remoteName;
};

std::string ChoiceKey(const TPwdBase& local) { return local.Guid.ToString(); }

TRememberedChoice ReadChoice(const TPwdBase& local) {
  std::string value;
  {
    TSettingsAccess access(false);
    if (access) value = Settings().ReadString(setting::kSync, ChoiceKey(local), "");
  }
  const std::size_t comma = value.find(',');
  if (comma == std::string::npos) return {value, std::nullopt};
  return {value.substr(0, comma), value.substr(comma + 1)};
}

void RememberChoice(const TPwdBase& local, const std::string& folder, const std::string& remoteName) {
  try {
    TSettingsAccess access(true);
    if (!access) return;
    Settings().WriteString(setting::kSync, ChoiceKey(local), folder + "," + remoteName);
    access.Close();
  } catch (const TError& error) {
    ShowError(error);
  }
}

// Whether two names lead to one file: the same name as the folder scan
// compares them, or one file reached by two paths (a linked folder).
bool SameFile(const std::string& a, const std::string& b) {
  if (SameFileName(a, b)) return true;
  const std::optional<TFileInfo> infoA = FindFile(a);
  const std::optional<TFileInfo> infoB = FindFile(b);
  return infoA && infoB && infoA->objectId == infoB->objectId && infoA->size == infoB->size &&
         infoA->lastWriteTime == infoB->lastWriteTime && infoA->creationTime == infoB->creationTime;
}

// A database as the list shows it: the name in the engine's code page (to
// compare) and in UTF-8 (to show).
struct TListedDatabase {
  std::string rawName;
  std::string name;
};

// The database in `fileName` as a listing reads it (no password); nullopt
// when the file is not one or cannot be read.
std::optional<TListedDatabase> ReadListed(const std::string& fileName) {
  TPwdBase base;
  try {
    base.LoadFromFile(fileName);
  } catch (const std::exception&) {
    return std::nullopt;
  }
  // A file that could not be opened is listed by the engine under its file
  // name and the reason; here it is left out.
  if (base.Loading) return std::nullopt;
  return TListedDatabase{base.Name, DatabaseName(base)};
}

}  // namespace

TSyncDialog::TSyncDialog(TPwdBase& local) : local_(local) {
  const TRememberedChoice remembered = ReadChoice(local);
  SetFolder(remembered.folder);
  if (!remembered.remoteName) return;
  for (std::size_t i = 0; i < candidates_.size(); ++i) {
    if (candidates_[i].name == *remembered.remoteName && !SameFile(candidates_[i].fileName, local_.FileName)) {
      selection_ = i;
      return;
    }
  }
}

std::string TSyncDialog::Caption() const { return FormatMessage(ssynccaption, DatabaseName(local_)); }

void TSyncDialog::SetFolder(std::string_view folder) {
  folder_ = folder;
  Scan();
}

bool TSyncDialog::Browse() {
  const std::optional<std::string> chosen = AskFolder(ssyncbrowsetitle, folder_);
  if (!chosen) return false;
  SetFolder(*chosen);
  return true;
}

void TSyncDialog::Select(std::optional<std::size_t> index) {
  selection_ = index && *index < candidates_.size() ? index : std::nullopt;
}

void TSyncDialog::Scan() {
  TBusyCursor busy;
  candidates_.clear();
  selection_.reset();
  if (folder_.empty()) return;
  std::vector<TFileInfo> files;
  try {
    files = ListFiles(folder_, kAnyFile);
  } catch (const TError&) {
    return;  // a folder that cannot be read holds no databases to offer
  }
  for (const TFileInfo& file : files) {
    const std::string fileName = JoinPath(folder_, file.name);
    std::optional<TListedDatabase> listed = ReadListed(fileName);
    if (!listed) continue;
    if (!selection_ && CompareTextIgnoreCase(listed->rawName, local_.Name) == 0 &&
        !SameFile(fileName, local_.FileName))
      selection_ = candidates_.size();
    candidates_.push_back({fileName, std::move(listed->name)});
  }
}

bool TSyncDialog::Ok() {
  if (!OkEnabled()) return false;
  const TSyncCandidate remote = candidates_[*selection_];
  RememberChoice(local_, folder_, remote.name);
  return Synchronize(local_, remote.fileName, /*oneWay=*/!twoWay_, /*silent=*/false).has_value();
}

}  // namespace corvane
