// Copying a record's values: field pairing between different structures and
// the view rights that keep passwords from being revealed by a copy.

#include <gtest/gtest.h>

#include "tests/engine/access_fixture.h"

namespace corvane {
namespace {

using testing::kPassword;
using testing::kTitle;
using testing::TAccessFixture;

class RecordAssign : public TAccessFixture {
 protected:
  struct TFieldSpec {
    const char* name;
    std::uint8_t type;
    std::uint8_t kind;
    std::int32_t column;
    bool visible;
  };

  TPwdFolder* FolderWith(const std::string& name, std::initializer_list<TFieldSpec> specs) {
    TPwdFolder* folder = AddFolder(base, name);
    folder->CreateStructure(0);
    for (const TFieldSpec& spec : specs) {
      TPwdField* field = folder->Structure->AddField(spec.name, spec.type, spec.kind);
      field->ColumnPosition = spec.column;
      field->ColumnVisible = spec.visible;
    }
    folder->Structure->RebuildColumnMaps();
    return folder;
  }

  static std::string Named(TPwdPassword& record, const std::string& name) {
    TPwdField* field = record.Bind()->FieldByName(name);
    field->ForceReveal = true;
    std::string text = field->AsString();
    field->ForceReveal = false;
    return text;
  }
};

TEST_F(RecordAssign, FieldsArePairedByNameThenKindThenColumn) {
  TPwdFolder* from = FolderWith("From", {{"Title", kFieldString, kKindRegular, 0, true},
                                         {"Secret", kFieldString, kKindPassword, 1, true},
                                         {"Link", kFieldString, kKindUrl, 2, true},
                                         {"Extra", kFieldInteger, kKindRegular, 3, true},
                                         {"Hidden", kFieldString, kKindRegular, 4, false}});
  TPwdFolder* to = FolderWith("To", {{"Name", kFieldString, kKindRegular, 2, true},
                                     {"title", kFieldString, kKindRegular, 3, true},
                                     {"Pwd", kFieldString, kKindPassword, 0, true},
                                     {"Web", kFieldString, kKindUrl, 1, false},
                                     {"Note", kFieldString, kKindRegular, 4, true},
                                     {"Other", kFieldString, kKindRegular, 5, true}});
  auto* source = static_cast<TPwdPassword*>(from->Items->AddItem(kItemTypeRecord, false));
  TPwdFieldsList& fields = *source->Bind();
  const char* values[] = {"Mail", "secret", "https://mail", "5", "hidden note"};
  for (int i = 0; i < 5; ++i) fields[i]->SetAsString(values[i]);
  source->Post();

  auto* copy = static_cast<TPwdPassword*>(source->CopyTo(*to));
  EXPECT_EQ(Named(*copy, "title"), "Mail");         // same name, any case
  EXPECT_EQ(Named(*copy, "Pwd"), "secret");         // same kind
  EXPECT_EQ(Named(*copy, "Web"), "https://mail");   // same kind, even hidden
  EXPECT_EQ(Named(*copy, "Name"), "5");             // first free visible column
  EXPECT_EQ(Named(*copy, "Note"), "hidden note");   // first free column
  EXPECT_EQ(Named(*copy, "Other"), "");
}

TEST_F(RecordAssign, ACopyNeverShowsPasswordsTheUserCouldNotSee) {
  TPwdBaseUser* clerk = AddUser("Clerk", "IU");
  TPwdBaseUser* lister = AddUser("Lister", "IUVM");
  TPwdFolder* open = AddFolder(base, "Open");
  open->SetInheritRights(false);
  open->Permissions->SetEntry(clerk->Guid(), "IUVM", "");
  TPwdFolder* editor = AddFolder(base, "Editor");
  editor->SetInheritRights(false);
  editor->Permissions->SetEntry(clerk->Guid(), "IUV", "");
  TPwdPassword* record = AddRecord(base, "Mail", "joe", "secret");
  TPwdBase other;

  struct Case {
    const char* what;
    TPwdBaseUser* user;
    TPwdFolder* target;
    const char* password;
  } cases[] = {
      {"may see it nowhere", clerk, &base, "secret"},
      {"may see it only in the copy", clerk, open, ""},
      {"may open it only in the copy's editor", clerk, editor, ""},
      {"into another database", clerk, &other, ""},
      {"may see it", lister, &other, "secret"},
  };
  for (const Case& c : cases) {
    base.Logon(c.user->Guid());
    auto* copy = static_cast<TPwdPassword*>(record->CopyTo(*c.target));
    EXPECT_EQ(Text(*copy, kTitle), "Mail") << c.what;
    EXPECT_EQ(Text(*copy, kPassword), c.password) << c.what;
  }
}

TEST_F(RecordAssign, PairedPasswordsAreEmptiedWithoutViewRights) {
  TPwdBaseUser* clerk = AddUser("Clerk", "IU");
  TPwdFolder* to = FolderWith("To", {{"Title", kFieldString, kKindRegular, 0, true},
                                     {"Pwd", kFieldString, kKindPassword, 1, true}});
  TPwdPassword* record = AddRecord(base, "Mail", "joe", "secret");
  base.Logon(clerk->Guid());
  auto* copy = static_cast<TPwdPassword*>(record->CopyTo(*to));
  EXPECT_EQ(Named(*copy, "Title"), "Mail");
  EXPECT_EQ(Named(*copy, "Pwd"), "");
}

TEST_F(RecordAssign, CustomIconsTravelByTheirId) {
  base.Icons.AddIcon("image", "small image");
  TPwdPassword* record = AddRecord(base, "Mail");
  record->Edit();
  record->SetIcon(kBuiltinImages);
  record->Post();
  EXPECT_EQ(LogEntry(LogCount() - 1).FieldNumber, -2);
  EXPECT_EQ(LogEntry(LogCount() - 1).ExtraGuid, base.Icons.Id(0));

  TPwdBase other;
  other.Icons.AddIcon("another", "");
  for (int copies = 0; copies < 2; ++copies) {
    auto* copy = record->CopyTo(other);
    EXPECT_EQ(copy->IconIndex, kBuiltinImages + 1);
  }
  EXPECT_EQ(other.Icons.Count(), 2);  // added once, found the second time
  EXPECT_EQ(other.Icons.Id(1), base.Icons.Id(0));

  // Without "A" on the target database the icon cannot be added.
  TPwdBase guarded;
  guarded.Password = "x";
  auto clerk = std::make_unique<TPwdBaseUser>();
  clerk->SetGuid(TGuid::Create());
  clerk->SetRights("IU");
  const TGuid clerkId = clerk->Guid();
  guarded.Users->Add(std::move(clerk));
  guarded.Logon(clerkId);
  EXPECT_EQ(record->CopyTo(guarded)->IconIndex, 0);
  EXPECT_EQ(guarded.Icons.Count(), 0);
}

}  // namespace
}  // namespace corvane
