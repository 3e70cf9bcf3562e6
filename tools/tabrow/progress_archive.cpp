#include "progress_archive.h"

#include <cstdio>

namespace tabrow::cli {
namespace {

constexpr auto kFirstDraw = std::chrono::milliseconds(500);
constexpr auto kRedraw = std::chrono::milliseconds(200);

// "812 B", "4.2 KiB", "13.0 MiB", "1.1 GiB".
void FormatBytes(double bytes, char* out, size_t size) {
  static const char* const kUnits[] = {"B", "KiB", "MiB", "GiB", "TiB"};
  int unit = 0;
  while (bytes >= 1024 && unit < 4) bytes /= 1024, ++unit;
  if (unit == 0) {
    std::snprintf(out, size, "%.0f %s", bytes, kUnits[unit]);
  } else {
    std::snprintf(out, size, "%.1f %s", bytes, kUnits[unit]);
  }
}

}  // namespace

ProgressArchive::ProgressArchive(bool show) : show_(show), start_(Clock::now()) {}

ProgressArchive::~ProgressArchive() {
  Finish();
}

int32_t ProgressArchive::Append(const void* buffer, uint32_t count) {
  const int32_t appended = memory_.Append(buffer, count);
  if (appended > 0) received_ += static_cast<uint32_t>(appended);
  if (show_) {
    const Clock::time_point now = Clock::now();
    if (drawn_ ? now - last_draw_ >= kRedraw : now - start_ >= kFirstDraw) Draw(now);
  }
  return appended;
}

void ProgressArchive::Finish() {
  if (!drawn_) return;
  Draw(Clock::now());
  std::fputc('\n', stderr);
  drawn_ = false;
}

void ProgressArchive::Draw(Clock::time_point now) {
  const double seconds = std::chrono::duration<double>(now - start_).count();
  char bytes[32], rate[32];
  FormatBytes(static_cast<double>(received_), bytes, sizeof(bytes));
  FormatBytes(seconds > 0 ? static_cast<double>(received_) / seconds : 0, rate, sizeof(rate));
  std::fprintf(stderr, "\r\x1b[Kreceived %s  %s/s", bytes, rate);
  std::fflush(stderr);
  drawn_ = true;
  last_draw_ = now;
}

}  // namespace tabrow::cli
