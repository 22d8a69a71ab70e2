#include "syncprovider/find_objects.h"

namespace corvane {

TObjectList ListObjects(TCvReplFolder& folder) {
  TObjectList list;
  for (TDatabaseInfo& record : folder.Databases) {
    auto file = FindRecordFile(record.File);
    record.Changed = record.Enabled ? (file ? file->lastWriteTime : 0) != record.Modified
                                    : record.Modified == 0 && file.has_value();
  }
  for (bool changed : {false, true}) {
    for (const TDatabaseInfo& record : folder.Databases) {
      if (record.Changed == changed) list.oids.push_back(record.OID);
    }
    if (!changed) list.unchangedCount = static_cast<std::uint32_t>(list.oids.size());
  }
  list.changedCount = static_cast<std::uint32_t>(list.oids.size()) - list.unchangedCount;
  return list;
}

}  // namespace corvane
