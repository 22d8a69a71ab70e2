#pragma once
// Secrets typed by a person: the master password, a database user's password,
// a new password. They come either from the terminal, asked without echo, or
// line by line from standard input (--password-stdin). Never from the command
// line or the environment, where other users of the machine could read them.

#include <string>
#include <string_view>

namespace corvane {

// A text that is wiped from memory when it goes, and whenever it grows and
// moves. Not copyable, so that no stray copy of a secret is left behind.
class TSecret {
 public:
  TSecret();
  explicit TSecret(std::string&& text);  // takes the bytes and wipes the source
  ~TSecret();
  TSecret(TSecret&& other) noexcept;
  TSecret& operator=(TSecret&& other) noexcept;
  TSecret(const TSecret&) = delete;
  TSecret& operator=(const TSecret&) = delete;

  void Append(char c);
  void RemoveLast();
  void Clear();
  const std::string& Text() const { return text_; }
  bool Empty() const { return text_.empty(); }

 private:
  std::string text_;
};

// The UTF-8 secret as engine text in the database code page (strict: a
// character the code page cannot hold is an error, never a "?").
TSecret ToEngineText(const TSecret& utf8);

// Where the secrets of one run come from.
class TSecretInput {
 public:
  virtual ~TSecretInput() = default;
  // One secret. On a terminal `prompt` is shown and the answer not echoed;
  // from standard input it is the next line. Throws TError when there is
  // nothing to read.
  virtual TSecret Read(std::string_view prompt) = 0;
  // A new password: on a terminal asked twice and both answers must match
  // ("The passwords do not match."); from standard input the next line.
  virtual TSecret ReadNew(std::string_view prompt) = 0;
  // Tells a person who typed a wrong password (on a terminal only).
  // Returns whether the answer may be asked again: a person may retry, a
  // script that gave a wrong line may not.
  virtual bool TellWrongAnswer(std::string_view message) = 0;
};

// Asks on the controlling terminal (/dev/tty) with echo switched off; echo
// comes back also when the program is interrupted while it waits. Throws
// TError when the process has no terminal.
class TTerminalInput : public TSecretInput {
 public:
  TSecret Read(std::string_view prompt) override;
  TSecret ReadNew(std::string_view prompt) override;
  bool TellWrongAnswer(std::string_view message) override;
};

// Reads one line of standard input per secret, without buffering beyond the
// line, so that the lines after it stay for the next secret. The line end
// ("\n" or "\r\n") is not part of the secret.
class TStdinInput : public TSecretInput {
 public:
  explicit TStdinInput(int fd = 0) : fd_(fd) {}
  TSecret Read(std::string_view prompt) override;
  TSecret ReadNew(std::string_view prompt) override;
  bool TellWrongAnswer(std::string_view) override { return false; }

 private:
  int fd_;
};

}  // namespace corvane
