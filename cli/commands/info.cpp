// info: what a database file tells without its password.

#include "cli/command.h"
#include "cli/context.h"
#include "cli/json.h"
#include "engine/base.h"
#include "engine/dbfile.h"
#include "platform/clock.h"
#include "platform/codepage.h"

namespace corvane {

namespace {

// The shape of the tree, as the plain part of the file keeps it.
struct TTreeShape {
  int folders = 0;  // below the root
  int records = 0;
  int depth = 0;  // levels of folders below the root
  int expired = 0;
};

void Measure(TPwdFolder& folder, int level, double now, TTreeShape& shape) {
  shape.depth = std::max(shape.depth, level);
  for (TPwdItem* item : folder.Items->Items()) {
    if (item->IsFolder()) {
      ++shape.folders;
      Measure(static_cast<TPwdFolder&>(*item), level + 1, now, shape);
      continue;
    }
    ++shape.records;
    auto& record = static_cast<TPwdPassword&>(*item);
    TPwdFieldsList* structure = record.Bind();
    const TPwdField* expires = structure ? structure->FieldByKind(kKindExpires) : nullptr;
    const double date = expires ? expires->AsDate() : 0;
    if (date != 0 && date < now) ++shape.expired;
  }
}

int RunInfo(TCliContext& context, const TArguments&) {
  const auto header = ReadDbFileHeader(context.DatabasePath());
  TPwdBase& base = context.OpenForListing();
  TTreeShape shape;
  Measure(base, 0, Clock().Now(), shape);
  const std::string version = FormatVersionText(base.FormatVersion);
  const std::string id = header && !header->Guid.IsNull() ? header->Guid.ToString() : std::string();
  if (context.Json()) {
    TJsonWriter json(context.Out());
    json.BeginObject();
    json.Member("name", AnsiToUtf8(base.Name));
    json.Member("description", AnsiToUtf8(base.Description));
    json.Member("id", id);
    json.Member("formatVersion", version);
    json.Member("saveCounter", base.SaveCounter);
    json.Member("folders", shape.folders);
    json.Member("records", shape.records);
    json.Member("depth", shape.depth);
    json.Member("expiredRecords", shape.expired);
    json.EndObject();
    return 0;
  }
  std::ostream& out = context.Out();
  out << "Name: " << AnsiToUtf8(base.Name) << '\n'
      << "Description: " << AnsiToUtf8(base.Description) << '\n'
      << "Id: " << id << '\n'
      << "Format version: " << version << '\n'
      << "Save counter: " << base.SaveCounter << '\n'
      << "Folders: " << shape.folders << " (" << shape.depth << " levels deep)\n"
      << "Records: " << shape.records << '\n'
      << "Expired records: " << shape.expired << '\n';
  return 0;
}

}  // namespace

extern const TCommand kInfoCommand = {
    {
        .name = "info",
        .summary = "Show what a database tells without its password.",
        .arguments = {{"DATABASE", "the database file"}},
        .options = {kJsonOption},
        .description = "No password is asked: the name, description, id, format version and save "
                       "counter, the number of folders and records, how deep the folders nest, and how "
                       "many records have expired are kept readable in every database file.",
        .example = "corvane-cli info Private.cvd",
    },
    &RunInfo,
};

}  // namespace corvane
