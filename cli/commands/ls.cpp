// ls: the folders and records of a folder, or of everything below it with -R.

#include "cli/command.h"
#include "cli/context.h"
#include "cli/json.h"
#include "cli/paths.h"
#include "engine/base.h"
#include "platform/codepage.h"

namespace corvane {

namespace {

struct TEntry {
  TPwdItem* item;
  std::string relativePath;  // UTF-8, from the listed folder
};

std::string NameOf(TPwdItem& item) {
  return AnsiToUtf8(item.IsFolder() ? static_cast<TPwdFolder&>(item).Name : static_cast<TPwdPassword&>(item).Title());
}

void Collect(TPwdFolder& folder, const std::string& prefix, bool recursive, std::vector<TEntry>& out) {
  for (TPwdItem* item : folder.Items->Items()) {
    if (!Visible(*item)) continue;
    const std::string path = prefix + NameOf(*item);
    out.push_back({item, path});
    if (recursive && item->IsFolder()) Collect(static_cast<TPwdFolder&>(*item), path + "/", true, out);
  }
}

int RunLs(TCliContext& context, const TArguments& args) {
  context.Open(TOpenFor::Reading);
  TPwdFolder& folder = context.Folder(args.Argument("FOLDER"));
  std::vector<TEntry> entries;
  Collect(folder, "", args.Has("-R"), entries);
  if (context.Json()) {
    TJsonWriter json(context.Out());
    json.BeginArray();
    for (const TEntry& entry : entries) {
      json.BeginObject();
      json.Member("type", entry.item->IsFolder() ? "folder" : "record");
      json.Member("name", NameOf(*entry.item));
      json.Member("path", ItemPath(*entry.item));
      json.Member("id", entry.item->Guid.ToString());
      json.EndObject();
    }
    json.EndArray();
    return 0;
  }
  for (const TEntry& entry : entries) context.Out() << entry.relativePath << (entry.item->IsFolder() ? "/\n" : "\n");
  return 0;
}

}  // namespace

extern const TCommand kLsCommand = {
    {
        .name = "ls",
        .summary = "List the folders and records of a folder.",
        .arguments = {{"DATABASE", "the database file"},
                      {"FOLDER", "the folder to list, by path or id; the root when left out", false}},
        .options = {{"-R", "", "list everything below the folder, each entry by its path from the folder"},
                    kJsonOption,
                    kPasswordStdinOption,
                    kUserOption},
        .description = "Folders are listed with a trailing \"/\", records by their title, in the order "
                       "the database keeps them. With --json each entry carries its type, name, full "
                       "path and id.",
        .example = "corvane-cli ls Private.cvd Work -R",
    },
    &RunLs,
};

}  // namespace corvane
