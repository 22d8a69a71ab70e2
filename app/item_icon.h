#pragma once
// Choosing the image of a folder or record: one of the built-in images or
// one of its database's custom icons.

#include <cstdint>
#include <string_view>

namespace corvane {

class TPwdBase;
class TPwdItem;

constexpr std::string_view sicon_outofrange = "There is no icon %d; this database has the icons 0 to %d.";
constexpr std::string_view sicon_rootfolder = "The root folder of a database has no icon of its own.";

// The highest icon number items of `base` may show: the built-in images
// come first, then the custom icons.
std::int32_t LastIconIndex(const TPwdBase& base);

// Gives `item` the icon `index` through the edit protocol. Throws TError,
// with the item unchanged: sicon_rootfolder for the root (whose icon the file
// does not keep), sicon_outofrange for a number that names no image,
// "Access denied." without the right to modify the item.
void SetItemIcon(TPwdItem& item, std::int32_t index);

}  // namespace corvane
