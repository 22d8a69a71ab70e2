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
#include "engine/merge.h"
#include "engine/messages.h"
#include "engine/users.h"
#include "platform/codepage.h"
#include "platform/error.h"

namespace corvane {

namespace {

// How long a concurrently written copy waits for its lock file.
constexpr int kSyncLockSeconds = 10;

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

// The same person in the remote: the user with the local user's identity
// and password digest is logged on there without asking. Otherwise a remote
// that requires a logon asks for one.
bool LogonRemote(TPwdBase& remote, const TPwdBase& local) {
  if (!local.CurrentIdentities.empty() && local.Users && remote.Users) {
    const TGuid& userId = local.CurrentIdentities.front();
    const TPwdBaseUser* mine = local.Users->FindByGuid(userId);
    const TPwdBaseUser* theirs = remote.Users->FindByGuid(userId);
    if (mine && theirs && theirs->PasswordDigest() == mine->PasswordDigest()) {
      remote.Logon(userId);
      return true;
    }
  }
  return !remote.RequireLogon || Logon(remote, /*logAction=*/true);
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

std::string RunMerges(TPwdBase& local, TPwdBase& remote, bool oneWay) {
  TBusyCursor busy;
  TWriteLock localLock(local);
  std::optional<TWriteLock> remoteLock;
  if (!oneWay) remoteLock.emplace(remote);

  std::string report = FormatMessage(slocalsynced, DatabaseName(local)) + Merge(local, remote);
  SaveDatabase(local, /*makeBackup=*/true);
  if (!oneWay) {
    report += FormatMessage(sremotesynced, DatabaseName(remote)) + Merge(remote, local);
    // The remote's backups would mix with the local ones of the same name.
    SaveDatabase(remote, /*makeBackup=*/false);
  }
  return report;
}

}  // namespace

std::optional<std::string> Synchronize(TPwdBase& local, const std::string& remoteFile, bool oneWay, bool silent) {
  TPwdBase remote;
  remote.FileName = remoteFile;
  std::optional<std::string> report;
  try {
    if (!OpenRemote(remote, local) || !LogonRemote(remote, local)) return std::nullopt;
    report = RunMerges(local, remote, oneWay);
  } catch (const std::exception& error) {
    ShowError(error);
  }
  remote.Close();
  if (TFrontEnd* frontEnd = InstalledFrontEnd()) frontEnd->RefreshDatabase(local);
  if (report && !silent) MsgBox(*report, kMbOk | kMbIconInformation);
  return report;
}

}  // namespace corvane
