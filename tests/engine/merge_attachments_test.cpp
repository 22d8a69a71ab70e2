// Merging the attachments of records: added, renamed and removed in the
// source, by attachment id.

#include <gtest/gtest.h>

#include "engine/attachments_list.h"
#include "tests/engine/merge_test_support.h"
#include "tests/platform/file_test_support.h"

namespace corvane {
namespace {

using namespace corvane::testing;

class MergingAttachments : public TMergeFixture {
 public:
  // Attaches `content` as `name` to the source's copy of "Mail", in one edit.
  TPwdFileAttach& Attach(const std::string& name, const std::string& content) {
    TPwdPassword& record = *Same(*source, mail);
    Tick();
    record.Edit();
    TPwdFileAttach& attachment = *FilesOf(record).Add();
    TMemoryStream bytes(std::span(reinterpret_cast<const std::uint8_t*>(content.data()), content.size()));
    attachment.SetData(bytes, content.size());
    attachment.SetFileName(name);
    record.Post();
    return attachment;
  }

  static std::string Content(TPwdFileAttach& attachment) {
    std::unique_ptr<TStream> data = attachment.OpenData();
    std::string out(static_cast<std::size_t>(attachment.Size), '\0');
    data->ReadBuffer(std::span(reinterpret_cast<std::uint8_t*>(out.data()), out.size()));
    return out;
  }

  file_testing::TTempFolder temp;
  file_testing::TScopedEnv tempEnv{"TMPDIR", temp.Path()};
};

TEST_F(MergingAttachments, AnAttachmentAddedRenamedAndRemovedInTheSourceFollows) {
  TPwdFileAttach& added = Attach("notes.txt", "first words");
  const TGuid id = added.Guid;

  EXPECT_EQ(MergeChanges(*target, *source).Updated, 1);
  TPwdFileAttach* copy = FilesOf(*mail).Find(id);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->FileName, "notes.txt");
  EXPECT_EQ(Content(*copy), "first words");

  TPwdPassword& record = *Same(*source, mail);
  Tick();
  record.Edit();
  added.SetFileName("renamed.txt");
  record.Post();
  MergeChanges(*target, *source);
  EXPECT_EQ(FilesOf(*mail).Find(id)->FileName, "renamed.txt");

  Tick();
  record.Edit();
  FilesOf(record).Delete(0);
  record.Post();
  MergeChanges(*target, *source);
  EXPECT_EQ(FilesOf(*mail).Find(id), nullptr);
}

}  // namespace
}  // namespace corvane
