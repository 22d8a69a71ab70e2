// Permission lists in a database body: count, then per entry the identifier,
// the granted and the denied letters, all encrypted.

#include "engine/body_records.h"
#include "engine/crypt_stream.h"
#include "engine/messages.h"
#include "engine/permissions.h"
#include "platform/error.h"

namespace corvane {
namespace {
constexpr bool kEncrypted = false;
}

int ReadCount(TCryptStream& stream, bool plain) {
  const std::int32_t count = stream.ReadInt32(plain);
  if (count < 0) throw TError(std::string(sreaderror));
  return count;
}

void WritePermissions(const TPwdPermissionsList& permissions, TCryptStream& stream) {
  stream.WriteInt32(permissions.Count(), kEncrypted);
  for (const auto& entry : permissions) {
    stream.WriteGuid(entry->Guid, kEncrypted);
    stream.WriteString(entry->Granted, kEncrypted);
    stream.WriteString(entry->Denied, kEncrypted);
  }
}

void ReadPermissions(TPwdPermissionsList& permissions, TCryptStream& stream) {
  permissions.Clear();
  const int count = ReadCount(stream, kEncrypted);
  for (int i = 0; i < count; ++i) {
    const TGuid guid = stream.ReadGuid(kEncrypted);
    std::string granted = stream.ReadString(kEncrypted);
    std::string denied = stream.ReadString(kEncrypted);
    permissions.SetEntry(guid, granted, denied);
  }
}

}  // namespace corvane
