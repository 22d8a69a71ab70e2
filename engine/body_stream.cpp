#include "engine/body_stream.h"

#include <string>

#include "engine/attachments_stream.h"
#include "engine/base.h"
#include "engine/body_records.h"
#include "engine/crypt_stream.h"
#include "engine/dbfile.h"
#include "engine/messages.h"
#include "engine/permissions.h"
#include "platform/error.h"

namespace corvane {
namespace {

constexpr bool kPlain = true;
constexpr bool kEncrypted = false;

// Deeper trees are refused: no person nests folders this deep, and the tree
// is read and freed recursively.
constexpr int kMaxDepth = 1000;

// Built-in field numbers of the values that records of formats before 1.51
// stored one by one.
constexpr std::int32_t kFieldTitle = 0, kFieldUserName = 1, kFieldAccount = 2, kFieldUrl = 3,
                       kFieldDescription = 4, kFieldCreated = 5, kFieldModified = 6, kFieldExpires = 7,
                       kFieldPassword = 8;

// --- Writing ---

class TBodyWriter {
 public:
  TBodyWriter(TPwdBase& base, TCryptStream& stream) : base_(base), out_(stream) {}

  void Write() {
    out_.WriteString(base_.Name, kPlain);
    out_.WriteString(base_.Description, kPlain);
    WriteUsers(*base_.Users, out_);
    out_.WriteByte(base_.RequireLogon, kEncrypted);
    WriteChangesLog(*base_.ChangesLog, out_);
    WriteStructure(*base_.Structure, out_);
    out_.WriteByte(base_.LogChanges, kEncrypted);
    out_.WriteByte(base_.AutoLogonWindowsUser, kEncrypted);
    out_.WriteByte(base_.ConcurrentWrite, kEncrypted);
    out_.WriteByte(base_.LogActions, kEncrypted);
    out_.WriteString(base_.LogServer, kEncrypted);
    out_.WriteString(base_.LogServerExtra1, kEncrypted);
    out_.WriteString(base_.LogServerExtra2, kEncrypted);
    base_.Icons.SaveToStream(out_);
    out_.WriteString(base_.BackupFolder, kEncrypted);
    out_.WriteInt32(base_.BackupCount, kEncrypted);
    out_.WriteInt32(base_.AutoCloseSeconds, kEncrypted);
    out_.WriteUInt32(base_.OptionFlags, kEncrypted);
    WriteFolderPart(base_);
    // An empty tree still ends with one encrypted byte, which no reader reads.
    if (base_.Items->Count() == 0) out_.WriteByte(0, kEncrypted);
  }

 private:
  void WriteHeader(const TPwdItem& item) {
    out_.WriteByte(item.ItemType, kPlain);
    out_.WriteGuid(item.Guid, kEncrypted);
    out_.WriteInt32(item.IconIndex, kEncrypted);
    out_.WriteByte(item.Permissions ? 0 : 1, kEncrypted);
    if (item.Permissions) WritePermissions(*item.Permissions, out_);
  }

  // The sort settings and the children: all that the root writes of itself.
  void WriteFolderPart(const TPwdFolder& folder) {
    out_.WriteInt32(folder.SortColumn, kEncrypted);
    out_.WriteByte(folder.SortDescending, kEncrypted);
    const auto& children = folder.Items->Items();
    out_.WriteInt32(static_cast<std::int32_t>(children.size()), kPlain);
    for (TPwdItem* child : children) {
      if (child->IsFolder())
        WriteFolder(static_cast<TPwdFolder&>(*child));
      else
        WriteRecord(static_cast<TPwdPassword&>(*child));
    }
  }

  void WriteFolder(const TPwdFolder& folder) {
    WriteHeader(folder);
    out_.WriteString(folder.Name, kEncrypted);
    out_.WriteByte(folder.Structure ? 1 : 0, kPlain);
    if (folder.Structure) WriteStructure(*folder.Structure, out_);
    WriteFolderPart(folder);
  }

  void WriteRecord(TPwdPassword& record) {
    WriteHeader(record);
    record.LayoutValues();
    out_.WriteString(record.ValueArea, kEncrypted);
    TPwdFieldsList* structure = record.Bind();
    TPwdField* expires = structure ? structure->FieldByKind(kKindExpires) : nullptr;
    out_.WriteDouble(expires ? expires->AsDate() : 0.0, kPlain);
    record.AutoFill.SaveToStream(out_);
    WriteAttachments(record, out_);
  }

