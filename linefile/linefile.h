// Line-file layer internals: the line scanner, the previous-line scan and the
// byte window they read through.  The exports (linefile.cpp) are glue around
// these; tests call them directly.
//
// The scanner's results are defined by a reader that takes 500-byte chunks at
// the line's start and treats each chunk as a zero-terminated string.  The
// functions here give exactly those results (lengths, where a line ends, the
// position the chunk reads would leave) while reading the file in larger
// blocks, scanning only the bytes that matter and passing over runs of
// zeros (which the chunk reader sees as empty strings) in one step.
#pragma once
#include <windows.h>

#include <cstddef>
#include <vector>

#include "gtapi32.h"

namespace gt::linefile {

// Families of operations, each with the code (FU_ERR_*) it reports on
// failure.
enum class Op { Read, Write, Seek, Close, None };
int failureCode(Op op);

constexpr long kChunkSize = 500;

// --- line scanner -----------------------------------------------------------

// One chunk's worth of scanning.  `chunk` holds n bytes (n <= kChunkSize) read
// at a chunk start; only the part before its first zero byte counts (the
// chunk is a string).  crSeen carries over between the chunks of one line.
struct ChunkScan {
    size_t take;    // bytes of the chunk that belong to the line
    bool complete;  // the line ends inside this chunk
};
// mayHoldZero false promises that the n bytes hold no zero byte.
ChunkScan scanChunk(const char* chunk, size_t n, bool& crSeen, bool mayHoldZero = true);

// Reads file bytes at absolute offsets: returns the count read (0 at or after
// the end), -1 on failure.
using ReadAt = long (*)(void* ctx, long offset, char* dst, long count);

// A window over a file: one block of its bytes with the block's offset.  Blocks start at one chunk and double while the accesses
// follow on from the block, up to maxBlock, so a single short line costs one
// small read and a long walk few large ones; a block that follows on keeps
// the bytes it shares with the last one and reads only the rest.  The file
// is taken not to change while the window holds its bytes.
class Window {
public:
    explicit Window(size_t maxBlock);
    // The reader for the coming accesses; a null reader reads nothing, so
    // accesses beyond what is held fail.
    void bind(ReadAt read, void* ctx) {
        read_ = read;
        ctx_ = ctx;
    }
    // Forgets every byte read.
    void clear();
    // Bytes at offset: sets *p and returns how many are there, at least
    // `want` unless the file ends first; -1 on failure.
    long at(long offset, long want, const char** p);
    // Bytes just before `end`: sets *p to the first of the n > 0 returned
    // bytes [end - n, end); bytes past the end of the file read as zeros.
    // -1 on failure; end must be above 0.
    long before(long end, const char** p);
    // False when the block that served the last at() holds no zero byte.
    bool mayHoldZero() const { return holdsZero_; }
    // The first offset at or after `offset` whose byte is not zero (the
    // file's size when zeros run to its end); -1 on failure.  The last run
    // found is remembered, so walking through it costs one scan.
    long zeroRunEnd(long offset);

private:
    long refill(long offset, size_t size);

    ReadAt read_ = nullptr;
    void* ctx_ = nullptr;
    size_t maxBlock_;
    size_t nextBlock_;
    std::vector<char> buf_;
    long start_ = 0;
    long len_ = 0;
    bool atEnd_ = false;  // the file ended inside the block when it was read
    bool filled_ = false;
    bool holdsZero_ = true;
    long zerosFrom_ = 0, zerosTo_ = 0;  // the last run of zeros found
};

struct LineRead {
    bool ok;
    WORD length;    // the line's length as the layer reports it (16-bit)
    long endPos;    // where the chunk reads would have left the file position; -1 unknown
    size_t stored;  // bytes appended to the output buffer
};

// The line reader: the line at `start`, its bytes appended to `out` (if not
// null) and zero-terminated.  A line whose 16-bit length comes to 0 (a
// multiple of 65536 bytes) is reported as no line, since no caller could step
// past it.
LineRead readLine(Window& w, long start, char* out);

// Counts lines from offset 0 as the line reader sees them.
long countLines(Window& w);

// The previous-line scan from position p: the position just after the second
// CR LF pair that lies wholly before p (the start of the line before the one
// that ends at or runs through p), 0 when there is no such pair; -1 when a
// read failed.
long prevLinePosition(Window& w, long p);

// True for open flags under which nobody can change the file while the
// handle is open: reading only, and writers denied (OF_SHARE_DENY_WRITE,
// OF_SHARE_EXCLUSIVE).  Handles opened so keep what they read.
bool fileFixedWhileOpen(UINT openFlags);

// --- glue helpers shared with other subsystems -------------------------------

// True for a live handle record of this layer whose file is open.
bool isUsable(const GTLINEFILE* h);
// Writes the handle's file buffers out; does nothing for a handle without a
// file.  FALSE when the flush failed.
BOOL flush(GTLINEFILE* h);

}  // namespace gt::linefile
