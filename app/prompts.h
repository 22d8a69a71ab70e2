#pragma once
// The password and logon prompts, asked through the process's front end. Both
// refuse an empty password with "You cannot use empty password." and ask again,
// so an empty password never reaches the database. The callers count the
// attempts and try the answers.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/front_end.h"

namespace corvane {

// Asks for the master password of the database `databaseName`. A non-empty
// `message` is shown first, on its own line. When the main window is not on the
// screen the caption says that Corvane asks. nullopt when the person cancels.
std::optional<TSecretText> PromptPassword(std::string_view databaseName, std::string_view message = {});

// Asks for a user name and password. `userNames` are listed in their order;
// `nameEditable` allows other names to be typed. `rememberedName` is the name of
// the user who logged on last (nullopt when names are not remembered): it is
// preselected when listed; otherwise the first name is, except that an
// editable box keeps a non-empty remembered name. nullopt when the person
// cancels.
std::optional<TLogonAnswer> PromptLogon(const std::vector<std::string>& userNames, bool nameEditable,
                                        const std::optional<std::string>& rememberedName);

}  // namespace corvane
