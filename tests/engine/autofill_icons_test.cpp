// Auto-fill data with their fingerprints, and the custom icon list.

#include <gtest/gtest.h>

#include <cryptopp/base64.h>
#include <cryptopp/filters.h>
#include <cryptopp/sha.h>

#include "engine/crypt_stream.h"
#include "tests/engine/dbfile_test_support.h"

namespace corvane {
namespace {

using namespace corvane::testing;

std::string Expected(const std::string& text) {
  std::string digest(CryptoPP::SHA1::DIGESTSIZE, '\0');
  CryptoPP::SHA1().CalculateDigest(reinterpret_cast<CryptoPP::byte*>(digest.data()),
                                   reinterpret_cast<const CryptoPP::byte*>(text.data()), text.size());
  std::string encoded;
  CryptoPP::StringSource(digest, true, new CryptoPP::Base64Encoder(new CryptoPP::StringSink(encoded), false));
  return encoded;
}

class AutoFill : public ::testing::Test {
 protected:
  void SetUp() override {
    record_ = &AddRecord(base_, "Mail");
    record_->Edit();
    TAutoFillFieldsList& form = record_->AutoFill.Add();
    form.SetFormName("login");
    TAutoFillField& user = form.AddField();
    user.SetControlName("u");
    user.SetFieldNumber(1);
    TAutoFillField& password = form.AddField();
    password.SetControlName("p");
    password.SetFieldNumber(8);
    TAutoFillField& missing = form.AddField();  // names no field of the structure
    missing.SetControlName("x");
    missing.SetFieldNumber(77);
    record_->Post();
  }
  TAutoFillFieldsList& Form() { return record_->AutoFill[0]; }

  TPwdBase base_;
  TPwdPassword* record_ = nullptr;
};

TEST_F(AutoFill, FingerprintIsTheDigestOfControlsAndValuesInOrder) {
  EXPECT_EQ(Form().GetFingerprint(), Expected("u:Mail-userp:Mail-secret"));
  EXPECT_EQ(Form().GetFingerprint().size(), 28u);
}

TEST_F(AutoFill, TheSavedFingerprintFollowsTheValuesAtSaveTime) {
  const std::string before = Form().GetFingerprint();
  record_->Edit();
  record_->Bind()->FieldByNumber(1)->SetAsString("changed");
  record_->Post();
  EXPECT_EQ(Form().GetFingerprint(), before);  // cached until saved

  TTempFolder folder;
  SaveAs(base_, folder / "db.dat", "pw", "");
  auto loaded = OpenFile(folder / "db.dat", "pw");
  TAutoFillFieldsList& form = RecordAt(*loaded, 0).AutoFill[0];
  EXPECT_EQ(form.GetFingerprint(), Expected("u:changedp:Mail-secret"));
  ASSERT_EQ(form.Count(), 3);
  EXPECT_EQ(form[2].FieldNumber(), 77);
}

TEST_F(AutoFill, AUserWhoMayNotSeePasswordsFingerprintsTheMask) {
  auto user = std::make_unique<TPwdBaseUser>();
  user->SetGuid(TGuid::Create());
  user->SetName("viewer");
  user->SetRights("IU");
  TPwdBaseUser* viewer = base_.Users->Add(std::move(user));
  base_.Password = "pw";  // rights are checked only with a password
  base_.Logon(viewer->Guid());
  Form().ForgetFingerprint();
  EXPECT_EQ(Form().GetFingerprint(), Expected("u:Mail-userp:******"));
}

TEST_F(AutoFill, ChangesMarkTheDatabaseModifiedAndAssignCopiesEverything) {
  base_.Modified = 0;
  Form().SetFormName("login");
  EXPECT_FALSE(base_.Modified);
  Form()[0].SetControlName("user");
  EXPECT_TRUE(base_.Modified);

  TAutoFillDataList copy(nullptr);
  copy.Assign(record_->AutoFill);
  ASSERT_EQ(copy.Count(), 1);
  EXPECT_EQ(copy[0].FormName(), "login");
  ASSERT_EQ(copy[0].Count(), 3);
  EXPECT_EQ(copy[0][0].ControlName(), "user");
  EXPECT_EQ(copy[0][1].FieldNumber(), 8);
}

TEST(IconList, DeletingKeepsTheOrderOfTheRestAndCopyingNeverDuplicates) {
  TIconList icons;
  for (const char* name : {"a", "b", "c"}) icons.AddIcon(name, std::string(name) + "2");
  const TGuid second = icons.Id(1);
  icons.DeleteIcon(0);
  ASSERT_EQ(icons.Count(), 2);
  EXPECT_EQ(icons.PrimaryImage(0), "b");
  EXPECT_EQ(icons.AlternateImage(0), "b2");
  EXPECT_EQ(icons.IndexOfId(second), 0);

  TIconList other;
  EXPECT_EQ(other.CopyIcon(icons, 1), 0);
  EXPECT_EQ(other.CopyIcon(icons, 1), -1);
  other.Assign(icons);
  EXPECT_EQ(other.Count(), 2);
  EXPECT_EQ(other.Id(1), icons.Id(1));
  EXPECT_EQ(other.IndexOfId(TGuid::Create()), -1);
}

TEST(IconList, ADamagedBlobLengthIsAReadErrorAndLeavesTheListEmpty) {
  for (std::uint32_t length : {0u, 3u, 0x7FFFFFF0u}) {
    TMemoryStream bytes;
    {
      TCryptStream out(bytes, "pw", "", true);
      out.WriteInt32(1, false);
      out.WriteUInt32(length, false);
      out.Finish();
    }
    bytes.Seek(0, TSeekOrigin::Begin);
    TCryptStream in(bytes, "pw", "", true);
    TIconList icons;
    icons.AddIcon("old", "old");
    EXPECT_THROW(icons.LoadFromStream(in), TError) << length;
    EXPECT_EQ(icons.Count(), 0);
  }
}

}  // namespace
}  // namespace corvane
