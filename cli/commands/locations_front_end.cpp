#include "cli/commands/locations_front_end.h"

#include <fcntl.h>
#include <unistd.h>

#include "app/messages.h"
#include "cli/terminal_text.h"
#include "platform/error.h"
#include "platform/unique_fd.h"

namespace corvane {

namespace {

void WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(fd, text.data(), text.size());
    if (written <= 0) return;
    text.remove_prefix(static_cast<std::size_t>(written));
  }
}

// One line typed on the terminal, without its line end; empty at its end.
std::string ReadLine(int fd) {
  std::string line;
  char c = 0;
  while (::read(fd, &c, 1) == 1 && c != '\n') line += c;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace

TMessageAnswer TLocationsFrontEnd::ShowMessage(const TMessageRequest& request) {
  const bool problem = request.icon == TMsgIcon::Error || request.icon == TMsgIcon::Warning;
  if (request.icon == TMsgIcon::Error) errorShown_ = true;
  (problem ? err_ : out_) << TerminalText(request.text) << '\n';
  return {request.buttons.at(request.defaultButton).result, false};
}

TRestoreChoice TLocationsFrontEnd::AskRestore(const TRestoreQuestion& question) {
  if (restoreChoice) return *restoreChoice;
  TUniqueFd tty(::open("/dev/tty", O_RDWR | O_CLOEXEC));
  if (tty.Get() < 0) throw TError(std::string(scli_restorenoterminal));
  out_.flush();
  WriteAll(tty.Get(), question.message + "\n" + std::string(srestore_backupmodified) + " " + question.backupModified +
                          "\n" + std::string(srestore_existingmodified) + " " + question.existingModified + "\n" +
                          std::string(scli_restoreprompt));
  const std::string answer = ReadLine(tty.Get());
  if (answer == "o" || answer == "O") return TRestoreChoice::OverExisting;
  if (answer == "n" || answer == "N") return TRestoreChoice::AsNew;
  return TRestoreChoice::Cancel;
}

}  // namespace corvane
