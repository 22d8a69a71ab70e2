#pragma once
// The environment of an application-services test: private registry hives, a
// private program folder (for ini mode and "%APP%"), the settings started in
// the mode asked for, and a scripted front end installed.

#include <gtest/gtest.h>

#include <string>

#include "app/front_end.h"
#include "app/settings.h"
#include "tests/app/scripted_front_end.h"
#include "tests/platform/file_test_support.h"
#include "tests/platform/registry_test_support.h"

namespace corvane::testing {

enum class TStoreMode { Ini, Registry };

inline std::string ModeName(const ::testing::TestParamInfo<TStoreMode>& info) {
  return info.param == TStoreMode::Ini ? "Ini" : "Registry";
}

class TAppTest : public ::testing::Test {
 protected:
  ~TAppTest() override { StopSettings(); }

  // Starts the settings for the program folder in the given mode: ini mode
  // with an empty corvane.ini placed there.
  void StartIn(TStoreMode mode) {
    if (mode == TStoreMode::Ini) file_testing::WriteText(IniPath(), "");
    StartSettings(program.Path());
  }
  std::string IniPath() const { return program / std::string(kIniFileName); }

  TTempRegistry registry;
  file_testing::TTempFolder program;
  TScriptedFrontEnd frontEnd;
  TFrontEndInstallation installed{frontEnd};
};

// The same for tests that run once per store mode.
class TAppModeTest : public TAppTest, public ::testing::WithParamInterface<TStoreMode> {
 protected:
  TAppModeTest() { StartIn(GetParam()); }
};

}  // namespace corvane::testing
