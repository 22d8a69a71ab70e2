#pragma once
// The password generator dialog's settings, kept in the section "PwdGenerator"
// of the settings store, and the generation the dialog performs with them.
// Not thread-safe, like the store.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "app/password_generator.h"
#include "app/secret_text.h"

namespace corvane {

// The template list of a store that has never held one.
inline constexpr std::array<std::string_view, 2> kDefaultPwdTemplates = {"\"PW\"Aa$C9", "AA9$$"};
// The Length box takes this many characters at most.
inline constexpr std::size_t kPwdLengthMaxChars = 3;

// What the dialog's controls hold; the defaults are those of a fresh store.
struct TGeneratorSettings {
  std::string length = "8";  // the Length box's text, as typed
  bool lowerCase = true;
  bool upperCase = true;
  bool digits = true;
  bool special = false;
  std::string customChars;
  std::string excludeChars;
  std::vector<std::string> templates{kDefaultPwdTemplates.begin(), kDefaultPwdTemplates.end()};  // latest first
  std::string templateText;  // the template box's text, as typed

  // The class flags of the four check boxes.
  TPasswordClasses Classes() const;
  // The Length text as a decimal integer; 0 when it is not one.
  int LengthValue() const;
  // Whether Generate is enabled: a length above 0.
  bool CanGenerate() const { return LengthValue() > 0; }
};

// The stored settings; every value missing in the store (or the whole store,
// when it cannot be read) is its default. The template list has the entries
// "Template0" up to "TemplatesCount" - 1, ending early at the first entry that
// is not stored, or the two default templates when no count is stored. A
// Length text longer than its box is cut to the box's size.
TGeneratorSettings LoadGeneratorSettings();

// Writes the settings when the dialog goes away. The template in use (the
// template text without surrounding blanks and control characters, or the
// first list entry when that is empty) becomes "Template0", followed by the
// other list entries in their order; "TemplatesCount" is the number of entries
// written and "Template" the template text as typed. Skipped without a message
// when the store cannot be opened for writing; throws TError when a value
// cannot be stored.
void SaveGeneratorSettings(const TGeneratorSettings& settings);

// Generate as the dialog performs it: the settings' length, classes, custom
// and excluded characters and template text. Throws TError as
// GeneratePassword does.
TSecretText GeneratePassword(const TGeneratorSettings& settings, TRandomSource& random = PasswordRandom());

}  // namespace corvane
