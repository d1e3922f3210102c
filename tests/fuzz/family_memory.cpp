// Memory blocks: allocations of every size class, resizes, and releases of
// foreign, interior and stale pointers.  Every live block must keep its
// bytes; every release of something that is not a live block must fail.
#include <cstring>
#include <vector>

#include "fuzz.h"
#include "gtapi32.h"

namespace {

struct Live {
    unsigned char* p;
    DWORD size;
    unsigned char fill;
};

bool holds(const Live& b) {
    for (DWORD i = 0; i < b.size; ++i)
        if (b.p[i] != b.fill) return false;
    return true;
}

DWORD anySize(fuzz::Case& c) {
    switch (c.below(4)) {
        case 0: return 1 + c.below(128);
        case 1: return 1 + c.below(16384);
        case 2: return 16000 + c.below(70000);
        default: return c.chance(5) ? 1 + c.below(4 * 1024 * 1024) : 1 + c.below(300000);
    }
}

}  // namespace

GT_FUZZ_FAMILY(memory) {
    std::vector<Live> live;
    std::vector<void*> stale;
    const int ops = 20 + static_cast<int>(c.below(120));
    for (int op = 0; op < ops && !c.failed(); ++op) {
        const uint32_t kind = c.below(6);
        if (kind <= 1 || live.empty()) {
            const DWORD size = anySize(c);
            auto* p = static_cast<unsigned char*>(gtGlobalAllocPtr(c.pick({0u, 0x42u, 0x2042u}), size));
            if (!c.check(p != nullptr, "an allocation of " + std::to_string(size) + " bytes")) break;
            bool zero = true;
            for (DWORD i = 0; i < size; ++i) zero = zero && p[i] == 0;
            c.check(zero, "a new block of " + std::to_string(size) + " bytes reads as zero");
            const unsigned char fill = static_cast<unsigned char>(1 + c.below(255));
            std::memset(p, fill, size);
            live.push_back(Live{p, size, fill});
            for (size_t i = 0; i < stale.size(); ++i)
                if (stale[i] == p) stale.erase(stale.begin() + static_cast<long>(i--));
        } else if (kind == 2) {
            const size_t i = c.below(static_cast<uint32_t>(live.size()));
            c.check(holds(live[i]), "a block kept its bytes until its release");
            c.check(gtGlobalFreePtr(live[i].p) != FALSE, "release of a live block");
            stale.push_back(live[i].p);
            live.erase(live.begin() + static_cast<long>(i));
        } else if (kind == 3) {
            Live& b = live[c.below(static_cast<uint32_t>(live.size()))];
            const DWORD size = anySize(c);
            auto* q = static_cast<unsigned char*>(gtGlobalReAllocPtr(b.p, size, 0x42));
            if (!c.check(q != nullptr, "a resize to " + std::to_string(size) + " bytes")) break;
            const DWORD kept = size < b.size ? size : b.size;
            bool same = true, zero = true;
            for (DWORD i = 0; i < kept; ++i) same = same && q[i] == b.fill;
            for (DWORD i = kept; i < size; ++i) zero = zero && q[i] == 0;
            c.check(same, "a resize keeps the first bytes");
            c.check(zero, "growth reads as zero");
            if (q != b.p) stale.push_back(b.p);
            for (size_t i = 0; i < stale.size(); ++i)
                if (stale[i] == q) stale.erase(stale.begin() + static_cast<long>(i--));
            std::memset(q, b.fill, size);
            b = Live{q, size, b.fill};
        } else {
            // Something that is not a live block's start.
            const Live& b = live[c.below(static_cast<uint32_t>(live.size()))];
            int local = 0;
            void* foreign[] = {b.p + 1 + c.below(b.size), b.p - 1 - c.below(64), &local,
                               stale.empty() ? nullptr : stale[c.below(static_cast<uint32_t>(stale.size()))],
                               reinterpret_cast<void*>(static_cast<ULONG_PTR>(c.word())), nullptr};
            void* p = foreign[c.below(6)];
            bool isLive = false;
            for (const Live& l : live) isLive = isLive || l.p == p;
            if (!isLive) c.check(gtGlobalFreePtr(p) == FALSE, "release of something that is no live block fails");
            if (!isLive) c.check(gtGlobalReAllocPtr(p, 16, 0x42) == nullptr, "resize of something that is no live block fails");
        }
    }
    for (const Live& b : live) {
        c.check(holds(b), "a block kept its bytes to the end");
        c.check(gtGlobalFreePtr(b.p) != FALSE, "release at the end");
    }
    DWORD got = c.below(200000);
    void* p = gtGlobalAllocPtrEx(0x42, c.below(4096), &got);
    c.check(p != nullptr, "gtGlobalAllocPtrEx gives a block");
    c.check(gtGlobalFreePtr(p) != FALSE, "the block of gtGlobalAllocPtrEx is released");
}
