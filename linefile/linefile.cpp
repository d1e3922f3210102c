// The fu exports: handles over the 16-bit-compatible file calls, line
// navigation and byte access, and the layer's process-wide error code.
#include <fcntl.h>
#include <io.h>

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "frame/owners.h"
#include "gtapi32.h"
#include "linefile/linefile.h"
#include "text/blockheap.h"

namespace lf = gt::linefile;
using lf::Op;

namespace {

int g_error = FU_ERR_NONE;

// Every operation but the three readers of state starts from "no error".
inline void clearError() { g_error = FU_ERR_NONE; }
inline void setError(int code) { g_error = code; }
inline void fail(Op op) { setError(lf::failureCode(op)); }

constexpr UINT kOfCreate = OF_CREATE;
constexpr size_t kMaxName = 128;
// Largest block a line operation reads at once.
constexpr size_t kMaxBlock = 256 * 1024;

// Rewrites the name in place to its short form when that is strictly
// shorter than the name (the buffer is taken to be as long as the name).
void prepareName(LPSTR name) {
    size_t len = std::strlen(name);
    std::vector<char> shortName(len + 1);
    DWORD n = GetShortPathNameA(name, shortName.data(), static_cast<DWORD>(len));
    if (n > 0 && n < len && std::strcmp(shortName.data(), name) != 0) std::memcpy(name, shortName.data(), n + 1);
}

HFILE openWith(LPCSTR name, UINT flags, OFSTRUCT& ofs) {
    std::memset(&ofs, 0, sizeof(ofs));
    ofs.cBytes = sizeof(ofs);
    return OpenFile(name, &ofs, flags);
}

// --- the read cache of handles whose file cannot change ---------------------------
//
// A handle opened for reading only that denies writing to everyone else
// (OF_SHARE_DENY_WRITE, OF_SHARE_EXCLUSIVE) sees a file nobody can change
// while it is open: the system refuses every open for writing, and the
// handle itself cannot write.  Only the layer's own size change reopens the
// file, and it drops what was read.  Such a handle keeps its window between
// calls, in a block past the record's fields (callers see the record's
// layout unchanged).  The position still lives in the file handle, where the
// caller may move it: the line calls either ask for it, or move by a relative
// seek from where the layer last left the pointer and check where they land
// (a relative seek reports the new position, so a moved pointer shows, and
// costs one more seek).
struct HandleCache {
    lf::Window window{kMaxBlock};
    long left = -1;  // where the layer last left the file pointer: a guess every use checks
};

struct RecordTail {
    uintptr_t tag;  // marks a tail made here: the record's address mixed with the cache's
    HandleCache* cache;
};
constexpr size_t kRecordSize = sizeof(GTLINEFILE) + sizeof(RecordTail);
constexpr uintptr_t kTailMark = 0x4C464331;

RecordTail* tailOf(const GTLINEFILE* h) {
    if (gt::heap::capacity(h) < kRecordSize) return nullptr;
    return reinterpret_cast<RecordTail*>(reinterpret_cast<uintptr_t>(h) + sizeof(GTLINEFILE));
}
inline uintptr_t tagFor(const GTLINEFILE* h, const HandleCache* c) {
    return kTailMark ^ reinterpret_cast<uintptr_t>(h) ^ reinterpret_cast<uintptr_t>(c);
}

// The handle's cache; nullptr for a handle without one (or a record made elsewhere).
HandleCache* cacheOf(const GTLINEFILE* h) {
    RecordTail* t = tailOf(h);
    return t && t->cache && t->tag == tagFor(h, t->cache) ? t->cache : nullptr;
}

void attachCache(LPGTLINEFILE h) {
    RecordTail* t = tailOf(h);
    if (!t || !lf::fileFixedWhileOpen(h->uOpenFlags)) return;
    t->cache = new (std::nothrow) HandleCache;
    t->tag = tagFor(h, t->cache);
}

void detachCache(LPGTLINEFILE h) {
    HandleCache* c = cacheOf(h);
    if (!c) return;
    *tailOf(h) = RecordTail{};
    delete c;
}

// Drops what was read, after the layer changed the file itself.
void forget(const GTLINEFILE* h) {
    if (HandleCache* c = cacheOf(h)) {
        c->window.clear();
        c->left = -1;
    }
}

void noteLeft(const GTLINEFILE* h, LONG pos) {
    if (HandleCache* c = cacheOf(h)) c->left = pos;
}

// Allocates the record for an opened file; on failure closes it (error 1002).
LPGTLINEFILE makeRecord(gt::Hfile& file, const OFSTRUCT& ofs, UINT flags) {
    auto* rec = static_cast<LPGTLINEFILE>(gtGlobalAllocPtr(GHND, kRecordSize));
    if (!rec) {
        setError(FU_ERR_NO_MEMORY);
        return nullptr;  // `file` closes it
    }
    size_t n = strnlen(ofs.szPathName, sizeof(ofs.szPathName));
    if (n > kMaxName) n = kMaxName;
    std::memcpy(rec->szFileName, ofs.szPathName, n);
    rec->szFileName[n] = 0;
    rec->uOpenFlags = flags;
    rec->fFixedDisk = ofs.fFixedDisk;
    rec->hFile = file.release();
    attachCache(rec);
    return rec;
}

inline LONG seek(const GTLINEFILE* h, LONG offset, int origin) { return _llseek(h->hFile, offset, origin); }
inline LONG tell(const GTLINEFILE* h) { return seek(h, 0, FILE_CURRENT); }

// --- reading for the line operations -------------------------------------------
//
// Except for the handles above, nothing read is kept from one call to the
// next.  The file position lives in
// the file handle, which callers use themselves (_llseek, _lwrite), and other
// handles and processes may write the file: checking that kept bytes are
// still the file's bytes costs a query of the file system per call (its size
// and times), which here costs more than reading the bytes again, and times
// that a file system stamps at a coarse granularity would still let a quick
// same-size change through.  So every call reads afresh from the handle's
// position, and does so with as few calls to the system as the operation
// allows: the line operations read at the position as it stands (no query
// of it) and move from there by a relative seek, which also reports where
// they land.

// How a line operation reads, through the file pointer (`at` is where it
// stands): in offsets relative to the position the operation started at, or
// in absolute offsets when it asked for that position anyway.  (Reads that
// carry their own offset would save a seek, but cost several times a seek
// and a read under Wine.)
struct Reader {
    HANDLE file;
    long at;
    bool absolute;
};

inline HANDLE fileOf(const GTLINEFILE* h) { return reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(h->hFile)); }

