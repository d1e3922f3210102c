#include "zipio.h"

#include <zlib.h>

#include <algorithm>
#include <memory>

namespace zc {

namespace {
volatile LONGLONG g_bytesDone = 0;
}
void countBytes(uint64_t n) { InterlockedExchangeAdd64(&g_bytesDone, LONGLONG(n)); }
uint64_t bytesDone() { return uint64_t(InterlockedCompareExchange64(&g_bytesDone, 0, 0)); }
void resetBytes() { InterlockedExchange64(&g_bytesDone, 0); }

namespace {
const size_t IO_CHUNK = 1 << 20;
const size_t TAIL_MAX = END_SIZE + MAX_COMMENT + LOCATOR64_SIZE;
const size_t DESCRIPTOR_SIZE = 12;    // CRC, two 32-bit sizes
const size_t DESCRIPTOR64_SIZE = 20;  // CRC, two 64-bit sizes
}  // namespace

int writeErrorCode(DWORD lastError) {
    return (lastError == ERROR_DISK_FULL || lastError == ERROR_HANDLE_DISK_FULL) ? QRZ_DISK_FULL : QRZ_IO_ERROR;
}

OutFile::OutFile(HANDLE h) : h_(h) {}

int OutFile::flush() {
    size_t done = 0;
    while (done < buf_.size()) {
        DWORD n = 0;
        DWORD want = DWORD(std::min(buf_.size() - done, IO_CHUNK));
        if (!WriteFile(h_, buf_.data() + done, want, &n, nullptr) || n == 0) {
            int code = writeErrorCode(GetLastError());
            buf_.erase(0, done);
            flushed_ += done;
            return code;
        }
        done += n;
    }
    flushed_ += done;
    buf_.clear();
    return QRZ_OK;
}

int OutFile::write(const void* p, size_t n) {
    if (buf_.empty() && n >= IO_CHUNK) {
        // Large pieces go straight to the file.
        DWORD done = 0;
        if (!WriteFile(h_, p, DWORD(n), &done, nullptr) || done != n) {
            int code = writeErrorCode(GetLastError());
            flushed_ += done;
            return code;
        }
        flushed_ += n;
        return QRZ_OK;
    }
    buf_.append(static_cast<const char*>(p), n);
    return buf_.size() >= IO_CHUNK ? flush() : QRZ_OK;
}

int OutFile::patch(uint64_t offset, const std::string& bytes) {
    if (offset >= flushed_) {
        buf_.replace(size_t(offset - flushed_), bytes.size(), bytes);
        return QRZ_OK;
    }
    int code = flush();
    if (code != QRZ_OK) return code;
    LARGE_INTEGER at, end;
    at.QuadPart = LONGLONG(offset);
    end.QuadPart = LONGLONG(flushed_);
    DWORD n = 0;
    if (!SetFilePointerEx(h_, at, nullptr, FILE_BEGIN) ||
        !WriteFile(h_, bytes.data(), DWORD(bytes.size()), &n, nullptr) || n != bytes.size())
        return writeErrorCode(GetLastError());
    return SetFilePointerEx(h_, end, nullptr, FILE_BEGIN) ? QRZ_OK : QRZ_IO_ERROR;
}

int OutFile::truncate(uint64_t offset) {
    if (offset >= flushed_) {
        buf_.resize(size_t(offset - flushed_));
        return QRZ_OK;
    }
    buf_.clear();
    LARGE_INTEGER at;
    at.QuadPart = LONGLONG(offset);
    if (!SetFilePointerEx(h_, at, nullptr, FILE_BEGIN) || !SetEndOfFile(h_)) return QRZ_IO_ERROR;
    flushed_ = offset;
    return QRZ_OK;
}

int readAt(HANDLE h, uint64_t offset, void* p, size_t n) {
    OVERLAPPED ov{};
    ov.Offset = DWORD(offset);
    ov.OffsetHigh = DWORD(offset >> 32);
    DWORD got = 0;
    if (!ReadFile(h, p, DWORD(n), &got, &ov)) return QRZ_DAMAGED;
    return got == n ? QRZ_OK : QRZ_DAMAGED;
}

uint64_t fileSize(HANDLE h) {
    LARGE_INTEGER s{};
    return GetFileSizeEx(h, &s) ? uint64_t(s.QuadPart) : 0;
}

int Archive::open(const std::wstring& path) {
    file_.reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file_) return QRZ_NO_ARCHIVE;
    HANDLE h = file_.get();
    uint64_t size = fileSize(h);
    size_t tailLen = size_t(std::min<uint64_t>(size, TAIL_MAX));
    std::string tail(tailLen, '\0');
    if (readAt(h, size - tailLen, &tail[0], tailLen) != QRZ_OK) return QRZ_DAMAGED;
    Directory dir;
    uint64_t end64 = 0;
    if (!parseEnd(reinterpret_cast<const uint8_t*>(tail.data()), tailLen, size - tailLen, size, dir, end64))
        return QRZ_DAMAGED;
    if (end64 != UINT64_MAX) {
        uint8_t rec[END64_SIZE];
        if (readAt(h, end64, rec, sizeof(rec)) != QRZ_OK || !parseEnd64(rec, sizeof(rec), size, dir))
            return QRZ_DAMAGED;
    }
    if (dir.size > 0x7FFFFFFF) return QRZ_DAMAGED;
    std::string cd(size_t(dir.size), '\0');
    if (dir.size && readAt(h, dir.offset, &cd[0], cd.size()) != QRZ_OK) return QRZ_DAMAGED;
    if (!parseCentral(reinterpret_cast<const uint8_t*>(cd.data()), cd.size(), dir.count, entries_))
        return QRZ_DAMAGED;

