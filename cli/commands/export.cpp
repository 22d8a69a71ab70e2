// export: the records of a folder and its subfolders as CSV or JSON, on
// standard output or into a new file.

#include <array>
#include <filesystem>
#include <iostream>
#include <optional>
#include <streambuf>
#include <string>
#include <vector>

#include "app/csv_writer.h"
#include "app/messages.h"
#include "app/record_export.h"
#include "cli/command.h"
#include "cli/context.h"
#include "cli/json.h"
#include "cli/paths.h"
#include "engine/base.h"
#include "engine/messages.h"
#include "engine/secure_buffer.h"
#include "platform/atomic_writer.h"
#include "platform/error.h"
#include "platform/file_system.h"

namespace corvane {

namespace {

constexpr std::string_view scli_badformat = "Unknown export format '%s'; give csv or json.";
constexpr std::string_view scli_outputexists = "The file '%s' already exists; give --force to replace it.";
constexpr std::string_view scli_outputisdatabase = "The export cannot be written over the database file.";
constexpr std::string_view scli_exportinclear =
    "Note: the export holds the records' data in clear (password fields left empty); keep it safe.";
constexpr std::string_view scli_exportpasswordsinclear =
    "Note: the export holds the records' data and passwords in clear; keep it safe and delete it when done.";
constexpr std::string_view kFolderColumn = "Folder";

// An output stream buffer that writes into a file, wiping what it held.
class TFileOutBuf : public std::streambuf {
 public:
  explicit TFileOutBuf(TFile& file) : file_(file) { setp(buffer_.data(), buffer_.data() + buffer_.size()); }
  ~TFileOutBuf() override { WipeBytes({reinterpret_cast<std::uint8_t*>(buffer_.data()), buffer_.size()}); }

  // Writes what is left; throws the first write error.
  void Finish() {
    sync();
    if (error_) throw TError(*error_);
  }

 protected:
  int overflow(int c) override {
    if (!Drain()) return traits_type::eof();
    if (c != traits_type::eof()) sputc(static_cast<char>(c));
    return traits_type::not_eof(c);
  }
  int sync() override { return Drain() ? 0 : -1; }

 private:
  bool Drain() {
    if (error_) return false;
    try {
      file_.Write(std::string_view(pbase(), static_cast<std::size_t>(pptr() - pbase())));
    } catch (const TError& error) {
      error_ = error.what();
      return false;
    }
    WipeBytes({reinterpret_cast<std::uint8_t*>(buffer_.data()), buffer_.size()});
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return true;
  }

  TFile& file_;
  std::array<char, 8192> buffer_{};
  std::optional<std::string> error_;
};

void WriteCsv(std::ostream& out, const TRecordExport& table) {
  TCsvWriter csv([&out](std::string_view row) { out.write(row.data(), static_cast<std::streamsize>(row.size())); });
  std::vector<std::string_view> fields{kFolderColumn};
  for (const TExportColumn& column : table.columns) fields.push_back(column.name);
  csv.WriteRow(fields);
  for (const TExportRow& row : table.rows) {
    const std::string folder = ItemPath(*row.folder);
    fields.assign(table.columns.size() + 1, std::string_view());
    fields[0] = folder;
    for (const TExportValue& value : row.values)
      fields[static_cast<std::size_t>(value.column) + 1] = value.text.Text();
    csv.WriteRow(fields);
  }
}

void WriteJson(std::ostream& out, const TRecordExport& table) {
  TJsonWriter json(out);
  json.BeginArray();
  for (const TExportRow& row : table.rows) {
    json.BeginObject();
    json.Member("id", row.record->Guid.ToString());
    json.Member("path", ItemPath(*row.record));
    json.Member("folder", ItemPath(*row.folder));
    json.Key("fields").BeginArray();
    for (const TExportValue& value : row.values) {
      json.BeginObject();
      json.Member("name", table.columns[static_cast<std::size_t>(value.column)].name);
      json.Member("number", value.number);
      json.Member("text", value.text.Text());
      json.EndObject();
    }
    json.EndArray();
    json.EndObject();
  }
  json.EndArray();
}

void Write(std::ostream& out, const TRecordExport& table, bool json) {
  if (json) WriteJson(out, table);
  else WriteCsv(out, table);
}

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return std::filesystem::equivalent(a, b, error);
}

int RunExport(TCliContext& context, const TArguments& args) {
  const std::string& format = args.Value("--format");
  if (format != "csv" && format != "json") throw TUsageError(FormatMessage(scli_badformat, format), "export");
  const bool json = format == "json";
  const std::string& output = args.Value("--output");
  const bool toFile = args.Has("--output");
  if (toFile && SameFile(output, context.DatabasePath())) throw TError(std::string(scli_outputisdatabase));
  if (toFile && !args.Has("--force") && FileExists(output)) throw TError(FormatMessage(scli_outputexists, output));

  context.Open(TOpenFor::Reading);
  TPwdFolder& folder = context.Folder(args.Has("--folder") ? args.Value("--folder") : "/");
  const bool withPasswords = args.Has("--show-password");
  const std::optional<TRecordExport> table = ExportRecords(folder, withPasswords);
  if (!table) throw TError(std::string(susercanceled));
  std::cerr << (withPasswords ? scli_exportpasswordsinclear : scli_exportinclear) << '\n';

  if (!toFile) {
    Write(context.Out(), *table, json);
    return 0;
  }
  // Checked again: the file may have come while the password was asked.
  if (!args.Has("--force") && FileExists(output)) throw TError(FormatMessage(scli_outputexists, output));
  TAtomicWriter writer(output);
  writer.SetMode(0600);
  TFileOutBuf buffer(writer.File());
  std::ostream stream(&buffer);
  Write(stream, *table, json);
  buffer.Finish();
  writer.Commit();
  return 0;
}

}  // namespace

extern const TCommand kExportCommand = {
    {
        .name = "export",
        .summary = "Export the records of a folder as CSV or JSON.",
        .arguments = {{"DATABASE", "the database file"}},
        .options = {{"--format", "FORMAT", "csv or json", true},
                    {"--folder", "PATH", "the folder to export, by path or id, with its subfolders; the root when left out"},
                    {"--output", "FILE", "write into FILE (a new file, readable by its owner only) instead of standard output"},
                    {"--force", "", "replace FILE when it exists"},
                    {"--show-password", "", "include the values of password fields (needs the right to view passwords)"},
                    kPasswordStdinOption,
                    kUserOption},
        .description = "Every record of the folder and of its subfolders, in the order the database keeps "
                       "them. Needs the right to print and export on the folder and on every record. The "
                       "export is not encrypted: a note on standard error says so.\n\n"
                       "CSV (RFC 4180: fields holding a comma, a quote or a line break are quoted, quotes "
                       "doubled, lines end with CR LF): a header row, then one row per record. The first "
                       "column is the path of the record's folder, then one column per field of the "
                       "folders' structures in the order of the record editor. Fields of the same name in "
                       "folders with different structures share a column (names compared without regard "
                       "to case); columns come in the order first met, and a record leaves the columns of "
                       "fields its structure lacks empty. Values are in their text form (dates in the "
                       "locale's short date form).\n\n"
                       "JSON: one object per record with its id, path, folder and fields (name, number and "
                       "text each), names spelled as in the CSV header.\n\n"
                       "Password fields keep their column but stay empty unless --show-password is given. "
                       "Without --force an existing FILE is never replaced; FILE is written completely or "
                       "not at all.",
        .example = "corvane-cli export Private.cvd --format csv --folder Work --output work.csv",
    },
    &RunExport,
};

}  // namespace corvane
