#pragma once
// A text that holds a secret (a password as typed). Its bytes are overwritten
// when it is destroyed, replaced or moved from, so no copy stays behind in
// freed memory.

#include <string>
#include <string_view>

#include "engine/secure_buffer.h"

namespace corvane {

class TSecretText {
 public:
  TSecretText() = default;
  explicit TSecretText(std::string_view text) : text_(text) {}
  ~TSecretText() { WipeString(text_); }

  // Moving copies the bytes and wipes the source, since a short string's bytes
  // would otherwise stay in the source's own buffer.
  TSecretText(TSecretText&& other) noexcept : text_(other.text_) { WipeString(other.text_); }
  TSecretText& operator=(TSecretText&& other) noexcept {
    if (this != &other) {
      WipeString(text_);
      text_ = other.text_;
      WipeString(other.text_);
    }
    return *this;
  }
  TSecretText(const TSecretText&) = delete;
  TSecretText& operator=(const TSecretText&) = delete;

  const std::string& Text() const { return text_; }
  bool Empty() const { return text_.empty(); }

 private:
  std::string text_;
};

}  // namespace corvane
