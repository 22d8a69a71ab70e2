#pragma once
// The provider interface through which the desktop-synchronisation service drives
// the "CorvaneDatabase" object type: six entry points with C linkage, the
// replication handler the service holds, the structures they pass and the status
// codes they return. The service owns every structure it passes in; the library
// owns what it hands back (object lists, packets) until the service's next call
// says it is done with them. All calls come from the service's one thread.

#include <cstddef>
#include <cstdint>

namespace corvane {

// Status codes of the handler and of SyncData/FindObjects (negative = failure).
using TSyncStatus = std::int32_t;
inline constexpr TSyncStatus kSyncOk = 0;
inline constexpr TSyncStatus kSyncLastPacket = 0x00140001;                                      // a packet, the object's last
inline constexpr TSyncStatus kSyncAbort = static_cast<TSyncStatus>(0x80004004u);               // nothing to send
inline constexpr TSyncStatus kSyncUnexpected = static_cast<TSyncStatus>(0x8000FFFFu);          // an object could not be stored
inline constexpr TSyncStatus kSyncInvalidArgument = static_cast<TSyncStatus>(0x80070057u);
inline constexpr TSyncStatus kSyncObjectRejected = static_cast<TSyncStatus>(0x80140100u);      // packet cannot be taken

// The one object type this provider serves.
inline constexpr char kObjTypeName[] = "CorvaneDatabase";
inline constexpr std::size_t kObjTypeNameSize = 100;   // bytes of a type-name field, with its zero

// Notification flags.
inline constexpr std::uint32_t kNotifyFile = 0x01;
inline constexpr std::uint32_t kNotifyChanged = 0x10;
inline constexpr std::uint32_t kNotifyDeleted = 0x20;
inline constexpr std::uint32_t kNotifyClearChange = 0x40;

// FindObjects flag: the service is done with the list handed out before.
inline constexpr std::uint32_t kFindEndOfVolume = 0x02;

// Setup flag: the object being written is new to the device.
inline constexpr std::uint32_t kSetupNewObject = 0x02;

// SyncData code: the data is a settings record.
inline constexpr std::uint32_t kSyncDataSettingsRecord = 1;

// Filled by GetObjTypeInfo.
struct TObjTypeInfo {
  std::uint32_t structSize;           // sizeof(TObjTypeInfo)
  char objType[kObjTypeNameSize];     // in: the type asked about
  char displayName[80];               // out
  std::uint32_t objectCount;          // out: registry records
  std::uint64_t totalSize;            // out: bytes of the records' files that exist
};

// A change the service saw in the file system. Its size is fixed at 780 bytes so
// that a caller built against another layout is refused instead of misread.
#pragma pack(push, 4)
struct TObjNotify {
  std::uint32_t structSize;           // must be 780
  std::uint32_t flags;                // kNotify*
  std::uint32_t* oidList;             // out: points at `oid` when objects are reported
  std::uint32_t changedCount;         // out: changed objects in oidList
  std::uint32_t deletedCount;         // out: deleted objects following them
  std::uint64_t lastChanged;          // the file's last-change time (file-time units)
  std::uint32_t oid;                  // the file's object identifier
  char objType[kObjTypeNameSize];
  char fileName[644];                 // full path, zero-terminated
};
#pragma pack(pop)
static_assert(sizeof(TObjNotify) == 780);
static_assert(offsetof(TObjNotify, oidList) == 8 && offsetof(TObjNotify, lastChanged) == 24 &&
              offsetof(TObjNotify, fileName) == 136);

// FindObjects: the identifiers of all objects, unchanged ones first.
struct TFindObjects {
  std::uint32_t structSize;
  std::uint32_t flags;                // kFindEndOfVolume
  std::uint32_t* oidList;             // out: owned by the library until the end-of-volume call
  std::uint32_t unchangedCount;       // out
  std::uint32_t changedCount;         // out
};

// SyncData: data the desktop hands to the provider outside an object exchange.
struct TSyncDataRequest {
  std::uint32_t structSize;
  char objType[kObjTypeNameSize];
  std::uint32_t code;                 // kSyncDataSettingsRecord
  std::uint32_t setData;              // non-zero: the request carries data for the device
  const std::uint8_t* data;
  std::uint32_t dataSize;
};

// One object exchange, read (device to desktop) or write (desktop to device).
// The service keeps it alive from Setup to Reset; the handler writes oidNew.
struct TReplSetup {
  std::uint32_t structSize;
  std::uint32_t read;                 // non-zero: the service reads an object
  std::uint32_t flags;                // kSetupNewObject
  std::uint32_t oid;                  // the object read, or the one the desktop sends
  std::uint32_t oidNew;               // in/out: the device object a written one becomes
};

// The replication handler the service obtains from InitObjType. Reference counted:
// InitObjType hands it out with one reference, and the last Release frees it.
class IReplObjHandler {
 public:
  virtual std::uint32_t AddRef() = 0;
  virtual std::uint32_t Release() = 0;
  // Out: the next packet of the object being read; the buffer stays the
  // handler's and is valid until the next call. recommendedSize is the
  // service's preferred packet size, a hint only.
  virtual TSyncStatus GetPacket(const std::uint8_t** data, std::uint32_t* size, std::uint32_t recommendedSize) = 0;
  // The next packet of the object being written.
  virtual TSyncStatus SetPacket(const std::uint8_t* data, std::uint32_t size) = 0;
  virtual TSyncStatus Setup(TReplSetup* setup) = 0;
  // Ends the current exchange and stores what was received.
  virtual TSyncStatus Reset() = 0;
  virtual TSyncStatus DeleteObj(TReplSetup* setup) = 0;

 protected:
  ~IReplObjHandler() = default;
};

}  // namespace corvane

// The six entry points the service looks up by name. None lets an exception out.
extern "C" {
// objType null: the service unloads the provider. Otherwise starts the program for
// the hand-off and returns the handler; false when the type is not ours or the
// program did not acknowledge.
bool InitObjType(const char* objType, corvane::IReplObjHandler** handler, std::uint32_t partner);
bool ObjectNotify(corvane::TObjNotify* notify);
bool GetObjTypeInfo(corvane::TObjTypeInfo* info);
bool ReportStatus(const char* objType, std::uint32_t code, std::uint32_t param);
corvane::TSyncStatus SyncData(corvane::TSyncDataRequest* request);
corvane::TSyncStatus FindObjects(corvane::TFindObjects* find);
}

// Function types for looking the entry points up with dlsym.
using TInitObjTypeFn = decltype(&InitObjType);
using TObjectNotifyFn = decltype(&ObjectNotify);
using TGetObjTypeInfoFn = decltype(&GetObjTypeInfo);
using TReportStatusFn = decltype(&ReportStatus);
using TSyncDataFn = decltype(&SyncData);
using TFindObjectsFn = decltype(&FindObjects);
