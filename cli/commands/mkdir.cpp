// mkdir: creates a folder and any missing folders above it.

#include "cli/command.h"
#include "cli/context.h"
#include "cli/messages.h"
#include "cli/paths.h"
#include "engine/base.h"
#include "engine/messages.h"

namespace corvane {

namespace {

int RunMkdir(TCliContext& context, const TArguments& args) {
  TPwdBase& base = context.Open(TOpenFor::Writing);
  const std::string& path = args.Argument("FOLDER");
  TPwdFolder* folder = &base;
  bool created = false;
  for (const std::string& name : SplitItemPath(path)) {
    if (TPwdFolder* existing = FindSubfolder(*folder, name)) {
      folder = existing;
      continue;
    }
    auto* child = static_cast<TPwdFolder*>(folder->Items->AddItem(kItemTypeFolder, false));
    try {
      child->SetName(name);
      child->Post();
    } catch (...) {
      child->Cancel();
      throw;
    }
    folder = child;
    created = true;
  }
  if (!created) throw TError(FormatMessage(scli_folderexists, path));
  context.Save();
  return 0;
}

}  // namespace

extern const TCommand kMkdirCommand = {
    {
        .name = "mkdir",
        .summary = "Create a folder, and the folders above it that are missing.",
        .arguments = {{"DATABASE", "the database file"}, {"FOLDER", "the path of the new folder"}},
        .options = {kPasswordStdinOption, kUserOption},
        .description = "It is an error when the folder exists already. The database is saved.",
        .example = "corvane-cli mkdir Private.cvd Work/Mail",
    },
    &RunMkdir,
};

}  // namespace corvane
