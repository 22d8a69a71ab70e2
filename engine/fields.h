#pragma once
// Field structures: the typed field definitions of a folder (TPwdField) and
// the structure that holds them with its sections and column maps
// (TPwdFieldsList). A field is also the accessor of its value in the record
// its structure is bound to (CurrentRecord): bind a record with
// TPwdPassword::Bind before reading or writing values.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/guid.h"

namespace corvane {

class TPwdBase;
class TPwdFolder;
class TPwdFieldsList;
class TPwdPassword;

// Field type codes, as stored.
constexpr std::uint8_t kFieldRaw = 0;       // variable raw bytes (not offered)
constexpr std::uint8_t kFieldString = 1;    // variable 8-bit text
constexpr std::uint8_t kFieldDate = 2;      // 8-byte date serial
constexpr std::uint8_t kFieldInteger = 3;   // signed 32-bit
constexpr std::uint8_t kFieldFloat = 4;     // 8-byte double
constexpr std::uint8_t kFieldGuid = 5;      // 16 raw bytes (not offered)
constexpr std::uint8_t kFieldCheckbox = 6;  // 1 byte, 0 or 1

// Field kinds, as stored.
constexpr std::uint8_t kKindRegular = 0;
constexpr std::uint8_t kKindPassword = 1;
constexpr std::uint8_t kKindMultiline = 2;
constexpr std::uint8_t kKindUrl = 3;
constexpr std::uint8_t kKindPredefined = 4;
constexpr std::uint8_t kKindCreated = 0xF0;
constexpr std::uint8_t kKindModified = 0xF1;
constexpr std::uint8_t kKindExpires = 0xF2;
constexpr std::uint8_t kKindModifiedBy = 0xF3;

// Fixed value size of a type code; 0 for the variable types (0, 1).
std::int32_t FieldValueSize(std::uint8_t fieldType);
// The system fields whose values the record's save path fills in, and that
// the change log leaves out: created, modified, modified by.
bool IsUnloggedKind(std::uint8_t kind);

class TPwdField {
 public:
  explicit TPwdField(TPwdFieldsList* owner);
  TPwdField(const TPwdField&) = delete;
  TPwdField& operator=(const TPwdField&) = delete;

  // --- Values of the owner's CurrentRecord ---
  // Text form; "******" when the viewing rules hide the value.
  std::string AsString() const;
  // Converts the text by type (lenient; what does not parse becomes 0) and stores it.
  void SetAsString(std::string_view text);
  bool AsBoolean() const;
  double AsDate() const;
  double AsFloat() const;
  std::int32_t AsInteger() const;
  // The value bytes (without the length prefix of variable types); zero
  // bytes when the viewing rules hide the value.
  std::string GetRawValue() const;
  void SetAsBoolean(bool value);
  void SetAsDate(double value);
  void SetAsFloat(double value);
  void SetAsInteger(std::int32_t value);
  // Stores `data` as the value. Outside a type conversion the record must be
  // new ("I") or in edit state ("U"). fixedLength -1: the old value's length
  // comes from the type (or its prefix); otherwise it is fixedLength bytes.
  // A change is logged and marks the database modified.
  void SetRawValue(std::string_view data, std::int32_t fixedLength = -1);

  // The default value as the user sees it.
  std::string DefaultValueText() const;
  std::int32_t ValueSize() const { return FieldValueSize(FieldType); }
  // Category, lowered to the last section when it points past it.
  std::uint8_t EffectiveCategory();

  // --- Definition changes (each does nothing when the value is equal) ---
  void SetName(const std::string& name);
  void SetFieldType(std::uint8_t fieldType);  // "A"; converts every record
  void SetKind(std::uint8_t kind);            // "A"
  void SetCategory(std::uint8_t category);
  void SetDescription(const std::string& text);
  void SetPredefinedValues(const std::string& text);
  void SetPosition(std::int32_t position);
  // Normalises the text by type; throws "Invalid field value." when it does not parse.
  void SetDefaultValue(const std::string& text);
  void SetColumnPosition(std::int32_t position);
  void SetColumnVisible(bool visible);
  void SetColumnWidth(std::int32_t width);
  void SetColumnExtra(std::int32_t extra);
  // Number = the database's LastFieldNumber + 1.
  void AssignNewNumber();

  // Description = the fixed text of a system kind (kinds 0xF0 and above).
  void SetSystemDescription();
  // Text form ignoring the viewing rules: for the change log and copies.
  std::string RevealedText() const;
  // The stored bytes of the bound record, ignoring the viewing rules.
  std::string StoredBytes() const;

