#include "cli/commands/item_path.h"

#include "cli/paths.h"
#include "engine/base.h"
#include "engine/messages.h"
#include "platform/error.h"

namespace corvane {

namespace {

constexpr std::string_view scli_folderandrecord =
    "'%s' names both a folder and a record; name the record by its id.";

// The folder named by `names`, or nullptr; ids are not looked at.
TPwdFolder* FolderAt(TPwdBase& base, const std::vector<std::string>& names) {
  TPwdFolder* folder = &base;
  for (const std::string& name : names)
    if (!(folder = FindSubfolder(*folder, name))) return nullptr;
  return folder;
}

}  // namespace

TPwdItem& ResolveItem(TPwdBase& base, std::string_view utf8Path) {
  const std::vector<std::string> names = SplitItemPath(utf8Path);
  if (const auto id = names.size() == 1 ? TGuid::Parse(names[0]) : std::nullopt) {
    if (TPwdItem* item = base.FindItem(*id); item && item->IsFolder()) return *item;
    return ResolveRecord(base, utf8Path);
  }
  TPwdFolder* folder = FolderAt(base, names);
  if (!folder) return ResolveRecord(base, utf8Path);
  if (TPwdFolder* parent = folder->ParentFolder())
    for (TPwdItem* item : parent->Items->Items())
      if (!item->IsFolder() && Visible(*item) && static_cast<TPwdPassword*>(item)->Title() == names.back())
        throw TError(FormatMessage(scli_folderandrecord, utf8Path));
  return *folder;
}

}  // namespace corvane
