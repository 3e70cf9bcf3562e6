// Date and number text against the C library: FormatFloater against snprintf("%.8f") plus the
// same trimming, TimeToString against strftime and StringToTime against strptime, all with the
// default forms, over the same varied inputs.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "tabrow/datetime.h"

namespace {

constexpr size_t kInputs = 256;

std::vector<double> MakeDoubles() {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> mantissa(-1000.0, 1000.0);
  std::uniform_int_distribution<int> kind(0, 3);
  std::vector<double> values;
  for (size_t i = 0; i < kInputs; ++i) {
    const double m = mantissa(random);
    switch (kind(random)) {
      case 0:  // whole numbers
        values.push_back(static_cast<double>(static_cast<int>(m * 1000)));
        break;
      case 1:  // money-like, two decimals
        values.push_back(static_cast<int>(m * 100) / 100.0);
        break;
      case 2:  // small
        values.push_back(m / 1e6);
        break;
      default:  // full precision
        values.push_back(m * 12345.678);
    }
  }
  return values;
}

std::vector<DATETIME> MakeTimes() {
  std::mt19937 random(11);
  std::vector<DATETIME> times;
  for (size_t i = 0; i < kInputs; ++i) {
    DATETIME t{};
    t.Year = static_cast<uint16_t>(1900 + random() % 200);
    t.Month = static_cast<int8_t>(1 + random() % 12);
    t.Day = static_cast<int8_t>(1 + random() % 28);
    t.Hour = static_cast<int8_t>(random() % 24);
    t.Minute = static_cast<int8_t>(random() % 60);
    t.Second = static_cast<int8_t>(random() % 60);
    times.push_back(t);
  }
  return times;
}

std::tm ToTm(const DATETIME& t) {
  std::tm tm{};
  tm.tm_year = t.Year - 1900;
  tm.tm_mon = t.Month - 1;
  tm.tm_mday = t.Day;
  tm.tm_hour = t.Hour;
  tm.tm_min = t.Minute;
  tm.tm_sec = t.Second;
  return tm;
}

const std::vector<double>& Doubles() {
  static const std::vector<double> values = MakeDoubles();
  return values;
}

const std::vector<DATETIME>& Times() {
  static const std::vector<DATETIME> times = MakeTimes();
  return times;
}

// The default text form of every sample time, in both character widths.
struct TimeTexts {
  std::vector<std::u16string> wide;
  std::vector<std::string> narrow;
};

const TimeTexts& Texts() {
  static const TimeTexts texts = [] {
    TimeTexts t;
    for (const DATETIME& time : Times()) {
      XCHAR out[32];
      TimeToString(time, nullptr, out);
      t.wide.emplace_back(out);
      t.narrow.emplace_back(t.wide.back().begin(), t.wide.back().end());
    }
    return t;
  }();
  return texts;
}

void BM_FormatFloater(benchmark::State& state) {
  XCHAR out[330];
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(FormatFloater(Doubles()[i++ % kInputs], out));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FormatFloater);

void BM_SnprintfTrim(benchmark::State& state) {
  char out[330];
  size_t i = 0;
  for (auto _ : state) {
    int length = std::snprintf(out, sizeof out, "%.8f", Doubles()[i++ % kInputs]);
    if (std::memchr(out, '.', length) != nullptr) {
      while (out[length - 1] == '0') --length;
      if (out[length - 1] == '.') ++length;
      out[length] = '\0';
    }
    benchmark::DoNotOptimize(length);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_SnprintfTrim);

void BM_TimeToString(benchmark::State& state) {
  XCHAR out[32];
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(TimeToString(Times()[i++ % kInputs], nullptr, out));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_TimeToString);

void BM_Strftime(benchmark::State& state) {
  std::vector<std::tm> tms;
  for (const DATETIME& t : Times()) tms.push_back(ToTm(t));
  char out[32];
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        std::strftime(out, sizeof out, "%Y-%m-%d %H:%M:%S", &tms[i++ % kInputs]));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Strftime);

void BM_StringToTime(benchmark::State& state) {
  const TimeTexts& texts = Texts();
  DATETIME time;
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(StringToTime(texts.wide[i++ % kInputs].c_str(), nullptr, time));
    benchmark::DoNotOptimize(time);
  }
}
BENCHMARK(BM_StringToTime);

void BM_Strptime(benchmark::State& state) {
  const TimeTexts& texts = Texts();
  std::tm tm{};
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        strptime(texts.narrow[i++ % kInputs].c_str(), "%Y-%m-%d %H:%M:%S", &tm));
    benchmark::DoNotOptimize(tm);
  }
}
BENCHMARK(BM_Strptime);

}  // namespace
