#include "text/blockheap.h"

#include <windows.h>

#include <atomic>
#include <cstring>
#include <new>

namespace gt::heap {
namespace {

constexpr uintptr_t kRegionShift = 16;                 // 64 KiB: reservation granularity
constexpr size_t kRegions = size_t(1) << (32 - kRegionShift);
constexpr size_t kArenaSize = 256 * 1024;              // four regions per slab arena
constexpr size_t kMaxSmall = 16 * 1024;

// Size classes: 16-byte steps to 128, then four steps per doubling.
constexpr size_t kClasses[] = {16,   32,   48,   64,   80,   96,   112,  128,  160,  192,  224,
                               256,  320,  384,  448,  512,  640,  768,  896,  1024, 1280, 1536,
                               1792, 2048, 2560, 3072, 3584, 4096, 5120, 6144, 7168, 8192, 10240,
                               12288, 14336, 16384};
constexpr int kClassCount = sizeof(kClasses) / sizeof(kClasses[0]);

// Class of every size up to 1 KiB in 16-byte steps, by table (the common
// case); larger sizes are searched.
constexpr size_t kTableStep = 16, kTableMax = 1024;
struct ClassTable {
    uint8_t cls[kTableMax / kTableStep];
    constexpr ClassTable() : cls() {
        int c = 0;
        for (size_t i = 0; i < kTableMax / kTableStep; ++i) {
            while (kClasses[c] < (i + 1) * kTableStep) ++c;
            cls[i] = static_cast<uint8_t>(c);
        }
    }
};
constexpr ClassTable kClassTable;

struct Slab;
struct Region {
    // Exactly one of the two is set for a region in use.
    Slab* slab;
    uintptr_t largeBase;  // start of a large block covering this region
    size_t largeSize;     // its usable size (only on the block's first region)
};

struct Slab {
    uintptr_t base;       // first slot
    size_t slotSize;
    uint32_t reciprocal;  // 2^32 / slotSize, rounded up: slot index by multiplication
    uint32_t slots;
    uint32_t used;
    uint8_t* live;        // one byte per slot: 1 = handed out
    void* freeList;       // singly linked through the first word of free slots
    uint32_t bump;        // slots never handed out start here
    Slab* nextPartial;
    int cls;
};

Region* g_regions = nullptr;          // kRegions entries, made on first use
Slab* g_partial[kClassCount] = {};    // slabs with free slots, per class
std::atomic<bool> g_locked{false};
std::atomic<size_t> g_failAbove{0};
std::atomic<long> g_failAfter{-1};

// A spin lock: the allocator holds it for a few dozen instructions, far less
// than a trip into the system's locks costs; a waiter that keeps finding it
// taken gives its time slice away (the holder may have been preempted).
struct Guard {
    Guard() {
        for (int spins = 0; g_locked.exchange(true, std::memory_order_acquire);) {
            while (g_locked.load(std::memory_order_relaxed)) {
                if (++spins < 64) YieldProcessor();
                else SwitchToThread();
            }
        }
    }
    ~Guard() { g_locked.store(false, std::memory_order_release); }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;
};

bool regionsReady() {
    if (g_regions) return true;
    void* p = VirtualAlloc(nullptr, kRegions * sizeof(Region), MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (!p) return false;
    g_regions = static_cast<Region*>(p);
    return true;
}

int classOf(size_t size) {
    if (size <= kTableMax) return kClassTable.cls[(size - 1) / kTableStep];
    int lo = 0, hi = kClassCount - 1;
    while (lo < hi) {
        int mid = (lo + hi) / 2;
        if (kClasses[mid] >= size) hi = mid; else lo = mid + 1;
    }
    return lo;
}

bool injectedFailure(size_t size) {
    size_t above = g_failAbove.load(std::memory_order_relaxed);
    if (above && size > above) return true;
    long after = g_failAfter.load(std::memory_order_relaxed);
    if (after >= 0) {
        if (after == 0) return true;
        g_failAfter.store(after - 1, std::memory_order_relaxed);
    }
    return false;
}

// off / slotSize for offsets inside a slab arena: exact, since offsets stay
// below 2^18 and slot sizes below 2^14 + 1.
inline uint32_t slotIndex(const Slab* s, uintptr_t off) {
    return static_cast<uint32_t>((uint64_t(off) * s->reciprocal) >> 32);
}

// Slots are whole multiples of 16 bytes; clearing them in place is cheaper
// than a call for the small sizes that dominate.
inline void clearSlot(void* p, size_t n) {
    auto* w = static_cast<uint32_t*>(p);
    for (size_t i = 0; i < n / 4; i += 4) {
        w[i] = 0;
        w[i + 1] = 0;
        w[i + 2] = 0;
        w[i + 3] = 0;
    }
}

Slab* newSlab(int cls) {
    size_t slotSize = kClasses[cls];
    void* mem = VirtualAlloc(nullptr, kArenaSize, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (!mem) return nullptr;
    // The slab's bookkeeping sits at the arena's start, the slots after it.
    auto base = reinterpret_cast<uintptr_t>(mem);
    uint32_t slots = static_cast<uint32_t>((kArenaSize - sizeof(Slab)) / (slotSize + 1));
    auto* s = new (mem) Slab{};
    s->live = reinterpret_cast<uint8_t*>(base + sizeof(Slab));
    uintptr_t first = base + sizeof(Slab) + slots;
    first = (first + 15) & ~uintptr_t(15);
    while (first + size_t(slots) * slotSize > base + kArenaSize) {
        --slots;
    }
    s->base = first;
    s->slotSize = slotSize;
    s->reciprocal = static_cast<uint32_t>((uint64_t(1) << 32) / slotSize + 1);
    s->slots = slots;
    s->cls = cls;
    for (size_t r = 0; r < kArenaSize >> kRegionShift; ++r)
        g_regions[(base >> kRegionShift) + r] = Region{s, 0, 0};
    return s;
}

void* allocSmall(size_t size) {
    int cls = classOf(size);
    Slab* s = g_partial[cls];
    if (!s) {
        s = newSlab(cls);
        if (!s) return nullptr;
        g_partial[cls] = s;
    }
    void* p;
    if (s->freeList) {
        p = s->freeList;
        s->freeList = *static_cast<void**>(p);
    } else {
        p = reinterpret_cast<void*>(s->base + size_t(s->bump) * s->slotSize);
        ++s->bump;
    }
    s->live[slotIndex(s, reinterpret_cast<uintptr_t>(p) - s->base)] = 1;
    if (++s->used == s->slots) g_partial[cls] = s->nextPartial;  // full: off the list
    // The whole slot is cleared, so bytes past the requested size read as
    // zero when the block later grows in place.
    clearSlot(p, s->slotSize);
    return p;
}

void* allocLarge(size_t size) {
    size_t rounded = (size + 0xFFFF) & ~size_t(0xFFFF);
    if (rounded < size) return nullptr;
    void* mem = VirtualAlloc(nullptr, rounded, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (!mem) return nullptr;  // fresh pages are zero
    auto base = reinterpret_cast<uintptr_t>(mem);
    for (size_t r = 0; r < rounded >> kRegionShift; ++r)
        g_regions[(base >> kRegionShift) + r] = Region{nullptr, base, r == 0 ? rounded : 0};
    return mem;
}

// Locates a live block; returns its region (and slab slot index) or nullptr.
Region* lookup(const void* p, uint32_t* slot) {
    if (!p || !g_regions) return nullptr;
    auto a = reinterpret_cast<uintptr_t>(p);
    Region* r = &g_regions[a >> kRegionShift];
    if (r->slab) {
        Slab* s = r->slab;
        if (a < s->base) return nullptr;
        uintptr_t off = a - s->base;
        uintptr_t idx = slotIndex(s, off);
        if (idx * s->slotSize != off) return nullptr;  // inside a slot, not at its start
        if (idx >= s->slots || !s->live[idx]) return nullptr;
        *slot = static_cast<uint32_t>(idx);
        return r;
    }
    if (r->largeBase && r->largeBase == a) return r;
    return nullptr;
}

size_t capacityLocked(const void* p) {
    uint32_t slot = 0;
    Region* r = lookup(p, &slot);
    if (!r) return 0;
    return r->slab ? r->slab->slotSize : r->largeSize;
}

void* allocLocked(size_t size) {
    if (size == 0 || injectedFailure(size) || !regionsReady()) return nullptr;
    return size <= kMaxSmall ? allocSmall(size) : allocLarge(size);
}

bool releaseLocked(void* p) {
    uint32_t slot = 0;
    Region* r = lookup(p, &slot);
    if (!r) return false;
    if (Slab* s = r->slab) {
        s->live[slot] = 0;
        *static_cast<void**>(p) = s->freeList;
        s->freeList = p;
        if (s->used-- == s->slots) {  // was full: back on the partial list
            s->nextPartial = g_partial[s->cls];
            g_partial[s->cls] = s;
        }
        return true;
    }
    uintptr_t base = r->largeBase;
    size_t size = r->largeSize;
    for (size_t i = 0; i < size >> kRegionShift; ++i) g_regions[(base >> kRegionShift) + i] = Region{};
    VirtualFree(p, 0, MEM_RELEASE);
    return true;
}

}  // namespace

void* allocate(size_t size) {
    Guard g;
    return allocLocked(size);
}

bool release(void* p) {
    Guard g;
    return releaseLocked(p);
}

size_t capacity(const void* p) {
    Guard g;
    return capacityLocked(p);
}

bool isLive(const void* p) { return capacity(p) != 0; }

void* reallocate(void* p, size_t size) {
    Guard g;
    size_t cap = capacityLocked(p);
    if (!cap || size == 0) return nullptr;
    if (size <= cap && (cap <= kMaxSmall ? classOf(size) == classOf(cap) : size > kMaxSmall &&
                                                                             ((size + 0xFFFF) & ~size_t(0xFFFF)) == cap)) {
        // Stays in place: clear what the shrink cut off so later growth is zero.
        std::memset(static_cast<char*>(p) + size, 0, cap - size);
        return p;
    }
    void* q = allocLocked(size);
    if (!q) return nullptr;
    std::memcpy(q, p, size < cap ? size : cap);
    releaseLocked(p);
    return q;
}

void setFailAbove(size_t limit) { g_failAbove.store(limit); }
void setFailAfter(long n) { g_failAfter.store(n); }

}  // namespace gt::heap