// Moves the pointer to `offset` (the operation's offsets); the new absolute
// position, or HFILE_ERROR.
LONG moveTo(Reader& r, long offset) {
    if (r.absolute && r.at == offset) return offset;
    DWORD pos = r.absolute ? SetFilePointer(r.file, offset, nullptr, FILE_BEGIN)
                           : SetFilePointer(r.file, offset - r.at, nullptr, FILE_CURRENT);
    if (pos == INVALID_SET_FILE_POINTER) return HFILE_ERROR;  // positions stay below 2 GiB
    r.at = offset;
    return static_cast<LONG>(pos);
}

// Reads at `offset`; relative reads seek only when they do not follow on
// from the last one.
long readAt(void* ctx, long offset, char* dst, long count) {
    auto& r = *static_cast<Reader*>(ctx);
    DWORD got = 0;
    if (offset != r.at && moveTo(r, offset) == HFILE_ERROR) return -1;
    if (!ReadFile(r.file, dst, static_cast<DWORD>(count), &got, nullptr)) return -1;
    r.at += static_cast<long>(got);
    return static_cast<long>(got);
}

// Where a line operation starts reading: at the position as it stands
// (relative offsets), or, for a handle with a cache, at the position asked
// for (its cache holds absolute offsets).  False when asking failed.
bool startReader(const GTLINEFILE* h, Reader& r) {
    r = Reader{fileOf(h), 0, false};
    if (!cacheOf(h)) return true;
    DWORD pos = SetFilePointer(r.file, 0, nullptr, FILE_CURRENT);
    if (pos == INVALID_SET_FILE_POINTER) return false;
    r = Reader{r.file, static_cast<long>(pos), true};
    return true;
}

// The window a line operation reads through `r`: the handle's cache, or `own`.
lf::Window& windowFor(const GTLINEFILE* h, Reader& r, lf::Window& own) {
    HandleCache* c = cacheOf(h);
    lf::Window& w = c ? c->window : own;
    w.bind(&readAt, &r);
    return w;
}

// The cache alone, reading nothing (a miss fails): for the guesses.
lf::Window& cacheOnly(HandleCache* c) {
    c->window.bind(nullptr, nullptr);
    return c->window;
}

// A seek by `step` from where the pointer stands, for a move the caller's
// pointer was guessed to allow: the position reached (HFILE_ERROR on failure).
inline LONG stepBy(const GTLINEFILE* h, long step) {
    DWORD pos = SetFilePointer(fileOf(h), step, nullptr, FILE_CURRENT);
    return pos == INVALID_SET_FILE_POINTER ? HFILE_ERROR : static_cast<LONG>(pos);
}

