#include "app/session_properties.h"

#include <utility>

#include "app/session_modal.h"

namespace corvane {

namespace {
TPropertiesEditor installedEditor;
}  // namespace

void SetDatabasePropertiesEditor(TPropertiesEditor editor) { installedEditor = std::move(editor); }

bool EditDatabaseProperties(TPwdBase& base, bool fromLogging) {
  if (!installedEditor) return false;
  TModalPhase modal;
  return installedEditor(base, fromLogging);
}

}  // namespace corvane
