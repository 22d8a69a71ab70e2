#include "engine/field_descs.h"

#include "engine/fields.h"
#include "engine/messages.h"

namespace corvane {

const std::array<TDbFieldDescRec, 10> kBuiltinFields = {{
    {0, kFieldString, kKindRegular, "Title", 0, 0, 150, "Title"},
    {1, kFieldString, kKindRegular, "User", 0, 1, 100, "User name"},
    {2, kFieldString, kKindRegular, "Account", 0, 2, 70, "Account"},
    {3, kFieldString, kKindUrl, "URL", 0, 3, 150, "URL"},
    {8, kFieldString, kKindPassword, "Password", 0, 4, 100, "Password"},
    {6, kFieldDate, kKindModified, "", 1, 6, 70, "Modified"},
    {5, kFieldDate, kKindCreated, "", 1, 5, 70, "Created"},
    {7, kFieldDate, kKindExpires, "Expires", 1, 8, 70, "Expire on"},
    {4, kFieldString, kKindMultiline, "Description", 1, 9, 200, "Description"},
    {9, kFieldString, kKindModifiedBy, "", 1, 7, 70, "Modified by"},
}};

const TDbFieldDescRec* FindBuiltinField(std::int32_t number) {
  for (const TDbFieldDescRec& desc : kBuiltinFields)
    if (desc.Number == number) return &desc;
  return nullptr;
}

std::string_view SystemKindDescription(std::uint8_t kind) {
  switch (kind) {
    case kKindCreated: return spwdfieldcreated;
    case kKindModified: return spwdfieldmodified;
    case kKindExpires: return spwdfieldexpires;
    case kKindModifiedBy: return spwdfieldmodifiedby;
    default: return {};
  }
}

}  // namespace corvane
