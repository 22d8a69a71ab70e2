#include "app/record_export.h"

#include <algorithm>
#include <map>

#include "app/session_log_action.h"
#include "engine/base.h"
#include "engine/secure_buffer.h"
#include "platform/codepage.h"
#include "platform/locale.h"

namespace corvane {

namespace {

// Takes the text over and wipes the original.
TSecretText Secret(std::string text) {
  TSecretText secret(text);
  WipeString(text);
  return secret;
}

class TExporter {
 public:
  explicit TExporter(bool includePasswords) : includePasswords_(includePasswords) {}

  void Folder(TPwdFolder& folder) {
    ColumnsOf(folder.EffectiveStructure());
    for (TPwdItem* item : folder.Items->Items()) {
      if (item->IsFolder()) Folder(static_cast<TPwdFolder&>(*item));
      else Record(static_cast<TPwdPassword&>(*item), folder);
    }
  }

  TRecordExport Result() { return std::move(export_); }

 private:
  // The column of each field of `structure`, by field index; made on first sight.
  const std::vector<int>& ColumnsOf(const TPwdFieldsList* structure) {
    auto [at, added] = columnsOf_.try_emplace(structure);
    if (!added || !structure) return at->second;
    std::vector<int>& columns = at->second;
    columns.assign(static_cast<std::size_t>(structure->Count()), 0);
    std::vector<int> taken;  // columns this structure already uses
    for (int i = 0; i < structure->Count(); ++i) {
      const TPwdField& field = *structure->DisplayField(i);
      int column = FreeColumnNamed(field.Name, taken);
      if (column < 0) {
        column = static_cast<int>(export_.columns.size());
        export_.columns.push_back({AnsiToUtf8(field.Name), false});
        engineNames_.push_back(field.Name);
      }
      if (field.Kind == kKindPassword) export_.columns[static_cast<std::size_t>(column)].password = true;
      taken.push_back(column);
      columns[static_cast<std::size_t>(field.Index)] = column;
    }
    return columns;
  }

  // The first column of that name that the structure does not use yet; -1 when none.
  int FreeColumnNamed(const std::string& engineName, const std::vector<int>& taken) const {
    for (std::size_t c = 0; c < engineNames_.size(); ++c) {
      const int column = static_cast<int>(c);
      if (std::find(taken.begin(), taken.end(), column) != taken.end()) continue;
      if (CompareTextIgnoreCase(engineNames_[c], engineName) == 0) return column;
    }
    return -1;
  }

  void Record(TPwdPassword& record, TPwdFolder& folder) {
    // Records without any permission entry of the user are not his to see.
    if (!record.HasRights("")) return;
    record.RequireRights("P");
    if (includePasswords_) record.RequireRights("V");
    TPwdFieldsList* structure = record.Bind();
    const std::vector<int>& columns = ColumnsOf(structure);
    TExportRow row{&record, &folder, {}};
    for (int i = 0; structure && i < structure->Count(); ++i) {
      const TPwdField& field = *structure->DisplayField(i);
      TExportValue value{columns[static_cast<std::size_t>(field.Index)], field.Number, {}};
      if (field.Kind != kKindPassword) {
        value.text = Secret(AnsiToUtf8(field.AsString()));
      } else if (includePasswords_) {
        std::string stored = field.RevealedText();
        value.text = Secret(AnsiToUtf8(stored));
        WipeString(stored);
      }
      row.values.push_back(std::move(value));
    }
    export_.rows.push_back(std::move(row));
  }

  bool includePasswords_;
  TRecordExport export_;
  std::vector<std::string> engineNames_;  // the columns' names in engine text
  std::map<const TPwdFieldsList*, std::vector<int>> columnsOf_;
};

}  // namespace

std::optional<TRecordExport> ExportRecords(TPwdFolder& folder, bool includePasswords) {
  folder.RequireRights("P");
  if (includePasswords) folder.RequireRights("V");
  TExporter exporter(includePasswords);
  exporter.Folder(folder);
  if (TPwdBase* base = folder.GetBase(); base && !LogUserAction(*base, kActionExport)) return std::nullopt;
  return exporter.Result();
}

}  // namespace corvane
