#include "syncprovider/host/commands.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "platform/error.h"
#include "platform/named_event.h"
#include "syncprovider/fixed_text.h"
#include "syncprovider/host/provider_library.h"
#include "syncprovider/info_record.h"
#include "syncprovider/packets.h"
#include "syncprovider/program_start.h"

namespace corvane {

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr std::size_t kFilePacketSize = 4096;

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", value);
  return text;
}

std::string Status(TSyncStatus status) { return Hex(static_cast<std::uint32_t>(status)); }

std::uint32_t Number(const std::string& text) { return static_cast<std::uint32_t>(std::stoul(text, nullptr, 0)); }

// The service's side of one session: the object type initialised, the handler
// held, both given back at the end.
class TSession {
 public:
  explicit TSession(const THostOptions& options) : library_(options.libraryPath) {
    if (!library_.InitObjType(kObjTypeName, &handler_, options.partner) || handler_ == nullptr) {
      throw TError("The provider did not start: the program did not acknowledge the hand-off.");
    }
  }
  ~TSession() {
    handler_->Release();
    library_.InitObjType(nullptr, nullptr, 0);
  }
  TProviderLibrary& Library() { return library_; }
  IReplObjHandler& Handler() { return *handler_; }

 private:
  TProviderLibrary library_;
  IReplObjHandler* handler_ = nullptr;
};

int Info(const THostOptions& options, std::ostream& out) {
  TProviderLibrary library(options.libraryPath);
  TObjTypeInfo info{};
  info.structSize = sizeof info;
  SetFixedText(info.objType, kObjTypeName);
  if (!library.GetObjTypeInfo(&info)) return kExitFailed;
  out << "name: " << FixedText(info.displayName) << "\nobjects: " << info.objectCount << "\nsize: " << info.totalSize
      << "\n";
  return 0;
}

int List(const THostOptions& options, std::ostream& out) {
  TSession session(options);
  TFindObjects find{};
  find.structSize = sizeof find;
  TSyncStatus status = session.Library().FindObjects(&find);
  out << "status: " << Status(status) << "\nunchanged:";
  for (std::uint32_t i = 0; i < find.unchangedCount; ++i) out << " " << find.oidList[i];
  out << "\nchanged:";
  for (std::uint32_t i = 0; i < find.changedCount; ++i) out << " " << find.oidList[find.unchangedCount + i];
  out << "\n";
  find.flags = kFindEndOfVolume;
  session.Library().FindObjects(&find);
  return status == kSyncOk ? 0 : kExitFailed;
}

int Get(const THostOptions& options, std::uint32_t oid, std::ostream& out) {
  TSession session(options);
  TReplSetup setup{sizeof(TReplSetup), 1, 0, oid, 0};
  TSyncStatus status = session.Handler().Setup(&setup);
  out << "setup: " << Status(status) << "\n";
  if (status != kSyncOk) return kExitFailed;
  const std::uint8_t* data = nullptr;
  std::uint32_t size = 0;
  status = session.Handler().GetPacket(&data, &size, kFilePacketSize);
  out << "packet: " << Status(status) << "\n";
  if (status == kSyncLastPacket && size == kSettingsPacketSize && data[0] == kPacketSettingsRecord) {
    // The key sent is not necessarily one this side would accept back, so the
    // fields are read as they are.
    std::string key(reinterpret_cast<const char*>(data + 1), 39);
    std::string name(reinterpret_cast<const char*>(data + 40), 101);
    out << "key: " << key.c_str() << "\nname: " << name.c_str() << "\nenabled: " << (data[141] & 1) << "\n";
  }
  session.Handler().Reset();
  return status == kSyncLastPacket ? 0 : kExitFailed;
}

// Runs one write exchange with the given packets and reports every status.
int Put(const THostOptions& options, TReplSetup setup, const std::vector<std::vector<std::uint8_t>>& packets,
        std::ostream& out) {
  TSession session(options);
  TSyncStatus status = session.Handler().Setup(&setup);
  out << "setup: " << Status(status) << "\n";
  bool ok = status == kSyncOk;
  for (const auto& packet : packets) {
    if (!ok) break;
    status = session.Handler().SetPacket(packet.data(), static_cast<std::uint32_t>(packet.size()));
    ok = status == kSyncOk;
  }
  if (!packets.empty()) out << "packet: " << Status(status) << "\n";
  TSyncStatus reset = session.Handler().Reset();
  out << "reset: " << Status(reset) << "\noid: " << setup.oidNew << "\n";
  return ok && reset == kSyncOk ? 0 : kExitFailed;
}

