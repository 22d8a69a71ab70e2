// Field definitions and the reading and writing of a record's values.

#include "engine/fields.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "engine/base.h"
#include "engine/field_descs.h"
#include "engine/messages.h"
#include "engine/secure_buffer.h"
#include "platform/error.h"
#include "platform/locale.h"

namespace corvane {
namespace {

static_assert(std::endian::native == std::endian::little,
              "values are kept in the value area in their in-memory form");

std::uint32_t ReadLength(const std::string& area, std::size_t at) {
  std::uint32_t value = 0;
  std::memcpy(&value, area.data() + at, 4);
  return value;
}

void WriteLength(std::string& area, std::size_t at, std::size_t length) {
  const auto value = static_cast<std::uint32_t>(length);
  std::memcpy(area.data() + at, &value, 4);
}

template <class T>
std::string BytesOf(T value) {
  std::string bytes(sizeof value, '\0');
  std::memcpy(bytes.data(), &value, sizeof value);
  return bytes;
}

template <class T>
T ValueOf(std::string_view bytes) {
  T value{};
  std::memcpy(&value, bytes.data(), std::min(sizeof value, bytes.size()));
  return value;
}

// Optional sign, then digits up to the first other character; 0 without digits.
std::int32_t LenientInteger(std::string_view text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    value = std::min<std::int64_t>(value * 10 + (text[i] - '0'), std::int64_t{1} << 31);
  if (negative) value = -value;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

// The short date of a serial; empty for one that is no valid date, so that a
// damaged value still reads.
std::string DateText(double serial) {
  try {
    return FormatShortDate(serial);
  } catch (const TError&) {
    return {};
  }
}

std::string WithSeparator(std::string text, char from, char to) {
  std::replace(text.begin(), text.end(), from, to);
  return text;
}

// Raises a field's ConversionDepth for its lifetime.
class TConversionScope {
 public:
  explicit TConversionScope(TPwdField& field) : field_(field) { ++field_.ConversionDepth; }
  ~TConversionScope() { --field_.ConversionDepth; }
  TConversionScope(const TConversionScope&) = delete;
  TConversionScope& operator=(const TConversionScope&) = delete;

 private:
  TPwdField& field_;
};

}  // namespace

std::int32_t FieldValueSize(std::uint8_t fieldType) {
  switch (fieldType) {
    case kFieldDate: return 8;
    case kFieldInteger: return 4;
    case kFieldFloat: return 8;
    case kFieldGuid: return 16;
    case kFieldCheckbox: return 1;
    default: return 0;
  }
}

bool IsUnloggedKind(std::uint8_t kind) {
  return kind == kKindCreated || kind == kKindModified || kind == kKindModifiedBy;
}

TPwdField::TPwdField(TPwdFieldsList* owner) : Owner(owner) {}

TPwdBase* TPwdField::Base() const { return Owner ? Owner->Base() : nullptr; }

// --- Reading ---

bool TPwdField::ValueHidden() const {
  if (ForceReveal) return false;
  const TPwdPassword* record = Owner->CurrentRecord;
  if (!record) return false;
  return !record->HasRights("", true) || (Kind == kKindPassword && !record->HasRights("VM"));
}

TPwdPassword* TPwdField::BoundRecord() const {
  TPwdPassword* record = Owner->CurrentRecord;
  if (!record || record->ValueOffsets.size() == static_cast<std::size_t>(Owner->Count())) return record;
  // The record may have gone over to another structure (its folder got an
  // own one): then this structure no longer describes its values.
  if (record->EffectiveStructure() != Owner) return nullptr;
  record->LayoutValues();
  return record;
}

std::string TPwdField::StoredBytes() const {
  TPwdPassword* record = BoundRecord();
  if (!record) return std::string(static_cast<std::size_t>(ValueSize()), '\0');
  const std::string& area = record->ValueArea;
  const auto offset = static_cast<std::size_t>(record->ValueOffsets[static_cast<std::size_t>(Index)]);
  const auto size = static_cast<std::size_t>(ValueSize());
  if (size > 0) {
    if (offset + size > area.size()) return std::string(size, '\0');
    return area.substr(offset, size);
  }
  if (offset + 4 > area.size()) return {};
  const std::size_t length = std::min<std::size_t>(ReadLength(area, offset), area.size() - offset - 4);
  return area.substr(offset + 4, length);
}

std::string TPwdField::TextOf(std::string_view bytes) const {
  switch (FieldType) {
    case kFieldDate: {
      const double serial = ValueOf<double>(bytes);
      return serial == 0 ? std::string() : DateText(serial);
    }
    case kFieldInteger: return std::to_string(ValueOf<std::int32_t>(bytes));
    case kFieldFloat:
      return FormatFloat(ValueOf<double>(bytes), DecimalSeparator());
    case kFieldCheckbox: return ValueOf<std::uint8_t>(bytes) == 1 ? "+" : "";
    default: return std::string(bytes);
  }
}

std::string TPwdField::AsString() const {
  if (ValueHidden()) return std::string(spwdhiddenvalue);
  std::string bytes = StoredBytes();
  std::string text = TextOf(bytes);
  WipeString(bytes);
  return text;
}

std::string TPwdField::RevealedText() const {
  std::string bytes = StoredBytes();
  std::string text = TextOf(bytes);
  WipeString(bytes);
  return text;
}

std::string TPwdField::GetRawValue() const {
  if (ValueHidden()) return std::string(static_cast<std::size_t>(ValueSize()), '\0');
  return StoredBytes();
}

bool TPwdField::AsBoolean() const { return ValueOf<std::uint8_t>(GetRawValue()) != 0; }
double TPwdField::AsDate() const { return ValueOf<double>(GetRawValue()); }
double TPwdField::AsFloat() const { return ValueOf<double>(GetRawValue()); }
std::int32_t TPwdField::AsInteger() const { return ValueOf<std::int32_t>(GetRawValue()); }

// --- Writing ---

void TPwdField::SetAsBoolean(bool value) { SetRawValue(BytesOf<std::uint8_t>(value ? 1 : 0)); }
void TPwdField::SetAsDate(double value) { SetRawValue(BytesOf(value)); }
void TPwdField::SetAsFloat(double value) { SetRawValue(BytesOf(value)); }
void TPwdField::SetAsInteger(std::int32_t value) { SetRawValue(BytesOf(value)); }

void TPwdField::SetAsString(std::string_view text) {
  switch (FieldType) {
    case kFieldDate:
      SetAsDate(text.empty() ? 0 : ParseShortDate(text).value_or(0));
      break;
    case kFieldInteger: SetAsInteger(LenientInteger(text)); break;
    case kFieldFloat:
      SetAsFloat(ParseFloat(text, DecimalSeparator()).value_or(0));
      break;
    case kFieldCheckbox: SetAsBoolean(!text.empty() && LenientInteger(text) != 0); break;
    default: SetRawValue(text); break;
  }
}

void TPwdField::SetRawValue(std::string_view data, std::int32_t fixedLength) {
  TPwdPassword* record = BoundRecord();
  if (!record) throw TError(std::string(spwdnotineditmode));
  if (ConversionDepth == 0) record->BeginModify();

  std::string& area = record->ValueArea;
  const auto offset = static_cast<std::size_t>(record->ValueOffsets[static_cast<std::size_t>(Index)]);
  const auto size = static_cast<std::size_t>(ValueSize());
  const std::size_t prefix = size == 0 ? 4 : 0;
  if (area.size() < offset + prefix) area.resize(offset + prefix, '\0');
  std::size_t oldLength;
  if (fixedLength >= 0)
    oldLength = static_cast<std::size_t>(fixedLength);
  else if (size > 0)
    oldLength = size;
  else
    oldLength = std::min<std::size_t>(ReadLength(area, offset), area.size() - offset - 4);
  if (area.size() < offset + prefix + oldLength) area.resize(offset + prefix + oldLength, '\0');

  std::string value(data);
  if (size > 0) value.resize(size, '\0');
  const std::string_view oldValue(area.data() + offset + prefix, oldLength);
  // Zero bytes past the shorter value count as equal, so that a length
  // change alone shows only outside a conversion.
  const std::size_t common = std::min(oldValue.size(), value.size());
  bool differs = oldValue.substr(0, common) != std::string_view(value).substr(0, common);
  const std::string_view longer = oldValue.size() > value.size() ? oldValue : std::string_view(value);
  differs = differs || longer.substr(common).find_first_not_of('\0') != std::string_view::npos;
  const bool changed = differs || (ConversionDepth == 0 && oldLength != value.size());

  std::string oldText = changed ? RevealedText() : std::string();
  area.replace(offset + prefix, oldLength, value);
  if (prefix) WriteLength(area, offset, value.size());
  const auto delta = static_cast<std::int64_t>(value.size()) - static_cast<std::int64_t>(oldLength);
  if (delta != 0)
    for (std::size_t i = static_cast<std::size_t>(Index) + 1; i < record->ValueOffsets.size(); ++i)
      record->ValueOffsets[i] = static_cast<std::int32_t>(record->ValueOffsets[i] + delta);
  WipeString(value);

  if (changed) {
    TPwdBase* base = record->GetBase();
    if (base) base->SetModified(true);
    if (!IsUnloggedKind(Kind)) {
      record->EnsureStamp();
      std::string newText = RevealedText();
      if (base) base->LogChange(*record, TChangeKind::Update, Number, oldText, newText);
      WipeString(newText);
    }
  }
  WipeString(oldText);
}

// --- Default value ---

void TPwdField::SetDefaultValue(const std::string& text) {
  std::string neutral = text;
  if (!text.empty()) {
    const char separator = DecimalSeparator();
    std::optional<double> number;
    switch (FieldType) {
      case kFieldDate:
        number = ParseShortDate(text);
        if (!number) throw TError(std::string(spwdinvalidfieldvalue));
        neutral = FormatFloat(*number, '.');
        break;
      case kFieldInteger: {
        const auto value = ParseInteger(text);
        if (!value) throw TError(std::string(spwdinvalidfieldvalue));
        neutral = std::to_string(*value);
        break;
      }
      case kFieldFloat:
        number = ParseFloat(text, separator);
        if (!number) throw TError(std::string(spwdinvalidfieldvalue));
        neutral = FormatFloat(*number, '.');
        break;
      default: break;
    }
  }
  if (neutral == DefaultValue) return;
  DefaultValue = neutral;
  DefinitionChanged();
  LogDefinitionChange(Name, Name);
}

std::string TPwdField::DefaultValueText() const {
  const char separator = DecimalSeparator();
  switch (FieldType) {
    case kFieldDate: {
      if (DefaultValue.empty()) return {};
      const auto serial = ParseFloat(DefaultValue, '.');
      return serial ? DateText(*serial) : std::string();
    }
    case kFieldFloat:
      return DefaultValue.empty() ? "0" : WithSeparator(DefaultValue, '.', separator);
    default: return DefaultValue;
  }
}

// --- Definition ---

std::uint8_t TPwdField::EffectiveCategory() {
  const std::size_t sections = Owner->Sections.size();
  if (sections > 0 && Category >= sections) Category = static_cast<std::uint8_t>(sections - 1);
  return Category;
}

void TPwdField::SetSystemDescription() {
  if (Kind >= kKindCreated) Description = std::string(SystemKindDescription(Kind));
}

void TPwdField::DefinitionChanged() {
  Owner->InvalidateCaches();
  if (TPwdBase* base = Base()) base->SetModified(true);
}

void TPwdField::LogDefinitionChange(const std::string& oldText, const std::string& newText) {
  TPwdFolder* folder = Owner->OwnerFolder;
  TPwdBase* base = Base();
  if (!folder || !base || base->IsLoading()) return;
  if (!LastLogStamp.IsNull() && LastLogStamp == folder->OperationStamp) return;
  base->LogChange(*folder, TChangeKind::Update, -4, oldText, newText, Guid);
  LastLogStamp = folder->OperationStamp;
}

void TPwdField::SetName(const std::string& name) {
  if (name == Name) return;
  const std::string oldName = Name;
  Name = name;
  DefinitionChanged();
  LogDefinitionChange(oldName, name);
}

void TPwdField::SetFieldType(std::uint8_t fieldType) {
  if (fieldType == FieldType) return;
  if (Owner->OwnerFolder) Owner->OwnerFolder->RequireRights("A");
  const std::uint8_t oldType = FieldType;
  Owner->ForEachRecord([&](TPwdPassword& record) {
    FieldType = oldType;
    record.Bind();
    std::string text = RevealedText();
    // The old value makes room for an empty value of the new type, which
    // then receives the old text.
    const auto offset = static_cast<std::size_t>(record.ValueOffsets[static_cast<std::size_t>(Index)]);
    const std::size_t end = static_cast<std::size_t>(Index) + 1 < record.ValueOffsets.size()
                                ? static_cast<std::size_t>(record.ValueOffsets[static_cast<std::size_t>(Index) + 1])
                                : record.ValueArea.size();
    const auto newSize = static_cast<std::size_t>(FieldValueSize(fieldType));
    const std::size_t emptySize = newSize > 0 ? newSize : 4;
    record.ValueArea.replace(offset, end - offset, emptySize, '\0');
    const auto delta = static_cast<std::int64_t>(emptySize) - static_cast<std::int64_t>(end - offset);
    for (std::size_t i = static_cast<std::size_t>(Index) + 1; i < record.ValueOffsets.size(); ++i)
      record.ValueOffsets[i] = static_cast<std::int32_t>(record.ValueOffsets[i] + delta);
    FieldType = fieldType;
    TConversionScope conversion(*this);
    SetAsString(text);
    WipeString(text);
  });
  FieldType = fieldType;
  DefinitionChanged();
  LogDefinitionChange(Name, Name);
}

void TPwdField::SetKind(std::uint8_t kind) {
  if (kind == Kind) return;
  if (Owner->OwnerFolder) Owner->OwnerFolder->RequireRights("A");
  Kind = kind;
  SetSystemDescription();
  DefinitionChanged();
  LogDefinitionChange(Name, Name);
}

void TPwdField::SetCategory(std::uint8_t category) {
  if (category == Category) return;
  Category = category;
  DefinitionChanged();
  LogDefinitionChange(Name, Name);
}

void TPwdField::SetDescription(const std::string& text) {
  if (text == Description) return;
  Description = text;
  DefinitionChanged();
  LogDefinitionChange(Name, Name);
}

void TPwdField::SetPredefinedValues(const std::string& text) {
  if (text == PredefinedValues) return;
  PredefinedValues = text;
  DefinitionChanged();
  LogDefinitionChange(Name, Name);
}

void TPwdField::SetPosition(std::int32_t position) {
  if (position == Position) return;
  Position = position;
  DefinitionChanged();
  LogDefinitionChange(Name, Name);
}

void TPwdField::SetColumnPosition(std::int32_t position) {
  const std::int32_t from = ColumnPosition;
  if (position == from) return;
  for (int i = 0; i < Owner->Count(); ++i) {
    TPwdField& other = *(*Owner)[i];
    if (&other == this) continue;
    if (position > from && other.ColumnPosition > from && other.ColumnPosition <= position)
      --other.ColumnPosition;
    else if (position < from && other.ColumnPosition >= position && other.ColumnPosition < from)
      ++other.ColumnPosition;
  }
  ColumnPosition = position;
  Owner->RebuildColumnMaps();
  if (TPwdBase* base = Base()) base->SetModified(true);
}

void TPwdField::SetColumnVisible(bool visible) {
  if (visible == ColumnVisible) return;
  ColumnVisible = visible;
  Owner->RebuildColumnMaps();
  if (TPwdBase* base = Base()) base->SetModified(true);
}

void TPwdField::SetColumnWidth(std::int32_t width) {
  if (width == ColumnWidth) return;
  ColumnWidth = width;
  if (TPwdBase* base = Base()) base->SetModified(true);
}

void TPwdField::SetColumnExtra(std::int32_t extra) { ColumnExtra = extra; }

void TPwdField::AssignNewNumber() { Number = Owner->NextFieldNumber(-1); }

}  // namespace corvane
