// databases: the databases of the configured folders, as the program lists them.

#include <iostream>

#include "app/front_end.h"
#include "app/known_databases.h"
#include "app/locations.h"
#include "cli/command.h"
#include "cli/commands/locations_front_end.h"
#include "cli/context.h"
#include "cli/json.h"
#include "platform/file_system.h"

namespace corvane {

namespace {

bool FileIsReadOnly(const std::string& path) {
  const std::optional<TFileInfo> info = FindFile(path);
  return info && info->IsReadOnly();
}

int RunDatabases(TCliContext& context, const TArguments&) {
  TLocationsFrontEnd frontEnd(context.Out(), std::cerr);
  TFrontEndInstallation installed(frontEnd);
  LoadDatabaseFolders();
  RefreshDatabases(false, false);
  const std::vector<TKnownDatabase>& known = KnownDatabases();
  const std::vector<std::string> captions = DisplayNames();
  if (context.Json()) {
    TJsonWriter json(context.Out());
    json.BeginArray();
    for (std::size_t i = 0; i < known.size(); ++i) {
      const TPwdBase& base = *known[i].base;
      json.BeginObject();
      json.Member("displayName", captions[i]);
      json.Member("name", DatabaseName(base));
      json.Member("file", base.FileName);
      json.Member("readOnly", FileIsReadOnly(base.FileName));
      json.EndObject();
    }
    json.EndArray();
    return 0;
  }
  for (std::size_t i = 0; i < known.size(); ++i) {
    const std::string& file = known[i].base->FileName;
    context.Out() << captions[i] << '\t' << file << (FileIsReadOnly(file) ? "\tread-only" : "") << '\n';
  }
  return 0;
}

}  // namespace

extern const TCommand kDatabasesCommand = {
    {
        .name = "databases",
        .summary = "List the databases of the configured database folders.",
        .arguments = {},
        .options = {kJsonOption},
        .description = "Every file in the database folders whose name fits the file-name template is listed "
                       "with its name as the program shows it (a name that several databases share is "
                       "followed by \" - \" and the number of the database's folder), its file and, when the "
                       "file is read-only, \"read-only\". No password is asked. The folders are the ones of "
                       "the policies and settings; see config.",
        .example = "corvane-cli databases --json",
    },
    &RunDatabases,
};

}  // namespace corvane
