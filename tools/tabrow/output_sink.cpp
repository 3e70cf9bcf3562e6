#include "output_sink.h"

#include <cerrno>
#include <cstring>

namespace tabrow::cli {

bool WriteBytes(const void* data, size_t size, std::FILE* out, std::string* error) {
  if (size == 0 || std::fwrite(data, 1, size, out) == size) return true;
  *error = std::string("cannot write the output: ") + std::strerror(errno);
  return false;
}

}  // namespace tabrow::cli
