#pragma once
// Deleting folders and records chosen by the user, as the main window's
// Delete command and the command line's rm do it: the items are freed one
// after the other, and the first one the user may not delete stops the walk.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

class TPwdBase;
class TPwdItem;

constexpr std::string_view sdelete_rootfolder = "The root folder of a database cannot be deleted.";

// Why an item may not be deleted as it stands.
enum class TDeleteRefusal {
  None,
  Root,      // the database's root folder
  NotEmpty,  // a folder with content, and deleting the content was not agreed
};

// Whether `item` may be deleted; `withContent` agrees to delete a folder's
// content with it. Rights are not looked at here: the walk checks them.
TDeleteRefusal DeleteRefusal(const TPwdItem& item, bool withContent);

// What a walk did.
struct TDeleteOutcome {
  std::size_t deleted = 0;            // items freed
  std::optional<std::string> error;   // the refusal that stopped the walk
};

// Deletes `items` of `base` in order, each with everything below it. An item
// already gone (it was below an item deleted before it) is skipped. The first
// item the user may not delete ("Access denied.", or any other refusal of the
// engine) stops the walk: the items before it stay deleted, it and the ones
// after it stay. The caller has checked DeleteRefusal for every item.
TDeleteOutcome DeleteItems(TPwdBase& base, const std::vector<TPwdItem*>& items);

}  // namespace corvane
