#include "app/locations.h"

#include <algorithm>
#include <optional>

#include "app/app_path.h"
#include "app/locations_path.h"
#include "app/policies.h"
#include "app/settings.h"
#include "app/settings_keys.h"
#include "platform/error.h"
#include "platform/folders.h"
#include "platform/registry.h"

namespace corvane {

namespace {

std::vector<TDatabaseFolder>& FolderList() {
  static std::vector<TDatabaseFolder> folders;
  return folders;
}

std::vector<std::string>& UnavailableFolders() {
  static std::vector<std::string> folders;
  return folders;
}

// The policy folders of one hive; empty when its key or "DBFolder1" is missing.
std::vector<std::string> PolicyFolders(THive hive) {
  std::vector<std::string> folders;
  try {
    const std::optional<TRegKey> key = TRegKey::Open(hive, kPolicyLocationsKey);
    if (!key) return folders;
    for (int number = 1;; ++number) {
      const std::optional<std::string> folder = key->QueryString(std::string(kPolicyFolderValuePrefix) + std::to_string(number));
      if (!folder) break;
      folders.push_back(*folder);
    }
  } catch (const TError&) {
    // A policy that cannot be read counts as holding what was read so far.
  }
  return folders;
}

void AppendDefaultFolderWhenEmpty() {
  if (FolderList().empty()) FolderList().push_back({NormalFolder(DefaultDatabaseFolder()), false});
}

}  // namespace

const std::vector<TDatabaseFolder>& DatabaseFolders() { return FolderList(); }

void LoadDatabaseFolders() {
  std::vector<TDatabaseFolder>& list = FolderList();
  list.clear();
  UnavailableFolders().clear();
  std::vector<std::string> policyFolders = PolicyFolders(THive::CurrentUser);
  if (policyFolders.empty()) policyFolders = PolicyFolders(THive::LocalMachine);
  for (std::string& folder : policyFolders) list.push_back({std::move(folder), true});

  if (!ReadPolicyBool(policy::DisableUserLocations, false)) {
    TSettingsAccess access(false);
    if (access) {
      const std::int32_t count = ReadSetting(setting::FolderCount);
      for (int number = 1; number <= count; ++number) {
        const std::string folder = Settings().ReadString(setting::kDBFolders, FolderKeyName(number), "");
        list.push_back({NormalFolder(ExpandAppPath(folder)), false});
      }
    }
  }
  AppendDefaultFolderWhenEmpty();
}

void SetUserFolders(const std::vector<std::string>& userFolders) {
  std::vector<TDatabaseFolder>& list = FolderList();
  std::erase_if(list, [](const TDatabaseFolder& folder) { return !folder.fromPolicy; });
  for (const std::string& folder : userFolders) list.push_back({NormalFolder(folder), false});
  AppendDefaultFolderWhenEmpty();
}

void SaveUserFolders() {
  TSettingsAccess access(true);
  if (!access) return;
  int number = 0;
  for (const TDatabaseFolder& folder : FolderList()) {
    if (folder.fromPolicy) continue;
    Settings().WriteString(setting::kDBFolders, FolderKeyName(++number), CompactAppPath(folder.path));
  }
  WriteSetting(setting::FolderCount, number);
  access.Close();
}

std::string DefaultDatabaseFolder() {
  {
    TSettingsAccess access(false);
    if (access) {
      const std::string configured = ReadSetting(setting::DefBasesPath);
      if (!configured.empty()) return ExpandAppPath(configured);
    }
  }
  const std::string documents = DocumentsFolder();
  if (!documents.empty()) {
    try {
      CreateFolder(documents);
      return JoinPath(documents, kMyDatabasesFolder);
    } catch (const TError&) {
      // No usable documents folder: the program's own folder below.
    }
  }
  return JoinPath(AppFolder().empty() ? "/" : AppFolder(), kProgramBasesFolder);
}

std::size_t FolderNumber(std::string_view folder) {
  const std::vector<TDatabaseFolder>& list = FolderList();
  for (std::size_t i = 0; i < list.size(); ++i)
    if (NormalFolder(ExpandAppPath(list[i].path)) == NormalFolder(folder)) return i + 1;
  return 0;
}

bool IsFolderUnavailable(std::string_view folder) {
  return std::ranges::find(UnavailableFolders(), folder) != UnavailableFolders().end();
}

void MarkFolderUnavailable(std::string_view folder) {
  if (!IsFolderUnavailable(folder)) UnavailableFolders().emplace_back(folder);
}

std::string GetDbFileNameTemplate() {
  std::string fileNameTemplate = ReadPolicyString(policy::DbFileNameTemplate, "");
  if (fileNameTemplate.empty()) {
    TSettingsAccess access(false);
    fileNameTemplate = access ? ReadSetting(setting::DbFileNameTemplate) : std::string(kDefaultFileNameTemplate);
  }
  return TemplateWithNumber(fileNameTemplate);
}

std::string TemplateWithNumber(std::string_view fileNameTemplate) {
  std::string result(fileNameTemplate);
  if (result.empty()) return std::string(kDefaultFileNameTemplate);
  if (result.find('*') != std::string::npos) return result;
  const std::size_t dot = result.find('.');
  if (dot == std::string::npos) {
    result += '*';
  } else {
    result.insert(dot, "*");
  }
  return result;
}

}  // namespace corvane
