#pragma once
// An open file with the sharing rules of the original device:
// - kRead: read only; others may read and write. Takes no lock.
// - kWrite, kCreate, kCreateExclusive: read and write; others may only read.
//   The writer lock is an open-file-description lock on the whole file, so a
//   second writer fails whether it is in another process or in this one, and
//   readers are never kept out. The lock goes when the file is closed.
// A TFile is not safe for use from several threads at once.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/file_info.h"

namespace corvane {

class TFile {
 public:
  enum class TMode {
    kRead,             // an existing file, read only
    kWrite,            // an existing file, read and write
    kCreate,           // create the file or empty an existing one (once the lock is held)
    kCreateExclusive,  // create a new file; fails when the file exists (lock files)
  };
  enum class TOrigin { kBegin, kCurrent, kEnd };

  // A closed file.
  TFile() = default;
  ~TFile();
  TFile(TFile&& other) noexcept;
  TFile& operator=(TFile&& other) noexcept;
  TFile(const TFile&) = delete;
  TFile& operator=(const TFile&) = delete;

  // Opens `path` in `mode`. New files are readable and writable by their
  // owner only. Throws TError "Cannot open file: <path>\r<reason>", the reason
  // being the system's text or "The file is in use by another writer.".
  static TFile Open(std::string path, TMode mode);

  // Creates a new empty file with a unique name "<prefix>XXXXXX.tmp" in
  // `folder` and opens it for reading and writing, with the writer lock when
  // `lock` is set. The file stays on disk when closed; the caller deletes it.
  static TFile CreateTemp(const std::string& folder, std::string_view prefix, bool lock = false);

  bool IsOpen() const { return fd_ >= 0; }
  const std::string& Path() const { return path_; }

  // Reads up to buffer.size() bytes at the current position; fewer only at the
  // end of the file. Returns the number read.
  std::size_t Read(std::span<std::uint8_t> buffer);
  // Reads exactly buffer.size() bytes or throws TError "Unexpected end of
  // file: <path>\r..." (the position is then unspecified). Callers check
  // lengths taken from a file against Remaining() before allocating for them.
  void ReadExactly(std::span<std::uint8_t> buffer);
  // Writes all bytes at the current position or throws TError.
  void Write(std::span<const std::uint8_t> data);
  void Write(std::string_view data);

  // Moves the position and returns it. A position past the end is allowed (a
  // write there extends the file); one before the start throws TError.
  std::uint64_t Seek(std::int64_t offset, TOrigin origin = TOrigin::kBegin);
  std::uint64_t Position() const;
  std::uint64_t Size() const;
  // Bytes from the position to the end: the most a reader may still expect.
  std::uint64_t Remaining() const;
  // Cuts or extends the file to `size` bytes; the position stays.
  void SetSize(std::uint64_t size);
  // Makes the written data durable (the file's buffers flushed to disk).
  void Flush();

  // Size, times, attributes and object id of the open file.
  TFileInfo Info() const;

  // Closes the file and releases its lock; throws TError when the system
  // reports a failed write-back. Closing a closed file does nothing.
  void Close();

  // The system's descriptor, for platform code that needs a call this class
  // does not offer. Stays owned by the TFile.
  int Descriptor() const { return fd_; }

 private:
  friend class TAtomicWriter;  // renames the file it wrote into place
  TFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  [[noreturn]] void Fail(std::string_view action, int error) const;

  int fd_ = -1;
  std::string path_;
};

}  // namespace corvane
