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

std::shared_ptr<TPwdTempFile> TPwdTempFile::CreateInMemory(const TBlockKey& key) {
  return std::shared_ptr<TPwdTempFile>(new TPwdTempFile({}, key));
}

std::unique_ptr<TStream> TPwdTempFile::OpenBlock() const {
  if (InMemory()) return std::make_unique<TMemoryStream>(Block.Data());
  TFile file = TFile::Open(path_, TFile::TMode::kRead);
  const std::uint64_t size = file.Size();
  return std::make_unique<TFileRangeStream>(std::move(file), 0, size);
}

std::uint64_t TPwdTempFile::BlockSize() const {
  return InMemory() ? Block.Size() : TFile::Open(path_, TFile::TMode::kRead).Size();
}

TPwdTempFile::~TPwdTempFile() {
  if (InMemory()) return;
  try {
    DeleteFile(path_);
  } catch (const TError&) {
  }
}

}  // namespace corvane
