// edit: changes fields of one record, as the record editor stores them.

#include "cli/command.h"
#include "cli/commands/field_values.h"
#include "cli/context.h"
#include "cli/record_text.h"
#include "engine/base.h"
#include "platform/codepage.h"

namespace corvane {

namespace {

constexpr std::string_view scli_editnothing = "Nothing to change: give --field or --ask-field.";

int RunEdit(TCliContext& context, const TArguments& args) {
  if (args.Values("--field").empty() && args.Values("--ask-field").empty())
    throw TUsageError(std::string(scli_editnothing), "edit");
  context.Open(TOpenFor::Writing);
  TPwdPassword& record = context.Record(args.Argument("RECORD"));
  // Edit checks the right first, so that nobody is asked for a value in vain.
  record.Edit();
  try {
    TPwdFieldsList& structure = *record.Bind();
    // The record editor keeps a stored password read-only for a user who may not view it.
    for (const std::string& name : args.Values("--ask-field"))
      if (const TPwdField* field = structure.FieldByName(Utf8ToAnsi(name)); field && field->Kind == kKindPassword)
        RequirePasswordView(record);
    const std::vector<TFieldValue> values = GivenFieldValues(context, args, structure, "edit");
    RequireRecordName(structure, values);
    for (const TFieldValue& value : values) value.field->SetAsString(value.text.Text());
    // Post stamps "Modified" and "Modified by".
    record.Post();
  } catch (...) {
    record.Cancel();
    throw;
  }
  context.Save();
  return 0;
}

}  // namespace

extern const TCommand kEditCommand = {
    {
        .name = "edit",
        .summary = "Change fields of a record.",
        .arguments = {{"DATABASE", "the database file"}, {"RECORD", "the record, by path or id"}},
        .options = {{"--field", "NAME=VALUE", "set the field NAME (as the record editor names it) to VALUE; an "
                     "empty VALUE empties the field", false, true},
                    {"--ask-field", "NAME",
                     "ask for the value of the field NAME like a password (the next line with "
                     "--password-stdin); the way to set password fields",
                     false, true},
                    kPasswordStdinOption,
                    kUserOption},
        .description = "The fields not named keep their values. Dates, numbers and check boxes are written as "
                       "the record editor shows them; a date or number that does not read as one is refused. "
                       "The modification date and the user who made the change are filled in automatically. "
                       "Needs the right to modify the record, and for a password the right to view passwords. The "
                       "database is saved.",
        .example = "corvane-cli edit Private.cvd Work/Mail/Gmail --field \"User name=me@example.org\" "
                   "--ask-field Password",
    },
    &RunEdit,
};

}  // namespace corvane
