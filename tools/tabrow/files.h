// Whole files in and out.
#ifndef TABROW_TOOLS_TABROW_FILES_H_
#define TABROW_TOOLS_TABROW_FILES_H_

#include <cstdio>
#include <string>

#include "tabrow/archive.h"

namespace tabrow::cli {

// Appends the whole file at `path` to `archive`. False with `error` when it cannot be read.
bool ReadFile(const std::string& path, IArchive* archive, std::string* error);

// Where a command writes: standard output, or a file opened for writing. Closing reports a
// failed final write.
class Output {
 public:
  Output() = default;
  ~Output();
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  // An empty path or "-" is standard output. False with `error` when the file cannot be made.
  bool Open(const std::string& path, std::string* error);
  // Flushes and closes; false with `error` when that fails.
  bool Close(std::string* error);
  std::FILE* stream() const { return stream_; }

 private:
  std::FILE* stream_ = stdout;
  std::string path_;
};

}  // namespace tabrow::cli

#endif  // TABROW_TOOLS_TABROW_FILES_H_
