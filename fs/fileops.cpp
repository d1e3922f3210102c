// File operations: existence, attributes, dates, delete, rename, copies,
// appends, extraction and temporary names.
//
// Every operation that writes a destination writes beside it and replaces it
// only when the new content is complete and verified, so a failure (full
// disk, read-only file, a cancelling callback, a source that shrinks) leaves
// what was there before.  Buffers belong to the call, so two threads may copy
// at once.
#include "fs/fileops.h"

#include <cstdio>
#include <cstring>

#include "frame/errormode.h"
#include "frame/owners.h"
#include "fs/findfile.h"
#include "fs/pathnames.h"
#include "linefile/linefile.h"
#include "text/mbchar.h"

namespace gt::fileops {

bool isDotEntry(const char* name) {
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

// --- temporary names -------------------------------------------------------

namespace {

// The first `count` characters of text, never half a double-byte one.
std::string firstChars(const char* text, int count) {
    const char* end = text;
    for (int i = 0; i < count && *end; ++i) end = mb::next(end);
    return std::string(text, end);
}

}  // namespace

std::string tempPrefix(const char* prefix) { return prefix ? firstChars(prefix, 2) : std::string(); }

std::string tempExtension(const char* extension) {
    if (!extension || !*extension) return std::string();
    if (*extension == '.') return firstChars(extension, 4);
    return "." + firstChars(extension, 3);
}

std::string tempName(const std::string& prefix, DWORD counter, const std::string& extension) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%lX", static_cast<unsigned long>(counter));
    return prefix + hex + extension;
}

// --- progress record -------------------------------------------------------

DWORD progressField(uint64_t count) { return count > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<DWORD>(count); }

// --- keep-lists --------------------------------------------------------------

bool isKept(const char* keepList, const char* name, const char* shortName) {
    if (!keepList) return false;
    for (const char* slot = keepList; *slot; slot += kKeepSlot) {
        // A slot that fills its whole width has no terminator of its own.
        char entry[kKeepSlot + 1] = {};
        std::memcpy(entry, slot, strnlen(slot, kKeepSlot));
        if (name && *name && !lstrcmpiA(entry, name)) return true;
        if (shortName && *shortName && !lstrcmpiA(entry, shortName)) return true;
    }
    return false;
}

// --- directory chains --------------------------------------------------------

size_t chainStart(const char* path) {
    if (path[0] == '\\' && path[1] == '\\') {
        int seen = 0;
        for (const char* p = path; *p; p = mb::next(p)) {
            if (*p == '\\' && ++seen == 4) return static_cast<size_t>(p - path) + 1;
        }
        return std::string::npos;
    }
    if (path[0] && path[1] == ':' && !mb::isLead(static_cast<unsigned char>(path[0]))) {
        return path[2] == '\\' ? 3 : 2;
    }
    return path[0] == '\\' ? 1 : 0;
}

bool dirChain(const char* path, std::vector<std::string>& levels) {
    levels.clear();
    const size_t len = std::strlen(path);
    if (len == 0 || len >= MAX_PATH) return false;
    std::string copy(path);
    if (const char* last = path::lastBackslash(copy.c_str()); last && last[1] == 0 && copy.size() > 1) {
        copy.pop_back();
    }
    const size_t start = chainStart(copy.c_str());
    if (start == std::string::npos || start >= copy.size()) return false;
    for (const char* p = copy.c_str() + start;; p = mb::next(p)) {
        if (*p == '\\' || *p == 0) {
            const size_t cut = static_cast<size_t>(p - copy.c_str());
            // Doubled backslashes name no new level.
            if (cut > start && copy[cut - 1] != '\\') levels.push_back(copy.substr(0, cut));
        }
        if (*p == 0) break;
    }
    return !levels.empty();
}

// --- entry names ---------------------------------------------------------------

bool hasRealShortName(const GTFINDDATA& fd) {
    if (!fd.szShortName[0]) return false;
    const size_t longLen = std::strlen(fd.szName);
    return longLen < sizeof fd.szShortName || std::strncmp(fd.szShortName, fd.szName, sizeof fd.szShortName - 1) != 0;
}

const char* reachableName(const std::string& dir, const GTFINDDATA& fd, size_t tail) {
    if (dir.size() + std::strlen(fd.szName) + tail < MAX_PATH) return fd.szName;
    if (hasRealShortName(fd) && dir.size() + std::strlen(fd.szShortName) + tail < MAX_PATH) return fd.szShortName;
    return nullptr;
}

// --- file steps ----------------------------------------------------------------

bool deleteEntry(const char* path, bool directory) {
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    return deleteEntry(path, directory, attributes);
}

bool deleteEntry(const char* path, bool directory, DWORD attributes) {
    // A link goes as it is: its attributes may be its target's, which lies
    // outside what is being deleted.  Where the platform does not remove a
    // link to a directory as a directory, it is tried as a file.
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        return (directory && RemoveDirectoryA(path)) || DeleteFileA(path);
    }
    // Only the bits that stand in the way are cleared (and put back).
    const DWORD protective = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    const bool cleared = (attributes & protective) && SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    const bool ok = directory ? RemoveDirectoryA(path) != FALSE : DeleteFileA(path) != FALSE;
    if (!ok && cleared) {
        const DWORD error = GetLastError();
        SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_DIRECTORY);
        SetLastError(error);
    }
    return ok;
}

