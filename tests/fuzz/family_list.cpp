// List operations against a shadow model: two lists, positions of the own
// list, of the other list, stale ones, copies of records on the stack and
// null, in random order.  After every operation both lists must read
// exactly as their models, forward and backward.
#include <algorithm>
#include <vector>

#include "fuzz.h"
#include "gtapi32.h"

namespace {

struct Elem {
    LPGTPOSITION pos;
    DWORD id;
    bool copied;  // data is a private copy holding id
};

struct Shadow {
    LPGTLIST list;
    std::vector<Elem> elems;
};

DWORD idOf(const Elem& e) { return e.id; }

DWORD readId(LPVOID data, bool copied) {
    return copied ? (data ? *static_cast<DWORD*>(data) : 0xFFFFFFFFu) : static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(data));
}

// Index of pos in the model of s, or -1.
int indexIn(const Shadow& s, LPGTPOSITION pos) {
    for (size_t i = 0; i < s.elems.size(); ++i)
        if (s.elems[i].pos == pos) return static_cast<int>(i);
    return -1;
}

void compare(fuzz::Case& c, const Shadow& s, const char* after) {
    const std::string where = std::string(" after ") + after;
    c.check(gtGetElemCount(s.list) == s.elems.size(), "count" + where);
    c.check(!!gtIsListEmpty(s.list) == s.elems.empty(), "emptiness" + where);
    size_t i = 0;
    bool same = true;
    for (LPGTPOSITION p = gtGetHeadPosition(s.list); p && i <= s.elems.size(); ++i) {
        const bool copied = i < s.elems.size() && s.elems[i].copied;
        same = same && i < s.elems.size() && p == s.elems[i].pos && readId(gtGetNextElem(&p), copied) == idOf(s.elems[i]);
    }
    c.check(same && i == s.elems.size(), "forward walk" + where);
    i = s.elems.size();
    same = true;
    for (LPGTPOSITION p = gtGetTailPosition(s.list); p && i > 0;) {
        --i;
        same = same && p == s.elems[i].pos && readId(gtGetPrevElem(&p), s.elems[i].copied) == idOf(s.elems[i]);
    }
    c.check(same && i == 0, "backward walk" + where);
}

}  // namespace

