// expired: the report of expired records over the known databases, made now.

#include <iostream>

#include "app/front_end.h"
#include "app/known_databases.h"
#include "app/locations.h"
#include "app/session_expired.h"
#include "cli/command.h"
#include "cli/commands/locations_front_end.h"
#include "cli/context.h"

namespace corvane {

namespace {

constexpr std::string_view scli_noexpired = "No database has expired records.";

// The check's report is the command's output: it goes to standard output;
// every other message is shown as the folder commands show it.
class TExpiredFrontEnd : public TLocationsFrontEnd {
 public:
  explicit TExpiredFrontEnd(std::ostream& out) : TLocationsFrontEnd(out, std::cerr), out_(out) {}
  TMessageAnswer ShowMessage(const TMessageRequest& request) override {
    if (request.icon != TMsgIcon::Warning) return TLocationsFrontEnd::ShowMessage(request);
    out_ << request.text << '\n';
    reported = true;
    return {request.buttons.front().result, false};
  }
  bool reported = false;

 private:
  std::ostream& out_;
};

int RunExpired(TCliContext& context, const TArguments&) {
  TExpiredFrontEnd frontEnd(context.Out());
  TFrontEndInstallation installed(frontEnd);
  LoadDatabaseFolders();
  RefreshDatabases(false, false);
  CheckExpiredRecords();
  if (frontEnd.ErrorShown()) return 1;
  if (!frontEnd.reported) context.Out() << scli_noexpired << '\n';
  return 0;
}

}  // namespace

extern const TCommand kExpiredCommand = {
    {
        .name = "expired",
        .summary = "Report the expired records of the databases in the configured folders.",
        .arguments = {},
        .options = {},
        .description = "Runs the program's daily check now: every database of the database folders is read "
                       "without its password, and each one holding records whose expiry date has passed is "
                       "listed with their number. The day of the check is remembered, as the program's own "
                       "check remembers it.",
        .example = "corvane-cli expired",
    },
    &RunExpired,
};

}  // namespace corvane
