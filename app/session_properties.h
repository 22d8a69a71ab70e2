#pragma once
// The database-properties editor as the session sees it. The window installs
// the dialog that shows and collects the properties; EditDatabaseProperties
// runs it as a modal phase.

#include <functional>

#include "engine/base.h"

namespace corvane {

// Shows the properties of `base` (from the action-logging message when
// `fromLogging`) and applies them on OK; returns whether OK was pressed.
using TPropertiesEditor = std::function<bool(TPwdBase& base, bool fromLogging)>;

// Installs the editor (an empty one removes it).
void SetDatabasePropertiesEditor(TPropertiesEditor editor);

// Runs the installed editor within a modal phase. False without an editor.
bool EditDatabaseProperties(TPwdBase& base, bool fromLogging);

}  // namespace corvane
