#include "syncprovider/handle_notify.h"

#include "syncprovider/db_header.h"
#include "syncprovider/fixed_text.h"
#include "syncprovider/registry_values.h"

namespace corvane {

namespace {

void Report(TObjNotify& notify, std::uint32_t changed, std::uint32_t deleted) {
  notify.changedCount = changed;
  notify.deletedCount = deleted;
}

void ClearChange(TCvReplFolder& folder, const TObjNotify& notify) {
  TDatabaseInfo* record = folder.FindByOid(notify.oid);
  if (record == nullptr) return;
  auto header = ReadDbHeader(record->File);
  if (!header) return;
  auto key = folder.OpenRecordKey(*record);
  if (!key) return;
  folder.WriteModified(*key, header->lastWrite);
  record->Modified = header->lastWrite;
}

}  // namespace

bool HandleNotify(TCvReplFolder& folder, TObjNotify& notify) {
  if ((notify.flags & kNotifyClearChange) != 0) {
    ClearChange(folder, notify);
    return false;
  }
  if ((notify.flags & kNotifyFile) == 0) return false;
  notify.oidList = &notify.oid;

  if ((notify.flags & kNotifyDeleted) != 0) {
    TDatabaseInfo* record = folder.FindByOid(notify.oid);
    if (record == nullptr) return false;
    if (auto key = folder.OpenRecordKey(*record)) key->SetDWord("Enabled", 0);
    record->Enabled = false;
    Report(notify, 1, 0);
    return true;
  }

  TDatabaseInfo* record = folder.FindByFile(FixedText(notify.fileName));
  if (record == nullptr) return false;
  bool enabled = record->Enabled;
  if (auto key = folder.OpenRecordKey(*record)) {
    key->SetDWord("OID", notify.oid);
    enabled = ReadDWordOr(*key, "Enabled") != 0;
  }
  record->OID = notify.oid;

  const bool changedFlag = (notify.flags & kNotifyChanged) != 0;
  const bool timeDiffers = notify.lastChanged != record->Modified;
  if (!enabled && record->Modified != 0) {
    Report(notify, 0, changedFlag ? 0 : 1);
  } else if (changedFlag) {
    Report(notify, timeDiffers ? 1 : 0, 0);
  } else {
    Report(notify, timeDiffers ? 1 : 0, timeDiffers ? 0 : 1);
  }
  return true;
}

}  // namespace corvane
