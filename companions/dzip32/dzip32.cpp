// DZIP32.DLL: "dzip" creates a zip archive or adds files to one.
//
// The archive is always written to a temporary file beside it and replaces
// the old one only when complete (and, on request, re-read and checked), so
// a failure of any kind leaves the old archive as it was.
#include <windows.h>
#include <zlib.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <cwchar>
#include <memory>
#include <new>
#include <set>
#include <vector>

#include "zipcore/zipformat.h"
#include "zipcore/zipio.h"

namespace {

const size_t READ_CHUNK = 1 << 20;
const size_t PROBE_SIZE = 64 << 10;
const uint64_t PROBE_MIN_FILE = 256 << 10;
// Files up to this size are read and compressed in memory by worker threads
// while earlier ones are written; larger ones are streamed by the writer.
const uint64_t IN_MEMORY_MAX = 16 << 20;
const size_t WORKERS_MAX = 4;
const size_t AHEAD_MAX = 8;  // files packed ahead of the writer
const DWORD KEPT_ATTRIBUTES =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

struct Item {
    std::wstring path;   // full path on disk
    std::wstring name;   // entry name, backslashes
    bool directory;
};

struct LessNoCase {
    bool operator()(const std::wstring& a, const std::wstring& b) const { return _wcsicmp(a.c_str(), b.c_str()) < 0; }
};

bool hasWildcard(const std::wstring& s) { return s.find_first_of(L"*?") != std::wstring::npos; }

std::wstring lastComponent(const std::wstring& path) {
    size_t cut = path.find_last_of(L"\\/");
    return cut == std::wstring::npos ? path : path.substr(cut + 1);
}

std::wstring parentOf(const std::wstring& path) {
    size_t cut = path.find_last_of(L"\\/");
    return cut == std::wstring::npos ? std::wstring(L".") : path.substr(0, cut);
}

// One deflate stream per thread, reset for each file: setting one up costs
// more than deflating a small file.
class Deflater {
public:
    explicit Deflater(int level) : level_(level) {}
    ~Deflater() {
        if (ready_) deflateEnd(&z_);
    }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;
    z_stream* fresh() {
        if (!ready_) {
            if (deflateInit2(&z_, level_, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) return nullptr;
            ready_ = true;
            return &z_;
        }
        return deflateReset(&z_) == Z_OK ? &z_ : nullptr;
    }

private:
    z_stream z_{};
    int level_;
    bool ready_ = false;
};

// True when a sample does not shrink: such data (already compressed) is
// stored without deflating all of it first.
bool incompressible(const char* p, size_t n) {
    if (n < PROBE_SIZE) return false;
    std::string scratch(compressBound(uLong(PROBE_SIZE)), '\0');
    uLongf packed = uLongf(scratch.size());
    if (compress2(reinterpret_cast<Bytef*>(&scratch[0]), &packed, reinterpret_cast<const Bytef*>(p), uLong(PROBE_SIZE), 1) != Z_OK)
        return false;
    return packed >= PROBE_SIZE - PROBE_SIZE / 100;
}

// The new entry's fields that come from the file itself.
zc::NewEntry entryFor(const Item& item, const BY_HANDLE_FILE_INFORMATION& info) {
    zc::NewEntry e;
    e.rawName = zc::encodeName(item.name, e.flags);
    zc::dosTimeFromFileTime(info.ftLastWriteTime, e.dosDate, e.dosTime);
    e.unixTime = zc::unixFromFileTime(info.ftLastWriteTime);
    e.externalAttr = info.dwFileAttributes & KEPT_ATTRIBUTES;
    return e;
}

// A file read, checked and compressed in memory, ready to be written.
struct Packed {
    zc::NewEntry entry;
    std::string data;
    int code = QRZ_OK;
    bool streamed = false;  // too large: the writer streams it itself
    bool ready = false;
};

void packFile(const Item& item, int rate, Deflater& deflater, Packed& p) {
    gt::FileHandle in(CreateFileW(item.path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!in || !GetFileInformationByHandle(in.get(), &info)) {
        p.code = QRZ_IO_ERROR;
        return;
    }
    uint64_t size = (uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    if (size > IN_MEMORY_MAX) {
        p.streamed = true;
        return;
    }
    p.entry = entryFor(item, info);
    std::string raw(size_t(size), '\0');
    size_t got = 0;
    while (got < raw.size()) {
        DWORD n = 0;
        if (!ReadFile(in.get(), &raw[got], DWORD(raw.size() - got), &n, nullptr)) {
            p.code = QRZ_IO_ERROR;
            return;
        }
        if (n == 0) break;
        got += n;
    }
    raw.resize(got);
    zc::countBytes(got);
    zc::NewEntry& e = p.entry;
    e.crc = uint32_t(crc32(0, reinterpret_cast<const Bytef*>(raw.data()), uInt(raw.size())));
    e.usize = raw.size();
    e.method = zc::METHOD_STORE;
    if (rate > 0 && !raw.empty() && !incompressible(raw.data(), raw.size())) {
        z_stream* z = deflater.fresh();
        if (!z) {
            p.code = QRZ_NO_MEMORY;
            return;
        }
        p.data.resize(deflateBound(z, uLong(raw.size())));
        z->next_in = reinterpret_cast<Bytef*>(&raw[0]);
        z->avail_in = uInt(raw.size());
        z->next_out = reinterpret_cast<Bytef*>(&p.data[0]);
        z->avail_out = uInt(p.data.size());
        if (deflate(z, Z_FINISH) != Z_STREAM_END) {
            p.code = QRZ_NO_MEMORY;
            return;
        }
        p.data.resize(z->total_out);
        if (p.data.size() < raw.size()) e.method = zc::METHOD_DEFLATE;
    }
    if (e.method == zc::METHOD_STORE) p.data.swap(raw);
    e.csize = p.data.size();
}

size_t workerCount() {
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    return std::min<size_t>(WORKERS_MAX, si.dwNumberOfProcessors);
}

class Zipper {
public:
    explicit Zipper(const ZipCommand& cmd) : cmd_(cmd) {}
    int run();

private:
    bool collect(const std::wstring& source);
    void walk(const std::wstring& dir, const std::wstring& prefix, const std::wstring& pattern, bool dirEntries);
    void addItem(const std::wstring& path, const std::wstring& name, bool directory);
    bool skipped(DWORD attributes) const;
    int copyKept(const zc::Archive& old, zc::OutFile& out);
    int addFile(const Item& item, zc::OutFile& out);
    int addDirectory(const Item& item, zc::OutFile& out);
    int storeData(HANDLE in, zc::OutFile& out, zc::NewEntry& e);
    int deflateData(HANDLE in, zc::OutFile& out, zc::NewEntry& e);
    int writeItems(zc::OutFile& out);

    const ZipCommand& cmd_;
    std::wstring zipPath_;
    std::vector<Item> items_;
    std::set<std::wstring, LessNoCase> newNames_;
    std::vector<std::string> central_;
    std::unique_ptr<char[]> in_, out_;
    Deflater deflater_{int(cmd_.rate)};
};

bool Zipper::skipped(DWORD attributes) const {
    return !cmd_.hiddenFiles && (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
}

void Zipper::addItem(const std::wstring& path, const std::wstring& name, bool directory) {
    std::wstring entry = cmd_.dropPaths ? lastComponent(name) : name;
    if (directory && (cmd_.dropPaths || cmd_.noDirEntries)) return;
    if (directory) entry += L'\\';
    // Never the archive itself; the first of two equal names wins.
    if (!directory && _wcsicmp(path.c_str(), zipPath_.c_str()) == 0) return;
    if (!newNames_.insert(entry).second) return;
    items_.push_back(Item{path, entry, directory});
}

void Zipper::walk(const std::wstring& dir, const std::wstring& prefix, const std::wstring& pattern,
                  bool dirEntries) {
    WIN32_FIND_DATAW fd;
    gt::FindHandle find(FindFirstFileW((dir + L"\\*").c_str(), &fd));
    if (!find) return;
    std::vector<WIN32_FIND_DATAW> found;
    do {
        if (wcscmp(fd.cFileName, L".") != 0 && wcscmp(fd.cFileName, L"..") != 0) found.push_back(fd);
    } while (FindNextFileW(find.get(), &fd));
    // Sorted, so that the same tree gives the same archive.
    std::sort(found.begin(), found.end(), [](const WIN32_FIND_DATAW& a, const WIN32_FIND_DATAW& b) {
        return _wcsicmp(a.cFileName, b.cFileName) < 0;
    });
    for (const auto& f : found) {
        if (skipped(f.dwFileAttributes)) continue;
        std::wstring path = dir + L"\\" + f.cFileName;
        std::wstring name = prefix + f.cFileName;
        if (f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!cmd_.recurse) continue;
            // A directory gets an entry when the pattern would take its name.
            if (dirEntries || zc::matchSpec(pattern, f.cFileName)) addItem(path, name, true);
            walk(path, name + L"\\", pattern, dirEntries);
        } else if (zc::matchSpec(pattern, f.cFileName)) {
            addItem(path, name, false);
        }
    }
}

// A file, a directory or a wildcard pattern; false when nothing matched.
bool Zipper::collect(const std::wstring& source) {
    size_t before = items_.size();
    std::wstring full = zc::fullPath(source);
    while (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/')) full.pop_back();
    if (hasWildcard(lastComponent(full))) {
        walk(parentOf(full), L"", lastComponent(full), false);
        return items_.size() > before;
    }
    DWORD a = GetFileAttributesW(full.c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return false;
    if (a & FILE_ATTRIBUTE_DIRECTORY) {
        // A drive's root has no name of its own: its contents go in as they are.
        std::wstring name = full.size() <= 3 ? std::wstring() : lastComponent(full);
        if (!name.empty()) addItem(full, name, true);
        walk(full.size() <= 3 ? full.substr(0, 2) : full, name.empty() ? name : name + L"\\", L"*", true);
        return true;
    }
    addItem(full, lastComponent(full), false);
    return true;
}

int Zipper::copyKept(const zc::Archive& old, zc::OutFile& out) {
    const auto& entries = old.entries();
    for (size_t i = 0; i < entries.size(); ++i) {
        std::wstring name = entries[i].name;
        std::replace(name.begin(), name.end(), L'/', L'\\');
        if (newNames_.count(name)) continue;  // replaced by the new file
        uint64_t from = entries[i].localOffset, to = old.recordEnd(i);
        uint64_t newOffset = out.position();
        while (from < to) {
            size_t n = size_t(std::min<uint64_t>(to - from, READ_CHUNK));
            if (zc::readAt(old.handle(), from, in_.get(), n) != QRZ_OK) return QRZ_DAMAGED;
            int code = out.write(in_.get(), n);
            if (code != QRZ_OK) return code;
            from += n;
        }
        central_.push_back(zc::centralHeaderKept(entries[i], newOffset));
    }
    return QRZ_OK;
}

int Zipper::storeData(HANDLE in, zc::OutFile& out, zc::NewEntry& e) {
    uLong crc = crc32(0, nullptr, 0);
    uint64_t total = 0;
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(in, in_.get(), DWORD(READ_CHUNK), &n, nullptr)) return QRZ_IO_ERROR;
        if (n == 0) break;
        crc = crc32(crc, reinterpret_cast<const Bytef*>(in_.get()), n);
        int code = out.write(in_.get(), n);
        if (code != QRZ_OK) return code;
        total += n;
        zc::countBytes(n);
    }
    e.crc = uint32_t(crc);
    e.usize = e.csize = total;
    return QRZ_OK;
}

int Zipper::deflateData(HANDLE in, zc::OutFile& out, zc::NewEntry& e) {
    z_stream* stream = deflater_.fresh();
    if (!stream) return QRZ_NO_MEMORY;
    z_stream& z = *stream;
    uLong crc = crc32(0, nullptr, 0);
    uint64_t total = 0, packed = 0;
    int flush = Z_NO_FLUSH;
    do {
        DWORD n = 0;
        if (!ReadFile(in, in_.get(), DWORD(READ_CHUNK), &n, nullptr)) return QRZ_IO_ERROR;
        if (n == 0) flush = Z_FINISH;
        crc = crc32(crc, reinterpret_cast<const Bytef*>(in_.get()), n);
        total += n;
        zc::countBytes(n);
        z.next_in = reinterpret_cast<Bytef*>(in_.get());
        z.avail_in = n;
        do {
            z.next_out = reinterpret_cast<Bytef*>(out_.get());
            z.avail_out = uInt(READ_CHUNK);
            deflate(&z, flush);
            size_t have = READ_CHUNK - z.avail_out;
            int code = out.write(out_.get(), have);
            if (code != QRZ_OK) return code;
            packed += have;
        } while (z.avail_out == 0);
    } while (flush != Z_FINISH);
    e.crc = uint32_t(crc);
    e.usize = total;
    e.csize = packed;
    return QRZ_OK;
}

int Zipper::addFile(const Item& item, zc::OutFile& out) {
    gt::FileHandle in(CreateFileW(item.path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!in) return QRZ_IO_ERROR;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(in.get(), &info)) return QRZ_IO_ERROR;
    uint64_t size = (uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    zc::NewEntry e = entryFor(item, info);
    bool store = cmd_.rate == 0 || size == 0;
    if (!store) {
        DWORD n = 0;
        LARGE_INTEGER zero{};
        if (!ReadFile(in.get(), in_.get(), DWORD(PROBE_SIZE), &n, nullptr)) return QRZ_IO_ERROR;
        store = incompressible(in_.get(), n);
        if (!SetFilePointerEx(in.get(), zero, nullptr, FILE_BEGIN)) return QRZ_IO_ERROR;
    }
    e.method = store ? zc::METHOD_STORE : zc::METHOD_DEFLATE;
    e.zip64Local = zc::needsZip64(size);
    e.localOffset = out.position();
    int code = out.write(zc::localHeader(e).data(), zc::localHeader(e).size());
    uint64_t dataStart = out.position();
    if (code == QRZ_OK) code = e.method == zc::METHOD_STORE ? storeData(in.get(), out, e) : deflateData(in.get(), out, e);
    // Data that deflate cannot shrink is stored as it is.
    if (code == QRZ_OK && e.method == zc::METHOD_DEFLATE && e.csize >= e.usize) {
        LARGE_INTEGER zero{};
        e.method = zc::METHOD_STORE;
        code = out.truncate(dataStart);
        if (code == QRZ_OK && !SetFilePointerEx(in.get(), zero, nullptr, FILE_BEGIN)) code = QRZ_IO_ERROR;
        if (code == QRZ_OK) code = storeData(in.get(), out, e);
    }
    if (code == QRZ_OK && !e.zip64Local && (e.usize >= zc::MAX32 || e.csize >= zc::MAX32)) code = QRZ_IO_ERROR;
    if (code == QRZ_OK) code = out.patch(e.localOffset, zc::localHeader(e));
    if (code == QRZ_OK) central_.push_back(zc::centralHeader(e));
    return code;
}

int Zipper::addDirectory(const Item& item, zc::OutFile& out) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(item.path.c_str(), GetFileExInfoStandard, &data);
    zc::NewEntry e;
    e.rawName = zc::encodeName(item.name, e.flags);
    e.method = zc::METHOD_STORE;
    zc::dosTimeFromFileTime(data.ftLastWriteTime, e.dosDate, e.dosTime);
    e.unixTime = zc::unixFromFileTime(data.ftLastWriteTime);
    e.externalAttr = FILE_ATTRIBUTE_DIRECTORY;
    e.localOffset = out.position();
    std::string h = zc::localHeader(e);
    int code = out.write(h.data(), h.size());
    if (code == QRZ_OK) central_.push_back(zc::centralHeader(e));
    return code;
}

// Workers pack files in memory, a few ahead of the writer, which writes
// them in order (and streams the large ones itself).
int Zipper::writeItems(zc::OutFile& out) {
    const size_t count = items_.size();
    std::vector<Packed> packed(count);
    std::mutex m;
    std::condition_variable cv;
    size_t next = 0, written = 0;
    bool stop = false;
    auto work = [&] {
        Deflater deflater(int(cmd_.rate));
        std::unique_lock<std::mutex> lock(m);
        for (;;) {
            cv.wait(lock, [&] { return stop || next >= count || next < written + AHEAD_MAX; });
            if (stop || next >= count) return;
            size_t i = next++;
            lock.unlock();
            try {
                if (!items_[i].directory) packFile(items_[i], int(cmd_.rate), deflater, packed[i]);
            } catch (const std::bad_alloc&) {
                packed[i].code = QRZ_NO_MEMORY;
            }
            lock.lock();
            packed[i].ready = true;
            cv.notify_all();
        }
    };
    std::vector<std::thread> pool;
    try {
        for (size_t k = workerCount(); k > 0; --k) pool.emplace_back(work);
    } catch (const std::system_error&) {
        // Fewer workers (or none: the writer packs each file itself).
    }
    gt::ScopeGuard joinAll([&] {
        {
            std::lock_guard<std::mutex> lock(m);
            stop = true;
        }
        cv.notify_all();
        for (auto& t : pool) t.join();
    });

    int code = QRZ_OK;
    for (size_t i = 0; code == QRZ_OK && i < count; ++i) {
        if (pool.empty() && !items_[i].directory) packFile(items_[i], int(cmd_.rate), deflater_, packed[i]);
        if (!pool.empty()) {
            std::unique_lock<std::mutex> lock(m);
            cv.wait(lock, [&] { return packed[i].ready; });
        }
        Packed& p = packed[i];
        if (items_[i].directory) {
            code = addDirectory(items_[i], out);
        } else if (p.streamed) {
            code = addFile(items_[i], out);
        } else if (p.code != QRZ_OK) {
            code = p.code;
        } else {
            p.entry.localOffset = out.position();
            std::string header = zc::localHeader(p.entry);
            code = out.write(header.data(), header.size());
            if (code == QRZ_OK) code = out.write(p.data.data(), p.data.size());
            if (code == QRZ_OK) central_.push_back(zc::centralHeader(p.entry));
        }
        std::string().swap(p.data);
        {
            std::lock_guard<std::mutex> lock(m);
            written = i + 1;
        }
        cv.notify_all();
    }
    return code;
}

int Zipper::run() {
    zipPath_ = zc::fullPath(zc::wideFromAnsi(cmd_.zipFile));
    for (const std::string& s : zc::splitSources(cmd_.sources))
        if (!collect(zc::wideFromAnsi(s.c_str()))) return QRZ_NO_SOURCE;
    if (items_.empty()) return QRZ_NO_SOURCE;

    in_.reset(new (std::nothrow) char[READ_CHUNK]);
    out_.reset(new (std::nothrow) char[READ_CHUNK]);
    if (!in_ || !out_) return QRZ_NO_MEMORY;

    zc::Archive old;
    bool adding = cmd_.addToExisting && GetFileAttributesW(zipPath_.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (adding) {
        // A damaged archive is left alone rather than rebuilt from what can be read.
        int code = old.open(zipPath_);
        if (code != QRZ_OK) return code;
    }

    wchar_t temp[MAX_PATH + 1];
    if (!GetTempFileNameW(parentOf(zipPath_).c_str(), L"dzt", 0, temp)) return zc::writeErrorCode(GetLastError());
    gt::ScopeGuard dropTemp([&] { DeleteFileW(temp); });
    int code = QRZ_OK;
    {
        gt::FileHandle file(CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return QRZ_IO_ERROR;
        zc::OutFile out(file.get());
        if (adding) code = copyKept(old, out);
        if (code == QRZ_OK) code = writeItems(out);
        uint64_t cdOffset = out.position();
        for (size_t i = 0; code == QRZ_OK && i < central_.size(); ++i)
            code = out.write(central_[i].data(), central_[i].size());
        if (code == QRZ_OK) {
            std::string end = zc::endRecords(central_.size(), cdOffset, out.position() - cdOffset);
            code = out.write(end.data(), end.size());
        }
        if (code == QRZ_OK) code = out.flush();
        if (code == QRZ_OK && !FlushFileBuffers(file.get())) code = zc::writeErrorCode(GetLastError());
    }
    if (code != QRZ_OK) return code;
    old = zc::Archive();

    if (cmd_.options & ZIPOPT_VERIFY) {
        zc::Archive check;
        code = check.open(temp);
        for (size_t i = 0; code == QRZ_OK && i < check.entries().size(); ++i) code = check.extract(i, nullptr, nullptr);
        if (code != QRZ_OK) return QRZ_DAMAGED;
    }
    if (!MoveFileExW(temp, zipPath_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return zc::writeErrorCode(GetLastError());
    dropTemp.dismiss();
    return QRZ_OK;
}

}  // namespace

extern "C" DWORD WINAPI dzip(void* record) {
    const ZipCommand* cmd = static_cast<const ZipCommand*>(record);
    if (!cmd || cmd->cbSize != ZIPCMD_SIZE || cmd->function != ZIPFN_ADD) return QRZ_BAD_RECORD;
    if (!cmd->zipFile || !*cmd->zipFile || !cmd->sources || !*cmd->sources || cmd->rate > 9) return QRZ_BAD_RECORD;
    zc::resetBytes();
    try {
        return DWORD(Zipper(*cmd).run());
    } catch (const std::bad_alloc&) {
        return QRZ_NO_MEMORY;
    }
}

// Bytes read from the sources so far by the running call.
extern "C" ULONGLONG WINAPI dzipBytesDone(void) { return ULONGLONG(zc::bytesDone()); }
