// Finding records by a piece of text in the fields the user may see.

#include "app/record_search.h"

#include <gtest/gtest.h>

#include "tests/engine/access_fixture.h"
#include "tests/support/error_of.h"

namespace corvane {
namespace {

using testing_support::ErrorOf;

class RecordSearch : public testing::TAccessFixture {
 protected:
  RecordSearch() {
    work = AddFolder(base, "Work");
    gmail = AddRecord(*work, "Gmail", "me@gmail.com", "Secret42");
    office = AddRecord(base, "B\xFCro", "admin", "mailbox");  // "Büro" in code page 1252
  }

  // "title:field,field title:field" of the matches, for short expectations.
  std::string Found(std::string_view text, std::string_view field = {}) {
    std::string found;
    for (const TRecordMatch& match : SearchRecords(base, text, field)) {
      if (!found.empty()) found += ' ';
      found += match.record->Title() + ':';
      for (std::size_t i = 0; i < match.fields.size(); ++i) found += (i ? "," : "") + match.fields[i]->Name;
    }
    return found;
  }

  TPwdFolder* work;
  TPwdPassword* gmail;
  TPwdPassword* office;
};

TEST_F(RecordSearch, FindsTextWithoutRegardToCaseInTreeOrder) {
  EXPECT_EQ(Found("GMAIL"), "Gmail:Title,User name");
  EXPECT_EQ(Found("\xDCR"), "B\xFCro:Title");  // "ÜR" finds "Büro"
  EXPECT_EQ(Found("mail"), "Gmail:Title,User name B\xFC" "ro:Password");
  EXPECT_EQ(Found("mail", "user NAME"), "Gmail:User name");
  EXPECT_EQ(Found("nowhere"), "");
}

TEST_F(RecordSearch, PasswordsAreSearchedOnlyWithTheRightToViewThem) {
  TPwdBaseUser* clerk = AddUser("Clerk", "IU");
  TPwdBaseUser* viewer = AddUser("Viewer", "V");
  base.Logon(viewer->Guid());
  EXPECT_EQ(Found("secret"), "Gmail:Password");
  base.Logon(clerk->Guid());
  EXPECT_EQ(Found("secret"), "");
  EXPECT_EQ(Found("secret", "Password"), "");
}

TEST_F(RecordSearch, RecordsTheUserMayNotSeeAreNotSearched) {
  TPwdBaseUser* clerk = AddUser("Clerk", "IUV");
  gmail->SetInheritRights(false);
  gmail->Permissions->Clear();
  gmail->Permissions->SetEntry(TGuid{}, "", "");
  base.Logon(clerk->Guid());
  EXPECT_EQ(Found("mail"), "B\xFCro:Password");
}

TEST_F(RecordSearch, RefusesAnEmptyTextAndAFieldNoStructureHas) {
  EXPECT_EQ(ErrorOf([&] { SearchRecords(base, ""); }), std::string(ssearch_emptytext));
  EXPECT_EQ(ErrorOf([&] { SearchRecords(base, "x", "Colour"); }), "No record of the database has a field 'Colour'.");
  // A field of the structure is known even where no record matches.
  EXPECT_EQ(Found("x", "URL"), "");
}

}  // namespace
}  // namespace corvane
