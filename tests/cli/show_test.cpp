// tabrow show: stored grids printed in every output format, and the ways it refuses input.
#include <gtest/gtest.h>

#include <string>

#include "cli/program_runner.h"
#include "grid/grid_fixture.h"

namespace {

using cli_test::RunTabrow;
using gridtest::Bytes;

std::string Str(const Bytes& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

Bytes Time(uint16_t year, int8_t month, int8_t day, int8_t hour, int8_t minute, int8_t second) {
  const DATETIME time{year, month, day, hour, minute, second, 0};
  return gridtest::Raw(&time, sizeof(time));
}

// Integer, text, double and date-time columns; the second line has an empty text cell and a
// text that a terminal shows two columns wide per character.
Bytes SampleGrid() {
  using gridtest::Dbl;
  using gridtest::LineData;
  using gridtest::Long;
  using gridtest::Text;
  return gridtest::GridRecord(
      {XDT_LONG, XDT_STRING, XDT_DOUBLE, XDT_DATETIME}, {4, 0, 8, 8},
      {{0, 0, 0, LineData({Long(7), Text(u"a\"b\nc"), Dbl(2.5), Time(2008, 3, 7, 9, 5, 0)})},
       {0, 0, 0, LineData({Long(-12), {}, Dbl(-0.125), Time(2024, 12, 31, 23, 59, 59)})},
       {0, 0, 0, LineData({Long(3), Text(u"红楼梦"), {}, {}})}});
}

class ShowTest : public ::testing::Test {
 protected:
  std::string Show(const std::string& format) {
    const cli_test::Run run = RunTabrow({"show", "-f", format, grid_});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    return run.out;
  }

  cli_test::ScratchDir dir_;
  std::string grid_ = dir_.Write("sample.grid", Str(SampleGrid()));
};

// The table aligns columns by their width on a terminal; every format holds the same cells.
TEST_F(ShowTest, EveryFormatHoldsTheSameCells) {
  EXPECT_EQ(Show("table"),
            "FD_1  FD_2      FD_3  FD_4\n"
            "----  ------  ------  -------------------\n"
            "   7  a\"b\\nc     2.5  2008-03-07 09:05:00\n"
            " -12          -0.125  2024-12-31 23:59:59\n"
            "   3  红楼梦\n"
            "(3 rows)\n");
  EXPECT_EQ(Show("jsonl"),
            "{\"FD_1\":7,\"FD_2\":\"a\\\"b\\nc\",\"FD_3\":2.5,\"FD_4\":\"2008-03-07 09:05:00\"}\n"
            "{\"FD_1\":-12,\"FD_2\":null,\"FD_3\":-0.125,\"FD_4\":\"2024-12-31 23:59:59\"}\n"
            "{\"FD_1\":3,\"FD_2\":\"红楼梦\",\"FD_3\":null,\"FD_4\":null}\n");
  const cli_test::Run run =
      RunTabrow({"show", "--format=binary", "--output", dir_.Path("copy.grid"), grid_});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(dir_.Read("copy.grid"), Str(SampleGrid()));
  const std::string rowset =
      "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n<Rowset Type=\"ISFT\">"
      "\r\n<Row><FD_1>7</FD_1><FD_2>a\"b\nc</FD_2><FD_3>2.5</FD_3><FD_4>2008-03-07 09:05:00</FD_4>"
      "\r\n</Row>"
      "\r\n<Row><FD_1>-12</FD_1><FD_2></FD_2><FD_3>-0.125</FD_3><FD_4>2024-12-31 23:59:59</FD_4>"
      "\r\n</Row>"
      "\r\n<Row><FD_1>3</FD_1><FD_2>红楼梦</FD_2><FD_3></FD_3><FD_4></FD_4>\r\n</Row></Rowset>\n";
  EXPECT_EQ(Show("xml"), rowset);
  // A Rowset document reads back as the same grid.
  const std::string path = dir_.Write("sample.xml", rowset);
  EXPECT_EQ(RunTabrow({"show", path}).out, Show("table"));
  // The pick list keys each line by its first column and shows the second when it is a text.
  EXPECT_EQ(Show("pick"), "7;a\"b\nc\n-12;\n3;红楼梦\n");
  EXPECT_EQ(RunTabrow({"show", "-f", "pick", "--null-line", path}).out,
            "NULL;\n7;a\"b\nc\n-12;\n3;红楼梦\n");
}

TEST_F(ShowTest, AGridWithoutLinesPrintsItsHeaderOnly) {
  const std::string path =
      dir_.Write("empty.grid", Str(gridtest::GridRecord({XDT_STRING, XDT_LONG}, {0, 4}, {})));
  const cli_test::Run run = RunTabrow({"show", path});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "FD_1  FD_2\n----  ----\n(0 rows)\n");
  EXPECT_EQ(RunTabrow({"show", "-f", "xml", path}).out,
            "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n<Rowset Type=\"SI\"></Rowset>\n");
}

TEST(ShowRefusal, BadInputFailsWithAMessage) {
  cli_test::ScratchDir dir;
  const std::string cut = Str(SampleGrid()).substr(0, 80);
  const cli_test::Refusal cases[] = {
      {{"show", dir.Write("text.grid", "hello, world")}, 1, "neither a stored grid nor an XML"},
      {{"show", dir.Write("other.xml", "<Rows Type=\"I\"/>")}, 1, "not a Rowset document"},
      {{"show", dir.Write("letters.xml", "<Rowset Type=\"IX\"/>")}, 1, "not a Rowset document"},
      {{"show", dir.Write("cut.grid", cut)}, 1, "damaged or cut short"},
      {{"show", dir.Path("missing.grid")}, 1, "cannot read"},
      {{"show", "-f", "csv", dir.Path("x")}, 2, "unknown format 'csv'"},
      {{"show", "--colour", dir.Path("x")}, 2, "unknown option '--colour'"},
      {{"show"}, 2, "expected one FILE"},
      {{"show", "-f"}, 2, "'--format' needs a value"},
  };
  for (const auto& c : cases) cli_test::ExpectRefused(c);
}

}  // namespace
