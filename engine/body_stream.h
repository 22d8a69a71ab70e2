#pragma once
// The database body: the database's settings, users, change log and field
// structure followed by the tree of folders and records, as one sequence of
// values in a two-part TCryptStream. What a listing needs without the
// password (database name and description, the shape of the tree, item
// types, field types and columns, expiry dates, auto-fill data) is in the
// plain part; everything else is encrypted.
//
// The body is always written in the current format (2.30, build 23000) and
// read from every format back to 0.95, under the version rules of each value.

#include "engine/stream_format.h"

namespace corvane {

class TCryptStream;
class TPwdBase;

// Writes the body of `base` into `stream` (not finished: the caller does).
void WriteDatabaseBody(TPwdBase& base, TCryptStream& stream);

// Reads a body of `format` into `base`, whose tree must be empty and whose
// loading counter is raised. Without the password (format.PasswordKnown
// false) encrypted values read as zero: names come back empty, counts 0.
// Throws TError: sreaderror for truncated or damaged data, "Unknown item
// type." for a bad type byte, serr_nestedtoodeep for an absurdly deep tree.
// Returns how many attachment entries the records listed.
int ReadDatabaseBody(TPwdBase& base, TCryptStream& stream, const TStreamFormat& format);

}  // namespace corvane
