// Reads the attachment region of a database file from arbitrary bytes: the
// file is a sound database body (a record with two small attachments, packed
// into one unit, and a large one) followed by the input as its region of data
// blocks, index and trailer. The database is opened and every attachment's
// data read. Every failure must be a TError: anything else, a crash, a hang
// or a huge allocation is a fault.
//
// With CORVANE_FUZZ_SAVE_REGION=PATH the sound region is written to PATH
// first (the seed input).

#include <stdlib.h>
#include <unistd.h>

#include <array>
#include <cstddef>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/attachments_archive.h"
#include "engine/attachments_file.h"
#include "engine/attachments_list.h"
#include "engine/base.h"
#include "engine/stream.h"
#include "platform/clock.h"
#include "platform/error.h"
#include "platform/folders.h"

namespace {

using namespace corvane;

constexpr const char* kPassword = "pw";
constexpr std::size_t kTrailerSize = 14;

// Fixed ids, so that a region saved in one run describes the attachments
// of every run.
TGuid AttachmentId(std::uint8_t number) {
  TGuid id;
  id.bytes.fill(number);
  return id;
}

std::string JoinPath(const std::string& folder, const std::string& name) { return folder + "/" + name; }

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteWhole(const std::string& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void AddAttachment(TPwdPassword& record, std::uint8_t number, std::size_t size) {
  TPwdFileAttach& attachment = *FilesOf(record).Add(AttachmentId(number));
  attachment.SetFileName("file" + std::to_string(number));
  // Content that compresses poorly, so that encoded sizes follow the sizes.
  std::vector<std::uint8_t> content(size);
  std::uint32_t state = number;
  for (std::uint8_t& byte : content) {
    state = state * 1103515245u + 12345u;
    byte = static_cast<std::uint8_t>(state >> 24);
  }
  TMemoryStream source(content);
  attachment.SetData(source, content.size());
}

struct TTemplate {
  ~TTemplate() {
    for (const char* name : {"template.cvd", "input.cvd"}) std::remove(JoinPath(folder, name).c_str());
    ::rmdir(folder.c_str());
  }
  std::string folder;
  std::string body;  // the file's bytes before its attachment region
};

const TTemplate& Template() {
  static const TTemplate made = [] {
    TTemplate result;
    std::string pattern = JoinPath(TempFolder(), "corvane-fuzz-XXXXXX");
    if (!::mkdtemp(pattern.data())) throw TError("Cannot create the fuzzing folder.");
    result.folder = pattern;
    TPwdBase base;
    base.Password = kPassword;
    base.Algorithms = "\x09";
    auto& record = static_cast<TPwdPassword&>(*base.Items->AddItem(kItemTypeRecord, false));
    record.Bind()->FieldByNumber(0)->SetAsString("Mail");
    record.Post();
    AddAttachment(record, 1, 3000);
    AddAttachment(record, 2, 3000);
    AddAttachment(record, 3, 9000);
    const std::string path = JoinPath(result.folder, "template.cvd");
    base.SaveToFile(path);
    base.Close();
    const std::string file = ReadWhole(path);
    const std::size_t trailer = file.size() - kTrailerSize;
    std::uint32_t regionLength = 0;
    for (int i = 3; i >= 0; --i) regionLength = regionLength << 8 | static_cast<std::uint8_t>(file[trailer + 6 + i]);
    result.body = file.substr(0, trailer - regionLength);
    if (const char* seed = std::getenv("CORVANE_FUZZ_SAVE_REGION")) WriteWhole(seed, file.substr(result.body.size()));
    return result;
  }();
  return made;
}

void ReadAll(TStream& stream) {
  std::vector<std::uint8_t> buffer(65536);
  while (stream.Read(buffer) != 0) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Wrong passwords make the loader wait; a fake clock makes that instant.
  static TFakeClock clock;
  const TTemplate& made = Template();
  const std::string path = JoinPath(made.folder, "input.cvd");
  WriteWhole(path, made.body + std::string(reinterpret_cast<const char*>(data), size));
  try {
    TPwdBase base;
    base.FileName = path;
    base.Open(kPassword);
    for (TPwdFileAttach* attachment : FilesArchiveOf(base).Attachments()) {
      try {
        ReadAll(*attachment->OpenData());
      } catch (const TError&) {
      }
    }
    base.Close();
  } catch (const TError&) {
  }
  return 0;
}
