// tabrow get against loopback HTTP and HTTPS servers: grids from JSON and XML answers, request
// bodies, and each way a fetch or an extraction fails.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <regex>
#include <string>
#include <thread>

#include "cli/program_runner.h"
#include "http/test_environment.h"

namespace {

using cli_test::RunTabrow;
using tabrow_test::MakeReply;

constexpr char kCatalogue[] =
    R"({"count": 2, "data": {"label": "书目", "items": [
         {"id": 1, "name": "红楼梦", "price": 59.5, "author": {"name": "曹雪芹"}},
         {"id": 2, "name": "三体", "price": 23}]}})";

constexpr char kOrders[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?><r><orders>"
    "<order id=\"1001\"><customer>王小明</customer></order>"
    "<order id=\"1002\"><customer>Anna &amp; Co</customer></order>"
    "</orders></r>";

class GetTest : public tabrow_test::ServerTest {
 protected:
  void SetUp() override {
    const auto handler = [](const tabrow_test::ReceivedRequest& request) {
      if (request.request_line.find(" /orders") != std::string::npos) {
        return MakeReply("text/xml", kOrders);
      }
      if (request.request_line.find(" /page") != std::string::npos) {
        return MakeReply("text/html", kCatalogue);
      }
      if (request.request_line.find(" /slow") != std::string::npos) {
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
      }
      return MakeReply("application/json; charset=utf-8", kCatalogue);
    };
    server_ = std::make_unique<tabrow_test::TestServer>(handler);
    identity_ = tabrow_test::TrustedAuthority().Issue();
    secure_ = std::make_unique<tabrow_test::TestServer>(handler, &identity_);
  }

  std::string Url(const std::string& path, bool secure = false) const {
    return (secure ? "https://127.0.0.1:" + std::to_string(secure_->port())
                   : "http://127.0.0.1:" + std::to_string(server_->port())) +
           path;
  }

  // Runs the program and expects it to succeed quietly.
  std::string Get(std::vector<std::string> args) {
    args.insert(args.begin(), "get");
    const cli_test::Run run = RunTabrow(args);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    return run.out;
  }

  std::unique_ptr<tabrow_test::TestServer> server_;
  tabrow_test::TlsIdentity identity_;
  std::unique_ptr<tabrow_test::TestServer> secure_;
  cli_test::ScratchDir dir_;
};

TEST_F(GetTest, JsonArraysBecomeGrids) {
  const std::vector<std::string> query = {"-p", "/data/items", "-i", "id,name,price,author/name",
                                          "-t", "ISFS"};
  const auto get = [&](const std::string& url, std::vector<std::string> more) {
    more.insert(more.end(), query.begin(), query.end());
    more.push_back(url);
    return Get(more);
  };
  EXPECT_EQ(get(Url("/catalogue"), {}),
            "id  name    price  author/name\n"
            "--  ------  -----  -----------\n"
            " 1  红楼梦   59.5  曹雪芹\n"
            " 2  三体     23.0\n"
            "(2 rows)\n");
  // Over HTTPS too; every other format is written by the code show uses.
  EXPECT_EQ(get(Url("/catalogue", true), {"-f", "jsonl"}),
            "{\"id\":1,\"name\":\"红楼梦\",\"price\":59.5,\"author/name\":\"曹雪芹\"}\n"
            "{\"id\":2,\"name\":\"三体\",\"price\":23.0,\"author/name\":null}\n");
}

TEST_F(GetTest, XmlElementsGiveAttributesAndChildTexts) {
  EXPECT_EQ(Get({"-p", "/r/orders/order", "-i", "id,@customer", "-t", "IS", Url("/orders")}),
            "  id  customer\n"
            "----  ---------\n"
            "1001  王小明\n"
            "1002  Anna & Co\n"
            "(2 rows)\n");
  // Without type letters every value is a text.
  EXPECT_EQ(Get({"-p", "/r/orders/order", "-i", "id", "-f", "jsonl", Url("/orders", true)}),
            "{\"id\":\"1001\"}\n{\"id\":\"1002\"}\n");
}

TEST_F(GetTest, WithoutItemsTheValueAtThePathIsTaken) {
  EXPECT_EQ(Get({"-p", "/count", "-f", "jsonl", Url("/catalogue")}), "{\"count\":2}\n");
  EXPECT_EQ(Get({"-p", "/data/label", Url("/catalogue")}), "label\n-----\n书目\n(1 row)\n");
  EXPECT_EQ(Get({"-p", "/count", "-t", "S", "-f", "jsonl", Url("/catalogue")}),
            "{\"count\":\"2\"}\n");
}

TEST_F(GetTest, BodiesAndContentTypesReachTheServer) {
  const std::string envelope = dir_.Write("envelope.xml", "<Envelope>名</Envelope>");
  const std::vector<std::string> query = {"-p", "/count", "-f", "jsonl"};
  const auto get = [&](std::vector<std::string> more, const std::string& path) {
    more.insert(more.end(), query.begin(), query.end());
    more.push_back(Url(path));
    return Get(more);
  };
  get({"--data", "a=1&b=名"}, "/catalogue");
  get({"-d", "{\"名\":1}", "-s", "7"}, "/catalogue");
  get({"--soap-action", "urn:x#List", "-d", "@" + envelope, "-s", "1"}, "/catalogue");
  // The server calls the page HTML; read as JSON it still gives the value.
  EXPECT_EQ(get({"-c", "Application/JSON"}, "/page"), "{\"count\":2}\n");

  const auto requests = server_->Requests();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_EQ(requests[0].request_line.substr(0, 5), "POST ");
  EXPECT_EQ(requests[0].body, "a=1&b=\xc3\xfb");  // a form body goes out in GB2312
  EXPECT_EQ(requests[0].Header("Content-Type"), "application/x-www-form-urlencoded");
  EXPECT_EQ(requests[1].body, "{\"\xe5\x90\x8d\":1}");
  EXPECT_EQ(requests[1].Header("Content-Type"), "application/json; charset=utf-8");
  EXPECT_EQ(requests[2].body, "<Envelope>名</Envelope>");
  EXPECT_EQ(requests[2].Header("SOAPAction"), "\"urn:x#List\"");
  EXPECT_EQ(requests[3].request_line.substr(0, 4), "GET ");
}

// The progress line appears only after half a second, and only on a terminal.
TEST_F(GetTest, ProgressIsShownOnlyWhenTheErrorStreamIsATerminal) {
  const std::vector<std::string> args = {"get", "-p", "/count", "-f", "jsonl", Url("/slow")};
  const cli_test::Run piped = RunTabrow(args);
  EXPECT_EQ(piped.status, 0);
  EXPECT_EQ(piped.out, "{\"count\":2}\n");
  EXPECT_EQ(piped.err, "");
  const cli_test::Run shown = RunTabrow(args, true);
  EXPECT_EQ(shown.status, 0);
  EXPECT_EQ(shown.out, "{\"count\":2}\n");
  // One line redrawn in place, ended once the answer is in.
  const std::string line =
      "\r\x1b\\[Kreceived " + std::to_string(sizeof(kCatalogue) - 1) + " B  [0-9.]+ (B|KiB)/s";
  EXPECT_TRUE(std::regex_match(shown.err, std::regex("(" + line + ")+\r\n"))) << shown.err;
}

// A failed call or extraction prints the library's own message (status 1); a command line the
// program refuses before calling the library prints its own (status 2).
TEST_F(GetTest, FailuresPrintAMessageAndExitNonZero) {
  const std::string closed = "http://127.0.0.1:1/x";  // nothing listens on port 1
  const std::string envelope = dir_.Write("envelope.xml", "<Envelope/>");
  // The messages are what the error stream says after "tabrow get: ".
  const cli_test::Refusal cases[] = {
      {{"-p", "/x", "http://"}, 1, "HttpCallProc 连接失败！"},
      {{"-p", "/x", "--soap-action", "a", "-d", "@" + envelope, closed},
       1,
       "SoapCallProc 调用失败！"},
      {{"-p", "/x", "-c", "application/json", Url("/orders")}, 1, "HttpCallProc 接收数据有误！"},
      {{"-p", "/data/nothing", "-i", "id", Url("/catalogue")}, 1, "节点 [\"data/nothing\"] 不存在"},
      {{"-p", "/r/orders/order", "-t", "I", Url("/orders")}, 1, "数据类型个数有误"},
      {{"-p", "/count", Url("/page")},
       1,
       "the answer holds no JSON or XML document (--content-type reads it as one)"},
      {{"-p", "/count", "-d", "@" + dir_.Path("none"), Url("/catalogue")},
       1,
       "cannot read '" + dir_.Path("none") + "': No such file or directory"},
      {{"-p", "/data/items", "-i", "id", "-t", "X", Url("/catalogue")},
       2,
       "type letters are I, S, F and T, not 'X'"},
      {{"-p", "/count", "-s", "utf8", "-d", "x", Url("/catalogue")},
       2,
       "the staple is a number, not 'utf8'"},
      {{"-p", "/count", "--soap-action", "a", Url("/catalogue")},
       2,
       "a SOAP call needs its envelope as --data"},
      {{"-p", "/count", "--soap-action", "a", "-d", "x", "-c", "text/xml", Url("/catalogue")},
       2,
       "a SOAP answer is read by its own content type"},
      {{Url("/catalogue")}, 2, "give the --path to take from the answer"},
      {{"-p", "/count"}, 2, "expected one URL"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    std::vector<std::string> args = {"get"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const cli_test::Run run = RunTabrow(args);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.out, "");
    const std::string hint = c.status == 2 ? "Try 'tabrow get --help'.\n" : "";
    EXPECT_EQ(run.err, "tabrow get: " + c.message + "\n" + hint);
  }
}

}  // namespace
