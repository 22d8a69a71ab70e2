#pragma once
// The rights of one folder or record as a person edits them: the permission
// entries that apply to it (its own, or those it inherits), and changes of
// one user's or group's entry. The root folder's entries follow the users'
// own rights and change with the users, never here.

#include <span>
#include <string>
#include <vector>

#include "platform/guid.h"

namespace corvane {

class TPwdBaseUser;
class TPwdItem;

// One entry as the item's list holds it.
struct TItemRightsEntry {
  TGuid guid;
  const TPwdBaseUser* user = nullptr;  // nullptr: no user or group has the id any more
  std::string granted;  // "" all rights, "-" none
  std::string denied;   // "" nothing denied
};

struct TItemRights {
  // The item whose list applies: the item itself when it has its own list,
  // else the nearest folder above it that has one (at last the root).
  TPwdItem* source = nullptr;
  bool own = false;
  std::vector<TItemRightsEntry> entries;
};

// The entries that apply to `item`, in the list's order.
TItemRights ReadItemRights(TPwdItem& item);

// One change of an item's entries.
struct TItemRightsChange {
  enum class TKind { Grant, Deny, Clear };
  TKind kind = TKind::Grant;
  const TPwdBaseUser* who = nullptr;
  // Grant: the letters granted ("-" none); Deny: the letters denied ("-"
  // none). Unused for Clear, which removes the entry.
  std::string letters;
};

// Gives `item` its own list (a copy of the inherited one) or lets it inherit
// again. Both mark the database modified.
void SetItemInherits(TPwdItem& item, bool inherit);

// Applies `changes` in order to the item's own list, which it gets first
// when it inherits. A user or group keeps one entry: a grant replaces what
// it is granted, a denial what it is denied (further entries for the same
// id go). An entry that a grant or denial creates starts with the user's
// own rights granted (as the root grants them) and nothing denied.
// Marks the database modified. Throws TError "Access denied." without the
// right Administrator, and for the root folder a message that its rights
// are the users' own; nothing changes then.
void ChangeItemRights(TPwdItem& item, std::span<const TItemRightsChange> changes);

}  // namespace corvane
