#include "cli/json_reader.h"

#include <charconv>
#include <cmath>

#include "engine/messages.h"
#include "platform/error.h"

namespace corvane {

namespace {

constexpr std::string_view scli_jsoninvalid = "The JSON input is not valid: %s (line %d, column %d).";

class TJsonParser {
 public:
  explicit TJsonParser(std::string_view text) : text_(text) {}

  TJsonValue Document() {
    TJsonValue value = Value(0);
    SkipSpaces();
    if (at_ < text_.size()) Fail("text after the value");
    return value;
  }

 private:
  [[noreturn]] void Fail(std::string_view what) const {
    int line = 1, column = 1;
    for (std::size_t i = 0; i < at_ && i < text_.size(); ++i) {
      if (text_[i] == '\n') {
        ++line;
        column = 1;
      } else {
        ++column;
      }
    }
    throw TError(FormatMessage(scli_jsoninvalid, what, line, column));
  }

  void SkipSpaces() {
    while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r'))
      ++at_;
  }

  char Peek() {
    SkipSpaces();
    if (at_ >= text_.size()) Fail("unexpected end");
    return text_[at_];
  }

  void Expect(char c) {
    if (Peek() != c) Fail(std::string("'") + c + "' expected");
    ++at_;
  }

  void Word(std::string_view word) {
    if (text_.substr(at_, word.size()) != word) Fail("unknown word");
    at_ += word.size();
  }

  TJsonValue Value(std::size_t depth) {
    if (depth >= kMaxJsonDepth) Fail("nested too deeply");
    TJsonValue value;
    const char c = Peek();
    if (c == '{') {
      value.kind = TJsonValue::TKind::Object;
      Members(value, depth);
    } else if (c == '[') {
      value.kind = TJsonValue::TKind::Array;
      Items(value, depth);
    } else if (c == '"') {
      value.kind = TJsonValue::TKind::String;
      value.text = String();
    } else if (c == 't' || c == 'f') {
      value.kind = TJsonValue::TKind::Bool;
      value.boolean = c == 't';
      Word(c == 't' ? "true" : "false");
    } else if (c == 'n') {
      Word("null");
    } else {
      value.kind = TJsonValue::TKind::Number;
      value.number = Number();
    }
    return value;
  }

  void Members(TJsonValue& object, std::size_t depth) {
    Expect('{');
    if (Peek() == '}') {
      ++at_;
      return;
    }
    for (;;) {
      if (Peek() != '"') Fail("a member name expected");
      std::string name = String();
      Expect(':');
      object.members.emplace_back(std::move(name), Value(depth + 1));
      if (Peek() == '}') break;
      Expect(',');
    }
    ++at_;
  }

  void Items(TJsonValue& array, std::size_t depth) {
    Expect('[');
    if (Peek() == ']') {
      ++at_;
      return;
    }
    for (;;) {
      array.items.push_back(Value(depth + 1));
      if (Peek() == ']') break;
      Expect(',');
    }
    ++at_;
  }

  unsigned Hex4() {
    if (at_ + 4 > text_.size()) Fail("a short \\u escape");
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text_.data() + at_, text_.data() + at_ + 4, value, 16);
    if (error != std::errc() || end != text_.data() + at_ + 4) Fail("a bad \\u escape");
    at_ += 4;
    return value;
  }

  static void AppendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (code >> 18));
      out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }

  unsigned Escaped() {
    unsigned code = Hex4();
    if (code >= 0xDC00 && code < 0xE000) Fail("a lone surrogate");
    if (code >= 0xD800 && code < 0xDC00) {
      if (text_.substr(at_, 2) != "\\u") Fail("a lone surrogate");
      at_ += 2;
      const unsigned low = Hex4();
      if (low < 0xDC00 || low >= 0xE000) Fail("a lone surrogate");
      code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
    }
    return code;
  }

  std::string String() {
    ++at_;  // the opening quote
    std::string out;
    for (;;) {
      if (at_ >= text_.size()) Fail("an unterminated string");
      const char c = text_[at_++];
      if (c == '"') return out;
      if (static_cast<unsigned char>(c) < 0x20) Fail("a control character in a string");
      if (c != '\\') {
        out += c;
        continue;
      }
      if (at_ >= text_.size()) Fail("an unterminated string");
      switch (const char e = text_[at_++]) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case '/': out += '/'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': AppendUtf8(out, Escaped()); break;
        default: --at_; Fail(std::string("an unknown escape \\") + e);
      }
    }
  }

  double Number() {
    // The JSON grammar: -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?
    const std::size_t start = at_;
    auto digits = [&] {
      const std::size_t from = at_;
      while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') ++at_;
      return at_ - from;
    };
    if (at_ < text_.size() && text_[at_] == '-') ++at_;
    const std::size_t whole = at_;
    if (digits() == 0 || (text_[whole] == '0' && at_ - whole > 1)) Fail("a value expected");
    if (at_ < text_.size() && text_[at_] == '.') {
      ++at_;
      if (digits() == 0) Fail("digits expected");
    }
    if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
      ++at_;
      if (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-')) ++at_;
      if (digits() == 0) Fail("digits expected");
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text_.data() + start, text_.data() + at_, value);
    if (error != std::errc() || !std::isfinite(value)) Fail("a number out of range");
    return value;
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

}  // namespace

const TJsonValue* TJsonValue::Find(std::string_view name) const {
  for (const auto& [key, value] : members)
    if (key == name) return &value;
  return nullptr;
}

TJsonValue ParseJson(std::string_view text) { return TJsonParser(text).Document(); }

std::string_view JsonKindName(TJsonValue::TKind kind) {
  switch (kind) {
    case TJsonValue::TKind::Null: return "null";
    case TJsonValue::TKind::Bool: return "a boolean";
    case TJsonValue::TKind::Number: return "a number";
    case TJsonValue::TKind::String: return "a string";
    case TJsonValue::TKind::Array: return "an array";
    case TJsonValue::TKind::Object: return "an object";
  }
  return {};
}

}  // namespace corvane
