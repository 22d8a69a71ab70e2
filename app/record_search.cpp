#include "app/record_search.h"

#include "engine/base.h"
#include "engine/messages.h"
#include "engine/secure_buffer.h"
#include "platform/error.h"
#include "platform/locale.h"

namespace corvane {

namespace {

class TSearch {
 public:
  TSearch(std::string_view text, std::string_view fieldName) : text_(text), fieldName_(fieldName) {}

  void Folder(const TPwdFolder& folder) {
    if (!fieldName_.empty() && folder.Structure && folder.Structure->FieldByName(fieldName_)) fieldKnown_ = true;
    for (TPwdItem* item : folder.Items->Items()) {
      if (item->IsFolder())
        Folder(static_cast<const TPwdFolder&>(*item));
      else if (item->HasRights(""))
        Record(static_cast<TPwdPassword&>(*item));
    }
  }

  bool FieldKnown() const { return fieldName_.empty() || fieldKnown_; }
  std::vector<TRecordMatch>& Matches() { return matches_; }

 private:
  void Record(TPwdPassword& record) {
    TPwdFieldsList* structure = record.Bind();
    if (!structure) return;
    const TPwdField* only = fieldName_.empty() ? nullptr : structure->FieldByName(fieldName_);
    if (!fieldName_.empty() && !only) return;
    fieldKnown_ = fieldKnown_ || only;
    const bool seesPasswords = record.HasRights("V");
    TRecordMatch match{&record, {}};
    for (int i = 0; i < structure->Count(); ++i) {
      const TPwdField& field = *structure->DisplayField(i);
      if (only && only != &field) continue;
      if (field.Kind == kKindPassword && !seesPasswords) continue;
      if (Holds(field)) match.fields.push_back(&field);
    }
    if (!match.fields.empty()) matches_.push_back(std::move(match));
  }

  bool Holds(const TPwdField& field) const {
    if (field.Kind != kKindPassword) return ContainsTextIgnoreCase(field.AsString(), text_);
    std::string password = field.RevealedText();
    const bool holds = ContainsTextIgnoreCase(password, text_);
    WipeString(password);
    return holds;
  }

  std::string_view text_;
  std::string_view fieldName_;
  bool fieldKnown_ = false;
  std::vector<TRecordMatch> matches_;
};

}  // namespace

std::vector<TRecordMatch> SearchRecords(TPwdBase& base, std::string_view text, std::string_view fieldName) {
  if (text.empty()) throw TError(std::string(ssearch_emptytext));
  TSearch search(text, fieldName);
  search.Folder(base);
  if (!search.FieldKnown()) throw TError(FormatMessage(ssearch_unknownfield, fieldName));
  return std::move(search.Matches());
}

}  // namespace corvane
