#pragma once
// The node of a database tree (TPwdItem) and the list that holds a folder's
// children (TPwdItemsList). Folders and records derive from TPwdItem; the
// database itself is the root folder (TPwdBase).
//
// Every change of an item goes through the edit protocol: Edit, setters, then
// Post or Cancel. Rights are checked, changes logged and undo snapshots taken
// through the owning TPwdBase. Nothing here is safe to use from several threads.

#include <cstdint>
#include <string>
#include <string_view>
#include <array>
#include <cstddef>
#include <vector>

#include "engine/owned.h"
#include "platform/guid.h"

namespace corvane {

class TPwdBase;
class TPwdFolder;
class TPwdFieldsList;
class TPwdItemsList;

// Item type codes, as stored.
constexpr std::uint8_t kItemTypeFolder = 1;
constexpr std::uint8_t kItemTypeRecord = 2;

enum class TItemState : std::uint8_t {
  New = 0,        // created, not yet posted
  Editing = 1,    // Edit was called
  Stored = 2,     // browse state
  Discarded = 3,  // a cancelled new item being freed
};

// What a change-log entry records; the values are stored.
enum class TChangeKind : std::uint8_t { Insert = 0, Update = 1, Delete = 2 };

// What an undo snapshot restores; the values are those of the undo list.
enum class TSnapshotKind : std::uint8_t { Inserted = 0, Modified = 1, Deleted = 2 };

// Icon numbers below this are built-in images; from it on they count the
// database's custom icons.
constexpr std::int32_t kBuiltinImages = 23;

class TPwdItem {
 public:
  virtual ~TPwdItem();
  TPwdItem(const TPwdItem&) = delete;
  TPwdItem& operator=(const TPwdItem&) = delete;

  // The database the item belongs to; nullptr for an item of a free list.
  virtual TPwdBase* GetBase() const;
  // Gives the item an operation stamp if it has none; folders and records
  // then write their change-log entries for an insertion or a deletion.
  virtual void LogItemChange(TChangeKind kind);
  // Called by Post of a new or edited item before it is stored, while the
  // item still accepts changes (records stamp their system fields here).
  virtual void BeforePost() {}
  // Called at the end of Post.
  virtual void AfterPost() {}
  // Copies the source's data into this item (which must accept changes:
  // new or in edit state). Tag and icon here; subclasses add theirs.
  virtual void Assign(const TPwdItem& source);

  // --- Edit protocol ---
  // Stored item: demands "U", enters edit state and takes an undo snapshot.
  // Any other state: does nothing.
  void Edit();
  // Ends insertion or editing; logs an insertion, completes or drops the undo
  // snapshot, clears the operation stamp.
  void Post();
  // A new item is discarded and freed (the caller's pointer dies); an edited
  // item returns to the stored state with its snapshot restored.
  void Cancel();
  // Throws "Not in edit mode." when the item is stored or discarded (unless
  // the database is loading).
  void CheckEditMode() const;
  // Run by every setter before it changes anything: edit mode, then "U"
  // (editing) or "I" (new).
  void BeginModify();
  // Removes the item from the tree with rights check ("D" on it and on
  // everything below it), logging and an undo snapshot, then frees it.
  // Throws before anything changes when a right is missing.
  void Delete();

  // The rights check of the current user on this item; always true for an
  // item outside a database.
  bool HasRights(std::string_view letters, bool requireAll = true) const;
  // Throws "Access denied." when HasRights(letters, true) is false.
  void RequireRights(std::string_view letters) const;

  // Changes the image; logged as an icon change.
  void SetIcon(std::int32_t index);
  // true when the item has no own permission list.
  bool InheritsPermissions() const;
  // Gives the item an own copy of its inherited permissions, or drops it.
  void SetInheritRights(bool inherit);

  // Copies this item (and all below it) into `target`; returns the new top
  // item. One operation stamp covers every log entry of the operation.
  TPwdItem* CopyTo(TPwdFolder& target);
  // As CopyTo, then deletes this item (which is freed).
  TPwdItem* MoveTo(TPwdFolder& target);

  // The folder whose Items hold this item; nullptr for the root or a free item.
  TPwdFolder* ParentFolder() const;
  // The structure that applies to this item: its own (folders), else the
  // nearest ancestor's. nullptr only for a free item without one.
  virtual TPwdFieldsList* EffectiveStructure() const;
  bool IsFolder() const { return ItemType == kItemTypeFolder; }
  // true when the item hangs in its database's tree (not a free copy).
  bool InTree() const;

