#include "app/item_rights.h"

#include <algorithm>

#include "app/properties_messages.h"
#include "engine/base.h"
#include "engine/permissions.h"
#include "engine/users.h"
#include "platform/error.h"

namespace corvane {

namespace {

// The item whose list applies to `item`; nullptr only for a free item
// without a list.
TPwdItem* SourceOf(TPwdItem& item) {
  for (TPwdItem* at = &item; at; at = at->ParentFolder())
    if (at->Permissions) return at;
  return item.GetBase();
}

struct TEntry {
  TGuid guid;
  std::string granted;
  std::string denied;
};

std::vector<TEntry> EntriesOf(const TPwdPermissionsList& list) {
  std::vector<TEntry> entries;
  for (const auto& entry : list) entries.push_back({entry->Guid, entry->Granted, entry->Denied});
  return entries;
}

// The one entry of `who`: the first of its entries (the others go), or a
// new one granting the user's own rights.
TEntry& EntryOf(std::vector<TEntry>& entries, const TPwdBaseUser& who) {
  auto first = std::find_if(entries.begin(), entries.end(), [&](const TEntry& e) { return e.guid == who.Guid(); });
  if (first == entries.end()) {
    entries.push_back({who.Guid(), who.Rights(), {}});
    return entries.back();
  }
  const std::size_t index = static_cast<std::size_t>(first - entries.begin());
  entries.erase(std::remove_if(entries.begin() + static_cast<std::ptrdiff_t>(index) + 1, entries.end(),
                               [&](const TEntry& e) { return e.guid == who.Guid(); }),
                entries.end());
  return entries[index];
}

void Apply(std::vector<TEntry>& entries, const TItemRightsChange& change) {
  const TPwdBaseUser& who = *change.who;
  switch (change.kind) {
    case TItemRightsChange::TKind::Clear:
      std::erase_if(entries, [&](const TEntry& e) { return e.guid == who.Guid(); });
      break;
    case TItemRightsChange::TKind::Grant:
      EntryOf(entries, who).granted = change.letters;
      break;
    case TItemRightsChange::TKind::Deny:
      // "-" denies nothing, which the list writes as no letters.
      EntryOf(entries, who).denied = change.letters == "-" ? std::string() : change.letters;
      break;
  }
}

}  // namespace

TItemRights ReadItemRights(TPwdItem& item) {
  TItemRights rights;
  rights.source = SourceOf(item);
  rights.own = rights.source == &item;
  if (!rights.source || !rights.source->Permissions) return rights;
  const TPwdBase* base = item.GetBase();
  for (const auto& entry : *rights.source->Permissions) {
    const TPwdBaseUser* user = base && base->Users ? base->Users->FindByGuid(entry->Guid) : nullptr;
    rights.entries.push_back({entry->Guid, user, entry->Granted, entry->Denied});
  }
  return rights;
}

void SetItemInherits(TPwdItem& item, bool inherit) {
  TPwdBase* base = item.GetBase();
  if (base) base->RequireRights(nullptr, "A");
  if (base == &item) throw TError(std::string(srights_root));
  item.SetInheritRights(inherit);
}

void ChangeItemRights(TPwdItem& item, std::span<const TItemRightsChange> changes) {
  TPwdBase* base = item.GetBase();
  if (base) base->RequireRights(nullptr, "A");
  if (base == &item) throw TError(std::string(srights_root));
  if (changes.empty()) return;
  const TPwdItem* source = SourceOf(item);
  std::vector<TEntry> entries;
  if (source && source->Permissions) entries = EntriesOf(*source->Permissions);
  for (const TItemRightsChange& change : changes) Apply(entries, change);
  item.SetInheritRights(false);
  item.Permissions->Clear();
  for (const TEntry& entry : entries) item.Permissions->SetEntry(entry.guid, entry.granted, entry.denied);
  if (base) base->SetModified(true);
}

}  // namespace corvane
