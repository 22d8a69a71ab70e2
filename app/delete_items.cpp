#include "app/delete_items.h"

#include "engine/base.h"
#include "platform/error.h"

namespace corvane {

TDeleteRefusal DeleteRefusal(const TPwdItem& item, bool withContent) {
  if (!item.ParentFolder()) return TDeleteRefusal::Root;
  if (item.IsFolder() && !withContent && static_cast<const TPwdFolder&>(item).Items->Count() > 0)
    return TDeleteRefusal::NotEmpty;
  return TDeleteRefusal::None;
}

TDeleteOutcome DeleteItems(TPwdBase& base, const std::vector<TPwdItem*>& items) {
  // Deleting a folder frees what is below it, so the items are found again
  // by id before each deletion instead of being used from the list.
  std::vector<TGuid> ids;
  ids.reserve(items.size());
  for (const TPwdItem* item : items) ids.push_back(item->Guid);

  TDeleteOutcome outcome;
  for (const TGuid& id : ids) {
    TPwdItem* item = base.FindItem(id);
    if (!item || !item->ParentFolder()) continue;
    try {
      item->Delete();
    } catch (const TError& error) {
      outcome.error = error.what();
      break;
    }
    ++outcome.deleted;
  }
  return outcome;
}

}  // namespace corvane