    // Every entry's header and data must lie before the directory, and no
    // two entries may share bytes.
    dataOffsets_.assign(entries_.size(), 0);
    recordEnds_.assign(entries_.size(), 0);
    std::vector<std::pair<uint64_t, uint64_t>> spans;
    for (size_t i = 0; i < entries_.size(); ++i) {
        const Entry& e = entries_[i];
        uint8_t lh[LOCAL_HEADER_SIZE];
        if (e.localOffset + LOCAL_HEADER_SIZE > dir.offset) return QRZ_DAMAGED;
        if (readAt(h, e.localOffset, lh, sizeof(lh)) != QRZ_OK) return QRZ_DAMAGED;
        uint64_t rel = localDataOffset(lh, sizeof(lh));
        if (!rel) return QRZ_DAMAGED;
        uint64_t data = e.localOffset + rel;
        if (data > dir.offset || e.csize > dir.offset - data) return QRZ_DAMAGED;
        uint64_t end = data + e.csize;
        if (get16(lh + 6) & FLAG_DESCRIPTOR) {
            uint8_t d[4] = {};
            size_t len = (e.csize >= MAX32 || e.usize >= MAX32) ? DESCRIPTOR64_SIZE : DESCRIPTOR_SIZE;
            if (end + 4 <= dir.offset && readAt(h, end, d, 4) == QRZ_OK && get32(d) == SIG_DESCRIPTOR) len += 4;
            end = std::min(end + len, dir.offset);
        }
        dataOffsets_[i] = data;
        recordEnds_[i] = end;
        spans.emplace_back(e.localOffset, end);
    }
    std::sort(spans.begin(), spans.end());
    for (size_t i = 1; i < spans.size(); ++i)
        if (spans[i].first < spans[i - 1].second) return QRZ_DAMAGED;
    return QRZ_OK;
}

