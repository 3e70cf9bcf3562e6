#include "demo_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <strings.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace tabrow::cli {
namespace {

constexpr size_t kMaxHead = 65536;

// Reads the request head, through its blank line, and whatever body its Content-Length names.
// False when the client goes away or sends too much head.
bool ReadRequest(int connection, std::string* head) {
  std::string data;
  char chunk[4096];
  size_t end;
  while ((end = data.find("\r\n\r\n")) == std::string::npos) {
    const ssize_t got = recv(connection, chunk, sizeof(chunk), 0);
    if (got <= 0 || data.size() > kMaxHead) return false;
    data.append(chunk, static_cast<size_t>(got));
  }
  *head = data.substr(0, end);
  size_t body_length = 0;
  for (size_t line = head->find("\r\n"); line != std::string::npos;
       line = head->find("\r\n", line + 2)) {
    if (strncasecmp(head->c_str() + line + 2, "content-length:", 15) == 0) {
      body_length = std::strtoul(head->c_str() + line + 17, nullptr, 10);
    }
  }
  for (size_t have = data.size() - end - 4; have < body_length;) {
    const ssize_t got = recv(connection, chunk, sizeof(chunk), 0);
    if (got <= 0) return false;
    have += static_cast<size_t>(got);
  }
  return true;
}

void SendAll(int connection, const std::string& data) {
  for (size_t sent = 0; sent < data.size();) {
    const ssize_t n = send(connection, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return;
    sent += static_cast<size_t>(n);
  }
}

}  // namespace

DemoServer::DemoServer(std::vector<DemoAnswer> answers) : answers_(std::move(answers)) {}

DemoServer::~DemoServer() {
  stopping_ = true;
  if (listener_ >= 0) shutdown(listener_, SHUT_RDWR);
  if (thread_.joinable()) thread_.join();
  if (listener_ >= 0) close(listener_);
}

bool DemoServer::Start(std::string* error) {
  listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof(address);
  if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      listen(listener_, 8) != 0 ||
      getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    *error = std::string("cannot listen on 127.0.0.1: ") + std::strerror(errno);
    return false;
  }
  port_ = ntohs(address.sin_port);
  thread_ = std::thread(&DemoServer::Serve, this);
  return true;
}

std::string DemoServer::BaseUrl() const {
  return "http://127.0.0.1:" + std::to_string(port_);
}

void DemoServer::Serve() {
  while (!stopping_) {
    const int connection = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) {
      if (errno == EINTR || errno == ECONNABORTED) continue;
      return;
    }
    const timeval limit = {5, 0};  // a stalled client cannot hold the demonstration up
    setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof(limit));
    Answer(connection);
    close(connection);
  }
}

void DemoServer::Answer(int connection) {
  std::string head;
  if (!ReadRequest(connection, &head)) return;
  // The request line: method, target, version.
  const size_t first = head.find(' ');
  const size_t second = head.find(' ', first + 1);
  const DemoAnswer* answer =
      first == std::string::npos ? nullptr : Find(head.substr(first + 1, second - first - 1));
  const std::string status = answer != nullptr ? "200 OK" : "404 Not Found";
  const std::string type = answer != nullptr ? answer->content_type : "text/plain; charset=utf-8";
  const std::string body = answer != nullptr ? answer->body : "no such answer\n";
  SendAll(connection, "HTTP/1.1 " + status + "\r\nContent-Type: " + type + "\r\nContent-Length: " +
                          std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
}

const DemoAnswer* DemoServer::Find(const std::string& target) const {
  const std::string path = target.substr(0, target.find('?'));
  for (const DemoAnswer& answer : answers_) {
    if (answer.path == path) return &answer;
  }
  return nullptr;
}

}  // namespace tabrow::cli
