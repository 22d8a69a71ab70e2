// Record values: the value area, text forms and conversions, viewing rules,
// logging of value changes and default values.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "platform/error.h"
#include "platform/locale.h"
#include "tests/engine/access_fixture.h"

namespace corvane {
namespace {

using testing::kPassword;
using testing::kTitle;
using testing::TAccessFixture;

class FieldValues : public TAccessFixture {
 protected:
  FieldValues() { SetLocaleForTesting("en_US"); }
  ~FieldValues() override { SetLocaleForTesting(""); }

  TPwdField* AddField(const std::string& name, std::uint8_t type, std::uint8_t kind = kKindRegular) {
    return base.Structure->AddField(name, type, kind);
  }

  // Writes `text` into `field` of a new record and returns what reads back.
  std::string RoundTrip(TPwdField& field, const std::string& text) {
    auto* record = static_cast<TPwdPassword*>(base.Items->AddItem(kItemTypeRecord, false));
    record->Bind();
    field.SetAsString(text);
    record->Post();
    record->Bind();
    return field.AsString();
  }
};

TEST_F(FieldValues, ARecordOlderThanAFieldReadsItAsEmpty) {
  TPwdPassword* record = AddRecord(base, "Mail", "joe", "secret");
  TPwdField* note = AddField("Note", kFieldString);
  TPwdField* pin = AddField("PIN", kFieldInteger);
  TPwdField* done = AddField("Done", kFieldCheckbox);
  TPwdField* due = AddField("Due", kFieldDate);
  record->Bind();
  EXPECT_EQ(note->AsString(), "");
  EXPECT_EQ(pin->AsInteger(), 0);
  EXPECT_FALSE(done->AsBoolean());
  EXPECT_EQ(due->AsString(), "");
  EXPECT_EQ(Text(*record, kPassword), "secret");

  // Writing a later field leaves the earlier values where they were.
  record->Edit();
  record->Bind();
  pin->SetAsInteger(-42);
  note->SetAsString("long note text");
  record->Post();
  record->Bind();
  EXPECT_EQ(pin->AsInteger(), -42);
  EXPECT_EQ(note->AsString(), "long note text");
  EXPECT_EQ(Text(*record, kTitle), "Mail");
}

TEST_F(FieldValues, TextIsConvertedByTheFieldType) {
  TPwdField* pin = AddField("PIN", kFieldInteger);
  TPwdField* done = AddField("Done", kFieldCheckbox);
  TPwdField* rate = AddField("Rate", kFieldFloat);
  TPwdField* due = AddField("Due", kFieldDate);
  struct Case {
    TPwdField* field;
    const char* text;
    const char* result;
  } cases[] = {
      {pin, "12ab", "12"},     {pin, "-7", "-7"},         {pin, "abc", "0"},
      {pin, "", "0"},          {pin, "99999999999", "2147483647"},
      {done, "1", "+"},        {done, "5x", "+"},         {done, "0", ""},
      {done, "+", ""},         {done, "", ""},
      {rate, "1.5", "1.5"},    {rate, "x", "0"},
      {due, "12/10/2026", "12/10/2026"},                  {due, "not a date", ""},
      {due, "", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(RoundTrip(*c.field, c.text), c.result) << c.field->Name << " " << c.text;
}

TEST_F(FieldValues, PasswordsAreHiddenFromUsersWithoutBothViewRights) {
  TPwdPassword* record = AddRecord(base, "Mail", "joe", "secret");
  TPwdBaseUser* viewer = AddUser("Viewer", "V");
  TPwdBaseUser* lister = AddUser("Lister", "VM");
  TPwdField* password = record->Bind()->FieldByNumber(kPassword);
  TPwdField* title = record->Bind()->FieldByNumber(kTitle);

  base.Logon(viewer->Guid());
  record->Bind();
  EXPECT_EQ(password->AsString(), "******");
  EXPECT_EQ(password->GetRawValue(), "");
  EXPECT_EQ(title->AsString(), "Mail");
  password->ForceReveal = true;
  EXPECT_EQ(password->AsString(), "secret");
  password->ForceReveal = false;

  base.Logon(lister->Guid());
  EXPECT_EQ(password->AsString(), "secret");

  // A user without any entry on the record sees none of its values.
  base.Logon(TGuid{});
  record->SetInheritRights(false);
  record->Permissions->Clear();
  record->Permissions->SetEntry(viewer->Guid(), "V", "");
  base.Logon(lister->Guid());
  EXPECT_EQ(title->AsString(), "******");
}

TEST_F(FieldValues, ValueChangesAreLoggedExceptForSystemFields) {
  TPwdPassword* record = AddRecord(base, "Mail", "joe", "secret");
  TPwdFieldsList& fields = *record->Bind();
  record->Edit();
  const int log = LogCount();
  fields.FieldByNumber(kPassword)->SetAsString("new");
  fields.FieldByKind(kKindCreated)->SetAsDate(1000);
  fields.FieldByKind(kKindExpires)->SetAsDate(47000);
  fields.FieldByNumber(kTitle)->SetAsString("Mail");  // unchanged
  ASSERT_EQ(LogCount(), log + 2);
  EXPECT_EQ(LogEntry(log).FieldNumber, kPassword);
  EXPECT_EQ(LogEntry(log).OldText, "secret");  // passwords are logged in clear
  EXPECT_EQ(LogEntry(log).NewText, "new");
  EXPECT_EQ(LogEntry(log + 1).FieldNumber, fields.FieldByKind(kKindExpires)->Number);
  record->Post();
}

TEST_F(FieldValues, ADamagedLengthInTheValueAreaIsCutToWhatIsThere) {
  TPwdPassword* record = AddRecord(base, "Mail", "joe");
  std::string area = record->ValueArea;
  const std::int32_t huge = 0x7FFFFFF0;
  std::memcpy(area.data(), &huge, 4);  // the title's length
  record->ValueArea = area;
  record->ValueOffsets.clear();
  record->LayoutValues();
  EXPECT_EQ(record->ValueArea.size(), area.size() + 4 * 6 + 8 * 3);  // the rest reads empty
  TPwdField* title = record->Bind()->FieldByNumber(kTitle);
  EXPECT_EQ(title->AsString().size(), area.size() - 4);
}

TEST_F(FieldValues, AStructureARecordHasLeftNoLongerReadsIt) {
  TPwdFolder* work = AddFolder(base, "Work");
  TPwdPassword* record = AddRecord(*work, "Mail", "joe", "secret");
  TPwdField* oldTitle = record->Bind()->FieldByNumber(kTitle);
  work->CreateStructure(0);  // the record now follows an empty structure
  work->Structure->AddField("Code", kFieldInteger, kKindRegular);
  record->Bind();  // laid out by the new structure
  EXPECT_EQ(oldTitle->AsString(), "");
  record->Edit();
  EXPECT_THROW(oldTitle->SetAsString("x"), TError);
  record->Cancel();
}

TEST_F(FieldValues, DefaultValuesAreKeptInANeutralForm) {
  TPwdField* pin = AddField("PIN", kFieldInteger);
  TPwdField* rate = AddField("Rate", kFieldFloat);
  TPwdField* due = AddField("Due", kFieldDate);
  TPwdField* note = AddField("Note", kFieldString);
  struct Case {
    TPwdField* field;
    const char* text;
    const char* stored;
    const char* shown;
  } cases[] = {
      {pin, "42", "42", "42"},
      {rate, "2.5", "2.5", "2.5"},
      {rate, "", "", "0"},
      {due, "12/10/2026", "46366", "12/10/2026"},
      {due, "", "", ""},
      {note, "any text", "any text", "any text"},
  };
  for (const Case& c : cases) {
    c.field->SetDefaultValue(c.text);
    EXPECT_EQ(c.field->DefaultValue, c.stored) << c.text;
    EXPECT_EQ(c.field->DefaultValueText(), c.shown) << c.text;
  }

  SetLocaleForTesting("de_DE");
  rate->SetDefaultValue("3,25");
  EXPECT_EQ(rate->DefaultValue, "3.25");
  EXPECT_EQ(rate->DefaultValueText(), "3,25");

  for (const char* bad : {"4.5", "x"}) {
    try {
      pin->SetDefaultValue(bad);
      ADD_FAILURE() << bad;
    } catch (const TError& e) {
      EXPECT_STREQ(e.what(), "Invalid field value.");
    }
  }
  EXPECT_EQ(pin->DefaultValue, "42");
}

}  // namespace
}  // namespace corvane
