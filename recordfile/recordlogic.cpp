// Record arithmetic, removal plans and name conversion.
#include <cstring>

#include "recordfile/recordfile.h"

namespace gt::recordfile {

WORD recordNumber(long offset, DWORD header, long recLen) {
    if (recLen < 1) return 0;
    long d = offset - static_cast<long>(header);
    if (d != 0) d /= recLen;
    return static_cast<WORD>(d + 1);
}

long wholeRecords(long length, DWORD header, long recLen) {
    long d = length - static_cast<long>(header);
    if (recLen < 1 || d <= 0) return 0;
    return d / recLen;
}

RemovePlan planRemove(long size, DWORD header, long offset, long recLen) {
    RemovePlan plan{RemovePlan::Refuse, 0, size, false};
    long total = wholeRecords(size, header, recLen);
    long rel = offset - static_cast<long>(header);
    // Only a whole record on the grid can go; anything else would cut into
    // the neighbours and shift every later record off the grid.
    if (recLen < 1 || size < 0 || rel < 0 || rel % recLen != 0 || rel / recLen >= total) return plan;
    plan.tailBytes = size - offset - recLen;
    plan.newSize = size - recLen;
    plan.onlyRecord = total == 1;
    // Bytes after the record (later records or a partial one) move down;
    // only when nothing follows is cutting the file enough.
    if (plan.tailBytes == 0) {
        plan.kind = RemovePlan::Truncate;
        plan.newSize = offset;
    } else {
        plan.kind = RemovePlan::MoveTail;
    }
    return plan;
}

bool widen(const char* name, size_t maxChars, std::wstring& out) {
    out.clear();
    if (!name) return false;
    int n = MultiByteToWideChar(CP_ACP, 0, name, -1, nullptr, 0);
    if (n <= 0 || static_cast<size_t>(n) - 1 > maxChars) return false;
    out.resize(static_cast<size_t>(n));
    if (MultiByteToWideChar(CP_ACP, 0, name, -1, &out[0], n) != n) return false;
    out.resize(static_cast<size_t>(n) - 1);
    return true;
}

}  // namespace gt::recordfile
