#pragma once
// The replication handler the service holds for the "CorvaneDatabase" type.
// An exchange runs Setup, then packets, then Reset: a read sends the settings
// record of one database; a write receives a database file (type-1 packets) or
// a settings record (one type-2 packet).

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/atomic_writer.h"
#include "syncprovider/info_record.h"
#include "syncprovider/packets.h"
#include "syncprovider/provider.h"
#include "syncprovider/repl_folder.h"

namespace corvane {

// Stores setups and moves packets; what a received object means is left to the
// derived handler. Created with one reference; the last Release deletes it.
class TCvCustomReplObjHandler : public IReplObjHandler {
 public:
  explicit TCvCustomReplObjHandler(std::shared_ptr<TCvReplFolder> folder) : Folder(std::move(folder)) {}
  virtual ~TCvCustomReplObjHandler() = default;
  TCvCustomReplObjHandler(const TCvCustomReplObjHandler&) = delete;
  TCvCustomReplObjHandler& operator=(const TCvCustomReplObjHandler&) = delete;

  std::uint32_t AddRef() override;
  std::uint32_t Release() override;

  TSyncStatus GetPacket(const std::uint8_t** data, std::uint32_t* size, std::uint32_t recommendedSize) override;
  TSyncStatus SetPacket(const std::uint8_t* data, std::uint32_t size) override;
  TSyncStatus Setup(TReplSetup* setup) override;
  TSyncStatus Reset() override;
  TSyncStatus DeleteObj(TReplSetup* setup) override;

  // Where the file being received belongs.
  virtual std::string TargetFileName() { return TargetFile; }
  // Stores a settings record from the desktop; false when it cannot.
  virtual bool ApplyInfoRecord(const TInfoRecord& record);
  // Stores the received file, now complete; false when it is refused. The
  // received bytes sit beside TargetFile and replace nothing until placed here.
  virtual bool FinishWrite();

 protected:
  std::shared_ptr<TCvReplFolder> Folder;
  std::vector<std::uint8_t> Packet;      // the outgoing packet, valid until the next call
  std::unique_ptr<TAtomicWriter> WriteFile;   // the file being received, until placed
  TReplSetup* ReadSetup = nullptr;       // the service's, alive until Reset
  TReplSetup* WriteSetup = nullptr;
  std::optional<TInfoRecord> InfoRecord;
  std::string TargetFile;

 private:
  TSyncStatus StartFile(const std::uint8_t* data, std::uint32_t size);
  std::atomic<std::uint32_t> references_{1};
};

// Finds the records that exchanges name and keeps the registry in step.
class TCvReplObjHandler : public TCvCustomReplObjHandler {
 public:
  using TCvCustomReplObjHandler::TCvCustomReplObjHandler;

  TSyncStatus Setup(TReplSetup* setup) override;
  bool ApplyInfoRecord(const TInfoRecord& record) override;
  bool FinishWrite() override;

 private:
  // Puts the received bytes in place of the registered file of the database,
  // which may sit in another folder than the one they arrived in.
  void ReplaceWithReceived(const std::string& registered);
};

}  // namespace corvane
