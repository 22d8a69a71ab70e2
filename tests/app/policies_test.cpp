#include <gtest/gtest.h>

#include <filesystem>

#include "app/policies.h"
#include "platform/registry.h"
#include "tests/platform/registry_test_support.h"

namespace corvane {
namespace {

struct TPlaceValues {
  std::optional<std::string> userPolicy;     // Software\Policies\Halvern\Corvane, current user
  std::optional<std::string> machinePolicy;  // the same, local machine
  std::optional<std::string> userSettings;   // Software\Corvane\Policies, current user
  std::string expected;
};

void Put(THive hive, std::string_view path, const std::optional<std::string>& value) {
  if (value) TRegKey::Create(hive, path).SetString("AutoBackupFolder", *value);
}

TEST(Policies, TheFirstPlaceHoldingTheValueWins) {
  const TPlaceValues cases[] = {
      {"user", "machine", "settings", "user"},
      {std::nullopt, "machine", "settings", "machine"},
      {std::nullopt, std::nullopt, "settings", "settings"},
      {"user", std::nullopt, "settings", "user"},
      {std::nullopt, std::nullopt, std::nullopt, "default"},
  };
  for (const TPlaceValues& c : cases) {
    testing::TTempRegistry registry;
    Put(THive::CurrentUser, kPolicyKey, c.userPolicy);
    Put(THive::LocalMachine, kPolicyKey, c.machinePolicy);
    Put(THive::CurrentUser, kUserPolicyKey, c.userSettings);
    EXPECT_EQ(ReadPolicyString(policy::AutoBackupFolder, "default"), c.expected);
  }
}

TEST(Policies, ValuesAreReadAsTheTypeAsked) {
  testing::TTempRegistry registry;
  TRegKey machine = TRegKey::Create(THive::LocalMachine, kPolicyKey);
  machine.SetDWord("DisableAutoBackup", 0);
  machine.SetString("DisableUserLocations", "1");
  machine.SetDWord("Number", 0xFFFFFFFF);
  machine.SetBinary("DisableOptions", std::vector<std::uint8_t>{1});

  EXPECT_EQ(ReadPolicyInteger(policy::DisableAutoBackup, -1), 0);
  EXPECT_FALSE(ReadPolicyBool(policy::DisableAutoBackup, true));
  EXPECT_TRUE(ReadPolicyBool(policy::DisableUserLocations, false));
  EXPECT_EQ(ReadPolicyInteger("Number", 0), -1);
  EXPECT_EQ(ReadPolicyString("Number", ""), "-1");
  EXPECT_FALSE(ReadPolicyBool(policy::DisableOptions, false)) << "a binary value holds no boolean";
  EXPECT_EQ(ReadPolicyInteger("NoSuchPolicy", -1), -1);
}

TEST(Policies, AValueThatCannotBeReadLeavesTheLookupToTheNextPlace) {
  testing::TTempRegistry registry;
  TRegKey::Create(THive::CurrentUser, kPolicyKey).SetString("DisableAutoBackup", "yes");
  TRegKey::Create(THive::LocalMachine, kPolicyKey).SetDWord("DisableAutoBackup", 1);
  EXPECT_EQ(ReadPolicyInteger(policy::DisableAutoBackup, -1), 1);
}

TEST(Policies, LookupCreatesNothing) {
  testing::TTempRegistry registry;
  TRegKey::Create(THive::CurrentUser, "Software");
  EXPECT_EQ(ReadPolicyString(policy::DbFileNameTemplate, "CVBase*.dat"), "CVBase*.dat");
  EXPECT_FALSE(TRegKey::Open(THive::CurrentUser, kPolicyKey));
  EXPECT_FALSE(TRegKey::Open(THive::CurrentUser, kUserPolicyKey));
  EXPECT_FALSE(std::filesystem::exists(registry.MachineFile()));
}

}  // namespace
}  // namespace corvane
