// The block allocator behind gtGlobalAllocPtr and friends.
//
// Small blocks live in size-classed slabs carved from 64 KiB-aligned arenas;
// large ones get their own reservation.  A region table indexed by the
// address's upper 16 bits tells, for any pointer, whether it is a live block
// of ours, so releasing a foreign or stale pointer fails without touching it.
#pragma once
#include <cstddef>
#include <cstdint>

namespace gt::heap {

// Zero-filled block of at least size bytes; nullptr for 0 or no memory.
void* allocate(size_t size);
// True when p was a live block and has been released.
bool release(void* p);
// Usable size of a live block, 0 for anything else.
size_t capacity(const void* p);
// Resize keeping the first min(old, new) bytes; growth reads as zero.
// nullptr (old block untouched) on failure.
void* reallocate(void* p, size_t size);
// True when p is the start of a live block.
bool isLive(const void* p);
// Bytes from p (any address inside a live block) to that block's end; 0 when
// p lies in no live block.
size_t roomFrom(const void* p);

// Test hook: when non-zero, allocations larger than this fail (simulates
// exhaustion without having to exhaust a real address space).
void setFailAbove(size_t limit);
// Test hook: the next n allocations succeed, then all fail (until reset with -1).
void setFailAfter(long n);

}  // namespace gt::heap
