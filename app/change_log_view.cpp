#include "app/change_log_view.h"

#include <map>

#include "app/iso_date.h"
#include "engine/base.h"
#include "engine/changelog.h"
#include "engine/messages.h"
#include "engine/secure_buffer.h"
#include "platform/codepage.h"

namespace corvane {

namespace {

// What the database's structures say about one field number.
struct TFieldFacts {
  std::string name;  // engine text, of the first field seen with the number
  bool password = false;
};

void CollectFields(const TPwdFolder& folder, std::map<std::int32_t, TFieldFacts>& facts) {
  if (const TPwdFieldsList* structure = folder.Structure.get())
    for (int i = 0; i < structure->Count(); ++i) {
      const TPwdField& field = *(*structure)[i];
      auto [at, added] = facts.try_emplace(field.Number, TFieldFacts{field.Name, false});
      if (field.Kind == kKindPassword) at->second.password = true;
    }
  for (const TPwdItem* item : folder.Items->Items())
    if (item->IsFolder()) CollectFields(static_cast<const TPwdFolder&>(*item), facts);
}

TSecretText Shown(const std::string& text, bool masked) {
  if (masked) return TSecretText(text.empty() ? std::string_view() : spwdhiddenvalue);
  std::string utf8 = AnsiToUtf8(text);
  TSecretText shown(utf8);
  WipeString(utf8);
  return shown;
}

class TLogViewer {
 public:
  TLogViewer(TPwdBase& base, const TChangeLogQuery& query) : base_(base), query_(query) {
    CollectFields(base, facts_);
  }

  std::optional<TChangeLogLine> Line(const TPwdBaseChangeRec& entry) {
    if (query_.since && MomentOfSerial(entry.Timestamp) < MomentOfSerial(*query_.since)) return std::nullopt;
    TChangeLogLine line;
    line.entry = &entry;
    line.item = base_.FindItem(entry.ItemGuid);
    if (line.item && !line.item->IsFolder() && !line.item->HasRights("")) return std::nullopt;
    // A deleted item's structure and rights are those of its folder, if that is still there.
    const TPwdItem* holder = line.item ? line.item : base_.FindItem(entry.ParentGuid);
    bool password = false;
    if (entry.FieldNumber >= 0) {
      const TPwdFieldsList* structure = holder ? holder->EffectiveStructure() : nullptr;
      if (const TPwdField* field = structure ? structure->FieldByNumber(entry.FieldNumber) : nullptr) {
        line.fieldName = AnsiToUtf8(field->Name);
        password = field->Kind == kKindPassword;
      } else if (auto at = facts_.find(entry.FieldNumber); at != facts_.end()) {
        line.fieldName = AnsiToUtf8(at->second.name);
        password = at->second.password;
      } else {
        password = true;
      }
    }
    line.masked = password && !(query_.showPasswords && (!holder || holder->HasRights("V")));
    line.oldText = Shown(entry.OldText, line.masked);
    line.newText = Shown(entry.NewText, line.masked);
    return line;
  }

 private:
  TPwdBase& base_;
  const TChangeLogQuery& query_;
  std::map<std::int32_t, TFieldFacts> facts_;
};

}  // namespace

std::vector<TChangeLogLine> ViewChangeLog(TPwdBase& base, const TChangeLogQuery& query) {
  if (query.showPasswords) base.RequireRights(nullptr, "V");
  TLogViewer viewer(base, query);
  std::vector<TChangeLogLine> lines;
  for (const auto& entry : *base.ChangesLog)
    if (std::optional<TChangeLogLine> line = viewer.Line(*entry)) lines.push_back(std::move(*line));
  return lines;
}

}  // namespace corvane
