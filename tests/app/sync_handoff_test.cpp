// The program's side of the synchronisation hand-off: the registry records
// the provider library reads, the pattern for new databases, the two events,
// and the hand-off of a running window, whose saves give files new object ids.

#include <gtest/gtest.h>

#include "app/session_close.h"
#include "app/session_open.h"
#include "app/settings_keys.h"
#include "app/sync_handoff.h"
#include "engine/dbfile.h"
#include "platform/file_system.h"
#include "platform/named_event.h"
#include "platform/registry.h"
#include "tests/app/session_test_support.h"

namespace corvane {
namespace {

using file_testing::TScopedEnv;
using file_testing::WriteText;
using testing::TSessionTest;

class TRecordingWindow : public TSyncWindow {
 public:
  void RequestCloseAll() override { ++closeAllRequests; }
  int closeAllRequests = 0;
};

class SyncHandOffTest : public TSessionTest {
 protected:
  // The events as the library makes them before it starts the program.
  static void CreateEvents() {
    TNamedEvent::CreateOrOpen(kActiveSyncErrorEventName).Reset();
    TNamedEvent::CreateOrOpen(kActiveSyncEventName).Reset();
  }
  static bool IsSet(std::string_view name) {
    std::optional<TNamedEvent> event = TNamedEvent::OpenExisting(name);
    return event && event->IsSet();
  }
  static std::optional<TRegKey> Record(const TPwdBase& base) {
    return TRegKey::Open(THive::CurrentUser, std::string(kActiveSyncRegistryKey) + "\\" + base.Guid.ToString());
  }
  static std::uint32_t ObjectId(const std::string& path) { return GetFileInfo(path).objectId; }
  static std::vector<std::string> RecordNames() {
    std::optional<TRegKey> key = TRegKey::Open(THive::CurrentUser, kActiveSyncRegistryKey);
    return key ? key->SubKeys() : std::vector<std::string>{};
  }
  static std::string NewDbFileName() {
    std::optional<TRegKey> key = TRegKey::Open(THive::CurrentUser, kActiveSyncRegistryKey);
    return key ? key->QueryString("NewDbFileName").value_or("") : "";
  }

