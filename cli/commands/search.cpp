// search: the records whose fields hold a text.

#include "app/record_search.h"
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

std::vector<TRecordMatch> Search(TPwdBase& base, const TArguments& args) {
  const std::string text = Utf8ToAnsi(args.Argument("TEXT"));
  const std::string field = Utf8ToAnsi(args.Value("--field"));
  return SearchRecords(base, text, field);
}

int RunSearch(TCliContext& context, const TArguments& args) {
  TPwdBase& base = context.Open(TOpenFor::Reading);
  const std::vector<TRecordMatch> matches = Search(base, args);
  // Only password fields the user may view were searched, so only those can be shown.
  const bool showPassword = args.Has("--show-password");
  std::ostream& out = context.Out();
  std::optional<TJsonWriter> json;
  if (context.Json()) {
    json.emplace(out);
    json->BeginArray();
  }
  for (const TRecordMatch& match : matches) {
    match.record->Bind();
    if (json) {
      json->BeginObject();
      json->Member("id", match.record->Guid.ToString());
      json->Member("path", ItemPath(*match.record));
      json->Key("fields").BeginArray();
    } else {
      out << ItemPath(*match.record) << '\n';
    }
    for (const TPwdField* field : match.fields) {
      std::string text = FieldTextUtf8(*field, showPassword);
      if (json) {
        json->BeginObject();
        json->Member("name", AnsiToUtf8(field->Name));
        json->Member("number", field->Number);
        json->Member("text", text);
        json->EndObject();
      } else {
        out << "    " << AnsiToUtf8(field->Name) << ": ";
        PrintFieldValue(out, text, 6);
      }
      WipeString(text);
    }
    if (json) {
      json->EndArray();
      json->EndObject();
    }
  }
  if (json) json->EndArray();
  return 0;
}

}  // namespace

extern const TCommand kSearchCommand = {
    {
        .name = "search",
        .summary = "Find the records whose fields hold a text.",
        .arguments = {{"DATABASE", "the database file"}, {"TEXT", "the text to look for"}},
        .options = {{"--field", "NAME", "look only in the fields named NAME"},
                    {"--show-password", "", "show the text of matching password fields"},
                    kJsonOption,
                    kPasswordStdinOption,
                    kUserOption},
        .description = "Every record the user may see is searched, field by field, in the text the record editor "
                       "shows, without regard to case and by the rules of the user's language. Password fields "
                       "are searched only in the records where the user has the right to view passwords; they "
                       "show \"******\" unless --show-password is given. Each matching record is printed by its "
                       "path, followed by the fields that hold the text. Nothing is printed when no record "
                       "matches.",
        .example = "corvane-cli search Private.cvd gmail --field URL",
    },
    &RunSearch,
};

}  // namespace corvane
