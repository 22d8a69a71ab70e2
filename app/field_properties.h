#pragma once
// The rules of the field-properties and section-properties dialogs of the
// field-structure editor: what their lists offer, which changes ask first, and
// the checks their OK buttons make.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

struct TPwdFieldRec;

// The types the editor offers, in its order: String, Date, Integer, Float, Checkbox.
extern const std::array<std::uint8_t, 5> kOfferedFieldTypes;
bool IsOfferedFieldType(std::uint8_t fieldType);
// The options of a String field, in the editor's order: kinds 0 to 4.
inline constexpr std::uint8_t kOfferedKindCount = 5;
// The program's own fields: created, modified, expire on, modified by.
inline constexpr bool IsPredefinedKind(std::uint8_t kind) { return kind >= 0xF0; }

// "String", "Date", ...; empty for a type that is not offered.
std::string_view FieldTypeName(std::uint8_t fieldType);
// "Regular string", ... for kinds 0 to 4, the fixed descriptions for the
// program's own kinds; empty for any other.
std::string_view FieldKindName(std::uint8_t kind);

// The lines of a list of predefined values, whatever their line ends; none
// for an empty text. And the text of such lines, as the values box holds it.
std::vector<std::string> ValueLines(std::string_view values);
std::string JoinValueLines(const std::vector<std::string>& lines);

// Whether changing an existing field from one type to another asks first
// (it may lose data): not for a change to String, nor from Integer to Float.
bool TypeChangeAsks(std::uint8_t fromType, std::uint8_t toType);

// The OK check of the field-properties dialog. For a String field with
// predefined values and a default value, the lines that are blank are dropped
// from rec.values and the default value must equal one of the rest, ignoring
// case; for the other fields a default value must convert to the field's type.
// Throws TError "Invalid field value." (rec unchanged) otherwise. The
// program's own fields are not checked: their default value cannot be edited.
void CheckFieldProperties(TPwdFieldRec& rec);

// The OK check of the section-properties dialog: the name trimmed; throws
// TError "Please enter section name." when nothing is left.
std::string CheckSectionName(std::string_view name);

}  // namespace corvane
