#include "cli/commands/attachment_support.h"

#include <fcntl.h>
#include <strings.h>
#include <unistd.h>

#include <iostream>

#include "engine/attachments_archive.h"
#include "engine/attachments_list.h"
#include "engine/base.h"
#include "engine/messages.h"
#include "platform/codepage.h"
#include "platform/error.h"

namespace corvane {

TPwdFileAttach* FindAttachment(TPwdPassword& record, std::string_view utf8Name) {
  if (!record.Files) return nullptr;
  const TPwdFilesList& files = *record.Files;
  for (int i = 0; i < files.Count(); ++i)
    if (AnsiToUtf8(files[i]->FileName) == utf8Name) return files[i];
  const std::string wanted(utf8Name);
  for (int i = 0; i < files.Count(); ++i)
    if (::strcasecmp(AnsiToUtf8(files[i]->FileName).c_str(), wanted.c_str()) == 0) return files[i];
  return nullptr;
}

TPwdFileAttach& RequireAttachment(TPwdPassword& record, std::string_view utf8Name) {
  TPwdFileAttach* attachment = FindAttachment(record, utf8Name);
  if (!attachment) throw TError(FormatMessage(scli_noattachment, std::string(utf8Name)));
  return *attachment;
}

void ReportArchiveWarning(TPwdBase& base) {
  const std::string& warning = FilesArchiveOf(base).Warning;
  if (!warning.empty()) std::cerr << PlainLines(AnsiToUtf8(warning)) << '\n';
}

std::string PlainLines(std::string_view message) {
  std::string text;
  for (std::size_t i = 0; i < message.size(); ++i) {
    if (message[i] != '\r') {
      text += message[i];
    } else if (i + 1 >= message.size() || message[i + 1] != '\n') {
      text += '\n';
    }
  }
  return text;
}

std::optional<bool> AskYesNo(std::string_view question) {
  const int fd = ::open("/dev/tty", O_RDWR | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return std::nullopt;
  const std::string prompt = PlainLines(question) + " [y/N] ";
  bool yes = false;
  if (::write(fd, prompt.data(), prompt.size()) == static_cast<ssize_t>(prompt.size())) {
    std::string answer;
    char c = 0;
    while (::read(fd, &c, 1) == 1 && c != '\n') answer += c;
    yes = !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
  }
  ::close(fd);
  return yes;
}

}  // namespace corvane
