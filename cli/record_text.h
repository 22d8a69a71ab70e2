#pragma once
// What the command line shows of a record's fields. Passwords are masked
// unless asked for, and asking needs the right to view passwords.

#include <string>

namespace corvane {

class TPwdField;
class TPwdPassword;

// The text of `field` for the record its structure is bound to, in UTF-8.
// A password field shows "******" (empty when it holds nothing) unless
// `showPassword`; the caller has checked the right for that (RequirePasswordView).
// Other fields follow the viewing rules of the engine.
std::string FieldTextUtf8(const TPwdField& field, bool showPassword);

// Throws "Access denied." unless the current user may view the passwords of `record`.
void RequirePasswordView(const TPwdPassword& record);

}  // namespace corvane
