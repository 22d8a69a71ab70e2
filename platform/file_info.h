#pragma once
// What Corvane knows about a file on disk: name, size, times, attribute word
// and object id, as folder scans, attachments and synchronisation records use them.

#include <cstdint>
#include <string>

#include "platform/file_time.h"

namespace corvane {

// The attribute word. Linux has only one of these to keep: read-only, which
// stands for "the owner may not write" (see SetReadOnly). Every regular file
// carries the archive bit, as files do on the original device.
inline constexpr std::uint32_t kAttributeReadOnly = 0x01;
inline constexpr std::uint32_t kAttributeDirectory = 0x10;
inline constexpr std::uint32_t kAttributeArchive = 0x20;

struct TFileInfo {
  std::string name;  // the file name without its folder
  std::uint64_t size = 0;
  // Times in the file-time form. A file system that keeps no birth time gives
  // the last-write time as the creation time.
  std::uint64_t creationTime = 0;
  std::uint64_t lastWriteTime = 0;
  std::uint32_t attributes = 0;
  // The inode number, cut to 32 bits: stable while the file exists, changed
  // when the file is replaced.
  std::uint32_t objectId = 0;

  double LastWriteDate() const { return DateFromFileTime(lastWriteTime); }
  bool IsDirectory() const { return (attributes & kAttributeDirectory) != 0; }
  bool IsReadOnly() const { return (attributes & kAttributeReadOnly) != 0; }
};

}  // namespace corvane
