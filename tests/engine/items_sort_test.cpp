// Sorting a folder's items by a field, and the stored and local sort settings.

#include <gtest/gtest.h>

#include "platform/locale.h"
#include "tests/engine/access_fixture.h"

namespace corvane {
namespace {

using testing::kTitle;
using testing::TAccessFixture;

class Sorting : public TAccessFixture {
 protected:
  Sorting() {
    SetLocaleForTesting("en_US");
    date = base.Structure->AddField("Due", kFieldDate, kKindRegular);
    count = base.Structure->AddField("Count", kFieldInteger, kKindRegular);
    work = AddFolder(base, "Work");
    struct Row {
      const char* title;
      const char* due;
      const char* count;
    } rows[] = {{"b", "2/1/2027", "10"}, {"A", "12/10/2026", "-5"}, {"c", "3/15/2025", "9"}};
    for (const Row& row : rows) {
      auto* record = static_cast<TPwdPassword*>(work->Items->AddItem(kItemTypeRecord, false));
      TPwdFieldsList& fields = *record->Bind();
      fields.FieldByNumber(kTitle)->SetAsString(row.title);
      date->SetAsString(row.due);
      count->SetAsString(row.count);
      record->Post();
    }
    AddFolder(*work, "z folder");
  }
  ~Sorting() override { SetLocaleForTesting(""); }

  std::string Order() {
    std::string order;
    for (TPwdItem* item : work->Items->Items())
      order += item->IsFolder() ? std::string("/") : Text(*static_cast<TPwdPassword*>(item), kTitle);
    return order;
  }

  TPwdField* date;
  TPwdField* count;
  TPwdFolder* work;
};

TEST_F(Sorting, ByTheFieldTypeFoldersFirst) {
  struct Case {
    std::int32_t column;
    bool descending;
    const char* order;
  } cases[] = {
      {kTitle, false, "/Abc"},  // text ignores case
      {kTitle, true, "/cbA"},
      {-1, false, "/Abc"},      // no column: the first visible one
  };
  for (const Case& c : cases) {
    work->SetSortColumn(c.column);
    work->SetSortDescending(c.descending);
    work->SortItems(*work->Items);
    EXPECT_EQ(Order(), c.order) << c.column << (c.descending ? " down" : " up");
    EXPECT_EQ(work->SortField, 0);
  }
  work->SetSortDescending(false);
  work->SetSortColumn(date->Number);
  work->SortItems(*work->Items);
  EXPECT_EQ(Order(), "/cAb");  // by date, not by the text of the date
  EXPECT_EQ(work->SortField, date->Index);
  work->SetSortColumn(count->Number);
  work->SortItems(*work->Items);
  EXPECT_EQ(Order(), "/Acb");  // signed numbers
}

TEST_F(Sorting, UsersWhoMayNotChangeTheFolderSortLocally) {
  TPwdBaseUser* reader = AddUser("Reader", "V");
  base.Modified = 0;
  base.Logon(reader->Guid());
  work->SetSortColumn(count->Number);
  work->SetSortDescending(true);
  EXPECT_EQ(work->SortColumn, -1);
  EXPECT_EQ(work->LocalSortColumn, count->Number);
  EXPECT_EQ(work->ActiveSortColumn(), count->Number);
  EXPECT_TRUE(work->ActiveSortDescending());
  EXPECT_FALSE(base.Modified);

  base.Logon(TGuid{});
  work->SetSortColumn(kTitle);
  EXPECT_EQ(work->SortColumn, kTitle);
  EXPECT_FALSE(base.Modified);  // sort orders are not remembered
  base.OptionFlags |= TPwdBase::kRememberSortOrder;
  work->SetSortColumn(date->Number);
  EXPECT_TRUE(base.Modified);
}

}  // namespace
}  // namespace corvane
