// The program's help pages and how it answers a command line it does not understand.
#include <gtest/gtest.h>

#include <string>

#include "cli/program_runner.h"

namespace {

using cli_test::RunTabrow;

TEST(HelpTest, EveryCommandHasAHelpPageAndOthersAreRefused) {
  for (const std::string command : {"demo", "get", "show", "sql"}) {
    SCOPED_TRACE(command);
    for (const std::string flag : {"--help", "-h"}) {
      const cli_test::Run run = RunTabrow({command, flag});
      EXPECT_EQ(run.status, 0);
      EXPECT_EQ(run.out.rfind("Usage: tabrow " + command + " ", 0), 0u) << run.out;
      EXPECT_NE(run.out.find("-h, --help"), std::string::npos);
      EXPECT_EQ(run.err, "");
    }
  }
  const cli_test::Run run = RunTabrow({"--help"});
  EXPECT_EQ(run.status, 0);
  for (const char* command : {"demo", "get", "show", "sql"}) {
    EXPECT_NE(run.out.find(std::string("  ") + command + " "), std::string::npos) << command;
  }
  cli_test::ExpectRefused({{"fetch"}, 2, "unknown command 'fetch'"});
}

}  // namespace
