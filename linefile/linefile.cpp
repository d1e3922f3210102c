// The fu exports: handles over the 16-bit-compatible file calls, line
// navigation and byte access, and the layer's process-wide error code.
#include <fcntl.h>
#include <io.h>

#include <cstring>
#include <string>
#include <vector>

#include "frame/owners.h"
#include "gtapi32.h"
#include "linefile/linefile.h"
#include "text/blockheap.h"

namespace lf = gt::linefile;
using lf::Op;

namespace {

int g_error = lf::kNoError;

// Every operation but the three readers of state starts from "no error".
inline void clearError() { g_error = lf::kNoError; }
inline void setError(int code) { g_error = code; }
inline void fail(Op op) { setError(lf::failureCode(op)); }

constexpr UINT kOfCreate = OF_CREATE;
constexpr size_t kMaxName = 128;
// Largest block a line operation reads at once.
constexpr size_t kMaxBlock = 256 * 1024;

// Owns a file handle from OpenFile until it is handed to a record.
class OpenedFile {
public:
    OpenedFile() = default;
    explicit OpenedFile(HFILE h) : h_(h) {}
    ~OpenedFile() {
        if (h_ != HFILE_ERROR) _lclose(h_);
    }
    OpenedFile(const OpenedFile&) = delete;
    OpenedFile& operator=(const OpenedFile&) = delete;
    HFILE get() const { return h_; }
    HFILE release() {
        HFILE h = h_;
        h_ = HFILE_ERROR;
        return h;
    }

private:
    HFILE h_ = HFILE_ERROR;
};

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

// Allocates the record for an opened file; on failure closes it (error 1002).
LPGTLINEFILE makeRecord(OpenedFile& file, const OFSTRUCT& ofs, UINT flags) {
    auto* rec = static_cast<LPGTLINEFILE>(gtGlobalAllocPtr(0x42, sizeof(GTLINEFILE)));
    if (!rec) {
        setError(lf::kNoMemory);
        return nullptr;  // `file` closes it
    }
    size_t n = strnlen(ofs.szPathName, sizeof(ofs.szPathName));
    if (n > kMaxName) n = kMaxName;
    std::memcpy(rec->szFileName, ofs.szPathName, n);
    rec->szFileName[n] = 0;
    rec->uOpenFlags = flags;
    rec->fFixedDisk = ofs.fFixedDisk;
    rec->hFile = file.release();
    return rec;
}

inline LONG seek(const GTLINEFILE* h, LONG offset, int origin) { return _llseek(h->hFile, offset, origin); }
inline LONG tell(const GTLINEFILE* h) { return seek(h, 0, FILE_CURRENT); }

// --- reading for the line operations -------------------------------------------
//
// Nothing read is kept from one call to the next.  The file position lives in
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

// A line operation's window over the file, reading through `r`.
struct LineWindow {
    explicit LineWindow(Reader& r) : w(kMaxBlock) { w.bind(&readAt, &r); }
    lf::Window w;
};

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
        OpenedFile created(openWith(fileName, kOfCreate, ofs));
        if (created.get() == HFILE_ERROR) {
            setError(ofs.nErrCode);
            return nullptr;
        }
    }
    OpenedFile file(openWith(fileName, openFlags, ofs));
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
        setError(lf::kNameTooLong);
        return nullptr;
    }
    OFSTRUCT ofs;
    // Opening for writing alone creates (or empties) the file.
    UINT flags = openFlags == OF_WRITE ? (openFlags | kOfCreate) : openFlags;
    OpenedFile file(openWith(fileName, flags, ofs));
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
    Reader reader{fileOf(file), 0, false};
    LineWindow lw(reader);
    lf::LineRead r = lf::readLine(lw.w, 0, line);
    moveTo(reader, 0);
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
    Reader reader{fileOf(file), 0, false};
    LineWindow lw(reader);
    long pos = 0;
    char* out = lines;
    for (int i = 0; i < count; ++i) {
        lf::LineRead r = lf::readLine(lw.w, pos, out);
        if (!r.ok) {
            fail(Op::Read);
            break;
        }
        pos += r.length;
        out += r.stored + 1;
    }
    moveTo(reader, pos);
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
    if (size == HFILE_ERROR) setError(lf::kCloseFailed);
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
    LineWindow lw(reader);
    lf::LineRead r = lf::readLine(lw.w, 0, nullptr);
    if (r.ok) {
        LONG to = moveTo(reader, r.length);
        if (to == HFILE_ERROR) fail(Op::Seek);
        return to;
    }
    fail(Op::Seek);
    // The position stays where the reader's last chunk left it.
    return moveTo(reader, r.endPos >= 0 ? r.endPos : reader.at);
}

LONG GTAPI fuGotoPrevLine(LPGTLINEFILE file) {
    clearError();
    if (!lf::isUsable(file)) {
        fail(Op::Seek);
        return HFILE_ERROR;
    }
    LONG pos = tell(file);
    Reader reader{fileOf(file), pos, true};
    LineWindow lw(reader);
    LONG to = pos == HFILE_ERROR ? -1 : lf::prevLinePosition(lw.w, pos);
    LONG result = to < 0 ? HFILE_ERROR : moveTo(reader, to);
    if (result == HFILE_ERROR) {
        if (pos != HFILE_ERROR) seek(file, pos, FILE_BEGIN);
        fail(Op::Seek);
    }
    return result;
}

LONG GTAPI fuGetNoofLines(LPGTLINEFILE file) {
    clearError();
    if (!lf::isUsable(file)) return 0;
    LONG pos = tell(file);
    if (pos == HFILE_ERROR) return 0;
    Reader reader{fileOf(file), pos, true};
    LineWindow lw(reader);
    LONG count = lf::countLines(lw.w);
    moveTo(reader, pos);
    return count;
}

LPVOID GTAPI fuGetFileData(LPCSTR fileName) {
    if (!fileName || !*fileName) return nullptr;
    std::string name(fileName);
    LPGTLINEFILE h = fuOpenFile(&name[0], OF_READ);
    if (!h) return nullptr;
    LONG size = fuGetFileSize(h);
    gt::Block block(size > 0 && size < 0x7FFFFFFF ? gtGlobalAllocPtr(0x2042, static_cast<DWORD>(size) + 1) : nullptr);
    bool read = block.get() && fuReadFileEx(h, block.get(), size) > 0;
    fuCloseFile(h);
    return read ? block.release() : nullptr;
}

BOOL GTAPI fuSetFileSize(LPGTLINEFILE file, LONG size) {
    clearError();
    if (!lf::isUsable(file)) return FALSE;
    LONG pos = tell(file);
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
