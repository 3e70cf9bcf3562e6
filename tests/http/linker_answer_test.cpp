// How each form takes the answer: sizes, chunking, cut answers and content types.
#include "http/linker_fixture.h"

namespace tabrow_test {
namespace {

std::string Pattern(size_t size) {
  std::string text(size, '\0');
  for (size_t i = 0; i < size; ++i) text[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return text;
}

TEST_F(LinkerTest, ArchiveReceivesAnswersOfEverySize) {
  const XCHAR* path = ConnectTo("data");
  const std::string big = Pattern((5 << 20) + 7), chunks = "ab" + std::string(5000, 'c') + "d";
  Reply missing = MakeReply("text/html", "missing");
  missing.head.replace(9, 6, "404 NF");
  const std::pair<Reply, std::string> cases[] = {
      {MakeReply("text/plain", ""), ""},
      {MakeReply("application/octet-stream", big), big},
      {MakeChunkedReply("text/plain", {"ab", std::string(5000, 'c'), "d"}), chunks},
      {missing, "missing"},  // an error status still gives its body
  };
  for (const auto& [reply, expected] : cases) {
    reply_ = reply;
    XMemoArchive answer;
    ASSERT_EQ(linker_.GetResponse(path, &answer, nullptr), 1);
    EXPECT_TRUE(Chars(&answer) == expected) << expected.size();
    uint32_t position = 1;
    answer.GetPosition(&position);
    EXPECT_EQ(position, 0u);
  }
}

TEST_F(LinkerTest, BufferKeepsWhatFitsAndStopsThere) {
  const XCHAR* path = ConnectTo("text");
  const std::pair<std::string, uint32_t> cases[] = {
      {"0123456789", 1},
      {"0123456789", 11},
      {std::string(1 << 20, 'L'), 8},  // the rest of a long answer is dropped
      {"again", 8},                    // and the linker stays usable
  };
  for (const auto& [body, size] : cases) {
    reply_ = MakeReply("text/plain", body);
    char buffer[100];
    memset(buffer, '#', sizeof buffer);
    ASSERT_EQ(linker_.GetResponse(path, 1, "q", buffer, size), 1) << size;
    EXPECT_EQ(buffer, body.substr(0, std::min<size_t>(body.size(), size - 1)));
  }
}

TEST_F(LinkerTest, AnswerCutByTheServerFailsAndKeepsWhatCame) {
  const std::string body = Pattern(20000);
  reply_ = MakeReply("text/plain", body);
  reply_.body_limit = 10001;
  const XCHAR* path = ConnectTo("cut");
  XMemoArchive answer, request;
  request.Append("x", 1);
  EXPECT_EQ(linker_.GetResponse(path, 1, &request, &answer, nullptr), 0);
  EXPECT_TRUE(Chars(&answer) == body.substr(0, 10001));
  char buffer[30000];
  EXPECT_EQ(linker_.GetResponse(path, 1, "x", buffer, sizeof buffer), 0);
}

}  // namespace
}  // namespace tabrow_test
