#pragma once
// The list of all objects for the service, split into unchanged and changed ones.

#include <cstdint>
#include <vector>

#include "syncprovider/repl_folder.h"

namespace corvane {

struct TObjectList {
  std::vector<std::uint32_t> oids;   // unchanged objects first, then changed ones
  std::uint32_t unchangedCount = 0;
  std::uint32_t changedCount = 0;
};

// An enabled database changed when its file's time differs from the one last
// synchronised; a disabled one only when it was never synchronised and its file
// exists, so that the desktop learns of it once.
TObjectList ListObjects(TCvReplFolder& folder);

}  // namespace corvane
