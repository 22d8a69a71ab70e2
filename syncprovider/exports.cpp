// The entry points the synchronisation service looks up by name: the only
// symbols the library exports.

#include "syncprovider/provider.h"
#include "syncprovider/sync_provider.h"

#define CORVANESYNC_EXPORT __attribute__((visibility("default")))

extern "C" {

CORVANESYNC_EXPORT bool InitObjType(const char* objType, corvane::IReplObjHandler** handler, std::uint32_t partner) {
  return corvane::Provider().InitObjType(objType, handler, partner);
}

CORVANESYNC_EXPORT bool ObjectNotify(corvane::TObjNotify* notify) { return corvane::Provider().ObjectNotify(notify); }

CORVANESYNC_EXPORT bool GetObjTypeInfo(corvane::TObjTypeInfo* info) { return corvane::Provider().GetObjTypeInfo(info); }

CORVANESYNC_EXPORT bool ReportStatus(const char*, std::uint32_t, std::uint32_t) {
  return corvane::Provider().ReportStatus();
}

CORVANESYNC_EXPORT corvane::TSyncStatus SyncData(corvane::TSyncDataRequest* request) {
  return corvane::Provider().SyncData(request);
}

CORVANESYNC_EXPORT corvane::TSyncStatus FindObjects(corvane::TFindObjects* find) {
  return corvane::Provider().FindObjects(find);
}

}  // extern "C"
