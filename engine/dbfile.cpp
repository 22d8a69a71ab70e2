// The database file: header and trailer, loading and saving, holding the file
// against other writers, and the lock file of concurrently written databases.

#include "engine/dbfile.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "engine/attachments_archive.h"
#include "engine/body_stream.h"
#include "engine/cipher_registry.h"
#include "engine/crypt_stream.h"
#include "engine/file_stream.h"
#include "engine/messages.h"
#include "engine/users.h"
#include "engine/zlib_stream.h"
#include "platform/atomic_writer.h"
#include "platform/clock.h"
#include "platform/error.h"
#include "platform/file_system.h"

namespace corvane {
namespace {

constexpr std::array<std::uint8_t, 6> kMagic = {0xCE, 0x85, 0x16, 0xAB, 0xC1, 0x75};
// Files of the earliest formats begin with this text in a zero-filled field.
constexpr std::string_view kTextSignature = "Corvane database file.\x1A";
constexpr std::size_t kTextSignatureField = 36;

constexpr std::uint16_t kOldestBuild = 9500;
constexpr int kOpenTries = 3;
constexpr std::uint32_t kOpenRetryMs = 100;
constexpr int kReplaceTries = 10;
constexpr std::uint32_t kReplaceRetryMs = 200;
constexpr int kLockTriesPerSecond = 4;
constexpr std::uint32_t kLockRetryMs = 250;
constexpr double kStaleLockDays = 60.0 / 86400.0;

// The file name without its folder.
std::string BaseName(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::uint16_t ReadUInt16(TStream& stream) {
  std::array<std::uint8_t, 2> bytes;
  stream.ReadBuffer(bytes);
  return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

void WriteUInt16(TStream& stream, std::uint16_t value) {
  const std::array<std::uint8_t, 2> bytes = {static_cast<std::uint8_t>(value & 0xFF),
                                             static_cast<std::uint8_t>(value >> 8)};
  stream.WriteBuffer(bytes);
}

// Reads as many bytes as there are, up to buffer.size().
std::size_t ReadSome(TStream& stream, std::span<std::uint8_t> buffer) {
  std::size_t done = 0;
  while (done < buffer.size()) {
    const std::size_t got = stream.Read(buffer.subspan(done));
    if (got == 0) break;
    done += got;
  }
  return done;
}

[[noreturn]] void ThrowInvalidSignature(const std::string& fileName) {
  throw TError(FormatMessage(serr_invalidsignature, fileName));
}

// The header at the stream's position; the stream then stands at the container.
TDbFileHeader ReadHeader(TStream& stream, const std::string& fileName) {
  TDbFileHeader header;
  std::array<std::uint8_t, kTextSignatureField> lead{};
  const std::size_t got = ReadSome(stream, {lead.data(), kMagic.size()});
  if (got != kMagic.size() || !std::equal(kMagic.begin(), kMagic.end(), lead.begin())) {
    if (ReadSome(stream, {lead.data() + got, lead.size() - got}) != lead.size() - got) ThrowInvalidSignature(fileName);
    std::array<std::uint8_t, kTextSignatureField> expected{};
    std::memcpy(expected.data(), kTextSignature.data(), kTextSignature.size());
    if (lead != expected) ThrowInvalidSignature(fileName);
  }
  header.FormatVersion = ReadUInt16(stream);
  if (header.FormatVersion < 220) {
    header.FormatBuild = static_cast<std::uint16_t>(std::min(header.FormatVersion * 100, 0xFFFF));
  } else {
    const std::uint32_t build = header.FormatVersion * 100u + ReadUInt16(stream);
    header.FormatBuild = static_cast<std::uint16_t>(std::min<std::uint32_t>(build, 0xFFFF));
  }
  if (!header.Supported()) return header;
  if (header.FormatBuild >= 23000) stream.ReadBuffer(header.Guid.bytes);
  if (header.FormatBuild < 22000) {
    header.SaveCounter = 1;
  } else {
    std::array<std::uint8_t, 4> bytes;
    stream.ReadBuffer(bytes);
    header.SaveCounter = static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
                         (static_cast<std::uint32_t>(bytes[2]) << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
  }
  return header;
}

// Runs `attempt` up to `tries` times, sleeping `pauseMs` after each failure
// but the last, whose error goes on.
template <class TAttempt>
auto Retry(int tries, std::uint32_t pauseMs, TAttempt attempt) {
  for (int i = 1;; ++i) {
    try {
      return attempt();
    } catch (const TError&) {
      if (i >= tries) throw;
      Clock().Sleep(pauseMs);
    }
  }
}

void CloseQuietly(TFile& file) {
  try {
    file.Close();
  } catch (const TError&) {
    file = TFile();
  }
}

double LastWriteDateOf(const TFile& file) {
  try {
    return file.Info().LastWriteDate();
  } catch (const TError&) {
    return 0;
  }
}

// After a load: the user of the session before (a reload), else the first user.
void LogonAfterLoad(TPwdBase& base) {
  if (base.Users->Count() == 0) {
    base.ResetLogon();
    return;
  }
  const TGuid before = base.CurrentIdentities.empty() ? TGuid{} : base.CurrentIdentities.front();
  if (base.Reloading && base.Users->FindByGuid(before)) {
    try {
      base.Logon(before);
      return;
    } catch (const TError&) {
      // Disabled meanwhile: the first user instead.
    }
  }
  base.Logon((*base.Users)[0]->Guid());
}

}  // namespace

// --- Header look-ups ---

bool TDbFileHeader::Supported() const { return FormatBuild >= kOldestBuild && FormatBuild <= kCurrentFormatBuild; }

std::optional<TDbFileHeader> ReadDbFileHeader(const std::string& path) {
  try {
    TFile file = TFile::Open(path, TFile::TMode::kRead);
    TFileStream stream(file);
    return ReadHeader(stream, path);
  } catch (const TError&) {
    return std::nullopt;
  }
}

std::int32_t ReadSaveCounter(const std::string& path) {
  try {
    TFile file = TFile::Open(path, TFile::TMode::kRead);
    std::array<std::uint8_t, 30> bytes{};
    TFileStream stream(file);
    const std::size_t got = ReadSome(stream, bytes);
    if (got < 8 || !std::equal(kMagic.begin(), kMagic.end(), bytes.begin())) return 0;
    const std::uint16_t version = static_cast<std::uint16_t>(bytes[6] | (bytes[7] << 8));
    if (version < 220) return 0;
    const std::size_t at = version < 230 ? 10 : 26;
    if (got < at + 4) return 0;
    std::uint32_t counter = 0;
    for (int i = 3; i >= 0; --i) counter = (counter << 8) | bytes[at + static_cast<std::size_t>(i)];
    return static_cast<std::int32_t>(counter);
  } catch (const TError&) {
    return -1;
  }
}

std::string FormatVersionText(std::uint16_t formatVersion) {
  const int minor = formatVersion % 100;
  return std::to_string(formatVersion / 100) + "." + (minor < 10 ? "0" : "") + std::to_string(minor);
}

std::string LockFileName(const std::string& databaseFile) { return databaseFile + ".lock"; }

std::unique_ptr<TPwdBase> CreateDatabaseFile(const std::string& path, const std::string& name,
                                             const std::string& description, const std::string& password,
                                             const std::string& algorithms) {
  if (password.empty()) throw TError(std::string(serr_emptypassword));
  CheckAlgorithms(algorithms);
  if (FileExists(path)) throw TError(FormatMessage(serr_fileexists, path));
  auto base = std::make_unique<TPwdBase>();
  {
    TPwdBase::TLoadingScope loading(*base);
    base->Name = name;
    base->Description = description;
  }
  base->Algorithms = algorithms;
  base->Password = password;
  base->SaveToFile(path);
  base->SavedPassword = password;
  base->SavedAlgorithms = algorithms;
  return base;
}

// --- Streams ---

void TPwdBase::SaveToStream(TStream& stream) {
  if (Password.empty()) throw TError(std::string(serr_emptypassword));
  stream.WriteBuffer(kMagic);
  FormatVersion = kCurrentFormatVersion;
  FormatBuild = kCurrentFormatBuild;
  WriteUInt16(stream, FormatVersion);
  WriteUInt16(stream, static_cast<std::uint16_t>(FormatBuild - FormatVersion * 100));
  stream.WriteBuffer(Guid.bytes);
  ++SaveCounter;
  stream.WriteUInt32(SaveCounter);
  TCryptStream container(stream, Password, Algorithms, /*twoPart=*/true);
  WriteDatabaseBody(*this, container);
  container.Finish();
}

void TPwdBase::LoadFromStream(TStream& stream) {
  const bool wasLoading = Loading != 0;
  {
    TLoadingScope loadingScope(*this);
    Loading = 1;
    Items->Clear();
    Icons.Clear();
    FilesArchive.reset();
    Modified = 0;
    const TDbFileHeader header = ReadHeader(stream, FileName);
    FormatVersion = header.FormatVersion;
    FormatBuild = header.FormatBuild;
    if (!header.Supported()) {
      const std::string version = FormatVersionText(FormatVersion);
      const auto dot = version.find('.');
      Name = BaseName(FileName) + " (" +
             FormatMessage(serr_unsupportedversion, version.substr(0, dot), version.substr(dot + 1)) + ")";
      // Saving would replace a newer database by an empty one.
      ReadOnly = 1;
      Loading = 0;
      return;
    }
    if (header.FormatBuild >= 23000) Guid = header.Guid;
    SaveCounter = header.SaveCounter;

    const TStreamFormat format{FormatVersion, FormatBuild, !Password.empty()};
    try {
      TCryptStream container(stream, Password, {}, /*twoPart=*/true);
      container.SetBufferMode(FormatVersion >= 211 ? TBufferMode::Blocks : TBufferMode::Direct);
      container.SetWrongPasswordCells(WrongPasswordTick, WrongPasswordDelay);
      ReadDatabaseBody(*this, container, format);
      Algorithms = container.Algorithms();
    } catch (const TError& error) {
      Items->Clear();
      Icons.Clear();
      CreateDefaultUser();
      if (!Password.empty()) throw;
      // A listing shows the file with what went wrong instead of failing.
      if (Name.empty()) Name = BaseName(FileName);
      if (!wasLoading) Name += " (" + std::string(error.what()) + ")";
    }
    Loading = 0;
  }
  Users->RefreshRootPermissions();
  LogonAfterLoad(*this);
}

// --- Files ---

void TPwdBase::LoadFromFile(const std::string& fileName) {
  ConcurrentWrite = 0;
  if (!fileName.empty()) FileName = fileName;
  ReadOnly = 0;
  CloseQuietly(FileStream);

  // A listing needs no writer lock; an open with the password holds one, or
  // falls back to reading only when another writer has the file.
  const TFile::TMode mode = Password.empty() ? TFile::TMode::kRead : TFile::TMode::kWrite;
  TFile file;
  try {
    try {
      file = Retry(kOpenTries, kOpenRetryMs, [&] { return TFile::Open(FileName, mode); });
    } catch (const TError&) {
      ReadOnly = 1;
      file = TFile::Open(FileName, TFile::TMode::kRead);
    }
  } catch (const TError& error) {
    ReadOnly = 0;
    if (!Password.empty()) {
      WipeString(Password);
      throw;
    }
    Loading = 1;
    Name = BaseName(FileName) + " (" + error.what() + ")";
    return;
  }

  FileTime = LastWriteDateOf(file);
  try {
    TFileStream stream(file);
    LoadFromStream(stream);
  } catch (const TError&) {
    WipeString(Password);
    throw;
  }
  // A damaged archive region leaves the records usable: the warning tells
  // that the attachments' data cannot be read.
  if (!Password.empty() && FormatVersion >= 212 && FormatBuild <= kCurrentFormatBuild) {
    try {
      FilesArchiveOf(*this).LoadIndex(file, kMagic, {Password, Algorithms});
    } catch (const TError& error) {
      FilesArchiveOf(*this).Warning = std::string(sfilearchiveerror) + "\r" + error.what();
    }
  }
  if (!Password.empty() && !ReadOnly && !ConcurrentWrite)
    FileStream = std::move(file);
  else
    CloseQuietly(file);
}

void TPwdBase::SaveToFile(const std::string& fileName) {
  if (!fileName.empty()) FileName = fileName;
  if (Password.empty()) throw TError(std::string(serr_emptypassword));

  // The new content goes to a temporary file beside the database, which then
  // replaces it in one rename: a crash leaves the old or the new database.
  TAtomicWriter writer(FileName, /*lock=*/true);
  {
    TFileStream file(writer.File());
    SaveToStream(file);
    TPwdFilesArchive& archive = FilesArchiveOf(*this);
    Progress.Begin(archive.TotalKiB(), FormatMessage(ssavingdb, Name));
    try {
      TProgressStream reported(file, [this](std::uint64_t bytes) { Progress.Advance(bytes); });
      archive.SaveArchive(reported, kMagic, {Password, Algorithms});
    } catch (...) {
      Progress.End();
      throw;
    }
    Progress.End();
  }
  TFile saved = Retry(kReplaceTries, kReplaceRetryMs,
                      [&] { return writer.Commit(FileStream.IsOpen() ? &FileStream : nullptr); });
  FilesArchiveOf(*this).CommitSave(FileName);
  Modified = 0;
  FileTime = LastWriteDateOf(saved);
  if (ReadOnly || ConcurrentWrite)
    CloseQuietly(saved);
  else
    FileStream = std::move(saved);
  if (!ConcurrentWrite) OpenForWrite();
}

bool TPwdBase::OpenForWrite() {
  if (FileStream.IsOpen()) {
    ReadOnly = 0;
    return true;
  }
  bool success = false;
  for (int i = 1; i <= kOpenTries && !success; ++i) {
    try {
      if (FileExists(FileName)) {
        FileStream = TFile::Open(FileName, TFile::TMode::kWrite);
        FileTime = LastWriteDateOf(FileStream);
        success = true;
      }
    } catch (const TError&) {
    }
    if (!success && i < kOpenTries) Clock().Sleep(kOpenRetryMs);
  }
  ReadOnly = success ? 0 : 1;
  return success;
}

// --- Life cycle ---

void TPwdBase::Open(const std::string& password) {
  Password = password;
  try {
    LoadFromFile();
  } catch (...) {
    Close();
    throw;
  }
  SavedPassword = Password;
  SavedAlgorithms = Algorithms;
}

void TPwdBase::Save() { SaveToFile(FileName); }

void TPwdBase::Reload() {
  Reloading = 1;
  try {
    Open(std::string(Password));
  } catch (...) {
    Reloading = 0;
    throw;
  }
  Reloading = 0;
}

void TPwdBase::Close() {
  TLoadingScope loading(*this);
  ResetLogon();
  WipeString(Password);
  WipeString(SavedPassword);
  Items->Clear();
  FilesArchive.reset();
  CloseQuietly(FileStream);
  ReleaseLock(true);
  Modified = 0;
  Icons.Clear();
}

// --- The lock file ---

bool TPwdBase::AcquireLock(int seconds) {
  ++LockCount;
  if (LockStream.IsOpen()) return true;
  const std::string lockName = LockFileName(FileName);
  // A lock file left behind by a writer that died is taken over after a minute.
  if (const auto info = FindFile(lockName); info && std::fabs(info->LastWriteDate() - Clock().Now()) > kStaleLockDays) {
    try {
      DeleteFile(lockName);
    } catch (const TError&) {
    }
  }
  const int tries = std::max(0, seconds) * kLockTriesPerSecond;
  for (int i = 0; i < tries; ++i) {
    try {
      LockStream = TFile::Open(lockName, TFile::TMode::kCreateExclusive);
      return true;
    } catch (const TError&) {
      Clock().Sleep(kLockRetryMs);
    }
  }
  --LockCount;
  return false;
}

bool TPwdBase::ReleaseLock(bool all) {
  LockCount = all ? 0 : std::max(0, LockCount - 1);
  if (LockCount > 0 || !LockStream.IsOpen()) return false;
  const std::string lockName = LockStream.Path();
  CloseQuietly(LockStream);
  try {
    DeleteFile(lockName);
  } catch (const TError&) {
  }
  return true;
}

}  // namespace corvane
