#include "grid/line_memory.h"

#include <cstdlib>
#include <mutex>
#include <new>

namespace tabrow {

namespace slab {

[[gnu::tls_model("initial-exec")]] __thread ThreadCache* t_cache = nullptr;

// Line records and line data come from slabs: each slab serves one block size, and blocks freed
// on a thread wait in that thread's cache until a batch of them goes back to their slabs. A slab
// is given back to the heap as soon as none of its blocks is out.

namespace {

// Slabs start at a multiple of their size, so a block's slab is its address rounded down.
constexpr size_t kSlabBytes = 64 * 1024;
// Blocks a thread's cache takes from the slabs or gives back to them at once.
constexpr uint32_t kBatch = 64;

void Poison(const void* address, size_t size) {
  ASAN_POISON_MEMORY_REGION(address, size);
}

void Unpoison(const void* address, size_t size) {
  ASAN_UNPOISON_MEMORY_REGION(address, size);
}

// Set once the thread's exit has given its cache back, so that blocks freed later (by static
// objects) go straight to the pool.
thread_local bool t_closed = false;

struct Slab {
  Slab* prev;  // list of this size's slabs that have blocks to give
  Slab* next;
  uint8_t* free;   // payloads given back
  uint8_t* fresh;  // start of the blocks never handed out
  uint8_t* end;
  uint32_t out;  // blocks held by callers or thread caches
  uint32_t size_class;
  bool listed;
};

void SetNextFree(uint8_t* payload, uint8_t* next) {
  Unpoison(payload, sizeof next);
  std::memcpy(payload, &next, sizeof next);
  Poison(payload, sizeof next);
}

inline Slab* SlabOf(const uint8_t* payload) {
  return reinterpret_cast<Slab*>(reinterpret_cast<uintptr_t>(payload) & ~(kSlabBytes - 1));
}

// The slabs of every size, shared by all threads under one lock.
class SlabPool {
 public:
  // Moves up to `limit` free blocks of a size to *free (linked), or, when no slab has any, hands
  // out a run of never-used blocks as [*fresh, *end). False when memory runs out.
  bool Take(uint32_t size_class, uint32_t limit, uint8_t** free, uint32_t* count, uint8_t** fresh,
            uint8_t** end) {
    std::lock_guard<std::mutex> hold(mutex_);
    Slab* from = open_[size_class];
    if (from == nullptr) from = NewSlab(size_class);
    if (from == nullptr) return false;
    if (from->free != nullptr) {
      uint32_t taken = 0;
      uint8_t* last = from->free;
      while (taken + 1 < limit && NextFree(last) != nullptr) {
        last = NextFree(last);
        ++taken;
      }
      *free = from->free;
      from->free = NextFree(last);
      SetNextFree(last, nullptr);
      *count = taken + 1;
      from->out += taken + 1;
    } else {
      uint32_t stride = PayloadBytes(size_class);
      uint32_t blocks = static_cast<uint32_t>((from->end - from->fresh) / stride);
      if (blocks > limit) blocks = limit;
      *fresh = from->fresh;
      *end = from->fresh + blocks * stride;
      from->fresh = *end;
      from->out += blocks;
    }
    if (from->free == nullptr && from->fresh == from->end) Unlist(from);
    return true;
  }

  // Gives back a free payload to its slab, and the slab to the heap when nothing of it is out.
  void Give(uint8_t* payload) {
    std::lock_guard<std::mutex> hold(mutex_);
    GiveLocked(payload);
  }

  // Gives back a list of free payloads.
  void GiveList(uint8_t* payload) {
    std::lock_guard<std::mutex> hold(mutex_);
    while (payload != nullptr) {
      uint8_t* next = NextFree(payload);
      GiveLocked(payload);
      payload = next;
    }
  }

  // Frees every line of a list along Next, straight to the slabs: each block is written once, and
  // the lock is taken once for a batch of lines.
  void GiveLines(RowLine* head) {
    while (head != nullptr) {
      std::lock_guard<std::mutex> hold(mutex_);
      for (uint32_t i = 0; i < kBatch && head != nullptr; ++i) {
        RowLine* next = head->Next;
        GiveBlockLocked(head->Data, head->DataSize);
        GiveBlockLocked(reinterpret_cast<uint8_t*>(head), sizeof(RowLine));
        head = next;
      }
    }
  }

 private:
  void GiveBlockLocked(uint8_t* payload, uint32_t size) {
    if (payload == nullptr) return;
    if (LargeBlock(size)) {
      std::free(payload);
      return;
    }
    Poison(payload, PayloadBytes(SlabOf(payload)->size_class));
    GiveLocked(payload);
  }

  void GiveLocked(uint8_t* payload) {
    Slab* slab = SlabOf(payload);
    SetNextFree(payload, slab->free);
    slab->free = payload;
    if (--slab->out == 0) {
      if (slab->listed) Unlist(slab);
      Unpoison(slab, kSlabBytes);
      std::free(slab);
      return;
    }
    if (!slab->listed) List(slab);
  }

  Slab* NewSlab(uint32_t size_class) {
    void* memory = std::aligned_alloc(kSlabBytes, kSlabBytes);
    if (memory == nullptr) return nullptr;
    Slab* slab = static_cast<Slab*>(memory);
    *slab = Slab{};
    uint8_t* first = static_cast<uint8_t*>(memory) + (sizeof(Slab) + kGrain - 1) / kGrain * kGrain;
    uint32_t stride = PayloadBytes(size_class);
    slab->fresh = first;
    slab->end = first + (kSlabBytes - (first - static_cast<uint8_t*>(memory))) / stride * stride;
    slab->size_class = size_class;
    Poison(first, kSlabBytes - (first - static_cast<uint8_t*>(memory)));
    List(slab);
    return slab;
  }

