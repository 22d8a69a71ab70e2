// attach, attachments, extract, detach and check on a real database file.

#include <gmock/gmock.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/attachments_archive.h"
#include "engine/attachments_list.h"
#include "engine/base.h"
#include "platform/file_system.h"
#include "tests/cli/cli_test_support.h"

namespace corvane::cli_testing {
namespace {

using ::testing::HasSubstr;

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

// Content that does not compress, so that each file gets a block of its own.
std::string Noise(std::size_t size, unsigned seed) {
  std::string text(size, '\0');
  std::uint32_t state = seed + 1;
  for (char& c : text) {
    state = state * 1103515245u + 12345u;
    c = static_cast<char>(state >> 24);
  }
  return text;
}

class AttachTest : public TCliTest {
 protected:
  AttachTest() : db_(CreateDatabase()), out_(File("out")) {
    EXPECT_EQ(RunOpen("add", db_, {"/", "--field", "Title=Mail"}).exitCode, 0);
    std::filesystem::create_directory(out_);
  }

  // The database opened through the engine, for what no command shows.
  std::unique_ptr<TPwdBase> OpenDirectly() {
    auto base = std::make_unique<TPwdBase>();
    base->FileName = db_;
    base->Open("secret");
    return base;
  }
  static TPwdPassword& Mail(TPwdBase& base) { return static_cast<TPwdPassword&>(*(*base.Items)[0]); }

  std::string db_;
  std::string out_;
};

TEST_F(AttachTest, AttachedFilesAreListedExtractedWithTheirTimeAndDetached) {
  WriteFile(File("notes.txt"), "some notes");
  WriteFile(File("scan.bin"), std::string(50000, '\x7f'));
  SetLastWriteTime(File("notes.txt"), FileTimeFromUnix({1400000000, 0}));
  ASSERT_EQ(RunOpen("attach", db_, {"/Mail", File("notes.txt"), File("scan.bin")}).exitCode, 0);

  const TRun list = RunOpen("attachments", db_, {"/Mail"});
  EXPECT_EQ(list.exitCode, 0) << list.err;
  EXPECT_THAT(list.out, HasSubstr("notes.txt\t10\t\t{"));
  EXPECT_THAT(list.out, HasSubstr("scan.bin\t50000\t\t{"));

  const TRun extract = RunOpen("extract", db_, {"/Mail", "--to", out_});
  EXPECT_EQ(extract.exitCode, 0) << extract.err;
  EXPECT_EQ(ReadWhole(out_ + "/notes.txt"), "some notes");
  EXPECT_EQ(ReadWhole(out_ + "/scan.bin"), std::string(50000, '\x7f'));
  EXPECT_EQ(GetFileInfo(out_ + "/notes.txt").lastWriteTime, FileTimeFromUnix({1400000000, 0}));

  // An existing file is skipped without a terminal to ask, replaced with --force.
  WriteFile(out_ + "/notes.txt", "changed");
  const TRun again = RunOpen("extract", db_, {"/Mail", "notes.txt", "--to", out_});
  EXPECT_EQ(again.exitCode, 0);
  EXPECT_THAT(again.err, HasSubstr("Skipped: " + out_ + "/notes.txt"));
  EXPECT_EQ(ReadWhole(out_ + "/notes.txt"), "changed");
  ASSERT_EQ(RunOpen("extract", db_, {"/Mail", "NOTES.TXT", "--to", out_, "--force"}).exitCode, 0);
  EXPECT_EQ(ReadWhole(out_ + "/notes.txt"), "some notes");

  ASSERT_EQ(RunOpen("detach", db_, {"/Mail", "scan.bin"}).exitCode, 0);
  const TRun after = RunOpen("attachments", db_, {"/Mail", "--json"});
  EXPECT_THAT(after.out, HasSubstr("\"notes.txt\""));
  EXPECT_THAT(after.out, ::testing::Not(HasSubstr("scan.bin")));
}

TEST_F(AttachTest, WrongInputIsRefused) {
  WriteFile(File("a.txt"), "a");
  ASSERT_EQ(RunOpen("attach", db_, {"/Mail", File("a.txt")}).exitCode, 0);
  // A 2 GiB file without its blocks on disk: refused before it is read.
  const std::string huge = File("huge.iso");
  WriteFile(huge, "");
  ASSERT_EQ(::truncate(huge.c_str(), 0x80000000LL), 0);
  struct TCase {
    std::vector<std::string> args;
    std::string message;
  };
  const TCase cases[] = {
      {{"attach", db_, "/Mail", huge}, "File '" + huge + "' is too big."},
      {{"attach", db_, "/Mail", File("a.txt")}, "The record already has an attachment named 'a.txt'."},
      {{"detach", db_, "/Mail", "b.txt"}, "The record has no attachment named 'b.txt'."},
      {{"extract", db_, "/Mail", "b.txt", "--to", out_}, "The record has no attachment named 'b.txt'."},
      {{"check", db_}, "User canceled."},
  };
  for (const TCase& c : cases) {
    std::vector<std::string> args = c.args;
    args.push_back("--password-stdin");
    const TRun run = Run(args, "secret\n");
    EXPECT_EQ(run.exitCode, 1) << c.args[0];
    EXPECT_THAT(run.err, HasSubstr(c.message));
  }
  EXPECT_THAT(RunOpen("attachments", db_, {"/Mail"}).out, HasSubstr("a.txt\t1\t"));
}

TEST_F(AttachTest, AStoredNameCannotLeadOutOfTheFolder) {
  WriteFile(File("a.txt"), "payload");
  ASSERT_EQ(RunOpen("attach", db_, {"/Mail", File("a.txt")}).exitCode, 0);
  {
    auto base = OpenDirectly();
    (*Mail(*base).Files)[0]->FileName = "../escaped";
    base->SetModified(true);
    base->Save();
  }
  const TRun run = RunOpen("extract", db_, {"/Mail", "--to", out_});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_FALSE(FileExists(File("escaped")));
  EXPECT_EQ(ReadWhole(out_ + "/.._escaped"), "payload");
}

TEST_F(AttachTest, CheckRemovesADamagedAttachmentAndSaysSo) {
  WriteFile(File("good.txt"), Noise(30000, 1));
  WriteFile(File("bad.txt"), Noise(30000, 2));
  ASSERT_EQ(RunOpen("attach", db_, {"/Mail", File("good.txt"), File("bad.txt")}).exitCode, 0);
  EXPECT_THAT(RunOpen("check", db_, {"--yes"}).out, HasSubstr("The database is not corrupted."));
  std::size_t at = 0;
  {
    auto base = OpenDirectly();
    const TPwdFileAttach& bad = *(*Mail(*base).Files)[1];
    at = static_cast<std::size_t>(FilesArchiveOf(*base).StartOffset + bad.Offset + bad.StoredSize / 2);
  }
  std::string bytes = ReadWhole(db_);
  bytes[at] ^= 0x33;
  WriteFile(db_, bytes);

  const TRun check = RunOpen("check", db_, {"--yes"});
  EXPECT_EQ(check.exitCode, 0) << check.err;
  EXPECT_EQ(check.out,
            "The database has been repaired.\nThe following corrupted file attachments were removed:\nbad.txt\n");
  const TRun list = RunOpen("attachments", db_, {"/Mail"});
  EXPECT_THAT(list.out, HasSubstr("good.txt"));
  EXPECT_THAT(list.out, ::testing::Not(HasSubstr("bad.txt")));
}

}  // namespace
}  // namespace corvane::cli_testing
