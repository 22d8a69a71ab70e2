#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "syncprovider/fixed_text.h"
#include "syncprovider/info_record.h"
#include "syncprovider/sync_provider.h"
#include "tests/syncprovider/sync_test_support.h"

namespace corvane {

using namespace sync_testing;

namespace {

TSyncDataRequest SettingsRequest(const TInfoRecordBytes& record, const char* type = kObjTypeName) {
  TSyncDataRequest request{};
  request.structSize = sizeof request;
  SetFixedText(request.objType, type);
  request.code = kSyncDataSettingsRecord;
  request.setData = 1;
  request.data = record.data();
  request.dataSize = static_cast<std::uint32_t>(record.size());
  return request;
}

TInfoRecordBytes Record(const std::string& key, bool enabled) {
  TInfoRecordBytes bytes{};
  std::copy(key.begin(), key.end(), bytes.begin());
  bytes[140] = enabled ? 1 : 0;
  return bytes;
}

// A provider whose object type has been initialised, as the service leaves it.
class StartedProvider : public ::testing::Test {
 protected:
  void Start() {
    bed_.InstallProgram(TProgramAnswer::kAcknowledges);
    ASSERT_TRUE(provider_.InitObjType(kObjTypeName, &handler_, 1));
    ASSERT_NE(handler_, nullptr);
    started_ = 1;
  }
  ~StartedProvider() override {
    if (handler_) handler_->Release();
    provider_.InitObjType(nullptr, nullptr, 0);
    bed_.WaitForStarts(started_);
  }

