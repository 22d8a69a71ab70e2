// corvane: the program. Decides first whether this start hands over to a
// running instance or is a synchronisation run; either ends here. A start of
// the window needs the window, which this build does not have yet.

#include <iostream>
#include <string>
#include <vector>

#include "app/app_services.h"
#include "app/front_end.h"
#include "app/program_start.h"
#include "ui/console_front_end.h"

namespace {

constexpr int kExitError = 1;
constexpr const char* kNoWindow = "The window is not available in this build.";

}  // namespace

int main(int argc, char** argv) {
  using namespace corvane;
  TConsoleFrontEnd console(std::cerr);
  TFrontEndInstallation installed(console);
  try {
    TStartDecision start = DecideStart(std::vector<std::string>(argv + 1, argv + argc));
    if (start.exitCode) return *start.exitCode;
    std::cerr << "corvane: " << kNoWindow << '\n';
    StopApplicationServices();
    return kExitError;
  } catch (const std::exception& error) {
    std::cerr << "corvane: " << error.what() << '\n';
    return kExitError;
  }
}
