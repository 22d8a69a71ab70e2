#pragma once
// The front end: everything Corvane shows to the person in front of it, and
// everything it asks them, goes through this one interface. The window, the
// command line and the tests each implement it; the services of app/ talk only
// to TFrontEnd and never learn which one is on the other side.
//
// The services prepare every request completely (texts cut and line breaks
// normalised, buttons and their results resolved, titles chosen), so an
// implementation only shows what it is given and reports the answer.
//
// All texts are UTF-8; line breaks inside them are "\n". Everything runs on
// the thread of the user interface; nothing here is thread-safe.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/secret_text.h"

namespace corvane {

class TPwdBase;

enum class TMsgIcon { None = 0, Error = 1, Question = 2, Warning = 3, Information = 4 };

// One button of a message: its caption and the result it gives when pressed.
struct TMsgButton {
  std::string caption;
  int result = 0;
};

// A message box as it is to be shown.
struct TMessageRequest {
  std::string text;
  std::string title;
  // When not empty, a "Details >" button expands the box to show this text.
  std::string details;
  // When not empty, a check box with this caption is shown.
  std::string checkBoxCaption;
  std::vector<TMsgButton> buttons;  // never empty
  std::size_t defaultButton = 0;    // index into buttons; answers Enter
  TMsgIcon icon = TMsgIcon::None;
};

struct TMessageAnswer {
  int result = 0;          // the pressed button's result
  bool checked = false;    // the check box's state, when there is one
};

// The password prompt: caption, the text above the box, and the note under it.
struct TPasswordPrompt {
  std::string caption;
  std::string text;
  std::string note;
};

// The logon prompt. `userNames` in the order to list; `nameEditable` lets a
// name be typed that is not in the list; `selectedName` is put in the name box
// (empty: nothing selected).
struct TLogonPrompt {
  std::string caption;
  std::string text;
  std::string note;
  std::vector<std::string> userNames;
  bool nameEditable = false;
  std::string selectedName;
};

struct TLogonAnswer {
  std::string userName;
  TSecretText password;
};

// One entry of a file chooser's type list: "Icons (*.ico)" with "*.ico".
struct TFileFilter {
  std::string name;
  std::string patterns;  // several patterns separated by ";"
};

struct TFileChoice {
  std::string title;
  std::vector<TFileFilter> filters;
  std::string startFolder;       // empty: the chooser's own choice
  std::string fileName;          // the proposed name (save choosers)
  std::string defaultExtension;  // without dot; added to a typed name without one
};

struct TFolderChoice {
  std::string title;
  std::string startFolder;
};

enum class TRestoreChoice { Cancel, OverExisting, AsNew };

// How to restore a backup when a database of the same name exists. The dates
// are already formatted for showing.
struct TRestoreQuestion {
  std::string message;
  std::string backupModified;
  std::string existingModified;
};

class TFrontEnd {
 public:
  virtual ~TFrontEnd() = default;

  // Shows a message and waits for a button. Returns the pressed button's result
  // and the check box's state.
  virtual TMessageAnswer ShowMessage(const TMessageRequest& request) = 0;

  // Ask for a database password or a user logon; nullopt when the person
  // cancels. An empty answer is allowed here: the caller rejects it.
  virtual std::optional<TSecretText> AskPassword(const TPasswordPrompt& prompt) = 0;
  virtual std::optional<TLogonAnswer> AskLogon(const TLogonPrompt& prompt) = 0;

  // File and folder choosers; nullopt when the person cancels. Paths are full.
  virtual std::optional<std::string> ChooseFileToOpen(const TFileChoice& choice) = 0;
  virtual std::optional<std::string> ChooseFileToSave(const TFileChoice& choice) = 0;
  virtual std::optional<std::string> ChooseFolder(const TFolderChoice& choice) = 0;

  virtual TRestoreChoice AskRestore(const TRestoreQuestion& question) = 0;

  // The progress display of a long operation. Start and Step return false when
  // the person asked to cancel (the caller then stops the operation).
  virtual bool ProgressStart(const std::string& caption, std::uint32_t maximum) = 0;
  virtual bool ProgressStep(const std::string& text, std::uint32_t position) = 0;
  virtual void ProgressEnd() = 0;

  // Shows the busy cursor (or takes it away). The nesting is counted by the
  // caller; this only sets the state.
  virtual void SetBusyCursor(bool busy) = 0;

  // Hooks on the main window. A front end without one does nothing here.
  // Whether the main window is on the screen (prompts say which program asks
  // when it is not).
  virtual bool MainWindowVisible() = 0;
  // The database's tree node, image and caption no longer show its state.
  virtual void RefreshDatabase(TPwdBase& database) = 0;
  // The settings changed: repaint the tree with them.
  virtual void RepaintTree() = 0;
  // Before the database is saved or closed: keep the record list's selection
  // in it, if the list shows it.
  virtual void StoreListSelection(TPwdBase& database) = 0;
  // Closes every modal dialog: the record editor as if confirmed, every other
  // as if cancelled.
  virtual void CloseModalDialogs() = 0;
  // Brings the main window in front of other programs' windows.
  virtual void BringToFront() = 0;
};

// The process's front end. Throws TError when none is installed, which is a
// fault of the program's start-up.
TFrontEnd& FrontEnd();
// The same, or nullptr: for the hooks that have nothing to do without one.
TFrontEnd* InstalledFrontEnd();

// Installs a front end for as long as it exists; the previous one (or none)
// comes back afterwards. The front end is borrowed and must outlive it.
class TFrontEndInstallation {
 public:
  explicit TFrontEndInstallation(TFrontEnd& frontEnd);
  ~TFrontEndInstallation();
  TFrontEndInstallation(const TFrontEndInstallation&) = delete;
  TFrontEndInstallation& operator=(const TFrontEndInstallation&) = delete;

 private:
  TFrontEnd* previous_;
};

}  // namespace corvane
