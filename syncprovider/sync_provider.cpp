#include "syncprovider/sync_provider.h"

#include <cstring>

#include "platform/error.h"
#include "syncprovider/find_objects.h"
#include "syncprovider/fixed_text.h"
#include "syncprovider/handle_notify.h"
#include "syncprovider/info_record.h"
#include "syncprovider/program_start.h"
#include "syncprovider/repl_handler.h"

namespace corvane {

namespace {

constexpr char kDisplayName[] = "Corvane database";

template <std::size_t N>
bool IsOurType(const char (&field)[N]) {
  return FixedText(field) == kObjTypeName;
}

}  // namespace

TSyncProvider& Provider() {
  static TSyncProvider provider;
  return provider;
}

bool TSyncProvider::InitObjType(const char* objType, IReplObjHandler** handler, std::uint32_t partner) noexcept {
  try {
    if (objType == nullptr) {
      folder_.reset();
      objectList_ = {};
      return true;
    }
    if (handler == nullptr) return false;
    *handler = nullptr;
    if (std::strcmp(objType, kObjTypeName) != 0) return false;
    if (!StartProgram({kActiveSyncSwitch}, true, kAcknowledgeTimeoutMs)) return false;
    folder_ = std::make_shared<TCvReplFolder>(partner);
    *handler = new TCvReplObjHandler(folder_);
    return true;
  } catch (...) {
    return false;
  }
}

bool TSyncProvider::ObjectNotify(TObjNotify* notify) noexcept {
  try {
    // The size comes first: a structure of another layout is not read at all.
    if (notify == nullptr || notify->structSize != sizeof(TObjNotify)) return false;
    if (!IsOurType(notify->objType) || !folder_) return false;
    return HandleNotify(*folder_, *notify);
  } catch (...) {
    return false;
  }
}

bool TSyncProvider::GetObjTypeInfo(TObjTypeInfo* info) noexcept {
  try {
    if (info == nullptr || !IsOurType(info->objType)) return false;
    SetFixedText(info->displayName, kDisplayName);
    info->objectCount = 0;
    info->totalSize = 0;
    auto root = TRegKey::Open(THive::CurrentUser, kActiveSyncKey);
    for (const TDatabaseInfo& record : ReadDatabaseRecords(folder_ ? folder_->PartnerBit : 1)) {
      if (auto file = FindRecordFile(record.File)) {
        info->totalSize += file->size;
      } else if (!record.File.empty() && root) {
        if (auto key = root->OpenSubKey(record.Key)) key->DeleteValue("File");
      }
      ++info->objectCount;
    }
    return true;
  } catch (...) {
    return false;
  }
}

TSyncStatus TSyncProvider::SyncData(TSyncDataRequest* request) noexcept {
  try {
    if (request == nullptr || !IsOurType(request->objType)) return kSyncInvalidArgument;
    if (request->setData == 0 || request->code != kSyncDataSettingsRecord) return kSyncOk;
    if (request->data == nullptr) return kSyncInvalidArgument;
    auto record = TInfoRecord::Decode(std::span(request->data, request->dataSize));
    if (!record) return kSyncInvalidArgument;
    TRegKey key = TRegKey::Create(THive::CurrentUser, RecordKeyPath(record->key));
    key.SetDWord("Enabled", record->enabled ? 1 : 0);
    if (record->enabled) {
      key.DeleteValue(ModifiedValueName(1));
      key.DeleteValue(ModifiedValueName(2));
    }
    if (folder_) folder_->Reload();
    return kSyncOk;
  } catch (...) {
    return kSyncUnexpected;
  }
}

TSyncStatus TSyncProvider::FindObjects(TFindObjects* find) noexcept {
  try {
    if (find == nullptr) return kSyncInvalidArgument;
    if ((find->flags & kFindEndOfVolume) != 0) {
      objectList_ = {};
      return kSyncOk;
    }
    if (!folder_) return kSyncInvalidArgument;
    TObjectList list = ListObjects(*folder_);
    objectList_ = std::move(list.oids);
    find->oidList = objectList_.empty() ? nullptr : objectList_.data();
    find->unchangedCount = list.unchangedCount;
    find->changedCount = list.changedCount;
    return kSyncOk;
  } catch (...) {
    return kSyncUnexpected;
  }
}

}  // namespace corvane
