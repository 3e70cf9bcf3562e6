// Writing whole texts to an output stream, reporting a refused write once.
#ifndef TABROW_TOOLS_TABROW_OUTPUT_SINK_H_
#define TABROW_TOOLS_TABROW_OUTPUT_SINK_H_

#include <cstdio>
#include <string>

namespace tabrow::cli {

// Writes `size` bytes to `out`; false with `error` when the stream takes fewer.
bool WriteBytes(const void* data, size_t size, std::FILE* out, std::string* error);
inline bool WriteText(const std::string& text, std::FILE* out, std::string* error) {
  return WriteBytes(text.data(), text.size(), out, error);
}

}  // namespace tabrow::cli

#endif  // TABROW_TOOLS_TABROW_OUTPUT_SINK_H_
