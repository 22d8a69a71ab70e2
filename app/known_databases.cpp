#include "app/known_databases.h"

#include <algorithm>
#include <unordered_map>

#include "app/app_path.h"
#include "app/folder_watch_poll.h"
#include "app/front_end.h"
#include "app/locations.h"
#include "app/locations_path.h"
#include "app/message_box.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/folders.h"

namespace corvane {

namespace {

// A folder whose first listing fails after this long is not tried again.
constexpr std::uint32_t kSlowFolderMs = 5000;
// How long a concurrently written database's lock is waited for.
constexpr int kLockProbeSeconds = 3;
constexpr std::string_view kLockExtension = ".lock";

bool IsLockFile(std::string_view name) {
  return name.size() >= kLockExtension.size() &&
         SameFileName(name.substr(name.size() - kLockExtension.size()), kLockExtension);
}

// Reads the plain part of a closed database; a file that cannot be read is
// still listed, under its file name and the reason.
void ReadClosed(TPwdBase& base) {
  try {
    base.LoadFromFile();
  } catch (const std::exception& error) {
    base.Name = std::string(NameOfFile(base.FileName)) + " (" + error.what() + ")";
  }
}

double DiskFileTime(const std::string& fileName) {
  const std::optional<TFileInfo> info = FindFile(fileName);
  return info ? info->LastWriteDate() : 0;
}

// Positions in the known-database list by FileNameKey of their file.
using TNameIndex = std::unordered_map<std::string, std::size_t>;

void ScanFolder(const TDatabaseFolder& folder, const std::string& fileNameTemplate, TNameIndex& index) {
  if (IsFolderUnavailable(folder.path)) return;
  const std::string directory = ExpandAppPath(folder.path);
  const std::uint32_t start = Clock().TickCount();
  std::vector<TFileInfo> files;
  try {
    files = ListFiles(directory, fileNameTemplate);
  } catch (const TError&) {
    if (TicksSince(start, Clock().TickCount()) > kSlowFolderMs) MarkFolderUnavailable(folder.path);
    return;
  }
  for (const TFileInfo& file : files) {
    if (IsLockFile(file.name)) continue;
    const std::string fileName = JoinPath(directory, file.name);
    const std::string key = FileNameKey(fileName);
    if (const auto found = index.find(key); found != index.end()) {
      KnownDatabases()[found->second].mark = TScanMark::Unchanged;
      continue;
    }
    auto base = std::make_unique<TPwdBase>();
    base->FileName = fileName;
    ReadClosed(*base);
    index.emplace(key, KnownDatabases().size());
    KnownDatabases().push_back({std::move(base), TScanMark::Changed});
  }
}

// Reads a database again from its file; an open one stays open, a closed one closed.
void ReadAgain(TPwdBase& base) {
  if (!IsDatabaseOpen(base)) {
    ReadClosed(base);
    return;
  }
  try {
    base.Reload();
  } catch (const std::exception& error) {
    // The database has been closed by the failed reload; the person learns why.
    if (InstalledFrontEnd()) ShowError(error);
  }
}

// A concurrently written database the scan missed: another writer may be
// replacing its file. While that writer holds the lock the database is kept
// (to be read again); once the lock is free, its file decides. A file that is
// gone with nobody writing it is a deleted database, which leaves the list.
TScanMark ProbeConcurrent(TPwdBase& base) {
  if (!base.AcquireLock(kLockProbeSeconds)) return TScanMark::Changed;
  const bool exists = FileExists(base.FileName);
  base.ReleaseLock(false);
  return exists ? TScanMark::Unchanged : TScanMark::NotSeen;
}

bool WalkAfterRescan(bool checkChanges) {
  bool changed = false;
  std::vector<TKnownDatabase>& list = KnownDatabases();
  for (auto it = list.begin(); it != list.end();) {
    TPwdBase& base = *it->base;
    const bool open = IsDatabaseOpen(base);
    if (it->mark == TScanMark::NotSeen && base.ConcurrentWrite) it->mark = ProbeConcurrent(base);
    if (it->mark == TScanMark::NotSeen && !open) {
      it = list.erase(it);
      changed = true;
      continue;
    }
    const bool mayReadAgain =
        !open || (it->mark == TScanMark::Unchanged && (!base.Modified || (base.ConcurrentWrite && checkChanges)));
    if (mayReadAgain && (!checkChanges || DiskFileTime(base.FileName) != base.FileTime)) {
      ReadAgain(base);
      it->mark = TScanMark::Changed;
    }
    if (it->mark == TScanMark::Changed) {
      changed = true;
      if (IsDatabaseOpen(base))
        if (TFrontEnd* frontEnd = InstalledFrontEnd()) frontEnd->RefreshDatabase(base);
    }
    ++it;
  }
  return changed;
}

void WatchFolders() {
  std::vector<std::string> folders;
  for (const TDatabaseFolder& folder : DatabaseFolders())
    if (!IsFolderUnavailable(folder.path)) folders.push_back(ExpandAppPath(folder.path));
  FolderChanges().Watch(folders);
}

}  // namespace

std::vector<TKnownDatabase>& KnownDatabases() {
  static std::vector<TKnownDatabase> list;
  return list;
}

bool IsDatabaseOpen(const TPwdBase& base) { return !base.Password.empty(); }

TPwdBase* FindKnownDatabase(std::string_view fileName) {
  for (TKnownDatabase& known : KnownDatabases())
    if (SameFileName(known.base->FileName, fileName)) return known.base.get();
  return nullptr;
}

bool RefreshDatabases(bool rescan, bool checkChanges) {
  std::vector<TKnownDatabase>& list = KnownDatabases();
  bool changed = false;
  if (!rescan) {
    // Open databases stay: freeing one would lose its session and unsaved changes.
    changed = std::erase_if(list, [](const TKnownDatabase& known) { return !IsDatabaseOpen(*known.base); }) > 0;
  }
  TNameIndex index;
  for (std::size_t i = 0; i < list.size(); ++i) {
    list[i].mark = TScanMark::NotSeen;
    index.emplace(FileNameKey(list[i].base->FileName), i);
  }
  const std::string fileNameTemplate = GetDbFileNameTemplate();
  for (const TDatabaseFolder& folder : DatabaseFolders()) ScanFolder(folder, fileNameTemplate, index);

  if (rescan) {
    changed = WalkAfterRescan(checkChanges) || changed;
  } else {
    changed = changed || std::ranges::any_of(list, [](const TKnownDatabase& k) { return k.mark == TScanMark::Changed; });
  }
  WatchFolders();
  return changed;
}

std::string DatabaseName(const TPwdBase& base) {
  try {
    return AnsiToUtf8(base.Name);
  } catch (const TError&) {
    return base.Name;
  }
}

std::vector<std::string> DisplayNames() {
  const std::vector<TKnownDatabase>& list = KnownDatabases();
  std::unordered_map<std::string, int> uses;
  for (const TKnownDatabase& known : list) ++uses[known.base->Name];
  std::vector<std::string> names;
  names.reserve(list.size());
  for (const TKnownDatabase& known : list) {
    std::string name = DatabaseName(*known.base);
    if (uses[known.base->Name] > 1)
      name += " - " + std::to_string(FolderNumber(FolderOfFile(known.base->FileName)));
    names.push_back(std::move(name));
  }
  return names;
}

std::string DisplayName(const TPwdBase& base) {
  std::string name = DatabaseName(base);
  for (const TKnownDatabase& known : KnownDatabases()) {
    if (known.base.get() != &base && known.base->Name == base.Name)
      return name + " - " + std::to_string(FolderNumber(FolderOfFile(base.FileName)));
  }
  return name;
}

}  // namespace corvane
