#pragma once
// A small streaming JSON writer for the --json output: objects, arrays,
// strings, numbers and booleans, indented by two spaces. Strings are UTF-8;
// engine texts are converted by the caller (AnsiToUtf8) before they come here.

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

class TJsonWriter {
 public:
  explicit TJsonWriter(std::ostream& out) : out_(out) {}
  // Ends the output with a line break once the outermost value is complete.
  ~TJsonWriter();
  TJsonWriter(const TJsonWriter&) = delete;
  TJsonWriter& operator=(const TJsonWriter&) = delete;

  void BeginObject();
  void EndObject();
  void BeginArray();
  void EndArray();
  // The name of the next member of the current object.
  TJsonWriter& Key(std::string_view name);
  void String(std::string_view utf8);
  void Number(std::int64_t value);
  void Number(double value);
  void Bool(bool value);
  void Null();

  // Key and value at once.
  void Member(std::string_view name, std::string_view utf8) { Key(name).String(utf8); }
  void Member(std::string_view name, const char* utf8) { Key(name).String(utf8); }
  void Member(std::string_view name, std::int64_t value) { Key(name).Number(value); }
  void Member(std::string_view name, int value) { Key(name).Number(std::int64_t{value}); }
  void Member(std::string_view name, std::uint32_t value) { Key(name).Number(std::int64_t{value}); }
  void Member(std::string_view name, double value) { Key(name).Number(value); }
  void Member(std::string_view name, bool value) { Key(name).Bool(value); }

 private:
  void BeforeValue();
  void Close(char bracket);
  void NewLine();

  std::ostream& out_;
  std::vector<bool> hasItems_;  // one per open object or array
  bool afterKey_ = false;
  bool done_ = false;
};

// `text` as a JSON string literal, quotes included.
std::string JsonQuoted(std::string_view utf8);

}  // namespace corvane
