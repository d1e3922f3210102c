// Doubly linked list with positions.  Records and private copies are blocks
// of the library's allocator; every record is checked by its tag first.
#include <cstring>

#include "frame/owners.h"
#include "gtapi32.h"

namespace {

constexpr WORD kListTag = 0x474C;  // "LG"
constexpr WORD kElemTag = 0x4D4C;  // "LM"

bool validList(const GTLIST* l) { return l && l->wTag == kListTag; }
bool validPos(const GTPOSITION* p) { return p && p->wTag == kElemTag; }

// A private copy of size bytes, or the caller's pointer for size 0.
bool makeData(LPVOID data, DWORD size, LPVOID* out) {
    if (size == 0) {
        *out = data;
        return true;
    }
    void* copy = gtGlobalAllocPtr(GHND, size);
    if (!copy) return false;
    if (data) std::memcpy(copy, data, size);
    *out = copy;
    return true;
}

LPGTPOSITION makeElem(LPVOID data, DWORD size) {
    gt::Block block(gtGlobalAllocPtr(GHND, sizeof(GTPOSITION)));
    auto* e = static_cast<LPGTPOSITION>(block.get());
    if (!e || !makeData(data, size, &e->pData)) return nullptr;
    e->wTag = kElemTag;
    e->dwSize = size;
    return static_cast<LPGTPOSITION>(block.release());
}

void freeElem(LPGTPOSITION e, bool freeData) {
    if (freeData && e->dwSize) gtGlobalFreePtr(e->pData);
    e->wTag = 0;  // a stale position no longer passes the tag check
    gtGlobalFreePtr(e);
}

void unlink(LPGTLIST l, LPGTPOSITION e) {
    if (e->pPrev) e->pPrev->pNext = e->pNext; else l->pHead = e->pNext;
    if (e->pNext) e->pNext->pPrev = e->pPrev; else l->pTail = e->pPrev;
    --l->dwCount;
}

void clear(LPGTLIST l) {
    for (LPGTPOSITION e = l->pHead; e;) {
        LPGTPOSITION next = e->pNext;
        freeElem(e, true);
        e = next;
    }
    l->pHead = l->pTail = nullptr;
    l->dwCount = 0;
}

}  // namespace

