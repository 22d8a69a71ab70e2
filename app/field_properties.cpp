#include "app/field_properties.h"

#include <algorithm>
#include <vector>

#include "app/field_structure_edit.h"
#include "app/field_structure_messages.h"
#include "engine/field_descs.h"
#include "engine/fields.h"
#include "engine/messages.h"
#include "platform/codepage.h"
#include "platform/error.h"
#include "platform/locale.h"

namespace corvane {

namespace {

constexpr std::string_view kBlanks = " \t\r\n";

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

void CheckPredefinedDefault(TPwdFieldRec& rec) {
  const std::string wanted = Utf8ToAnsi(rec.defaultValue);
  std::vector<std::string> kept;
  bool found = false;
  for (std::string& line : ValueLines(rec.values)) {
    if (Trimmed(line).empty()) continue;
    found = found || CompareTextIgnoreCase(Utf8ToAnsi(line), wanted) == 0;
    kept.push_back(std::move(line));
  }
  if (!found) throw TError(std::string(spwdinvalidfieldvalue));
  rec.values = JoinValueLines(kept);
}

}  // namespace

std::vector<std::string> ValueLines(std::string_view values) {
  std::vector<std::string> lines;
  if (values.empty()) return lines;
  for (std::size_t start = 0;;) {
    const std::size_t end = values.find('\n', start);
    std::string_view line = values.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    if (end == std::string_view::npos) return lines;
    start = end + 1;
  }
}

std::string JoinValueLines(const std::vector<std::string>& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) text += (i ? "\r\n" : "") + lines[i];
  return text;
}

const std::array<std::uint8_t, 5> kOfferedFieldTypes = {kFieldString, kFieldDate, kFieldInteger, kFieldFloat,
                                                        kFieldCheckbox};

bool IsOfferedFieldType(std::uint8_t fieldType) {
  return std::find(kOfferedFieldTypes.begin(), kOfferedFieldTypes.end(), fieldType) != kOfferedFieldTypes.end();
}

std::string_view FieldTypeName(std::uint8_t fieldType) {
  switch (fieldType) {
    case kFieldString: return sfieldtypestring;
    case kFieldDate: return sfieldtypedate;
    case kFieldInteger: return sfieldtypeinteger;
    case kFieldFloat: return sfieldtypefloat;
    case kFieldCheckbox: return sfieldtypecheckbox;
    default: return {};
  }
}

std::string_view FieldKindName(std::uint8_t kind) {
  switch (kind) {
    case kKindRegular: return sfieldkindregular;
    case kKindPassword: return sfieldkindpassword;
    case kKindMultiline: return sfieldkindmultiline;
    case kKindUrl: return sfieldkindurl;
    case kKindPredefined: return sfieldkindpredefined;
    default: return SystemKindDescription(kind);
  }
}

bool TypeChangeAsks(std::uint8_t fromType, std::uint8_t toType) {
  if (fromType == toType || toType == kFieldString) return false;
  return !(fromType == kFieldInteger && toType == kFieldFloat);
}

void CheckFieldProperties(TPwdFieldRec& rec) {
  if (IsPredefinedKind(rec.subtype) || rec.defaultValue.empty()) return;
  if (rec.fieldType == kFieldString && rec.subtype == kKindPredefined) {
    CheckPredefinedDefault(rec);
    return;
  }
  // The structure's own conversion decides, on a field of no database.
  TPwdFieldsList scratch(nullptr);
  TPwdField field(&scratch);
  field.FieldType = rec.fieldType;
  field.SetDefaultValue(Utf8ToAnsi(rec.defaultValue));
}

std::string CheckSectionName(std::string_view name) {
  const std::string_view trimmed = Trimmed(name);
  if (trimmed.empty()) throw TError(std::string(sfieldsentersectionname));
  return std::string(trimmed);
}

}  // namespace corvane