std::vector<std::vector<std::uint8_t>> FilePackets(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw TError("Cannot open file: " + path);
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::vector<std::uint8_t>> packets{{kPacketDatabaseFile}};
  for (std::uint8_t b : bytes) {
    if (packets.back().size() == kFilePacketSize) packets.emplace_back();
    packets.back().push_back(b);
  }
  return packets;
}

std::vector<std::uint8_t> RecordPacket(const std::string& key, const std::string& name, bool enabled) {
  // Built by hand rather than with TInfoRecord, so that any key can be tried.
  std::vector<std::uint8_t> packet(kSettingsPacketSize, 0);
  packet[0] = kPacketSettingsRecord;
  std::copy_n(key.begin(), std::min<std::size_t>(key.size(), 38), packet.begin() + 1);
  std::copy_n(name.begin(), std::min<std::size_t>(name.size(), 100), packet.begin() + 40);
  packet[141] = enabled ? 1 : 0;
  return packet;
}

int SyncDataCommand(const THostOptions& options, const std::string& key, bool enabled, std::ostream& out) {
  TProviderLibrary library(options.libraryPath);
  std::vector<std::uint8_t> packet = RecordPacket(key, "", enabled);
  TSyncDataRequest request{};
  request.structSize = sizeof request;
  SetFixedText(request.objType, kObjTypeName);
  request.code = kSyncDataSettingsRecord;
  request.setData = 1;
  request.data = packet.data() + 1;
  request.dataSize = kInfoRecordSize;
  TSyncStatus status = library.SyncData(&request);
  out << "status: " << Status(status) << "\n";
  return status == kSyncOk ? 0 : kExitFailed;
}

int Notify(const THostOptions& options, const std::vector<std::string>& args, std::ostream& out) {
  TSession session(options);
  TObjNotify notify{};
  notify.structSize = sizeof notify;
  notify.flags = Number(args[0]);
  notify.oid = Number(args[1]);
  SetFixedText(notify.objType, kObjTypeName);
  SetFixedText(notify.fileName, args[2]);
  if (args.size() > 3) notify.lastChanged = std::stoull(args[3], nullptr, 0);
  bool result = session.Library().ObjectNotify(&notify);
  out << "result: " << (result ? "true" : "false") << "\nchanged: " << notify.changedCount
      << "\ndeleted: " << notify.deletedCount << "\n";
  return 0;
}

int Acknowledge(bool refuse) {
  // The program's order: the error event, then the acknowledgement.
  if (!refuse) TNamedEvent::CreateOrOpen(kActiveSyncErrorEvent).Set();
  TNamedEvent::CreateOrOpen(kActiveSyncEvent).Set();
  return 0;
}

}  // namespace

int RunHostCommand(const std::string& command, const std::vector<std::string>& args, const THostOptions& options,
                   std::ostream& out) {
  const std::size_t n = args.size();
  if (command == "info" && n == 0) return Info(options, out);
  if (command == "list" && n == 0) return List(options, out);
  if (command == "get" && n == 1) return Get(options, Number(args[0]), out);
  if (command == "put-file" && (n == 1 || n == 2)) {
    TReplSetup setup{sizeof(TReplSetup), 0, n == 1 ? kSetupNewObject : 0, 0, n == 2 ? Number(args[1]) : 0};
    return Put(options, setup, FilePackets(args[0]), out);
  }
  if (command == "put-record" && (n == 3 || n == 4)) {
    TReplSetup setup{sizeof(TReplSetup), 0, 0, Number(args[2]), 0};
    return Put(options, setup, {RecordPacket(args[0], n == 4 ? args[3] : "", args[1] == "1")}, out);
  }
  if (command == "sync-data" && n == 2) return SyncDataCommand(options, args[0], args[1] == "1", out);
  if (command == "notify" && (n == 3 || n == 4)) return Notify(options, args, out);
  if (command == "acknowledge" && n <= 1) {
    if (n == 1 && args[0] != "--refuse") return kExitUsage;
    return Acknowledge(n == 1);
  }
  return kExitUsage;
}

}  // namespace corvane
