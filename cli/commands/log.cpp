// log: the change log of a database, one line per entry.

#include <optional>
#include <string>

#include "app/change_log_view.h"
#include "app/iso_date.h"
#include "cli/command.h"
#include "cli/context.h"
#include "cli/json.h"
#include "cli/paths.h"
#include "engine/base.h"
#include "engine/changelog.h"
#include "engine/messages.h"
#include "engine/secure_buffer.h"
#include "platform/codepage.h"
#include "platform/error.h"
#include "platform/locale.h"

namespace corvane {

namespace {

constexpr std::string_view scli_baddate = "'%s' is not a date; give it as yyyy-mm-dd or in the short date form of the locale.";
constexpr std::string_view scli_logfield = "(field %d)";
constexpr std::string_view scli_logfoldername = "(folder name)";
constexpr std::string_view scli_logicon = "(image)";
constexpr std::string_view scli_logattachment = "(attachment)";
constexpr std::string_view scli_logfielddef = "(field definition)";
constexpr std::string_view scli_logsection = "(section)";

// What an entry is about when it is not a field's value.
std::string Subject(const TChangeLogLine& line) {
  switch (line.entry->FieldNumber) {
    case kLogFolderName: return std::string(scli_logfoldername);
    case kLogIcon: return std::string(scli_logicon);
    case kLogAttachment: return std::string(scli_logattachment);
    case kLogFieldDef: return std::string(scli_logfielddef);
    case kLogSection: return std::string(scli_logsection);
    default:
      if (!line.fieldName.empty()) return line.fieldName;
      return FormatMessage(scli_logfield, line.entry->FieldNumber);
  }
}

// A typed date: ISO first, as it cannot be misread, then the locale's own form.
double ParseSince(const std::string& utf8) {
  if (std::optional<double> iso = ParseIsoDate(utf8)) return *iso;
  std::optional<double> local;
  try {
    local = ParseShortDate(Utf8ToAnsi(utf8));
  } catch (const TError&) {
    // A character the code page cannot hold is no date either.
  }
  if (!local) throw TUsageError(FormatMessage(scli_baddate, utf8), "log");
  return *local;
}

// The time of an entry; a damaged one that names no date shows its number.
std::string TimeText(double serial, char separator) {
  try {
    return FormatIsoDateTime(serial, separator);
  } catch (const TError&) {
    return FormatFloat(serial, '.');
  }
}

std::string ItemText(const TChangeLogLine& line) {
  return line.item ? ItemPath(*line.item) : line.entry->ItemGuid.ToString();
}

void PrintJson(std::ostream& out, const std::vector<TChangeLogLine>& lines) {
  TJsonWriter json(out);
  json.BeginArray();
  for (const TChangeLogLine& line : lines) {
    const TPwdBaseChangeRec& entry = *line.entry;
    json.BeginObject();
    json.Member("time", TimeText(entry.Timestamp, 'T'));
    json.Member("timestamp", entry.Timestamp);
    json.Member("user", AnsiToUtf8(entry.UserName));
    json.Member("userId", entry.UserGuid.ToString());
    json.Member("kind", ChangeKindName(entry.ChangeKind));
    json.Member("id", entry.ItemGuid.ToString());
    json.Key("path");
    if (line.item) json.String(ItemPath(*line.item));
    else json.Null();
    json.Member("fieldNumber", entry.FieldNumber);
    json.Member("field", Subject(line));
    json.Member("oldText", line.oldText.Text());
    json.Member("newText", line.newText.Text());
    json.Member("masked", line.masked);
    json.EndObject();
  }
  json.EndArray();
}

// Tab-separated; the texts quoted, so that line breaks and tabs inside them
// show as \n and \t and an empty text is seen.
void PrintText(std::ostream& out, const std::vector<TChangeLogLine>& lines) {
  for (const TChangeLogLine& line : lines) {
    const TPwdBaseChangeRec& entry = *line.entry;
    const std::string user = AnsiToUtf8(entry.UserName);
    std::string oldText = JsonQuoted(line.oldText.Text());
    std::string newText = JsonQuoted(line.newText.Text());
    out << TimeText(entry.Timestamp, ' ') << '\t' << (user.empty() ? "-" : user) << '\t'
        << ChangeKindName(entry.ChangeKind) << '\t' << ItemText(line) << '\t' << Subject(line) << '\t' << oldText
        << " -> " << newText << '\n';
    WipeString(oldText);
    WipeString(newText);
  }
}

int RunLog(TCliContext& context, const TArguments& args) {
  TChangeLogQuery query;
  if (args.Has("--since")) query.since = ParseSince(args.Value("--since"));
  query.showPasswords = args.Has("--show-password");
  TPwdBase& base = context.Open(TOpenFor::Reading);
  const std::vector<TChangeLogLine> lines = ViewChangeLog(base, query);
  if (context.Json()) PrintJson(context.Out(), lines);
  else PrintText(context.Out(), lines);
  return 0;
}

}  // namespace

extern const TCommand kLogCommand = {
    {
        .name = "log",
        .summary = "Show the change log of a database.",
        .arguments = {{"DATABASE", "the database file"}},
        .options = {{"--since", "DATE",
                     "only the changes made on DATE or later; DATE as yyyy-mm-dd, or in the short date form "
                     "of the locale (\"12/10/2026\" in en_US)"},
                    {"--show-password", "", "show the values of password fields (needs the right to view passwords)"},
                    kJsonOption,
                    kPasswordStdinOption,
                    kUserOption},
        .description = "One line per change, oldest first, with tabs between: the time (yyyy-mm-dd hh:mm:ss, "
                       "local time), the user, the kind (Insert, Update or Delete), the item by its path, or "
                       "by its id when it no longer exists, what changed (a field's name, or \"(folder "
                       "name)\", \"(image)\", \"(attachment)\", \"(field definition)\" or \"(section)\"), and "
                       "the old and the new text, quoted. The database only logs changes while its option "
                       "\"Log data changes\" is on.\n\n"
                       "Values of password fields show \"******\" unless --show-password is given; so do "
                       "values of fields that no longer exist, as nothing tells whether they were passwords. "
                       "Changes of records the user may not see are left out. With --json each change "
                       "carries its time, user, kind, id, path (null when the item no longer exists), field "
                       "number and name, and the texts.",
        .example = "corvane-cli log Private.cvd --since 2026-12-01",
    },
    &RunLog,
};

}  // namespace corvane
