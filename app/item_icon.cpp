#include "app/item_icon.h"

#include "engine/base.h"
#include "engine/messages.h"
#include "platform/error.h"

namespace corvane {

std::int32_t LastIconIndex(const TPwdBase& base) { return kBuiltinImageCount + base.Icons.Count() - 1; }

void SetItemIcon(TPwdItem& item, std::int32_t index) {
  if (!item.ParentFolder()) throw TError(std::string(sicon_rootfolder));
  const TPwdBase* base = item.GetBase();
  const std::int32_t last = base ? LastIconIndex(*base) : kBuiltinImageCount - 1;
  if (index < 0 || index > last) throw TError(FormatMessage(sicon_outofrange, index, last));
  item.Edit();
  try {
    item.SetIcon(index);
    item.Post();
  } catch (...) {
    item.Cancel();
    throw;
  }
}

}  // namespace corvane
