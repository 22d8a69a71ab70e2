#pragma once
// A private pair of registry hives for one test: both hive variables point into a
// fresh temporary folder while it exists, so no test touches a real registry.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <string>

namespace corvane::testing {

class TTempRegistry {
 public:
  TTempRegistry() {
    char pattern[] = "/tmp/corvane-reg-XXXXXX";
    const char* made = ::mkdtemp(pattern);
    if (!made) ADD_FAILURE() << "mkdtemp failed";
    folder_ = made ? made : "";
    Save("CORVANE_USER_REGISTRY", savedUser_);
    Save("CORVANE_MACHINE_REGISTRY", savedMachine_);
    ::setenv("CORVANE_USER_REGISTRY", UserFile().c_str(), 1);
    ::setenv("CORVANE_MACHINE_REGISTRY", MachineFile().c_str(), 1);
  }
  ~TTempRegistry() {
    Restore("CORVANE_USER_REGISTRY", savedUser_);
    Restore("CORVANE_MACHINE_REGISTRY", savedMachine_);
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  TTempRegistry(const TTempRegistry&) = delete;
  TTempRegistry& operator=(const TTempRegistry&) = delete;

  const std::string& Folder() const { return folder_; }
  std::string UserFile() const { return folder_ + "/user/registry.sqlite"; }
  std::string MachineFile() const { return folder_ + "/machine/registry.sqlite"; }

 private:
  static void Save(const char* name, std::optional<std::string>& saved) {
    if (const char* value = ::getenv(name)) saved = value;
  }
  static void Restore(const char* name, const std::optional<std::string>& saved) {
    if (saved) {
      ::setenv(name, saved->c_str(), 1);
    } else {
      ::unsetenv(name);
    }
  }

  std::string folder_;
  std::optional<std::string> savedUser_;
  std::optional<std::string> savedMachine_;
};

}  // namespace corvane::testing
