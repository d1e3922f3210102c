// The line scanner, the previous-line scan and the byte window beneath them.
#include <algorithm>
#include <cstring>

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

inline const char* find(const char* p, char c, size_t n) {
    return static_cast<const char*>(std::memchr(p, c, n));
}

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

Window::Window(ReadAt read, void* ctx, size_t maxBlock)
    : read_(read), ctx_(ctx), maxBlock_(std::max<size_t>(maxBlock, 2 * kChunkSize)), nextBlock_(kChunkSize) {}

long Window::at(long offset, long want, const char** p) {
    if (filled_ && offset >= start_) {
        long avail = start_ + len_ - offset;
        if (avail >= want || (atEnd_ && avail >= 0)) {
            *p = buf_.data() + (offset - start_);
            return std::min(avail, want);
        }
    }
    size_t size = std::max(static_cast<size_t>(want), nextBlock_);
    if (nextBlock_ < maxBlock_) nextBlock_ = std::min(maxBlock_, nextBlock_ * 2);
    if (buf_.size() < size) buf_.resize(size);
    long got = read_(ctx_, offset, buf_.data(), static_cast<long>(size));
    if (got < 0) {
        filled_ = false;
        return -1;
    }
    filled_ = true;
    start_ = offset;
    len_ = got;
    atEnd_ = static_cast<size_t>(got) < size;
    holdsZero_ = std::memchr(buf_.data(), 0, static_cast<size_t>(got)) != nullptr;
    *p = buf_.data();
    return std::min(got, want);
}

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

long countLines(Window& w) {
    long count = 0;
    long offset = 0;
    for (;;) {
        LineRead r = readLine(w, offset, nullptr);
        if (!r.ok) return count;
        ++count;
        offset += r.length;
    }
}

long prevLinePosition(ReadAt read, void* ctx, long p) {
    // Backward over blocks that end where the scan stands, looking for CR LF
    // pairs wholly before p.
    std::vector<char> buf;
    size_t block = 512;
    int pairs = 0;
    bool lfNext = false;  // the byte after the one looked at is an LF
    for (long hi = p; hi > 0;) {
        long lo = std::max(0L, hi - static_cast<long>(block));
        if (block < 65536) block *= 2;
        buf.assign(static_cast<size_t>(hi - lo), 0);
        if (read(ctx, lo, buf.data(), hi - lo) < 0) return -1;  // past the end reads as zeros
        for (long i = hi - 1; i >= lo; --i) {
            char c = buf[static_cast<size_t>(i - lo)];
            if (c == '\r' && lfNext && ++pairs == 2) return i + 2;
            lfNext = c == '\n';
        }
        hi = lo;
    }
    return 0;
}

bool isUsable(const GTLINEFILE* h) {
    return h && gt::heap::isLive(h) && gt::heap::capacity(h) >= sizeof(GTLINEFILE) && h->hFile != HFILE_ERROR;
}

BOOL flush(GTLINEFILE* h) {
    if (!isUsable(h) || h->hFile == 0) return FALSE;
    return FlushFileBuffers(reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(h->hFile)));
}

}  // namespace gt::linefile
