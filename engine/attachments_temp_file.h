#pragma once
// TPwdTempFile: a temporary file holding an attachment's data block until
// the database is saved. Copies of an attachment within one database share
// it through std::shared_ptr (its use count is the reference count); the
// file is deleted when the last user lets go.

#include <memory>
#include <string>

#include "engine/attachments_block.h"
#include "engine/secure_buffer.h"

namespace corvane {

// Prefix of attachment temporary files.
inline constexpr std::string_view kAttachmentTempPrefix = "CVTF";

class TPwdTempFile {
 public:
  // A new empty file "CVTF....tmp" in the temporary folder (folders.h),
  // whose block will be encoded with `key`. Throws TError.
  static std::shared_ptr<TPwdTempFile> Create(const TBlockKey& key);
  // The same for a small block, which is kept in memory with its plain
  // content (Content, Block) instead of on disk.
  static std::shared_ptr<TPwdTempFile> CreateInMemory(const TBlockKey& key);
  // Deletes the file; a failure is ignored (nothing can be done about it).
  ~TPwdTempFile();
  TPwdTempFile(const TPwdTempFile&) = delete;
  TPwdTempFile& operator=(const TPwdTempFile&) = delete;

  // The file; empty for a block in memory.
  const std::string& Path() const { return path_; }
  // The key of the block inside.
  const TBlockKey& Key() const { return key_; }
  // The block, from the file or from memory.
  std::unique_ptr<TStream> OpenBlock() const;
  std::uint64_t BlockSize() const;

  // A block in memory: the encoded block and the plain content, so that
  // packing it into a unit needs no decoding. Wiped when freed.
  TMemoryStream Block;
  TSecureBytes Content;
  bool InMemory() const { return path_.empty(); }

 private:
  TPwdTempFile(std::string path, const TBlockKey& key) : path_(std::move(path)), key_(key) {}
  std::string path_;
  TBlockKey key_;
};

using TTempFilePtr = std::shared_ptr<TPwdTempFile>;

}  // namespace corvane
