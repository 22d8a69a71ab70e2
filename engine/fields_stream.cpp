// Field structures in a database body. The parts a listing without the
// password needs (types, kinds, numbers, columns) are plain; names and
// everything else are encrypted.

#include <vector>

#include "engine/body_records.h"
#include "engine/crypt_stream.h"
#include "engine/field_descs.h"
#include "engine/fields.h"

namespace corvane {
namespace {
constexpr bool kPlain = true;
constexpr bool kEncrypted = false;
}  // namespace

void WriteStructure(const TPwdFieldsList& structure, TCryptStream& stream) {
  stream.WriteInt32(structure.Count(), kPlain);
  for (int i = 0; i < structure.Count(); ++i) {
    const TPwdField& field = *structure[i];
    stream.WriteByte(field.FieldType, kPlain);
    stream.WriteByte(field.Kind, kPlain);
    stream.WriteInt32(field.Number, kPlain);
    stream.WriteString(field.Name, kEncrypted);
    stream.WriteInt32(field.ColumnPosition, kPlain);
    stream.WriteByte(field.ColumnVisible ? 1 : 0, kPlain);
    stream.WriteInt32(field.ColumnWidth, kPlain);
    stream.WriteByte(field.Category, kEncrypted);
    if (field.Kind < kKindCreated) stream.WriteString(field.Description, kEncrypted);
    stream.WriteInt32(field.Position, kEncrypted);
    stream.WriteInt32(field.ColumnExtra, kEncrypted);
    stream.WriteString(field.DefaultValue, kEncrypted);
    stream.WriteString(field.PredefinedValues, kEncrypted);
    stream.WriteGuid(field.Guid, kEncrypted);
  }
  stream.WriteInt32(static_cast<std::int32_t>(structure.Sections.size()), kEncrypted);
  for (const std::string& section : structure.Sections) stream.WriteString(section, kEncrypted);
}

void ReadStructure(TPwdFieldsList& structure, TCryptStream& stream, const TStreamFormat& format) {
  structure.Clear();
  const std::uint16_t v = format.Version;
  const std::uint16_t x = format.Build;
  const int count = ReadCount(stream, kPlain);
  // Column positions are applied once every field is there: the column maps
  // would take a position past the fields read so far for a clash.
  std::vector<std::int32_t> columns;
  for (int i = 0; i < count; ++i) {
    const std::uint8_t type = stream.ReadByte(kPlain);
    const std::uint8_t kind = stream.ReadByte(kPlain);
    const std::int32_t number = stream.ReadInt32(kPlain);
    std::string name = stream.ReadString(kEncrypted);
    TPwdField& field = *structure.AddField(name, type, kind, number);
    columns.push_back(field.Index);
    if (v >= 180) {
      columns.back() = stream.ReadInt32(kPlain);
      field.ColumnVisible = stream.ReadByte(kPlain) != 0;
      field.ColumnWidth = stream.ReadInt32(kPlain);
    }
    if (v >= 200) {
      field.Category = stream.ReadByte(kEncrypted);
      if (kind < kKindCreated) field.Description = stream.ReadString(kEncrypted);
      field.Position = stream.ReadInt32(kEncrypted);
      field.ColumnExtra = stream.ReadInt32(kEncrypted);
    } else if (const TDbFieldDescRec* builtin = FindBuiltinField(number)) {
      field.Category = builtin->Category;
      field.Position = builtin->Position;
    }
    if (x > 22000) {
      field.DefaultValue = stream.ReadString(kEncrypted);
      field.PredefinedValues = stream.ReadString(kEncrypted);
    }
    field.Guid = x >= 22004 ? stream.ReadGuid(kEncrypted) : TGuid::Create();
    field.SetSystemDescription();
  }
  for (int i = 0; i < count; ++i) structure[i]->ColumnPosition = columns[static_cast<std::size_t>(i)];
  if (v < 200) {
    structure.SetDefaultSections();
  } else {
    const int sections = ReadCount(stream, kEncrypted);
    for (int i = 0; i < sections; ++i) structure.Sections.push_back(stream.ReadString(kEncrypted));
  }
  structure.RebuildColumnMaps();
}

}  // namespace corvane
