// Directories: creation of single levels and whole chains, removal,
// emptiness, current directories, counts, the two walks, sizes, one entry's
// information and the deletion walks.
//
// Every path buffer belongs to the call (the walks keep theirs per level),
// so walks on several threads do not share state.  Walks never descend into
// a directory link: a deletion walk removes the link and leaves its target.
#include <direct.h>

#include <cstring>
#include <string>
#include <vector>

#include "frame/errormode.h"
#include "frame/frame.h"
#include "frame/owners.h"
#include "fs/fileops.h"
#include "fs/findfile.h"
#include "fs/pathnames.h"
#include "text/mbchar.h"

namespace fo = gt::fileops;

namespace {

// String 28034 of the library: "Deleting %s files" and its translations.
constexpr UINT kDeletingText = 28034;
constexpr int kStatusTextSize = 1024;

bool isNamed(LPCSTR name) { return name && *name && std::strlen(name) < MAX_PATH; }

bool isDirectory(const GTFINDDATA& fd) { return (fd.dwAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
bool isLink(const GTFINDDATA& fd) { return (fd.dwAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

// The pattern split into its drive-and-directory and name parts.
bool splitPattern(LPCSTR pattern, GTSPLITPATH& split) {
    char copy[MAX_PATH];
    gt::mb::copyToBuffer(copy, sizeof copy, pattern);
    return gtSplitPath(copy, &split) != FALSE;
}

int walkFiles(const char* pattern, GTENUMPROC proc, BOOL recurse, DWORD user) {
    GTSPLITPATH split;
    if (!splitPattern(pattern, split)) return 0;
    GTFINDDATA fd;
    HANDLE search = gtFindFirst(split.szPath, &fd, fo::kMaskAll);
    if (!search) return recurse;
    gt::ScopeGuard endSearch([search] { gtFindClose(search); });
    // A level of nothing but "." and ".." keeps an enclosing walk going.
    int result = recurse;
    do {
        if (fo::isDotEntry(fd.szName)) continue;
        if (recurse && isDirectory(fd) && !isLink(fd)) {
            const size_t tail = 1 + std::strlen(split.szNameExt);
            if (const char* name = fo::reachableName(split.szDriveDir, fd, tail)) {
                fd.bDirReport = 1;
                result = proc(split.szDriveDir, &fd, user);
                if (!result) return result;
                const std::string inner = std::string(split.szDriveDir) + name + "\\" + split.szNameExt;
                result = walkFiles(inner.c_str(), proc, recurse, user);
                if (!result) return result;
            }
        }
        fd.bDirReport = 0;
        result = proc(split.szPath, &fd, user);
        if (!result) return result;
    } while (gtFindNext(search, &fd, 0));
    return result;
}

int walkSubDirs(const char* pattern, GTENUMPROC proc, BOOL sizes, BOOL recurse, DWORD user) {
    GTSPLITPATH split;
    if (!splitPattern(pattern, split)) return 0;
    GTFINDDATA fd;
    HANDLE search = gtFindFirst(split.szPath, &fd, fo::kMaskDirectories);
    if (!search) return recurse;
    gt::ScopeGuard endSearch([search] { gtFindClose(search); });
    static const char kAll[] = "*.*";
    int result = recurse;
    do {
        if (fo::isDotEntry(fd.szName) || !isDirectory(fd)) continue;
        const char* name = fo::reachableName(split.szDriveDir, fd, sizeof kAll);
        const std::string inner = name ? std::string(split.szDriveDir) + name + "\\" + kAll : std::string();
        GTFINDDATA copy = fd;
        if (sizes == TRUE && !inner.empty() && !isLink(fd)) {
            const ULONGLONG total = static_cast<ULONGLONG>(gtGetDirSize(inner.c_str(), recurse));
            copy.dwSizeLow = static_cast<DWORD>(total);
            copy.dwSizeHigh = static_cast<DWORD>(total >> 32);
        }
        result = proc(split.szPath, &copy, user);
        if (!result) return result;
        if (recurse && !inner.empty() && !isLink(fd)) {
            result = walkSubDirs(inner.c_str(), proc, sizes, recurse, user);
            if (!result) return result;
        }
    } while (gtFindNext(search, &fd, 0));
    return result;
}

// Calls visit for every entry the pattern's search delivers; false when
// nothing matches.
template <typename Visit>
bool forEachEntry(const char* pattern, DWORD mask, Visit visit) {
    GTFINDDATA fd;
    HANDLE search = gtFindFirst(pattern, &fd, mask);
    if (!search) return false;
    gt::ScopeGuard endSearch([search] { gtFindClose(search); });
    do {
        if (!visit(fd)) break;
    } while (gtFindNext(search, &fd, 0));
    return true;
}

// The deletion walk of gtDeleteFileEx and gtWipeDisk, with its status window.
int deleteWalk(const char* pattern, BOOL showStatus, HWND parent, BOOL recurse, LPCSTR keepList) {
    GTDELETECONTEXT context{keepList, nullptr};
    if (showStatus == TRUE) context.hStatus = gtPasteStatusMessage(parent, " ");
    const int result = gtEnumFilesInDir(pattern, &gtiDeleteFilesProc, recurse,
                                        static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(&context)), 0);
    if (context.hStatus) gtPeelStatusMessage(context.hStatus);
    return result;
}

WORD saturatedCount(DWORD n) { return n > 0xFFFF ? WORD(0xFFFF) : static_cast<WORD>(n); }

}  // namespace

extern "C" {

BOOL GTAPI gtCreateDir(LPCSTR path) {
    if (!isNamed(path)) return FALSE;
    if (gtIsDirExist(path)) return TRUE;
    return CreateDirectoryA(path, nullptr) ? TRUE : FALSE;
}

BOOL GTAPI gtCreateDirEx(LPCSTR path) {
    if (!isNamed(path)) return FALSE;
    if (gtIsDirExist(path)) return TRUE;
    std::vector<std::string> levels;
    if (!fo::dirChain(path, levels)) return FALSE;
    // A file where a level must go would stop the chain half-way: refuse
    // before creating anything.
    for (const std::string& level : levels) {
        const DWORD attributes = GetFileAttributesA(level.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return FALSE;
    }
    BOOL result = TRUE;
    for (const std::string& level : levels) {
        if (gtIsDirExist(level.c_str())) continue;
        result = CreateDirectoryA(level.c_str(), nullptr) ? TRUE : FALSE;
        if (!result) break;
    }
    return result;
}

BOOL GTAPI gtRemoveDir(LPSTR path) {
    if (!isNamed(path)) return FALSE;
    char copy[MAX_PATH];
    gt::mb::copyToBuffer(copy, sizeof copy, path);
    gtRemoveTrailingSlash(copy);
    return RemoveDirectoryA(copy) ? TRUE : FALSE;
}

BOOL GTAPI gtIsDirEmpty(LPCSTR directory) {
    if (!isNamed(directory)) return FALSE;
    std::string pattern(directory);
    if (!gtHasTrailingSlash(pattern.c_str())) pattern += '\\';
    pattern += "*.*";
    if (pattern.size() >= MAX_PATH) return FALSE;
    bool empty = true;
    forEachEntry(pattern.c_str(), fo::kMaskAll, [&](const GTFINDDATA& fd) {
        empty = fo::isDotEntry(fd.szName);
        return empty;
    });
    return empty ? TRUE : FALSE;
}

LPSTR GTAPI gtGetCurrentDir(LPSTR buffer, int size) {
    if (size < 1) return nullptr;
    // Composed here and copied out only when it fits the caller's size, so
    // nothing is written past it.
    char cwd[MAX_PATH + 2];
    const DWORD n = GetCurrentDirectoryA(MAX_PATH, cwd);
    if (n == 0 || n >= MAX_PATH || n >= static_cast<DWORD>(size)) return nullptr;
    std::string dir(cwd);
    if (!gtHasTrailingSlash(dir.c_str())) {
        if (dir.back() == ':') dir += '.';
        dir += '\\';
    }
    if (dir.size() >= static_cast<size_t>(size)) return nullptr;
    if (!buffer) buffer = static_cast<LPSTR>(gtGlobalAllocPtr(fo::kCallerBlockFlags, static_cast<DWORD>(size) + 1));
    if (buffer) lstrcpyA(buffer, dir.c_str());
    return buffer;
}

BOOL GTAPI gtGetDrivesCurrentDir(char letter, LPSTR buffer, int size) {
    const int index = gtConvertDriveLetter(letter);
    if (index < 0 || !buffer || size < 1) return FALSE;
    char dir[MAX_PATH + 1];
    if (!_getdcwd(index + 1, dir, sizeof dir)) return FALSE;
    if (std::strlen(dir) >= static_cast<size_t>(size)) return FALSE;
    lstrcpyA(buffer, dir);
    return TRUE;
}

WORD GTAPI gtGetNoofFilesInDir(LPCSTR pattern) {
    if (!isNamed(pattern)) return 0;
    DWORD count = 0;
    forEachEntry(pattern, fo::kMaskFiles, [&](const GTFINDDATA&) { return ++count != 0; });
    return saturatedCount(count);
}

int GTAPI gtEnumFilesInDir(LPCSTR pattern, GTENUMPROC proc, BOOL recurse, DWORD user, DWORD /*reserved*/) {
    if (!isNamed(pattern) || !proc) return 0;
    return walkFiles(pattern, proc, recurse, user);
}

int GTAPI gtEnumSubDirsInDir(LPCSTR pattern, GTENUMPROC proc, BOOL sizes, BOOL recurse, DWORD user,
                             DWORD /*reserved*/) {
    if (!isNamed(pattern) || !proc) return 0;
    return walkSubDirs(pattern, proc, sizes, recurse, user);
}

// Directories add nothing: their own size is no content of theirs.
int GTAPI gtiFileSizeProc(LPCSTR /*path*/, LPGTFINDDATA entry, DWORD user) {
    auto* total = reinterpret_cast<ULONGLONG*>(static_cast<ULONG_PTR>(user));
    if (!entry || !total || entry->bDirReport == 1 || isDirectory(*entry)) return 1;
    *total += (ULONGLONG(entry->dwSizeHigh) << 32) | entry->dwSizeLow;
    return 1;
}

LONGLONG GTAPI gtGetDirSize(LPCSTR pattern, BOOL recurse) {
    if (!isNamed(pattern)) return 0;
    ULONGLONG total = 0;
    gtEnumFilesInDir(pattern, &gtiFileSizeProc, recurse, static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(&total)), 0);
    return static_cast<LONGLONG>(total);
}

BOOL GTAPI gtGetFileInfo(LPSTR path, LPGTFILEINFO info) {
    if (!isNamed(path) || !info) return FALSE;
    gtRemoveTrailingSlash(path);
    if (!*path) return FALSE;
    GTFINDRECORD record;
    std::memset(&record, 0, sizeof record);
    const gt::find::Service& service = gt::find::service();
    HANDLE search = gt::find::first(service, path, fo::kMaskAll, &record);
    if (!search) return FALSE;
    gt::find::close(service, search);
    GTFINDDATA fd;
    gt::find::convert(record, fd);
    std::memset(info, 0, sizeof *info);
    auto dosForm = [](const FILETIME& utc, WORD& time, WORD& date) {
        FILETIME local;
        if (FileTimeToLocalFileTime(&utc, &local)) FileTimeToDosDateTime(&local, &date, &time);
    };
    dosForm(record.fd.ftCreationTime, info->wCreationTime, info->wCreationDate);
    dosForm(record.fd.ftLastAccessTime, info->wAccessTime, info->wAccessDate);
    info->wTime = LOWORD(record.dwDosTime);
    info->wDate = LOWORD(record.dwDosDate);
    info->dwAttributes = fd.dwAttributes;
    info->dwSizeLow = fd.dwSizeLow;
    info->dwSizeHigh = fd.dwSizeHigh;
    std::memcpy(info->szName, fd.szName, sizeof info->szName);
    std::memcpy(info->szShortName, fd.szShortName, sizeof info->szShortName);
    return TRUE;
}

int GTAPI gtiDeleteFilesProc(LPCSTR path, LPGTFINDDATA entry, DWORD user) {
    if (!path || !entry || entry->bDirReport == 1) return 1;
    const auto* context = reinterpret_cast<const GTDELETECONTEXT*>(static_cast<ULONG_PTR>(user));
    if (context && fo::isKept(context->pszKeepList, entry->szName, entry->szShortName)) return 1;
    GTSPLITPATH split;
    if (!isNamed(path) || !splitPattern(path, split)) return 1;
    const char* name = fo::reachableName(split.szDriveDir, *entry, 0);
    if (!name) return 1;
    const std::string full = std::string(split.szDriveDir) + name;
    if (context && context->hStatus) {
        char text[kStatusTextSize] = {};
        if (stReadString(gt::frame::module(), kDeletingText, text, sizeof text, full.c_str())) {
            gtChangeStatusMessage(context->hStatus, text);
        }
    }
    fo::deleteEntry(full.c_str(), isDirectory(*entry), entry->dwAttributes);
    return 1;
}

int GTAPI gtDeleteFileEx(LPCSTR pattern, BOOL showStatus, HWND parent, BOOL recurse, LPCSTR keepList) {
    if (!isNamed(pattern)) return FALSE;
    // The drive the pattern lies on (the current one for a relative pattern).
    char full[MAX_PATH];
    const DWORD n = GetFullPathNameA(pattern, MAX_PATH, full, nullptr);
    if (n == 0 || n >= MAX_PATH) return FALSE;
    if (!gtIsUNCName(full) && !gtIsDriveValid(full[0])) return FALSE;
    return deleteWalk(pattern, showStatus, parent, recurse, keepList);
}

int GTAPI gtWipeDisk(char letter, BOOL showStatus, HWND parent, LPCSTR keepList) {
    if (!gtIsDriveValid(letter)) return FALSE;
    if (gtIsDiskEmpty(letter)) return TRUE;
    char pattern[] = "?:\\*.*";
    pattern[0] = letter;
    return deleteWalk(pattern, showStatus, parent, TRUE, keepList);
}

}  // extern "C"
