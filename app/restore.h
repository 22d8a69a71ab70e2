#pragma once
// Restoring a database from a backup: the chosen copy replaces a known
// database of the same name, or becomes a new database file.

#include <optional>
#include <string>
#include <string_view>


namespace corvane {

inline constexpr std::string_view srestorechoosetitle = "Choose file to restore from";
inline constexpr std::string_view srestoresamename =
    "You are about to restore database '%s' from backup.\rBut database with the same name is exists.";
inline constexpr std::string_view srestorenolocation = "Cannot restore database. No valid locations are found.";
inline constexpr std::string_view srestoredone = "%s was successfully restored from backup.";

// Asks for the backup file (starting in the backup folder), and when a known
// database has the same name, whether to restore over it or as a new
// database. Copies the backup into place: over the existing file (whose
// database is closed first, with the save question when it is modified; a
// read-only file stays read-only), or under a new name in the first folder
// that can take it. Then rescans the folders and reports the restore. Runs as
// a modal phase. Returns the restored file's name; nullopt when the person
// cancelled or no folder could take the file (which was reported). Throws
// TError for a file that is not a database and for a failed copy, leaving the
// databases as they were (but a database restored over stays closed).
std::optional<std::string> RestoreCommand();

}  // namespace corvane
