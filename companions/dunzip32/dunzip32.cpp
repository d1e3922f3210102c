// DUNZIP32.DLL: "dunzip" extracts (or checks) the entries of a zip archive.
//
// Nothing is written before every entry name has been found safe; each file
// is checked for size and CRC while it is written and removed when either is
// wrong; an existing file is only ever replaced by a complete one.
#include <windows.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>
#include <string>
#include <vector>

#include "zipcore/zipformat.h"
#include "zipcore/zipio.h"

namespace {

const wchar_t ALL_FILES[] = L"*.*";
const wchar_t TEMP_SUFFIX[] = L".dz~";
const int TEMP_TRIES = 100;
const uint64_t ROOM_CHECK_FROM = 64 << 10;
// Entries up to this size are inflated and checked in memory by worker
// threads while the writer creates the files of earlier ones.
const uint64_t IN_MEMORY_MAX = 16 << 20;
const size_t WORKERS_MAX = 4;
const size_t AHEAD_MAX = 8;

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
int memorySink(void* ctx, const void* p, size_t n) {
    static_cast<std::string*>(ctx)->append(static_cast<const char*>(p), n);
    return QRZ_OK;
}

// An entry inflated and checked ahead of the writer.
struct Inflated {
    std::string data;
    int code = QRZ_OK;
    bool inMemory = false;
    bool ready = false;
};

size_t workerCount() {
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    return std::min<size_t>(WORKERS_MAX, si.dwNumberOfProcessors);
}

class Unzipper {
public:
    explicit Unzipper(const UnzipCommand& cmd) : cmd_(cmd) {}
    int run();

private:
    int extractFile(const zc::Entry& e, size_t index, const std::wstring& target, const Inflated& ahead);
    int makeDirectory(const std::wstring& dir);
    void inflateAhead(size_t index, Inflated& out) const;
    int extractAll(const std::vector<Planned>& plan, const std::wstring& root);

    const UnzipCommand& cmd_;
    zc::Archive archive_;
    std::wstring lastDir_;
};

// Opens `target` as a new file, or tells what is there already: a new name
// costs one lookup instead of two (each one scans the directory under Wine).
HANDLE createNew(const std::wstring& target, DWORD& existing, DWORD& error) {
    HANDLE h = CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) return h;
    error = GetLastError();
    existing = GetFileAttributesW(target.c_str());
    return INVALID_HANDLE_VALUE;
}

// Creates a directory entry's directory; the files listed after it find it
// made without asking again.
int Unzipper::makeDirectory(const std::wstring& dir) {
    if (!zc::createDirectories(dir)) return QRZ_IO_ERROR;
    lastDir_ = dir;
    return QRZ_OK;
}

// Writes one entry to `target`.
int Unzipper::extractFile(const zc::Entry& e, size_t index, const std::wstring& target, const Inflated& ahead) {
    std::wstring dir = parentOf(target);
    if (dir != lastDir_) {  // archives list a directory's files together
        int made = makeDirectory(dir);
        if (made != QRZ_OK) return made;
    }
    // Large entries are measured against the free space before anything is
    // created; a small one that does not fit fails on its write (and is
    // created straight away).
    const bool roomFirst = e.usize >= ROOM_CHECK_FROM;
    DWORD existing = INVALID_FILE_ATTRIBUTES, createError = ERROR_SUCCESS;
    gt::FileHandle file;
    if (roomFirst)
        existing = GetFileAttributesW(target.c_str());
    else
        file.reset(createNew(target, existing, createError));
    if (existing != INVALID_FILE_ATTRIBUTES) {
        if (existing & FILE_ATTRIBUTE_DIRECTORY) return QRZ_IO_ERROR;
        if (!cmd_.overwrite) return QRZ_OK;  // kept as it is
        if ((existing & FILE_ATTRIBUTE_READONLY) && !cmd_.replaceReadOnly) return QRZ_IO_ERROR;
    } else if (!roomFirst && !file) {
        return zc::writeErrorCode(createError);
    }
    ULARGE_INTEGER avail{};
    if (roomFirst && GetDiskFreeSpaceExW((dir + L"\\").c_str(), &avail, nullptr, nullptr) && avail.QuadPart < e.usize)
        return QRZ_DISK_FULL;

    // A new file is written under its own name and deleted on failure; an
    // existing one is replaced only by a complete copy written beside it.
    // (Renaming costs more than the write of a small file under Wine.)
    std::wstring temp = target;
    const bool replacing = existing != INVALID_FILE_ATTRIBUTES;
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
    int code = ahead.inMemory ? out.write(ahead.data.data(), ahead.data.size()) : archive_.extract(index, writeSink, &out);
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
    return extractAll(plan, root);
}

void Unzipper::inflateAhead(size_t index, Inflated& out) const {
    const zc::Entry& e = archive_.entries()[index];
    if (e.isDirectory()) return;
    if (cmd_.testOnly) {
        out.code = archive_.extract(index, nullptr, nullptr);
        out.inMemory = true;
    } else if (e.usize <= IN_MEMORY_MAX) {
        out.data.reserve(size_t(e.usize));
        out.code = archive_.extract(index, memorySink, &out.data);
        out.inMemory = true;
    }
}

// Workers inflate and check entries a few ahead of the writer, which
// creates the files in the archive's order (and streams large entries).
int Unzipper::extractAll(const std::vector<Planned>& plan, const std::wstring& root) {
    const auto& entries = archive_.entries();
    const size_t count = plan.size();
    std::vector<Inflated> ahead(count);
    std::mutex m;
    std::condition_variable cv;
    size_t next = 0, done = 0;
    bool stop = false;
    auto work = [&] {
        std::unique_lock<std::mutex> lock(m);
        for (;;) {
            cv.wait(lock, [&] { return stop || next >= count || next < done + AHEAD_MAX; });
            if (stop || next >= count) return;
            size_t k = next++;
            lock.unlock();
            try {
                inflateAhead(plan[k].index, ahead[k]);
            } catch (const std::bad_alloc&) {
                ahead[k].code = QRZ_NO_MEMORY;
                ahead[k].inMemory = true;
            }
            lock.lock();
            ahead[k].ready = true;
            cv.notify_all();
        }
    };
    std::vector<std::thread> pool;
    try {
        for (size_t k = workerCount(); k > 0; --k) pool.emplace_back(work);
    } catch (const std::system_error&) {
        // Fewer workers, or none: the writer inflates each entry itself.
    }
    gt::ScopeGuard joinAll([&] {
        {
            std::lock_guard<std::mutex> lock(m);
            stop = true;
        }
        cv.notify_all();
        for (auto& t : pool) t.join();
    });

    int first = QRZ_OK;
    for (size_t k = 0; k < count; ++k) {
        const Planned& p = plan[k];
        const zc::Entry& e = entries[p.index];
        if (pool.empty()) {
            inflateAhead(p.index, ahead[k]);
        } else {
            std::unique_lock<std::mutex> lock(m);
            cv.wait(lock, [&] { return ahead[k].ready; });
        }
        int code;
        if (cmd_.testOnly)
            code = ahead[k].code;
        else if (e.isDirectory())
            code = makeDirectory(root + p.relative);
        else if (ahead[k].inMemory && ahead[k].code != QRZ_OK)
            code = ahead[k].code;  // nothing is created for a damaged entry
        else
            code = extractFile(e, p.index, root + (cmd_.keepPaths ? p.relative : lastComponent(p.relative)), ahead[k]);
        std::string().swap(ahead[k].data);
        {
            std::lock_guard<std::mutex> lock(m);
            done = k + 1;
        }
        cv.notify_all();
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
