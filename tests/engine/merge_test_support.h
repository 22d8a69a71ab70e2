#pragma once
// Two copies of one database for the merge tests: a shared starting point,
// a clock that moves on with every change, and helpers to edit either copy
// and read back what it holds.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "engine/base.h"
#include "engine/changelog.h"
#include "engine/merge.h"
#include "engine/stream.h"
#include "platform/clock.h"

namespace corvane::testing {

inline constexpr std::int32_t kTitleField = 0;
inline constexpr std::int32_t kUserField = 1;
inline constexpr std::int32_t kPasswordField = 8;

// A second copy of `base`, as opening its saved file would give.
inline std::unique_ptr<TPwdBase> CopyOf(TPwdBase& base) {
  TMemoryStream bytes;
  base.SaveToStream(bytes);
  bytes.Seek(0, TSeekOrigin::Begin);
  auto copy = std::make_unique<TPwdBase>();
  copy->Password = base.Password;
  copy->LoadFromStream(bytes);
  return copy;
}

inline std::string Text(TPwdPassword& record, std::int32_t number) {
  TPwdField* field = record.Bind()->FieldByNumber(number);
  return field ? field->RevealedText() : std::string();
}

// Everything a copy holds that the merge carries, by item id: place, kind,
// name or field values (the logged ones), and image.
inline std::map<TGuid, std::string> TreeOf(const TPwdFolder& folder) {
  std::map<TGuid, std::string> out;
  for (TPwdItem* item : folder.Items->Items()) {
    std::string line = folder.Guid.ToString() + " icon " + std::to_string(item->IconIndex) + ":";
    if (auto* sub = dynamic_cast<TPwdFolder*>(item)) {
      line += " folder " + sub->Name;
      out.merge(TreeOf(*sub));
    } else {
      auto& record = static_cast<TPwdPassword&>(*item);
      TPwdFieldsList& fields = *record.Bind();
      for (int i = 0; i < fields.Count(); ++i)
        if (!IsUnloggedKind(fields[i]->Kind)) line += " " + fields[i]->Name + "=" + fields[i]->RevealedText();
    }
    out[item->Guid] = line;
  }
  return out;
}

class TMergeFixture : public ::testing::Test {
 public:
  // The target starts with folder "Work" holding record "Mail"; the source
  // is a copy of it.
  TMergeFixture() {
    target = std::make_unique<TPwdBase>();
    target->Password = "master";
    work = AddFolder(*target, "Work");
    mail = AddRecord(*work, "Mail", "me", "secret");
    source = CopyOf(*target);
    target->Modified = 0;
  }

  // Every change happens a minute after the one before.
  void Tick() { clock.SetDate(clock.Now() + 1.0 / 1440); }

  TPwdFolder* AddFolder(TPwdFolder& parent, const std::string& name) {
    Tick();
    auto* folder = static_cast<TPwdFolder*>(parent.Items->AddItem(kItemTypeFolder, false));
    folder->SetName(name);
    folder->Post();
    return folder;
  }

  TPwdPassword* AddRecord(TPwdFolder& parent, const std::string& title, const std::string& user = {},
                          const std::string& password = {}) {
    Tick();
    auto* record = static_cast<TPwdPassword*>(parent.Items->AddItem(kItemTypeRecord, false));
    TPwdFieldsList& fields = *record->Bind();
    fields.FieldByNumber(kTitleField)->SetAsString(title);
    fields.FieldByNumber(kUserField)->SetAsString(user);
    fields.FieldByNumber(kPasswordField)->SetAsString(password);
    record->Post();
    return record;
  }

  void EditText(TPwdPassword& record, std::int32_t number, const std::string& text) {
    Tick();
    record.Edit();
    record.Bind()->FieldByNumber(number)->SetAsString(text);
    record.Post();
  }

  void Rename(TPwdFolder& folder, const std::string& name) {
    Tick();
    folder.Edit();
    folder.SetName(name);
    folder.Post();
  }

  void Remove(TPwdItem& item) {
    Tick();
    item.Delete();
  }

  // The item of `db` with the id of `item` (of either copy).
  template <class T>
  static T* Same(const TPwdBase& db, const T* item) {
    return dynamic_cast<T*>(db.FindItem(item->Guid));
  }

  TFakeClock clock{0, 46000.25};
  std::unique_ptr<TPwdBase> target;
  std::unique_ptr<TPwdBase> source;
  TPwdFolder* work = nullptr;    // in the target
  TPwdPassword* mail = nullptr;  // in the target
};

}  // namespace corvane::testing
