// Stand-in definitions of the rights, change-log and undo operations that
// the tree calls, until the users and log units define them: every right is
// granted, nothing is logged and no snapshot is kept. Each definition leaves
// this file when its real one lands.

#include "engine/base.h"

namespace corvane {

bool TPwdBase::HasRights(const TPwdItem*, std::string_view, bool) const { return true; }
void TPwdBase::RequireRights(const TPwdItem*, std::string_view) const {}
std::string TPwdBase::EffectiveRights(const TPwdItem*) const { return {}; }

void TPwdBase::LogChange(TPwdItem& item, TChangeKind, std::int32_t, std::string_view,
                         std::string_view, const TGuid&) {
  if (item.OperationStamp.IsNull()) item.OperationStamp = TGuid::Create();
}

void TPwdBase::AddSnapshot(TSnapshotKind, TPwdItem&, const TGuid&) {}
void TPwdBase::StampLastSnapshot(const TGuid&) {}
void TPwdBase::DropLastSnapshot() {}
void TPwdBase::RevertLastSnapshot(TPwdItem&) {}
void TPwdBase::CreateUsersAndLog() {}
void TPwdBase::CreateDefaultUser() {}

bool TPwdItem::InheritsPermissions() const { return Permissions == nullptr; }
void TPwdItem::SetInheritRights(bool) {}

// Nothing creates these objects while the stand-ins are in place.
void TEngineDeleter::operator()(TPwdPermissionsList*) const noexcept {}
void TEngineDeleter::operator()(TPwdBaseUsersList*) const noexcept {}
void TEngineDeleter::operator()(TPwdBaseChangesLog*) const noexcept {}
void TEngineDeleter::operator()(TPwdUndoList*) const noexcept {}

}  // namespace corvane
