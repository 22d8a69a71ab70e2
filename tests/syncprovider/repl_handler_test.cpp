#include <gtest/gtest.h>

#include "platform/file.h"
#include "platform/file_system.h"
#include "syncprovider/repl_handler.h"
#include "tests/syncprovider/sync_test_support.h"

namespace corvane {

using namespace sync_testing;

namespace {

TReplSetup WriteSetup(std::uint32_t flags, std::uint32_t oid, std::uint32_t oidNew) {
  return TReplSetup{sizeof(TReplSetup), 0, flags, oid, oidNew};
}

std::vector<std::uint8_t> RecordPacket(const std::string& key, bool enabled) {
  std::vector<std::uint8_t> packet(kSettingsPacketSize, 0);
  packet[0] = kPacketSettingsRecord;
  std::copy(key.begin(), key.end(), packet.begin() + 1);
  packet[141] = enabled ? 1 : 0;
  return packet;
}

struct TRelease {
  void operator()(IReplObjHandler* handler) const { handler->Release(); }
};
using THandlerPtr = std::unique_ptr<TCvReplObjHandler, TRelease>;

// A handler over the records as they are now.
THandlerPtr NewHandler() { return THandlerPtr(new TCvReplObjHandler(std::make_shared<TCvReplFolder>(1))); }

// One write exchange: Setup, the file in packets of `packetSize`, Reset.
TSyncStatus Receive(IReplObjHandler& handler, TReplSetup& setup, const std::string& file, std::size_t packetSize = 7) {
  EXPECT_EQ(handler.Setup(&setup), kSyncOk);
  std::vector<std::uint8_t> packet{kPacketDatabaseFile};
  std::size_t pos = std::min(file.size(), packetSize - 1);
  packet.insert(packet.end(), file.begin(), file.begin() + static_cast<std::ptrdiff_t>(pos));
  EXPECT_EQ(handler.SetPacket(packet.data(), static_cast<std::uint32_t>(packet.size())), kSyncOk);
  for (; pos < file.size(); pos += packetSize) {
    std::string chunk = file.substr(pos, packetSize);
    EXPECT_EQ(handler.SetPacket(reinterpret_cast<const std::uint8_t*>(chunk.data()),
                                static_cast<std::uint32_t>(chunk.size())),
              kSyncOk);
  }
  return handler.Reset();
}

TEST(ReplHandler, KnownDatabaseReplacesItsRegisteredFileAndKeepsItsName) {
  // Whether the desktop names the device object or sends the database as new,
  // it lands in the file registered for its identifier.
  for (std::uint32_t flags : {0u, kSetupNewObject}) {
    SCOPED_TRACE(flags);
    TSyncTestBed bed;
    bed.SetNewDbFileName(bed.Databases() + "/CVBase%d.dat");
    std::string mail = bed.WriteDatabase("Mail.dat", IdOf(1), "old");
    bed.AddRecord(IdOf(1), mail, 11, "Mail");
    TReplSetup setup = WriteSetup(flags, 5, 11);
    const std::string received = DatabaseBytes(IdOf(1), 230, "new content from the desktop");
    EXPECT_EQ(Receive(*NewHandler(), setup, received), kSyncOk);

    EXPECT_EQ(ReadText(mail), received);
    EXPECT_EQ(FilesIn(bed.Databases()), std::vector<std::string>{"Mail.dat"});
    auto key = bed.Record(IdOf(1));
    ASSERT_TRUE(key);
    TFileInfo info = GetFileInfo(mail);
    EXPECT_EQ(key->QueryString("File"), mail);
    EXPECT_EQ(key->QueryDWord("OID"), info.objectId);
    EXPECT_EQ(setup.oidNew, info.objectId);
    EXPECT_EQ(StoredTime(*key, "Modified1"), info.lastWriteTime);
    EXPECT_FALSE(key->Query("Modified2"));
    EXPECT_EQ(key->QueryDWord("Enabled"), 1u);
  }
}

TEST(ReplHandler, UnknownDatabaseLandsUnderTheNextFreeNumber) {
  TSyncTestBed bed;
  bed.WriteDatabase("CVBase1.dat", IdOf(1));
  bed.WriteDatabase("CVBase2.dat", IdOf(2));
  bed.SetNewDbFileName(bed.Databases() + "/CVBase%d.dat");
  TReplSetup setup = WriteSetup(kSetupNewObject, 5, 0);
  const std::string received = DatabaseBytes(IdOf(9), 240, std::string(10000, 'x'));
  EXPECT_EQ(Receive(*NewHandler(), setup, received, 4096), kSyncOk);

  const std::string third = bed.DbPath("CVBase3.dat");
  EXPECT_EQ(ReadText(third), received);
  EXPECT_EQ(FilesIn(bed.Databases()), (std::vector<std::string>{"CVBase1.dat", "CVBase2.dat", "CVBase3.dat"}));
  auto key = bed.Record(IdOf(9));
  ASSERT_TRUE(key);
  EXPECT_EQ(key->QueryString("File"), third);
  EXPECT_EQ(key->QueryDWord("OID"), GetFileInfo(third).objectId);
  EXPECT_EQ(key->QueryDWord("Enabled"), 1u);
}

TEST(ReplHandler, ReceivedFileThatIsNotADatabaseIsDroppedAndTheOldOneKept) {
  std::string bad = DatabaseBytes(IdOf(1));
  bad[2] = 0;
  struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"format 2.29", DatabaseBytes(IdOf(1), 229)},
      {"wrong signature", bad},
      {"shorter than a header", DatabaseBytes(IdOf(1)).substr(0, 20)},
      {"no identifier", DatabaseBytes(TGuid{})},
      {"empty", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TSyncTestBed bed;
    std::string mail = bed.WriteDatabase("Mail.dat", IdOf(1), "old");
    bed.AddRecord(IdOf(1), mail, 11, "Mail");
    const std::string before = UserRegistryDump();
    TReplSetup setup = WriteSetup(0, 5, 11);
    EXPECT_EQ(Receive(*NewHandler(), setup, c.bytes), kSyncUnexpected);
    EXPECT_EQ(ReadText(mail), DatabaseBytes(IdOf(1), 230, "old"));
    EXPECT_EQ(FilesIn(bed.Databases()), std::vector<std::string>{"Mail.dat"});
    EXPECT_EQ(UserRegistryDump(), before);
  }
}

TEST(ReplHandler, DatabaseHeldByAWriterIsNotReplaced) {
  // Named by its device object, or sent as new and found by its identifier.
  for (std::uint32_t flags : {0u, kSetupNewObject}) {
    SCOPED_TRACE(flags);
    TSyncTestBed bed;
    bed.SetNewDbFileName(bed.Databases() + "/CVBase%d.dat");
    std::string mail = bed.WriteDatabase("Mail.dat", IdOf(1), "old");
    bed.AddRecord(IdOf(1), mail, 11, "Mail");
    const std::string before = UserRegistryDump();
    TFile held = TFile::Open(mail, TFile::TMode::kWrite);
    TReplSetup setup = WriteSetup(flags, 5, 11);
    EXPECT_EQ(Receive(*NewHandler(), setup, DatabaseBytes(IdOf(1), 230, "new")), kSyncUnexpected);
    EXPECT_EQ(ReadText(mail), DatabaseBytes(IdOf(1), 230, "old"));
    EXPECT_EQ(FilesIn(bed.Databases()), std::vector<std::string>{"Mail.dat"});
    EXPECT_EQ(UserRegistryDump(), before);
  }
}

TEST(ReplHandler, MalformedPacketsAreRefusedAndChangeNothing) {
  TSyncTestBed bed;
  std::string mail = bed.WriteDatabase("Mail.dat", IdOf(1));
  bed.AddRecord(IdOf(1), mail, 11);
  bed.SetNewDbFileName(bed.Databases() + "/CVBase%d.dat");
  const std::string before = UserRegistryDump();
  std::vector<std::uint8_t> record = RecordPacket(IdOf(1).ToString(), true);
  std::vector<std::uint8_t> longRecord = record;
  longRecord.push_back(0);
  const std::uint8_t unknownType[] = {3, 0, 0};
  struct {
    const char* what;
    const std::uint8_t* data;
    std::uint32_t size;
    TSyncStatus expected;
  } cases[] = {
      {"no data", nullptr, 4, kSyncInvalidArgument},
      {"empty packet", record.data(), 0, kSyncInvalidArgument},
      {"unknown type", unknownType, 3, kSyncObjectRejected},
      {"settings record cut short", record.data(), kSettingsPacketSize - 1, kSyncInvalidArgument},
      {"settings record too long", longRecord.data(), kSettingsPacketSize + 1, kSyncInvalidArgument},
  };
  TReplSetup setup = WriteSetup(0, 5, 11);
  THandlerPtr handler = NewHandler();
  ASSERT_EQ(handler->Setup(&setup), kSyncOk);
  for (const auto& c : cases) EXPECT_EQ(handler->SetPacket(c.data, c.size), c.expected) << c.what;
  EXPECT_EQ(handler->Reset(), kSyncOk);
  EXPECT_EQ(UserRegistryDump(), before);
  EXPECT_EQ(FilesIn(bed.Databases()), std::vector<std::string>{"Mail.dat"});
}

TEST(ReplHandler, FileWithNowhereToGoIsRefused) {
  TSyncTestBed bed;
  // A new database, but the program left no name pattern.
  TReplSetup setup = WriteSetup(kSetupNewObject, 5, 0);
  THandlerPtr handler = NewHandler();
  ASSERT_EQ(handler->Setup(&setup), kSyncOk);
  const std::uint8_t packet[] = {kPacketDatabaseFile, 0xCE, 0x85};
  EXPECT_EQ(handler->SetPacket(packet, sizeof packet), kSyncObjectRejected);
  EXPECT_EQ(handler->Reset(), kSyncOk);
  EXPECT_EQ(FilesIn(bed.Databases()), std::vector<std::string>{});
}

TEST(ReplHandler, SettingsRecordOfADatabaseNotOnTheDeviceTakesTheDesktopObject) {
  TSyncTestBed bed;
  TReplSetup setup = WriteSetup(0, 77, 0);
  THandlerPtr handler = NewHandler();
  ASSERT_EQ(handler->Setup(&setup), kSyncInvalidArgument);   // no record names object 0
  setup = WriteSetup(kSetupNewObject, 77, 0);
  ASSERT_EQ(handler->Setup(&setup), kSyncOk);
  std::vector<std::uint8_t> packet = RecordPacket("{01010101-0101-0101-0101-010101010101}", true);
  EXPECT_EQ(handler->SetPacket(packet.data(), kSettingsPacketSize), kSyncOk);
  EXPECT_EQ(setup.oidNew, 77u);
  auto key = bed.Record(IdOf(1));
  ASSERT_TRUE(key);
  EXPECT_EQ(key->QueryDWord("OID"), 77u);
  EXPECT_EQ(key->QueryDWord("Enabled"), 1u);
}

TEST(ReplHandler, SettingsRecordOfADatabaseOnTheDeviceKeepsItsObject) {
  TSyncTestBed bed;
  std::string mail = bed.WriteDatabase("Mail.dat", IdOf(1));
  TRegKey record = bed.AddRecord(IdOf(1), mail, 11);
  record.SetDWord("Enabled", 1);
  TReplSetup setup = WriteSetup(0, 77, 11);
  THandlerPtr handler = NewHandler();
  ASSERT_EQ(handler->Setup(&setup), kSyncOk);
  // Lower-case hex digits name the same record.
  std::vector<std::uint8_t> packet = RecordPacket("{01010101-0101-0101-0101-010101010101}", false);
  EXPECT_EQ(handler->SetPacket(packet.data(), kSettingsPacketSize), kSyncOk);
  EXPECT_EQ(setup.oidNew, 11u);
  EXPECT_EQ(record.QueryDWord("OID"), 11u);
  EXPECT_EQ(record.QueryDWord("Enabled"), 0u);
}

TEST(ReplHandler, SettingsRecordWhoseKeyIsNotAnIdentifierChangesNothing) {
  TReplSetup setup = WriteSetup(kSetupNewObject, 77, 0);
  THandlerPtr handler = NewHandler();
  ASSERT_EQ(handler->Setup(&setup), kSyncOk);
  const std::string before = UserRegistryDump();
  for (const char* key : {"..\\..\\Policies", "{01010101-0101-0101-0101-010101010101}\\x", "Software"}) {
    std::vector<std::uint8_t> packet = RecordPacket(key, true);
    EXPECT_EQ(handler->SetPacket(packet.data(), kSettingsPacketSize), kSyncInvalidArgument) << key;
  }
  EXPECT_EQ(UserRegistryDump(), before);
  EXPECT_EQ(setup.oidNew, 0u);
}

TEST(ReplHandler, ReadSendsTheSettingsRecordOnce) {
  TSyncTestBed bed;
  TRegKey record = bed.AddRecord(IdOf(1), bed.DbPath("Mail.dat"), 11, "Mail");
  record.SetDWord("Enabled", 1);
  const std::uint8_t* data = nullptr;
  std::uint32_t size = 0;
  THandlerPtr handler = NewHandler();
  EXPECT_EQ(handler->GetPacket(&data, &size, 4096), kSyncAbort);   // nothing to send yet
  EXPECT_EQ(handler->GetPacket(nullptr, &size, 4096), kSyncInvalidArgument);

  TReplSetup unknown{sizeof(TReplSetup), 1, 0, 99, 0};
  EXPECT_EQ(handler->Setup(&unknown), kSyncInvalidArgument);
  TReplSetup setup{sizeof(TReplSetup), 1, 0, 11, 0};
  ASSERT_EQ(handler->Setup(&setup), kSyncOk);
  // A packet size smaller than the record still gets the whole record.
  for (std::uint32_t recommended : {4096u, 16u}) {
    ASSERT_EQ(handler->GetPacket(&data, &size, recommended), kSyncLastPacket);
    ASSERT_EQ(size, kSettingsPacketSize);
    EXPECT_EQ(data[0], kPacketSettingsRecord);
    auto sent = TInfoRecord::Decode(std::span(data + 1, kInfoRecordSize));
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->key, IdOf(1).ToString());
    EXPECT_EQ(sent->name, "Mail");
    EXPECT_TRUE(sent->enabled);
  }
  EXPECT_EQ(handler->Reset(), kSyncOk);
  EXPECT_EQ(handler->GetPacket(&data, &size, 4096), kSyncAbort);
}

TEST(ReplHandler, DeletingOnTheDesktopKeepsTheDeviceFile) {
  TSyncTestBed bed;
  std::string mail = bed.WriteDatabase("Mail.dat", IdOf(1));
  bed.AddRecord(IdOf(1), mail, 11);
  THandlerPtr handler = NewHandler();
  EXPECT_EQ(handler->DeleteObj(nullptr), kSyncInvalidArgument);
  TReplSetup setup{sizeof(TReplSetup), 0, 0, 11, 11};
  EXPECT_EQ(handler->DeleteObj(&setup), kSyncOk);
  EXPECT_TRUE(FileExists(mail));
  EXPECT_TRUE(bed.Record(IdOf(1)));
}

}  // namespace
}  // namespace corvane