bool validOrigin(int origin) { return origin >= FILE_BEGIN && origin <= FILE_END; }

// Size without moving: -1 when a seek fails.
LONG sizeOf(const GTLINEFILE* h) {
    LONG pos = tell(h);
    if (pos == HFILE_ERROR) return HFILE_ERROR;
    LONG size = seek(h, 0, FILE_END);
    if (seek(h, pos, FILE_BEGIN) == HFILE_ERROR) return HFILE_ERROR;
    return size;
}

LONG writeAt(LPGTLINEFILE h, int origin, bool move, const void* data, LONG count) {
    if (!lf::isUsable(h) || !data || count < 0 || (move && !validOrigin(origin))) {
        fail(Op::Write);
        return HFILE_ERROR;
    }
    if (move && seek(h, 0, origin) == HFILE_ERROR) {
        fail(Op::Write);
        return HFILE_ERROR;
    }
    // A zero-byte _lwrite would cut the file at the position: nothing to write
    // must leave the file as it is.
    if (count == 0) return 0;
    LONG n = _hwrite(h->hFile, static_cast<LPCSTR>(data), count);
    if (n == HFILE_ERROR) fail(Op::Write);
    return n;
}

}  // namespace

extern "C" {

int GTAPI fuGetErrorCode(void) { return g_error; }

LPGTLINEFILE GTAPI fuCreateFile(LPSTR fileName, UINT openFlags) {
    clearError();
    if (!fileName || !*fileName) return nullptr;
    prepareName(fileName);
    OFSTRUCT ofs;
    {
        gt::Hfile created(openWith(fileName, kOfCreate, ofs));
        if (created.get() == HFILE_ERROR) {
            setError(ofs.nErrCode);
            return nullptr;
        }
    }
    gt::Hfile file(openWith(fileName, openFlags, ofs));
    if (file.get() == HFILE_ERROR) {
        setError(ofs.nErrCode);
        return nullptr;
    }
    return makeRecord(file, ofs, openFlags);
}

LPGTLINEFILE GTAPI fuOpenFile(LPSTR fileName, UINT openFlags) {
    clearError();
    if (!fileName || !*fileName) return nullptr;
    prepareName(fileName);
    if (std::strlen(fileName) > kMaxName) {
        setError(FU_ERR_NAME_TOO_LONG);
        return nullptr;
    }
    OFSTRUCT ofs;
    // Opening for writing alone creates (or empties) the file.
    UINT flags = openFlags == OF_WRITE ? (openFlags | kOfCreate) : openFlags;
    gt::Hfile file(openWith(fileName, flags, ofs));
    if (file.get() == HFILE_ERROR) {
        setError(ofs.nErrCode);
        return nullptr;
    }
    return makeRecord(file, ofs, openFlags);
}

int GTAPI fuCloseFile(LPGTLINEFILE file) {
    clearError();
    if (!file || !gt::heap::isLive(file)) {
        fail(Op::Close);
        return HFILE_ERROR;
    }
    detachCache(file);
    bool closed = file->hFile != HFILE_ERROR && _lclose(file->hFile) != HFILE_ERROR;
    file->hFile = HFILE_ERROR;
    gtGlobalFreePtr(file);
    if (!closed) {
        fail(Op::Close);
        return HFILE_ERROR;
    }
    return 1;
}

BOOL GTAPI fuGetOpenFileName(LPGTLINEFILE file, LPSTR name) {
    if (!file || !name || !gt::heap::isLive(file)) return FALSE;
    std::memcpy(name, file->szFileName, strnlen(file->szFileName, kMaxName));
    name[strnlen(file->szFileName, kMaxName)] = 0;
    return TRUE;
}

int GTAPI fuReadLine(LPGTLINEFILE file, LPSTR line) {
    clearError();
    if (!lf::isUsable(file)) {
        fail(Op::Read);
        return 0;
    }
    Reader reader;
    if (!startReader(file, reader)) {
        fail(Op::Read);
        return 0;
    }
    long start = reader.at;
    lf::Window own(kMaxBlock);
    lf::LineRead r = lf::readLine(windowFor(file, reader, own), start, line);
    noteLeft(file, moveTo(reader, start));
    if (!r.ok) {
        fail(Op::Read);
        return 0;
    }
    return r.length;
}

int GTAPI fuReadNLines(LPGTLINEFILE file, int count, LPSTR lines) {
    clearError();
    if (!lines || count < 1 || !lf::isUsable(file)) {
        fail(Op::Read);
        return 0;
    }
    *lines = 0;
    Reader reader;
    if (!startReader(file, reader)) {
        fail(Op::Read);
        return 0;
    }
    long pos = reader.at;
    lf::Window own(kMaxBlock);
    lf::Window& w = windowFor(file, reader, own);
    char* out = lines;
    for (int i = 0; i < count; ++i) {
        lf::LineRead r = lf::readLine(w, pos, out);
        if (!r.ok) {
            fail(Op::Read);
            break;
        }
        pos += r.length;
        out += r.stored + 1;
    }
    noteLeft(file, moveTo(reader, pos));
    return static_cast<int>(strlen(lines) & 0xFFFF);
}

LONG GTAPI fuReadFile(LPGTLINEFILE file, LPVOID buffer) {
    clearError();
    if (!lf::isUsable(file) || !buffer) {
        fail(Op::Read);
        return HFILE_ERROR;
    }
    LONG size = sizeOf(file);
    if (size == HFILE_ERROR) {
        fail(Op::Read);
        return HFILE_ERROR;
    }
    if (size == 0) return 0;
    LONG n = _hread(file->hFile, buffer, size);
    if (n == HFILE_ERROR) fail(Op::Read);
    return n;
}

LONG GTAPI fuReadFileEx(LPGTLINEFILE file, LPVOID buffer, LONG count) {
    clearError();
    if (!lf::isUsable(file) || !buffer || count <= 0) {
        fail(Op::Read);
        return 0;
    }
    LONG n = _hread(file->hFile, buffer, count);
    if (n == HFILE_ERROR) {
        fail(Op::Read);
        return 0;
    }
    return n;
}

LONG GTAPI fuWriteFile(LPGTLINEFILE file, LPCSTR text) {
    clearError();
    return writeAt(file, FILE_CURRENT, false, text, text ? static_cast<LONG>(std::strlen(text)) : 0);
}

LONG GTAPI fuWriteFileEx(LPGTLINEFILE file, int origin, LPCSTR text) {
    clearError();
    return writeAt(file, origin, true, text, text ? static_cast<LONG>(std::strlen(text)) : 0);
}

LONG GTAPI fuWriteFileExtended(LPGTLINEFILE file, int origin, LPCVOID data, LONG count) {
    clearError();
    return writeAt(file, origin, true, data, count);
}

LONG GTAPI fuGetFileSize(LPGTLINEFILE file) {
    clearError();
    LONG size = lf::isUsable(file) ? sizeOf(file) : HFILE_ERROR;
    if (size == HFILE_ERROR) fail(Op::Read);
    return size;
}

LONG GTAPI fuGetFileSizeEx(LPCSTR fileName) {
    clearError();
    LONG size = HFILE_ERROR;
    if (fileName && *fileName) {
        // The layer rewrites names it opens; the caller's stays as it is.
        std::string name(fileName);
        if (LPGTLINEFILE h = fuOpenFile(&name[0], OF_READ)) {
            size = fuGetFileSize(h);
            fuCloseFile(h);
        }
    }
    if (size == HFILE_ERROR) setError(FU_ERR_CLOSE);
    else clearError();
    return size;
}

LONG GTAPI fuGotoFileOffset(LPGTLINEFILE file, LONG offset, int origin) {
    clearError();
    LONG pos = lf::isUsable(file) && validOrigin(origin) ? seek(file, offset, origin) : HFILE_ERROR;
    if (pos == HFILE_ERROR) fail(Op::Seek);
    return pos;
}

LONG GTAPI fuGetCurFileOffset(LPGTLINEFILE file) { return fuGotoFileOffset(file, 0, FILE_CURRENT); }

LONG GTAPI fuGotoEndOfFile(LPGTLINEFILE file) { return fuGotoFileOffset(file, 0, FILE_END); }

LONG GTAPI fuGotoTopOfFile(LPGTLINEFILE file) { return fuGotoFileOffset(file, 0, FILE_BEGIN); }

LONG GTAPI fuGotoNextLine(LPGTLINEFILE file) {
    clearError();
    if (!lf::isUsable(file)) {
        fail(Op::Seek);
        return HFILE_ERROR;
    }
    Reader reader{fileOf(file), 0, false};
    long start = 0;
    if (HandleCache* c = cacheOf(file)) {
        // Step over the line where the pointer was left, if it is still there.
        lf::LineRead guess = c->left >= 0 ? lf::readLine(cacheOnly(c), c->left, nullptr) : lf::LineRead{};
        long step = guess.ok ? guess.length : 0;
        LONG at = stepBy(file, step);
        if (at == HFILE_ERROR && step) {  // the step would pass the largest position: ask instead
            step = 0;
            at = stepBy(file, 0);
        }
        if (at == HFILE_ERROR) {
            fail(Op::Seek);
            return HFILE_ERROR;
        }
        if (step && at == c->left + step) return c->left = at;
        reader = Reader{reader.file, at, true};
        start = at - step;
    }
    lf::Window own(kMaxBlock);
    lf::LineRead r = lf::readLine(windowFor(file, reader, own), start, nullptr);
    // On failure the position stays where the reader's last chunk left it.
    LONG to = moveTo(reader, r.ok ? start + r.length : r.endPos >= 0 ? r.endPos : reader.at);
    noteLeft(file, to);
    if (!r.ok || to == HFILE_ERROR) fail(Op::Seek);
    return to;
}

LONG GTAPI fuGotoPrevLine(LPGTLINEFILE file) {
    clearError();
    if (!lf::isUsable(file)) {
        fail(Op::Seek);
        return HFILE_ERROR;
    }
    LONG pos = HFILE_ERROR, at = HFILE_ERROR;
    if (HandleCache* c = cacheOf(file); c && c->left >= 0) {
        // Move to the line before the one where the pointer was left, if it is still there.
        long guess = lf::prevLinePosition(cacheOnly(c), c->left);
        at = guess >= 0 ? stepBy(file, guess - c->left) : HFILE_ERROR;
        if (at != HFILE_ERROR && at == guess) return c->left = at;
        if (at != HFILE_ERROR) pos = at - (guess - c->left);
    }
    if (pos == HFILE_ERROR) {
        // Stand where the scan's first read begins (one chunk back), which
        // also tells the position; near the start of the file, ask for it.
        at = stepBy(file, -lf::kChunkSize);
        pos = at == HFILE_ERROR ? (at = tell(file)) : at + lf::kChunkSize;
    }
    Reader reader{fileOf(file), at, true};
    lf::Window own(kMaxBlock);
    LONG to = pos == HFILE_ERROR ? -1 : lf::prevLinePosition(windowFor(file, reader, own), pos);
    LONG result = to < 0 ? HFILE_ERROR : moveTo(reader, to);
    if (result == HFILE_ERROR) {
        if (pos != HFILE_ERROR) seek(file, pos, FILE_BEGIN);
        fail(Op::Seek);
    }
    noteLeft(file, result);
    return result;
}

LONG GTAPI fuGetNoofLines(LPGTLINEFILE file) {
    clearError();
    if (!lf::isUsable(file)) return 0;
    LONG pos = tell(file);
    if (pos == HFILE_ERROR) return 0;
    Reader reader{fileOf(file), pos, true};
    lf::Window own(kMaxBlock);
    LONG count = lf::countLines(windowFor(file, reader, own));
    noteLeft(file, moveTo(reader, pos));
    return count;
}

LPVOID GTAPI fuGetFileData(LPCSTR fileName) {
    if (!fileName || !*fileName) return nullptr;
    std::string name(fileName);
    LPGTLINEFILE h = fuOpenFile(&name[0], OF_READ);
    if (!h) return nullptr;
    LONG size = fuGetFileSize(h);
    gt::Block block(size > 0 && size < 0x7FFFFFFF ? gtGlobalAllocPtr(GHND | GMEM_DDESHARE, static_cast<DWORD>(size) + 1) : nullptr);
    gt::ScopeGuard closeFile([h] { fuCloseFile(h); });
    bool read = block.get() && fuReadFileEx(h, block.get(), size) > 0;
    return read ? block.release() : nullptr;
}

BOOL GTAPI fuSetFileSize(LPGTLINEFILE file, LONG size) {
    clearError();
    if (!lf::isUsable(file)) return FALSE;
    LONG pos = tell(file);
    forget(file);
    _lclose(file->hFile);
    file->hFile = HFILE_ERROR;
    BOOL changed = FALSE;
    int fd = _open(file->szFileName, _O_RDWR | _O_BINARY);
    if (fd != -1) {
        changed = size >= 0 && _chsize(fd, size) == 0;
        _close(fd);
    }
    // Reopen as the caller opened it, but never with "create": that would
    // empty the file just resized.
    OFSTRUCT ofs;
    file->hFile = openWith(file->szFileName, file->uOpenFlags & ~kOfCreate, ofs);
    if (file->hFile != HFILE_ERROR) {
        LONG newSize = seek(file, 0, FILE_END);
        seek(file, pos != HFILE_ERROR && pos <= newSize ? pos : 0, FILE_BEGIN);
    }
    return changed;
}

}  // extern "C"