  // --- Members (stored ones as the stream layer writes them) ---
  std::uint8_t ItemType = 0;
  TPwdItemsList* OwnerList = nullptr;
  std::int32_t Tag = 0;  // for other units' use; not stored
  TGuid Guid;
  std::int32_t IconIndex = 0;  // 0..22 built-in images, 23+ custom icons
  TPermissionsPtr Permissions;  // nullptr: inherited from the parent
  TItemState State = TItemState::Stored;
  TSnapshotKind SnapshotKind = TSnapshotKind::Inserted;  // undo snapshots only
  TGuid SnapshotParent;                                   // undo snapshots only
  TGuid OperationStamp;

  // Makes sure an operation stamp is set, for the setters' changes.
  void EnsureStamp();

 protected:
  // The list does not hold the item yet; AddItem checks the rights.
  explicit TPwdItem(TPwdItemsList* ownerList);

 private:
  friend class TPwdItemsList;
  // Checks "D" on this item and all below it.
  void RequireDeleteRights() const;
  // Logs, snapshots and unlinks this item and everything below it, freeing
  // nothing; then the caller frees the item.
  void PrepareDelete();
  // Removes the item from its owner list and the base's indexes.
  void Unlink();
  // The icon number that shows `source`'s image in this item's database.
  std::int32_t TranslatedIcon(const TPwdItem& source) const;
  // Removes the item (or it and everything below it) from the base's indexes.
  void Unindex();
  void UnindexTree();
  static TPwdItem* CopyItemTree(TPwdItem& source, TPwdFolder& target, const TGuid& stamp,
                                bool move, bool top);

  // Where the item sits in the lists that hold it (its owner list and the
  // base's two record lists), so that removal needs no search.
  struct TListSlot {
    const TPwdItemsList* list = nullptr;
    std::size_t index = 0;
  };
  mutable std::array<TListSlot, 3> slots_{};
  void SetSlot(const TPwdItemsList* list, std::size_t index) const;
  // The recorded position in `list`, forgotten once taken; false when unknown.
  bool TakeSlot(const TPwdItemsList* list, std::size_t& index) const;
};

// An ordered list of items. An owning list frees its items; a reference-only
// list just points at them. Appending and removing are O(1): a removal
// leaves a hole, and the holes are closed in one pass when the list is next
// read.
class TPwdItemsList {
 public:
  TPwdItemsList(TPwdBase* base, TPwdFolder* ownerFolder, bool referenceOnly);
  // Frees the owned items silently (no rights check, no log).
  virtual ~TPwdItemsList();
  TPwdItemsList(const TPwdItemsList&) = delete;
  TPwdItemsList& operator=(const TPwdItemsList&) = delete;

  // The only way items are created. `type` is kItemTypeFolder or
  // kItemTypeRecord, else throws "Unknown item type.". Demands "I" on the
  // owner folder. Not loading: Guid = `id` or a new one, State New. Loading:
  // Guid = `id` (from the stream), State Stored. Returns the item, owned by
  // the list when it is owning.
  TPwdItem* AddItem(std::uint8_t type, bool loading, const TGuid& id = {});

  // Deletes every item with the checked Delete of each, in order; the owner
  // folder's operation stamp is shared by all of them.
  virtual void Clear();
  // Demands "D" on the owner folder, then deletes (owning) or drops the
  // reference to the item at `index`.
  virtual void Delete(int index);

  int Count() const;
  TPwdItem* operator[](int index) const;
  // The items in order (valid until the list changes).
  const std::vector<TPwdItem*>& Items() const;
  int IndexOf(const TPwdItem* item) const;
  // Linear search by Guid; -1 when absent.
  int IndexOfGuid(const TGuid& id) const;

  // For reference lists and the base's indexes: appends or removes a pointer
  // without freeing anything.
  void Append(TPwdItem* item);
  void Remove(const TPwdItem* item);
  void RemoveAll();
  // Puts the items in the order of `items`, which holds the same items.
  void Reorder(std::vector<TPwdItem*> items);

  TPwdBase* Base;
  TPwdFolder* OwnerFolder;
  bool ReferenceOnly;

 private:
  void Compact() const;

  mutable std::vector<TPwdItem*> items_;
  mutable std::size_t holes_ = 0;
};

}  // namespace corvane
