#pragma once
// The front end of the commands that use the program's services for database
// folders, backup and restore: messages go to the terminal's output (errors
// and warnings to standard error), the file chooser answers with the file
// named on the command line, and the restore question is answered by an
// option or asked on the terminal.

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "app/windowless_front_end.h"

namespace corvane {

inline constexpr std::string_view scli_restorenoterminal =
    "There is no terminal to ask how to restore; use --over or --as-new.";
inline constexpr std::string_view scli_restoreprompt = "[o] over the existing database, [n] as a new database, [c] cancel: ";

class TLocationsFrontEnd : public TWindowlessFrontEnd {
 public:
  TLocationsFrontEnd(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

  // The file every chooser gives; nullopt answers as a cancel.
  std::optional<std::string> chosenPath;
  // The answer to the restore question; nullopt asks on the terminal.
  std::optional<TRestoreChoice> restoreChoice;
  // Whether an error message was shown (the command then fails).
  bool ErrorShown() const { return errorShown_; }

  TMessageAnswer ShowMessage(const TMessageRequest& request) override;
  std::optional<std::string> ChooseFileToOpen(const TFileChoice&) override { return chosenPath; }
  std::optional<std::string> ChooseFileToSave(const TFileChoice&) override { return chosenPath; }
  TRestoreChoice AskRestore(const TRestoreQuestion& question) override;

 private:
  std::ostream& out_;
  std::ostream& err_;
  bool errorShown_ = false;
};

}  // namespace corvane
