// generate: random passwords, with the options given or the generator's stored settings.

#include <charconv>
#include <string>

#include "app/generator_settings.h"
#include "app/password_generator.h"
#include "cli/command.h"
#include "cli/context.h"
#include "engine/messages.h"
#include "platform/codepage.h"

namespace corvane {

namespace {

constexpr int kMaxPasswordLength = 999;
constexpr int kMaxPasswordCount = 1000;
constexpr std::string_view scli_badlength = "The password length must be a number from 1 to %d: %s";
constexpr std::string_view scli_badcount = "The password count must be a number from 1 to %d: %s";

// `text` as a whole number from 1 to `maximum`; 0 when it is not one.
int BoundedNumber(const std::string& text, int maximum) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 1 || value > maximum) return 0;
  return value;
}

// The stored settings, with every option given taking the place of its setting.
// Any class option replaces the stored classes as a whole.
TGeneratorSettings SettingsFor(const TArguments& args) {
  TGeneratorSettings settings = LoadGeneratorSettings();
  if (args.Has("--upper") || args.Has("--lower") || args.Has("--digits") || args.Has("--special")) {
    settings.upperCase = args.Has("--upper");
    settings.lowerCase = args.Has("--lower");
    settings.digits = args.Has("--digits");
    settings.special = args.Has("--special");
  }
  // The generator works in the database code page; the command line is UTF-8.
  if (args.Has("--custom")) settings.customChars = Utf8ToAnsi(args.Value("--custom"));
  if (args.Has("--exclude")) settings.excludeChars = Utf8ToAnsi(args.Value("--exclude"));
  if (args.Has("--template")) settings.templateText = Utf8ToAnsi(args.Value("--template"));
  if (args.Has("--length")) settings.length = args.Value("--length");
  return settings;
}

int RunGenerate(TCliContext& context, const TArguments& args) {
  const TGeneratorSettings settings = SettingsFor(args);
  // The generator makes whatever length it is given; a typing slip must not
  // become a request for gigabytes.
  if (BoundedNumber(settings.length, kMaxPasswordLength) == 0)
    throw TUsageError(FormatMessage(scli_badlength, kMaxPasswordLength, settings.length), "generate");
  int count = 1;
  if (args.Has("--count")) {
    count = BoundedNumber(args.Value("--count"), kMaxPasswordCount);
    if (count == 0) throw TUsageError(FormatMessage(scli_badcount, kMaxPasswordCount, args.Value("--count")), "generate");
  }
  for (int i = 0; i < count; ++i) {
    const TSecretText password = GeneratePassword(settings);
    const TSecretText shown(AnsiToUtf8(password.Text()));
    context.Out() << shown.Text() << '\n';
  }
  return 0;
}

}  // namespace

extern const TCommand kGenerateCommand = {
    {
        .name = "generate",
        .summary = "Print random passwords.",
        .arguments = {},
        .options = {{"--length", "N", "the number of characters, from 1 to 999"},
                    {"--upper", "", "draw upper-case letters"},
                    {"--lower", "", "draw lower-case letters"},
                    {"--digits", "", "draw digits"},
                    {"--special", "", "draw special symbols"},
                    {"--custom", "CHARS", "draw these characters too"},
                    {"--exclude", "CHARS", "never draw these characters"},
                    {"--template", "T", "a template for the first positions"},
                    {"--count", "N", "print N passwords, one per line (1 to 1000)"}},
        .description = "Each password is drawn from the kernel's secure random source. Without --upper, "
                       "--lower, --digits and --special the classes of the program's password generator are "
                       "used, as it last stored them; so are its length, extra and excluded characters and "
                       "template when their options are not given.\n\nIn a template \"A\" stands for an "
                       "upper-case letter, \"a\" for a lower-case letter, \"9\" for a digit, \"$\" for a "
                       "special symbol and \"C\" for one of the --custom characters; text in double quotes "
                       "is copied as it stands. Positions after the template draw from all chosen classes.",
        .example = "corvane-cli generate --length 20 --upper --lower --digits --count 3",
    },
    &RunGenerate,
};

}  // namespace corvane
