#include "files.h"

#include <cerrno>
#include <cstring>

namespace tabrow::cli {
namespace {

std::string Reason(const std::string& path) {
  return "cannot read '" + path + "': " + std::strerror(errno);
}

}  // namespace

bool ReadFile(const std::string& path, IArchive* archive, std::string* error) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    *error = Reason(path);
    return false;
  }
  char chunk[65536];
  bool ok = true;
  for (size_t got; (got = std::fread(chunk, 1, sizeof(chunk), file)) > 0;) {
    if (archive->Append(chunk, static_cast<uint32_t>(got)) < 0) {
      *error = "'" + path + "' is too large";
      ok = false;
      break;
    }
  }
  if (ok && std::ferror(file)) {
    *error = Reason(path);
    ok = false;
  }
  std::fclose(file);
  return ok;
}

Output::~Output() {
  if (stream_ != stdout) std::fclose(stream_);
}

bool Output::Open(const std::string& path, std::string* error) {
  if (path.empty() || path == "-") return true;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    *error = "cannot write '" + path + "': " + std::strerror(errno);
    return false;
  }
  stream_ = file;
  path_ = path;
  return true;
}

bool Output::Close(std::string* error) {
  bool ok = std::fflush(stream_) == 0;
  if (stream_ != stdout) ok = std::fclose(stream_) == 0 && ok;
  const std::string where = path_.empty() ? "standard output" : "'" + path_ + "'";
  stream_ = stdout;
  path_.clear();
  if (!ok) *error = "cannot write " + where + ": " + std::strerror(errno);
  return ok;
}

}  // namespace tabrow::cli
