#include "app/paste_items.h"

#include "engine/base.h"
#include "engine/messages.h"
#include "platform/error.h"

namespace corvane {

namespace {

// A move deletes the source, so every item below it must be deletable
// before the first copy is made; otherwise a refusal half-way would split
// the folder between its old and its new place.
bool MayDeleteAll(const TPwdItem& item) {
  if (!item.HasRights("D")) return false;
  if (item.IsFolder())
    for (const TPwdItem* child : static_cast<const TPwdFolder&>(item).Items->Items())
      if (!MayDeleteAll(*child)) return false;
  return true;
}

// A copy takes the permissions of its new place, so copying a record the
// user may not see would show it to him there.
bool MaySeeAll(const TPwdItem& item) {
  if (!item.IsFolder()) return item.HasRights("");
  for (const TPwdItem* child : static_cast<const TPwdFolder&>(item).Items->Items())
    if (!MaySeeAll(*child)) return false;
  return true;
}

TPwdItem* Paste(TPwdItem& item, TPwdFolder& target, bool cut) {
  if (!cut) {
    if (!MaySeeAll(item)) throw TError(std::string(spwdaccessdenied));
    return item.CopyTo(target);
  }
  if (item.ParentFolder() == &target) return &item;
  if (!MayDeleteAll(item)) throw TError(std::string(spwdaccessdenied));
  return item.MoveTo(target);
}

}  // namespace

bool PastesIntoItself(const TPwdItem& item, const TPwdFolder& target) {
  if (!item.IsFolder() || item.GetBase() != target.GetBase()) return false;
  for (const TPwdItem* at = &target; at; at = at->ParentFolder())
    if (at == &item) return true;
  return false;
}

TPasteOutcome PasteItems(const std::vector<TPwdItem*>& items, TPwdFolder& target, bool cut) {
  for (const TPwdItem* item : items)
    if (!item->ParentFolder()) throw TError(std::string(spaste_rootfolder));
  for (const TPwdItem* item : items)
    if (PastesIntoItself(*item, target)) throw TError(std::string(spaste_parentintochild));

  // Moving a folder frees what was below it, so the items are found again by
  // id before each step instead of being used from the list.
  struct TSource {
    TPwdBase* base;
    TGuid id;
  };
  std::vector<TSource> sources;
  sources.reserve(items.size());
  for (const TPwdItem* item : items) sources.push_back({item->GetBase(), item->Guid});

  TPasteOutcome outcome;
  for (const TSource& source : sources) {
    TPwdItem* item = source.base ? source.base->FindItem(source.id) : nullptr;
    if (!item) continue;
    try {
      outcome.pasted.push_back(Paste(*item, target, cut));
    } catch (const TError& error) {
      outcome.error = error.what();
      break;
    }
  }
  return outcome;
}

}  // namespace corvane
