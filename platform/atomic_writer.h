#pragma once
// Replacing a file so that a crash at any moment leaves either the old or the
// new content, never a torn file: the new content is written into a temporary
// file beside the target, flushed, given the target's mode and renamed over it;
// then the folder is flushed.
//
//   TAtomicWriter writer(path, /*lock=*/true);
//   writer.File().Write(bytes);
//   TFile held = writer.Commit(&oldFile);   // the new file, writer lock held
//
// Without Commit the target is left as it was and the temporary file deleted.

#include <cstdint>
#include <string>

#include "platform/file.h"

namespace corvane {

class TAtomicWriter {
 public:
  // Prepares to replace `target`. A symbolic link at `target` is followed: the
  // file it names is replaced and the link stays. The new file gets the
  // target's mode and group, or mode 0600 when there is no target yet; with
  // `lock` it holds the writer lock from the start. Throws TError when the
  // temporary file cannot be created in the target's folder.
  explicit TAtomicWriter(const std::string& target, bool lock = false);
  // Deletes the temporary file unless Commit succeeded. Never throws.
  ~TAtomicWriter();
  TAtomicWriter(const TAtomicWriter&) = delete;
  TAtomicWriter& operator=(const TAtomicWriter&) = delete;

  // The new file, open for reading and writing.
  TFile& File() { return file_; }
  // The file that Commit replaces (symbolic links resolved).
  const std::string& Target() const { return target_; }
  // Gives the new file these permission bits instead of the target's.
  void SetMode(std::uint32_t mode);

  // Flushes the new file and puts it in the target's place. `heldTarget` is the
  // caller's own open of the target, if any: it is closed once the new file is
  // in place. Without it, a target held by a writer is refused, as one held
  // elsewhere would be ("Cannot replace file: ...\rThe file is in use by
  // another writer."). Returns the new file, still open (and locked when asked),
  // now named by the target. Throws TError on failure; the target is then
  // unchanged (a failure to flush the folder is reported after the rename).
  TFile Commit(TFile* heldTarget = nullptr);

 private:
  std::string target_;
  std::string temp_;
  TFile file_;
  bool committed_ = false;
};

}  // namespace corvane
