#include "app/front_end.h"

#include "app/messages.h"
#include "platform/error.h"

namespace corvane {

namespace {
TFrontEnd* installed = nullptr;
}  // namespace

TFrontEnd& FrontEnd() {
  if (!installed) throw TError(std::string(serr_nofrontend));
  return *installed;
}

TFrontEnd* InstalledFrontEnd() { return installed; }

TFrontEndInstallation::TFrontEndInstallation(TFrontEnd& frontEnd) : previous_(installed) { installed = &frontEnd; }

TFrontEndInstallation::~TFrontEndInstallation() { installed = previous_; }

}  // namespace corvane
