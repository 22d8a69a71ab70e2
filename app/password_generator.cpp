#include "app/password_generator.h"

#include <sys/random.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <string>

#include "engine/messages.h"
#include "engine/secure_buffer.h"
#include "platform/error.h"

namespace corvane {

namespace {

// Reads each word straight from the kernel, so that there is no generator
// state in this process to predict or to leak.
class TKernelRandom : public TRandomSource {
 public:
  std::uint32_t Next32() override {
    std::uint32_t word = 0;
    auto* bytes = reinterpret_cast<char*>(&word);
    std::size_t filled = 0;
    while (filled < sizeof word) {
      const ssize_t n = getrandom(bytes + filled, sizeof word - filled, 0);
      if (n < 0) {
        if (errno == EINTR) continue;
        throw TError(std::string("Cannot read the random source: ") + std::strerror(errno));
      }
      filled += static_cast<std::size_t>(n);
    }
    return word;
  }
};

enum TSetIndex { kUpperSet, kLowerSet, kDigitSet, kSpecialSet, kCustomSet, kSetCount };
using TCharSets = std::array<std::string, kSetCount>;

TCharSets FilteredSets(std::string_view customChars, std::string_view excludeChars) {
  TCharSets sets{"ABCDEFGHIJKLMNOPQRSTUVWXYZ", "abcdefghijklmnopqrstuvwxyz", "0123456789",
                 std::string(kPwdSpecialChars), std::string(customChars)};
  for (const char excluded : excludeChars) {
    for (std::string& set : sets) {
      const std::size_t at = set.find(excluded);
      if (at != std::string::npos) set.erase(at, 1);
    }
  }
  return sets;
}

std::string Pool(const TCharSets& sets, TPasswordClasses classes) {
  std::string pool;
  if (classes & kPwdUpperCase) pool += sets[kUpperSet];
  if (classes & kPwdLowerCase) pool += sets[kLowerSet];
  if (classes & kPwdDigits) pool += sets[kDigitSet];
  if (classes & kPwdSpecial) pool += sets[kSpecialSet];
  return pool + sets[kCustomSet];
}

TSetIndex SetOfPlaceholder(char placeholder, std::string_view pwdTemplate) {
  switch (placeholder) {
    case 'A': return kUpperSet;
    case 'a': return kLowerSet;
    case '9': return kDigitSet;
    case '$': return kSpecialSet;
    case 'C': return kCustomSet;
    default: throw TError(FormatMessage(serr_invalidpwdtemplate, pwdTemplate));
  }
}

// An index in 0..size-1: a 63-bit word (the first draw is the low half, the
// second without its top bit the high half) modulo the size. The bias of the
// modulo is below size / 2^63, far too small to matter.
std::size_t DrawIndex(std::size_t size, TRandomSource& random) {
  const std::uint64_t low = random.Next32();
  const std::uint64_t high = random.Next32() & 0x7FFFFFFFu;
  return static_cast<std::size_t>(((high << 32) | low) % size);
}

// A character of `set`. In a set of 3 or more characters the previous one is
// drawn again, unless the set holds nothing else (which would never end).
char Draw(const std::string& set, const std::string& sofar, TRandomSource& random) {
  const bool avoidRepeat =
      !sofar.empty() && set.size() >= 3 && set.find_first_not_of(sofar.back()) != std::string::npos;
  char drawn;
  do {
    drawn = set[DrawIndex(set.size(), random)];
  } while (avoidRepeat && drawn == sofar.back());
  return drawn;
}

struct TWipeOnExit {
  std::string& text;
  ~TWipeOnExit() { WipeString(text); }
};

}  // namespace

TRandomSource& PasswordRandom() {
  static TKernelRandom random;
  return random;
}

TSecretText GeneratePassword(int length, TPasswordClasses classes, std::string_view customChars,
                             std::string_view excludeChars, std::string_view pwdTemplate, TRandomSource& random) {
  if (length <= 0) return TSecretText();
  const TCharSets sets = FilteredSets(customChars, excludeChars);
  const std::string pool = Pool(sets, classes);

  // Reserved once, so that no reallocation leaves generated characters
  // behind, and wiped on the way out, also when a failure unwinds.
  std::string out;
  out.reserve(static_cast<std::size_t>(length));
  const TWipeOnExit wipe{out};
  std::size_t cursor = 0;
  bool quoted = false;
  for (int position = 0; position < length; ++position) {
    while (cursor < pwdTemplate.size() && pwdTemplate[cursor] == '"') {
      quoted = !quoted;
      ++cursor;
    }
    const std::string* set = &pool;
    if (cursor < pwdTemplate.size()) {
      const char templateChar = pwdTemplate[cursor++];
      if (quoted) {
        out.push_back(templateChar);
        continue;
      }
      const std::string& chosen = sets[SetOfPlaceholder(templateChar, pwdTemplate)];
      if (!chosen.empty()) set = &chosen;
    }
    if (set->empty()) throw TError(std::string(serr_cannotgeneratepwd));
    out.push_back(Draw(*set, out, random));
  }
  return TSecretText(out);
}

}  // namespace corvane
