// The field-structure editor's lists, its dialogs' checks, the inheritance
// question and the commit into a folder's structure.

#include "app/field_structure_edit.h"

#include <gtest/gtest.h>

#include "app/field_properties.h"
#include "app/field_structure_choice.h"
#include "app/message_box.h"
#include "engine/messages.h"
#include "platform/locale.h"
#include "tests/app/scripted_front_end.h"
#include "tests/engine/access_fixture.h"
#include "tests/support/error_of.h"

namespace corvane {
namespace {

using testing::kPassword;
using testing::kTitle;
using testing::kUserName;
using testing_support::ErrorOf;

constexpr std::int32_t kAccount = 2;
constexpr std::int32_t kDescription = 4;
constexpr std::int32_t kCreated = 5;

class FieldStructureEdit : public testing::TAccessFixture {
 protected:
  FieldStructureEdit() {
    SetLocaleForTesting("en_US");
    work = AddFolder(base, "Work");
    mail = AddFolder(*work, "Mail");
    bank = AddRecord(base, "Bank", "me", "hunter2");
    gmail = AddRecord(*mail, "Gmail", "me@example.org", "secret");
  }
  ~FieldStructureEdit() override { SetLocaleForTesting(""); }

  // The editor's record of the field shown with `number`.
  static TPwdFieldRec& Rec(TFieldStructureEdit& edit, std::int32_t number) {
    for (TPwdFieldRec& rec : edit.fields)
      if (rec.identifier == number || rec.identifier == -2 - number) return rec;
    throw std::runtime_error("no such field");
  }
  static void Drop(TFieldStructureEdit& edit, std::int32_t number) {
    std::erase_if(edit.fields,
                  [&](const TPwdFieldRec& rec) { return rec.identifier == number || rec.identifier == -2 - number; });
  }
  // Field names of `folder` in the record editor's order.
  static std::vector<std::string> Names(const TPwdFolder& folder) {
    std::vector<std::string> names;
    const TPwdFieldsList& structure = *folder.EffectiveStructure();
    for (int i = 0; i < structure.Count(); ++i) names.push_back(structure.DisplayField(i)->Name);
    return names;
  }