  TScopedEnv runtime{"CORVANE_RUNTIME_DIR", files / "run"};
};

TEST_F(SyncHandOffTest, WithoutAWindowEveryReadableDatabaseIsRecordedAndBothEventsAreSet) {
  TPwdBase& home = AddDatabase("CVBase1.dat", "Home");
  TPwdBase& work = AddDatabase("CVBase2.dat", "Work");
  // A file the scan lists but whose header cannot be read.
  WriteText(JoinPath(folder, "CVBase3.dat"), "not a database");
  RefreshDatabases(true, false);
  ASSERT_EQ(KnownDatabases().size(), 3u);
  CreateEvents();

  HandleActiveSync(nullptr);

  EXPECT_EQ(RecordNames(), (std::vector<std::string>{home.Guid.ToString(), work.Guid.ToString()}));
  std::optional<TRegKey> record = Record(work);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->QueryString("File"), work.FileName);
  EXPECT_EQ(record->QueryString("Name"), "Work");
  EXPECT_EQ(record->QueryDWord("OID"), ObjectId(work.FileName));
  EXPECT_EQ(NewDbFileName(), folder + "/CVBase%d.dat");
  EXPECT_TRUE(IsSet(kActiveSyncErrorEventName));
  EXPECT_TRUE(IsSet(kActiveSyncEventName));
  EXPECT_TRUE(frontEnd.messages.empty());
}

TEST_F(SyncHandOffTest, AnEmptyListIsFilledFirstAndNamesFollowTheTree) {
  // Two databases of the same name in two folders: the records carry the
  // names the tree shows, with the folder numbers.
  const std::string other = Folder("other");
  UseFolders({folder, other});
  AddDatabase("CVBase1.dat", "Same");
  MakeDatabase(JoinPath(other, "CVBase1.dat"), "Same");
  KnownDatabases().clear();

  HandleActiveSync(nullptr);

  ASSERT_EQ(KnownDatabases().size(), 2u);
  std::vector<std::string> names;
  for (const TKnownDatabase& known : KnownDatabases()) names.push_back(Record(*known.base)->QueryString("Name").value());
  EXPECT_EQ(names, (std::vector<std::string>{"Same - 1", "Same - 2"}));
}

TEST_F(SyncHandOffTest, NewDatabasePatternUsesTheFirstExistingFolderAndTheTemplate) {
  UseFolders({files / "missing", folder});
  {
    TSettingsAccess access(true);
    WriteSetting(setting::DbFileNameTemplate, std::string("Vault*-*.db"));
    access.Close();
  }
  HandleActiveSync(nullptr);
  EXPECT_EQ(NewDbFileName(), folder + "/Vault%d-%d.db");

  {
    TSettingsAccess access(true);
    WriteSetting(setting::DbFileNameTemplate, std::string("Vault.db"));
    access.Close();
  }
  HandleActiveSync(nullptr);
  EXPECT_EQ(NewDbFileName(), folder + "/Vault%d.db") << "a template is given its number first";
}

TEST_F(SyncHandOffTest, StartedByHandWithoutEventsTheRecordsAreStillWritten) {
  TPwdBase& home = AddDatabase("CVBase1.dat", "Home");
  HandleActiveSync(nullptr);
  EXPECT_TRUE(Record(home));
  EXPECT_FALSE(TNamedEvent::OpenExisting(kActiveSyncEventName));
  EXPECT_TRUE(frontEnd.messages.empty());
}

TEST_F(SyncHandOffTest, WithAWindowTheDatabasesAreClosedBeforeTheAcknowledgement) {
  TPwdBase& home = AddDatabase("CVBase1.dat", "Home");
  frontEnd.passwords.push_back(testing::kTestPassword);
  ASSERT_TRUE(OpenDatabase(home));
  home.SetName("Changed");
  CreateEvents();
  TRecordingWindow window;
  frontEnd.hooks.clear();

  HandleActiveSync(&window);

  EXPECT_EQ(frontEnd.hooks, std::vector<std::string>{"CloseModalDialogs"});
  EXPECT_EQ(window.closeAllRequests, 1);
  EXPECT_TRUE(Record(home));
  EXPECT_FALSE(IsSet(kActiveSyncEventName)) << "nothing is acknowledged while databases are open";

  // The window's timer: close all (the save replaces the file), then complete.
  const std::uint32_t oidBeforeSave = ObjectId(home.FileName);
  CloseAllDatabases();
  ASSERT_FALSE(IsDatabaseOpen(home));
  ASSERT_NE(ObjectId(home.FileName), oidBeforeSave) << "the save replaced the file";
  CompleteActiveSync();

  EXPECT_EQ(Record(home)->QueryDWord("OID"), ObjectId(home.FileName)) << "the saved file's own object id";
  EXPECT_EQ(Record(home)->QueryString("Name"), "Changed");
  EXPECT_TRUE(IsSet(kActiveSyncErrorEventName));
  EXPECT_TRUE(IsSet(kActiveSyncEventName));
}

TEST_F(SyncHandOffTest, AcknowledgementOfAFailureSetsOnlyTheAcknowledgementEvent) {
  CreateEvents();
  AcknowledgeActiveSync(false);
  EXPECT_FALSE(IsSet(kActiveSyncErrorEventName));
  EXPECT_TRUE(IsSet(kActiveSyncEventName));
}

TEST_F(SyncHandOffTest, AnUnwritableErrorEventIsShownAndTheLibraryLearnsOfTheFailureAtOnce) {
  TNamedEvent::CreateOrOpen(kActiveSyncEventName).Reset();
  // Something that is no event file stands in the error event's place.
  CreateFolder(files / ("run/" + std::string(kActiveSyncErrorEventName) + ".event"));

  HandleActiveSync(nullptr);

  ASSERT_EQ(frontEnd.messages.size(), 1u);
  EXPECT_EQ(frontEnd.messages[0].icon, TMsgIcon::Error);
  EXPECT_TRUE(IsSet(kActiveSyncEventName)) << "acknowledged without the error event: a failed hand-off";
}

}  // namespace
}  // namespace corvane
