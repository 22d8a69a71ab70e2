#include "cli/record_text.h"

#include "engine/fields.h"
#include "engine/messages.h"
#include "engine/password.h"
#include "engine/secure_buffer.h"
#include "platform/codepage.h"

namespace corvane {

std::string FieldTextUtf8(const TPwdField& field, bool showPassword) {
  if (field.Kind != kKindPassword) return AnsiToUtf8(field.AsString());
  std::string stored = field.RevealedText();
  const bool empty = stored.empty();
  std::string text = showPassword ? AnsiToUtf8(stored) : empty ? std::string() : std::string(spwdhiddenvalue);
  WipeString(stored);
  return text;
}

void RequirePasswordView(const TPwdPassword& record) { record.RequireRights("V"); }

}  // namespace corvane
