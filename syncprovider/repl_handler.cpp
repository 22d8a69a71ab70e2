#include "syncprovider/repl_handler.h"

#include <algorithm>
#include <vector>

#include "platform/error.h"
#include "platform/file_system.h"
#include "syncprovider/db_header.h"
#include "syncprovider/new_db_path.h"
#include "syncprovider/program_start.h"
#include "syncprovider/registry_values.h"

namespace corvane {

namespace {

// The service calls the handler directly, so no exception may leave it.
template <typename TBody>
TSyncStatus Guarded(TBody body) noexcept {
  try {
    return body();
  } catch (...) {
    return kSyncUnexpected;
  }
}

}  // namespace

std::uint32_t TCvCustomReplObjHandler::AddRef() { return ++references_; }

std::uint32_t TCvCustomReplObjHandler::Release() {
  std::uint32_t left = --references_;
  if (left == 0) delete this;
  return left;
}

TSyncStatus TCvCustomReplObjHandler::GetPacket(const std::uint8_t** data, std::uint32_t* size, std::uint32_t) {
  return Guarded([&] {
    if (data == nullptr || size == nullptr) return kSyncInvalidArgument;
    *data = nullptr;
    *size = 0;
    if (!InfoRecord) return kSyncAbort;
    // The only object sent is the settings record, so the buffer has its size
    // whatever size the service suggests: never too small, never the service's
    // choice of allocation.
    Packet.resize(kSettingsPacketSize);
    Packet[0] = kPacketSettingsRecord;
    TInfoRecordBytes record = InfoRecord->Encode();
    std::copy(record.begin(), record.end(), Packet.begin() + 1);
    *data = Packet.data();
    *size = kSettingsPacketSize;
    return kSyncLastPacket;
  });
}

TSyncStatus TCvCustomReplObjHandler::SetPacket(const std::uint8_t* data, std::uint32_t size) {
  return Guarded([&] {
    if (data == nullptr) return kSyncInvalidArgument;
    if (WriteFile) {
      try {
        WriteFile->File().Write(std::span(data, size));
        return kSyncOk;
      } catch (const TError&) {
        WriteFile.reset();
        return kSyncObjectRejected;
      }
    }
    if (size == 0) return kSyncInvalidArgument;
    switch (data[0]) {
      case kPacketDatabaseFile:
        return StartFile(data + 1, size - 1);
      case kPacketSettingsRecord: {
        auto record = TInfoRecord::Decode(std::span(data + 1, size - 1));
        if (!record) return kSyncInvalidArgument;
        return ApplyInfoRecord(*record) ? kSyncOk : kSyncUnexpected;
      }
      default:
        return kSyncObjectRejected;
    }
  });
}

TSyncStatus TCvCustomReplObjHandler::StartFile(const std::uint8_t* data, std::uint32_t size) {
  // The program refreshes the records while the file arrives; nothing waits for it.
  StartProgram({kActiveSyncSwitch}, false, 0);
  std::string target = TargetFileName();
  if (target.empty()) return kSyncObjectRejected;
  try {
    WriteFile = std::make_unique<TAtomicWriter>(target, true);
    WriteFile->File().Write(std::span(data, size));
    return kSyncOk;
  } catch (const TError&) {
    WriteFile.reset();
    return kSyncObjectRejected;
  }
}

TSyncStatus TCvCustomReplObjHandler::Setup(TReplSetup* setup) {
  return Guarded([&] {
    if (setup == nullptr) return kSyncInvalidArgument;
    if (setup->read != 0) {
      ReadSetup = setup;
    } else {
      WriteSetup = setup;
      WriteFile.reset();
    }
    return kSyncOk;
  });
}

TSyncStatus TCvCustomReplObjHandler::Reset() {
  return Guarded([&] {
    TSyncStatus status = kSyncOk;
    if (WriteFile) {
      if (!FinishWrite()) status = kSyncUnexpected;
      WriteFile.reset();
    }
    InfoRecord.reset();
    Packet = {};
    return status;
  });
}

TSyncStatus TCvCustomReplObjHandler::DeleteObj(TReplSetup* setup) {
  // Objects deleted on the desktop stay on the device.
  return setup == nullptr ? kSyncInvalidArgument : kSyncOk;
}

bool TCvCustomReplObjHandler::ApplyInfoRecord(const TInfoRecord&) { return true; }

bool TCvCustomReplObjHandler::FinishWrite() {
  try {
    WriteFile->Commit();
    return true;
  } catch (const TError&) {
    return false;
  }
}

TSyncStatus TCvReplObjHandler::Setup(TReplSetup* setup) {
  TSyncStatus status = TCvCustomReplObjHandler::Setup(setup);
  if (status != kSyncOk) return status;
  return Guarded([&] {
    if (setup->read != 0) {
      InfoRecord.reset();
      const TDatabaseInfo* record = Folder->FindByOid(setup->oid);
      if (record == nullptr) return kSyncInvalidArgument;
      InfoRecord = TInfoRecord{record->Key, record->Name, record->Enabled};
      return kSyncOk;
    }
    TargetFile.clear();
    if ((setup->flags & kSetupNewObject) != 0) {
      TargetFile = NewDbFilePath();
      return kSyncOk;
    }
    const TDatabaseInfo* record = Folder->FindByOid(setup->oidNew);
    if (record == nullptr) return kSyncInvalidArgument;
    TargetFile = FindRecordFile(record->File) ? record->File : NewDbFilePath();
    return kSyncOk;
  });
}

bool TCvReplObjHandler::ApplyInfoRecord(const TInfoRecord& record) {
  // The record belongs to the object being written; without one it has no place.
  if (WriteSetup == nullptr) return false;
  try {
    TRegKey key = TRegKey::Create(THive::CurrentUser, RecordKeyPath(record.key));
    key.SetDWord("Enabled", record.enabled ? 1 : 0);
    if (FindRecordFile(ReadStringOr(key, "File"))) {
      WriteSetup->oidNew = ReadDWordOr(key, "OID");
    } else {
      key.SetDWord("OID", WriteSetup->oid);
      WriteSetup->oidNew = WriteSetup->oid;
    }
  } catch (const TError&) {
    Folder->Reload();
    return false;
  }
  Folder->Reload();
  return true;
}

bool TCvReplObjHandler::FinishWrite() {
  auto header = ReadDbHeader(WriteFile->File().Path());
  // A database without an identifier could not be told from others like it.
  if (!header || header->id.IsNull()) {
    WriteFile.reset();
    Folder->Reload();
    return false;
  }
  try {
    // The record is created only once the file is in place, so that a file that
    // cannot be placed leaves the registry as it was.
    const std::string keyPath = RecordKeyPath(header->id.ToString());
    std::optional<TRegKey> existing = TRegKey::Open(THive::CurrentUser, keyPath);
    const std::string registered = existing ? ReadStringOr(*existing, "File") : std::string();
    const bool keepsTarget =
        registered.empty() || SameFileName(registered, TargetFile) || !FindRecordFile(registered);
    // A database the device knows keeps its registered name.
    const std::string destination = keepsTarget ? TargetFile : registered;
    if (keepsTarget) {
      WriteFile->Commit();
    } else {
      ReplaceWithReceived(registered);
    }
    WriteFile.reset();
    TRegKey key = existing ? std::move(*existing) : TRegKey::Create(THive::CurrentUser, keyPath);
    if (keepsTarget) key.SetString("File", destination);
    TFileInfo info = GetFileInfo(destination);
    key.SetDWord("OID", info.objectId);
    if (WriteSetup != nullptr) WriteSetup->oidNew = info.objectId;
    Folder->WriteModified(key, info.lastWriteTime);
    key.SetDWord("Enabled", 1);
  } catch (const TError&) {
    WriteFile.reset();
    Folder->Reload();
    return false;
  }
  Folder->Reload();
  return true;
}

void TCvReplObjHandler::ReplaceWithReceived(const std::string& registered) {
  TAtomicWriter replacement(registered, true);
  TFile& received = WriteFile->File();
  received.Seek(0);
  std::vector<std::uint8_t> buffer(64 * 1024);
  while (std::size_t got = received.Read(buffer)) replacement.File().Write(std::span(buffer).first(got));
  replacement.Commit();
}

}  // namespace corvane