GT_FUZZ_FAMILY(list) {
    Shadow lists[2] = {{gtCreateList(), {}}, {gtCreateList(), {}}};
    std::vector<LPGTPOSITION> stale;
    DWORD nextId = 1;
    const int ops = 40 + static_cast<int>(c.below(200));
    for (int op = 0; op < ops && !c.failed(); ++op) {
        Shadow& s = lists[c.below(2)];
        Shadow& other = &s == &lists[0] ? lists[1] : lists[0];
        // A position argument: own, other list's, stale, a stack copy, null.
        GTPOSITION stackCopy{};
        auto anyPos = [&]() -> LPGTPOSITION {
            switch (c.below(5)) {
                case 0: return s.elems.empty() ? nullptr : s.elems[c.below(static_cast<uint32_t>(s.elems.size()))].pos;
                case 1: return other.elems.empty() ? nullptr : other.elems[c.below(static_cast<uint32_t>(other.elems.size()))].pos;
                case 2: return stale.empty() ? nullptr : stale[c.below(static_cast<uint32_t>(stale.size()))];
                case 3:
                    if (s.elems.empty()) return nullptr;
                    stackCopy = *s.elems[0].pos;
                    return &stackCopy;
                default: return s.elems.empty() ? nullptr : s.elems[c.below(static_cast<uint32_t>(s.elems.size()))].pos;
            }
        };
        // A stale address may have been handed out again: it is then a live
        // element of whichever list holds it now.
        auto forget = [&](LPGTPOSITION p) { stale.erase(std::remove(stale.begin(), stale.end(), p), stale.end()); };
        const DWORD id = nextId++;
        const bool copy = c.chance(30);
        DWORD payload = id;
        LPVOID data = copy ? static_cast<LPVOID>(&payload) : reinterpret_cast<LPVOID>(static_cast<ULONG_PTR>(id));
        const DWORD size = copy ? sizeof payload : 0;
        const uint32_t kind = c.below(9);
        const char* name = "";
        if (kind == 0) {
            name = "gtAddHeadElem";
            LPGTPOSITION p = gtAddHeadElem(s.list, data, size);
            c.check(p != nullptr, "gtAddHeadElem gave a position");
            forget(p);
            s.elems.insert(s.elems.begin(), Elem{p, id, copy});
        } else if (kind == 1) {
            name = "gtAddTailElem";
            LPGTPOSITION p = gtAddTailElem(s.list, data, size);
            c.check(p != nullptr, "gtAddTailElem gave a position");
            forget(p);
            s.elems.push_back(Elem{p, id, copy});
        } else if (kind == 2 || kind == 3) {
            const bool before = kind == 2;
            name = before ? "gtInsertElemBefore" : "gtInsertElemAfter";
            LPGTPOSITION at = anyPos();
            const int idx = at ? indexIn(s, at) : -1;
            LPGTPOSITION p = before ? gtInsertElemBefore(s.list, at, data, size) : gtInsertElemAfter(s.list, at, data, size);
            if (!at || idx >= 0) {
                c.check(p != nullptr, std::string(name) + " at a position of the list gave a position");
                forget(p);
                const size_t where = !at ? (before ? 0 : s.elems.size()) : static_cast<size_t>(idx) + (before ? 0 : 1);
                s.elems.insert(s.elems.begin() + static_cast<long>(where), Elem{p, id, copy});
            } else {
                c.check(p == nullptr, std::string(name) + " refused a position not of the list");
            }
        } else if (kind == 4) {
            name = "gtRemoveElemAt";
            LPGTPOSITION at = anyPos();
            const int idx = at ? indexIn(s, at) : -1;
            const BOOL freeData = c.pick({TRUE, FALSE, 2});
            LPVOID own = idx >= 0 ? gtGetElemAt(at) : nullptr;
            const BOOL ok = gtRemoveElemAt(s.list, at, freeData);
            c.check(!!ok == (idx >= 0), "gtRemoveElemAt accepts exactly the list's own positions");
            if (idx >= 0) {
                if (s.elems[idx].copied && freeData != TRUE)
                    c.check(gtGlobalFreePtr(own) != FALSE, "a kept private copy is the caller's block");
                stale.push_back(at);
                s.elems.erase(s.elems.begin() + idx);
            }
        } else if (kind == 5) {
            const bool head = c.chance(50);
            name = head ? "gtRemoveHeadElem" : "gtRemoveTailElem";
            const BOOL ok = head ? gtRemoveHeadElem(s.list, TRUE) : gtRemoveTailElem(s.list, TRUE);
            c.check(!!ok == !s.elems.empty(), std::string(name) + " works exactly on a non-empty list");
            if (!s.elems.empty()) {
                stale.push_back(head ? s.elems.front().pos : s.elems.back().pos);
                if (head) s.elems.erase(s.elems.begin()); else s.elems.pop_back();
            }
        } else if (kind == 6) {
            name = "gtGetElemIndex/gtGetElemPosition";
            LPGTPOSITION at = anyPos();
            const int idx = at ? indexIn(s, at) : -1;
            c.check(gtGetElemIndex(s.list, at) == (idx >= 0 ? static_cast<DWORD>(idx) : 0xFFFFFFFFu),
                    "gtGetElemIndex of a position");
            const UINT n = c.below(static_cast<uint32_t>(s.elems.size()) + 3);
            c.check(gtGetElemPosition(s.list, n) == (n < s.elems.size() ? s.elems[n].pos : nullptr),
                    "gtGetElemPosition of an index");
        } else if (kind == 7 && !s.elems.empty()) {
            name = "gtSetElemAt";
            Elem& e = s.elems[c.below(static_cast<uint32_t>(s.elems.size()))];
            LPVOID former = gtSetElemAt(e.pos, data, size);
            c.check(readId(former, e.copied) == e.id, "gtSetElemAt gives the former data");
            if (e.copied) gtGlobalFreePtr(former);
            e.id = id;
            e.copied = copy;
        } else if (kind == 8 && c.chance(20)) {
            name = "gtCopyList";
            const bool self = c.chance(30);
            Shadow& src = self ? s : other;
            const size_t n = src.elems.size();
            c.check(gtCopyList(s.list, src.list) != FALSE, "gtCopyList succeeds");
            LPGTPOSITION p = gtGetTailPosition(s.list);
            std::vector<Elem> added(n);
            for (size_t i = n; i > 0; --i) {
                added[i - 1] = Elem{p, src.elems[i - 1].id, src.elems[i - 1].copied};
                gtGetPrevElem(&p);
            }
            for (const Elem& e : added) forget(e.pos);
            s.elems.insert(s.elems.end(), added.begin(), added.end());
        }
        compare(c, lists[0], name);
        compare(c, lists[1], name);
    }
    c.check(gtDestroyList(lists[0].list) != FALSE, "the first list destroyed");
    c.check(gtDestroyList(lists[1].list) != FALSE, "the second list destroyed");
}
