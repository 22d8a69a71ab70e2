#pragma once
// Owning pointers to the objects of the users, permissions, change-log and
// undo units. Those types are declared in their own headers; the tree only
// needs to hold and free them, so each overload below is defined beside the
// type it frees.

#include <memory>

namespace corvane {

class TPwdPermissionsList;
class TPwdBaseUsersList;
class TPwdBaseChangesLog;
class TPwdUndoList;

struct TEngineDeleter {
  void operator()(TPwdPermissionsList* list) const noexcept;
  void operator()(TPwdBaseUsersList* list) const noexcept;
  void operator()(TPwdBaseChangesLog* log) const noexcept;
  void operator()(TPwdUndoList* list) const noexcept;
};

using TPermissionsPtr = std::unique_ptr<TPwdPermissionsList, TEngineDeleter>;
using TUsersListPtr = std::unique_ptr<TPwdBaseUsersList, TEngineDeleter>;
using TChangesLogPtr = std::unique_ptr<TPwdBaseChangesLog, TEngineDeleter>;
using TUndoListPtr = std::unique_ptr<TPwdUndoList, TEngineDeleter>;

}  // namespace corvane
