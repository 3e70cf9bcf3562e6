// tabrow sql: a stored template's description and its condition with values bound.
#include <gtest/gtest.h>

#include <string>

#include "cli/program_runner.h"
#include "query/query_test_util.h"

namespace {

using cli_test::RunTabrow;
using query_test::Cond;

class SqlTest : public ::testing::Test {
 protected:
  // Fields id and customer of object 7, three conditions joined by AND, ordered by total.
  // `min_mode` is what the middle condition becomes when :min has no value.
  std::string StoreTemplate(int32_t min_mode) {
    query_test::TemplatePtr query = query_test::NewTemplate();
    query_test::Add(query.get(), QDL_FIELD, u"id", XDT_LONG);
    query_test::Add(query.get(), QDL_FIELD, u"customer", XDT_STRING);
    query->SetDataMuster(7, 0);
    query_test::AddCondition(query.get(),
                             Cond{u"", u"customer", QOP_EQ, u"':customer'", u"", QJN_AND});
    query_test::AddCondition(query.get(),
                             Cond{u"", u"total", QOP_GT, u":min", u"", QJN_AND, min_mode});
    query_test::AddCondition(query.get(), Cond{u"", u"date", QOP_ISMONTH, u"':since'", u"", 0});
    query_test::Add(query.get(), QDL_ORDER, u"total", 1);
    XMemoArchive archive;
    query->Serialize(&archive, 1);
    uint32_t length = 0;
    archive.GetLength(&length);
    return dir_.Write("orders.qt",
                      std::string(reinterpret_cast<const char*>(archive.GetData()), length));
  }

  cli_test::ScratchDir dir_;
};

constexpr char kDescription[] =
    "SELECT id, customer\n"
    "FROM [# 7]\n"
    "WHERE customer = ':customer' AND total > :min AND date ISMONTH ':since'\n"
    "ORDER BY total DESC\n";

TEST_F(SqlTest, ReferencesAreReplacedAndUnboundConditionsFollowTheirMode) {
  struct {
    int32_t min_mode;
    std::vector<std::string> bindings;
    std::string condition;
  } cases[] = {
      {QUB_DROP,
       {"customer=王小明", "min=100", "since=2024-12-05"},
       "customer = '王小明' AND total > 100 AND (date >= '2024-12-01 00:00:00' AND date < "
       "'2025-01-01 00:00:00')"},
      {QUB_DROP,
       {"since=2024-02", "customer=a::b"},
       "customer = 'a::b' AND (date >= "
       "'2024-02-01 00:00:00' AND date < '2024-03-01 00:00:00')"},
      {QUB_DROP, {"customer=x"}, "customer = 'x'"},
      {QUB_DROP, {}, "(none: every row qualifies)"},
      {QUB_FALSE, {"customer=x", "since=2024-01-01"}, "(never holds: no row qualifies)"},
      {QUB_TRUE, {"min=5"}, "total > 5"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.condition);
    std::vector<std::string> args = {"sql", StoreTemplate(c.min_mode)};
    args.insert(args.end(), c.bindings.begin(), c.bindings.end());
    const cli_test::Run run = RunTabrow(args);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, std::string(kDescription) + "\nCondition:\n" + c.condition + "\n");
  }
}

TEST_F(SqlTest, FailuresAndMistakesAreReported) {
  const std::string stored = StoreTemplate(QUB_FAIL);
  const cli_test::Refusal cases[] = {
      {{"sql", stored, "min"}, 2, "expected NAME=VALUE, not 'min'"},
      {{"sql", stored, "9min=1"}, 2, "expected NAME=VALUE"},
      {{"sql", dir_.Write("bad.qt", "not a template")}, 1, "not a stored query template"},
      {{"sql"}, 2, "expected a template FILE"},
  };
  for (const auto& c : cases) cli_test::ExpectRefused(c);
  // The description is printed before the missing value is found.
  const cli_test::Run run = RunTabrow({"sql", stored, "customer=x"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, kDescription);
  EXPECT_NE(run.err.find("no value for the reference :min"), std::string::npos) << run.err;
}

}  // namespace
