#pragma once
// The front end of a command that opens a database: the program's password
// and logon prompts are answered from the run's secrets (the terminal, or the
// lines of standard input), the logon with the user named by --user. A
// person at the terminal may try again after a wrong answer; a script may
// not: its first refusal ends the prompts, and the refusal becomes the
// command's error.

#include <optional>
#include <ostream>
#include <string>

#include "cli/commands/locations_front_end.h"
#include "cli/terminal.h"

namespace corvane {

class TSessionFrontEnd : public TLocationsFrontEnd {
 public:
  // `databasePath` names the database in the password prompt; `userName` is
  // the --user value, nullopt when not given. Borrows `secrets`.
  TSessionFrontEnd(TSecretInput& secrets, std::string databasePath, std::optional<std::string> userName,
                   std::ostream& out, std::ostream& err);

  TMessageAnswer ShowMessage(const TMessageRequest& request) override;
  std::optional<TSecretText> AskPassword(const TPasswordPrompt& prompt) override;
  std::optional<TLogonAnswer> AskLogon(const TLogonPrompt& prompt) override;

  // While held, refusals (error messages) are answers to prompts: told on the
  // terminal, or kept as the reason the prompts ended.
  void HoldRefusals(bool hold);
  // The refusal that ended the prompts, or why they could not be answered;
  // empty when none.
  const std::string& Refusal() const { return refusal_; }
  // How many logon prompts were answered.
  int LogonsAnswered() const { return logonsAnswered_; }

 private:
  TSecretInput& secrets_;
  std::optional<std::string> userName_;
  std::string databasePath_;
  bool holdRefusals_ = false;
  bool promptsEnded_ = false;
  std::string refusal_;
  int logonsAnswered_ = 0;
};

}  // namespace corvane
