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

int g_error = FU_ERR_NONE;

// Every operation but the three readers of state starts from "no error".
inline void clearError() { g_error = FU_ERR_NONE; }
inline void setError(int code) { g_error = code; }
inline void fail(Op op) { setError(lf::failureCode(op)); }

constexpr UINT kOfCreate = OF_CREATE;
constexpr size_t kMaxName = 128;
// Blocks of the line counter; single-line operations start at one chunk.
constexpr size_t kCountBlock = 256 * 1024;
constexpr size_t kLineBlock = 64 * 1024;

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
LPGTLINEFILE makeRecord(gt::Hfile& file, const OFSTRUCT& ofs, UINT flags) {
    auto* rec = static_cast<LPGTLINEFILE>(gtGlobalAllocPtr(GHND, sizeof(GTLINEFILE)));
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
    return rec;
}

inline LONG seek(const GTLINEFILE* h, LONG offset, int origin) { return _llseek(h->hFile, offset, origin); }
inline LONG tell(const GTLINEFILE* h) { return seek(h, 0, FILE_CURRENT); }

// Start of a line operation: clears the error code and gives the handle's
// position, or HFILE_ERROR (with op's failure code) for an unusable handle.
LONG startPosition(const GTLINEFILE* file, Op op) {
    clearError();
    LONG pos = lf::isUsable(file) ? tell(file) : HFILE_ERROR;
    if (pos == HFILE_ERROR) fail(op);
    return pos;
}

long readAt(void* ctx, long offset, char* dst, long count) {
    auto* h = static_cast<const GTLINEFILE*>(ctx);
    if (seek(h, offset, FILE_BEGIN) != offset) return -1;
    UINT got = _lread(h->hFile, dst, static_cast<UINT>(count));
    return got == static_cast<UINT>(HFILE_ERROR) ? -1 : static_cast<long>(got);
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
    LONG pos = startPosition(file, Op::Read);
    if (pos == HFILE_ERROR) return 0;
    lf::Window w(&readAt, file, kLineBlock);
    lf::LineRead r = lf::readLine(w, pos, line);
    seek(file, pos, FILE_BEGIN);
    if (!r.ok) {
        fail(Op::Read);
        return 0;
    }
    return r.length;
}

int GTAPI fuReadNLines(LPGTLINEFILE file, int count, LPSTR lines) {
    LONG pos = startPosition(lines && count >= 1 ? file : nullptr, Op::Read);
    if (pos == HFILE_ERROR) return 0;
    *lines = 0;
    lf::Window w(&readAt, file, kLineBlock);
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
    seek(file, pos, FILE_BEGIN);
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
    LONG pos = startPosition(file, Op::Seek);
    if (pos == HFILE_ERROR) return HFILE_ERROR;
    lf::Window w(&readAt, file, kLineBlock);
    lf::LineRead r = lf::readLine(w, pos, nullptr);
    if (r.ok) return seek(file, pos + r.length, FILE_BEGIN);
    fail(Op::Seek);
    // The position stays where the reader's last chunk left it.
    if (r.endPos >= 0) seek(file, r.endPos, FILE_BEGIN);
    return tell(file);
}

LONG GTAPI fuGotoPrevLine(LPGTLINEFILE file) {
    clearError();
    if (!lf::isUsable(file)) {
        fail(Op::Seek);
        return HFILE_ERROR;
    }
    LONG pos = tell(file);
    LONG to = pos == HFILE_ERROR ? -1 : lf::prevLinePosition(&readAt, file, pos);
    LONG result = to < 0 ? HFILE_ERROR : seek(file, to, FILE_BEGIN);
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
    lf::Window w(&readAt, file, kCountBlock);
    LONG count = lf::countLines(w);
    seek(file, pos, FILE_BEGIN);
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