int Archive::extract(size_t i, Sink sink, void* ctx) const {
    const Entry& e = entries_[i];
    if (e.flags & FLAG_ENCRYPTED) return QRZ_UNSUPPORTED;
    if (e.method != METHOD_STORE && e.method != METHOD_DEFLATE) return QRZ_UNSUPPORTED;
    HANDLE h = file_.get();
    // Small entries get small buffers: archives of many small files are common.
    const size_t inSize = size_t(std::min<uint64_t>(IO_CHUNK, std::max<uint64_t>(e.csize, 1)));
    const size_t outSize = size_t(std::min<uint64_t>(IO_CHUNK, e.usize + 1));
    std::unique_ptr<char[]> in(new (std::nothrow) char[inSize]);
    std::unique_ptr<char[]> out(new (std::nothrow) char[outSize]);
    if (!in || !out) return QRZ_NO_MEMORY;
    uint64_t offset = dataOffsets_[i], left = e.csize, produced = 0;
    uLong crc = crc32(0, nullptr, 0);

    if (e.method == METHOD_STORE) {
        if (e.csize != e.usize) return e.csize > e.usize ? QRZ_UNSAFE_ENTRY : QRZ_DAMAGED;
        while (left) {
            size_t n = size_t(std::min<uint64_t>(left, inSize));
            if (readAt(h, offset, in.get(), n) != QRZ_OK) return QRZ_DAMAGED;
            crc = crc32(crc, reinterpret_cast<const Bytef*>(in.get()), uInt(n));
            if (sink) {
                int code = sink(ctx, in.get(), n);
                if (code != QRZ_OK) return code;
            }
            offset += n;
            left -= n;
            countBytes(n);
        }
        return crc == e.crc ? QRZ_OK : QRZ_DAMAGED;
    }

    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return QRZ_NO_MEMORY;
    gt::ScopeGuard end([&] { inflateEnd(&z); });
    int zr = Z_OK;
    while (zr != Z_STREAM_END) {
        if (z.avail_in == 0 && left) {
            size_t n = size_t(std::min<uint64_t>(left, inSize));
            if (readAt(h, offset, in.get(), n) != QRZ_OK) return QRZ_DAMAGED;
            offset += n;
            left -= n;
            z.next_in = reinterpret_cast<Bytef*>(in.get());
            z.avail_in = uInt(n);
        }
        z.next_out = reinterpret_cast<Bytef*>(out.get());
        z.avail_out = uInt(outSize);
        zr = inflate(&z, Z_NO_FLUSH);
        size_t n = outSize - z.avail_out;
        // No progress with all data given: the data ends before the stream does.
        if (zr == Z_BUF_ERROR && n == 0) return QRZ_DAMAGED;
        if (zr != Z_OK && zr != Z_STREAM_END && zr != Z_BUF_ERROR)
            return zr == Z_MEM_ERROR ? QRZ_NO_MEMORY : QRZ_DAMAGED;
        if (n > e.usize - produced) return QRZ_UNSAFE_ENTRY;  // more than the entry declares
        produced += n;
        crc = crc32(crc, reinterpret_cast<const Bytef*>(out.get()), uInt(n));
        if (sink && n) {
            int code = sink(ctx, out.get(), n);
            if (code != QRZ_OK) return code;
        }
        countBytes(n);
    }
    if (produced != e.usize || crc != e.crc) return QRZ_DAMAGED;
    return QRZ_OK;
}

std::wstring wideFromAnsi(const char* s) {
    if (!s || !*s) return std::wstring();
    int n = MultiByteToWideChar(CP_ACP, 0, s, -1, nullptr, 0);
    std::wstring w(size_t(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, s, -1, &w[0], n);
    w.resize(size_t(n - 1));
    return w;
}

std::string ansiFromWide(const std::wstring& w) {
    if (w.empty()) return std::string();
    int n = WideCharToMultiByte(CP_ACP, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string s(size_t(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, w.c_str(), -1, &s[0], n, nullptr, nullptr);
    s.resize(size_t(n - 1));
    return s;
}

std::wstring fullPath(const std::wstring& path) {
    DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (!n) return path;
    std::wstring out(n, L'\0');
    n = GetFullPathNameW(path.c_str(), n, &out[0], nullptr);
    out.resize(n);
    return out;
}

bool createDirectories(const std::wstring& dir) {
    DWORD a = GetFileAttributesW(dir.c_str());
    if (a != INVALID_FILE_ATTRIBUTES) return (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
    size_t cut = dir.find_last_of(L"\\/");
    if (cut != std::wstring::npos && cut > 0 && dir[cut - 1] != L':') {
        if (!createDirectories(dir.substr(0, cut))) return false;
    }
    return CreateDirectoryW(dir.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

}  // namespace zc
