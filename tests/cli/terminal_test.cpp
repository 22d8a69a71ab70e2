// Secrets read line by line from standard input.

#include <gmock/gmock.h>
#include <unistd.h>

#include "cli/terminal.h"
#include "platform/error.h"

namespace corvane {
namespace {

// A pipe whose write end has received `text` and is closed.
class TPipeInput {
 public:
  explicit TPipeInput(const std::string& text) {
    EXPECT_EQ(::pipe(fds_), 0);
    EXPECT_EQ(::write(fds_[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
    ::close(fds_[1]);
  }
  ~TPipeInput() { ::close(fds_[0]); }
  int Fd() const { return fds_[0]; }

 private:
  int fds_[2] = {-1, -1};
};

TEST(StdinSecrets, EachReadTakesTheNextLineWithoutItsLineEnd) {
  TPipeInput pipe("first\r\nsecond\n\nlast without end");
  TStdinInput input(pipe.Fd());
  EXPECT_EQ(input.Read("p").Text(), "first");
  EXPECT_EQ(input.ReadNew("p").Text(), "second");  // a new password is one line, not two
  EXPECT_EQ(input.Read("p").Text(), "");           // an empty line is an empty answer
  EXPECT_EQ(input.Read("p").Text(), "last without end");
  EXPECT_THROW(input.Read("p"), TError);  // nothing left
}

TEST(StdinSecrets, LongLinesAndEngineText) {
  const std::string longLine(5000, 'x');
  TPipeInput pipe(longLine + "\nGr\xC3\xBC\xC3\x9F" "e\n\xD0\x96\n");
  TStdinInput input(pipe.Fd());
  EXPECT_EQ(input.Read("p").Text(), longLine);
  EXPECT_EQ(ToEngineText(input.Read("p")).Text(), "Gr\xFC\xDF" "e");  // code page 1252
  // A character the code page cannot hold is refused, never stored as "?".
  EXPECT_THROW(ToEngineText(input.Read("p")), TError);
}

}  // namespace
}  // namespace corvane
