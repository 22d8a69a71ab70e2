#include "engine/attachments_temp_file.h"

#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/folders.h"

namespace corvane {

std::shared_ptr<TPwdTempFile> TPwdTempFile::Create(const TBlockKey& key) {
  std::string path = TempFileName(TempFolder(), kAttachmentTempPrefix);
  try {
    return std::shared_ptr<TPwdTempFile>(new TPwdTempFile(path, key));
  } catch (...) {
    try {
      DeleteFile(path);
    } catch (const TError&) {
    }
    throw;
  }
}

TPwdTempFile::~TPwdTempFile() {
  try {
    DeleteFile(path_);
  } catch (const TError&) {
  }
}

}  // namespace corvane
