// Field structures: the built-in structure, columns, sections, field
// deletion and type changes across records, inheritance and structure-change
// log entries.

#include <gtest/gtest.h>

#include <functional>

#include "engine/field_descs.h"
#include "platform/error.h"
#include "platform/locale.h"
#include "tests/engine/access_fixture.h"

namespace corvane {
namespace {

using testing::kTitle;
using testing::TAccessFixture;

class FieldStructure : public TAccessFixture {
 protected:
  FieldStructure() { SetLocaleForTesting("en_US"); }
  ~FieldStructure() override { SetLocaleForTesting(""); }

  // A record of `folder` with `text` written into `field` (by number).
  TPwdPassword* RecordWith(TPwdFolder& folder, std::int32_t number, const std::string& text) {
    auto* record = static_cast<TPwdPassword*>(folder.Items->AddItem(kItemTypeRecord, false));
    record->Bind()->FieldByNumber(number)->SetAsString(text);
    record->Post();
    return record;
  }

  static std::string Read(TPwdPassword& record, std::int32_t number) { return Text(record, number); }
};

TEST_F(FieldStructure, ANewDatabaseHasTheTenBuiltInFields) {
  TPwdFieldsList& fields = *base.Structure;
  ASSERT_EQ(fields.Count(), 10);
  for (int i = 0; i < 10; ++i) {
    const TDbFieldDescRec& desc = kBuiltinFields[static_cast<std::size_t>(i)];
    EXPECT_EQ(fields[i]->Number, desc.Number);
    EXPECT_EQ(fields[i]->Name, desc.DisplayName);
    EXPECT_EQ(fields[i]->ColumnWidth, desc.Width);
    EXPECT_EQ(fields[i]->ColumnPosition, i);
  }
  EXPECT_EQ(fields.Sections, (std::vector<std::string>{"General", "Advanced"}));
  EXPECT_EQ(fields.FieldByKind(kKindCreated)->Description, "Creation date of record");
  EXPECT_EQ(fields.TitleField()->Number, 0);
  EXPECT_EQ(fields.DisplayField(4)->Number, 8);  // "General" by position
  EXPECT_EQ(fields.DisplayField(5)->Number, 5);  // then "Advanced": Created first
  EXPECT_EQ(base.LastFieldNumber, 9);
  EXPECT_EQ(fields.AddField("PIN", kFieldInteger, kKindRegular)->Number, 10);
}

TEST_F(FieldStructure, TitleFieldPrefersPlainText) {
  TPwdFieldsList fields(nullptr);
  EXPECT_EQ(fields.TitleField(), nullptr);
  TPwdField* date = fields.AddField("Due", kFieldDate, kKindRegular);
  EXPECT_EQ(fields.TitleField(), date);
  TPwdField* url = fields.AddField("Site", kFieldString, kKindUrl);
  EXPECT_EQ(fields.TitleField(), url);
  TPwdField* name = fields.AddField("Name", kFieldString, kKindRegular);
  EXPECT_EQ(fields.TitleField(), name);
}

TEST_F(FieldStructure, ClashingColumnPositionsAreRepaired) {
  TPwdFieldsList fields(nullptr);
  for (const char* name : {"A", "B", "C", "D"}) fields.AddField(name, kFieldString, kKindRegular);
  fields[0]->ColumnPosition = 2;  // same as C
  fields[1]->ColumnPosition = 9;  // no such column
  fields[3]->ColumnVisible = false;
  fields.RebuildColumnMaps();
  // The later field keeps the shared position; the others take the smallest free ones.
  EXPECT_EQ(fields[2]->ColumnPosition, 2);
  EXPECT_EQ(fields[0]->ColumnPosition, 0);
  EXPECT_EQ(fields[1]->ColumnPosition, 1);
  EXPECT_EQ(fields.ColumnMap, (std::vector<std::int32_t>{0, 1, 2, 3}));
  EXPECT_EQ(fields.VisibleColumns, (std::vector<std::int32_t>{0, 1, 2, -1}));

  fields[0]->SetColumnPosition(2);  // A moves right; B and C move left
  EXPECT_EQ(fields.ColumnMap, (std::vector<std::int32_t>{1, 2, 0, 3}));
  EXPECT_EQ(fields.FieldByColumn(2)->Name, "A");
  EXPECT_EQ(fields.VisibleColumn(0)->Name, "B");
  fields[0]->SetColumnPosition(0);
  EXPECT_EQ(fields.ColumnMap, (std::vector<std::int32_t>{0, 1, 2, 3}));
}

TEST_F(FieldStructure, SectionsGrowToAnIndexAndFieldsFallIntoTheLast) {
  TPwdFolder* work = AddFolder(base, "Work");
  work->CreateStructure(1);
  TPwdFieldsList& fields = *work->Structure;
  const int log = LogCount();
  fields.SetSectionName(5, "Extra");
  EXPECT_EQ(fields.Sections, (std::vector<std::string>{"General", "Advanced", "Extra", "Extra", "Extra", "Extra"}));
  EXPECT_EQ(LogCount(), log + 4);
  EXPECT_EQ(LogEntry(log).FieldNumber, -5);
  EXPECT_EQ(LogEntry(log).NewText, "Extra");

  for (int i = 5; i >= 2; --i) fields.SetSectionName(i, "");  // an empty name deletes
  EXPECT_EQ(fields.Sections.size(), 2u);
  TPwdField* field = fields[0];
  field->Category = 7;
  EXPECT_EQ(field->EffectiveCategory(), 1);
  EXPECT_EQ(field->Category, 1);
}

TEST_F(FieldStructure, DeletingAFieldKeepsTheOtherValuesInEveryRecordThatUsesIt) {
  TPwdFolder* work = AddFolder(base, "Work");
  work->CreateStructure(0);
  TPwdFieldsList& fields = *work->Structure;
  fields.AddField("One", kFieldString, kKindRegular, 201);
  fields.AddField("Two", kFieldInteger, kKindRegular, 202);
  fields.AddField("Three", kFieldString, kKindRegular, 203);
  TPwdFolder* inheriting = AddFolder(*work, "Inheriting");
  TPwdFolder* own = AddFolder(*work, "Own");
  own->CreateStructure(2);

  std::vector<TPwdPassword*> records;
  for (TPwdFolder* folder : {work, inheriting}) {
    auto* record = static_cast<TPwdPassword*>(folder->Items->AddItem(kItemTypeRecord, false));
    TPwdFieldsList& bound = *record->Bind();
    bound[0]->SetAsString("first " + folder->Name);
    bound[1]->SetAsInteger(7);
    bound[2]->SetAsString("third");
    record->Post();
    records.push_back(record);
  }
  auto* other = static_cast<TPwdPassword*>(own->Items->AddItem(kItemTypeRecord, false));
  other->Bind()->FieldByNumber(-2 - 202)->SetAsInteger(9);
  other->Post();

  fields.DeleteField(1);
  ASSERT_EQ(fields.Count(), 2);
  EXPECT_EQ(fields[0]->Index, 0);
  EXPECT_EQ(fields[1]->Index, 1);
  EXPECT_EQ(fields[1]->ColumnPosition, 1);
  for (TPwdPassword* record : records) {
    EXPECT_EQ(Read(*record, 201), "first " + record->ParentFolder()->Name);
    EXPECT_EQ(Read(*record, 203), "third");
  }
  EXPECT_EQ(Read(*other, -2 - 202), "9");  // its own structure is untouched
}

TEST_F(FieldStructure, TypeChangesConvertThroughTheText) {
  TPwdFieldsList& fields = *base.Structure;
  struct Case {
    std::uint8_t from;
    const char* text;
    std::uint8_t to;
    const char* result;
  } cases[] = {
      {kFieldString, "12ab", kFieldInteger, "12"},
      {kFieldString, "12ab", kFieldCheckbox, "+"},
      {kFieldString, "+", kFieldCheckbox, ""},
      {kFieldCheckbox, "1", kFieldString, "+"},
      {kFieldCheckbox, "", kFieldString, ""},
      {kFieldDate, "12/10/2026", kFieldString, "12/10/2026"},
      {kFieldDate, "", kFieldString, ""},
      {kFieldInteger, "-5", kFieldFloat, "-5"},
  };
  for (const Case& c : cases) {
    TPwdField* field = fields.AddField("Converted", c.from, kKindRegular);
    TPwdPassword* record = RecordWith(base, field->Number, c.text);
    TPwdPassword* neighbour = RecordWith(base, kTitle, "kept");
    field->SetFieldType(c.to);
    EXPECT_EQ(field->FieldType, c.to);
    EXPECT_EQ(Read(*record, field->Number), c.result) << c.text;
    EXPECT_EQ(Read(*neighbour, kTitle), "kept");
    record->Delete();
    neighbour->Delete();
    fields.DeleteField(field->Index);
  }
}

TEST_F(FieldStructure, DefinitionChangesNeedTheirRightsAndChangeNothingWithout) {
  TPwdBaseUser* clerk = AddUser("Clerk", "IUD");
  TPwdField* title = base.Structure->FieldByNumber(kTitle);
  base.Logon(clerk->Guid());
  const std::function<void()> refused[] = {
      [&] { base.Structure->AddField("X", kFieldString, kKindRegular); },
      [&] { base.Structure->DeleteField(0); },
      [&] { title->SetFieldType(kFieldInteger); },
      [&] { title->SetKind(kKindPassword); },
  };
  for (const auto& action : refused) EXPECT_THROW(action(), TError);
  EXPECT_EQ(base.Structure->Count(), 10);
  EXPECT_EQ(title->FieldType, kFieldString);
  EXPECT_EQ(title->Kind, kKindRegular);
  title->SetName("Name");  // needs no right
  EXPECT_EQ(title->Name, "Name");
}

TEST_F(FieldStructure, OneStructureEntryPerFieldAndFolderStamp) {
  TPwdFolder* work = AddFolder(base, "Work");
  work->CreateStructure(1);
  work->Edit();
  const int log = LogCount();
  TPwdField* pin = work->Structure->AddField("PIN", kFieldInteger, kKindRegular);
  pin->SetName("Code");
  pin->SetDescription("the door code");
  work->Structure->DeleteField(pin->Index);
  ASSERT_EQ(LogCount(), log + 1);
  EXPECT_EQ(LogEntry(log).FieldNumber, -4);
  EXPECT_EQ(LogEntry(log).OldText, "");
  EXPECT_EQ(LogEntry(log).NewText, "PIN");
  EXPECT_EQ(LogEntry(log).ItemGuid, work->Guid);
  work->Post();

  work->Edit();
  work->Structure->FieldByNumber(kTitle)->SetName("Name");
  ASSERT_EQ(LogCount(), log + 2);
  EXPECT_EQ(LogEntry(log + 1).OldText, "Title");
  EXPECT_EQ(LogEntry(log + 1).NewText, "Name");
  EXPECT_EQ(LogEntry(log + 1).ExtraGuid, work->Structure->FieldByNumber(kTitle)->Guid);
  work->Post();
}

TEST_F(FieldStructure, StructureModesAndComparison) {
  TPwdFolder* work = AddFolder(base, "Work");
  EXPECT_FALSE(work->HasOwnStructure());
  EXPECT_EQ(work->EffectiveStructure(), base.Structure.get());

  work->CreateStructure(2);  // an independent copy, numbers to be renewed
  TPwdFieldsList& copy = *work->Structure;
  ASSERT_EQ(copy.Count(), 10);
  EXPECT_EQ(copy[0]->Number, -2);
  EXPECT_EQ(copy[4]->Number, -10);
  EXPECT_EQ(copy[4]->Guid, (*base.Structure)[4]->Guid);
  EXPECT_TRUE(copy.SameStructure(*base.Structure));
  copy[0]->AssignNewNumber();
  EXPECT_EQ(copy[0]->Number, base.LastFieldNumber);

  copy[1]->SetName("Login");
  EXPECT_FALSE(copy.SameStructure(*base.Structure));
  work->CreateStructure(0);
  EXPECT_EQ(work->Structure->Count(), 0);
  EXPECT_TRUE(work->Structure->Sections.empty());
  TPwdFolder* below = AddFolder(*work, "Below");
  EXPECT_EQ(below->EffectiveStructure(), work->Structure.get());
}

TEST_F(FieldStructure, CopiedFieldNumbersAreNotHandedOutAgain) {
  TPwdFolder* work = AddFolder(base, "Work");
  work->CreateStructure(1);
  TPwdField* pin = work->Structure->AddField("PIN", kFieldInteger, kKindRegular, 150);
  TPwdBase other;
  ASSERT_EQ(other.LastFieldNumber, 9);
  auto* copy = static_cast<TPwdFolder*>(work->CopyTo(other));
  ASSERT_TRUE(copy->HasOwnStructure());
  EXPECT_EQ(copy->Structure->FieldByNumber(150)->Guid, pin->Guid);
  EXPECT_EQ(other.Structure->AddField("Next", kFieldString, kKindRegular)->Number, 151);
}

}  // namespace
}  // namespace corvane
