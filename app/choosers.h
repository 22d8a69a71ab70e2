#pragma once
// The file and folder choosers and the restore question, asked through the
// process's front end with the arrow cursor. nullopt (or Cancel) when the
// person cancels.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/front_end.h"

namespace corvane {

// A filter text of name and pattern pairs separated by "|":
// "Backup files (*.cvb)|*.cvb|All files (*.*)|*.*". A name without a pattern
// at the end is dropped.
std::vector<TFileFilter> ParseFileFilter(std::string_view filter);

std::optional<std::string> AskFileToOpen(std::string_view title, std::string_view filter,
                                         std::string_view startFolder);
// `fileName` is proposed; `defaultExtension` (without dot) is added to a name
// typed without one.
std::optional<std::string> AskFileToSave(std::string_view title, std::string_view filter,
                                         std::string_view startFolder, std::string_view fileName,
                                         std::string_view defaultExtension);
std::optional<std::string> AskFolder(std::string_view title, std::string_view startFolder);

// How to restore a backup over a database of the same name; the dates are
// shown as given.
TRestoreChoice AskRestore(std::string_view message, std::string_view backupModified,
                          std::string_view existingModified);

}  // namespace corvane
