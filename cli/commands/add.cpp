// add: a new record in a folder, with its fields' default values and the
// values given.

#include "cli/command.h"
#include "cli/context.h"
#include "cli/messages.h"
#include "engine/base.h"
#include "engine/messages.h"
#include "platform/codepage.h"

namespace corvane {

namespace {

// One value to store, in engine text.
struct TFieldValue {
  TPwdField* field;
  TSecret text;
};

// The field `utf8Name` of `structure`, if the command line may set it.
TPwdField& SettableField(TPwdFieldsList& structure, const std::string& utf8Name) {
  TPwdField* field = structure.FieldByName(Utf8ToAnsi(utf8Name));
  if (!field) throw TError(FormatMessage(scli_unknownfield, utf8Name));
  if (IsUnloggedKind(field->Kind)) throw TError(FormatMessage(scli_systemfield, utf8Name));
  return *field;
}

std::vector<TFieldValue> GivenValues(TCliContext& context, const TArguments& args, TPwdFieldsList& structure) {
  std::vector<TFieldValue> values;
  for (const std::string& given : args.Values("--field")) {
    const std::size_t equals = given.find('=');
    if (equals == std::string::npos || equals == 0)
      throw TUsageError(FormatMessage(scli_fieldsyntax, given), "add");
    const std::string name = given.substr(0, equals);
    TPwdField& field = SettableField(structure, name);
    // Passwords on the command line could be read by others from the process list.
    if (field.Kind == kKindPassword) throw TError(FormatMessage(scli_passwordargument, name));
    values.push_back({&field, TSecret(Utf8ToAnsi(std::string_view(given).substr(equals + 1)))});
  }
  for (const std::string& name : args.Values("--ask-field")) {
    TPwdField& field = SettableField(structure, name);
    values.push_back({&field, ToEngineText(context.Secrets().Read(FormatMessage(scli_promptfield, name)))});
  }
  return values;
}

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
  std::vector<TFieldValue> values = GivenValues(context, args, *structure);
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
