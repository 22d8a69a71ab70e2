// fields: the field structure that the records of a folder follow.

#include "app/field_properties.h"
#include "app/field_structure_choice.h"
#include "app/field_structure_edit.h"
#include "cli/command.h"
#include "cli/commands/field_structure_json.h"
#include "cli/context.h"
#include "cli/json.h"
#include "cli/paths.h"
#include "engine/base.h"
#include "engine/messages.h"

namespace corvane {

namespace {

constexpr std::string_view scli_fieldsinheritedfrom = "Inherited from: %s";
constexpr std::string_view scli_fieldsheader = "Number\tName\tType\tKind\tSection\tPosition\tColumn";
constexpr std::string_view scli_fieldshidden = " hidden";

// A type or kind by its name, or by its code when it has none.
std::string CodeText(std::string_view name, std::uint8_t code) {
  return name.empty() ? std::to_string(code) : std::string(name);
}

void PrintText(std::ostream& out, TPwdFolder& folder) {
  TPwdFolder& owner = StructureOwner(folder);
  if (&owner != &folder) out << FormatMessage(scli_fieldsinheritedfrom, ItemPath(owner)) << '\n';
  const TFieldStructureEdit edit = ReadFieldStructureEdit(owner);
  out << scli_fieldsheader << '\n';
  for (const TPwdFieldRec& rec : edit.fields) {
    const TPwdField& field = *owner.Structure->FieldByNumber(rec.identifier);
    const std::string section = rec.section < edit.sections.size() ? edit.sections[rec.section] : std::string();
    out << rec.identifier << '\t' << rec.name << '\t' << CodeText(FieldTypeName(rec.fieldType), rec.fieldType)
        << '\t' << CodeText(FieldKindName(rec.subtype), rec.subtype) << '\t' << section << '\t' << rec.order
        << '\t' << field.ColumnPosition << (field.ColumnVisible ? "" : scli_fieldshidden) << '\n';
  }
}

int RunFields(TCliContext& context, const TArguments& args) {
  context.Open(TOpenFor::Reading);
  TPwdFolder& folder = context.Folder(args.Argument("FOLDER"));
  if (context.Json()) {
    TJsonWriter json(context.Out());
    WriteFieldStructureJson(json, folder);
  } else {
    PrintText(context.Out(), folder);
  }
  return 0;
}

}  // namespace

extern const TCommand kFieldsCommand = {
    {
        .name = "fields",
        .summary = "Show the field structure of a folder.",
        .arguments = {{"DATABASE", "the database file"},
                      {"FOLDER", "the folder, by path or id; the root when left out", false}},
        .options = {kJsonOption, kPasswordStdinOption, kUserOption},
        .description = "Lists the fields that the folder's records carry, in the order the record editor "
                       "shows them: number, name, type, kind, section, position within the section and "
                       "column in the record list (\"hidden\" when the column is not shown). A folder "
                       "without a structure of its own uses the one of the folder above it; the first "
                       "line then names that folder.\n\nWith --json the structure is printed with the "
                       "sections, descriptions, default values and predefined values in the form that "
                       "fields-edit reads.",
        .example = "corvane-cli fields Private.cvd Work --json > fields.json",
    },
    &RunFields,
};

}  // namespace corvane
