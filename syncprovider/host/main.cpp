// corvanesync-host: plays the desktop-synchronisation service for the provider
// library, one exchange per run, so that the library can be tried and tested
// without the service. See Usage() for the commands.

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "platform/error.h"
#include "syncprovider/host/commands.h"
#include "syncprovider/host/provider_library.h"

namespace {

constexpr int kExitUsage = 2;

void Usage() {
  std::cerr <<
      "usage: corvanesync-host [--library PATH] [--partner 1|2] COMMAND [ARGUMENTS]\n"
      "\n"
      "  info                        object count and total size of the databases\n"
      "  list                        the objects, unchanged ones first\n"
      "  get OID                     the settings record the device sends for OID\n"
      "  put-file PATH [OID]         send a database file (OID: the device object it\n"
      "                              replaces; none: a database new to the device)\n"
      "  put-record KEY 0|1 OID [NAME]\n"
      "                              send a settings record for object OID\n"
      "  sync-data KEY 0|1           hand a settings record over outside an exchange\n"
      "  notify FLAGS OID FILE [TIME]\n"
      "                              deliver a file notification (flags in hex)\n"
      "  acknowledge [--refuse]      play the program: set the hand-off events\n"
      "                              (with --refuse only the acknowledgement)\n";
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  corvane::THostOptions options;
  options.libraryPath = corvane::DefaultLibraryPath();
  std::size_t next = 0;
  for (; next + 1 < args.size() && args[next].rfind("--", 0) == 0; next += 2) {
    if (args[next] == "--library") {
      options.libraryPath = args[next + 1];
    } else if (args[next] == "--partner") {
      options.partner = static_cast<std::uint32_t>(std::stoul(args[next + 1]));
    } else {
      break;
    }
  }
  if (next >= args.size()) {
    Usage();
    return kExitUsage;
  }
  std::string command = args[next];
  std::vector<std::string> rest(args.begin() + static_cast<std::ptrdiff_t>(next) + 1, args.end());
  try {
    int code = corvane::RunHostCommand(command, rest, options, std::cout);
    if (code == kExitUsage) Usage();
    return code;
  } catch (const corvane::TError& e) {
    std::cerr << "corvanesync-host: " << e.what() << "\n";
    return 1;
  } catch (const std::exception& e) {
    std::cerr << "corvanesync-host: " << e.what() << "\n";
    return kExitUsage;
  }
}