  TPwdFieldsList* Owner;
  std::uint8_t FieldType = kFieldString;
  std::uint8_t Kind = kKindRegular;
  std::string Name;
  std::int32_t Index = 0;  // slot in the list and in every value area; not stored
  std::int32_t Number = 0;
  std::int32_t ColumnPosition = 0;
  bool ColumnVisible = true;
  std::int32_t ColumnWidth = 70;
  bool ForceReveal = false;  // transient: reads ignore viewing rights
  std::uint8_t Category = 0;
  std::string Description;
  std::int32_t Position = 0;
  std::int32_t ConversionDepth = 0;  // transient: a type conversion runs
  std::int32_t ColumnExtra = 0;
  std::string PredefinedValues;
  std::string DefaultValue;
  TGuid Guid;
  TGuid LastLogStamp;  // transient

 private:
  friend class TPwdFieldsList;
  bool ValueHidden() const;
  // The bound record, its values laid out by this structure; nullptr when
  // none is bound or the binding is stale.
  TPwdPassword* BoundRecord() const;
  std::string TextOf(std::string_view bytes) const;
  // Writes a structure-change entry for this field, at most once per stamp.
  void LogDefinitionChange(const std::string& oldText, const std::string& newText);
  void DefinitionChanged();
  TPwdBase* Base() const;
};

class TPwdFieldsList {
 public:
  explicit TPwdFieldsList(TPwdFolder* ownerFolder);
  ~TPwdFieldsList();
  TPwdFieldsList(const TPwdFieldsList&) = delete;
  TPwdFieldsList& operator=(const TPwdFieldsList&) = delete;

  int Count() const { return static_cast<int>(fields_.size()); }
  TPwdField* operator[](int index) const { return fields_[index].get(); }

  // Sections "General" and "Advanced".
  void SetDefaultSections();
  // Mode 1 structure: default sections and the ten built-in fields.
  void CreateDefaultFields();
  // Requires "A". number -1: LastFieldNumber + 1. Returns the new field.
  TPwdField* AddField(const std::string& name, std::uint8_t fieldType, std::uint8_t kind,
                      std::int32_t number = -1);
  // Requires "A". Removes the field and its value from every record that
  // uses this structure.
  void DeleteField(int index);
  // Frees every field and section without logging.
  void Clear();
  // Makes this an equal copy of `other` (numbers and Guids kept).
  void AssignStructure(const TPwdFieldsList& other);
  bool SameStructure(const TPwdFieldsList& other) const;

  TPwdField* FieldByNumber(std::int32_t number) const;
  TPwdField* FieldByName(std::string_view name) const;  // case-insensitive
  TPwdField* FieldByKind(std::uint8_t kind) const;
  TPwdField* FieldByGuid(const TGuid& id) const;
  TPwdField* FieldByColumn(int position) const;
  TPwdField* VisibleColumn(int i) const;
  // The i-th field of the record editor's order (section, then position).
  TPwdField* DisplayField(int i) const;
  // The field that names a record; nullptr for an empty structure.
  TPwdField* TitleField() const;

  // Renames (non-empty text) or deletes (empty text) a section; an index
  // past the end appends the text until the section exists. Logged.
  void SetSectionName(int index, const std::string& text);
  // Rebuilds ColumnMap and VisibleColumns, repairing duplicate positions.
  void RebuildColumnMaps();

  // The database of the owner folder; nullptr for a free structure.
  TPwdBase* Base() const;
  // Calls `visit` for every record whose values follow this structure, in
  // tree order: the owner folder's records and those of subfolders without
  // an own structure.
  template <class TVisit>
  void ForEachRecord(TVisit visit) const;

  TPwdPassword* CurrentRecord = nullptr;
  std::vector<std::int32_t> ColumnMap;
  std::vector<std::int32_t> VisibleColumns;
  TPwdFolder* OwnerFolder;
  std::vector<std::string> Sections;

 private:
  friend class TPwdField;
  friend class TPwdPassword;
  void Bind(TPwdPassword* record);
  void CollectRecords(const TPwdFolder& folder, std::vector<TPwdPassword*>& out) const;
  void InvalidateCaches();
  std::int32_t NextFieldNumber(std::int32_t requested);

  std::vector<std::unique_ptr<TPwdField>> fields_;
  mutable std::vector<TPwdField*> displayOrder_;
  mutable bool displayOrderValid_ = false;
  mutable TPwdField* titleField_ = nullptr;
  mutable bool titleFieldValid_ = false;
};

template <class TVisit>
void TPwdFieldsList::ForEachRecord(TVisit visit) const {
  std::vector<TPwdPassword*> records;
  if (OwnerFolder) CollectRecords(*OwnerFolder, records);
  for (TPwdPassword* record : records) visit(*record);
}

}  // namespace corvane
