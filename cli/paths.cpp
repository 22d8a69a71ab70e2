#include "cli/paths.h"

#include "cli/messages.h"
#include "engine/base.h"
#include "engine/messages.h"
#include "platform/codepage.h"
#include "platform/error.h"

namespace corvane {

std::vector<std::string> SplitItemPath(std::string_view utf8Path) {
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start <= utf8Path.size()) {
    std::size_t end = utf8Path.find('/', start);
    if (end == std::string_view::npos) end = utf8Path.size();
    if (end > start) names.push_back(Utf8ToAnsi(utf8Path.substr(start, end - start)));
    start = end + 1;
  }
  return names;
}

bool Visible(const TPwdItem& item) { return item.IsFolder() || item.HasRights(""); }

TPwdFolder* FindSubfolder(const TPwdFolder& parent, std::string_view name) {
  for (TPwdItem* item : parent.Items->Items())
    if (item->IsFolder() && static_cast<TPwdFolder*>(item)->Name == name) return static_cast<TPwdFolder*>(item);
  return nullptr;
}

namespace {

// Whether `text` is an id in registry text form; `item` is then the item it
// names, or nullptr when no item has it.
bool ItemById(TPwdBase& base, std::string_view text, TPwdItem*& item) {
  if (text.empty() || text.front() != '{') return false;
  const auto id = TGuid::Parse(text);
  if (!id) return false;
  item = base.FindItem(*id);
  if (item && !Visible(*item)) item = nullptr;
  return true;
}

TPwdFolder& WalkFolders(TPwdBase& base, const std::vector<std::string>& names, std::size_t count,
                        std::string_view utf8Path) {
  TPwdFolder* folder = &base;
  for (std::size_t i = 0; i < count; ++i) {
    folder = FindSubfolder(*folder, names[i]);
    if (!folder) throw TError(FormatMessage(scli_foldernotfound, utf8Path));
  }
  return *folder;
}

}  // namespace

TPwdFolder& ResolveFolder(TPwdBase& base, std::string_view utf8Path) {
  const std::vector<std::string> names = SplitItemPath(utf8Path);
  TPwdItem* item = nullptr;
  if (names.size() == 1 && ItemById(base, names[0], item)) {
    if (!item) throw TError(FormatMessage(scli_foldernotfound, utf8Path));
    if (!item->IsFolder()) throw TError(FormatMessage(scli_notafolder, utf8Path));
    return *static_cast<TPwdFolder*>(item);
  }
  TPwdFolder* folder = &base;
  for (const std::string& name : names) {
    TPwdFolder* next = FindSubfolder(*folder, name);
    if (!next) {
      for (TPwdItem* child : folder->Items->Items())
        if (!child->IsFolder() && Visible(*child) && static_cast<TPwdPassword*>(child)->Title() == name)
          throw TError(FormatMessage(scli_notafolder, utf8Path));
      throw TError(FormatMessage(scli_foldernotfound, utf8Path));
    }
    folder = next;
  }
  return *folder;
}

TPwdPassword& ResolveRecord(TPwdBase& base, std::string_view utf8Path) {
  const std::vector<std::string> names = SplitItemPath(utf8Path);
  if (names.empty()) throw TError(FormatMessage(scli_notarecord, utf8Path));
  TPwdItem* item = nullptr;
  if (names.size() == 1 && ItemById(base, names[0], item)) {
    if (!item) throw TError(FormatMessage(scli_recordnotfound, utf8Path));
    if (item->IsFolder()) throw TError(FormatMessage(scli_notarecord, utf8Path));
    return *static_cast<TPwdPassword*>(item);
  }
  TPwdFolder& folder = WalkFolders(base, names, names.size() - 1, utf8Path);
  std::vector<TPwdPassword*> matches;
  for (TPwdItem* item : folder.Items->Items())
    if (!item->IsFolder() && Visible(*item) && static_cast<TPwdPassword*>(item)->Title() == names.back())
      matches.push_back(static_cast<TPwdPassword*>(item));
  if (matches.empty()) {
    if (FindSubfolder(folder, names.back())) throw TError(FormatMessage(scli_notarecord, utf8Path));
    throw TError(FormatMessage(scli_recordnotfound, utf8Path));
  }
  if (matches.size() > 1) {
    std::string ids;
    for (TPwdPassword* match : matches) ids += "\n  " + match->Guid.ToString();
    throw TError(FormatMessage(scli_ambiguoustitle, AnsiToUtf8(names.back()),
                               static_cast<int>(matches.size()), ids));
  }
  return *matches.front();
}

std::string ItemPath(TPwdItem& item) {
  std::string path;
  for (TPwdItem* at = &item; at->ParentFolder(); at = at->ParentFolder()) {
    const std::string name = at->IsFolder() ? static_cast<TPwdFolder*>(at)->Name
                                            : static_cast<TPwdPassword*>(at)->Title();
    path.insert(0, "/" + AnsiToUtf8(name));
  }
  return path.empty() ? "/" : path;
}

}  // namespace corvane
