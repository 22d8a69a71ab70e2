#pragma once
// Pasting copied or cut folders and records into a folder, as the main
// window's Paste command and the command line's cp and mv do it.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

class TPwdFolder;
class TPwdItem;

constexpr std::string_view spaste_parentintochild = "Cannot paste parent folder into the child folder.";
constexpr std::string_view spaste_rootfolder = "The root folder of a database cannot be copied or moved.";

// Whether pasting `item` into `target` would put a folder into itself or into
// one of its own subfolders (only possible within one database).
bool PastesIntoItself(const TPwdItem& item, const TPwdFolder& target);

// What a paste did.
struct TPasteOutcome {
  // The pasted items in the target, in the order of the items given (a cut
  // item that stayed where it was is among them as itself).
  std::vector<TPwdItem*> pasted;
  std::optional<std::string> error;  // the refusal that stopped the walk
};

// Pastes `items` into `target`, in order: copies them (new items with new
// ids, in `target`'s database, which may be another one) or, with `cut`,
// moves them (a moved item is a new item too); a cut item whose parent
// already is `target` stays where it is.
//
// Before anything changes, throws TError "Cannot paste parent folder into the
// child folder." when any item would land in itself, and spaste_rootfolder
// for a database's root folder (only its content can be copied). Then the
// items are pasted one after the other: an item that is gone (it was below
// an item moved before it) is skipped; a move is refused whole ("Access
// denied.") unless the user may delete the item and all below it, a copy
// unless the user may see every record below it (a copy does not keep the
// permissions of its source). The first refusal stops the walk; the items
// pasted before it stay.
TPasteOutcome PasteItems(const std::vector<TPwdItem*>& items, TPwdFolder& target, bool cut);

}  // namespace corvane
