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

#include "app/front_end.h"

namespace corvane {

inline constexpr std::string_view scli_restorenoterminal =
    "There is no terminal to ask how to restore; use --over or --as-new.";
inline constexpr std::string_view scli_restoreprompt = "[o] over the existing database, [n] as a new database, [c] cancel: ";

class TLocationsFrontEnd : public TFrontEnd {
 public:
  TLocationsFrontEnd(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

  // The file every chooser gives; nullopt answers as a cancel.
  std::optional<std::string> chosenPath;
  // The answer to the restore question; nullopt asks on the terminal.
  std::optional<TRestoreChoice> restoreChoice;
  // Whether an error message was shown (the command then fails).
  bool ErrorShown() const { return errorShown_; }

  TMessageAnswer ShowMessage(const TMessageRequest& request) override;
  std::optional<TSecretText> AskPassword(const TPasswordPrompt&) override { return std::nullopt; }
  std::optional<TLogonAnswer> AskLogon(const TLogonPrompt&) override { return std::nullopt; }
  std::optional<std::string> ChooseFileToOpen(const TFileChoice&) override { return chosenPath; }
  std::optional<std::string> ChooseFileToSave(const TFileChoice&) override { return chosenPath; }
  std::optional<std::string> ChooseFolder(const TFolderChoice&) override { return std::nullopt; }
  TRestoreChoice AskRestore(const TRestoreQuestion& question) override;
  bool ProgressStart(const std::string&, std::uint32_t) override { return true; }
  bool ProgressStep(const std::string&, std::uint32_t) override { return true; }
  void ProgressEnd() override {}
  void SetBusyCursor(bool) override {}
  bool MainWindowVisible() override { return false; }
  void RefreshDatabase(TPwdBase&) override {}
  void RepaintTree() override {}
  void StoreListSelection(TPwdBase&) override {}
  void CloseModalDialogs() override {}
  void BringToFront() override {}

 private:
  std::ostream& out_;
  std::ostream& err_;
  bool errorShown_ = false;
};

}  // namespace corvane
