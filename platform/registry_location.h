#pragma once
// Where each registry hive's file lives, and creating that file.

#include <string>

#include "platform/registry.h"

namespace corvane {

// The hive's file: CORVANE_USER_REGISTRY / CORVANE_MACHINE_REGISTRY when set and
// not empty, else $XDG_CONFIG_HOME/corvane/registry.sqlite (an unset, empty or
// relative XDG_CONFIG_HOME means ~/.config) or /etc/corvane/registry.sqlite.
// Throws TError for an unknown hive or when no home folder can be found.
std::string HiveFile(THive hive);

// The hive's conventional name, as shown in listings ("HKEY_CURRENT_USER").
const char* HiveName(THive hive);

// Creates the hive's file, empty, with its missing folders. The user's hive is
// private to the user (folders 0700, file 0600); the machine's is readable by
// everyone (0755, 0644), since every user reads its policies. Throws TError.
void CreateHiveFile(THive hive, const std::string& file);

}  // namespace corvane
