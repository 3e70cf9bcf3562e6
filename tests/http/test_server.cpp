#include "http/test_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <strings.h>
#include <cerrno>
#include <stdexcept>

namespace tabrow_test {
namespace {

// One accepted connection, plain or TLS.
struct Channel {
  int fd;
  SSL* ssl = nullptr;

  long Receive(char* buffer, size_t size) {
    if (ssl != nullptr) return SSL_read(ssl, buffer, static_cast<int>(size));
    return recv(fd, buffer, size, 0);
  }

  bool SendAll(const char* data, size_t size) {
    while (size > 0) {
      long sent = ssl != nullptr
                      ? SSL_write(ssl, data, static_cast<int>(std::min<size_t>(size, 1 << 20)))
                      : send(fd, data, size, MSG_NOSIGNAL);
      if (sent <= 0) return false;
      data += sent;
      size -= static_cast<size_t>(sent);
    }
    return true;
  }
};

// Reads until `buffer` holds `size` bytes; false when the connection ends first.
bool Fill(Channel* channel, std::string* buffer, size_t size) {
  char chunk[16384];
  while (buffer->size() < size) {
    long n = channel->Receive(chunk, sizeof chunk);
    if (n <= 0) return false;
    buffer->append(chunk, static_cast<size_t>(n));
  }
  return true;
}

// Reads one request head into `request`; false when the connection ends or sends something
// that is not HTTP, such as a TLS handshake (the caller then answers 400 and closes).
bool ReadHead(Channel* channel, std::string* buffer, ReceivedRequest* request, bool* garbage) {
  size_t end;
  while ((end = buffer->find("\r\n\r\n")) == std::string::npos) {
    if (!buffer->empty() && ((*buffer)[0] < 'A' || (*buffer)[0] > 'Z')) {
      *garbage = true;
      return false;
    }
    if (!Fill(channel, buffer, buffer->size() + 1)) return false;
  }
  std::string head = buffer->substr(0, end);
  buffer->erase(0, end + 4);
  size_t start = 0;
  while (start <= head.size()) {
    size_t stop = head.find("\r\n", start);
    if (stop == std::string::npos) stop = head.size();
    std::string line = head.substr(start, stop - start);
    if (request->request_line.empty()) {
      request->request_line = line;
    } else {
      request->headers.push_back(line);
    }
    start = stop + 2;
  }
  return true;
}

}  // namespace

std::string ReceivedRequest::Header(const std::string& name) const {
  for (const std::string& line : headers) {
    size_t colon = line.find(':');
    if (colon != name.size() || strncasecmp(line.c_str(), name.c_str(), colon) != 0) continue;
    size_t begin = line.find_first_not_of(' ', colon + 1);
    return begin == std::string::npos ? std::string() : line.substr(begin);
  }
  return std::string();
}

Reply MakeReply(const std::string& content_type, std::string body) {
  Reply reply;
  reply.head = "HTTP/1.1 200 OK\r\n";
  if (!content_type.empty()) reply.head += "Content-Type: " + content_type + "\r\n";
  reply.head += "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  reply.body = std::move(body);
  return reply;
}

Reply MakeChunkedReply(const std::string& content_type, const std::vector<std::string>& chunks) {
  Reply reply;
  reply.head =
      "HTTP/1.1 200 OK\r\nContent-Type: " + content_type + "\r\nTransfer-Encoding: chunked\r\n\r\n";
  std::string body;
  char size[32];
  for (const std::string& chunk : chunks) {
    snprintf(size, sizeof size, "%zx\r\n", chunk.size());
    body += size + chunk + "\r\n";
  }
  body += "0\r\n\r\n";
  reply.body = std::move(body);
  return reply;
}

struct TestServer::Tls {
  SSL_CTX* context = nullptr;
  ~Tls() { SSL_CTX_free(context); }
};

TestServer::TestServer(Handler handler, const TlsIdentity* identity)
    : handler_(std::move(handler)) {
  signal(SIGPIPE, SIG_IGN);
  if (identity != nullptr) {
    tls_.reset(new Tls);
    tls_->context = SSL_CTX_new(TLS_server_method());
    BIO* certificate = BIO_new_mem_buf(identity->certificate.data(), -1);
    BIO* key = BIO_new_mem_buf(identity->key.data(), -1);
    X509* x509 = PEM_read_bio_X509(certificate, nullptr, nullptr, nullptr);
    EVP_PKEY* pkey = PEM_read_bio_PrivateKey(key, nullptr, nullptr, nullptr);
    bool ok = SSL_CTX_use_certificate(tls_->context, x509) == 1 &&
              SSL_CTX_use_PrivateKey(tls_->context, pkey) == 1;
    X509_free(x509);
    EVP_PKEY_free(pkey);
    BIO_free(certificate);
    BIO_free(key);
    if (!ok) throw std::runtime_error("test server: TLS identity");
  }
  listener_ = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(listener_, 64) != 0 ||
      getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw std::runtime_error("test server: listen");
  }
  port_ = ntohs(address.sin_port);
  acceptor_ = std::thread(&TestServer::Accept, this);
}

TestServer::~TestServer() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    for (int fd : open_fds_) shutdown(fd, SHUT_RDWR);
  }
  shutdown(listener_, SHUT_RDWR);
  acceptor_.join();
  close(listener_);
  for (std::thread& worker : workers_) worker.join();
}

std::vector<ReceivedRequest> TestServer::Requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

void TestServer::Record(const ReceivedRequest& request) {
  std::lock_guard<std::mutex> lock(mutex_);
  requests_.push_back(request);
}

void TestServer::Accept() {
  int connections = 0;
  for (;;) {
    int fd = accept(listener_, nullptr, nullptr);
    if (fd < 0 && errno == EINTR) continue;
    if (fd < 0) return;
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopping_) {
      close(fd);
      return;
    }
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    open_fds_.push_back(fd);
    workers_.emplace_back(&TestServer::Serve, this, fd, ++connections);
  }
}

void TestServer::Serve(int fd, int connection) {
  Channel channel{fd};
  bool serving = true;
  if (tls_) {
    channel.ssl = SSL_new(tls_->context);
    SSL_set_fd(channel.ssl, fd);
    serving = SSL_accept(channel.ssl) == 1;
  }
  std::string buffer;
  while (serving) {
    ReceivedRequest request;
    bool garbage = false;
    if (!ReadHead(&channel, &buffer, &request, &garbage)) {
      if (garbage) channel.SendAll("HTTP/1.1 400 Bad Request\r\nConnection: close\r\n\r\n", 47);
      break;
    }
    size_t length = std::strtoul(request.Header("Content-Length").c_str(), nullptr, 10);
    if (!Fill(&channel, &buffer, length)) break;
    request.body = buffer.substr(0, length);
    buffer.erase(0, length);
    request.connection = connection;
    Record(request);

    Reply reply = handler_(request);
    std::string whole = reply.head + reply.body.substr(0, reply.body_limit);
    serving = channel.SendAll(whole.data(), whole.size()) && reply.body_limit == std::string::npos;
  }
  SSL_free(channel.ssl);
  std::lock_guard<std::mutex> lock(mutex_);
  for (size_t i = 0; i < open_fds_.size(); ++i) {
    if (open_fds_[i] == fd) open_fds_.erase(open_fds_.begin() + static_cast<long>(i));
  }
  close(fd);
}

}  // namespace tabrow_test
