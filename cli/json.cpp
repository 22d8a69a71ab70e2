#include "cli/json.h"

#include <cmath>
#include <cstdio>

namespace corvane {

std::string JsonQuoted(std::string_view utf8) {
  std::string out = "\"";
  for (const char c : utf8) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

TJsonWriter::~TJsonWriter() {
  if (done_) out_ << '\n';
}

void TJsonWriter::NewLine() {
  out_ << '\n';
  for (std::size_t i = 0; i < hasItems_.size(); ++i) out_ << "  ";
}

void TJsonWriter::BeforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (hasItems_.empty()) return;
  if (hasItems_.back()) out_ << ',';
  hasItems_.back() = true;
  NewLine();
}

TJsonWriter& TJsonWriter::Key(std::string_view name) {
  BeforeValue();
  out_ << JsonQuoted(name) << ": ";
  afterKey_ = true;
  return *this;
}

void TJsonWriter::BeginObject() {
  BeforeValue();
  out_ << '{';
  hasItems_.push_back(false);
}

void TJsonWriter::BeginArray() {
  BeforeValue();
  out_ << '[';
  hasItems_.push_back(false);
}

void TJsonWriter::Close(char bracket) {
  const bool hadItems = hasItems_.back();
  hasItems_.pop_back();
  if (hadItems) NewLine();
  out_ << bracket;
  done_ = hasItems_.empty();
}

void TJsonWriter::EndObject() { Close('}'); }
void TJsonWriter::EndArray() { Close(']'); }

void TJsonWriter::String(std::string_view utf8) {
  BeforeValue();
  out_ << JsonQuoted(utf8);
  done_ = hasItems_.empty();
}

void TJsonWriter::Number(std::int64_t value) {
  BeforeValue();
  out_ << value;
  done_ = hasItems_.empty();
}

void TJsonWriter::Number(double value) {
  BeforeValue();
  if (!std::isfinite(value)) {
    out_ << "null";  // JSON has no NaN or infinity
  } else {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    out_ << text;
  }
  done_ = hasItems_.empty();
}

void TJsonWriter::Bool(bool value) {
  BeforeValue();
  out_ << (value ? "true" : "false");
  done_ = hasItems_.empty();
}

void TJsonWriter::Null() {
  BeforeValue();
  out_ << "null";
  done_ = hasItems_.empty();
}

}  // namespace corvane