  TSyncTestBed bed_;
  TSyncProvider provider_;
  IReplObjHandler* handler_ = nullptr;
  std::size_t started_ = 0;
};

}  // namespace

TEST(SyncProvider, InitObjTypeServesOnlyItsTypeAndNeedsTheProgram) {
  TSyncTestBed bed;
  TSyncProvider provider;
  IReplObjHandler* handler = reinterpret_cast<IReplObjHandler*>(0x1);
  EXPECT_FALSE(provider.InitObjType("Contacts", &handler, 1));
  EXPECT_EQ(handler, nullptr);
  EXPECT_FALSE(provider.InitObjType(kObjTypeName, &handler, 1));   // no Install_Dir
  bed.InstallProgram(TProgramAnswer::kRefuses);
  EXPECT_FALSE(provider.InitObjType(kObjTypeName, &handler, 1));
  EXPECT_EQ(handler, nullptr);
  EXPECT_EQ(provider.Folder(), nullptr);
  bed.WaitForStarts(1);
}

TEST_F(StartedProvider, InitObjTypeLoadsTheRecordsAndUnloadingDropsThem) {
  bed_.AddRecord(IdOf(1), bed_.DbPath("Mail.dat"), 11);
  Start();
  EXPECT_EQ(bed_.WaitForStarts(1), std::vector<std::string>{"/activesync"});
  ASSERT_NE(provider_.Folder(), nullptr);
  EXPECT_EQ(provider_.Folder()->PartnerBit, 1u);
  ASSERT_EQ(provider_.Folder()->Databases.size(), 1u);
  EXPECT_EQ(provider_.Folder()->Databases[0].OID, 11u);
  EXPECT_TRUE(provider_.InitObjType(nullptr, nullptr, 0));
  EXPECT_EQ(provider_.Folder(), nullptr);
}

TEST_F(StartedProvider, FindObjectsHandsOutTheListUntilTheEndOfTheVolume) {
  TFindObjects find{sizeof(TFindObjects), 0, nullptr, 9, 9};
  EXPECT_EQ(provider_.FindObjects(&find), kSyncInvalidArgument);   // not initialised
  EXPECT_EQ(provider_.FindObjects(nullptr), kSyncInvalidArgument);
  std::string mail = bed_.WriteDatabase("Mail.dat", IdOf(1));
  bed_.AddRecord(IdOf(1), mail, 11).SetDWord("Enabled", 1);
  Start();
  ASSERT_EQ(provider_.FindObjects(&find), kSyncOk);
  EXPECT_EQ(find.unchangedCount, 0u);
  ASSERT_EQ(find.changedCount, 1u);
  EXPECT_EQ(find.oidList[0], 11u);
  find.flags = kFindEndOfVolume;
  EXPECT_EQ(provider_.FindObjects(&find), kSyncOk);
}

TEST_F(StartedProvider, FindObjectsWithoutTheSynchronisationKeyFindsNothing) {
  Start();
  TFindObjects find{sizeof(TFindObjects), 0, nullptr, 9, 9};
  ASSERT_EQ(provider_.FindObjects(&find), kSyncOk);
  EXPECT_EQ(find.unchangedCount, 0u);
  EXPECT_EQ(find.changedCount, 0u);
}

TEST_F(StartedProvider, ObjectNotifyChecksSizeTypeAndFolder) {
  std::string mail = bed_.WriteDatabase("Mail.dat", IdOf(1));
  bed_.AddRecord(IdOf(1), mail, 11).SetDWord("Enabled", 1);
  TObjNotify notify{};
  notify.structSize = sizeof notify;
  notify.flags = kNotifyFile;
  notify.oid = 11;
  notify.lastChanged = 1;
  SetFixedText(notify.objType, kObjTypeName);
  SetFixedText(notify.fileName, mail);
  EXPECT_FALSE(provider_.ObjectNotify(&notify));   // not initialised
  Start();
  EXPECT_TRUE(provider_.ObjectNotify(&notify));
  EXPECT_EQ(notify.changedCount, 1u);
  TObjNotify smaller = notify;
  smaller.structSize = sizeof notify - 4;
  EXPECT_FALSE(provider_.ObjectNotify(&smaller));
  TObjNotify otherType = notify;
  SetFixedText(otherType.objType, "Contacts");
  EXPECT_FALSE(provider_.ObjectNotify(&otherType));
  EXPECT_FALSE(provider_.ObjectNotify(nullptr));
}

TEST(SyncProvider, ObjTypeInfoCountsRecordsAndForgetsFilesThatAreGone) {
  TSyncTestBed bed;
  TSyncProvider provider;
  TObjTypeInfo info{};
  info.structSize = sizeof info;
  SetFixedText(info.objType, kObjTypeName);
  ASSERT_TRUE(provider.GetObjTypeInfo(&info));   // no synchronisation key yet
  EXPECT_EQ(FixedText(info.displayName), "Corvane database");
  EXPECT_EQ(info.objectCount, 0u);

  std::string mail = bed.WriteDatabase("Mail.dat", IdOf(1), std::string(1000, 'm'));
  bed.AddRecord(IdOf(1), mail, 11);
  TRegKey gone = bed.AddRecord(IdOf(2), bed.DbPath("Gone.dat"), 12);
  bed.AddRecord(IdOf(3), "", 13);
  ASSERT_TRUE(provider.GetObjTypeInfo(&info));
  EXPECT_EQ(info.objectCount, 3u);
  EXPECT_EQ(info.totalSize, GetFileInfo(mail).size);
  EXPECT_FALSE(gone.Query("File"));
  EXPECT_EQ(gone.QueryString("Name"), "Db");

  SetFixedText(info.objType, "Contacts");
  EXPECT_FALSE(provider.GetObjTypeInfo(&info));
}

TEST(SyncProvider, SyncDataEnablingMakesBothPartnersTakeTheDatabaseAgain) {
  TSyncTestBed bed;
  TSyncProvider provider;
  TRegKey key = bed.AddRecord(IdOf(1), bed.DbPath("Mail.dat"), 11);
  SetStoredTime(key, "Modified1", 1);
  SetStoredTime(key, "Modified2", 2);

  TInfoRecordBytes disable = Record(IdOf(1).ToString(), false);
  TSyncDataRequest request = SettingsRequest(disable);
  EXPECT_EQ(provider.SyncData(&request), kSyncOk);
  EXPECT_EQ(key.QueryDWord("Enabled"), 0u);
  EXPECT_TRUE(key.Query("Modified1"));
  EXPECT_TRUE(key.Query("Modified2"));

  TInfoRecordBytes enable = Record(IdOf(1).ToString(), true);
  request = SettingsRequest(enable);
  EXPECT_EQ(provider.SyncData(&request), kSyncOk);
  EXPECT_EQ(key.QueryDWord("Enabled"), 1u);
  EXPECT_FALSE(key.Query("Modified1"));
  EXPECT_FALSE(key.Query("Modified2"));
}

TEST(SyncProvider, SyncDataRefusesWhatItCannotApply) {
  TSyncTestBed bed;
  TSyncProvider provider;
  const std::string before = UserRegistryDump();
  TInfoRecordBytes foreign = Record("..\\..\\Policies", true);
  TInfoRecordBytes good = Record(IdOf(1).ToString(), true);
  TSyncDataRequest badKey = SettingsRequest(foreign);
  TSyncDataRequest otherType = SettingsRequest(good, "Contacts");
  TSyncDataRequest shortData = SettingsRequest(good);
  shortData.dataSize = kInfoRecordSize - 1;
  TSyncDataRequest noData = SettingsRequest(good);
  noData.data = nullptr;
  for (TSyncDataRequest* request : {&badKey, &otherType, &shortData, &noData, static_cast<TSyncDataRequest*>(nullptr)}) {
    EXPECT_EQ(provider.SyncData(request), kSyncInvalidArgument);
  }
  TSyncDataRequest otherCode = SettingsRequest(good);
  otherCode.code = 7;
  EXPECT_EQ(provider.SyncData(&otherCode), kSyncOk);   // nothing for this provider
  EXPECT_EQ(UserRegistryDump(), before);
}

}  // namespace corvane
