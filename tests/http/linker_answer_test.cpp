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
  std::string big = Pattern((5 << 20) + 7);
  struct Case {
    const char* name;
    Reply reply;
    std::string expected;
  } cases[] = {
      {"empty", MakeReply("text/plain", ""), ""},
      {"one byte", MakeReply("text/plain", "z"), "z"},
      {"several megabytes", MakeReply("application/octet-stream", big), big},
      {"chunked", MakeChunkedReply("text/plain", {"ab", std::string(5000, 'c'), "d"}),
       "ab" + std::string(5000, 'c') + "d"},
      {"error status",
       [] {
         Reply r = MakeReply("text/html", "missing");
         r.head.replace(9, 6, "404 NF");
         return r;
       }(),
       "missing"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    reply_ = c.reply;
    XMemoArchive answer;
    ASSERT_EQ(linker_.GetResponse(path, &answer, nullptr), 1);
    EXPECT_TRUE(Content(&answer) == c.expected);
    uint32_t position = 1;
    answer.GetPosition(&position);
    EXPECT_EQ(position, 0u);
  }
}

TEST_F(LinkerTest, BufferKeepsWhatFitsAndStopsThere) {
  const XCHAR* path = ConnectTo("text");
  reply_ = MakeReply("text/plain", "0123456789");
  struct Case {
    uint32_t size;
    const char* expected;
  } cases[] = {{1, ""}, {5, "0123"}, {11, "0123456789"}, {100, "0123456789"}};
  for (const Case& c : cases) {
    char buffer[100];
    memset(buffer, '#', sizeof buffer);
    ASSERT_EQ(linker_.GetResponse(path, 1, "q", buffer, c.size), 1) << c.size;
    EXPECT_STREQ(buffer, c.expected);
  }
  // A long answer is cut at the buffer; the linker stays usable afterwards.
  reply_ = MakeReply("text/plain", std::string(1 << 20, 'L'));
  char buffer[8];
  ASSERT_EQ(linker_.GetResponse(path, 1, "q", buffer, sizeof buffer), 1);
  EXPECT_STREQ(buffer, "LLLLLLL");
  reply_ = MakeReply("text/plain", "again");
  ASSERT_EQ(linker_.GetResponse(path, 1, "q", buffer, sizeof buffer), 1);
  EXPECT_STREQ(buffer, "again");
}

TEST_F(LinkerTest, ContentTypeComesBackInLowerCase) {
  const XCHAR* path = ConnectTo("typed");
  struct Case {
    std::string sent;
    std::u16string expected;
  } cases[] = {
      {"Application/JSON; Charset=UTF-8", u"application/json; charset=utf-8"},
      {"", u""},
      {std::string(1023, 'X'), std::u16string(1023, u'x')},
      {std::string(1024, 'X'), u""},
  };
  for (const Case& c : cases) {
    reply_ = MakeReply(c.sent, "{}");
    XCHAR type[1024];
    std::fill(std::begin(type), std::end(type), u'#');
    XMemoArchive answer;
    ASSERT_EQ(linker_.GetResponse(path, 7, "{}", &answer, type), 1);
    EXPECT_EQ(std::u16string(type), c.expected) << c.sent.size();
  }
}

TEST_F(LinkerTest, AnswerCutByTheServerFailsAndKeepsWhatCame) {
  std::string body = Pattern(20000);
  reply_ = MakeReply("text/plain", body);
  reply_.body_limit = 10001;
  const XCHAR* path = ConnectTo("cut");
  XMemoArchive answer, request;
  request.Append("x", 1);
  EXPECT_EQ(linker_.GetResponse(path, 1, &request, &answer, nullptr), 0);
  EXPECT_TRUE(Content(&answer) == body.substr(0, 10001));

  char buffer[30000];
  EXPECT_EQ(linker_.GetResponse(path, 1, "x", buffer, sizeof buffer), 0);
}

}  // namespace
}  // namespace tabrow_test
