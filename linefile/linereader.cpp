// The line scanner, the previous-line scan and the byte window beneath them.
#include <algorithm>
#include <cstring>

#include "linefile/bytescan.h"
#include "linefile/linefile.h"
#include "text/blockheap.h"

namespace gt::linefile {

int failureCode(Op op) {
    switch (op) {
    case Op::Read: return FU_ERR_READ;
    case Op::Write: return FU_ERR_WRITE;
    case Op::Seek: return FU_ERR_SEEK;
    case Op::Close: return FU_ERR_CLOSE;
    case Op::None: break;
    }
    return FU_ERR_NONE;
}

namespace {

inline const char* find(const char* p, char c, size_t n) { return findByte(p, c, n); }

// Length of the chunk as a string.
inline size_t stringLen(const char* p, size_t n) {
    const char* z = find(p, 0, n);
    return z ? static_cast<size_t>(z - p) : n;
}

}  // namespace

ChunkScan scanChunk(const char* p, size_t n, bool& crSeen, bool mayHoldZero) {
    if (!mayHoldZero) {
        // Plain text: the chunk is all string, one search decides.
        const char* hit = find(p, crSeen ? '\n' : '\r', n);
        if (!hit) return {n, false};
        if (crSeen) return {static_cast<size_t>(hit + 1 - p), true};
        crSeen = true;
        if (hit + 1 < p + n && hit[1] == '\n') return {static_cast<size_t>(hit + 2 - p), true};
        const char* lf = find(p, '\n', n);
        return lf ? ChunkScan{static_cast<size_t>(lf + 1 - p), true} : ChunkScan{n, false};
    }
    if (!crSeen) {
        // The first CR of the string, if the string reaches that far.
        const char* cr = find(p, '\r', n);
        if (!cr) return {stringLen(p, n), false};
        if (const char* z = find(p, 0, static_cast<size_t>(cr - p))) return {static_cast<size_t>(z - p), false};
        crSeen = true;
        // CR LF: the line ends after this LF (cr[1] is inside the string when it is LF).
        if (cr + 1 < p + n && cr[1] == '\n') return {static_cast<size_t>(cr + 2 - p), true};
        // Else the chunk's first LF ends it, wherever that LF is.
        size_t len = stringLen(p, n);
        if (const char* lf = find(p, '\n', len)) return {static_cast<size_t>(lf + 1 - p), true};
        return {len, false};
    }
    // The CR was in an earlier chunk: the first LF of this one ends the line.
    const char* lf = find(p, '\n', n);
    if (!lf) return {stringLen(p, n), false};
    if (const char* z = find(p, 0, static_cast<size_t>(lf - p))) return {static_cast<size_t>(z - p), false};
    return {static_cast<size_t>(lf + 1 - p), true};
}

Window::Window(size_t maxBlock) : maxBlock_(std::max<size_t>(maxBlock, 2 * kChunkSize)), nextBlock_(kChunkSize) {}

void Window::clear() {
    filled_ = false;
    holdsZero_ = true;
    nextBlock_ = kChunkSize;
    zerosFrom_ = zerosTo_ = 0;
}

long Window::refill(long offset, size_t size) {
    if (!read_) return -1;  // bound to read nothing: what is held is all there is
    // Bytes of the last block from `offset` on stay; the read goes on after them.
    size_t keep = filled_ && offset >= start_ && offset < start_ + len_ ? static_cast<size_t>(start_ + len_ - offset) : 0;
    if (keep) std::memmove(buf_.data(), buf_.data() + (offset - start_), keep);
    if (buf_.size() < size) buf_.resize(size);
    long got = keep < size ? read_(ctx_, offset + static_cast<long>(keep), buf_.data() + keep, static_cast<long>(size - keep)) : 0;
    if (got < 0) {
        filled_ = false;
        return -1;
    }
    filled_ = true;
    start_ = offset;
    len_ = static_cast<long>(keep) + got;
    atEnd_ = static_cast<size_t>(len_) < size;
    holdsZero_ = findByte(buf_.data(), 0, static_cast<size_t>(len_)) != nullptr;
    return len_;
}

long Window::at(long offset, long want, const char** p) {
    if (filled_ && atEnd_ && offset >= start_ + len_) return 0;  // past the end of the file
    if (filled_ && offset >= start_) {
        long avail = start_ + len_ - offset;
        if (avail >= want || (atEnd_ && avail >= 0)) {
            *p = buf_.data() + (offset - start_);
            return avail;
        }
    }
    // Blocks grow while the reads follow on from the last one.
    bool follows = filled_ && offset >= start_ && offset <= start_ + len_ + kChunkSize;
    nextBlock_ = follows ? std::min(maxBlock_, nextBlock_ * 2) : kChunkSize;
    long got = refill(offset, std::max(static_cast<size_t>(want), nextBlock_));
    *p = buf_.data();
    return got;
}

long Window::before(long end, const char** p) {
    static const char zeros[kChunkSize] = {};
    if (filled_ && atEnd_ && end > start_ + len_) {  // past the end of the file
        *p = zeros;
        return std::min(end - (start_ + len_), kChunkSize);
    }
    if (filled_ && end > start_ && end <= start_ + len_) {
        *p = buf_.data();
        return end - start_;
    }
    bool follows = filled_ && end >= start_ - kChunkSize && end <= start_ + len_;
    nextBlock_ = follows ? std::min(maxBlock_, nextBlock_ * 2) : kChunkSize;
    long lo = std::max(0L, end - static_cast<long>(nextBlock_));
    long got = refill(lo, static_cast<size_t>(end - lo));
    if (got < 0) return -1;
    return before(end, p);
}

long Window::zeroRunEnd(long offset) {
    if (offset >= zerosFrom_ && offset < zerosTo_) return zerosTo_;
    long o = offset;
    for (;;) {
        const char* p = nullptr;
        long n = at(o, 1, &p);
        if (n < 0) return -1;
        if (n == 0) break;
        if (const char* nz = findNonZero(p, static_cast<size_t>(n))) {
            o += static_cast<long>(nz - p);
            break;
        }
        o += n;
    }
    zerosFrom_ = offset;
    zerosTo_ = o;
    return o;
}

namespace {

// The first chunk start at or after `end` for a reader that started at
// `offset` (chunk starts keep their distance from the line's start).
inline long firstChunkFrom(long offset, long end) {
    return offset + (end - offset + kChunkSize - 1) / kChunkSize * kChunkSize;
}

}  // namespace

LineRead readLine(Window& w, long start, char* out) {
    if (out) *out = 0;
    bool crSeen = false;
    long offset = start;
    WORD length = 0;
    size_t stored = 0;
    for (;;) {
        const char* chunk = nullptr;
        long n = w.at(offset, kChunkSize, &chunk);
        if (n < 0) return {false, 0, -1, stored};
        if (n == 0) return {false, 0, offset, stored};  // a read at the end leaves the position
        n = std::min(n, kChunkSize);
        if (chunk[0] == 0) {
            // An empty string adds nothing in any state: every chunk that
            // starts inside this run of zeros is passed over.
            long end = w.zeroRunEnd(offset);
            if (end < 0) return {false, 0, -1, stored};
            offset = firstChunkFrom(offset, end);
            continue;
        }
        if (chunk[0] == 26) return {false, 0, offset + n, stored};
        ChunkScan s = scanChunk(chunk, static_cast<size_t>(n), crSeen, w.mayHoldZero());
        if (out) {
            std::memcpy(out + stored, chunk, s.take);
            out[stored + s.take] = 0;
        }
        stored += s.take;
        length = static_cast<WORD>(length + s.take);
        offset += n;
        if (s.complete) break;
    }
    if (length == 0) return {false, 0, offset, stored};
    return {true, length, offset, stored};
}

namespace {

// Runs of zeros shorter than this are walked line by line.
constexpr long kLongZeroRun = 4 * kChunkSize;

// Counts the lines that start inside the run of zeros [s, end).  A line that
// starts there is read from the first chunk start past the run at the same
// distance modulo the chunk size, so its length depends on that phase alone:
// the walk repeats after at most one line per phase, and whole repetitions
// are counted at once.  False when the reader fails (the count ends there).
bool crossZeros(Window& w, long& s, long end, long& count) {
    long length[kChunkSize];  // per phase: -2 not read yet, -1 no line
    long seenAt[kChunkSize], seenCount[kChunkSize];
    std::fill(length, length + kChunkSize, -2L);
    std::fill(seenAt, seenAt + kChunkSize, -1L);
    bool skipped = false;
    while (s < end) {
        long from = firstChunkFrom(s, end);
        size_t phase = static_cast<size_t>(from - end);
        if (!skipped && seenAt[phase] >= 0) {
            long stride = s - seenAt[phase];
            long repeats = (end - s) / stride;  // every line of these starts before `end`
            s += repeats * stride;
            count += repeats * (count - seenCount[phase]);
            skipped = true;
            continue;
        }
        seenAt[phase] = s;
        seenCount[phase] = count;
        if (length[phase] == -2) {
            LineRead r = readLine(w, from, nullptr);
            length[phase] = r.ok ? r.length : -1;
        }
        if (length[phase] < 0) return false;
        ++count;
        s += length[phase];
    }
    return true;
}

}  // namespace

long countLines(Window& w) {
    long count = 0;
    long offset = 0;
    for (;;) {
        const char* p = nullptr;
        long n = w.at(offset, 1, &p);
        if (n > 0 && *p == 0) {
            long end = w.zeroRunEnd(offset);
            if (end < 0) return count;
            if (end - offset >= kLongZeroRun) {
                if (!crossZeros(w, offset, end, count)) return count;
                continue;
            }
        }
        LineRead r = readLine(w, offset, nullptr);
        if (!r.ok) return count;
        ++count;
        offset += r.length;
    }
}

long prevLinePosition(Window& w, long p) {
    // Backward from p, looking for CR LF pairs wholly before p.
    int pairs = 0;
    bool lfNext = false;  // the byte after the one looked at is an LF
    for (long hi = p; hi > 0;) {
        const char* b = nullptr;
        long n = w.before(hi, &b);
        if (n < 0) return -1;
        for (long i = n - 1; i >= 0; --i) {
            char c = b[i];
            if (c == '\r' && lfNext && ++pairs == 2) return hi - n + i + 2;
            lfNext = c == '\n';
        }
        hi -= n;
    }
    return 0;
}

bool fileFixedWhileOpen(UINT flags) {
    UINT share = flags & (OF_SHARE_EXCLUSIVE | OF_SHARE_DENY_WRITE | OF_SHARE_DENY_READ | OF_SHARE_DENY_NONE);
    return (flags & (OF_WRITE | OF_READWRITE)) == 0 && (share == OF_SHARE_DENY_WRITE || share == OF_SHARE_EXCLUSIVE);
}

bool isUsable(const GTLINEFILE* h) {
    return h && gt::heap::isLive(h) && gt::heap::capacity(h) >= sizeof(GTLINEFILE) && h->hFile != HFILE_ERROR;
}

BOOL flush(GTLINEFILE* h) {
    if (!isUsable(h) || h->hFile == 0) return FALSE;
    return FlushFileBuffers(reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(h->hFile)));
}

}  // namespace gt::linefile
