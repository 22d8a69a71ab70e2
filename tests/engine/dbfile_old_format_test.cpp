// Files of older formats: each value is read only from the formats that
// hold it, and what older files lack takes its default or is converted.

#include <gtest/gtest.h>

#include "engine/changelog.h"
#include "tests/engine/dbfile_test_support.h"
#include "tests/engine/old_format_writer.h"

namespace corvane {
namespace {

using namespace corvane::testing;

struct TOldCase {
  std::uint16_t version;
  std::uint16_t build;
  // What the reader must make of the sample.
  bool hasDescription;
  bool hasUsers;          // users, change log, root structure
  bool logChangesRead;
  std::string rights;     // of the sample user
  bool idsStored;         // item ids (else new ones)
  bool iconsStored;       // item icons (else records 1, folders 0)
  bool logUserAndStamp;   // change log operation stamp
  bool databaseIdInBody;
  bool ownSections;
  bool autoFill;
  bool fingerprint;
  bool sortAndOptions;    // sort settings, backup settings, option flags
  bool defaults;          // default values of fields
  bool fieldIds;
  bool logExtraId;
};

void PrintTo(const TOldCase& c, std::ostream* os) { *os << c.version << "/" << c.build; }

class OldFormat : public ::testing::TestWithParam<TOldCase> {};

TEST_P(OldFormat, ReadsWhatTheFormatHolds) {
  const TOldCase& c = GetParam();
  TTempFolder folder;
  const std::string path = folder / "old.dat";
  TOldFormatWriter writer(c.version, c.build);
  WriteText(path, writer.File("pw"));
  auto loaded = OpenFile(path, "pw");
  TPwdBase& base = *loaded;

  EXPECT_EQ(base.FormatVersion, c.version);
  EXPECT_EQ(base.FormatBuild, c.build);
  EXPECT_EQ(base.Name, "Old");
  EXPECT_EQ(base.Description, c.hasDescription ? "Old description" : "");
  EXPECT_EQ(base.LogChanges, c.logChangesRead ? 0 : 1);
  EXPECT_EQ(base.SaveCounter, c.build >= 22000 ? 9u : 1u);
  if (c.build >= 23000 || c.databaseIdInBody)
    EXPECT_EQ(base.Guid, kOldDatabase);
  else
    EXPECT_NE(base.Guid, kOldDatabase);

  if (c.hasUsers) {
    ASSERT_EQ(base.Users->Count(), 2);
    ASSERT_NE(base.Users->FindByName("bob"), nullptr);
    const TPwdBaseUser& bob = *base.Users->FindByName("bob");
    EXPECT_EQ(bob.Name(), "bob");
    EXPECT_EQ(bob.Rights(), c.rights);
    EXPECT_TRUE(bob.Enabled());
    ASSERT_EQ(base.ChangesLog->Count(), 1);
    const TPwdBaseChangeRec& entry = (*base.ChangesLog)[0];
    EXPECT_EQ(entry.FieldNumber, 8);
    EXPECT_EQ(entry.NewText, "new");
    EXPECT_EQ(entry.UserName, c.version >= 196 ? "bob" : "");
    EXPECT_EQ(entry.OperationStamp, c.logUserAndStamp ? kOldStamp : TGuid{});
    EXPECT_EQ(entry.ExtraGuid, c.logExtraId ? kOldExtra : TGuid{});
  } else {
    EXPECT_EQ(base.ChangesLog->Count(), 0);
  }

  TPwdFieldsList& fields = *base.Structure;
  ASSERT_EQ(fields.Count(), 10);
  TPwdField& title = *fields.FieldByNumber(0);
  EXPECT_EQ(title.DefaultValue, c.defaults ? "dflt" : "");
  EXPECT_FALSE(title.Guid.IsNull());
  EXPECT_EQ(title.Guid == kOldField, c.fieldIds);
  EXPECT_EQ(fields.Sections, c.ownSections ? (std::vector<std::string>{"Main", "More"})
                                           : (std::vector<std::string>{"General", "Advanced"}));
  EXPECT_EQ(fields.FieldByKind(kKindModifiedBy)->FieldType, kFieldString);

  ASSERT_EQ(base.Items->Count(), 1);
  TPwdFolder& sub = FolderAt(base, 0);
  EXPECT_EQ(sub.Name, "Folder");
  EXPECT_EQ(sub.IconIndex, c.iconsStored ? 4 : 0);
  EXPECT_EQ(sub.Guid == kOldFolder, c.idsStored);
  EXPECT_EQ(base.SortColumn, c.sortAndOptions ? 2 : -1);
  EXPECT_EQ(base.BackupFolder, c.sortAndOptions ? "backups" : "");
  EXPECT_EQ(base.OptionFlags, c.sortAndOptions ? 1u : 0u);

  ASSERT_EQ(sub.Items->Count(), 1);
  TPwdPassword& record = RecordAt(sub, 0);
  EXPECT_EQ(record.Guid == kOldRecord, c.idsStored);
  EXPECT_EQ(base.FindItem(record.Guid), &record);
  EXPECT_EQ(record.IconIndex, c.iconsStored ? 5 : 1);
  EXPECT_EQ(record.Title(), "T1");
  EXPECT_EQ(record.FieldText(1), "U1");
  EXPECT_EQ(record.FieldText(8), "P1");
  EXPECT_EQ(fields.FieldByNumber(7)->AsDate(), kOldExpires);
  EXPECT_EQ(fields.FieldByNumber(5)->AsDate(), kOldCreated);
  EXPECT_EQ(fields.FieldByNumber(6)->AsDate(), kOldModified);
  if (c.version < 151) {
    EXPECT_EQ(record.FieldText(3), "url");
    EXPECT_EQ(record.FieldText(4), "desc");
    EXPECT_EQ(record.FieldText(2), "acct");
  } else {
    EXPECT_EQ(record.FieldText(9), writer.ModifierIsId() ? std::string(16, 'm') : "bob");
  }
  ASSERT_EQ(record.AutoFill.Count(), c.autoFill ? 1 : 0);
  if (c.autoFill) {
    EXPECT_EQ(record.AutoFill[0].FormName(), "form");
    EXPECT_EQ(record.AutoFill[0][0].ControlName(), "ctl");
    EXPECT_EQ(record.AutoFill[0].GetFingerprint() == "fp", c.fingerprint);
  }

  // Written again, the database is a 2.30 file with the same contents.
  base.Save();
  base.Close();
  auto again = OpenFile(path, "pw");
  EXPECT_EQ(again->FormatBuild, 23000);
  EXPECT_EQ(RecordAt(FolderAt(*again, 0), 0).FieldText(8), "P1");
  if (c.hasUsers) {
    EXPECT_EQ(again->Users->FindByName("bob")->Rights(), c.rights);
  }
}

// One case on each side of every version boundary of the reader.
//  version build   descr users logch rights        ids   icons logus dbid  sect  fill  fprnt sort  dflt  fid   lxid
const TOldCase kOldCases[] = {
    {95, 9500, false, false, false, "", false, false, false, false, false, false, false, false, false, false, false},
    {150, 15000, false, false, false, "", false, false, false, false, false, false, false, false, false, false, false},
    {151, 15100, false, false, false, "", true, false, false, false, false, false, false, false, false, false, false},
    {160, 16000, false, true, false, "IUDPVMLSF", true, false, false, false, false, false, false, false, false, false, false},
    {170, 17000, false, true, true, "IUDPVMLSF", true, false, false, false, false, false, false, false, false, false, false},
    {180, 18000, false, true, true, "IUDPVMLSF", true, false, false, false, false, false, false, false, false, false, false},
    {194, 19400, false, true, true, "IUDPVMLSF", true, false, false, false, false, false, false, false, false, false, false},
    {195, 19500, true, true, true, "IUDPMLSF", true, false, false, false, false, false, false, false, false, false, false},
    {196, 19600, true, true, true, "IUDPMLSF", true, true, false, false, false, false, false, false, false, false, false},
    {197, 19700, true, true, true, "IUDPMLSF", true, true, false, false, false, false, false, false, false, false, false},
    {198, 19800, true, true, true, "IUDPMLSF", true, true, true, false, false, false, false, false, false, false, false},
    {199, 19900, true, true, true, "IUDPMLSF", true, true, true, true, false, false, false, false, false, false, false},
    {200, 20000, true, true, true, "IUDPMLSF", true, true, true, true, true, false, false, false, false, false, false},
    {201, 20100, true, true, true, "IUDPMLSF", true, true, true, true, true, true, false, false, false, false, false},
    {210, 21000, true, true, true, "IUDPMLSF", true, true, true, true, true, true, false, false, false, false, false},
    {211, 21100, true, true, true, "IUDPMLSF", true, true, true, true, true, true, false, false, false, false, false},
    {212, 21200, true, true, true, "IUDPMLSF", true, true, true, true, true, true, false, false, false, false, false},
    {213, 21300, true, true, true, "IUDPMLSF", true, true, true, true, true, true, false, false, false, false, false},
    {215, 21500, true, true, true, "IUDPMLSF", true, true, true, true, true, true, false, false, false, false, false},
    {216, 21600, true, true, true, "IUDPMLSF", true, true, true, true, true, true, false, false, false, false, false},
    {217, 21700, true, true, true, "IUDP", true, true, true, true, true, true, false, false, false, false, false},
    {218, 21800, true, true, true, "IUDP", true, true, true, true, true, true, false, false, false, false, false},
    {219, 21900, true, true, true, "IUDP", true, true, true, true, true, true, false, false, false, false, false},
    {220, 22000, true, true, true, "IUDP", true, true, true, true, true, true, false, true, false, false, false},
    {220, 22001, true, true, true, "IUDP", true, true, true, true, true, true, false, true, true, false, false},
    {220, 22002, true, true, true, "IUDP", true, true, true, true, true, true, true, true, true, false, false},
    {220, 22003, true, true, true, "IUDP", true, true, true, true, true, true, true, true, true, false, true},
    {220, 22004, true, true, true, "IUDP", true, true, true, true, true, true, true, true, true, true, true},
    {229, 22900, true, true, true, "IUDP", true, true, true, true, true, true, true, true, true, true, true},
    {230, 23000, true, true, true, "IUDP", true, true, true, false, true, true, true, true, true, true, true},
};

INSTANTIATE_TEST_SUITE_P(Versions, OldFormat, ::testing::ValuesIn(kOldCases),
                         [](const auto& info) {
                           return "v" + std::to_string(info.param.version) + "_" + std::to_string(info.param.build);
                         });

TEST(OldFormatListing, AnOldFileListsWithoutThePassword) {
  TTempFolder folder;
  const std::string path = folder / "old.dat";
  WriteText(path, TOldFormatWriter(150, 15000).File("pw"));
  auto listed = OpenFile(path, "");
  EXPECT_EQ(listed->Name, "Old");
  ASSERT_EQ(listed->Items->Count(), 1);
  ASSERT_EQ(FolderAt(*listed, 0).Items->Count(), 1);
  EXPECT_EQ(RecordAt(FolderAt(*listed, 0), 0).Bind()->FieldByNumber(7)->AsDate(), kOldExpires);
}

}  // namespace
}  // namespace corvane
