#pragma once
// The attachment entry of a record in the database body, wholly in the
// encrypted part: a count (i32), then per attachment its Guid, Size and
// EncodedSize (i32), FileName and Comment (strings). The data themselves
// are in the archive region (attachments_archive.h).

namespace corvane {

class TCryptStream;
class TPwdPassword;

// Writes the entry of `record` (a count of 0 when it has no attachments).
void WriteAttachments(const TPwdPassword& record, TCryptStream& stream);
// Reads an entry into `record`, whose database is loading; returns the
// count. A negative count or size raises sreaderror.
int ReadAttachments(TPwdPassword& record, TCryptStream& stream);

}  // namespace corvane