  TPwdBase& base_;
  TCryptStream& out_;
};

// --- Reading ---

class TBodyReader {
 public:
  TBodyReader(TPwdBase& base, TCryptStream& stream, const TStreamFormat& format)
      : base_(base), in_(stream), format_(format), v_(format.Version), x_(format.Build) {}

  int Read() {
    // Files before 1.60 carry no structure: their records follow the built-in one.
    if (v_ < 160) ResetRootStructure();
    base_.Name = in_.ReadString(kPlain);
    if (v_ >= 195) base_.Description = in_.ReadString(kPlain);
    if (v_ >= 160) {
      ReadUsers(*base_.Users, in_, format_);
      base_.RequireLogon = in_.ReadByte(kEncrypted);
      ReadChangesLog(*base_.ChangesLog, in_, format_);
      ReadStructure(*base_.Structure, in_, format_);
    }
    if (v_ >= 170) base_.LogChanges = in_.ReadByte(kEncrypted);
    if (v_ >= 196) base_.AutoLogonWindowsUser = in_.ReadByte(kEncrypted);
    if (v_ >= 198) base_.ConcurrentWrite = in_.ReadByte(kEncrypted);
    if (v_ >= 199 && x_ < 23000) base_.Guid = in_.ReadGuid(kEncrypted);
    if (v_ >= 215) {
      base_.LogActions = in_.ReadByte(kEncrypted);
      base_.LogServer = in_.ReadString(kEncrypted);
      base_.LogServerExtra1 = in_.ReadString(kEncrypted);
      base_.LogServerExtra2 = in_.ReadString(kEncrypted);
    }
    if (v_ >= 219) base_.Icons.LoadFromStream(in_);
    if (x_ >= 22000) {
      base_.BackupFolder = in_.ReadString(kEncrypted);
      base_.BackupCount = in_.ReadInt32(kEncrypted);
      base_.AutoCloseSeconds = in_.ReadInt32(kEncrypted);
      base_.OptionFlags = in_.ReadUInt32(kEncrypted);
    }
    ReadFolderPart(base_, 0);

    bool relayout = false;
    if (v_ < 180) {
      ResetRootStructure();
      relayout = true;
    }
    if (v_ < 198) {
      // The user who made the last change was once an identifier; it is a name now.
      if (TPwdField* modifiedBy = base_.Structure->FieldByKind(kKindModifiedBy)) modifiedBy->FieldType = kFieldString;
      relayout = true;
    }
    if (relayout)
      for (TPwdItem* item : base_.AllRecords.Items()) static_cast<TPwdPassword*>(item)->LayoutValues();
    return attachments_;
  }

 private:
  void ResetRootStructure() {
    base_.Structure->Clear();
    base_.Structure->CreateDefaultFields();
    for (int i = 0; i < base_.Structure->Count(); ++i) {
      TPwdField& field = *(*base_.Structure)[i];
      if (field.Guid.IsNull()) field.Guid = TGuid::Create();
    }
  }

  void ReadFolderPart(TPwdFolder& folder, int depth) {
    if (x_ >= 22000) {
      const std::int32_t column = in_.ReadInt32(kEncrypted);
      const std::uint8_t descending = in_.ReadByte(kEncrypted);
      if (base_.OptionFlags & TPwdBase::kRememberSortOrder) {
        folder.SortColumn = column;
        folder.SortDescending = descending;
      } else {
        folder.SortColumn = -1;
        folder.SortDescending = 0;
      }
    }
    ReadChildren(folder, depth);
  }

  void ReadChildren(TPwdFolder& folder, int depth) {
    if (depth >= kMaxDepth) throw TError(std::string(serr_nestedtoodeep));
    // Every child starts with a plain type byte, so a damaged count runs
    // into the end of the plain part, never past it.
    const int count = ReadCount(in_, kPlain);
    for (int i = 0; i < count; ++i) {
      const std::uint8_t type = in_.ReadByte(kPlain);
      if (type != kItemTypeFolder && type != kItemTypeRecord) throw TError(std::string(spwdunknownitemtype));
      // The id is read before the item exists (it is in the other part, so
      // the order of neither part changes), so the tree's index knows it.
      const TGuid id = v_ >= 151 ? in_.ReadGuid(kEncrypted) : TGuid::Create();
      TPwdItem& item = *folder.Items->AddItem(type, /*loading=*/true, id);
      ReadHeaderRest(item);
      if (type == kItemTypeFolder)
        ReadFolder(static_cast<TPwdFolder&>(item), depth + 1);
      else
        ReadRecord(static_cast<TPwdPassword&>(item));
    }
  }

