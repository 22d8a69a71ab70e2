#pragma once
// Opening a known database in the program: the password prompt and its
// attempts, the logging of the opening, the required logon and the decision
// between write access and read only. The window, the command line and the
// tests call it through their own front ends.

#include <string>

#include "app/secret_text.h"
#include "engine/base.h"

namespace corvane {

inline constexpr int kPasswordAttempts = 3;

struct TOpenOptions {
  // A password in the database's code page, tried once without a prompt;
  // nullptr: the person is asked, up to three times.
  const TSecretText* password = nullptr;
  // A user who may not change the database is asked to log on again (as a
  // user who may) instead of keeping it read only.
  bool relogon = false;
  // A line shown above the prompt's own text (UTF-8).
  std::string extraLine;
};

// Opens the database with its password. Each failure (a wrong password, a
// damaged file) is shown with the error icon and uses up an attempt; the
// engine's wrong-password pause grows with each. Once open, the action
// "Open DB" is logged, a required logon made, and the access decided: a file
// held by another writer gives read only, with a warning. Every refusal after
// the file was read closes the database again. True when the database is
// open (also when it already was); the front end has then redrawn its node.
bool OpenDatabase(TPwdBase& base, const TOpenOptions& options = {});

}  // namespace corvane
