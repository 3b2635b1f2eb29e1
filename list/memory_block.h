// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <new>

// Memory for the few large blocks of a list (its texts, its cells). Blocks from 1 MB on
// come straight from the kernel, on huge pages where it offers them, and go back to it
// when freed: opening a list of 100,000 lines touches some 15 MB of new memory, and
// faulting that in a small page at a time is the largest single cost of opening it on a
// virtual machine. Smaller blocks come from malloc. Every call is told the block's size.
void* AllocateBlock(size_t bytes);
// Keeps the first min(oldBytes, newBytes) bytes; null (the old block untouched) when memory
// ran out.
void* ReallocateBlock(void* block, size_t oldBytes, size_t newBytes);
void FreeBlock(void* block, size_t bytes);
// How many bytes a block asked for with that size can really hold.
size_t BlockCapacity(size_t bytes);
// Blocks larger than limit bytes fail as if memory ran out (0: no limit), so that what a
// failed allocation leaves behind can be tried without exhausting the machine.
void SetBlockLimit(size_t limit);

// For vectors of cells.
template <typename T>
struct BlockAllocator {
  using value_type = T;
  BlockAllocator() = default;
  template <typename U>
  BlockAllocator(const BlockAllocator<U>&) {}  // NOLINT: converting, as allocators must be

  T* allocate(size_t n) {
    void* block = AllocateBlock(n * sizeof(T));
    if (block == nullptr) throw std::bad_alloc();
    return static_cast<T*>(block);
  }
  void deallocate(T* block, size_t n) { FreeBlock(block, n * sizeof(T)); }

  template <typename U>
  bool operator==(const BlockAllocator<U>&) const {
    return true;
  }
};
