#pragma once
// The sub-records of a database body that belong to the owners' objects:
// field structures, users and groups, permission lists and the change log.
// Each Write* puts its values in the parts of the container the format fixes
// (field structures are split between the plain and the encrypted part; the
// others are wholly encrypted). Each Read* reads what `format` holds,
// filling in defaults for what older formats lack, and replaces the target's
// contents. Damaged data raise sreaderror; counts are never trusted beyond
// the data that follow them. Callers raise the database's loading counter.

#include "engine/stream_format.h"

namespace corvane {

class TCryptStream;
class TPwdFieldsList;
class TPwdBaseUsersList;
class TPwdPermissionsList;
class TPwdBaseChangesLog;

void WriteStructure(const TPwdFieldsList& structure, TCryptStream& stream);
void ReadStructure(TPwdFieldsList& structure, TCryptStream& stream, const TStreamFormat& format);

// Sorts the list first (groups before the users that refer to them).
void WriteUsers(TPwdBaseUsersList& users, TCryptStream& stream);
void ReadUsers(TPwdBaseUsersList& users, TCryptStream& stream, const TStreamFormat& format);

void WritePermissions(const TPwdPermissionsList& permissions, TCryptStream& stream);
void ReadPermissions(TPwdPermissionsList& permissions, TCryptStream& stream);

void WriteChangesLog(const TPwdBaseChangesLog& log, TCryptStream& stream);
void ReadChangesLog(TPwdBaseChangesLog& log, TCryptStream& stream, const TStreamFormat& format);

// Reads a count that must not be negative (else sreaderror).
int ReadCount(TCryptStream& stream, bool plain);

}  // namespace corvane
