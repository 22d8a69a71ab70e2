#include "engine/attachments_check.h"

#include <array>

#include "engine/attachments_list.h"
#include "engine/base.h"
#include "engine/secure_buffer.h"
#include "platform/error.h"

namespace corvane {
namespace {

// Reads all `size` bytes of `stream`, reporting each piece.
void ReadThrough(TStream& stream, std::uint64_t size, TProgressReporter& progress) {
  std::array<std::uint8_t, 65536> buffer;
  while (size > 0) {
    const auto part = static_cast<std::size_t>(std::min<std::uint64_t>(size, buffer.size()));
    stream.ReadBuffer({buffer.data(), part});
    size -= part;
    progress.Advance(part);
  }
  WipeBytes(buffer);
}

}  // namespace

std::vector<std::string> CheckAttachments(TPwdBase& base) {
  std::vector<TPwdPassword*> records;
  std::uint64_t total = 0;
  for (TPwdItem* item : base.AllRecords.Items()) {
    auto* record = static_cast<TPwdPassword*>(item);
    if (!record->Files || record->Files->Count() == 0) continue;
    records.push_back(record);
    for (int i = 0; i < record->Files->Count(); ++i) total += static_cast<std::uint64_t>((*record->Files)[i]->Size);
  }
  std::vector<std::string> removed;
  base.Progress.Begin(static_cast<std::uint32_t>((total + 1023) / 1024), std::string(scheckingfiles));
  try {
    for (TPwdPassword* record : records) {
      TPwdFilesList& files = *record->Files;
      for (int i = 0; i < files.Count();) {
        TPwdFileAttach& attachment = *files[i];
        try {
          std::unique_ptr<TStream> data = attachment.OpenData();
          ReadThrough(*data, static_cast<std::uint64_t>(attachment.Size), base.Progress);
          ++i;
        } catch (const TError& error) {
          if (std::string_view(error.what()) == scanceled) throw;
          std::string name = attachment.FileName;
          files.Delete(i);  // the next attachment takes its place
          removed.push_back(std::move(name));
        }
      }
    }
  } catch (const TError& error) {
    if (std::string_view(error.what()) != scanceled) {
      base.Progress.End();
      throw;
    }
  }
  base.Progress.End();
  return removed;
}

}  // namespace corvane
