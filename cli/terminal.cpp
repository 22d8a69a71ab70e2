#include "cli/terminal.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <utility>

#include "cli/messages.h"
#include "engine/secure_buffer.h"
#include "platform/codepage.h"
#include "platform/error.h"

namespace corvane {

TSecret::TSecret() { text_.reserve(64); }

TSecret::TSecret(std::string&& text) {
  text_.reserve(text.size() + 1);
  text_.assign(text);
  WipeString(text);
}

TSecret::~TSecret() { Clear(); }

TSecret::TSecret(TSecret&& other) noexcept : text_(std::move(other.text_)) { other.text_.clear(); }

TSecret& TSecret::operator=(TSecret&& other) noexcept {
  if (this != &other) {
    Clear();
    text_ = std::move(other.text_);
    other.text_.clear();
  }
  return *this;
}

void TSecret::Append(char c) {
  if (text_.size() == text_.capacity()) {
    // Grow by hand, so that the old buffer is wiped and not just released.
    std::string bigger;
    bigger.reserve(text_.capacity() * 2 + 16);
    bigger.assign(text_);
    WipeString(text_);
    text_.swap(bigger);
  }
  text_.push_back(c);
}

void TSecret::RemoveLast() {
  text_.back() = 0;
  text_.pop_back();
}

void TSecret::Clear() { WipeString(text_); }

TSecret ToEngineText(const TSecret& utf8) { return TSecret(Utf8ToAnsi(utf8.Text())); }

namespace {

// Reads one line from `fd` byte by byte; false when the input ended before
// any byte of it.
bool ReadLine(int fd, TSecret& line) {
  bool any = false;
  for (;;) {
    char c = 0;
    const ssize_t n = ::read(fd, &c, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    any = true;
    if (c == '\n') break;
    line.Append(c);
  }
  if (!line.Empty() && line.Text().back() == '\r') line.RemoveLast();
  return any;
}

void WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    text.remove_prefix(static_cast<std::size_t>(n));
  }
}

// The terminal whose echo is off, for the signal handler to restore.
int gEchoOffFd = -1;
termios gSavedTerminal;

void RestoreEchoAndRaise(int signal) {
  if (gEchoOffFd >= 0) ::tcsetattr(gEchoOffFd, TCSAFLUSH, &gSavedTerminal);
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

// Echo is off while it lives; it comes back on destruction and on SIGINT,
// SIGTERM, SIGHUP and SIGQUIT.
class TNoEchoScope {
 public:
  explicit TNoEchoScope(int fd) : fd_(fd) {
    if (::tcgetattr(fd_, &gSavedTerminal) != 0) return;
    termios quiet = gSavedTerminal;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    quiet.c_lflag |= ECHONL;
    gEchoOffFd = fd_;
    for (int i = 0; i < 4; ++i) previous_[i] = ::signal(kSignals[i], RestoreEchoAndRaise);
    active_ = ::tcsetattr(fd_, TCSAFLUSH, &quiet) == 0;
  }
  ~TNoEchoScope() {
    if (active_) ::tcsetattr(fd_, TCSAFLUSH, &gSavedTerminal);
    if (gEchoOffFd == fd_) {
      for (int i = 0; i < 4; ++i) ::signal(kSignals[i], previous_[i]);
      gEchoOffFd = -1;
    }
  }
  TNoEchoScope(const TNoEchoScope&) = delete;
  TNoEchoScope& operator=(const TNoEchoScope&) = delete;

 private:
  static constexpr int kSignals[4] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
  int fd_;
  bool active_ = false;
  sighandler_t previous_[4] = {};
};

class TTerminal {
 public:
  TTerminal() : fd_(::open("/dev/tty", O_RDWR | O_CLOEXEC | O_NOCTTY)) {
    if (fd_ < 0) throw TError(std::string(scli_noterminal));
  }
  ~TTerminal() { ::close(fd_); }
  TTerminal(const TTerminal&) = delete;
  TTerminal& operator=(const TTerminal&) = delete;

  void Tell(std::string_view message) {
    WriteAll(fd_, message);
    WriteAll(fd_, "\n");
  }

  TSecret Ask(std::string_view prompt) {
    TSecret answer;
    bool got = false;
    {
      // Echo goes off before the prompt shows: switching it off drops what
      // was typed before, which must not be the answer to the prompt.
      TNoEchoScope quiet(fd_);
      WriteAll(fd_, prompt);
      WriteAll(fd_, ": ");
      got = ReadLine(fd_, answer);
    }
    if (!got) throw TError(std::string(scli_nopassword));
    return answer;
  }

 private:
  int fd_;
};

}  // namespace

TSecret TTerminalInput::Read(std::string_view prompt) { return TTerminal().Ask(prompt); }

TSecret TTerminalInput::ReadNew(std::string_view prompt) {
  TTerminal terminal;
  TSecret first = terminal.Ask(prompt);
  TSecret again = terminal.Ask(scli_promptrepeat);
  if (first.Text() != again.Text()) throw TError(std::string(scli_passwordmismatch));
  return first;
}

bool TTerminalInput::TellWrongAnswer(std::string_view message) {
  TTerminal().Tell(message);
  return true;
}

TSecret TStdinInput::Read(std::string_view) {
  TSecret line;
  if (!ReadLine(fd_, line)) throw TError(std::string(scli_nopassword));
  return line;
}

TSecret TStdinInput::ReadNew(std::string_view prompt) { return Read(prompt); }

}  // namespace corvane
