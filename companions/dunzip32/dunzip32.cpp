// DUNZIP32.DLL: "dunzip" extracts (or checks) the entries of a zip archive.
//
// Nothing is written before every entry name has been found safe; each file
// is checked for size and CRC while it is written and removed when either is
// wrong; an existing file is only ever replaced by a complete one.
#include <windows.h>

#include <new>
#include <string>
#include <vector>

#include "zipcore/zipformat.h"
#include "zipcore/zipio.h"

namespace {

const wchar_t ALL_FILES[] = L"*.*";
const wchar_t TEMP_SUFFIX[] = L".dz~";
const int TEMP_TRIES = 100;
const uint64_t ROOM_CHECK_FROM = 64 << 10;

struct Planned {
    size_t index;
    std::wstring relative;  // safe, backslashes
};

std::wstring lastComponent(const std::wstring& path) {
    size_t cut = path.find_last_of(L'\\');
    return cut == std::wstring::npos ? path : path.substr(cut + 1);
}

std::wstring parentOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

int writeSink(void* ctx, const void* p, size_t n) { return static_cast<zc::OutFile*>(ctx)->write(p, n); }

class Unzipper {
public:
    explicit Unzipper(const UnzipCommand& cmd) : cmd_(cmd) {}
    int run();

private:
    int extractFile(const zc::Entry& e, size_t index, const std::wstring& target);

    const UnzipCommand& cmd_;
    zc::Archive archive_;
    std::wstring lastDir_;
};

// Writes one entry to `target`.
int Unzipper::extractFile(const zc::Entry& e, size_t index, const std::wstring& target) {
    DWORD existing = GetFileAttributesW(target.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES) {
        if (existing & FILE_ATTRIBUTE_DIRECTORY) return QRZ_IO_ERROR;
        if (!cmd_.overwrite) return QRZ_OK;  // kept as it is
        if ((existing & FILE_ATTRIBUTE_READONLY) && !cmd_.replaceReadOnly) return QRZ_IO_ERROR;
    }
    std::wstring dir = parentOf(target);
    if (dir != lastDir_) {  // archives list a directory's files together
        if (!zc::createDirectories(dir)) return QRZ_IO_ERROR;
        lastDir_ = dir;
    }
    // Large entries are measured against the free space before anything is
    // written; a small one that does not fit fails on its write.
    ULARGE_INTEGER avail{};
    if (e.usize >= ROOM_CHECK_FROM && GetDiskFreeSpaceExW((dir + L"\\").c_str(), &avail, nullptr, nullptr) && avail.QuadPart < e.usize)
        return QRZ_DISK_FULL;

    // A new file is written under its own name and deleted on failure; an
    // existing one is replaced only by a complete copy written beside it.
    // (Renaming costs more than the write of a small file under Wine.)
    std::wstring temp = target;
    gt::FileHandle file;
    bool replacing = existing != INVALID_FILE_ATTRIBUTES;
    for (int i = 0; i < TEMP_TRIES && !file; ++i) {
        if (replacing) temp = target + TEMP_SUFFIX + (i ? std::to_wstring(i) : std::wstring());
        file.reset(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file && (!replacing || GetLastError() != ERROR_FILE_EXISTS)) return zc::writeErrorCode(GetLastError());
    }
    if (!file) return QRZ_IO_ERROR;
    gt::ScopeGuard dropTemp([&] {
        file.reset();
        DeleteFileW(temp.c_str());
    });
    zc::OutFile out(file.get());
    int code = archive_.extract(index, writeSink, &out);
    if (code == QRZ_OK) code = out.flush();
    if (code != QRZ_OK) return code;
    if (cmd_.restoreTimes) {
        FILETIME t = zc::fileTimeFromEntry(e);
        SetFileTime(file.get(), nullptr, nullptr, &t);
    }
    file.reset();
    if (replacing) {
        if (existing & FILE_ATTRIBUTE_READONLY) SetFileAttributesW(target.c_str(), existing & ~FILE_ATTRIBUTE_READONLY);
        if (!MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING))
            return zc::writeErrorCode(GetLastError());
    }
    dropTemp.dismiss();
    if (cmd_.restoreAttribs && e.dosAttributes()) SetFileAttributesW(target.c_str(), e.dosAttributes());
    return QRZ_OK;
}

int Unzipper::run() {
    int code = archive_.open(zc::wideFromAnsi(cmd_.zipFile));
    if (code != QRZ_OK) return code;
    std::wstring spec = cmd_.fileSpec && *cmd_.fileSpec ? zc::wideFromAnsi(cmd_.fileSpec) : ALL_FILES;

    // Every name is checked before anything is written: an archive with one
    // hostile name is refused as a whole.
    std::vector<Planned> plan;
    const auto& entries = archive_.entries();
    for (size_t i = 0; i < entries.size(); ++i) {
        Planned p{i, std::wstring()};
        if (!zc::safeRelativePath(entries[i].name, p.relative)) return QRZ_UNSAFE_ENTRY;
        bool directory = entries[i].isDirectory();
        if (directory && cmd_.testOnly) continue;
        if (!zc::selectEntry(p.relative, directory, spec, cmd_.recurse != 0, cmd_.keepPaths != 0)) continue;
        plan.push_back(p);
    }

    std::wstring root;
    if (!cmd_.testOnly) {
        root = zc::fullPath(zc::wideFromAnsi(cmd_.destination));
        while (root.size() > 3 && root.back() == L'\\') root.pop_back();
        if (!zc::createDirectories(root)) return QRZ_IO_ERROR;
        if (root.back() != L'\\') root += L'\\';
    }
    int first = QRZ_OK;
    for (const Planned& p : plan) {
        const zc::Entry& e = entries[p.index];
        if (cmd_.testOnly)
            code = archive_.extract(p.index, nullptr, nullptr);
        else if (e.isDirectory())
            code = zc::createDirectories(root + p.relative) ? QRZ_OK : QRZ_IO_ERROR;
        else
            code = extractFile(e, p.index, root + (cmd_.keepPaths ? p.relative : lastComponent(p.relative)));
        if (code != QRZ_OK && first == QRZ_OK) first = code;
        if (code != QRZ_OK && !(cmd_.options & UNZIPOPT_CONTINUE)) break;
    }
    return first;
}

}  // namespace

extern "C" DWORD WINAPI dunzip(void* record) {
    const UnzipCommand* cmd = static_cast<const UnzipCommand*>(record);
    if (!cmd || cmd->cbSize != UNZIPCMD_SIZE || cmd->function != UNZIPFN_EXTRACT) return QRZ_BAD_RECORD;
    if (!cmd->zipFile || !*cmd->zipFile) return QRZ_BAD_RECORD;
    if (!cmd->testOnly && (!cmd->destination || !*cmd->destination)) return QRZ_BAD_RECORD;
    zc::resetBytes();
    try {
        return DWORD(Unzipper(*cmd).run());
    } catch (const std::bad_alloc&) {
        return QRZ_NO_MEMORY;
    }
}

// Bytes inflated so far by the running call.
extern "C" ULONGLONG WINAPI dunzipBytesDone(void) { return ULONGLONG(zc::bytesDone()); }
