// The field-structure editor's operations on its field and section lists.

#include "app/field_structure_list.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

// Fields "A" to "E": A, B, C in section 0, D, E in section 1; C is new.
TFieldStructureEdit Lists(std::vector<std::string> sections = {"General", "Advanced"}) {
  TFieldStructureEdit edit;
  edit.sections = std::move(sections);
  const struct {
    const char* name;
    std::uint8_t section;
    std::int32_t order, identifier;
  } fields[] = {{"A", 0, 0, 10}, {"B", 0, 1, 11}, {"C", 0, 2, -1}, {"D", 1, 3, 12}, {"E", 1, 4, 13}};
  for (const auto& field : fields) {
    TPwdFieldRec rec;
    rec.name = field.name;
    rec.section = field.section;
    rec.order = field.order;
    rec.identifier = field.identifier;
    edit.fields.push_back(rec);
  }
  return edit;
}

// "name:section" for each field in list order.
std::string Layout(const TFieldStructureEdit& edit) {
  std::string text;
  for (const TPwdFieldRec& rec : edit.fields) text += rec.name + ":" + std::to_string(rec.section) + " ";
  return text;
}

TEST(FieldStructureList, NewFieldsAndFieldsChangingSectionGoToItsEnd) {
  TFieldStructureEdit edit = Lists();
  TPwdFieldRec dialog;
  dialog.name = "N";
  dialog.section = 0;
  dialog.fieldType = kFieldInteger;
  EXPECT_EQ(ApplyFieldProperties(edit, dialog), 3u);
  EXPECT_EQ(Layout(edit), "A:0 B:0 C:0 N:0 D:1 E:1 ");
  EXPECT_EQ(edit.fields[3].identifier, kNewFieldId);
  EXPECT_EQ(edit.fields[3].order, 3);
  EXPECT_EQ(edit.fields[3].fieldType, kFieldInteger);

  dialog = edit.fields[0];
  dialog.section = 1;
  EXPECT_EQ(ApplyFieldProperties(edit, dialog, 0), 5u);
  EXPECT_EQ(Layout(edit), "B:0 C:0 N:0 D:1 E:1 A:1 ");
  EXPECT_EQ(edit.fields[5].order, 5);
}

TEST(FieldStructureList, TheProgramsOwnFieldsTakeOnlyNameAndSection) {
  TFieldStructureEdit edit = Lists();
  edit.fields[0].fieldType = kFieldDate;
  edit.fields[0].subtype = kKindCreated;
  EXPECT_FALSE(FieldDeletable(edit.fields[0]));
  TPwdFieldRec dialog = edit.fields[0];
  dialog.name = "Made";
  dialog.fieldType = kFieldString;
  dialog.description = "changed";
  ApplyFieldProperties(edit, dialog, 0);
  EXPECT_EQ(edit.fields[0].name, "Made");
  EXPECT_EQ(edit.fields[0].fieldType, kFieldDate);
  EXPECT_EQ(edit.fields[0].description, "");
}

TEST(FieldStructureList, OnlyExistingFieldsAskBeforeTheirDeletion) {
  TFieldStructureEdit edit = Lists();
  EXPECT_TRUE(FieldDeleteAsks(edit.fields[0]));
  EXPECT_FALSE(FieldDeleteAsks(edit.fields[2]));
  EXPECT_EQ(DeleteFieldRow(edit, 4), 3u);  // the new last row
  EXPECT_EQ(DeleteFieldRow(edit, 1), 1u);
  EXPECT_EQ(Layout(edit), "A:0 C:0 D:1 ");
}

TEST(FieldStructureList, MovingAcrossASectionBoundaryChangesTheSection) {
  TFieldStructureEdit edit = Lists();
  EXPECT_EQ(MoveFieldRow(edit, 3, /*up=*/true), 2u);  // D, the first of section 1
  EXPECT_EQ(Layout(edit), "A:0 B:0 D:0 C:0 E:1 ");
  EXPECT_EQ(edit.fields[2].order, 2);
  EXPECT_EQ(edit.fields[3].order, 3);
  EXPECT_EQ(MoveFieldRow(edit, 0, true), 0u);  // the first row stays
  EXPECT_EQ(MoveFieldRow(edit, 4, false), 4u);
}

TEST(FieldStructureList, ADeletedSectionsFieldsPassToTheSectionTakingItsPlace) {
  struct TCase {
    std::size_t deleted;
    std::size_t selected;
    std::string layout;
  };
  const TCase cases[] = {
      {1, 1, "A:0 B:0 C:0 D:1 E:1 F:1 "},  // the middle one: into the next
      {2, 1, "A:0 B:0 C:0 D:1 E:1 F:1 "},  // the last one: into the previous
      {0, 0, "A:0 B:0 C:0 D:0 E:0 F:1 "},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.deleted);
    TFieldStructureEdit edit = Lists({"One", "Two", "Three"});
    TPwdFieldRec f;
    f.name = "F";
    f.section = 2;
    f.order = 5;
    edit.fields.push_back(f);
    EXPECT_EQ(DeleteSection(edit, c.deleted), c.selected);
    EXPECT_EQ(edit.sections.size(), 2u);
    EXPECT_EQ(Layout(edit), c.layout);
  }
  TFieldStructureEdit edit = Lists({"Only"});
  EXPECT_EQ(DeleteSection(edit, 0), 0u);
  EXPECT_EQ(Layout(edit), "A:0 B:0 C:0 D:1 E:1 ");  // nothing left: indices stay
}

TEST(FieldStructureList, MovingASectionTakesItsFieldsAlong) {
  TFieldStructureEdit edit = Lists();
  EXPECT_EQ(MoveSection(edit, 1, /*up=*/true), 0u);
  EXPECT_EQ(edit.sections, (std::vector<std::string>{"Advanced", "General"}));
  EXPECT_EQ(Layout(edit), "D:0 E:0 A:1 B:1 C:1 ");
  EXPECT_EQ(MoveSection(edit, 1, false), 1u);
}

}  // namespace
}  // namespace corvane
