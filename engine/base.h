#pragma once
// One database, open or closed: the root folder of its tree and the owner of
// everything else of it (users, change log, undo list, options). Items reach
// the rights check, the change log and the undo list through the operations
// below.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/folder.h"
#include "engine/guid_index.h"
#include "engine/icons.h"
#include "engine/owned.h"
#include "engine/password.h"
#include "engine/progress.h"
#include "platform/file.h"
#include "platform/guid.h"

namespace corvane {

class TPwdFilesArchive;

// Accepts or rejects a record for VisibleRecords.
using TRecordFilter = std::function<bool(const TPwdPassword& record)>;

class TPwdBase : public TPwdFolder {
 public:
  // A new database: built-in structure, default user, a new Guid.
  TPwdBase();
  ~TPwdBase() override;

  TPwdBase* GetBase() const override;
  // Demands "A", then renames like a folder.
  void SetName(const std::string& name) override;

  // Stores the flag, unless the database is loading.
  void SetModified(bool flag);
  // Whether the current user may change anything in the database.
  bool CanModify() const;
  // Rebuilds VisibleRecords from AllRecords: the records the user may see
  // and that `filter` (if set) accepts.
  void FilterRecords(TRecordFilter filter);
  // The item with `id` anywhere in the tree (the root included), in O(1).
  TPwdItem* FindItem(const TGuid& id) const;
  using TPwdFolder::FindItem;

  // Raises LoadingCount for its lifetime.
  class TLoadingScope {
   public:
    explicit TLoadingScope(TPwdBase& base) : base_(base) { ++base_.LoadingCount; }
    ~TLoadingScope() { --base_.LoadingCount; }
    TLoadingScope(const TLoadingScope&) = delete;
    TLoadingScope& operator=(const TLoadingScope&) = delete;

   private:
    TPwdBase& base_;
  };
  bool IsLoading() const { return LoadingCount > 0; }

  // --- Rights, change log and undo (defined by the users and log units) ---
  // The rights check of the current user on `item` (nullptr: the root).
  bool HasRights(const TPwdItem* item, std::string_view letters, bool requireAll = true) const;
  // Throws "Access denied." when HasRights(item, letters, true) is false.
  void RequireRights(const TPwdItem* item, std::string_view letters) const;
  // The rights letters the current user holds on `item`.
  std::string EffectiveRights(const TPwdItem* item) const;
  // Writes one change-log entry for `item` (giving it an operation stamp
  // first if it has none). Writes nothing while loading, with logging off,
  // or for a new item.
  void LogChange(TPwdItem& item, TChangeKind kind, std::int32_t fieldNumber,
                 std::string_view oldText, std::string_view newText, const TGuid& extra = {});
  // Appends an undo snapshot of `item`.
  void AddSnapshot(TSnapshotKind kind, TPwdItem& item, const TGuid& stamp);
  // Post of an edited item with changes: the snapshot taken by Edit gets the stamp.
  void StampLastSnapshot(const TGuid& stamp);
  // Post of an edited item without changes: the snapshot taken by Edit goes.
  void DropLastSnapshot();
  // Cancel of an edit: `item` gets the values of the snapshot taken by Edit,
  // which then goes.
  void RevertLastSnapshot(TPwdItem& item);
  // Creates Users, ChangesLog, UndoList and the root's own Permissions.
  void CreateUsersAndLog();
  // Replaces the users by the default user (all rights, no password).
  void CreateDefaultUser();
  // Makes the user with `userId` the session's user (its rights, identities
  // and groups). A different user than before clears the undo history (not
  // while reloading). An unknown id resets the session (ResetLogon). Throws
  // "User '%s' is disabled." for a disabled user other than the first one,
  // leaving the session as it was.
  void Logon(const TGuid& userId);
  // The session of nobody in particular: the default user's identity and
  // rights when the database has one, else no name, no rights letters and
  // the zero identity.
  void ResetLogon();

  // --- The database file (defined in dbfile.cpp; see dbfile.h) ---
  // Password := `password`, then LoadFromFile; on success SavedPassword and
  // SavedAlgorithms take the loaded values. On failure the base is closed and
  // the error goes on. An empty password opens for listing only.
  void Open(const std::string& password);
  // SaveToFile under FileName.
  void Save();
  // Open again with the same password, keeping the session and undo history.
  void Reload();
  // Drops the contents: session, passwords, items, icons; lets go of the file
  // and every lock. The object stays usable for another Open.
  void Close();
  // Reads the file `fileName` (empty: FileName); see dbfile.h for retries,
  // read-only fall-back and what a listing without password gives.
  void LoadFromFile(const std::string& fileName = {});
  // Writes the database atomically to `fileName` (empty: FileName).
  void SaveToFile(const std::string& fileName = {});
  // Header, container and body, from or to `stream`.
  void LoadFromStream(TStream& stream);
  void SaveToStream(TStream& stream);
  // Holds the file for writing (three tries); false (and ReadOnly) when not.
  bool OpenForWrite();
  // The lock file of a concurrently written database: true when held.
  bool AcquireLock(int seconds);
  bool ReleaseLock(bool all);

  // --- Members (stored ones as the stream layer writes them) ---
  std::uint16_t FormatVersion = 230;
  std::uint16_t FormatBuild = 23000;
  std::uint8_t Loading = 0;
  TUsersListPtr Users;
  std::string CurrentUserName;
  std::string CurrentRights;
  std::vector<TGuid> CurrentIdentities;
  bool IsFirstUser = false;
  TChangesLogPtr ChangesLog;
  std::uint8_t LogChanges = 1;
  TRecordFilter RecordFilter;
  std::uint8_t RequireLogon = 0;
  std::uint8_t AutoLogonWindowsUser = 0;
  std::uint8_t ReadOnly = 0;
  std::string Algorithms;
  std::string SavedAlgorithms;
  std::string Password;
  std::string SavedPassword;
  std::string Description;
  double FileTime = 0;
  TPwdItemsList AllRecords;
  TPwdItemsList VisibleRecords;
  bool VisibleRecordsHaveFiles = false;
  std::uint8_t Modified = 0;
  std::string FileName;
  std::int32_t LoadingCount = 0;
  TUndoListPtr UndoList;
  std::uint8_t Reloading = 0;
  std::uint8_t ConcurrentWrite = 0;
  std::uint32_t WrongPasswordTick = 0;
  std::uint32_t WrongPasswordDelay = 0;
  std::uint8_t LogActions = 0;
  std::string LogServer;
  std::string LogServerExtra1;
  std::string LogServerExtra2;
  std::string BackupFolder;
  std::int32_t BackupCount = 0;
  std::int32_t AutoCloseSeconds = 0;
  std::uint32_t SaveCounter = 0;
  std::uint32_t OptionFlags = 0;
  std::int32_t LastFieldNumber = 0;
  TFile FileStream;  // held open (writer lock) while the database is kept for writing
  TFile LockStream;  // the ".lock" file while held
  std::int32_t LockCount = 0;
  TProgressReporter Progress;
  TIconList Icons;
  // The attachments' archive region (attachments_archive.h), made on first use.
  std::shared_ptr<TPwdFilesArchive> FilesArchive;

  // OptionFlags bit 0: folders' sort settings are stored.
  static constexpr std::uint32_t kRememberSortOrder = 1u << 0;

 private:
  friend class TPwdItemsList;
  friend class TPwdItem;
  // The Guid index of the tree, kept by the lists as items come and go.
  void IndexItem(TPwdItem* item);
  void UnindexItem(const TPwdItem* item);

  TGuidIndex<TPwdItem> index_;
};

}  // namespace corvane
