// tabrow demo, which is also what tabrow alone runs: its server, its pipeline and what it saves.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "cli/program_runner.h"

namespace {

using cli_test::RunTabrow;

// The output with the server's port, which changes from run to run, taken out.
std::string WithoutPort(const std::string& text) {
  return std::regex_replace(text, std::regex("127\\.0\\.0\\.1:[0-9]+"), "127.0.0.1:PORT");
}

TEST(DemoTest, EveryStepOfThePipelinePrintsWhatItGot) {
  cli_test::ScratchDir dir;
  const cli_test::Run run = RunTabrow({"demo", "--save", dir.Path("")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  for (const char* expected : {
           // the catalogue's grid, with wide characters aligned
           " 1  红楼梦                           曹雪芹          59.5  2023-11-02 09:30:00\n",
           " 3  The Art of Computer Programming  Donald Knuth  199.99  2022-06-30 08:00:00\n",
           // a grid and a row taken through line binders
           "1982  人民文学出版社\n",
           "  name = 刘慈欣\n  born = 1963\n",
           // attributes and child elements of the XML answer, and its Rowset document
           "1002  2024-03-02 16:40:00  Anna Schmidt    76.0\n",
           "<FD_3>李华</FD_3><FD_4>342.25</FD_4><FD_5>gift &amp; card</FD_5>\r\n</Row></Rowset>\n",
           // the stored template and its condition
           "WHERE customer = ':customer' AND total > :min AND date ISMONTH ':since'\n",
           "customer = '王小明' AND (date >= '2024-03-01 00:00:00' AND date < '2024-04-01 "
           "00:00:00')\n",
       }) {
    EXPECT_NE(run.out.find(expected), std::string::npos) << expected << "\nin\n" << run.out;
  }

  // Without a command the program runs the same demonstration.
  const cli_test::Run plain = RunTabrow({});
  EXPECT_EQ(plain.status, 0);
  const std::string saved_note = run.out.substr(run.out.find("\nSaved in "));
  EXPECT_EQ(WithoutPort(plain.out),
            WithoutPort(run.out.substr(0, run.out.size() - saved_note.size())));

  // What it saved reads back through show and sql.
  const cli_test::Run books = RunTabrow({"show", "-f", "jsonl", dir.Path("catalogue.grid")});
  EXPECT_EQ(books.out.substr(0, books.out.find('\n')),
            "{\"FD_1\":1,\"FD_2\":\"红楼梦\",\"FD_3\":\"曹雪芹\",\"FD_4\":59.5,\"FD_5\":"
            "\"2023-11-02 09:30:00\"}");
  const cli_test::Run orders = RunTabrow({"show", "-f", "pick", dir.Path("orders.xml")});
  EXPECT_EQ(orders.out, "1001;\n1002;\n1003;\n");  // the second column is no text
  const cli_test::Run sql = RunTabrow({"sql", dir.Path("orders.qt"), "customer=李华", "min=100"});
  EXPECT_NE(sql.out.find("\nCondition:\ncustomer = '李华' AND total > 100\n"), std::string::npos)
      << sql.out;
}

}  // namespace
