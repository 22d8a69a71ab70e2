#include "app/rename_folder.h"

#include "engine/folder.h"
#include "platform/error.h"

namespace corvane {

void RenameFolder(TPwdFolder& folder, const std::string& name) {
  if (!folder.ParentFolder()) throw TError(std::string(srename_rootfolder));
  if (name.empty()) throw TError(std::string(srename_emptyname));
  folder.Edit();
  try {
    folder.SetName(name);
    folder.Post();
  } catch (...) {
    folder.Cancel();
    throw;
  }
}

}  // namespace corvane
