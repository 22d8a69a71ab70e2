#include "app/settings.h"

#include <memory>

#include "app/app_ini_file.h"
#include "app/registry_ini_file.h"
#include "app/runtime_settings.h"
#include "platform/file_system.h"
#include "platform/folders.h"

namespace corvane {

namespace {

struct TSettingsState {
  std::unique_ptr<TSettingsStore> store;
  std::string programFolder;
  bool iniMode = false;
};

TSettingsState& State() {
  static TSettingsState state;
  return state;
}

std::string InFolder(const std::string& folder, std::string_view name) {
  std::string path = folder;
  if (path.empty() || path.back() != '/') path += '/';
  path += name;
  return path;
}

}  // namespace

void StartSettings(const std::string& programFolder) {
  TSettingsState& state = State();
  state.programFolder = programFolder;
  while (state.programFolder.size() > 1 && state.programFolder.back() == '/') state.programFolder.pop_back();
  const std::string iniPath = InFolder(state.programFolder, kIniFileName);
  state.iniMode = !state.programFolder.empty() && FileExists(iniPath);
  if (state.iniMode) {
    state.store = std::make_unique<TAppIniFile>(iniPath);
  } else {
    state.store = std::make_unique<TRegistryIniFile>(std::string(kSettingsKey));
  }
  ResetRuntimeSettings();
}

void StopSettings() {
  TSettingsState& state = State();
  state.store.reset();
  state.programFolder.clear();
  state.iniMode = false;
}

TSettingsStore& Settings() {
  if (!State().store) StartSettings(ProgramFolder());
  return *State().store;
}

bool SettingsInIniMode() {
  Settings();
  return State().iniMode;
}

const std::string& AppFolder() {
  Settings();
  return State().programFolder;
}

bool OpenSettings(bool forWriting) { return Settings().Open(forWriting); }

void CloseSettings() { Settings().Close(); }

TSettingsAccess::~TSettingsAccess() {
  if (!open_) return;
  try {
    CloseSettings();
  } catch (...) {
  }
}

void TSettingsAccess::Close() {
  if (!open_) return;
  open_ = false;
  CloseSettings();
}

}  // namespace corvane
