#pragma once
// What every command of one run shares: the command line, where secrets come
// from, the output, and the one database the command works on. The context is
// the only place that opens a database, logs on and saves it, so that every
// command opens and saves the same way.

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

// What a command does with the database it opens.
enum class TOpenFor { Reading, Writing };

class TCliContext {
 public:
  // Borrows all three for the context's lifetime.
  TCliContext(const TArguments& args, TSecretInput& secrets, std::ostream& out);
  ~TCliContext();
  TCliContext(const TCliContext&) = delete;
  TCliContext& operator=(const TCliContext&) = delete;

  // Opens the DATABASE argument with the master password (asked, or the next
  // line of standard input), then logs on as --user NAME when given. Opening
  // for writing fails when another program holds the file. Throws TError with the engine's
  // message ("The password is incorrect." ...) or the front end's own.
  TPwdBase& Open(TOpenFor purpose);
  // Reads the DATABASE argument without the password: only what the plain
  // part holds (name, description, tree shape, expiry dates).
  TPwdBase& OpenForListing();
  // Creates the DATABASE file, which must not exist, and keeps it open.
  TPwdBase& Create(const std::string& name, const std::string& description, const TSecret& password,
                   const std::string& algorithms);
  // Writes the open database to its file (atomically).
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
  void LogOn();

  const TArguments& args_;
  TSecretInput& secrets_;
  std::ostream& out_;
  std::unique_ptr<TPwdBase> base_;
};

}  // namespace corvane
