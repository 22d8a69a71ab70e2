#pragma once
// The database file: its layout, and the life cycle of an open database
// (the TPwdBase operations Open, Save, Reload, Close, LoadFromFile,
// SaveToFile, OpenForWrite, AcquireLock and ReleaseLock, declared in base.h
// and defined in dbfile.cpp).
//
// Layout (integers little-endian):
//   0   6  magic CE 85 16 AB C1 75
//   6   2  FormatVersion (230)
//   8   2  sub-version (0): FormatBuild = FormatVersion * 100 + sub-version
//   10 16  the database Guid
//   26  4  SaveCounter, counted up by every save
//   30  .. the two-part container with the database body (crypt_stream.h,
//          body_stream.h)
//   ..  .. the attachment part: attachment data, then its index (one zlib stream)
//   size-14 6  the magic again
//   size-8  4  bytes from the start of the attachment part to the trailer
//   size-4  4  bytes of the attachment index, which ends at the trailer
// Files from build 9500 up to 23000 are read; 2.20 to 2.29 have no Guid in
// the header and the save counter at offset 10, older ones no save counter.
//
// Typical use:
//   TPwdBase base;                       // a new, empty database
//   base.FileName = path;
//   base.Open(password);                 // or Open("") to list it
//   ... edit ...
//   base.Save();                         // atomic; keeps the writer lock
//   base.Close();
// A database kept for writing holds FileStream open with the writer lock, so
// a second writer opens it read-only. A database with ConcurrentWrite lets
// go of the file after each load and save and coordinates writers through
// AcquireLock / ReleaseLock and ReadSaveCounter.
//
// Opening with the wrong password throws "The password is incorrect." after
// a delay that grows with repeated attempts (wrong_password_delay.h).
// Nothing here is thread-safe: a database is used from one thread.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "engine/base.h"
#include "platform/guid.h"

namespace corvane {

// Message texts of the database file.
inline constexpr std::string_view serr_invalidsignature = "Invalid database signature.\r%s";
inline constexpr std::string_view serr_unsupportedversion = "Unsupported database version: %d.%d";
inline constexpr std::string_view ssavingdb = "Saving %s...";
inline constexpr std::string_view sfilearchiveerror = "Error while reading file archive part of the database.";
inline constexpr std::string_view serr_fileexists = "The file %s already exists.";
inline constexpr std::string_view serr_nestedtoodeep = "The database tree is nested too deeply.";

// Prefix of the temporary file a save writes beside the database.
inline constexpr std::string_view kSaveTempPrefix = "CVTF";

// What the first bytes of a database file say.
struct TDbFileHeader {
  std::uint16_t FormatVersion = 0;
  std::uint16_t FormatBuild = 0;
  TGuid Guid;                  // zero before format 2.30
  std::uint32_t SaveCounter = 0;  // 1 before format 2.20
  bool Supported() const;      // 9500 <= FormatBuild <= 23000
};

// The header of the file at `path`, read without a password and without
// holding the file. nullopt when the file cannot be read or has neither
// signature (a truncated header too).
std::optional<TDbFileHeader> ReadDbFileHeader(const std::string& path);

// A cheap look at the save counter of the file at `path`: the counter for
// files of format 2.20 and later; 0 for a shorter or older file or one
// without the magic; -1 when the file cannot be opened.
std::int32_t ReadSaveCounter(const std::string& path);

// "2.30" for 230: major, ".", two-digit minor.
std::string FormatVersionText(std::uint16_t formatVersion);

// The lock file of a concurrently written database: its name + ".lock".
std::string LockFileName(const std::string& databaseFile);

// Creates a new database file at `path` (which must not exist) with the given
// name, description, master password (not empty) and cipher ids
// (cipher_registry.h; AllAlgorithms() for a new database), and returns the
// database, open and held for writing. Throws TError; nothing is left at
// `path` when the creation fails.
std::unique_ptr<TPwdBase> CreateDatabaseFile(const std::string& path, const std::string& name,
                                             const std::string& description, const std::string& password,
                                             const std::string& algorithms);

}  // namespace corvane
