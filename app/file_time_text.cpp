#include "app/file_time_text.h"

#include <optional>

#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/locale.h"

namespace corvane {

std::string FileTimeText(const std::string& path) {
  const std::optional<TFileInfo> info = FindFile(path);
  if (!info) return {};
  try {
    return FormatDateTime(info->LastWriteDate());
  } catch (const TError&) {
    return {};  // a time outside the years a date can show
  }
}

}  // namespace corvane
