#pragma once
// A small JSON reader for input that commands take (the fields-edit
// description): the whole text is parsed into a tree of values. Bounded: the
// caller caps the text's size, and nesting deeper than kMaxJsonDepth is refused.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace corvane {

inline constexpr std::size_t kMaxJsonDepth = 64;

struct TJsonValue {
  enum class TKind { Null, Bool, Number, String, Array, Object };
  TKind kind = TKind::Null;
  bool boolean = false;
  double number = 0;
  std::string text;  // String: UTF-8, escapes resolved
  std::vector<TJsonValue> items;
  std::vector<std::pair<std::string, TJsonValue>> members;  // Object: in the order given

  // The member `name` of an object; nullptr when absent.
  const TJsonValue* Find(std::string_view name) const;
};

// Parses `text`, which must hold exactly one JSON value (spaces around it
// allowed). Throws TError "The JSON input is not valid: <what> (line L, column C)."
TJsonValue ParseJson(std::string_view text);

// "an object", "a string", ...: for messages about a value of the wrong kind.
std::string_view JsonKindName(TJsonValue::TKind kind);

}  // namespace corvane
