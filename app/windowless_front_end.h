#pragma once
// The part of a front end that has no main window: a run from the command line
// or the start-up paths that never open the window. Prompts and choosers
// answer as cancelled, progress is not shown and never cancels, and the
// main-window hooks do nothing. A subclass shows messages and overrides what
// it can really ask.

#include "app/front_end.h"

namespace corvane {

class TWindowlessFrontEnd : public TFrontEnd {
 public:
  std::optional<TSecretText> AskPassword(const TPasswordPrompt&) override { return std::nullopt; }
  std::optional<TLogonAnswer> AskLogon(const TLogonPrompt&) override { return std::nullopt; }
  std::optional<std::string> ChooseFileToOpen(const TFileChoice&) override { return std::nullopt; }
  std::optional<std::string> ChooseFileToSave(const TFileChoice&) override { return std::nullopt; }
  std::optional<std::string> ChooseFolder(const TFolderChoice&) override { return std::nullopt; }
  TRestoreChoice AskRestore(const TRestoreQuestion&) override { return TRestoreChoice::Cancel; }
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
};

}  // namespace corvane
