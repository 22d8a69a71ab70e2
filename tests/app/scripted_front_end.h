#pragma once
// A front end for tests: it records everything it is asked to show and answers
// from scripts that the test fills beforehand. A question with no scripted
// answer left is answered as a person pressing Enter on a message box (its
// default button) or Escape on anything else (cancel), and is still recorded.
//
//   TScriptedFrontEnd frontEnd;
//   TFrontEndInstallation installed(frontEnd);
//   frontEnd.messageAnswers.push_back(kIdYes);
//   ... run the service ...
//   EXPECT_EQ(frontEnd.messages.at(0).text, "...");

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app/front_end.h"

namespace corvane::testing {

class TScriptedFrontEnd : public TFrontEnd {
 public:
  struct TLogonScript {
    std::string userName;
    std::string password;
  };
  enum class TChooser { OpenFile, SaveFile, Folder };
  struct TChooserCall {
    TChooser kind;
    std::string title;
    std::string startFolder;
    std::vector<TFileFilter> filters;
    std::string fileName;
  };

  // Scripts, used from the front.
  std::deque<int> messageAnswers;            // button results
  std::deque<bool> messageChecks;            // check box states (default unchecked)
  std::deque<std::optional<std::string>> passwords;  // nullopt: cancel
  std::deque<std::optional<TLogonScript>> logons;    // nullopt: cancel
  std::deque<std::optional<std::string>> chosenPaths;  // for every chooser; nullopt: cancel
  std::deque<TRestoreChoice> restoreChoices;
  // The progress display reports a cancel at this step (1 = the first step);
  // 0 never. Once cancelled, every later start or step reports it too.
  int cancelAtStep = 0;
  bool mainWindowVisible = true;

  // What was shown.
  std::vector<TMessageRequest> messages;
  std::vector<TPasswordPrompt> passwordPrompts;
  std::vector<TLogonPrompt> logonPrompts;
  std::vector<TChooserCall> choosers;
  std::vector<TRestoreQuestion> restoreQuestions;
  // "start <caption> <maximum>", "step <text> <position>", "end".
  std::vector<std::string> progress;
  std::vector<bool> busyStates;  // every SetBusyCursor call
  // Hook calls: "RefreshDatabase", "RepaintTree", "StoreListSelection",
  // "CloseModalDialogs", "BringToFront".
  std::vector<std::string> hooks;

  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> texts;
    for (const TMessageRequest& message : messages) texts.push_back(message.text);
    return texts;
  }
  bool Busy() const { return !busyStates.empty() && busyStates.back(); }

  TMessageAnswer ShowMessage(const TMessageRequest& request) override {
    messages.push_back(request);
    TMessageAnswer answer;
    answer.result = request.buttons.at(request.defaultButton).result;
    if (!messageAnswers.empty()) answer.result = Take(messageAnswers);
    if (!messageChecks.empty()) answer.checked = Take(messageChecks);
    return answer;
  }

  std::optional<TSecretText> AskPassword(const TPasswordPrompt& prompt) override {
    passwordPrompts.push_back(prompt);
    if (passwords.empty()) return std::nullopt;
    const std::optional<std::string> password = Take(passwords);
    if (!password) return std::nullopt;
    return TSecretText(*password);
  }

  std::optional<TLogonAnswer> AskLogon(const TLogonPrompt& prompt) override {
    logonPrompts.push_back(prompt);
    if (logons.empty()) return std::nullopt;
    const std::optional<TLogonScript> logon = Take(logons);
    if (!logon) return std::nullopt;
    return TLogonAnswer{logon->userName, TSecretText(logon->password)};
  }

  std::optional<std::string> ChooseFileToOpen(const TFileChoice& choice) override {
    return Choose({TChooser::OpenFile, choice.title, choice.startFolder, choice.filters, choice.fileName});
  }
  std::optional<std::string> ChooseFileToSave(const TFileChoice& choice) override {
    return Choose({TChooser::SaveFile, choice.title, choice.startFolder, choice.filters, choice.fileName});
  }
  std::optional<std::string> ChooseFolder(const TFolderChoice& choice) override {
    return Choose({TChooser::Folder, choice.title, choice.startFolder, {}, {}});
  }

  TRestoreChoice AskRestore(const TRestoreQuestion& question) override {
    restoreQuestions.push_back(question);
    return restoreChoices.empty() ? TRestoreChoice::Cancel : Take(restoreChoices);
  }

  bool ProgressStart(const std::string& caption, std::uint32_t maximum) override {
    progress.push_back("start " + caption + " " + std::to_string(maximum));
    return !canceled_;
  }
  bool ProgressStep(const std::string& text, std::uint32_t position) override {
    progress.push_back("step " + text + " " + std::to_string(position));
    if (cancelAtStep > 0 && ++steps_ >= cancelAtStep) canceled_ = true;
    return !canceled_;
  }
  void ProgressEnd() override { progress.push_back("end"); }

  void SetBusyCursor(bool busy) override { busyStates.push_back(busy); }

  bool MainWindowVisible() override { return mainWindowVisible; }
  void RefreshDatabase(TPwdBase&) override { hooks.push_back("RefreshDatabase"); }
  void RepaintTree() override { hooks.push_back("RepaintTree"); }
  void StoreListSelection(TPwdBase&) override { hooks.push_back("StoreListSelection"); }
  void CloseModalDialogs() override { hooks.push_back("CloseModalDialogs"); }
  void BringToFront() override { hooks.push_back("BringToFront"); }

 private:
  template <class T>
  static T Take(std::deque<T>& script) {
    T value = std::move(script.front());
    script.pop_front();
    return value;
  }

  std::optional<std::string> Choose(TChooserCall call) {
    choosers.push_back(std::move(call));
    return chosenPaths.empty() ? std::nullopt : Take(chosenPaths);
  }

  int steps_ = 0;
  bool canceled_ = false;
};

}  // namespace corvane::testing
