#pragma once
// The text of an ini file: "[Section]" lines, each followed by "key=value"
// lines. Section and key names compare without regard to ASCII case; the first
// section of a name counts. Names and values are trimmed of spaces and tabs; a
// value that must keep such spaces (or looks quoted) is written in double
// quotes, which a read removes. Comments, blank lines and lines of other forms
// are kept as they are when the text is changed.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

class TIniDocument {
 public:
  TIniDocument() = default;
  // Accepts "\n" and "\r\n" line ends and a leading UTF-8 byte order mark.
  static TIniDocument Parse(std::string_view text);
  // The text with "\n" line ends (and the byte order mark if one was read).
  std::string Text() const;

  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  // Replaces the value of the key, or adds the key at the end of its section
  // (adding the section at the end of the text). Throws TError when a line
  // break in the value, or a character in the names, would make the line read
  // back differently.
  void Set(std::string_view section, std::string_view key, std::string_view value);
  // False when the key is absent.
  bool Erase(std::string_view section, std::string_view key);

 private:
  struct TPlace {
    std::optional<std::size_t> sectionLine;  // the "[Section]" line
    std::size_t endLine = 0;                 // one past the section's last line with content
    std::optional<std::size_t> keyLine;
  };
  TPlace Find(std::string_view section, std::string_view key) const;

  std::vector<std::string> lines_;
  bool byteOrderMark_ = false;
};

}  // namespace corvane