namespace {

struct FileIdentity {
    DWORD volume, high, low;
    char finalPath[MAX_PATH];
};

bool identityOf(const char* path, FileIdentity& id) {
    FileHandle h(CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!h || !GetFileInformationByHandle(h.get(), &info)) return false;
    id.volume = info.dwVolumeSerialNumber;
    id.high = info.nFileIndexHigh;
    id.low = info.nFileIndexLow;
    const DWORD n = GetFinalPathNameByHandleA(h.get(), id.finalPath, MAX_PATH, 0);
    if (n == 0 || n >= MAX_PATH) id.finalPath[0] = 0;
    return true;
}

bool fullName(const char* path, char (&out)[MAX_PATH]) {
    const DWORD n = GetFullPathNameA(path, MAX_PATH, out, nullptr);
    return n > 0 && n < MAX_PATH;
}

}  // namespace

bool sameFile(const char* a, const char* b) {
    char fa[MAX_PATH], fb[MAX_PATH];
    if (fullName(a, fa) && fullName(b, fb) && !lstrcmpiA(fa, fb)) return true;
    FileIdentity ia{}, ib{};
    if (!identityOf(a, ia) || !identityOf(b, ib)) return false;
    if (ia.finalPath[0] && !lstrcmpiA(ia.finalPath, ib.finalPath)) return true;
    // File indexes are only comparable within a volume that has a serial
    // number (file systems without one repeat the same small numbers).
    return ia.volume != 0 && ia.volume == ib.volume && ia.high == ib.high && ia.low == ib.low;
}

}  // namespace gt::fileops

namespace fo = gt::fileops;

