#pragma once
// Random passwords made from character classes, extra characters typed by the
// user, a list of excluded characters and an optional positional template.
//
// The template walks the password from its first position: "A" draws an
// upper-case letter, "a" a lower-case letter, "9" a digit, "$" a special
// symbol and "C" one of the custom characters; text between double quotes is
// copied as it stands. A position beyond the template, or one whose class has
// no characters left, draws from the pool (the checked classes and the custom
// characters together). A character drawn from a set of 3 or more never
// follows itself, unless the set holds nothing else.
//
// All texts are 8-bit, in the code page the caller uses for the database.

#include <cstdint>
#include <string_view>

#include "app/secret_text.h"

namespace corvane {

// The generator's failure texts; the first takes the whole template.
constexpr std::string_view serr_invalidpwdtemplate = "Invalid password template: %s";
constexpr std::string_view serr_cannotgeneratepwd = "Cannot generate password using specified parameters.";

// The class flags, combined with "|", that choose the sets of the pool.
using TPasswordClasses = std::uint32_t;
constexpr TPasswordClasses kPwdUpperCase = 1;
constexpr TPasswordClasses kPwdLowerCase = 2;
constexpr TPasswordClasses kPwdDigits = 4;
constexpr TPasswordClasses kPwdSpecial = 8;

// The special symbols, in the order in which they form their set.
constexpr std::string_view kPwdSpecialChars = "~!@$%^&*()-+|=/:;[]<>,.";

// A source of independent, uniformly distributed 32-bit words.
class TRandomSource {
 public:
  virtual ~TRandomSource() = default;
  // Throws TError when no random word can be had.
  virtual std::uint32_t Next32() = 0;
};

// The process's source for passwords: the kernel's cryptographically secure
// generator. Safe to use from several threads.
TRandomSource& PasswordRandom();

// Returns exactly `length` characters (none when `length` <= 0), drawn with
// `random`. Each character of `excludeChars` removes its first remaining
// occurrence from each of the class sets and from the custom characters;
// duplicates left in the custom characters are drawn more often. Throws TError
// with serr_invalidpwdtemplate when a position reaches a template character
// outside quotes that is not a placeholder (characters past the last position
// used are never looked at), and with serr_cannotgeneratepwd when a position
// finds both its set and the pool empty.
TSecretText GeneratePassword(int length, TPasswordClasses classes, std::string_view customChars,
                             std::string_view excludeChars, std::string_view pwdTemplate,
                             TRandomSource& random = PasswordRandom());

}  // namespace corvane
