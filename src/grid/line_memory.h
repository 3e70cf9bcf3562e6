// Line memory: the records and data blocks of grid lines.
//
// Every line record and every line data block is one allocation of its own, as a caller sees it,
// but both are served from 64 KiB slabs of one block size each (blocks of up to 512 bytes;
// larger data comes from malloc). Loading or building a grid allocates two blocks a
// line: with malloc, those two calls and the copy of the line alone ran at a third of memcpy's
// speed, below the half that loading a grid must reach, so no simpler change could get there.
// Slabs start at a multiple of 64 KiB, so a block finds its slab from its own address and carries
// no header; whether a block came from a slab or from malloc follows from its size, so a line's
// Data is always a block of exactly DataSize bytes, and whoever frees data passes that size.
// Each thread keeps a small cache of free blocks per size, so allocating and freeing take no
// lock; the cache trades batches of 64 blocks with the slabs under one lock. Any thread may free a
// block any thread allocated, so lines can move between grids (attach, take-over, same-layout
// merge) and grids can move between threads. A slab goes back to the heap as soon as none of its
// blocks is out. Freeing a list of lines (ClearBuffer, the destructor) gives its blocks straight to
// the slabs, 64 lines to a lock, and also empties the calling thread's cache, so clearing a grid
// gives its memory back. A thread's cache is emptied when the thread ends. Under AddressSanitizer
// free blocks are poisoned and every block has a poisoned tail, so use after free and overruns of
// line data are still reported.
// Allocating from the thread's cache is inline: as a call, it took a third of the instructions
// of loading a grid.
#ifndef TABROW_GRID_LINE_MEMORY_H_
#define TABROW_GRID_LINE_MEMORY_H_

#include <sanitizer/asan_interface.h>

#include <cstring>

#include "tabrow/grider.h"

namespace tabrow {

// A zero-filled line record whose Data is an uninitialised block of `data_size` bytes (none
// when 0) and whose DataSize is set; null when memory runs out. Free it with FreeLine.
inline RowLine* AllocLine(uint32_t data_size);
// Frees a line's data (made by AllocLineData for DataSize bytes) and record; ignores null.
void FreeLine(RowLine* line);
// Frees every line of a list from `head` along Next, then gives this thread's cached blocks back.
void FreeLines(RowLine* head);
// An uninitialised block of `size` bytes (size > 0) for a line's Data, or null when memory runs
// out. Only this pair allocates and frees line data.
inline uint8_t* AllocLineData(uint32_t size);
// Frees a block made by AllocLineData(size); ignores null.
void FreeLineData(uint8_t* data, uint32_t size);

// The blocks behind the inline allocation below; only line_memory.cpp uses them otherwise.
namespace slab {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

// Block payloads are multiples of 8 bytes up to 512; larger blocks come from malloc, so the size
// a block was asked for tells which of the two it is. Under AddressSanitizer every block gets 16
// poisoned bytes past what was asked for, so that reading or writing past a line's data is still
// reported.
constexpr uint32_t kGrain = 8;
constexpr uint32_t kClasses = 64;
constexpr uint32_t kRedzone = kAddressSanitizer ? 16 : 0;

inline uint32_t PayloadBytes(uint32_t size_class) {
  return kGrain * (size_class + 1);
}

// True for a block of `size` bytes that comes from malloc rather than a slab.
inline bool LargeBlock(uint32_t size) {
  return size + kRedzone > kGrain * kClasses;
}

inline uint32_t SizeClass(uint32_t size) {
  return (size + kRedzone + kGrain - 1) / kGrain - 1;
}

// While a block is free its first 8 bytes link it to the next free block.
inline uint8_t* NextFree(uint8_t* payload) {
  uint8_t* next;
  ASAN_UNPOISON_MEMORY_REGION(payload, sizeof next);
  std::memcpy(&next, payload, sizeof next);
  ASAN_POISON_MEMORY_REGION(payload, sizeof next);
  return next;
}

// One thread's blocks of one size: freed payloads, and a run of never-used blocks of one slab.
struct ClassCache {
  uint8_t* free;
  uint32_t count;
  uint8_t* fresh;
  uint8_t* end;
};

struct ThreadCache {
  ClassCache classes[kClasses];
};

// The calling thread's cache, made on its first allocation; null before that, and once the
// thread's exit has given the cache back. One pointer-sized word with the initial-exec model:
// reaching it costs no call, and it is small enough for the static TLS room a library loaded at
// run time may use. `__thread` rather than `thread_local`: its initialisation is constant, so
// code in other files reaches it without a call to an initialisation wrapper.
[[gnu::tls_model("initial-exec")]] extern __thread ThreadCache* t_cache;

// The next block of a thread's cache, or null when it has none.
inline uint8_t* FromCache(ClassCache* cache, uint32_t size_class) {
  uint8_t* payload = cache->free;
  if (payload != nullptr) {
    cache->free = NextFree(payload);
    --cache->count;
    return payload;
  }
  if (cache->fresh == cache->end) return nullptr;
  payload = cache->fresh;
  cache->fresh += PayloadBytes(size_class);
  return payload;
}

// A block of `size` bytes from a thread's cache (which may be null); null when the cache has
// none of that size or the block is too large for a slab.
inline uint8_t* FromThreadCache(ThreadCache* thread, uint32_t size) {
  if (thread == nullptr || LargeBlock(size)) return nullptr;
  const uint32_t size_class = SizeClass(size);
  uint8_t* payload = FromCache(&thread->classes[size_class], size_class);
  if (payload != nullptr) ASAN_UNPOISON_MEMORY_REGION(payload, size);
  return payload;
}

// A block of `size` bytes when the thread's cache has none of that size, has no cache yet, or
// the block is large; null when memory runs out.
uint8_t* AllocBlockSlow(uint32_t size);

// A block of `size` bytes (size > 0); null when memory runs out.
inline uint8_t* AllocBlock(uint32_t size) {
  uint8_t* payload = FromThreadCache(t_cache, size);
  return payload != nullptr ? payload : AllocBlockSlow(size);
}

}  // namespace slab

inline RowLine* AllocLine(uint32_t data_size) {
  uint8_t* data = nullptr;
  if (data_size > 0) {
    data = slab::AllocBlock(data_size);
    if (data == nullptr) return nullptr;
  }
  void* record = slab::AllocBlock(sizeof(RowLine));
  if (record == nullptr) {
    FreeLineData(data, data_size);
    return nullptr;
  }
  RowLine* line = static_cast<RowLine*>(record);
  *line = RowLine{};
  line->DataSize = data_size;
  line->Data = data;
  return line;
}

inline uint8_t* AllocLineData(uint32_t size) {
  return slab::AllocBlock(size);
}

}  // namespace tabrow

#endif  // TABROW_GRID_LINE_MEMORY_H_
