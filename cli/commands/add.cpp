// add: a new record in a folder, with its fields' default values and the
// values given.

#include "cli/command.h"
#include "cli/commands/field_values.h"
#include "cli/context.h"
#include "cli/messages.h"
#include "engine/base.h"
#include "engine/messages.h"
#include "platform/codepage.h"

namespace corvane {

namespace {

void ApplyDefaults(TPwdFieldsList& structure) {
  for (int i = 0; i < structure.Count(); ++i) {
    TPwdField& field = *structure[i];
    if (!field.DefaultValue.empty() && !IsUnloggedKind(field.Kind)) field.SetAsString(field.DefaultValueText());
  }
}

int RunAdd(TCliContext& context, const TArguments& args) {
  context.Open(TOpenFor::Writing);
  TPwdFolder& folder = context.Folder(args.Argument("FOLDER"));
  TPwdFieldsList* structure = folder.EffectiveStructure();
  std::vector<TFieldValue> values = GivenFieldValues(context, args, *structure, "add");
  auto* record = static_cast<TPwdPassword*>(folder.Items->AddItem(kItemTypeRecord, false));
  try {
    record->Bind();
    ApplyDefaults(*structure);
    for (TFieldValue& value : values) value.field->SetAsString(value.text.Text());
    record->Post();
  } catch (...) {
    record->Cancel();
    throw;
  }
  context.Save();
  context.Out() << record->Guid.ToString() << '\n';
  return 0;
}

}  // namespace

extern const TCommand kAddCommand = {
    {
        .name = "add",
        .summary = "Add a record to a folder and print its id.",
        .arguments = {{"DATABASE", "the database file"}, {"FOLDER", "the folder of the new record, by path or id"}},
        .options = {{"--field", "NAME=VALUE", "set the field NAME (as the record editor names it) to VALUE",
                     false, true},
                    {"--ask-field", "NAME",
                     "ask for the value of the field NAME like a password (the next line with "
                     "--password-stdin); the way to set password fields",
                     false, true},
                    kPasswordStdinOption,
                    kUserOption},
        .description = "The record starts with the default values of its folder's fields; the values "
                       "given replace them. Dates, numbers and check boxes are written as the record "
                       "editor shows them. The creation and modification dates are filled in "
                       "automatically. The database is saved.",
        .example = "corvane-cli add Private.cvd Work/Mail --field Title=Gmail --field \"User name=me\" "
                   "--ask-field Password",
    },
    &RunAdd,
};

}  // namespace corvane
