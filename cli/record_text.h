#pragma once
// What the command line shows of a record's fields. Passwords are masked
// unless asked for, and asking needs the right to view passwords.

#include <ostream>
#include <string>
#include <string_view>

namespace corvane {

class TPwdField;
class TPwdPassword;

// The text of `field` for the record its structure is bound to, in UTF-8.
// A password field shows "******" (empty when it holds nothing) unless
// `showPassword`; the caller has checked the right for that (RequirePasswordView).
// Other fields follow the viewing rules of the engine.
std::string FieldTextUtf8(const TPwdField& field, bool showPassword);

// Prints a field's text and a line end; the continuation lines of a
// multi-line value are indented by `indent` spaces, under the first line.
void PrintFieldValue(std::ostream& out, std::string_view text, std::size_t indent);

// Throws "Access denied." unless the current user may view the passwords of `record`.
void RequirePasswordView(const TPwdPassword& record);

}  // namespace corvane
