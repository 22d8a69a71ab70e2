// sync: synchronises a database with another copy of it, in one or both directions.

#include <iostream>

#include "app/front_end.h"
#include "app/synchronize.h"
#include "cli/command.h"
#include "cli/commands/locations_front_end.h"
#include "cli/context.h"
#include "cli/messages.h"
#include "engine/base.h"
#include "engine/messages.h"
#include "platform/file_system.h"

namespace corvane {

namespace {

constexpr std::string_view scli_syncremoteprompt = "Master password of the remote copy: ";
constexpr std::string_view scli_synccancelled = "The synchronization was cancelled.";

// Asks for the remote's own password the way the command's other secrets
// are read (the terminal, or the next line of standard input).
class TSyncFrontEnd : public TLocationsFrontEnd {
 public:
  TSyncFrontEnd(TSecretInput& secrets, std::ostream& out) : TLocationsFrontEnd(out, std::cerr), secrets_(secrets) {}
  std::optional<TSecretText> AskPassword(const TPasswordPrompt&) override {
    try {
      return TSecretText(secrets_.Read(scli_syncremoteprompt).Text());
    } catch (const TError&) {
      return std::nullopt;  // nothing more to read: as a cancel
    }
  }

 private:
  TSecretInput& secrets_;
};

int RunSync(TCliContext& context, const TArguments& args) {
  const std::string& remote = args.Argument("REMOTE");
  if (!FileExists(remote)) throw TError(FormatMessage(scli_dbnotfound, remote));
  TPwdBase& local = context.Open(TOpenFor::Writing);

  TSyncFrontEnd frontEnd(context.Secrets(), context.Out());
  TFrontEndInstallation installed(frontEnd);
  std::optional<std::string> report = Synchronize(local, remote, args.Has("--one-way"), /*silent=*/true);
  if (frontEnd.ErrorShown()) return 1;
  if (!report) throw TError(std::string(scli_synccancelled));
  // The report's lines end in "\r\n"; a terminal wants "\n".
  for (std::size_t at = report->find("\r\n"); at != std::string::npos; at = report->find("\r\n", at))
    report->erase(at, 1);
  context.Out() << *report;
  return 0;
}

}  // namespace

extern const TCommand kSyncCommand = {
    {
        .name = "sync",
        .summary = "Synchronize a database with another copy of it.",
        .arguments = {{"DATABASE", "the local database; it receives the remote's changes and is saved"},
                      {"REMOTE", "the other copy; it receives the local changes unless --one-way"}},
        .options = {kPasswordStdinOption,
                    kUserOption,
                    {"--one-way", "", "only bring the remote's changes into DATABASE; REMOTE is not written"}},
        .description = "The changes recorded in the change log of REMOTE are made in DATABASE, which is saved; "
                       "then the changes of DATABASE are made in REMOTE, which is saved too. A report of what "
                       "was inserted, updated and deleted in each copy, and of the changes refused for want "
                       "of rights, is printed.\n\nREMOTE is opened with the master password of DATABASE; when it "
                       "has another one, it is asked next. A user of REMOTE with the same identity and "
                       "password as the user of DATABASE is logged on there without asking. Both files must be "
                       "copies of one database.",
        .example = "corvane-cli sync Private.cvd /media/card/Private.cvd",
    },
    &RunSync,
};

}  // namespace corvane
