#include "engine/attachments_stream.h"

#include "engine/attachments_list.h"
#include "engine/body_records.h"
#include "engine/crypt_stream.h"
#include "engine/messages.h"
#include "engine/password.h"
#include "platform/error.h"

namespace corvane {
namespace {

constexpr bool kEncrypted = false;

std::int32_t ReadSize(TCryptStream& stream) {
  const std::int32_t value = stream.ReadInt32(kEncrypted);
  if (value < 0) throw TError(std::string(sreaderror));
  return value;
}

}  // namespace

void WriteAttachments(const TPwdPassword& record, TCryptStream& stream) {
  const int count = record.Files ? record.Files->Count() : 0;
  stream.WriteInt32(count, kEncrypted);
  for (int i = 0; i < count; ++i) {
    const TPwdFileAttach& attachment = *(*record.Files)[i];
    stream.WriteGuid(attachment.Guid, kEncrypted);
    stream.WriteInt32(attachment.Size, kEncrypted);
    stream.WriteInt32(attachment.EncodedSize, kEncrypted);
    stream.WriteString(attachment.FileName, kEncrypted);
    stream.WriteString(attachment.Comment, kEncrypted);
  }
}

int ReadAttachments(TPwdPassword& record, TCryptStream& stream) {
  const int count = ReadCount(stream, kEncrypted);
  if (count == 0) return 0;
  TPwdFilesList& files = FilesOf(record);
  files.Clear();
  for (int i = 0; i < count; ++i) {
    TPwdFileAttach& attachment = *files.Add(stream.ReadGuid(kEncrypted));
    attachment.Size = ReadSize(stream);
    attachment.EncodedSize = ReadSize(stream);
    attachment.FileName = stream.ReadString(kEncrypted);
    attachment.Comment = stream.ReadString(kEncrypted);
  }
  return count;
}

}  // namespace corvane
