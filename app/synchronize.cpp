#include "app/synchronize.h"

#include <vector>

#include "app/busy_cursor.h"
#include "app/front_end.h"
#include "app/known_databases.h"
#include "app/locations_path.h"
#include "app/message_box.h"
#include "app/prompts.h"
#include "app/secret_text.h"
#include "app/session_logon.h"
#include "app/session_open.h"
#include "app/session_save.h"
#include "engine/dbfile.h"
#include "engine/merge.h"
#include "engine/messages.h"
#include "engine/users.h"
#include "platform/codepage.h"
#include "platform/error.h"
#include "platform/file_system.h"

namespace corvane {

namespace {

// How long a concurrently written copy waits for its lock file.
constexpr int kSyncLockSeconds = 3;

// Opens the remote copy: first with the local password, then with what the
// person types. False when the person cancelled or every attempt failed.
bool OpenRemote(TPwdBase& remote, const TPwdBase& local) {
  try {
    TBusyCursor busy;
    remote.Open(local.Password);
    return true;
  } catch (const TError&) {
    // A different password: the prompt asks for it.
  }
  const std::string name(NameOfFile(remote.FileName));
  for (int attempt = 0; attempt < kPasswordAttempts; ++attempt) {
    const std::optional<TSecretText> typed = PromptPassword(name);
    if (!typed) return false;
    try {
      const TSecretText password(Utf8ToAnsi(typed->Text()));
      if (password.Empty()) throw TError(std::string(serr_invalidpassword));
      TBusyCursor busy;
      remote.Open(password.Text());
      return true;
    } catch (const std::exception& error) {
      ShowError(error);
    }
  }
  return false;
}

// Logs the local user on in another copy of the database when the copy holds
// that user with the same password digest. False when it does not.
bool LogonSameUser(TPwdBase& copy, const TPwdBase& local) {
  if (local.CurrentIdentities.empty() || !local.Users || !copy.Users) return false;
  const TGuid& userId = local.CurrentIdentities.front();
  const TPwdBaseUser* mine = local.Users->FindByGuid(userId);
  const TPwdBaseUser* theirs = copy.Users->FindByGuid(userId);
  if (!mine || !theirs || theirs->PasswordDigest() != mine->PasswordDigest()) return false;
  copy.Logon(userId);
  return true;
}

// The same person in the remote is logged on without asking. Otherwise a
// remote that requires a logon asks for one.
bool LogonRemote(TPwdBase& remote, const TPwdBase& local) {
  return LogonSameUser(remote, local) || !remote.RequireLogon || Logon(remote, /*logAction=*/true);
}

// Holds a copy for writing while it exists. A copy kept open holds its file
// already; a concurrently written one takes its lock file. A copy open read
// only belongs to another writer and is refused.
class TWriteLock {
 public:
  explicit TWriteLock(TPwdBase& base) : base_(base) {
    if (base.ReadOnly && !base.ConcurrentWrite)
      throw TError(FormatMessage(ssyncreadonly, DatabaseName(base)));
    if (base.ConcurrentWrite) {
      if (!base.AcquireLock(kSyncLockSeconds)) throw TError(FormatMessage(ssynclocked, DatabaseName(base)));
      locked_ = true;
    }
  }
  ~TWriteLock() {
    if (locked_) base_.ReleaseLock(false);
  }
  TWriteLock(const TWriteLock&) = delete;
  TWriteLock& operator=(const TWriteLock&) = delete;

 private:
  TPwdBase& base_;
  bool locked_ = false;
};

// Whether another writer has saved the database's file since this program
// read or wrote it: its time or its save counter moved. A file that is gone
// has nothing to bring in (the save writes it again).
bool ChangedOnDisk(const TPwdBase& base) {
  const std::optional<TFileInfo> info = FindFile(base.FileName);
  if (!info) return false;
  if (info->LastWriteDate() != base.FileTime) return true;
  // Files older than format 2.20 keep no counter (0), an unreadable one gives -1.
  const std::int32_t counter = ReadSaveCounter(base.FileName);
  return counter > 0 && static_cast<std::uint32_t>(counter) != base.SaveCounter;
}

// Brings into `base` what another writer saved to its file, so that the save
// that follows keeps it. An unmodified database is read again, as the
// re-check for changes on disk does. One with unsaved changes would lose them
// to a reload: the saved file's logged changes are merged in instead, and the
// database then counts as read at that save.
void TakeChangesOnDisk(TPwdBase& base) {
  if (!ChangedOnDisk(base)) return;
  if (!base.Modified) {
    base.Reload();
    return;
  }
  TPwdBase saved;
  saved.FileName = base.FileName;
  try {
    saved.Open(base.Password);
    LogonSameUser(saved, base);
    MergeChanges(base, saved);
  } catch (...) {
    saved.Close();
    throw;
  }
  base.SaveCounter = saved.SaveCounter;
  base.FileTime = saved.FileTime;
  saved.Close();
}

std::string RunMerges(TPwdBase& local, TPwdBase& remote, bool oneWay) {
  TBusyCursor busy;
  TWriteLock localLock(local);
  std::optional<TWriteLock> remoteLock;
  if (!oneWay) remoteLock.emplace(remote);
  // Under the locks nobody else writes; what was written before them comes in now.
  TakeChangesOnDisk(local);
  if (&remote != &local) TakeChangesOnDisk(remote);

  // Each part names its database as it was before the merge (which may rename it).
  std::string report = FormatMessage(slocalsynced, DatabaseName(local));
  report += Merge(local, remote);
  SaveDatabase(local, /*makeBackup=*/true);
  if (!oneWay) {
    report += FormatMessage(sremotesynced, DatabaseName(remote));
    report += Merge(remote, local);
    // The remote's backups would mix with the local ones of the same name.
    SaveDatabase(remote, /*makeBackup=*/false);
  }
  return report;
}

}  // namespace

std::optional<std::string> Synchronize(TPwdBase& local, const std::string& remoteFile, bool oneWay, bool silent) {
  // A remote open in the program is synchronised as it is open, with its
  // session; a second reader of its file would find it held.
  TPwdBase* known = FindKnownDatabase(remoteFile);
  const bool remoteInProgram = known && IsDatabaseOpen(*known);
  TPwdBase copy;
  TPwdBase& remote = remoteInProgram ? *known : copy;
  copy.FileName = remoteFile;
  std::optional<std::string> report;
  try {
    if (remoteInProgram || (OpenRemote(copy, local) && LogonRemote(copy, local)))
      report = RunMerges(local, remote, oneWay);
  } catch (const std::exception& error) {
    ShowError(error);
  }
  copy.Close();
  if (TFrontEnd* frontEnd = InstalledFrontEnd()) {
    frontEnd->RefreshDatabase(local);
    if (remoteInProgram && &remote != &local) frontEnd->RefreshDatabase(remote);
  }
  if (report && !silent) MsgBox(*report, kMbOk | kMbIconInformation);
  return report;
}

}  // namespace corvane
