// SPDX-License-Identifier: GPL-3.0-or-later
#include "list/memory_block.h"

#include <sys/mman.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

constexpr size_t kLarge = size_t(1) << 20;
constexpr size_t kHugePage = size_t(2) << 20;

std::atomic<size_t> blockLimit{0};

bool Large(size_t bytes) { return bytes >= kLarge; }
bool OverLimit(size_t bytes) {
  const size_t limit = blockLimit.load(std::memory_order_relaxed);
  return limit != 0 && bytes > limit;
}

// Whole huge pages, so a block never shares one with anything else.
size_t Mapped(size_t bytes) { return (bytes + kHugePage - 1) & ~(kHugePage - 1); }

void* MapLarge(size_t bytes) {
  const size_t length = Mapped(bytes);
  // One huge page more than needed, so an aligned stretch can be cut out of it.
  void* raw = ::mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  const auto start = reinterpret_cast<uintptr_t>(raw);
  const uintptr_t aligned = (start + kHugePage - 1) & ~uintptr_t(kHugePage - 1);
  if (aligned > start) ::munmap(raw, aligned - start);
  const uintptr_t end = start + length + kHugePage;
  if (end > aligned + length)
    ::munmap(reinterpret_cast<void*>(aligned + length), end - aligned - length);
  void* block = reinterpret_cast<void*>(aligned);
  // Only advice: without huge pages the block works all the same.
  (void)::madvise(block, length, MADV_HUGEPAGE);
  return block;
}

}  // namespace

void SetBlockLimit(size_t limit) { blockLimit.store(limit, std::memory_order_relaxed); }

void* AllocateBlock(size_t bytes) {
  if (OverLimit(bytes)) return nullptr;
  if (!Large(bytes)) return std::malloc(std::max<size_t>(bytes, 1));
  return MapLarge(bytes);
}

void* ReallocateBlock(void* block, size_t oldBytes, size_t newBytes) {
  if (block == nullptr) return AllocateBlock(newBytes);
  if (OverLimit(newBytes)) return nullptr;
  if (!Large(oldBytes) && !Large(newBytes))
    return std::realloc(block, std::max<size_t>(newBytes, 1));
  if (Large(oldBytes) && Large(newBytes)) {
    if (Mapped(newBytes) == Mapped(oldBytes)) return block;
    // Moving the pages is cheaper than copying their bytes.
    void* moved = ::mremap(block, Mapped(oldBytes), Mapped(newBytes), MREMAP_MAYMOVE);
    if (moved == MAP_FAILED) return nullptr;
    (void)::madvise(moved, Mapped(newBytes), MADV_HUGEPAGE);
    return moved;
  }
  void* grown = AllocateBlock(newBytes);
  if (grown == nullptr) return nullptr;
  std::memcpy(grown, block, std::min(oldBytes, newBytes));
  FreeBlock(block, oldBytes);
  return grown;
}

size_t BlockCapacity(size_t bytes) { return Large(bytes) ? Mapped(bytes) : bytes; }

void FreeBlock(void* block, size_t bytes) {
  if (block == nullptr) return;
  if (Large(bytes)) {
    ::munmap(block, Mapped(bytes));
  } else {
    std::free(block);
  }
}
