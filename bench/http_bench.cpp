// XHttpLinker against libcurl used directly (one easy handle writing into a growing buffer),
// both talking to the same loopback server in this process:
// - Get64MiB: one GET of a 64 MiB answer; bytes per second, and peak_growth_MiB, how far the
//   resident size rose above where it stood before the request (the peak is reset through
//   /proc/self/clear_refs, then read from VmHWM in /proc/self/status);
// - Get1KiB: 2,000 GETs of a 1 KiB answer over one connection; requests per second.
#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "http/test_server.h"
#include "tabrow/tabrow.h"

namespace {

using tabrow_test::MakeReply;
using tabrow_test::ReceivedRequest;
using tabrow_test::Reply;
using tabrow_test::TestServer;

constexpr size_t kLargeAnswer = 64u << 20;
constexpr size_t kSmallAnswer = 1024;
constexpr int kSmallRequests = 2000;

// Serves a 64 MiB answer on /large and a 1 KiB answer on anything else.
class LoopbackServer {
 public:
  LoopbackServer()
      : large_(MakeReply("application/octet-stream", std::string(kLargeAnswer, 'L'))),
        small_(MakeReply("text/plain", std::string(kSmallAnswer, 's'))),
        server_([this](const ReceivedRequest& request) {
          return request.request_line.compare(0, 11, "GET /large ") == 0 ? large_ : small_;
        }) {}

  std::string Url(const char* path) const {
    return "http://127.0.0.1:" + std::to_string(server_.port()) + "/" + path;
  }

 private:
  Reply large_;
  Reply small_;
  TestServer server_;
};

LoopbackServer& Server() {
  static LoopbackServer* server = [] {
    for (const char* name : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"}) unsetenv(name);
    return new LoopbackServer;
  }();
  return *server;
}

std::u16string Wide(const std::string& text) {
  return std::u16string(text.begin(), text.end());
}

// --- peak resident size ---

bool ResetPeak() {
  FILE* file = std::fopen("/proc/self/clear_refs", "w");
  if (file == nullptr) return false;
  bool written = std::fputs("5", file) >= 0;
  return std::fclose(file) == 0 && written;
}

long StatusKiB(const char* field) {
  FILE* file = std::fopen("/proc/self/status", "r");
  if (file == nullptr) return -1;
  char line[256];
  long value = -1;
  size_t length = std::strlen(field);
  while (std::fgets(line, sizeof line, file) != nullptr) {
    if (std::strncmp(line, field, length) == 0) value = std::strtol(line + length + 1, nullptr, 10);
  }
  std::fclose(file);
  return value;
}

// Measures how far the resident size rises during `work`, in MiB (-1 when it cannot).
template <typename Work>
double PeakGrowthMiB(Work work) {
  bool reset = ResetPeak();
  long before = StatusKiB("VmRSS");
  work();
  long peak = StatusKiB("VmHWM");
  return reset && before >= 0 && peak >= 0 ? (peak - before) / 1024.0 : -1;
}

// --- libcurl used directly ---

size_t AppendTo(char* data, size_t size, size_t count, void* user) {
  static_cast<std::string*>(user)->append(data, size * count);
  return size * count;
}

class CurlClient {
 public:
  CurlClient() : easy_(curl_easy_init()) {
    curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, AppendTo);
  }
  ~CurlClient() { curl_easy_cleanup(easy_); }

  // GETs `url` into `answer`; false on failure.
  bool Get(const std::string& url, std::string* answer) {
    curl_easy_setopt(easy_, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy_, CURLOPT_WRITEDATA, answer);
    return curl_easy_perform(easy_) == CURLE_OK;
  }

 private:
  CURL* easy_;
};

// --- the benchmarks ---

void Get64MiB_Linker(benchmark::State& state) {
  std::u16string url = Wide(Server().Url("large"));
  XHttpLinker linker;
  const XCHAR* path = linker.Connect(url.c_str());
  double growth = 0;
  for (auto _ : state) {
    growth = PeakGrowthMiB([&] {
      XMemoArchive answer;
      uint32_t length = 0;
      if (linker.GetResponse(path, &answer, nullptr) != 1) state.SkipWithError("request failed");
      answer.GetLength(&length);
      if (length != kLargeAnswer) state.SkipWithError("answer incomplete");
    });
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kLargeAnswer));
  state.counters["peak_growth_MiB"] = growth;
}

void Get64MiB_Curl(benchmark::State& state) {
  std::string url = Server().Url("large");
  CurlClient client;
  double growth = 0;
  for (auto _ : state) {
    growth = PeakGrowthMiB([&] {
      std::string answer;
      if (!client.Get(url, &answer) || answer.size() != kLargeAnswer) {
        state.SkipWithError("request failed");
      }
    });
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kLargeAnswer));
  state.counters["peak_growth_MiB"] = growth;
}

void Get1KiB_Linker(benchmark::State& state) {
  std::u16string url = Wide(Server().Url("small"));
  XHttpLinker linker;
  const XCHAR* path = linker.Connect(url.c_str());
  for (auto _ : state) {
    XMemoArchive answer;
    if (linker.GetResponse(path, &answer, nullptr) != 1) state.SkipWithError("request failed");
  }
  state.SetItemsProcessed(state.iterations());
}

void Get1KiB_Curl(benchmark::State& state) {
  std::string url = Server().Url("small");
  CurlClient client;
  for (auto _ : state) {
    std::string answer;
    if (!client.Get(url, &answer) || answer.size() != kSmallAnswer) {
      state.SkipWithError("request failed");
    }
  }
  state.SetItemsProcessed(state.iterations());
}

// The machine is shared: each side runs five rounds; compare the medians. Run with
// --benchmark_enable_random_interleaving=true so that both sides meet the same load.
void Register(benchmark::internal::Benchmark* benchmark, int iterations, benchmark::TimeUnit unit) {
  benchmark->Unit(unit)->Iterations(iterations)->Repetitions(5)->UseRealTime();
}

BENCHMARK(Get64MiB_Linker)->Apply([](auto* b) { Register(b, 4, benchmark::kMillisecond); });
BENCHMARK(Get64MiB_Curl)->Apply([](auto* b) { Register(b, 4, benchmark::kMillisecond); });
BENCHMARK(Get1KiB_Linker)->Apply([](auto* b) {
  Register(b, kSmallRequests, benchmark::kMicrosecond);
});
BENCHMARK(Get1KiB_Curl)->Apply([](auto* b) {
  Register(b, kSmallRequests, benchmark::kMicrosecond);
});

}  // namespace
