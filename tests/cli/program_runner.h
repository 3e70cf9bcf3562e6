// Runs the tabrow program as a child process, and scratch files for its input and output.
#ifndef TABROW_TESTS_CLI_PROGRAM_RUNNER_H_
#define TABROW_TESTS_CLI_PROGRAM_RUNNER_H_

#include <string>
#include <vector>

namespace cli_test {

struct Run {
  int status = -1;  // the exit status, or -1 when the program did not exit normally
  std::string out;  // standard output
  std::string err;  // standard error
};

// Runs the program with `args`, standard input empty, and waits for it. Its error stream is a
// pipe, or with `error_on_terminal` a pseudo-terminal (whose line discipline turns "\n" into
// "\r\n").
Run RunTabrow(const std::vector<std::string>& args, bool error_on_terminal = false);

// A command line the program refuses: its exit status and its error message.
struct Refusal {
  std::vector<std::string> args;
  int status;
  std::string message;
};

// Runs `refusal.args` and expects its status, no output and an error stream holding the message.
void ExpectRefused(const Refusal& refusal);

// A directory of its own for one test, removed with everything in it.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  // The path of `name` inside the directory.
  std::string Path(const std::string& name) const { return path_ + "/" + name; }
  // Writes `bytes` to `name` and returns its path.
  std::string Write(const std::string& name, const std::string& bytes) const;
  // The content of `name` ("" when it cannot be read).
  std::string Read(const std::string& name) const;

 private:
  std::string path_;
};

}  // namespace cli_test

#endif  // TABROW_TESTS_CLI_PROGRAM_RUNNER_H_
