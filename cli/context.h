#pragma once
// What every command of one run shares: the command line, where secrets come
// from, the output, the front end of the program's services, and the one
// database the command works on. The context is the only place that opens a
// database, logs on and saves it; it does so through the program's own
// session services, so that a command opens and saves as the window does.

#include <memory>
#include <ostream>
#include <string>
#include <string_view>

#include "cli/command.h"
#include "cli/terminal.h"

namespace corvane {

class TPwdBase;
class TPwdFolder;
class TPwdPassword;
class TSessionFrontEnd;
class TFrontEndInstallation;

// What a command does with the database it opens.
enum class TOpenFor { Reading, Writing };

class TCliContext {
 public:
  // Borrows all three for the context's lifetime, and installs the run's
  // front end (messages on the terminal, prompts answered from `secrets`).
  TCliContext(const TArguments& args, TSecretInput& secrets, std::ostream& out);
  ~TCliContext();
  TCliContext(const TCliContext&) = delete;
  TCliContext& operator=(const TCliContext&) = delete;

  // Opens the DATABASE argument as the program does (the master password
  // asked, or the next line of standard input; "Open DB" logged; a required
  // logon), then logs on as --user NAME when given and not yet done. Opening
  // for writing fails when another program holds the file or the user may
  // change nothing. Throws TError with the message that refused the opening
  // ("The password is incorrect." ...).
  TPwdBase& Open(TOpenFor purpose);
  // Reads the DATABASE argument without the password: only what the plain
  // part holds (name, description, tree shape, expiry dates).
  TPwdBase& OpenForListing();
  // Creates the DATABASE file, which must not exist, and keeps it open.
  TPwdBase& Create(const std::string& name, const std::string& description, const TSecret& password,
                   const std::string& algorithms);
  // Writes the open database to its file (atomically), after the automatic
  // backup copy of the file as it was.
  void Save();

  // The open database; only after Open, OpenForListing or Create.
  TPwdBase& Base() const { return *base_; }
  const std::string& DatabasePath() const;

  // Items named on the command line (see cli/paths.h).
  TPwdFolder& Folder(std::string_view utf8Path) const;
  TPwdPassword& Record(std::string_view utf8Path) const;

  const TArguments& Args() const { return args_; }
  TSecretInput& Secrets() const { return secrets_; }
  std::ostream& Out() const { return out_; }
  // --json was given.
  bool Json() const;

 private:
  // Refuses a file of a format this program does not read, before the
  // engine would read it as an empty database.
  void CheckFormat() const;
  void ThrowIfListingFailed() const;
  void LogOnAsUser();
  // Starts the program's settings and folders once, for the commands that
  // work on a database.
  void StartServices();

  const TArguments& args_;
  TSecretInput& secrets_;
  std::ostream& out_;
  std::unique_ptr<TSessionFrontEnd> frontEnd_;
  std::unique_ptr<TFrontEndInstallation> installed_;
  bool servicesStarted_ = false;
  std::unique_ptr<TPwdBase> base_;
};

}  // namespace corvane
