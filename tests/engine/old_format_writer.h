#pragma once
// Writes database files in the layouts of older formats, for the tests of
// the reader: one fixed sample database, laid out as format `version` /
// `build` laid it out. Only the tests use it; the program writes 2.30 only.

#include <array>
#include <cstdint>
#include <string>

#include "engine/crypt_stream.h"
#include "engine/field_descs.h"
#include "engine/fields.h"
#include "engine/stream.h"
#include "platform/guid.h"

namespace corvane::testing {

// The identifiers the sample uses, one byte repeated.
inline TGuid SampleId(std::uint8_t fill) {
  TGuid id;
  id.bytes.fill(fill);
  return id;
}
inline const TGuid kOldUser = SampleId(0x11), kOldItem = SampleId(0x22), kOldStamp = SampleId(0x33),
                   kOldExtra = SampleId(0x44), kOldDatabase = SampleId(0x55), kOldFolder = SampleId(0x66),
                   kOldRecord = SampleId(0x77), kOldField = SampleId(0x88);
inline constexpr double kOldExpires = 45500, kOldCreated = 45001, kOldModified = 45002;

class TOldFormatWriter {
 public:
  TOldFormatWriter(std::uint16_t version, std::uint16_t build) : v_(version), x_(build) {}

  // The whole file: header and container with the sample body.
  std::string File(const std::string& password) {
    TMemoryStream out;
    out.WriteBuffer(Bytes("\xCE\x85\x16\xAB\xC1\x75"));
    WriteU16(out, v_);
    if (v_ >= 220) WriteU16(out, static_cast<std::uint16_t>(x_ - v_ * 100));
    if (x_ >= 23000) out.WriteBuffer(kOldDatabase.bytes);
    if (x_ >= 22000) out.WriteUInt32(9);
    {
      TCryptStream crypt(out, password, std::string("\x05", 1), true);
      crypt.SetBufferMode(v_ >= 211 ? TBufferMode::Blocks : TBufferMode::Direct);
      Body(crypt);
      crypt.Finish();
    }
    const auto data = out.Data();
    return std::string(data.begin(), data.end());
  }

  // Rights of the sample user as this format stored them.
  std::string StoredRights() const { return v_ < 195 ? "OP" : "IUDP"; }
  // Whether the last modifier is stored as a fixed 16-byte id.
  bool ModifierIsId() const { return v_ >= 180 && v_ < 198; }

 private:
  static constexpr bool P = true, E = false;

