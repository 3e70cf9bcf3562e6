#include "cli/program_runner.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

extern char** environ;

namespace cli_test {
namespace {

// Reads both pipes until each is closed, so that neither can fill up and stall the child.
void Drain(int out_fd, int err_fd, Run* run) {
  pollfd fds[2] = {{out_fd, POLLIN, 0}, {err_fd, POLLIN, 0}};
  std::string* sinks[2] = {&run->out, &run->err};
  int open = 2;
  while (open > 0) {
    if (poll(fds, 2, -1) < 0) return;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char chunk[4096];
      const ssize_t got = read(fds[i].fd, chunk, sizeof(chunk));
      if (got > 0) {
        sinks[i]->append(chunk, static_cast<size_t>(got));
      } else {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      }
    }
  }
}

// A pseudo-terminal: the side the program writes to in `terminal[1]`, the side read here in
// `terminal[0]`, both closed on exec.
bool OpenTerminal(int terminal[2]) {
  terminal[0] = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (terminal[0] < 0) return false;
  const char* name =
      grantpt(terminal[0]) == 0 && unlockpt(terminal[0]) == 0 ? ptsname(terminal[0]) : nullptr;
  terminal[1] = name != nullptr ? open(name, O_RDWR | O_NOCTTY | O_CLOEXEC) : -1;
  if (terminal[1] >= 0) return true;
  close(terminal[0]);
  return false;
}

}  // namespace

Run RunTabrow(const std::vector<std::string>& args, bool error_on_terminal) {
  std::vector<std::string> words = {TABROW_PROGRAM};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  int out_pipe[2], err_pipe[2];
  Run run;
  if (pipe2(out_pipe, O_CLOEXEC) != 0) return run;
  if (error_on_terminal ? !OpenTerminal(err_pipe) : pipe2(err_pipe, O_CLOEXEC) != 0) {
    close(out_pipe[0]), close(out_pipe[1]);
    return run;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out_pipe[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err_pipe[1], 2);
  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out_pipe[1]);
  close(err_pipe[1]);
  Drain(out_pipe[0], err_pipe[0], &run);
  if (spawned != 0) return run;
  int status = 0;
  if (waitpid(pid, &status, 0) == pid && WIFEXITED(status)) run.status = WEXITSTATUS(status);
  return run;
}

void ExpectRefused(const Refusal& refusal) {
  SCOPED_TRACE(refusal.message);
  const Run run = RunTabrow(refusal.args);
  EXPECT_EQ(run.status, refusal.status);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find(refusal.message), std::string::npos) << run.err;
}

ScratchDir::ScratchDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tabrow-cli-XXXXXX").string();
  if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

std::string ScratchDir::Write(const std::string& name, const std::string& bytes) const {
  std::ofstream(Path(name), std::ios::binary) << bytes;
  return Path(name);
}

std::string ScratchDir::Read(const std::string& name) const {
  std::ifstream file(Path(name), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace cli_test
