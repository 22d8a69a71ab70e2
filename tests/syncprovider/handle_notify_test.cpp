#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "platform/file_system.h"
#include "syncprovider/fixed_text.h"
#include "syncprovider/handle_notify.h"
#include "tests/syncprovider/sync_test_support.h"

namespace corvane {

using namespace sync_testing;

namespace {

TObjNotify Notification(std::uint32_t flags, std::uint32_t oid, const std::string& file, std::uint64_t time = 0) {
  TObjNotify notify{};
  notify.structSize = sizeof notify;
  notify.flags = flags;
  notify.oid = oid;
  notify.lastChanged = time;
  SetFixedText(notify.objType, kObjTypeName);
  SetFixedText(notify.fileName, file);
  return notify;
}

constexpr std::uint64_t kSynchronised = 5000;

}  // namespace

TEST(HandleNotify, FileChangeIsJudgedByEnabledFlagAndTimes) {
  struct {
    const char* what;
    bool enabled;
    std::uint64_t modified;
    std::uint32_t flags;
    std::uint64_t time;
    std::uint32_t changed;
    std::uint32_t deleted;
  } cases[] = {
      {"disabled and synchronised, changed", false, kSynchronised, kNotifyFile | kNotifyChanged, 9, 0, 0},
      {"disabled and synchronised", false, kSynchronised, kNotifyFile, 9, 0, 1},
      {"disabled, never synchronised, changed", false, 0, kNotifyFile | kNotifyChanged, 9, 1, 0},
      {"enabled, changed since", true, kSynchronised, kNotifyFile | kNotifyChanged, 9, 1, 0},
      {"enabled, changed flag but same time", true, kSynchronised, kNotifyFile | kNotifyChanged, kSynchronised, 0, 0},
      {"enabled, other time", true, kSynchronised, kNotifyFile, 9, 1, 0},
      {"enabled, same time", true, kSynchronised, kNotifyFile, kSynchronised, 0, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TSyncTestBed bed;
    std::string mail = bed.WriteDatabase("Mail.dat", IdOf(1));
    TRegKey key = bed.AddRecord(IdOf(1), mail, 11);
    key.SetDWord("Enabled", c.enabled ? 1 : 0);
    if (c.modified != 0) SetStoredTime(key, "Modified1", c.modified);
    TCvReplFolder folder(1);
    TObjNotify notify = Notification(c.flags, 42, mail, c.time);
    EXPECT_TRUE(HandleNotify(folder, notify));
    EXPECT_EQ(notify.changedCount, c.changed);
    EXPECT_EQ(notify.deletedCount, c.deleted);
    EXPECT_EQ(notify.oidList, &notify.oid);
    // The file's object identifier now is the one the service saw.
    EXPECT_EQ(key.QueryDWord("OID"), 42u);
  }
}

TEST(HandleNotify, FileNamesMatchWithoutRegardToCase) {
  TSyncTestBed bed;
  std::string mail = bed.WriteDatabase("Mail.dat", IdOf(1));
  bed.AddRecord(IdOf(1), mail, 11).SetDWord("Enabled", 1);
  std::string upper = mail;
  std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char ch) { return std::toupper(ch); });
  TCvReplFolder folder(1);
  TObjNotify notify = Notification(kNotifyFile, 11, upper, 9);
  EXPECT_TRUE(HandleNotify(folder, notify));
  EXPECT_EQ(notify.changedCount, 1u);
}

TEST(HandleNotify, NotificationsThatConcernNoDatabaseAreDeclined) {
  TSyncTestBed bed;
  std::string mail = bed.WriteDatabase("Mail.dat", IdOf(1));
  bed.AddRecord(IdOf(1), mail, 11);
  const std::string before = UserRegistryDump();
  TCvReplFolder folder(1);
  struct {
    const char* what;
    TObjNotify notify;
  } cases[] = {
      {"unregistered file", Notification(kNotifyFile | kNotifyChanged, 12, bed.DbPath("Other.dat"))},
      {"not a file", Notification(kNotifyChanged, 11, mail)},
      {"deleted, unknown object", Notification(kNotifyFile | kNotifyDeleted, 12, mail)},
  };
  for (auto& c : cases) EXPECT_FALSE(HandleNotify(folder, c.notify)) << c.what;
  EXPECT_EQ(UserRegistryDump(), before);
}

TEST(HandleNotify, DeletedFileDisablesItsDatabaseAndCountsAsChanged) {
  TSyncTestBed bed;
  TRegKey key = bed.AddRecord(IdOf(1), bed.DbPath("Mail.dat"), 11);
  key.SetDWord("Enabled", 1);
  TCvReplFolder folder(1);
  TObjNotify notify = Notification(kNotifyFile | kNotifyDeleted, 11, "");
  EXPECT_TRUE(HandleNotify(folder, notify));
  EXPECT_EQ(notify.changedCount, 1u);
  EXPECT_EQ(notify.deletedCount, 0u);
  EXPECT_EQ(key.QueryDWord("Enabled"), 0u);
}

TEST(HandleNotify, ClearChangeRecordsTheFileTimeForThisPartner) {
  TSyncTestBed bed;
  std::string mail = bed.WriteDatabase("Mail.dat", IdOf(1));
  TRegKey key = bed.AddRecord(IdOf(1), mail, 11);
  key.SetDWord("Enabled", 1);
  TCvReplFolder folder(2);
  TObjNotify notify = Notification(kNotifyClearChange, 11, "");
  EXPECT_FALSE(HandleNotify(folder, notify));
  EXPECT_EQ(StoredTime(key, "Modified2"), GetFileInfo(mail).lastWriteTime);
  EXPECT_FALSE(key.Query("Modified1"));
  // The record in memory follows, so the file no longer counts as changed.
  TObjNotify later = Notification(kNotifyFile | kNotifyChanged, 11, mail, GetFileInfo(mail).lastWriteTime);
  EXPECT_TRUE(HandleNotify(folder, later));
  EXPECT_EQ(later.changedCount, 0u);
}

TEST(HandleNotify, ClearChangeOfAFileThatIsNoDatabaseWritesNothing) {
  TSyncTestBed bed;
  WriteText(bed.DbPath("Mail.dat"), "not a database");
  bed.AddRecord(IdOf(1), bed.DbPath("Mail.dat"), 11);
  const std::string before = UserRegistryDump();
  TCvReplFolder folder(1);
  TObjNotify notify = Notification(kNotifyClearChange, 11, "");
  EXPECT_FALSE(HandleNotify(folder, notify));
  EXPECT_EQ(UserRegistryDump(), before);
}

}  // namespace corvane
