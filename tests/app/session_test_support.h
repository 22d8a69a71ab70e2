#pragma once
// The environment of the session tests: the database locations' environment
// with one database folder, a fake clock that keeps every pause it was asked
// for, and real database files with users, listed as known databases.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/known_databases.h"
#include "app/locations_path.h"
#include "app/runtime_settings.h"
#include "app/session_modal.h"
#include "engine/base.h"
#include "engine/cipher_registry.h"
#include "engine/dbfile.h"
#include "engine/users.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/folders.h"
#include "tests/app/locations_test_support.h"

namespace corvane::testing {

// A fake clock that lists the pauses.
class TPauseRecordingClock : public TFakeClock {
 public:
  void Sleep(std::uint32_t milliseconds) override {
    pauses.push_back(milliseconds);
    TFakeClock::Sleep(milliseconds);
  }
  // The pauses of a second or more: the wrong-password and wrong-logon waits.
  std::vector<std::uint32_t> LongPauses() const {
    std::vector<std::uint32_t> result;
    std::copy_if(pauses.begin(), pauses.end(), std::back_inserter(result), [](std::uint32_t ms) { return ms >= 1000; });
    return result;
  }
  std::vector<std::uint32_t> pauses;
};

struct TTestUser {
  std::string name;
  std::string password;
  std::string rights;  // "" all rights
  std::uint8_t type = kUserDatabase;
};

class TSessionTest : public TLocationsTest {
 protected:
  TSessionTest() {
    UseFolders({folder});
    SetDefaultBackupFolder(backupFolder);
  }
  ~TSessionTest() override {
    while (ModalCount() > 0) EndModal();
  }

  // A database file in the folder, made with `users` after the default user
  // and then prepared by `prepare`, and listed as a known database (closed).
  TPwdBase& AddDatabase(const std::string& fileName, const std::string& name,
                        const std::vector<TTestUser>& users = {},
                        const std::function<void(TPwdBase&)>& prepare = {}) {
    const std::string path = JoinPath(folder, fileName);
    {
      std::unique_ptr<TPwdBase> base = CreateDatabaseFile(path, name, "", kTestPassword, std::string(1, AllAlgorithms()[0]));
      for (const TTestUser& user : users) {
        auto entry = std::make_unique<TPwdBaseUser>();
        entry->SetGuid(TGuid::Create());
        entry->SetName(user.name);
        entry->SetRights(user.rights);
        entry->SetUserType(user.type);
        entry->SetPassword(user.password);
        base->Users->Add(std::move(entry));
      }
      if (prepare) prepare(*base);
      base->Save();
      base->Close();
    }
    RefreshDatabases(/*rescan=*/true, /*checkChanges=*/false);
    TPwdBase* known = FindKnownDatabase(path);
    EXPECT_NE(known, nullptr);
    return *known;
  }

  // The automatic backup copies in the backup folder.
  std::vector<std::string> BackupFiles() const {
    if (!FolderExists(backupFolder)) return {};
    std::vector<std::string> names;
    for (const TFileInfo& file : ListFiles(backupFolder, "*")) names.push_back(file.name);
    return names;
  }

  TPauseRecordingClock clock;
  std::string folder = Folder("bases");
  std::string backupFolder = files / "backup";
};

}  // namespace corvane::testing