  static std::span<const std::uint8_t> Bytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
  }
  static void WriteU16(TStream& out, std::uint16_t value) {
    const std::array<std::uint8_t, 2> bytes = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)};
    out.WriteBuffer(bytes);
  }

  void Body(TCryptStream& s) {
    s.WriteString("Old", P);
    if (v_ >= 195) s.WriteString("Old description", P);
    if (v_ >= 160) {
      s.WriteInt32(2, E);  // an administrator and bob
      User(s, SampleId(0x10), "admin", "");
      User(s, kOldUser, "bob", StoredRights());
      s.WriteByte(0, E);  // RequireLogon
      s.WriteInt32(1, E);  // one change-log entry
      s.WriteDouble(45000.5, E);
      s.WriteGuid(kOldUser, E);
      s.WriteByte(1, E);
      s.WriteGuid(kOldItem, E);
      s.WriteGuid(kOldFolder, E);
      if (v_ < 213)
        s.WriteByte(8, E);
      else
        s.WriteInt32(8, E);
      s.WriteString("old", E);
      s.WriteString("new", E);
      if (v_ >= 196) s.WriteString("bob", E);
      if (v_ > 197) s.WriteGuid(kOldStamp, E);
      if (v_ > 215) {
        s.WriteString("", E);
        s.WriteString("", E);
      }
      if (x_ > 22002) s.WriteGuid(kOldExtra, E);
      Structure(s);
    }
    if (v_ >= 170) s.WriteByte(0, E);  // LogChanges off
    if (v_ >= 196) s.WriteByte(1, E);  // AutoLogonWindowsUser
    if (v_ >= 198) s.WriteByte(0, E);  // ConcurrentWrite
    if (v_ >= 199 && x_ < 23000) s.WriteGuid(kOldDatabase, E);
    if (v_ >= 215) {
      s.WriteByte(1, E);
      s.WriteString("server", E);
      s.WriteString("", E);
      s.WriteString("", E);
    }
    if (v_ >= 219) s.WriteInt32(0, E);  // no icons
    if (x_ >= 22000) {
      s.WriteString("backups", E);
      s.WriteInt32(3, E);
      s.WriteInt32(60, E);
      s.WriteUInt32(1, E);  // remember sort orders
    }
    Sort(s, 2, 1);
    s.WriteInt32(1, P);  // the root: one folder
    Header(s, 1, kOldFolder, 4);
    s.WriteString("Folder", E);
    if (v_ >= 200) s.WriteByte(0, P);
    Sort(s, -1, 0);
    s.WriteInt32(1, P);  // the folder: one record
    Header(s, 2, kOldRecord, 5);
    Record(s);
  }

  void User(TCryptStream& s, const TGuid& id, const std::string& name, const std::string& rights) {
    s.WriteGuid(id, E);
    s.WriteString(name, E);
    s.WriteString("", E);
    s.WriteString(rights, E);
    s.WriteString("", E);
    if (v_ >= 196) {
      s.WriteByte(0, E);
      s.WriteString("", E);
    }
    if (v_ > 217) s.WriteByte(1, E);
    if (v_ > 213) s.WriteInt32(0, E);
  }

  void Sort(TCryptStream& s, std::int32_t column, std::uint8_t descending) {
    if (x_ < 22000) return;
    s.WriteInt32(column, E);
    s.WriteByte(descending, E);
  }

  void Header(TCryptStream& s, std::uint8_t type, const TGuid& id, std::int32_t icon) {
    s.WriteByte(type, P);
    if (v_ >= 151) s.WriteGuid(id, E);
    if (v_ >= 196) s.WriteInt32(icon, E);
    if (v_ >= 197) s.WriteByte(1, E);  // inherits
  }

  std::uint8_t TypeOf(const TDbFieldDescRec& desc) const {
    return desc.Kind == kKindModifiedBy && ModifierIsId() ? kFieldGuid : desc.FieldType;
  }

  // The built-in fields, the title field with a default value and an id.
  void Structure(TCryptStream& s) {
    s.WriteInt32(static_cast<std::int32_t>(kBuiltinFields.size()), P);
    int index = 0;
    for (const TDbFieldDescRec& desc : kBuiltinFields) {
      s.WriteByte(TypeOf(desc), P);
      s.WriteByte(desc.Kind, P);
      s.WriteInt32(desc.Number, P);
      s.WriteString(std::string(desc.DisplayName), E);
      if (v_ >= 180) {
        s.WriteInt32(index, P);
        s.WriteByte(1, P);
        s.WriteInt32(desc.Number == 0 ? 123 : desc.Width, P);
      }
      if (v_ >= 200) {
        s.WriteByte(desc.Category, E);
        if (desc.Kind < kKindCreated) s.WriteString("", E);
        s.WriteInt32(desc.Position, E);
        s.WriteInt32(0, E);
      }
      if (x_ > 22000) {
        s.WriteString(desc.Number == 0 ? "dflt" : "", E);
        s.WriteString("", E);
      }
      if (x_ >= 22004) s.WriteGuid(desc.Number == 0 ? kOldField : TGuid::Create(), E);
      ++index;
    }
    if (v_ >= 200) {
      s.WriteInt32(2, E);
      s.WriteString("Main", E);
      s.WriteString("More", E);
    }
  }

  static std::string Value(std::string_view text) {
    std::string value(4, '\0');
    value[0] = static_cast<char>(text.size());
    return value + std::string(text);
  }
  static std::string Date(double date) {
    std::string value(8, '\0');
    std::memcpy(value.data(), &date, 8);
    return value;
  }

  void Record(TCryptStream& s) {
    if (v_ < 151) {
      s.WriteDouble(kOldExpires, P);
      s.WriteDouble(kOldCreated, E);
      s.WriteDouble(kOldModified, E);
      for (const char* text : {"T1", "U1", "P1", "url", "desc", "acct"}) s.WriteString(text, E);
      return;
    }
    std::string area;
    for (const TDbFieldDescRec& desc : kBuiltinFields) {
      switch (desc.Number) {
        case 0: area += Value("T1"); break;
        case 1: area += Value("U1"); break;
        case 8: area += Value("P1"); break;
        case 5: area += Date(kOldCreated); break;
        case 6: area += Date(kOldModified); break;
        case 7: area += Date(kOldExpires); break;
        case 9: area += ModifierIsId() ? std::string(16, 'm') : Value("bob"); break;
        default: area += Value(""); break;
      }
    }
    s.WriteString(area, E);
    s.WriteDouble(kOldExpires, P);
    if (v_ >= 201) {
      s.WriteInt32(1, P);
      s.WriteString("form", P);
      s.WriteInt32(1, P);
      s.WriteString("ctl", P);
      s.WriteInt32(0, P);
      if (x_ >= 22002) s.WriteString("fp", P);
    }
    if (v_ >= 212) s.WriteInt32(0, E);
  }

  const std::uint16_t v_;
  const std::uint16_t x_;
};

}  // namespace corvane::testing
