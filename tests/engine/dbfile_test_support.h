#pragma once
// Databases for the file tests: a small sample with something of every kind
// the file stores, and helpers to save and reopen it.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/base.h"
#include "engine/changelog.h"
#include "engine/dbfile.h"
#include "engine/permissions.h"
#include "engine/users.h"
#include "platform/error.h"
#include "tests/platform/file_test_support.h"

namespace corvane::testing {

using namespace corvane::file_testing;

inline TPwdPassword& AddRecord(TPwdFolder& folder, const std::string& title, double expires = 0) {
  auto& record = static_cast<TPwdPassword&>(*folder.Items->AddItem(kItemTypeRecord, false));
  TPwdFieldsList& fields = *record.Bind();
  fields.FieldByNumber(0)->SetAsString(title);
  fields.FieldByNumber(1)->SetAsString(title + "-user");
  fields.FieldByNumber(8)->SetAsString(title + "-secret");
  if (expires != 0) fields.FieldByKind(kKindExpires)->SetAsDate(expires);
  record.Post();
  return record;
}

inline TPwdFolder& AddFolder(TPwdFolder& parent, const std::string& name) {
  auto& folder = static_cast<TPwdFolder&>(*parent.Items->AddItem(kItemTypeFolder, false));
  folder.SetName(name);
  folder.Post();
  return folder;
}

// A database with folders, records, an own structure, permissions, a group,
// change-log entries, auto-fill data, an icon and every option set.
inline void FillSample(TPwdBase& base) {
  {
    TPwdBase::TLoadingScope loading(base);
    base.Name = "Sample";
    base.Description = "All kinds of data";
  }
  base.RequireLogon = 1;
  base.AutoLogonWindowsUser = 1;
  base.LogActions = 1;
  base.LogServer = "logs.example";
  base.LogServerExtra1 = "x1";
  base.LogServerExtra2 = "x2";
  base.BackupFolder = "/backups";
  base.BackupCount = 7;
  base.AutoCloseSeconds = 300;
  base.OptionFlags = TPwdBase::kRememberSortOrder | 4;
  base.Icons.AddIcon("BMprimary", "BMalternate");

  TPwdFolder& work = AddFolder(base, "Work");
  TPwdFolder& mail = AddFolder(work, "Mail");
  mail.Structure = std::make_unique<TPwdFieldsList>(&mail);
  mail.Structure->AssignStructure(*base.Structure);
  mail.Structure->AddField("Server", kFieldString, kKindRegular);
  mail.Structure->AddField("Port", kFieldInteger, kKindRegular);
  mail.SortColumn = 1;
  mail.SortDescending = 1;
  TPwdPassword& gmail = AddRecord(mail, "Gmail", 46100.25);
  gmail.Edit();
  gmail.Bind()->FieldByName("Server")->SetAsString("imap.example");
  gmail.Bind()->FieldByName("Port")->SetAsInteger(993);
  gmail.IconIndex = kBuiltinImageCount;
  TAutoFillFieldsList& form = gmail.AutoFill.Add();
  form.SetFormName("login");
  form.AddField().SetControlName("user");
  (*&form[0]).SetFieldNumber(1);
  gmail.Post();
  AddRecord(base, "Bank", 46000);
  work.SetInheritRights(false);
  work.Permissions->SetEntry(TGuid::Create(), "IU", "D");

  auto group = std::make_unique<TPwdBaseUser>();
  group->SetGuid(TGuid::Create());
  group->SetName("Staff");
  group->SetUserType(kGroupDatabase);
  group->SetRights("V");
  TPwdBaseUser* staff = base.Users->Add(std::move(group));
  auto user = std::make_unique<TPwdBaseUser>();
  user->SetGuid(TGuid::Create());
  user->SetName("alice");
  user->SetRights("IU");
  user->SetDescription("Alice");
  user->SetPassword("pw");
  TPwdBaseUser* alice = base.Users->Add(std::move(user));
  alice->Links().Add(staff);
}

// Saves `base` under `path` with `password` and the given ciphers.
inline void SaveAs(TPwdBase& base, const std::string& path, const std::string& password,
                   const std::string& algorithms) {
  base.Password = password;
  base.Algorithms = algorithms;
  base.SaveToFile(path);
}

// A database read from `path`.
inline std::unique_ptr<TPwdBase> OpenFile(const std::string& path, const std::string& password) {
  auto base = std::make_unique<TPwdBase>();
  base->FileName = path;
  base->Open(password);
  return base;
}

inline TPwdFolder& FolderAt(TPwdFolder& folder, int index) {
  return static_cast<TPwdFolder&>(*(*folder.Items)[index]);
}
inline TPwdPassword& RecordAt(TPwdFolder& folder, int index) {
  return static_cast<TPwdPassword&>(*(*folder.Items)[index]);
}

}  // namespace corvane::testing
