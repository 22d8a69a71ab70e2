#pragma once
// The provider behind the six entry points: it holds the folder instance from
// InitObjType until the service unloads it, and the object list it last handed
// out. Used from the service's one thread; no call lets an exception out.

#include <cstdint>
#include <memory>
#include <vector>

#include "syncprovider/provider.h"
#include "syncprovider/repl_folder.h"

namespace corvane {

class TSyncProvider {
 public:
  // objType null: drops the folder instance. Otherwise hands the program the
  // databases (waiting for its acknowledgement), loads the records for
  // `partner` and returns a new handler with one reference.
  bool InitObjType(const char* objType, IReplObjHandler** handler, std::uint32_t partner) noexcept;
  bool ObjectNotify(TObjNotify* notify) noexcept;
  // Also forgets the file of every record whose file has gone.
  bool GetObjTypeInfo(TObjTypeInfo* info) noexcept;
  bool ReportStatus() noexcept { return true; }
  // Applies a settings record from the desktop. Enabling a database forgets
  // when it was last synchronised, so that both partners take it again.
  TSyncStatus SyncData(TSyncDataRequest* request) noexcept;
  TSyncStatus FindObjects(TFindObjects* find) noexcept;

  // The folder instance, or null outside InitObjType and its unloading.
  TCvReplFolder* Folder() const { return folder_.get(); }

 private:
  std::shared_ptr<TCvReplFolder> folder_;
  std::vector<std::uint32_t> objectList_;   // handed out by FindObjects
};

// The one provider of the loaded library.
TSyncProvider& Provider();

}  // namespace corvane