  TPwdFolder* work;
  TPwdFolder* mail;
  TPwdPassword* bank;
  TPwdPassword* gmail;
};

TEST_F(FieldStructureEdit, TheListsFollowTheRecordEditorsOrderAndMarkInheritedFields) {
  base.Structure->FieldByNumber(kTitle)->SetDefaultValue("Untitled");
  const TFieldStructureEdit own = ReadFieldStructureEdit(base);
  EXPECT_EQ(own.sections, (std::vector<std::string>{"General", "Advanced"}));
  ASSERT_EQ(own.fields.size(), 10u);
  EXPECT_EQ(own.fields[4].identifier, kPassword);  // "General" by position
  EXPECT_EQ(own.fields[5].identifier, kCreated);   // then "Advanced"
  EXPECT_EQ(own.fields[5].section, 1);
  EXPECT_EQ(own.fields[0].defaultValue, "Untitled");

  const TFieldStructureEdit inherited = ReadFieldStructureEdit(*mail);
  EXPECT_EQ(inherited.fields[0].identifier, -2 - kTitle);
  EXPECT_EQ(inherited.fields[4].identifier, -2 - kPassword);
}

TEST_F(FieldStructureEdit, ACommitRenamesDeletesAddsAndReordersSectionBySection) {
  TFieldStructureEdit edit = ReadFieldStructureEdit(base);
  Rec(edit, kUserName).name = "Login";
  Drop(edit, kAccount);
  TPwdFieldRec pin;
  pin.name = "PIN";
  pin.fieldType = kFieldInteger;
  pin.section = 0;
  pin.order = 100;  // last of "General"
  edit.fields.push_back(pin);
  Rec(edit, kDescription).section = 0;
  Rec(edit, kDescription).order = -1;  // first of "General"
  edit.sections = {"Main", "More"};
  const std::int32_t lastNumber = base.LastFieldNumber;

  CommitFieldStructureEdit(base, base.Guid, edit);

  const TPwdFieldsList& structure = *base.Structure;
  EXPECT_EQ(structure.Sections, (std::vector<std::string>{"Main", "More"}));
  EXPECT_EQ(Names(base), (std::vector<std::string>{"Description", "Title", "Login", "URL", "Password", "PIN",
                                                   "Created", "Modified", "Modified by", "Expire on"}));
  for (int i = 0; i < structure.Count(); ++i) EXPECT_EQ(structure.DisplayField(i)->Position, i);
  EXPECT_EQ(structure.FieldByNumber(kAccount), nullptr);
  EXPECT_EQ(structure.FieldByName("PIN")->Number, lastNumber + 1);
  // The values of the other fields stay, in the folder and below it.
  EXPECT_EQ(Text(*bank, kUserName), "me");
  EXPECT_EQ(Text(*bank, kPassword), "hunter2");
  EXPECT_EQ(Text(*gmail, kPassword), "secret");
  EXPECT_EQ(bank->Bind()->FieldByName("PIN")->AsString(), "0");  // added: empty in every record
}

TEST_F(FieldStructureEdit, AnInheritingFolderGetsItsOwnCopyWithNewNumbers) {
  TFieldStructureEdit edit = ReadFieldStructureEdit(*mail);
  Rec(edit, kTitle).name = "Service";
  const TGuid titleGuid = base.Structure->FieldByNumber(kTitle)->Guid;

  CommitFieldStructureEdit(base, mail->Guid, edit);

  ASSERT_TRUE(mail->HasOwnStructure());
  EXPECT_FALSE(work->HasOwnStructure());
  EXPECT_EQ(base.Structure->FieldByNumber(kTitle)->Name, "Title");
  const TPwdFieldsList& copy = *mail->Structure;
  ASSERT_EQ(copy.Count(), 10);
  for (int i = 0; i < copy.Count(); ++i) EXPECT_GT(copy[i]->Number, 9) << copy[i]->Name;
  EXPECT_EQ(copy.FieldByName("Service")->Guid, titleGuid);
  EXPECT_EQ(gmail->Bind()->FieldByName("Service")->AsString(), "Gmail");
  EXPECT_EQ(gmail->Bind()->FieldByName("User name")->AsString(), "me@example.org");
}

TEST_F(FieldStructureEdit, ATypeChangeConvertsTheValuesThroughTheirText) {
  struct TCase {
    std::string text;
    std::uint8_t type;
    std::string converted;
  };
  const TCase cases[] = {
      {"12abc", kFieldInteger, "12"}, {"12abc", kFieldCheckbox, "+"}, {"+", kFieldCheckbox, ""},
      {"1.5", kFieldFloat, "1.5"},    {"soon", kFieldDate, ""},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.text + " to " + std::to_string(c.type));
    TPwdFolder* folder = AddFolder(base, "F" + std::to_string(&c - cases));
    TPwdPassword* record = AddRecord(*folder, "R");
    TFieldStructureEdit edit = ReadFieldStructureEdit(*folder);
    CommitFieldStructureEdit(base, folder->Guid, edit);  // an own structure
    const std::int32_t account = folder->Structure->FieldByName("Account")->Number;
    EditText(*record, account, c.text);

    edit = ReadFieldStructureEdit(*folder);
    Rec(edit, account).fieldType = c.type;
    CommitFieldStructureEdit(base, folder->Guid, edit);
    EXPECT_EQ(Text(*record, account), c.converted);
  }
}

TEST_F(FieldStructureEdit, AFailedCheckChangesNothing) {
  struct TCase {
    std::string what;
    std::function<void(TFieldStructureEdit&)> change;
    std::string message;
    int fieldIndex;  // -1: not a field's error
  };
  const TCase cases[] = {
      {"blank section", [](auto& e) { e.sections[1] = "  "; }, "Please enter section name.", -1},
      {"bad integer default",
       [](auto& e) {
         Rec(e, kAccount).fieldType = kFieldInteger;
         Rec(e, kAccount).defaultValue = "12x";
       },
       "Invalid field value.", 2},
      {"default not predefined",
       [](auto& e) {
         Rec(e, kAccount).subtype = kKindPredefined;
         Rec(e, kAccount).values = "A\r\nB";
         Rec(e, kAccount).defaultValue = "C";
       },
       "Invalid field value.", 2},
      {"unknown number", [](auto& e) { e.fields[0].identifier = 77; }, "The structure has no field number 77.", 0},
      {"number twice", [](auto& e) { e.fields[1].identifier = kTitle; }, "The field number 0 is listed more than once.",
       1},
      {"type not offered", [](auto& e) { Rec(e, kAccount).fieldType = kFieldGuid; },
       "The field 'Account' cannot take the type 5.", 2},
      {"program's kind for a new field",
       [](auto& e) {
         TPwdFieldRec rec;
         rec.name = "Stamp";
         rec.subtype = kKindCreated;
         e.fields.push_back(rec);
       },
       "The field 'Stamp' cannot take the kind 240.", 10},
      {"program's field retyped", [](auto& e) { Rec(e, kCreated).fieldType = kFieldString; },
       "The field 'Created' is filled in by the program; only its name and section can change.", 5},
      {"program's field deleted", [](auto& e) { Drop(e, kCreated); },
       "The field 'Created' is filled in by the program and cannot be deleted.", -1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    TFieldStructureEdit edit = ReadFieldStructureEdit(base);
    Rec(edit, kTitle).name = "Renamed";  // would change if the check came late
    c.change(edit);
    const int logCount = LogCount();
    try {
      CommitFieldStructureEdit(base, base.Guid, edit);
      ADD_FAILURE() << "no error";
    } catch (const TFieldRecError& error) {
      EXPECT_EQ(error.what(), c.message);
      EXPECT_EQ(static_cast<int>(error.FieldIndex()), c.fieldIndex);
    } catch (const TError& error) {
      EXPECT_EQ(error.what(), c.message);
      EXPECT_EQ(c.fieldIndex, -1);
    }
    EXPECT_EQ(base.Structure->FieldByNumber(kTitle)->Name, "Title");
    EXPECT_EQ(base.Structure->Count(), 10);
    EXPECT_EQ(LogCount(), logCount);
  }
}

TEST_F(FieldStructureEdit, TheFolderMustExistAndTheUserBeAnAdministrator) {
  TFieldStructureEdit edit = ReadFieldStructureEdit(*work);
  EXPECT_EQ(ErrorOf([&] { CommitFieldStructureEdit(base, TGuid::Create(), edit); }),
            "Folder was deleted by other user.");
  EXPECT_EQ(ErrorOf([&] { CommitFieldStructureEdit(base, gmail->Guid, edit); }), "Folder was deleted by other user.");
  base.Logon(AddUser("Clerk", "IUDV")->Guid());
  EXPECT_EQ(ErrorOf([&] { CommitFieldStructureEdit(base, work->Guid, edit); }), spwdaccessdenied);
  EXPECT_FALSE(work->HasOwnStructure());
}

TEST_F(FieldStructureEdit, EachCommitLogsEveryChangedFieldOnce) {
  for (const std::string name : {"Login", "Account name"}) {
    SCOPED_TRACE(name);
    TFieldStructureEdit edit = ReadFieldStructureEdit(base);
    Rec(edit, kAccount).name = name;
    Rec(edit, kAccount).description = "the account";
    Rec(edit, kAccount).section = 1;
    const int before = LogCount();
    CommitFieldStructureEdit(base, base.Guid, edit);
    // The first change of a field writes its entry (the rename: old and new
    // name); its later changes in the same commit add none.
    int accountEntries = 0;
    for (int i = before; i < LogCount(); ++i) {
      const TPwdBaseChangeRec& entry = LogEntry(i);
      if (entry.FieldNumber == -4 && (entry.NewText == name || entry.OldText == name)) ++accountEntries;
    }
    EXPECT_EQ(accountEntries, 1);
  }
  EXPECT_EQ(base.Structure->FieldByNumber(kAccount)->Name, "Account name");
}

TEST_F(FieldStructureEdit, TheFieldDialogChecksTheDefaultValue) {
  TPwdFieldRec predefined;
  predefined.subtype = kKindPredefined;
  predefined.values = "A\n \nB";
  predefined.defaultValue = "b";
  CheckFieldProperties(predefined);
  EXPECT_EQ(predefined.values, "A\r\nB");
  predefined.defaultValue = "";
  predefined.values = "A\n\nB";
  CheckFieldProperties(predefined);
  EXPECT_EQ(predefined.values, "A\n\nB");  // kept as typed

  struct TCase {
    std::uint8_t type;
    std::string defaultValue;
    bool valid;
  };
  for (const TCase& c : {TCase{kFieldInteger, "42", true}, TCase{kFieldInteger, "4x", false},
                         TCase{kFieldDate, "1/2/2020", true}, TCase{kFieldDate, "soon", false},
                         TCase{kFieldFloat, "1.5", true}, TCase{kFieldFloat, "1,5", false},
                         TCase{kFieldString, "anything", true}}) {
    TPwdFieldRec rec;
    rec.fieldType = c.type;
    rec.defaultValue = c.defaultValue;
    EXPECT_EQ(ErrorOf([&] { CheckFieldProperties(rec); }), c.valid ? "(no error)" : "Invalid field value.")
        << c.defaultValue;
  }
  EXPECT_EQ(ErrorOf([] { CheckSectionName(" \t "); }), "Please enter section name.");
  EXPECT_EQ(CheckSectionName("  Notes "), "Notes");
}

TEST_F(FieldStructureEdit, OnlyATypeChangeThatMayLoseDataAsks) {
  EXPECT_FALSE(TypeChangeAsks(kFieldDate, kFieldString));
  EXPECT_FALSE(TypeChangeAsks(kFieldInteger, kFieldFloat));
  EXPECT_TRUE(TypeChangeAsks(kFieldFloat, kFieldInteger));
  EXPECT_TRUE(TypeChangeAsks(kFieldString, kFieldDate));
}

TEST_F(FieldStructureEdit, TheInheritanceQuestionChoosesTheEditedStructure) {
  testing::TScriptedFrontEnd frontEnd;
  TFrontEndInstallation installed(frontEnd);
  EXPECT_EQ(ChooseStructureFolder(base), &base);
  EXPECT_TRUE(frontEnd.messages.empty());  // an own structure asks nothing

  base.Name = "Private";
  frontEnd.messageAnswers = {kIdYes, kIdNo, kIdCancel};
  EXPECT_EQ(ChooseStructureFolder(*mail), mail);
  EXPECT_EQ(ChooseStructureFolder(*mail), &base);
  EXPECT_EQ(ChooseStructureFolder(*mail), nullptr);
  ASSERT_EQ(frontEnd.messages.size(), 3u);
  EXPECT_EQ(frontEnd.messages[0].text.rfind("This folder inherits fields structure from its parent (Private).\nDo you", 0),
            0u);
  EXPECT_EQ(frontEnd.messages[0].buttons.size(), 3u);
  EXPECT_EQ(frontEnd.messages[0].icon, TMsgIcon::Question);
}

}  // namespace
}  // namespace corvane
