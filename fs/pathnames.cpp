// Path names: splitting (with UNC share prefixes), taking the directory or
// the file name off a path, appending a file name, supplying a directory or
// an extension, making a path absolute, wildcard and UNC tests.
// Every walk steps whole characters of the ANSI code page, so the trail
// byte 0x5C of a double-byte character is never taken for a backslash.
#include "fs/pathnames.h"

#include "text/memprobe.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "text/mbchar.h"

namespace mb = gt::mb;

namespace gt::path {
namespace {

inline bool isSeparator(char c) { return c == '\\' || c == '/'; }

// Field sizes of GTSPLITPATH, the room each part has before its terminator.
constexpr size_t kDriveField = sizeof(GTSPLITPATH::szDrive);
constexpr size_t kDirField = sizeof(GTSPLITPATH::szDir);
constexpr size_t kNameField = sizeof(GTSPLITPATH::szName);
constexpr size_t kExtField = sizeof(GTSPLITPATH::szExt);

// Length of the drive part: "X:" or a UNC share prefix (up to, not
// including, the fourth backslash, or the whole text when there is none).
size_t driveLength(const char* p) {
    if (p[0] == '\\' && p[1] == '\\') {
        int seen = 0;
        const char* q = p;
        while (*q) {
            if (*q == '\\' && ++seen == 4) break;
            q = mb::next(q);
        }
        return static_cast<size_t>(q - p);
    }
    // ':' is never a trail byte in a double-byte code page (trails start
    // at 0x40), so a byte test is enough.
    if (p[0] && p[1] == ':') return 2;
    return 0;
}

}  // namespace

const char* lastBackslash(const char* path) { return mb::findLastChar(path, '\\'); }

bool split(const char* path, GTSPLITPATH& out) {
    std::memset(&out, 0, sizeof out);
    const size_t len = std::strlen(path);
    // Nothing left after trimming is as empty as an empty argument.
    if (len == 0 || len >= sizeof out.szPath) return false;

    const size_t driveLen = driveLength(path);
    const char* rest = path + driveLen;

    // One pass over the rest: last separator and last dot.  Bytes below
    // 0x80 are never lead bytes, so only high bytes ask the code page.
    const char* lastSep = nullptr;
    const char* lastDot = nullptr;
    const char* q = rest;
    while (*q) {
        const unsigned char c = static_cast<unsigned char>(*q);
        if (c >= 0x80) {
            q = mb::next(q);
            continue;
        }
        if (isSeparator(*q))
            lastSep = q;
        else if (*q == '.')
            lastDot = q;
        ++q;
    }
    const char* end = q;
    const char* nameStart = lastSep ? lastSep + 1 : rest;
    const char* extStart = (lastDot && lastDot >= nameStart) ? lastDot : end;

    const size_t dirLen = static_cast<size_t>(nameStart - rest);
    const size_t nameLen = static_cast<size_t>(extStart - nameStart);
    const size_t extLen = static_cast<size_t>(end - extStart);
    if (driveLen >= kDriveField || dirLen >= kDirField || nameLen >= kNameField || extLen >= kExtField) {
        std::memset(&out, 0, sizeof out);
        return false;
    }

    std::memcpy(out.szPath, path, len);
    std::memcpy(out.szDrive, path, driveLen);
    std::memcpy(out.szDir, rest, dirLen);
    std::memcpy(out.szName, nameStart, nameLen);
    std::memcpy(out.szExt, extStart, extLen);
    // Drive + directory and name + extension are the two halves of the path.
    std::memcpy(out.szDriveDir, path, driveLen + dirLen);
    std::memcpy(out.szNameExt, nameStart, nameLen + extLen);
    return true;
}

}  // namespace gt::path

namespace {

using gt::path::kMaxPath;

// Splits a copy of path with its surrounding spaces left out, so that
// exports whose path is not theirs to trim see what gtSplitPath would.
bool splitTrimmed(const char* path, GTSPLITPATH& out) {
    char work[kMaxPath + 1];
    while (*path == ' ') ++path;
    size_t len = std::strlen(path);
    // A space byte is never a trail byte, so trimming from the end by bytes
    // is safe.
    while (len > 0 && path[len - 1] == ' ') --len;
    if (len > kMaxPath - 1) {
        std::memset(&out, 0, sizeof out);
        return false;
    }
    std::memcpy(work, path, len);
    work[len] = 0;
    return gt::path::split(work, out);
}

// Concatenates up to three parts into out (kMaxPath + 1 bytes); false when
// the result would be longer than kMaxPath characters.
bool compose(char* out, const char* a, const char* b, const char* c = "") {
    const size_t la = std::strlen(a), lb = std::strlen(b), lc = std::strlen(c);
    if (la + lb + lc > kMaxPath) return false;
    std::memcpy(out, a, la);
    std::memcpy(out + la, b, lb);
    std::memcpy(out + la + lb, c, lc + 1);
    return true;
}

bool hasExtension(const GTSPLITPATH& s) { return s.szExt[0] && !(s.szExt[0] == '.' && s.szExt[1] == 0); }

// Remembers the process's current directory and puts it back: explicitly
// through restore() where the caller needs to know, else on scope exit.
class CurrentDirectoryScope {
public:
    CurrentDirectoryScope() {
        DWORD n = GetCurrentDirectoryA(sizeof saved_, saved_);
        ok_ = n > 0 && n < sizeof saved_;
    }
    ~CurrentDirectoryScope() {
        if (ok_ && !restored_) SetCurrentDirectoryA(saved_);
    }
    CurrentDirectoryScope(const CurrentDirectoryScope&) = delete;
    CurrentDirectoryScope& operator=(const CurrentDirectoryScope&) = delete;

