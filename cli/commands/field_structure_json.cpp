#include "cli/commands/field_structure_json.h"

#include <cctype>
#include <cmath>
#include <limits>

#include "app/field_properties.h"
#include "app/field_structure_choice.h"
#include "cli/json.h"
#include "cli/json_reader.h"
#include "cli/paths.h"
#include "engine/base.h"
#include "engine/messages.h"
#include "platform/error.h"

namespace corvane {

namespace {

constexpr std::string_view scli_fieldsjson = "The fields description is not valid: %s.";
constexpr std::string_view scli_fieldsjsonmember = "%s has no member \"%s\"";
constexpr std::string_view scli_fieldsjsonkind = "\"%s\" must be %s, not %s";
constexpr std::string_view scli_fieldsjsonrange = "\"%s\" must be a whole number from %d to %d";
constexpr std::string_view scli_fieldsjsonname = "\"%s\" does not name one: %s";
constexpr std::string_view scli_fieldsjsonnewname = "a new field needs a \"name\"";

using TKind = TJsonValue::TKind;

[[noreturn]] void Invalid(const std::string& what) { throw TError(FormatMessage(scli_fieldsjson, what)); }

void RequireKind(const TJsonValue& value, std::string_view key, TKind kind, std::string_view kindName) {
  if (value.kind != kind) Invalid(FormatMessage(scli_fieldsjsonkind, key, kindName, JsonKindName(value.kind)));
}

const std::string& StringOf(const TJsonValue& value, std::string_view key) {
  RequireKind(value, key, TKind::String, "a string");
  return value.text;
}

int IntegerOf(const TJsonValue& value, std::string_view key, int low, int high) {
  RequireKind(value, key, TKind::Number, "a number");
  if (value.number != std::floor(value.number) || value.number < low || value.number > high)
    Invalid(FormatMessage(scli_fieldsjsonrange, key, low, high));
  return static_cast<int>(value.number);
}

bool SameAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

// A type or kind: its code, or its name as `nameOf` gives it.
std::uint8_t CodeOf(const TJsonValue& value, std::string_view key, std::string_view (*nameOf)(std::uint8_t)) {
  if (value.kind != TKind::String) return static_cast<std::uint8_t>(IntegerOf(value, key, 0, 255));
  for (int code = 0; code <= 255; ++code) {
    const std::string_view name = nameOf(static_cast<std::uint8_t>(code));
    if (!name.empty() && SameAscii(name, value.text)) return static_cast<std::uint8_t>(code);
  }
  Invalid(FormatMessage(scli_fieldsjsonname, key, value.text));
}

// A section by its index, or by its name in the new section list.
std::uint8_t SectionOf(const TJsonValue& value, const std::vector<std::string>& sections) {
  if (value.kind != TKind::String) return static_cast<std::uint8_t>(IntegerOf(value, "section", 0, 255));
  for (std::size_t i = 0; i < sections.size() && i <= 255; ++i)
    if (sections[i] == value.text) return static_cast<std::uint8_t>(i);
  Invalid(FormatMessage(scli_fieldsjsonname, "section", value.text));
}

std::string ValuesOf(const TJsonValue& value) {
  if (value.kind == TKind::String) return value.text;
  RequireKind(value, "predefinedValues", TKind::Array, "an array of strings");
  std::vector<std::string> lines;
  for (const TJsonValue& line : value.items) lines.push_back(StringOf(line, "predefinedValues"));
  return JoinValueLines(lines);
}

// The field of `original` that an entry with `number` starts from.
const TPwdFieldRec* Listed(const std::vector<TPwdFieldRec>& original, std::int32_t number) {
  for (const TPwdFieldRec& rec : original)
    if (rec.identifier == number || rec.identifier == -2 - number) return &rec;
  return nullptr;
}

TPwdFieldRec FieldOf(const TJsonValue& entry, const std::vector<TPwdFieldRec>& original,
                     const std::vector<std::string>& sections) {
  RequireKind(entry, "fields", TKind::Object, "an array of objects");
  TPwdFieldRec rec;
  const TJsonValue* number = entry.Find("number");
  if (number && number->kind != TKind::Null) {
    const int n = IntegerOf(*number, "number", 0, std::numeric_limits<std::int32_t>::max());
    const TPwdFieldRec* listed = Listed(original, n);
    if (listed) rec = *listed;
    else rec.identifier = n;  // unknown: the commit names it
  } else if (!entry.Find("name")) {
    Invalid(std::string(scli_fieldsjsonnewname));
  }
  for (const auto& [key, value] : entry.members) {
    if (key == "number" || key == "position" || key == "column" || key == "columnVisible") continue;
    if (key == "name") rec.name = StringOf(value, key);
    else if (key == "type") rec.fieldType = CodeOf(value, key, &FieldTypeName);
    else if (key == "kind") rec.subtype = CodeOf(value, key, &FieldKindName);
    else if (key == "section") rec.section = SectionOf(value, sections);
    else if (key == "description") rec.description = StringOf(value, key);
    else if (key == "defaultValue") rec.defaultValue = StringOf(value, key);
    else if (key == "predefinedValues") rec.values = ValuesOf(value);
    else Invalid(FormatMessage(scli_fieldsjsonmember, "a field", key));
  }
  return rec;
}

}  // namespace

void WriteFieldStructureJson(TJsonWriter& json, TPwdFolder& folder) {
  TPwdFolder& owner = StructureOwner(folder);
  const TFieldStructureEdit edit = ReadFieldStructureEdit(owner);
  json.BeginObject();
  json.Member("folder", ItemPath(folder));
  json.Member("structureOf", ItemPath(owner));
  json.Key("sections").BeginArray();
  for (const std::string& section : edit.sections) json.String(section);
  json.EndArray();
  json.Key("fields").BeginArray();
  for (const TPwdFieldRec& rec : edit.fields) {
    const TPwdField& field = *owner.Structure->FieldByNumber(rec.identifier);
    json.BeginObject();
    json.Member("number", rec.identifier);
    json.Member("name", rec.name);
    const std::string_view type = FieldTypeName(rec.fieldType);
    if (type.empty()) json.Member("type", static_cast<int>(rec.fieldType));
    else json.Member("type", type);
    const std::string_view kind = FieldKindName(rec.subtype);
    if (kind.empty()) json.Member("kind", static_cast<int>(rec.subtype));
    else json.Member("kind", kind);
    json.Member("section", static_cast<int>(rec.section));
    json.Member("position", rec.order);
    json.Member("column", field.ColumnPosition);
    json.Member("columnVisible", field.ColumnVisible);
    json.Member("description", rec.description);
    json.Member("defaultValue", rec.defaultValue);
    json.Key("predefinedValues").BeginArray();
    for (const std::string& line : ValueLines(rec.values)) json.String(line);
    json.EndArray();
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
}

void ApplyFieldStructureJson(std::string_view text, TFieldStructureEdit& edit) {
  const TJsonValue root = ParseJson(text);
  RequireKind(root, "the description", TKind::Object, "an object");
  for (const auto& [key, value] : root.members)
    if (key != "folder" && key != "structureOf" && key != "sections" && key != "fields")
      Invalid(FormatMessage(scli_fieldsjsonmember, "the description", key));
  if (const TJsonValue* sections = root.Find("sections")) {
    RequireKind(*sections, "sections", TKind::Array, "an array of strings");
    edit.sections.clear();
    for (const TJsonValue& name : sections->items) edit.sections.push_back(StringOf(name, "sections"));
  }
  if (const TJsonValue* fields = root.Find("fields")) {
    RequireKind(*fields, "fields", TKind::Array, "an array of objects");
    std::vector<TPwdFieldRec> listed;
    for (const TJsonValue& entry : fields->items) {
      listed.push_back(FieldOf(entry, edit.fields, edit.sections));
      // The order within a section is the order of the list.
      listed.back().order = static_cast<std::int32_t>(listed.size() - 1);
    }
    edit.fields = std::move(listed);
  }
}

}  // namespace corvane
