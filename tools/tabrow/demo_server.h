// The demonstration's own HTTP server: it listens on 127.0.0.1 at a port the system picks and,
// in a thread of its own, answers every request whose path (without its query) is in its table
// with that answer, and any other with 404. One connection at a time, closed after each answer.
#ifndef TABROW_TOOLS_TABROW_DEMO_SERVER_H_
#define TABROW_TOOLS_TABROW_DEMO_SERVER_H_

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace tabrow::cli {

struct DemoAnswer {
  std::string path;  // "/catalogue"
  std::string content_type;
  std::string body;
};

class DemoServer {
 public:
  explicit DemoServer(std::vector<DemoAnswer> answers);
  // Stops listening and waits for the thread.
  ~DemoServer();
  DemoServer(const DemoServer&) = delete;
  DemoServer& operator=(const DemoServer&) = delete;

  // Binds, listens and starts answering. False with `error` when the socket cannot be set up.
  bool Start(std::string* error);
  // "http://127.0.0.1:<port>".
  std::string BaseUrl() const;

 private:
  void Serve();
  void Answer(int connection);
  const DemoAnswer* Find(const std::string& target) const;

  std::vector<DemoAnswer> answers_;
  int listener_ = -1;
  uint16_t port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

}  // namespace tabrow::cli

#endif  // TABROW_TOOLS_TABROW_DEMO_SERVER_H_
