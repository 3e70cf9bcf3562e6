// The main of the benchmarks that build and free large grids and documents. glibc's heap is held
// still: freed memory stays mapped and the mmap threshold stays fixed, so every round writes into
// warm memory as memcpy writes into a ready buffer, and no round pays for the kernel mapping
// fresh pages because of what an earlier round freed.
#include <benchmark/benchmark.h>
#include <malloc.h>

int main(int argc, char** argv) {
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  mallopt(M_MMAP_THRESHOLD, 32 << 20);  // the largest value glibc takes on 64-bit
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
