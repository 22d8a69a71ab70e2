// The change log in a database body, all encrypted: count, then per entry
// timestamp, user, kind, item, parent, field number, old and new text, user
// name, operation stamp, two spare texts and the extra identifier.

#include "engine/body_records.h"
#include "engine/changelog.h"
#include "engine/crypt_stream.h"

namespace corvane {
namespace {
constexpr bool kEncrypted = false;
}

void WriteChangesLog(const TPwdBaseChangesLog& log, TCryptStream& stream) {
  stream.WriteInt32(log.Count(), kEncrypted);
  for (const auto& entry : log) {
    stream.WriteDouble(entry->Timestamp, kEncrypted);
    stream.WriteGuid(entry->UserGuid, kEncrypted);
    stream.WriteByte(static_cast<std::uint8_t>(entry->ChangeKind), kEncrypted);
    stream.WriteGuid(entry->ItemGuid, kEncrypted);
    stream.WriteGuid(entry->ParentGuid, kEncrypted);
    stream.WriteInt32(entry->FieldNumber, kEncrypted);
    stream.WriteString(entry->OldText, kEncrypted);
    stream.WriteString(entry->NewText, kEncrypted);
    stream.WriteString(entry->UserName, kEncrypted);
    stream.WriteGuid(entry->OperationStamp, kEncrypted);
    stream.WriteString(entry->ExtraText1, kEncrypted);
    stream.WriteString(entry->ExtraText2, kEncrypted);
    stream.WriteGuid(entry->ExtraGuid, kEncrypted);
  }
}

void ReadChangesLog(TPwdBaseChangesLog& log, TCryptStream& stream, const TStreamFormat& format) {
  log.Clear();
  const int count = ReadCount(stream, kEncrypted);
  const std::uint16_t v = format.Version;
  for (int i = 0; i < count; ++i) {
    TPwdBaseChangeRec& entry = log.Add();
    entry.Timestamp = stream.ReadDouble(kEncrypted);
    entry.UserGuid = stream.ReadGuid(kEncrypted);
    // Kinds beyond Delete are kept as stored; the log only shows them.
    entry.ChangeKind = static_cast<TChangeKind>(stream.ReadByte(kEncrypted));
    entry.ItemGuid = stream.ReadGuid(kEncrypted);
    entry.ParentGuid = stream.ReadGuid(kEncrypted);
    // Before 2.13 the field number took one unsigned byte.
    entry.FieldNumber = v < 213 ? stream.ReadByte(kEncrypted) : stream.ReadInt32(kEncrypted);
    entry.OldText = stream.ReadString(kEncrypted);
    entry.NewText = stream.ReadString(kEncrypted);
    if (v >= 196) entry.UserName = stream.ReadString(kEncrypted);
    if (v > 197) entry.OperationStamp = stream.ReadGuid(kEncrypted);
    if (v > 215) {
      entry.ExtraText1 = stream.ReadString(kEncrypted);
      entry.ExtraText2 = stream.ReadString(kEncrypted);
    }
    if (format.Build > 22002) entry.ExtraGuid = stream.ReadGuid(kEncrypted);
  }
}

}  // namespace corvane