namespace {

bool sizeOf(const char* path, uint64_t& size) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return false;
    size = (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return true;
}

bool sizeOf(HANDLE h, uint64_t& size) {
    LARGE_INTEGER li;
    if (!GetFileSizeEx(h, &li)) return false;
    size = static_cast<uint64_t>(li.QuadPart);
    return true;
}

// Room for `size` more bytes on the destination's drive.  Network names are
// not asked (the share answers for itself when written).
bool roomFor(const char* destination, uint64_t size) {
    if (size == 0) return true;
    char full[MAX_PATH];
    const DWORD n = GetFullPathNameA(destination, MAX_PATH, full, nullptr);
    if (n == 0 || n >= MAX_PATH) return false;
    if (gtIsUNCName(full) || full[1] != ':') return true;
    return gtIsDiskSpaceAvailable(full[0], static_cast<LONGLONG>(size)) != FALSE;
}

// Attributes passed when a file is opened for its date and time (the
// platform ignores them for an existing file).
constexpr DWORD kStampOpenAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

bool readDosStamp(HANDLE h, WORD& date, WORD& time) {
    FILETIME written;
    return GetFileTime(h, nullptr, nullptr, &written) && FileTimeToDosDateTime(&written, &date, &time);
}

bool writeDosStamp(HANDLE h, WORD date, WORD time) {
    FILETIME ft;
    return DosDateTimeToFileTime(date, time, &ft) && SetFileTime(h, &ft, &ft, &ft);
}

// A new, empty file in the destination's directory that the new content
// goes into; empty when there is none to be had.
std::string besideName(const char* destination) {
    char full[MAX_PATH];
    const DWORD n = GetFullPathNameA(destination, MAX_PATH, full, nullptr);
    if (n == 0 || n >= MAX_PATH) return std::string();
    const char* slash = gt::path::lastBackslash(full);
    if (!slash) return std::string();
    const std::string dir(static_cast<const char*>(full), slash + 1);
    char temp[MAX_PATH];
    if (!GetTempFileNameA(dir.c_str(), "gt~", 0, temp)) return std::string();
    return temp;
}

// Puts the finished file in the destination's place in one step; a
// read-only destination is replaced too.  On failure the destination keeps
// its content and attributes.
bool replaceWith(const std::string& finished, const char* destination) {
    const DWORD before = GetFileAttributesA(destination);
    if (before != INVALID_FILE_ATTRIBUTES) {
        if (before & FILE_ATTRIBUTE_DIRECTORY) return false;
        const DWORD inTheWay = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        if (before & inTheWay) SetFileAttributesA(destination, before & ~inTheWay);
    }
    if (MoveFileExA(finished.c_str(), destination, MOVEFILE_REPLACE_EXISTING)) return true;
    if (before != INVALID_FILE_ATTRIBUTES) SetFileAttributesA(destination, before);
    return false;
}

// A copy buffer of the call's own: a library block of up to `want` bytes, or
// a small one inside the object when no block can be had.
class CopyBuffer {
public:
    explicit CopyBuffer(DWORD want) {
        DWORD size = want < fo::kCopyBufferRequest ? want : fo::kCopyBufferRequest;
        if (size < fo::kCopyBufferMinimum) size = fo::kCopyBufferMinimum;
        block_.reset(gtGlobalAllocPtrEx(fo::kBlockFlags, fo::kCopyBufferMinimum, &size));
        data_ = block_ ? static_cast<char*>(block_.get()) : fallback_;
        size_ = block_ ? size : sizeof fallback_;
    }
    char* data() { return data_; }
    DWORD size() const { return size_; }

private:
    gt::Block block_;
    char fallback_[fo::kFallbackBufferSize];
    char* data_;
    DWORD size_;
};

bool writeAll(HANDLE h, const char* data, DWORD n) {
    DWORD written = 0;
    return WriteFile(h, data, n, &written, nullptr) && written == n;
}

HANDLE openForReading(const char* path) {
    return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

HANDLE openForWriting(const char* path) {
    return CreateFileA(path, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool isNamed(LPCSTR name) { return name && *name && std::strlen(name) < MAX_PATH; }

// The buffered copy, the append and the extraction never wrote over a
// read-only file; they still refuse one (checked here: a process with
// administrative rights could otherwise open it for writing).
bool isReadOnly(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

// Directory and name of an entry found by a pattern's search.
std::string entryPath(const GTSPLITPATH& split, const GTFINDDATA& fd) {
    const char* name = fo::reachableName(split.szDriveDir, fd, 0);
    return name ? std::string(split.szDriveDir) + name : std::string();
}

}  // namespace

extern "C" {

BOOL GTAPI gtIsFileExist(LPCSTR name) {
    if (!name || !*name) return FALSE;
    gt::ErrorModeScope quiet(fo::kQuietErrorMode);
    HANDLE search = gtFindFirst(name, nullptr, fo::kMaskAll);
    if (!search) return FALSE;
    gtFindClose(search);
    return TRUE;
}

BOOL GTAPI gtIsFileExistEx(LPCSTR path) {
    if (!isNamed(path)) return FALSE;
    char copy[MAX_PATH];
    gt::mb::copyToBuffer(copy, sizeof copy, path);
    GTSPLITPATH split;
    if (!gtSplitPath(copy, &split) || !split.szNameExt[0]) return FALSE;
    char found[MAX_PATH];
    const DWORD n = SearchPathA(nullptr, split.szNameExt, nullptr, MAX_PATH, found, nullptr);
    return n > 0 && n < MAX_PATH;
}

LPSTR GTAPI gtFindFileInPath(LPCSTR name, LPSTR output) {
    if (!isNamed(name)) return nullptr;
    char found[MAX_PATH];
    const DWORD n = SearchPathA(nullptr, name, nullptr, MAX_PATH, found, nullptr);
    if (n == 0 || n >= MAX_PATH) return nullptr;
    if (!output) output = static_cast<LPSTR>(gtGlobalAllocPtr(fo::kCallerBlockFlags, MAX_PATH + 1));
    if (output) lstrcpyA(output, found);
    return output;
}

BOOL GTAPI gtSetFileAttributes(LPCSTR pattern, DWORD attributes) {
    if (!isNamed(pattern)) return FALSE;
    char copy[MAX_PATH];
    gt::mb::copyToBuffer(copy, sizeof copy, pattern);
    GTSPLITPATH split;
    if (!gtSplitPath(copy, &split)) return FALSE;
    GTFINDDATA fd;
    HANDLE search = gtFindFirst(split.szPath, &fd, fo::kMaskAll);
    if (!search) return FALSE;
    BOOL matched = FALSE;
    do {
        if (fo::isDotEntry(fd.szName)) continue;
        matched = TRUE;
        const std::string path = entryPath(split, fd);
        if (!path.empty()) SetFileAttributesA(path.c_str(), attributes);
    } while (gtFindNext(search, &fd, fo::kMaskAll));
    gtFindClose(search);
    return matched;
}

BOOL GTAPI gtGetFileDateTime(LPCSTR path, LPWORD date, LPWORD time) {
    if (!isNamed(path) || !date || !time) return FALSE;
    gt::FileHandle h(CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, kStampOpenAttributes, nullptr));
    WORD d = 0, t = 0;
    if (!h || !readDosStamp(h.get(), d, t)) return FALSE;
    *date = d;
    *time = t;
    return TRUE;
}

BOOL GTAPI gtSetFileDateTime(LPCSTR path, WORD date, WORD time) {
    if (!isNamed(path)) return FALSE;
    FILETIME ft;
    if (!DosDateTimeToFileTime(date, time, &ft)) return FALSE;
    gt::FileHandle h(CreateFileA(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, kStampOpenAttributes, nullptr));
    return h && SetFileTime(h.get(), &ft, &ft, &ft);
}

// Clears only the named file's attributes (never a pattern's matches) and
// puts them back when the deletion fails.
BOOL GTAPI gtDeleteFile(LPCSTR path) {
    if (!path || !*path) return FALSE;
    DWORD attributes = 0;
    if (!gtGetFileAttributes(path, &attributes) || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return DeleteFileA(path);
    }
    return fo::deleteEntry(path, false) ? TRUE : FALSE;
}

BOOL GTAPI gtRenameFile(LPCSTR oldPath, LPCSTR newPath) {
    if (!isNamed(oldPath) || !isNamed(newPath)) return FALSE;
    return MoveFileA(oldPath, newPath) ? TRUE : FALSE;
}

BOOL GTAPI gtCopyFile(LPCSTR destination, LPCSTR source) {
    if (!isNamed(destination) || !isNamed(source)) return FALSE;
    if (!gtIsFileExist(source) || fo::sameFile(destination, source)) return FALSE;
    uint64_t size = 0;
    if (!sizeOf(source, size) || !roomFor(destination, size)) return FALSE;
    std::string beside = besideName(destination);
    if (beside.empty()) return FALSE;
    gt::ScopeGuard removeBeside([&] { fo::deleteEntry(beside.c_str(), false); });
    if (!CopyFileA(source, beside.c_str(), FALSE)) return FALSE;
    uint64_t copied = 0;
    if (!sizeOf(beside.c_str(), copied) || copied != size || !replaceWith(beside, destination)) return FALSE;
    removeBeside.dismiss();
    _flushall();
    return TRUE;
}

BOOL GTAPI gtCopyFileEx(LPCSTR destination, LPCSTR source, GTCOPYPROC progress, DWORD user) {
    if (!isNamed(destination) || !isNamed(source)) return FALSE;
    gt::ErrorModeScope quiet(fo::kQuietErrorMode);
    gt::FileHandle in(openForReading(source));
    uint64_t size = 0;
    WORD date = 0, time = 0;
    const DWORD attributes = GetFileAttributesA(source);
    if (!in || !sizeOf(in.get(), size) || !readDosStamp(in.get(), date, time)) return FALSE;
    // An empty source is a failed copy, as it always was; the destination
    // stays as it is.
    if (size == 0 || isReadOnly(destination) || fo::sameFile(destination, source) || !roomFor(destination, size)) {
        return FALSE;
    }

    const std::string beside = besideName(destination);
    if (beside.empty()) return FALSE;
    gt::ScopeGuard removeBeside([&] { fo::deleteEntry(beside.c_str(), false); });
    CopyBuffer buffer(fo::kCopyBufferRequest);
    GTCOPYPROGRESS record{};
    record.pszDestination = destination;
    record.pszSource = source;
    record.dwSourceSize = fo::progressField(size);
    record.pBuffer = buffer.data();
    record.wSourceDate = date;
    record.wSourceTime = time;
    auto goOn = [&](UINT message) { return !progress || progress(message, &record, user) != 0; };
    {
        gt::FileHandle out(openForWriting(beside.c_str()));
        if (!out || !goOn(GTCOPY_START)) return FALSE;
        uint64_t read = 0, written = 0;
        for (;;) {
            DWORD got = 0;
            if (!ReadFile(in.get(), buffer.data(), buffer.size(), &got, nullptr)) return FALSE;
            if (got == 0) break;
            read += got;
            record.dwLastBlock = got;
            record.dwBytesRead = fo::progressField(read);
            if (!goOn(GTCOPY_PROGRESS) || !writeAll(out.get(), buffer.data(), got)) return FALSE;
            written += got;
            record.dwBytesWritten = fo::progressField(written);
            if (!goOn(GTCOPY_PROGRESS)) return FALSE;
        }
        // A source that shrank or grew while it was read is not a copy of it.
        if (written != size || !writeDosStamp(out.get(), date, time)) return FALSE;
    }
    uint64_t copied = 0;
    if (!sizeOf(beside.c_str(), copied) || copied != size) return FALSE;
    if (attributes != INVALID_FILE_ATTRIBUTES) SetFileAttributesA(beside.c_str(), attributes);
    if (!replaceWith(beside, destination)) return FALSE;
    removeBeside.dismiss();
    if (progress) progress(GTCOPY_DONE, &record, user);
    return TRUE;
}

BOOL GTAPI gtCatFile(LPCSTR destination, LPCSTR source, BOOL deleteSource) {
    if (!isNamed(destination) || !isNamed(source)) return FALSE;
    gt::ErrorModeScope quiet(fo::kQuietErrorMode);
    gt::FileHandle in(openForReading(source));
    uint64_t size = 0;
    WORD date = 0, time = 0;
    if (!in || !sizeOf(in.get(), size) || !readDosStamp(in.get(), date, time)) return FALSE;
    if (isReadOnly(destination) || fo::sameFile(destination, source)) return FALSE;

    bool created = false;
    gt::FileHandle out(CreateFileA(destination, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out && GetLastError() == ERROR_FILE_NOT_FOUND) {
        out.reset(CreateFileA(destination, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
        created = out.valid();
    }
    uint64_t former = 0;
    FILETIME times[3];
    if (!out || !sizeOf(out.get(), former) || !GetFileTime(out.get(), &times[0], &times[1], &times[2])) return FALSE;
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(former);
    bool ok = SetFilePointerEx(out.get(), end, nullptr, FILE_BEGIN) != FALSE;

    CopyBuffer buffer(fo::kCopyBufferRequest);
    uint64_t appended = 0;
    while (ok) {
        DWORD got = 0;
        if (!ReadFile(in.get(), buffer.data(), buffer.size(), &got, nullptr)) ok = false;
        else if (got == 0) break;
        else if (!writeAll(out.get(), buffer.data(), got)) ok = false;
        else appended += got;
    }
    uint64_t now = 0;
    ok = ok && appended == size && FlushFileBuffers(out.get()) && sizeOf(out.get(), now) && now == former + size;
    if (!ok) {
        // Back to the former size and content (a new destination goes).
        if (created) {
            out.reset();
            fo::deleteEntry(destination, false);
        } else {
            SetFilePointerEx(out.get(), end, nullptr, FILE_BEGIN);
            SetEndOfFile(out.get());
            SetFileTime(out.get(), &times[0], &times[1], &times[2]);
        }
        return FALSE;
    }
    writeDosStamp(out.get(), date, time);
    out.reset();
    in.reset();
    if (deleteSource == TRUE) gtDeleteFile(source);
    // Appending an empty source changes nothing and reports FALSE, as it
    // always did.
    return size > 0 ? TRUE : FALSE;
}

BOOL GTAPI gtExtractAndCopy(LPGTLINEFILE file, LONG offset, LONG count, LPCSTR destination) {
    if (!isNamed(destination) || count <= 0 || !gt::linefile::isUsable(file) || isReadOnly(destination)) return FALSE;
    if (!roomFor(destination, static_cast<uint64_t>(count))) return FALSE;
    if (file->szFileName[0] && fo::sameFile(destination, file->szFileName)) return FALSE;
    const LONG position = _llseek(file->hFile, 0, FILE_CURRENT);
    if (position == HFILE_ERROR) return FALSE;
    gt::ScopeGuard restore([&] { _llseek(file->hFile, position, FILE_BEGIN); });
    if (offset != -1 && _llseek(file->hFile, offset, FILE_BEGIN) == HFILE_ERROR) return FALSE;

    const std::string beside = besideName(destination);
    if (beside.empty()) return FALSE;
    gt::ScopeGuard removeBeside([&] { fo::deleteEntry(beside.c_str(), false); });
    {
        gt::FileHandle out(openForWriting(beside.c_str()));
        if (!out) return FALSE;
        CopyBuffer buffer(static_cast<DWORD>(count));
        LONG left = count;
        while (left > 0) {
            const LONG want = left < static_cast<LONG>(buffer.size()) ? left : static_cast<LONG>(buffer.size());
            const LONG got = _hread(file->hFile, buffer.data(), want);
            if (got == HFILE_ERROR) return FALSE;
            if (got == 0) break;
            if (!writeAll(out.get(), buffer.data(), static_cast<DWORD>(got))) return FALSE;
            left -= got;
        }
        if (left != 0 || !FlushFileBuffers(out.get())) return FALSE;
    }
    uint64_t copied = 0;
    if (!sizeOf(beside.c_str(), copied) || copied != static_cast<uint64_t>(count)) return FALSE;
    if (!replaceWith(beside, destination)) return FALSE;
    removeBeside.dismiss();
    return TRUE;
}

LPSTR GTAPI gtCreateTempFile(LPCSTR directory, LPCSTR prefix, LPCSTR extension, LPSTR output, int outputSize,
                             BOOL fullPath, BOOL makeFile) {
    if (!output || outputSize < 1) return nullptr;
    std::string base;
    if (directory && *directory) {
        if (std::strlen(directory) >= MAX_PATH || !gtCreateDirEx(directory)) return nullptr;
        base = directory;
        if (!gtHasTrailingSlash(base.c_str())) base += '\\';
    }
    const std::string pre = fo::tempPrefix(prefix), ext = fo::tempExtension(extension);
    for (DWORD counter = 0; counter <= fo::kLastTempCounter; ++counter) {
        const std::string name = fo::tempName(pre, counter, ext);
        const std::string full = base + name;
        const std::string& shown = fullPath == TRUE ? full : name;
        // A name the caller cannot be given is not created.
        if (full.size() >= MAX_PATH || shown.size() >= static_cast<size_t>(outputSize)) return nullptr;
        if (GetFileAttributesA(full.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
        bool made;
        if (makeFile == TRUE) {
            gt::FileHandle h(CreateFileA(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                         nullptr));
            made = h.valid();
        } else {
            made = CreateDirectoryA(full.c_str(), nullptr) != FALSE;
        }
        if (made) {
            lstrcpyA(output, shown.c_str());
            return output;
        }
        // Only a name taken in the meantime moves on; any other refusal
        // (no such directory, no room, no rights) would refuse every name.
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS &&
            GetFileAttributesA(full.c_str()) == INVALID_FILE_ATTRIBUTES) {
            return nullptr;
        }
    }
    return nullptr;
}

}  // extern "C"
