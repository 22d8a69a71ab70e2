#pragma once
// A password-protected database with a few users, folders and records, for
// the rights, change-log and undo tests.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/base.h"
#include "engine/changelog.h"
#include "engine/permissions.h"
#include "engine/undo.h"
#include "engine/users.h"
#include "platform/clock.h"

namespace corvane::testing {

// Built-in field numbers used by the tests.
inline constexpr std::int32_t kTitle = 0;
inline constexpr std::int32_t kUserName = 1;
inline constexpr std::int32_t kUrl = 3;
inline constexpr std::int32_t kPassword = 8;

class TAccessFixture : public ::testing::Test {
 protected:
  TAccessFixture() { base.Password = "master"; }

  // Adds a user as the default (administrator) session does.
  TPwdBaseUser* AddUser(const std::string& name, const std::string& rights, std::uint8_t type = kUserDatabase) {
    auto user = std::make_unique<TPwdBaseUser>();
    user->SetGuid(TGuid::Create());
    user->SetName(name);
    user->SetRights(rights);
    user->SetUserType(type);
    return base.Users->Add(std::move(user));
  }

  TPwdFolder* AddFolder(TPwdFolder& parent, const std::string& name) {
    auto* folder = static_cast<TPwdFolder*>(parent.Items->AddItem(kItemTypeFolder, false));
    folder->SetName(name);
    folder->Post();
    return folder;
  }

  TPwdPassword* AddRecord(TPwdFolder& parent, const std::string& title, const std::string& user = {},
                          const std::string& password = {}) {
    auto* record = static_cast<TPwdPassword*>(parent.Items->AddItem(kItemTypeRecord, false));
    SetText(*record, kTitle, title);
    SetText(*record, kUserName, user);
    SetText(*record, kPassword, password);
    record->Post();
    return record;
  }

  static void SetText(TPwdPassword& record, std::int32_t number, const std::string& text) {
    record.Bind()->FieldByNumber(number)->SetAsString(text);
  }

  static std::string Text(TPwdPassword& record, std::int32_t number) {
    TPwdField* field = record.Bind()->FieldByNumber(number);
    field->ForceReveal = true;
    std::string text = field->AsString();
    field->ForceReveal = false;
    return text;
  }

  // Edits one field of a stored record and posts it.
  static void EditText(TPwdPassword& record, std::int32_t number, const std::string& text) {
    record.Edit();
    SetText(record, number, text);
    record.Post();
  }

  int LogCount() const { return base.ChangesLog->Count(); }
  const TPwdBaseChangeRec& LogEntry(int index) const { return (*base.ChangesLog)[index]; }
  int UndoCount() const { return base.UndoList->Count(); }

  TFakeClock clock{0, 46000.25};
  TPwdBase base;
};

}  // namespace corvane::testing
