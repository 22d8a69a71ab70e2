#pragma once
// Helpers for the file services' tests: a private temporary folder, small file
// fixtures written and read with the standard library (not with the code under
// test), and environment variables set for one test only.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace corvane::file_testing {

// A fresh folder that is removed with everything in it afterwards.
class TTempFolder {
 public:
  TTempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "corvane-files-XXXXXX").string();
    const char* made = ::mkdtemp(pattern.data());
    if (!made) ADD_FAILURE() << "mkdtemp failed";
    path_ = made ? made : "";
  }
  ~TTempFolder() {
    std::error_code ignored;
    // Read-only entries inside would not stop removal by the owner of the folder.
    std::filesystem::remove_all(path_, ignored);
  }
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;

  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

inline void WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  if (!out) ADD_FAILURE() << "cannot write fixture " << path;
}

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline mode_t ModeOf(const std::string& path) {
  struct stat st{};
  if (::stat(path.c_str(), &st) != 0) ADD_FAILURE() << "cannot stat " << path;
  return st.st_mode & 07777;
}

// Sets (or, with nullopt, removes) an environment variable while it exists.
class TScopedEnv {
 public:
  TScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = ::getenv(name)) old_ = old;
    Apply(value);
  }
  ~TScopedEnv() { Apply(old_); }
  TScopedEnv(const TScopedEnv&) = delete;
  TScopedEnv& operator=(const TScopedEnv&) = delete;

 private:
  void Apply(const std::optional<std::string>& value) {
    if (value) {
      ::setenv(name_.c_str(), value->c_str(), 1);
    } else {
      ::unsetenv(name_.c_str());
    }
  }

  std::string name_;
  std::optional<std::string> old_;
};

}  // namespace corvane::file_testing