extern "C" {

LPGTLIST GTAPI gtCreateList(void) {
    auto* l = static_cast<LPGTLIST>(gtGlobalAllocPtr(GHND, sizeof(GTLIST)));
    if (l) l->wTag = kListTag;
    return l;
}

BOOL GTAPI gtDestroyList(LPGTLIST list) {
    if (!validList(list)) return FALSE;
    clear(list);
    list->wTag = 0;
    gtGlobalFreePtr(list);
    return TRUE;
}

BOOL GTAPI gtRemoveAllElems(LPGTLIST list) {
    if (!validList(list)) return FALSE;
    clear(list);
    return TRUE;
}

LPGTPOSITION GTAPI gtAddHeadElem(LPGTLIST list, LPVOID data, DWORD size) {
    if (!validList(list)) return nullptr;
    LPGTPOSITION e = makeElem(data, size);
    if (!e) return nullptr;
    e->pNext = list->pHead;
    if (list->pHead) list->pHead->pPrev = e; else list->pTail = e;
    list->pHead = e;
    ++list->dwCount;
    return e;
}

LPGTPOSITION GTAPI gtAddTailElem(LPGTLIST list, LPVOID data, DWORD size) {
    if (!validList(list)) return nullptr;
    LPGTPOSITION e = makeElem(data, size);
    if (!e) return nullptr;
    e->pPrev = list->pTail;
    if (list->pTail) list->pTail->pNext = e; else list->pHead = e;
    list->pTail = e;
    ++list->dwCount;
    return e;
}

LPGTPOSITION GTAPI gtInsertElemBefore(LPGTLIST list, LPGTPOSITION pos, LPVOID data, DWORD size) {
    if (!pos) return gtAddHeadElem(list, data, size);
    if (!validList(list) || !validPos(pos)) return nullptr;
    if (!pos->pPrev && list->pHead != pos) return nullptr;  // a head of another list
    LPGTPOSITION e = makeElem(data, size);
    if (!e) return nullptr;
    e->pPrev = pos->pPrev;
    e->pNext = pos;
    if (pos->pPrev) pos->pPrev->pNext = e; else list->pHead = e;
    pos->pPrev = e;
    ++list->dwCount;
    return e;
}

LPGTPOSITION GTAPI gtInsertElemAfter(LPGTLIST list, LPGTPOSITION pos, LPVOID data, DWORD size) {
    if (!pos) return gtAddTailElem(list, data, size);
    if (!validList(list) || !validPos(pos)) return nullptr;
    if (!pos->pNext && list->pTail != pos) return nullptr;  // a tail of another list
    LPGTPOSITION e = makeElem(data, size);
    if (!e) return nullptr;
    e->pNext = pos->pNext;
    e->pPrev = pos;
    if (pos->pNext) pos->pNext->pPrev = e; else list->pTail = e;
    pos->pNext = e;
    ++list->dwCount;
    return e;
}

LPGTPOSITION GTAPI gtGetHeadPosition(LPGTLIST list) { return validList(list) ? list->pHead : nullptr; }
LPGTPOSITION GTAPI gtGetTailPosition(LPGTLIST list) { return validList(list) ? list->pTail : nullptr; }

LPVOID GTAPI gtGetNextElem(LPGTPOSITION* pos) {
    if (!pos || !validPos(*pos)) return nullptr;
    LPGTPOSITION e = *pos;
    *pos = e->pNext;
    return e->pData;
}

LPVOID GTAPI gtGetPrevElem(LPGTPOSITION* pos) {
    if (!pos || !validPos(*pos)) return nullptr;
    LPGTPOSITION e = *pos;
    *pos = e->pPrev;
    return e->pData;
}

LPVOID GTAPI gtGetElemAt(LPGTPOSITION pos) { return validPos(pos) ? pos->pData : nullptr; }

LPVOID GTAPI gtSetElemAt(LPGTPOSITION pos, LPVOID data, DWORD size) {
    if (!validPos(pos)) return nullptr;
    LPVOID fresh = nullptr;
    if (!makeData(data, size, &fresh)) return nullptr;
    LPVOID former = pos->pData;
    pos->pData = fresh;
    pos->dwSize = size;
    return former;
}

BOOL GTAPI gtRemoveElemAt(LPGTLIST list, LPGTPOSITION pos, BOOL freeData) {
    if (!validList(list) || !validPos(pos)) return FALSE;
    // A position of another list would unlink that list's elements and
    // leave this list's count wrong: refuse it.
    if (pos->pPrev ? pos->pPrev->pNext != pos : list->pHead != pos) return FALSE;
    if (pos->pNext ? pos->pNext->pPrev != pos : list->pTail != pos) return FALSE;
    unlink(list, pos);
    freeElem(pos, freeData == TRUE);
    return TRUE;
}

BOOL GTAPI gtRemoveHeadElem(LPGTLIST list, BOOL freeData) {
    if (!validList(list) || !list->pHead) return FALSE;
    return gtRemoveElemAt(list, list->pHead, freeData);
}

BOOL GTAPI gtRemoveTailElem(LPGTLIST list, BOOL freeData) {
    if (!validList(list) || !list->pTail) return FALSE;
    return gtRemoveElemAt(list, list->pTail, freeData);
}

LPGTPOSITION GTAPI gtFindElemPos(LPGTLIST list, DWORD key, BOOL fromHead, GTMATCHPROC match, DWORD user) {
    if (!validList(list) || !match) return nullptr;
    bool forward = fromHead == TRUE;
    for (LPGTPOSITION e = forward ? list->pHead : list->pTail; e; e = forward ? e->pNext : e->pPrev)
        if (match(list, key, e->pData, e->dwSize, user) == 1) return e;
    return nullptr;
}

LPGTPOSITION GTAPI gtGetElemPosition(LPGTLIST list, UINT index) {
    if (!validList(list) || index >= list->dwCount) return nullptr;
    LPGTPOSITION e = list->pHead;
    for (UINT i = 0; i < index && e; ++i) e = e->pNext;
    return e;
}

DWORD GTAPI gtGetElemIndex(LPGTLIST list, LPGTPOSITION pos) {
    if (!validList(list) || !validPos(pos)) return 0xFFFFFFFF;
    DWORD i = 0;
    for (LPGTPOSITION e = list->pHead; e; e = e->pNext, ++i)
        if (e == pos) return i;
    return 0xFFFFFFFF;
}

DWORD GTAPI gtGetElemCount(LPGTLIST list) { return validList(list) ? list->dwCount : 0; }

BOOL GTAPI gtIsListEmpty(LPGTLIST list) {
    return validList(list) && !list->pHead && !list->pTail && list->dwCount == 0;
}

BOOL GTAPI gtCopyList(LPGTLIST dest, LPGTLIST source) {
    if (!validList(dest) || !validList(source)) return FALSE;
    LPGTPOSITION mark = dest->pTail;
    DWORD n = source->dwCount;  // copying a list into itself stops after its original elements
    LPGTPOSITION e = source->pHead;
    for (DWORD i = 0; i < n && e; ++i, e = e->pNext) {
        if (!gtAddTailElem(dest, e->pData, e->dwSize)) {
            // Roll back: remove everything appended by this call.
            while (dest->pTail != mark) gtRemoveElemAt(dest, dest->pTail, TRUE);
            return FALSE;
        }
    }
    return TRUE;
}

BOOL GTAPI gtMergeList(LPGTLIST dest, LPGTLIST source) {
    if (dest == source) return FALSE;  // merging a list into itself would destroy it
    BOOL ok = gtCopyList(dest, source);
    if (ok) gtDestroyList(source);
    return ok;
}

}  // extern "C"
