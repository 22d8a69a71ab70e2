#include "engine/attachments_file.h"

#include <algorithm>
#include <limits>

#include "engine/attachments_archive.h"
#include "engine/attachments_list.h"
#include "engine/base.h"
#include "engine/changelog.h"
#include "engine/crypt_stream.h"
#include "engine/file_stream.h"
#include "engine/messages.h"
#include "platform/error.h"
#include "platform/file_system.h"

namespace corvane {
namespace {

constexpr std::uint64_t kLargestSize = std::numeric_limits<std::int32_t>::max();

std::string NameWithoutFolder(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

TBlockKey KeyOf(const TPwdBase* base) {
  if (!base || base->Password.empty()) throw TError(std::string(serr_emptypassword));
  return {base->Password, base->Algorithms};
}

void RemoveMember(TPwdFilesUnit* unit, const TPwdFileAttach* member) {
  if (!unit) return;
  auto& members = unit->Members;
  members.erase(std::remove(members.begin(), members.end(), member), members.end());
}


}  // namespace

TPwdFileAttach::TPwdFileAttach(TPwdFilesList* owner, const TGuid& guid)
    : Guid(guid.IsNull() ? TGuid::Create() : guid), Owner(owner) {}

TPwdFileAttach::~TPwdFileAttach() {
  RemoveMember(Unit.get(), this);
  RemoveMember(NewUnit.get(), this);
}

TPwdPassword* TPwdFileAttach::Record() const { return Owner ? Owner->Record : nullptr; }

TPwdBase* TPwdFileAttach::Database() const {
  const TPwdPassword* record = Record();
  return record ? record->GetBase() : nullptr;
}

bool TPwdFileAttach::HasData() const {
  if (TempFile) return true;
  TPwdBase* base = Database();
  return base && Offset >= 0 && FilesArchiveOf(*base).Loaded;
}

void TPwdFileAttach::RequireRecordRights(std::string_view letters) const {
  const TPwdPassword* record = Record();
  const TPwdBase* base = Database();
  if (record && base && !base->IsLoading()) record->RequireRights(letters);
}

void TPwdFileAttach::LogRename(const std::string& oldName, const std::string& newName) {
  TPwdBase* base = Database();
  if (!base) return;
  base->LogChange(*Record(), TChangeKind::Update, kLogAttachment, oldName, newName, Guid);
  base->SetModified(true);
}

void TPwdFileAttach::MarkDataChanged() {
  DataChanged = true;
  InfoLoaded = true;
  if (TPwdBase* base = Database()) {
    FilesArchiveOf(*base).Changed = true;
    base->SetModified(true);
  }
}

// --- Data ---

void TPwdFileAttach::LoadFromFile(const std::string& path) {
  RequireRecordRights("L");
  const TFileInfo info = GetFileInfo(path);
  if (info.size > kLargestSize) throw TError(FormatMessage(serr_filetoobig, path));
  TFile file = TFile::Open(path, TFile::TMode::kRead);
  TFileStream source(file);
  const TFileInformation before{Attributes, CreationTime, LastWriteTime};
  Attributes = info.attributes;
  CreationTime = info.creationTime;
  LastWriteTime = info.lastWriteTime;
  try {
    SetData(source, info.size);
  } catch (...) {
    Attributes = before.Attributes;
    CreationTime = before.CreationTime;
    LastWriteTime = before.LastWriteTime;
    throw;
  }
  const std::string oldName = FileName;
  FileName = NameWithoutFolder(path);
  LogRename(oldName, FileName);
}

void TPwdFileAttach::SetData(TStream& source, std::uint64_t length) {
  RequireRecordRights("L");
  if (length > kLargestSize) throw TError(FormatMessage(serr_filetoobig, FileName));
  const TBlockKey key = KeyOf(Database());
  // Always a new file: the old data stay intact until the new ones are
  // complete, and copies sharing the old file keep theirs.
  // Small data stay in memory until the save packs them into a unit.
  const bool small = length < static_cast<std::uint64_t>(TPwdFilesArchive::kUnitTarget);
  TTempFilePtr temp = small ? TPwdTempFile::CreateInMemory(key) : TPwdTempFile::Create(key);
  TBlockMember member{{Attributes, CreationTime, LastWriteTime}, static_cast<std::uint32_t>(length), {}};
  if (small) {
    temp->Content.resize(static_cast<std::size_t>(length));
    source.ReadBuffer(temp->Content);
    member.WriteContent = [&](TStream& block) { block.WriteBuffer(temp->Content); };
    EncodedSize = static_cast<std::int32_t>(WriteBlock(temp->Block, key, {member}));
  } else {
    TFile file = TFile::Open(temp->Path(), TFile::TMode::kCreate);
    TFileStream out(file);
    member.WriteContent = [&](TStream& block) { CopyBytes(source, block, length); };
    EncodedSize = static_cast<std::int32_t>(std::min(WriteBlock(out, key, {member}), kLargestSize));
    file.Close();
  }
  TempFile = std::move(temp);
  Size = static_cast<std::int32_t>(length);
  MarkDataChanged();
}

TOpenBlock TPwdFileAttach::OpenContent() const {
  TOpenBlock open;
  if (TempFile && TempFile->InMemory() && InfoLoaded) {
    open.Stream = std::make_unique<TMemoryStream>(TempFile->Content);
    open.Information = {Attributes, CreationTime, LastWriteTime};
    open.Size = static_cast<std::uint32_t>(TempFile->Content.size());
  } else if (TempFile) {
    open = OpenBlock(TempFile->OpenBlock(), TempFile->Key().Password, kFileInformationSize, 0);
  } else {
    if (!HasData()) throw TError(std::string(sreaderror));
    TPwdFilesArchive& archive = FilesArchiveOf(*Database());
    const std::int32_t offset = Unit ? Unit->Offset : Offset;
    const std::int32_t length = Unit ? Unit->StoredSize : StoredSize;
    TFile file = TFile::Open(archive.SourcePath, TFile::TMode::kRead);
    auto range = std::make_unique<TFileRangeStream>(
        std::move(file), static_cast<std::uint64_t>(archive.StartOffset) + static_cast<std::uint64_t>(offset),
        static_cast<std::uint64_t>(length));
    open = OpenBlock(std::move(range), archive.Key.Password, HeaderSize, UnitPosition);
  }
  // A block that holds other content than the record describes is damaged.
  if (open.Size != static_cast<std::uint32_t>(Size)) throw TError(std::string(sreaderror));
  return open;
}

std::unique_ptr<TStream> TPwdFileAttach::OpenData() {
  RequireRecordRights("S");
  TOpenBlock open = OpenContent();
  if (!InfoLoaded) {
    Attributes = open.Information.Attributes;
    CreationTime = open.Information.CreationTime;
    LastWriteTime = open.Information.LastWriteTime;
    InfoLoaded = true;
  }
  return std::move(open.Stream);
}

void TPwdFileAttach::SaveToFile(const std::string& path) {
  std::unique_ptr<TStream> data = OpenData();
  try {
    TFile file = TFile::Open(path, TFile::TMode::kCreate);
    TFileStream out(file);
    CopyBytes(*data, out, static_cast<std::uint64_t>(Size));
    file.Close();
    // Linux keeps a file's creation time itself; the last-write time and the
    // read-only bit are what can be given back.
    if (LastWriteTime != 0) SetLastWriteTime(path, LastWriteTime);
    SetAttributes(path, Attributes);
  } catch (...) {
    try {
      DeleteFile(path);
    } catch (const TError&) {
    }
    throw;
  }
}

// --- File information ---

void TPwdFileAttach::LoadInfo() {
  if (InfoLoaded || !HasData()) return;
  const TOpenBlock open = OpenContent();
  Attributes = open.Information.Attributes;
  CreationTime = open.Information.CreationTime;
  LastWriteTime = open.Information.LastWriteTime;
  InfoLoaded = true;
}

std::uint64_t TPwdFileAttach::GetCreationTime() {
  LoadInfo();
  return CreationTime;
}

std::uint64_t TPwdFileAttach::GetLastWriteTime() {
  LoadInfo();
  return LastWriteTime;
}

std::uint32_t TPwdFileAttach::GetAttributes() {
  LoadInfo();
  return Attributes;
}

// --- Description ---

void TPwdFileAttach::SetFileName(const std::string& name) {
  if (name == FileName) return;
  RequireRecordRights("L");
  const std::string oldName = FileName;
  FileName = name;
  LogRename(oldName, name);
}

void TPwdFileAttach::SetComment(const std::string& text) {
  Comment = text;
  if (TPwdBase* base = Database()) base->SetModified(true);
}

// --- Copies ---

void TPwdFileAttach::Assign(TPwdFileAttach& other, bool forceLog) {
  RequireRecordRights("L");
  other.LoadInfo();
  TPwdBase* base = Database();
  if (base && base == other.Database()) {
    TempFile = other.TempFile;
    Offset = other.Offset;
    HeaderSize = other.HeaderSize;
    UnitPosition = other.UnitPosition;
    StoredSize = other.StoredSize;
    RemoveMember(Unit.get(), this);
    Unit = other.Unit;  // shares the unit's block without being a member
    DataChanged = other.DataChanged;
    Size = other.Size;
    EncodedSize = other.EncodedSize;
    FilesArchiveOf(*base).Changed = true;
  } else {
    CopyBlockFrom(other);
    Size = other.Size;
  }
  Comment = other.Comment;
  Attributes = other.Attributes;
  CreationTime = other.CreationTime;
  LastWriteTime = other.LastWriteTime;
  InfoLoaded = true;
  const std::string oldName = FileName;
  FileName = other.FileName;
  if (forceLog || oldName != FileName) LogRename(oldName, FileName);
  if (base) base->SetModified(true);
}

void TPwdFileAttach::CopyBlockFrom(const TPwdFileAttach& other) {
  const TBlockKey key = KeyOf(Database());
  TPwdBase* otherBase = other.Database();
  const bool standAlone = other.TempFile || (!other.Unit && other.UnitPosition == 0 && other.HasData());
  const bool sameKey = other.TempFile ? other.TempFile->Key() == key
                                      : otherBase && FilesArchiveOf(*otherBase).Key == key;
  if (!standAlone || !sameKey) {
    TOpenBlock open = other.OpenContent();
    const TFileInformation keep{Attributes, CreationTime, LastWriteTime};
    Attributes = open.Information.Attributes;
    CreationTime = open.Information.CreationTime;
    LastWriteTime = open.Information.LastWriteTime;
    try {
      SetData(*open.Stream, open.Size);
    } catch (...) {
      Attributes = keep.Attributes;
      CreationTime = keep.CreationTime;
      LastWriteTime = keep.LastWriteTime;
      throw;
    }
    return;
  }
  // The block is valid as it is under this database's key.
  std::unique_ptr<TStream> block;
  if (other.TempFile) {
    block = other.TempFile->OpenBlock();
  } else {
    const TPwdFilesArchive& archive = FilesArchiveOf(*otherBase);
    block = std::make_unique<TFileRangeStream>(TFile::Open(archive.SourcePath, TFile::TMode::kRead),
                                               static_cast<std::uint64_t>(archive.StartOffset) +
                                                   static_cast<std::uint64_t>(other.Offset),
                                               static_cast<std::uint64_t>(other.StoredSize));
  }
  TTempFilePtr temp = TPwdTempFile::Create(key);
  std::uint64_t length = 0;
  {
    TFile file = TFile::Open(temp->Path(), TFile::TMode::kCreate);
    TFileStream out(file);
    length = other.TempFile ? other.TempFile->BlockSize() : static_cast<std::uint64_t>(other.StoredSize);
    CopyBytes(*block, out, length);
    file.Close();
  }
  TempFile = std::move(temp);
  EncodedSize = static_cast<std::int32_t>(std::min(length, kLargestSize));
  RemoveMember(Unit.get(), this);
  Unit.reset();
  MarkDataChanged();
}

}  // namespace corvane
