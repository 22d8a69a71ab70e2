#pragma once
// The front end of a run without a window: messages go to standard error,
// every message box answers with its default button, and every question that
// needs a person is cancelled.

#include <ostream>

#include "app/front_end.h"

namespace corvane {

class TConsoleFrontEnd : public TFrontEnd {
 public:
  explicit TConsoleFrontEnd(std::ostream& out) : out_(out) {}

  TMessageAnswer ShowMessage(const TMessageRequest& request) override;
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

 private:
  std::ostream& out_;
};

}  // namespace corvane
