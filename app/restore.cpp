#include "app/restore.h"

#include "app/app_path.h"
#include "app/backup.h"
#include "app/file_time_text.h"
#include "app/front_end.h"
#include "app/known_databases.h"
#include "app/locations.h"
#include "app/locations_file_names.h"
#include "app/locations_path.h"
#include "app/message_box.h"
#include "app/runtime_settings.h"
#include "app/session_close.h"
#include "app/session_modal.h"
#include "engine/dbfile.h"
#include "engine/messages.h"
#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/folders.h"

namespace corvane {

namespace {

// The name stored in the backup's header, read without its password.
std::string BackupName(const std::string& backup) {
  if (!ReadDbFileHeader(backup)) throw TError(FormatMessage(serr_invalidsignature, backup));
  TPwdBase temporary;
  temporary.FileName = backup;
  temporary.LoadFromFile();
  temporary.Close();
  return temporary.Name;
}

bool FolderCanTake(const std::string& folder) {
  try {
    CreateFolder(folder);
  } catch (const TError&) {
    return false;
  }
  return FolderExists(folder);
}

// Copies the backup over `target`, which keeps its attributes (read-only included).
void CopyInto(const std::string& backup, const std::string& target) {
  const std::optional<TFileInfo> before = FindFile(target);
  if (before && before->IsReadOnly()) SetReadOnly(target, false);
  try {
    CopyFile(backup, target);
  } catch (const TError&) {
    if (before && FileExists(target)) SetAttributes(target, before->attributes);
    throw;
  }
  if (before) SetAttributes(target, before->attributes);
}

// The target, or a new name in the first other folder that can take the file.
std::optional<std::string> PlaceFor(const std::string& target) {
  const std::string targetFolder = FolderOfFile(target);
  if (FolderCanTake(targetFolder)) return target;
  for (const TDatabaseFolder& entry : DatabaseFolders()) {
    const std::string folder = ExpandAppPath(entry.path);
    if (NormalFolder(folder) == NormalFolder(targetFolder)) continue;
    if (FolderCanTake(folder)) return NewDatabaseFileName(folder);
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> RestoreCommand() {
  const TModalPhase modal;
  TFileChoice choice;
  choice.title = srestorechoosetitle;
  choice.filters = {{std::string(sbackupfilesfilter), "*." + std::string(kBackupExtension)},
                    {std::string(sallfilesfilter), "*"}};
  choice.startFolder = ExpandAppPath(RuntimeSettings().backupFolder);
  choice.defaultExtension = kBackupExtension;
  const std::optional<std::string> backup = FrontEnd().ChooseFileToOpen(choice);
  if (!backup) return std::nullopt;

  std::string target = NewDatabaseFileName();
  const std::string name = BackupName(*backup);
  TPwdBase* existing = nullptr;
  for (TKnownDatabase& known : KnownDatabases())
    if (known.base->Name == name) {
      existing = known.base.get();
      break;
    }
  if (existing) {
    TRestoreQuestion question;
    question.message = MessageText(FormatMessage(srestoresamename, DatabaseName(*existing)));
    question.backupModified = FileTimeText(*backup);
    question.existingModified = FileTimeText(existing->FileName);
    switch (FrontEnd().AskRestore(question)) {
      case TRestoreChoice::Cancel:
        return std::nullopt;
      case TRestoreChoice::OverExisting:
        target = existing->FileName;
        if (IsDatabaseOpen(*existing) && !CloseDatabase(*existing)) return std::nullopt;
        break;
      case TRestoreChoice::AsNew:
        target = NewDatabaseFileName(FolderOfFile(existing->FileName));
        break;
    }
  }

  const std::optional<std::string> place = PlaceFor(target);
  if (!place) {
    MsgBox(srestorenolocation, kMbOk | kMbIconError);
    return std::nullopt;
  }
  CopyInto(*backup, *place);
  RefreshDatabases(true, false);
  const TPwdBase* restored = FindKnownDatabase(*place);
  MsgBox(FormatMessage(srestoredone, restored ? DatabaseName(*restored) : NameOfFile(*place)),
         kMbOk | kMbIconInformation);
  return *place;
}

}  // namespace corvane
