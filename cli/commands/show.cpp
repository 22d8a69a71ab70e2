// show: every field of one record.

#include "cli/command.h"
#include "cli/context.h"
#include "cli/json.h"
#include "cli/paths.h"
#include "cli/record_text.h"
#include "engine/base.h"
#include "engine/secure_buffer.h"
#include "platform/codepage.h"

namespace corvane {

namespace {

int RunShow(TCliContext& context, const TArguments& args) {
  context.Open(TOpenFor::Reading);
  TPwdPassword& record = context.Record(args.Argument("RECORD"));
  const bool showPassword = args.Has("--show-password");
  if (showPassword) RequirePasswordView(record);
  TPwdFieldsList* structure = record.Bind();
  const int count = structure ? structure->Count() : 0;
  if (context.Json()) {
    TJsonWriter json(context.Out());
    json.BeginObject();
    json.Member("id", record.Guid.ToString());
    json.Member("path", ItemPath(record));
    json.Key("fields").BeginArray();
    for (int i = 0; i < count; ++i) {
      const TPwdField& field = *structure->DisplayField(i);
      std::string text = FieldTextUtf8(field, showPassword);
      json.BeginObject();
      json.Member("name", AnsiToUtf8(field.Name));
      json.Member("number", field.Number);
      json.Member("text", text);
      json.EndObject();
      WipeString(text);
    }
    json.EndArray();
    json.EndObject();
    return 0;
  }
  std::ostream& out = context.Out();
  out << "Path: " << ItemPath(record) << "\nId: " << record.Guid.ToString() << '\n';
  for (int i = 0; i < count; ++i) {
    const TPwdField& field = *structure->DisplayField(i);
    std::string text = FieldTextUtf8(field, showPassword);
    out << AnsiToUtf8(field.Name) << ": ";
    PrintFieldValue(out, text, 4);
    WipeString(text);
  }
  return 0;
}

}  // namespace

extern const TCommand kShowCommand = {
    {
        .name = "show",
        .summary = "Show every field of a record.",
        .arguments = {{"DATABASE", "the database file"}, {"RECORD", "the record, by path or id"}},
        .options = {{"--show-password", "",
                     "show the text of password fields (needs the right to view passwords)"},
                    kJsonOption,
                    kPasswordStdinOption,
                    kUserOption},
        .description = "The fields are shown in the order of the record editor, each with its name. "
                       "Password fields show \"******\" unless --show-password is given.",
        .example = "corvane-cli show Private.cvd Work/Mail/Gmail --show-password",
    },
    &RunShow,
};

}  // namespace corvane
