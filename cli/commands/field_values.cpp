#include "cli/commands/field_values.h"

#include "cli/command.h"
#include "cli/context.h"
#include "cli/messages.h"
#include "engine/fields.h"
#include "engine/messages.h"
#include "platform/codepage.h"
#include "platform/locale.h"

namespace corvane {

namespace {

constexpr std::string_view scli_entervalue = "Please enter value for %s.";

// The field `utf8Name` of `structure`, if the command line may set it.
TPwdField& SettableField(TPwdFieldsList& structure, const std::string& utf8Name) {
  TPwdField* field = structure.FieldByName(Utf8ToAnsi(utf8Name));
  if (!field) throw TError(FormatMessage(scli_unknownfield, utf8Name));
  if (IsUnloggedKind(field->Kind)) throw TError(FormatMessage(scli_systemfield, utf8Name));
  return *field;
}

// The engine reads what does not parse as 0 (no date, zero); a value typed
// wrong must not quietly become that.
void CheckValue(const TPwdField& field, std::string_view text) {
  bool valid = true;
  switch (field.FieldType) {
    case kFieldDate: valid = text.empty() || ParseShortDate(text).has_value(); break;
    case kFieldInteger: valid = ParseInteger(text).has_value(); break;
    case kFieldFloat: valid = ParseFloat(text).has_value(); break;
    default: break;
  }
  if (!valid) throw TError(std::string(spwdinvalidfieldvalue));
}

}  // namespace

std::vector<TFieldValue> GivenFieldValues(TCliContext& context, const TArguments& args,
                                          TPwdFieldsList& structure, std::string_view command) {
  std::vector<TFieldValue> values;
  for (const std::string& given : args.Values("--field")) {
    const std::size_t equals = given.find('=');
    if (equals == std::string::npos || equals == 0)
      throw TUsageError(FormatMessage(scli_fieldsyntax, given), command);
    const std::string name = given.substr(0, equals);
    TPwdField& field = SettableField(structure, name);
    if (field.Kind == kKindPassword) throw TError(FormatMessage(scli_passwordargument, name));
    TSecret text(Utf8ToAnsi(std::string_view(given).substr(equals + 1)));
    CheckValue(field, text.Text());
    values.push_back({&field, std::move(text)});
  }
  for (const std::string& name : args.Values("--ask-field")) {
    TPwdField& field = SettableField(structure, name);
    TSecret text = ToEngineText(context.Secrets().Read(FormatMessage(scli_promptfield, name)));
    CheckValue(field, text.Text());
    values.push_back({&field, std::move(text)});
  }
  return values;
}

void RequireRecordName(const TPwdFieldsList& structure, const std::vector<TFieldValue>& values) {
  const TPwdField* lead = nullptr;
  for (int i = 0; i < structure.Count() && !lead; ++i) {
    const TPwdField* field = structure.DisplayField(i);
    if (field->Kind != kKindPassword && field->Kind != kKindModifiedBy) lead = field;
  }
  if (!lead || lead->FieldType != kFieldString) return;
  for (const TFieldValue& value : values) {
    if (value.field != lead) continue;
    const std::string_view text = value.text.Text();
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos)
      throw TError(FormatMessage(scli_entervalue, AnsiToUtf8(lead->Name)));
  }
}

}  // namespace corvane
