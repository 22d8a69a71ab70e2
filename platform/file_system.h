#pragma once
// Operations on files by name: existence, information, times, attributes,
// delete, rename, copy and temporary file names. All throw TError
// "<what failed>: <path>\r<reason>" unless they say otherwise; the reason is
// the system's text or "The file is in use by another writer.".

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_info.h"

namespace corvane {

// True when something exists at `path` (symbolic links followed).
bool FileExists(const std::string& path);

// Information on the file at `path` (symbolic links followed).
TFileInfo GetFileInfo(const std::string& path);
// The same, or nullopt when the file cannot be found or read.
std::optional<TFileInfo> FindFile(const std::string& path);

// Sets the last-write time, in the file-time form or as a local date serial.
// (Linux keeps a file's creation time itself; it cannot be set.)
void SetLastWriteTime(const std::string& path, std::uint64_t fileTime);
void SetLastWriteDate(const std::string& path, double date);

// Read-only takes every write permission away; clearing it gives the owner
// write permission back. SetAttributes applies the read-only bit of an
// attribute word and ignores the bits that mean nothing here.
void SetReadOnly(const std::string& path, bool readOnly);
void SetAttributes(const std::string& path, std::uint32_t attributes);

// Deletes a file (a symbolic link itself, not what it names). A file that a
// writer holds open is refused, as the original device refuses to delete an
// open file.
void DeleteFile(const std::string& path);

// Renames a file; fails when a file named `to` exists.
void RenameFile(const std::string& from, const std::string& to);

// Copies a file's content, permission bits and last-write time to `to`,
// replacing it atomically (see TAtomicWriter); with `failIfExists` an existing
// `to` is an error instead. A `to` held by a writer is refused.
void CopyFile(const std::string& from, const std::string& to, bool failIfExists = false);

// Creates a new empty file "<prefix>XXXXXX.tmp" with a unique name in `folder`
// and returns its full name. The caller deletes it.
std::string TempFileName(const std::string& folder, std::string_view prefix);

}  // namespace corvane
