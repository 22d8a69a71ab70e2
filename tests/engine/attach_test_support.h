#pragma once
// Databases with attachments for the attachment tests: a saved database in
// a private folder, files to attach, and reopening.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/attachments_archive.h"
#include "engine/attachments_list.h"
#include "engine/cipher_registry.h"
#include "tests/engine/dbfile_test_support.h"

namespace corvane::testing {

// Content of `size` bytes that compresses poorly, so encoded sizes follow it.
inline std::string Noise(std::size_t size, unsigned seed) {
  std::string text(size, '\0');
  std::uint32_t state = seed * 2654435761u + 1;
  for (char& c : text) {
    state = state * 1103515245u + 12345u;
    c = static_cast<char>(state >> 24);
  }
  return text;
}

class TAttachTest : public ::testing::Test {
 protected:
  TAttachTest() : tempEnv_("TMPDIR", temp_.Path()) {
    base_ = std::make_unique<TPwdBase>();
    base_->Password = "secret";
    base_->Algorithms = "\x09";  // Rijndael: quick
    record_ = &AddRecord(*base_, "Mail");
  }

  std::string Path(const std::string& name) const { return folder_ / name; }

  // Writes `content` to a file `name` and attaches it to `record`.
  TPwdFileAttach& Attach(TPwdPassword& record, const std::string& name, const std::string& content) {
    WriteText(Path(name), content);
    TPwdFileAttach& attachment = *FilesOf(record).Add();
    attachment.LoadFromFile(Path(name));
    return attachment;
  }

  std::string Content(TPwdFileAttach& attachment) {
    const std::string out = Path("out-" + attachment.Guid.ToString());
    attachment.SaveToFile(out);
    return ReadText(out);
  }

  void Save() { base_->SaveToFile(Path("db.cvd")); }
  // Saves, then reads the database back into a new object.
  void Reopen() {
    Save();
    base_ = OpenFile(Path("db.cvd"), "secret");
    record_ = &RecordAt(*base_, 0);
  }
  TPwdFilesList& Files() { return FilesOf(*record_); }
  // Temporary files of attachments now in the temporary folder.
  int TempFiles() const {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(temp_.Path()))
      if (entry.path().filename().string().rfind("CVTF", 0) == 0) ++count;
    return count;
  }

  TTempFolder folder_;
  TTempFolder temp_;
  TScopedEnv tempEnv_;
  std::unique_ptr<TPwdBase> base_;
  TPwdPassword* record_ = nullptr;
};

}  // namespace corvane::testing