  void List(Slab* slab) {
    slab->prev = nullptr;
    slab->next = open_[slab->size_class];
    if (slab->next != nullptr) slab->next->prev = slab;
    open_[slab->size_class] = slab;
    slab->listed = true;
  }

  void Unlist(Slab* slab) {
    if (slab->prev != nullptr) {
      slab->prev->next = slab->next;
    } else {
      open_[slab->size_class] = slab->next;
    }
    if (slab->next != nullptr) slab->next->prev = slab->prev;
    slab->listed = false;
  }

  std::mutex mutex_;
  Slab* open_[kClasses] = {};
};

// Never destroyed: grids that are static objects free their lines after every destructor ran.
SlabPool& Pool() {
  static SlabPool& pool = *new SlabPool;
  return pool;
}

// Gives back a size's cached blocks.
void EmptyClass(ClassCache* cache, uint32_t size_class) {
  uint32_t stride = PayloadBytes(size_class);
  for (uint8_t* payload = cache->fresh; payload != cache->end; payload += stride) {
    SetNextFree(payload, cache->free);
    cache->free = payload;
  }
  Pool().GiveList(cache->free);
  *cache = ClassCache{};
}

void EmptyCache(ThreadCache* thread) {
  for (uint32_t size_class = 0; size_class < kClasses; ++size_class) {
    ClassCache* cache = &thread->classes[size_class];
    if (cache->free != nullptr || cache->fresh != cache->end) EmptyClass(cache, size_class);
  }
}

// Gives the thread's cache back when the thread ends.
struct CacheCloser {
  ~CacheCloser() {
    ThreadCache* thread = t_cache;
    t_cache = nullptr;
    t_closed = true;
    if (thread == nullptr) return;
    EmptyCache(thread);
    delete thread;
  }
};

// The calling thread's cache, made now if needed; null when the thread is ending or memory
// runs out (blocks then go to and from the pool one at a time).
ThreadCache* OpenCache() {
  if (t_cache != nullptr || t_closed) return t_cache;
  static thread_local CacheCloser closer;
  t_cache = new (std::nothrow) ThreadCache{};
  return t_cache;
}

// Gives half the cached free payloads of a size back to their slabs.
void Trim(ClassCache* cache) {
  uint8_t* kept = cache->free;
  for (uint32_t i = 1; i < kBatch; ++i) kept = NextFree(kept);
  uint8_t* rest = NextFree(kept);
  SetNextFree(kept, nullptr);
  cache->count = kBatch;
  Pool().GiveList(rest);
}

// Takes a block from the pool for a thread without a cache.
uint8_t* AllocUncached(uint32_t size_class) {
  ClassCache single{};
  if (!Pool().Take(size_class, 1, &single.free, &single.count, &single.fresh, &single.end)) {
    return nullptr;
  }
  return FromCache(&single, size_class);
}

// Blocks of more than the largest class come from malloc; the others from the pool, through
// the thread's cache when it has one.
uint8_t* AllocFromPool(ThreadCache* thread, uint32_t size) {
  if (LargeBlock(size)) return static_cast<uint8_t*>(std::malloc(size));
  uint32_t size_class = SizeClass(size);
  uint8_t* payload = nullptr;
  if (thread == nullptr) {
    payload = AllocUncached(size_class);
  } else {
    ClassCache* cache = &thread->classes[size_class];
    if (Pool().Take(size_class, kBatch, &cache->free, &cache->count, &cache->fresh, &cache->end)) {
      payload = FromCache(cache, size_class);
    }
  }
  if (payload != nullptr) Unpoison(payload, size);
  return payload;
}

// Frees a block that was allocated for `size` bytes.
inline void FreeBlock(ThreadCache* thread, uint8_t* payload, uint32_t size) {
  if (payload == nullptr) return;
  if (LargeBlock(size)) {
    std::free(payload);
    return;
  }
  Slab* slab = SlabOf(payload);
  Poison(payload, PayloadBytes(slab->size_class));
  if (thread == nullptr) {
    Pool().Give(payload);
    return;
  }
  ClassCache* cache = &thread->classes[slab->size_class];
  SetNextFree(payload, cache->free);
  cache->free = payload;
  if (++cache->count >= 2 * kBatch) Trim(cache);
}

void FreeLineIn(ThreadCache* thread, RowLine* line) {
  FreeBlock(thread, line->Data, line->DataSize);
  FreeBlock(thread, reinterpret_cast<uint8_t*>(line), sizeof(RowLine));
}

}  // namespace

uint8_t* AllocBlockSlow(uint32_t size) {
  ThreadCache* thread = OpenCache();
  uint8_t* payload = FromThreadCache(thread, size);
  return payload != nullptr ? payload : AllocFromPool(thread, size);
}

}  // namespace slab

void FreeLine(RowLine* line) {
  if (line != nullptr) slab::FreeLineIn(slab::OpenCache(), line);
}

void FreeLineData(uint8_t* data, uint32_t size) {
  slab::FreeBlock(slab::OpenCache(), data, size);
}

void FreeLines(RowLine* head) {
  slab::Pool().GiveLines(head);
  slab::ThreadCache* thread = slab::OpenCache();
  if (thread != nullptr) slab::EmptyCache(thread);
}

}  // namespace tabrow