  void ReadHeaderRest(TPwdItem& item) {
    item.IconIndex = v_ >= 196 ? in_.ReadInt32(kEncrypted) : item.IsFolder() ? 0 : 1;
    item.Permissions.reset();
    if (v_ >= 197 && in_.ReadByte(kEncrypted) == 0) {
      item.Permissions.reset(new TPwdPermissionsList(&base_));
      ReadPermissions(*item.Permissions, in_);
    }
  }

  void ReadFolder(TPwdFolder& folder, int depth) {
    folder.Name = in_.ReadString(kEncrypted);
    if (v_ >= 200 && in_.ReadByte(kPlain) == 1) {
      folder.Structure = std::make_unique<TPwdFieldsList>(&folder);
      ReadStructure(*folder.Structure, in_, format_);
    }
    ReadFolderPart(folder, depth);
  }

  void ReadRecord(TPwdPassword& record) {
    if (v_ < 151) {
      ReadEarlyRecord(record);
      return;
    }
    record.ValueArea = in_.ReadString(kEncrypted);
    record.LayoutValues();
    if (v_ >= 180 && v_ < 198 && format_.PasswordKnown) WidenModifiedBy(record);
    const double expires = in_.ReadDouble(kPlain);
    if (!format_.PasswordKnown) SetDate(record, kKindExpires, expires);
    if (v_ >= 201) record.AutoFill.LoadFromStream(in_, format_);
    if (v_ >= 212) attachments_ += ReadAttachments(record, in_);
  }

  // Records before 1.51: three dates and six texts by field number.
  void ReadEarlyRecord(TPwdPassword& record) {
    TPwdFieldsList* structure = record.Bind();
    auto set = [&](std::int32_t number, auto setter) {
      if (TPwdField* field = structure ? structure->FieldByNumber(number) : nullptr) setter(*field);
    };
    const double expires = in_.ReadDouble(kPlain);
    const double created = in_.ReadDouble(kEncrypted);
    const double modified = in_.ReadDouble(kEncrypted);
    set(kFieldExpires, [&](TPwdField& f) { f.SetAsDate(expires); });
    set(kFieldCreated, [&](TPwdField& f) { f.SetAsDate(created); });
    set(kFieldModified, [&](TPwdField& f) { f.SetAsDate(modified); });
    for (std::int32_t number : {kFieldTitle, kFieldUserName, kFieldPassword, kFieldUrl, kFieldDescription, kFieldAccount}) {
      std::string text = in_.ReadString(kEncrypted);
      set(number, [&](TPwdField& f) { f.SetRawValue(text); });
      WipeString(text);
    }
  }

  // Formats 1.80 to 1.97 kept the last modifier as a fixed 16-byte id; the
  // value becomes a length-prefixed one of the same bytes.
  void WidenModifiedBy(TPwdPassword& record) {
    TPwdFieldsList* structure = record.Bind();
    TPwdField* field = structure ? structure->FieldByKind(kKindModifiedBy) : nullptr;
    if (!field || field->FieldType != kFieldGuid) return;
    const auto offset = static_cast<std::size_t>(record.ValueOffsets[static_cast<std::size_t>(field->Index)]);
    record.ValueArea.insert(offset, std::string("\x10\0\0\0", 4));
  }

  void SetDate(TPwdPassword& record, std::uint8_t kind, double value) {
    TPwdFieldsList* structure = record.Bind();
    if (TPwdField* field = structure ? structure->FieldByKind(kind) : nullptr) field->SetAsDate(value);
  }

  TPwdBase& base_;
  TCryptStream& in_;
  const TStreamFormat& format_;
  const std::uint16_t v_;
  const std::uint16_t x_;
  int attachments_ = 0;
};

}  // namespace

void WriteDatabaseBody(TPwdBase& base, TCryptStream& stream) { TBodyWriter(base, stream).Write(); }

int ReadDatabaseBody(TPwdBase& base, TCryptStream& stream, const TStreamFormat& format) {
  return TBodyReader(base, stream, format).Read();
}

}  // namespace corvane
