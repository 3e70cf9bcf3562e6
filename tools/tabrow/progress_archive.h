// The archive a download is appended to. It keeps the answer in memory and counts what the
// linker appends; when showing is on it keeps a line on the error stream up to date with the
// bytes received and the rate, from half a second into the download on.
#ifndef TABROW_TOOLS_TABROW_PROGRESS_ARCHIVE_H_
#define TABROW_TOOLS_TABROW_PROGRESS_ARCHIVE_H_

#include <chrono>
#include <cstdint>

#include "tabrow/archive.h"

namespace tabrow::cli {

class ProgressArchive final : public IArchive {
 public:
  // `show`: draw the progress line (meant for an error stream that is a terminal).
  explicit ProgressArchive(bool show);
  ~ProgressArchive();
  ProgressArchive(const ProgressArchive&) = delete;
  ProgressArchive& operator=(const ProgressArchive&) = delete;

  // Bytes appended so far.
  uint64_t received() const { return received_; }
  // Draws the final count and ends the progress line, when one was drawn.
  void Finish();

  int32_t GetPosition(uint32_t* position) override { return memory_.GetPosition(position); }
  void Release() override {}  // a local object: its owner ends it
  int32_t SeekToBegin() override { return memory_.SeekToBegin(); }
  int32_t Seek(uint32_t position) override { return memory_.Seek(position); }
  int32_t GetLength(uint32_t* length) override { return memory_.GetLength(length); }
  int32_t SetLength(uint32_t length) override { return memory_.SetLength(length); }
  const uint8_t* GetData() override { return memory_.GetData(); }
  int32_t Skip(uint32_t count) override { return memory_.Skip(count); }
  int32_t Read(void* buffer, uint32_t count) override { return memory_.Read(buffer, count); }
  int32_t Reserve(uint32_t capacity) override { return memory_.Reserve(capacity); }
  int32_t Append(const void* buffer, uint32_t count) override;
  int32_t CopyFrom(IArchive* source) override { return memory_.CopyFrom(source); }

 private:
  using Clock = std::chrono::steady_clock;

  void Draw(Clock::time_point now);

  XMemoArchive memory_;
  const bool show_;
  uint64_t received_ = 0;
  bool drawn_ = false;
  Clock::time_point start_;
  Clock::time_point last_draw_;
};

}  // namespace tabrow::cli

#endif  // TABROW_TOOLS_TABROW_PROGRESS_ARCHIVE_H_