    bool ok() const { return ok_; }
    bool restore() {
        restored_ = true;
        return ok_ && SetCurrentDirectoryA(saved_) != 0;
    }

private:
    char saved_[1024];
    bool ok_ = false;
    bool restored_ = false;
};

}  // namespace

extern "C" {

BOOL GTAPI gtIsUNCName(LPCSTR path) { return path && path[0] == '\\' && path[1] == '\\'; }

BOOL GTAPI gtSplitPath(LPSTR path, LPGTSPLITPATH split) {
    if (!path || !split || !*path) return FALSE;
    gtAllTrim(path, ' ');
    return gt::path::split(path, *split) ? TRUE : FALSE;
}

BOOL GTAPI gtHasDirectoryName(LPCSTR path) {
    if (!path || !*path) return FALSE;
    GTSPLITPATH s;
    return splitTrimmed(path, s) && s.szDir[0] != 0;
}

BOOL GTAPI gtSetDirectoryName(LPSTR path, LPCSTR directory, LPSTR output) {
    if (!path || !*path) return FALSE;
    GTSPLITPATH s;
    if (!splitTrimmed(path, s)) return FALSE;
    char result[kMaxPath + 1];
    if (s.szDir[0]) {
        std::memcpy(result, s.szPath, sizeof s.szPath);
    } else {
        if (!directory || !*directory) return FALSE;
        const char* sep = gtHasTrailingSlash(directory) ? "" : "\\";
        if (!compose(result, directory, sep, s.szNameExt)) return FALSE;
    }
    std::strcpy(output ? output : path, result);
    return TRUE;
}

BOOL GTAPI gtSetFileExtension(LPSTR path, LPCSTR extension, LPSTR output, BOOL force) {
    if (!path || !*path) return FALSE;
    GTSPLITPATH s;
    if (!splitTrimmed(path, s)) return FALSE;
    char result[kMaxPath + 1];
    if (force == 1 || !hasExtension(s)) {
        // The new extension carries exactly one leading dot.
        const char* bare = extension ? extension : "";
        while (*bare == '.') ++bare;
        if (std::strlen(bare) > kMaxPath) return FALSE;
        char ext[kMaxPath + 2] = {};
        if (*bare) {
            ext[0] = '.';
            std::strcpy(ext + 1, bare);
        }
        char base[kMaxPath + 1];
        if (!compose(base, s.szDriveDir, s.szName) || !compose(result, base, ext)) return FALSE;
    } else {
        std::memcpy(result, s.szPath, sizeof s.szPath);
    }
    std::strcpy(output ? output : path, result);
    return TRUE;
}

LPSTR GTAPI gtStripFileName(LPSTR path, LPSTR output, int outputSize) {
    if (!path || !*path) return nullptr;
    if (output && outputSize <= 0) return nullptr;
    if (gtIsDirExist(path)) {
        if (!output) return path;
        mb::copyToBuffer(output, static_cast<size_t>(outputSize), path);
        return output;
    }
    const char* slash = gt::path::lastBackslash(path);
    if (!slash) return nullptr;
    const size_t keep = static_cast<size_t>(slash - path);
    if (!output) {
        path[keep] = 0;
        return path;
    }
    mb::copyToBuffer(output, static_cast<size_t>(outputSize), path, keep);
    return output;
}

LPSTR GTAPI gtStripPathName(LPSTR path, LPSTR output, int outputSize) {
    if (!path || !*path) return nullptr;
    if (output && outputSize <= 0) return nullptr;
    const char* slash = gt::path::lastBackslash(path);
    if (!slash) return nullptr;
    const char* tail = slash + 1;
    if (output) {
        mb::copyToBuffer(output, static_cast<size_t>(outputSize), tail);
        return output;
    }
    std::memmove(path, tail, std::strlen(tail) + 1);
    return path;
}

LPSTR GTAPI gtAppendFileName(LPSTR directory, LPCSTR fileName, LPSTR output, int outputSize) {
    if (!directory || !*directory || !fileName || !*fileName) return nullptr;
    if (output && (outputSize <= 0 || !gt::mem::isWritable(output, static_cast<size_t>(outputSize))))
        return nullptr;
    char result[kMaxPath + 1];
    const char* sep = gtHasTrailingSlash(directory) ? "" : "\\";
    if (!compose(result, directory, sep, fileName)) return nullptr;
    // With an output buffer its size bounds the result as well.
    const size_t len = std::strlen(result);
    if (output && len >= static_cast<size_t>(outputSize)) return nullptr;
    LPSTR dst = output ? output : directory;
    std::memcpy(dst, result, len + 1);
    return dst;
}

BOOL GTAPI gtNormalizeFileName(LPSTR fileName, LPCSTR baseDir, LPSTR output) {
    if (!fileName || !*fileName) return FALSE;
    char full[1024];
    {
        CurrentDirectoryScope cwd;
        if (!cwd.ok()) return FALSE;
        if (baseDir && *baseDir && !SetCurrentDirectoryA(baseDir)) return FALSE;
        const char* converted = _fullpath(full, fileName, sizeof full);
        if (!cwd.restore()) return FALSE;
        if (!converted) return FALSE;
    }
    const size_t len = std::strlen(full);
    if (len > kMaxPath) return FALSE;
    std::memcpy(output ? output : fileName, full, len + 1);
    return TRUE;
}

BOOL GTAPI gtIsAnyWildCard(LPCSTR path) {
    if (!path) return FALSE;
    return mb::findChar(path, '*') || mb::findChar(path, '?');
}

}  // extern "C"
