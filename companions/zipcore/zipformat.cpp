#include "zipformat.h"

#include <zlib.h>

#include <algorithm>
#include <cwctype>

namespace zc {

uint16_t get16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t get32(const uint8_t* p) { return uint32_t(get16(p)) | (uint32_t(get16(p + 2)) << 16); }
uint64_t get64(const uint8_t* p) { return uint64_t(get32(p)) | (uint64_t(get32(p + 4)) << 32); }
void put16(std::string& out, uint16_t v) {
    out.push_back(char(v & 0xFF));
    out.push_back(char(v >> 8));
}
void put32(std::string& out, uint32_t v) {
    put16(out, uint16_t(v));
    put16(out, uint16_t(v >> 16));
}
void put64(std::string& out, uint64_t v) {
    put32(out, uint32_t(v));
    put32(out, uint32_t(v >> 32));
}

bool Entry::isDirectory() const {
    return !name.empty() && (name.back() == L'/' || name.back() == L'\\');
}

DWORD Entry::dosAttributes() const {
    const DWORD keep = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    uint8_t host = uint8_t(madeBy >> 8);
    if (host == HOST_UNIX) {
        uint32_t mode = externalAttr >> 16;
        if (mode == 0) return externalAttr & keep;
        return (mode & 0200) ? 0 : FILE_ATTRIBUTE_READONLY;
    }
    return externalAttr & keep;
}

namespace {

// The extra block with this id inside `extra`, or null.
const uint8_t* findExtra(const std::string& extra, uint16_t id, size_t& len) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(extra.data());
    size_t i = 0;
    while (i + 4 <= extra.size()) {
        uint16_t tag = get16(p + i), size = get16(p + i + 2);
        if (i + 4 + size > extra.size()) return nullptr;
        if (tag == id) {
            len = size;
            return p + i + 4;
        }
        i += 4 + size;
    }
    return nullptr;
}

// Extra blocks other than `id`.
std::string withoutExtra(const std::string& extra, uint16_t id) {
    std::string out;
    const uint8_t* p = reinterpret_cast<const uint8_t*>(extra.data());
    size_t i = 0;
    while (i + 4 <= extra.size()) {
        uint16_t size = get16(p + i + 2);
        if (i + 4 + size > extra.size()) break;
        if (get16(p + i) != id) out.append(extra, i, 4 + size);
        i += 4 + size;
    }
    return out;
}

std::wstring widen(const std::string& s, UINT cp, DWORD flags) {
    if (s.empty()) return std::wstring();
    int n = MultiByteToWideChar(cp, flags, s.data(), int(s.size()), nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring w(size_t(n), L'\0');
    MultiByteToWideChar(cp, flags, s.data(), int(s.size()), &w[0], n);
    return w;
}

std::string narrow(const std::wstring& w, UINT cp) {
    if (w.empty()) return std::string();
    int n = WideCharToMultiByte(cp, 0, w.data(), int(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(size_t(n), '\0');
    WideCharToMultiByte(cp, 0, w.data(), int(w.size()), &s[0], n, nullptr, nullptr);
    return s;
}

bool isSeparator(wchar_t c) { return c == L'/' || c == L'\\'; }

bool isDeviceName(std::wstring part) {
    size_t dot = part.find(L'.');
    if (dot != std::wstring::npos) part.resize(dot);
    for (auto& c : part) c = wchar_t(std::towupper(c));
    static const wchar_t* const fixed[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (const wchar_t* d : fixed)
        if (part == d) return true;
    return part.size() == 4 && (part.compare(0, 3, L"COM") == 0 || part.compare(0, 3, L"LPT") == 0) &&
           part[3] >= L'0' && part[3] <= L'9';
}

wchar_t fold(wchar_t c) { return wchar_t(std::towupper(c)); }

bool globMatch(const wchar_t* p, const wchar_t* n) {
    const wchar_t* star = nullptr;
    const wchar_t* resume = nullptr;
    while (*n) {
        if (*p == L'*') {
            star = p++;
            resume = n;
        } else if (*p == L'?' || (*p && fold(*p) == fold(*n))) {
            ++p;
            ++n;
        } else if (star) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    // A trailing '?' may match nothing, as on Windows.
    while (*p == L'*' || *p == L'?') ++p;
    return *p == 0;
}

bool matchOne(const std::wstring& pat, const std::wstring& name) {
    if (pat == L"*" || pat == L"*.*") return true;
    if (globMatch(pat.c_str(), name.c_str())) return true;
    // "x.*" also matches "x"; "x." matches "x" (names without an extension).
    bool hasDot = name.find(L'.') != std::wstring::npos;
    if (pat.size() >= 2 && pat.compare(pat.size() - 2, 2, L".*") == 0 && !hasDot)
        return globMatch(pat.substr(0, pat.size() - 2).c_str(), name.c_str());
    if (!pat.empty() && pat.back() == L'.' && !hasDot)
        return globMatch(pat.substr(0, pat.size() - 1).c_str(), name.c_str());
    return false;
}

}  // namespace

bool parseEnd(const uint8_t* tail, size_t n, uint64_t tailOffset, uint64_t fileSize, Directory& dir,
              uint64_t& locator64) {
    locator64 = UINT64_MAX;
    if (n < END_SIZE) return false;
    for (size_t i = n - END_SIZE + 1; i-- > 0;) {
        const uint8_t* p = tail + i;
        if (get32(p) != SIG_END) continue;
        size_t commentLen = get16(p + 20);
        if (i + END_SIZE + commentLen > n) continue;
        if (get16(p + 4) != 0 || get16(p + 6) != 0) return false;  // split archives
        dir.count = get16(p + 10);
        dir.size = get32(p + 12);
        dir.offset = get32(p + 16);
        uint64_t endOffset = tailOffset + i;
        if (i >= LOCATOR64_SIZE && get32(p - LOCATOR64_SIZE) == SIG_LOCATOR64) {
            locator64 = get64(p - LOCATOR64_SIZE + 8);
            return locator64 + END64_SIZE <= endOffset;
        }
        return dir.offset + dir.size <= endOffset && dir.count * CENTRAL_HEADER_SIZE <= dir.size;
    }
    return false;
}

bool parseEnd64(const uint8_t* p, size_t n, uint64_t fileSize, Directory& dir) {
    if (n < END64_SIZE || get32(p) != SIG_END64) return false;
    dir.count = get64(p + 32);
    dir.size = get64(p + 40);
    dir.offset = get64(p + 48);
    if (dir.offset > fileSize || dir.size > fileSize - dir.offset) return false;
    return dir.count <= dir.size / CENTRAL_HEADER_SIZE;
}

bool parseCentral(const uint8_t* p, size_t n, uint64_t count, std::vector<Entry>& out) {
    size_t i = 0;
    out.clear();
    out.reserve(size_t(count));
    for (uint64_t k = 0; k < count; ++k) {
        if (i + CENTRAL_HEADER_SIZE > n || get32(p + i) != SIG_CENTRAL) return false;
        const uint8_t* h = p + i;
        Entry e;
        e.madeBy = get16(h + 4);
        e.needed = get16(h + 6);
        e.flags = get16(h + 8);
        e.method = get16(h + 10);
        e.dosTime = get16(h + 12);
        e.dosDate = get16(h + 14);
        e.crc = get32(h + 16);
        e.csize = get32(h + 20);
        e.usize = get32(h + 24);
        size_t nameLen = get16(h + 28), extraLen = get16(h + 30), commentLen = get16(h + 32);
        e.externalAttr = get32(h + 38);
        e.localOffset = get32(h + 42);
        size_t total = CENTRAL_HEADER_SIZE + nameLen + extraLen + commentLen;
        if (i + total > n) return false;
        e.rawName.assign(reinterpret_cast<const char*>(h + CENTRAL_HEADER_SIZE), nameLen);
        e.extra.assign(reinterpret_cast<const char*>(h + CENTRAL_HEADER_SIZE + nameLen), extraLen);
        size_t len = 0;
        if (const uint8_t* z = findExtra(e.extra, EXTRA_ZIP64, len)) {
            size_t at = 0;
            // Only the fields whose 32-bit form is saturated are present, in order.
            if (e.usize == MAX32) {
                if (at + 8 > len) return false;
                e.usize = get64(z + at), at += 8;
            }
            if (e.csize == MAX32) {
                if (at + 8 > len) return false;
                e.csize = get64(z + at), at += 8;
            }
            if (e.localOffset == MAX32) {
                if (at + 8 > len) return false;
                e.localOffset = get64(z + at), at += 8;
            }
        }
        if (const uint8_t* t = findExtra(e.extra, EXTRA_TIME, len)) {
            if (len >= 5 && (t[0] & 1)) {
                e.hasUnixTime = true;
                e.unixTime = get32(t + 1);
            }
        }
        e.name = decodeName(e.rawName, e.flags, e.extra);
        out.push_back(std::move(e));
        i += total;
    }
    return true;
}

uint64_t localDataOffset(const uint8_t* p, size_t n) {
    if (n < LOCAL_HEADER_SIZE || get32(p) != SIG_LOCAL) return 0;
    return LOCAL_HEADER_SIZE + localNameExtraLength(p);
}

size_t localNameExtraLength(const uint8_t* p) { return size_t(get16(p + 26)) + get16(p + 28); }

bool isAscii(const std::string& s) {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}

std::wstring decodeName(const std::string& raw, uint16_t flags, const std::string& extra) {
    if ((flags & FLAG_UTF8) || isAscii(raw)) return widen(raw, CP_UTF8, 0);
    size_t len = 0;
    // Info-ZIP's Unicode path: version 1, CRC of the raw name, UTF-8 name.
    if (const uint8_t* u = findExtra(extra, EXTRA_UNICODE_PATH, len)) {
        if (len > 5 && u[0] == 1 &&
            get32(u + 1) == crc32(0, reinterpret_cast<const Bytef*>(raw.data()), uInt(raw.size())))
            return widen(std::string(reinterpret_cast<const char*>(u + 5), len - 5), CP_UTF8, 0);
    }
    // Tools that write UTF-8 without saying so are common; other names are
    // in the OEM code page, as the format has it.
    std::wstring w = widen(raw, CP_UTF8, MB_ERR_INVALID_CHARS);
    if (!w.empty()) return w;
    return widen(raw, CP_OEMCP, 0);
}

std::string encodeName(const std::wstring& name, uint16_t& flags) {
    std::wstring slashed = name;
    std::replace(slashed.begin(), slashed.end(), L'\\', L'/');
    std::string utf8 = narrow(slashed, CP_UTF8);
    if (isAscii(utf8))
        flags &= uint16_t(~FLAG_UTF8);
    else
        flags |= FLAG_UTF8;
    return utf8;
}

bool safeRelativePath(const std::wstring& name, std::wstring& relative) {
    relative.clear();
    if (name.empty() || isSeparator(name[0])) return false;
    size_t i = 0;
    while (i < name.size()) {
        size_t j = i;
        while (j < name.size() && !isSeparator(name[j])) ++j;
        std::wstring part = name.substr(i, j - i);
        i = j + 1;
        if (part.empty() || part == L".") continue;
        if (part == L"..") return false;
        for (wchar_t c : part)
            if (c < 0x20 || wcschr(L"<>:\"|?*", c)) return false;
        // Windows drops trailing dots and blanks, which would turn "..." or
        // ". ." into another name than the archive shows.
        if (part.back() == L'.' || part.back() == L' ') return false;
        if (isDeviceName(part)) return false;
        if (!relative.empty()) relative += L'\\';
        relative += part;
    }
    return !relative.empty();
}

bool matchSpec(const std::wstring& spec, const std::wstring& name) {
    size_t i = 0;
    while (i <= spec.size()) {
        size_t j = spec.find(L';', i);
        if (j == std::wstring::npos) j = spec.size();
        std::wstring pat = spec.substr(i, j - i);
        if (!pat.empty() && matchOne(pat, name)) return true;
        i = j + 1;
    }
    return false;
}

bool selectEntry(const std::wstring& relative, bool directory, const std::wstring& spec, bool recurse,
                 bool keepPaths) {
    size_t cut = relative.find_last_of(L'\\');
    if (cut != std::wstring::npos && !recurse) return false;
    if (directory) return keepPaths;
    return matchSpec(spec, cut == std::wstring::npos ? relative : relative.substr(cut + 1));
}

std::vector<std::string> splitSources(const char* text) {
    std::vector<std::string> out;
    if (!text) return out;
    const char* p = text;
    while (*p) {
        while (*p == ' ' || *p == '\t') ++p;
        if (!*p) break;
        std::string token;
        if (*p == '"') {
            ++p;
            while (*p && *p != '"') token += *p++;
            if (*p == '"') ++p;
        } else {
            while (*p && *p != ' ' && *p != '\t') token += *p++;
        }
        if (!token.empty()) out.push_back(token);
    }
    return out;
}

void dosTimeFromFileTime(const FILETIME& utc, uint16_t& dosDate, uint16_t& dosTime) {
    FILETIME local;
    WORD d = 0x21, t = 0;  // 1980-01-01 for times the format cannot hold
    if (FileTimeToLocalFileTime(&utc, &local) && FileTimeToDosDateTime(&local, &d, &t)) {
        dosDate = d;
        dosTime = t;
        return;
    }
    dosDate = 0x21;
    dosTime = 0;
}

namespace {
const uint64_t UNIX_EPOCH_TICKS = 116444736000000000ull;
const uint64_t TICKS_PER_SECOND = 10000000ull;
}  // namespace

FILETIME fileTimeFromEntry(const Entry& e) {
    FILETIME ft{};
    if (e.hasUnixTime) {
        uint64_t ticks = uint64_t(e.unixTime) * TICKS_PER_SECOND + UNIX_EPOCH_TICKS;
        ft.dwLowDateTime = DWORD(ticks);
        ft.dwHighDateTime = DWORD(ticks >> 32);
        return ft;
    }
    FILETIME local{};
    DosDateTimeToFileTime(e.dosDate, e.dosTime, &local);
    LocalFileTimeToFileTime(&local, &ft);
    return ft;
}

uint32_t unixFromFileTime(const FILETIME& utc) {
    uint64_t ticks = (uint64_t(utc.dwHighDateTime) << 32) | utc.dwLowDateTime;
    if (ticks < UNIX_EPOCH_TICKS) return 0;
    uint64_t s = (ticks - UNIX_EPOCH_TICKS) / TICKS_PER_SECOND;
    return s > MAX32 ? MAX32 : uint32_t(s);
}

bool needsZip64(uint64_t size) {
    // Stored-size headroom: deflate adds at most a few bytes per 16 KiB.
    return size >= MAX32 - (MAX32 >> 10);
}

namespace {
const size_t TIME_EXTRA_SIZE = 9;  // id, length, flags, modification time
const uint8_t TIME_HAS_MTIME = 1;

void putTimeExtra(std::string& out, uint32_t unixTime) {
    put16(out, EXTRA_TIME);
    put16(out, uint16_t(TIME_EXTRA_SIZE - 4));
    out.push_back(char(TIME_HAS_MTIME));
    put32(out, unixTime);
}

uint16_t versionNeeded(const NewEntry& e, bool zip64) {
    if (zip64) return VERSION_ZIP64;
    return e.method == METHOD_DEFLATE ? VERSION_DEFLATE : VERSION_STORE;
}
}  // namespace

std::string localHeader(const NewEntry& e) {
    std::string h;
    put32(h, SIG_LOCAL);
    put16(h, versionNeeded(e, e.zip64Local));
    put16(h, e.flags);
    put16(h, e.method);
    put16(h, e.dosTime);
    put16(h, e.dosDate);
    put32(h, e.crc);
    put32(h, e.zip64Local ? MAX32 : uint32_t(e.csize));
    put32(h, e.zip64Local ? MAX32 : uint32_t(e.usize));
    put16(h, uint16_t(e.rawName.size()));
    put16(h, uint16_t(TIME_EXTRA_SIZE + (e.zip64Local ? 20 : 0)));
    h += e.rawName;
    if (e.zip64Local) {
        put16(h, EXTRA_ZIP64);
        put16(h, 16);
        put64(h, e.usize);
        put64(h, e.csize);
    }
    putTimeExtra(h, e.unixTime);
    return h;
}

size_t localCrcOffset() { return 14; }

size_t localZip64SizesOffset(const NewEntry& e) { return LOCAL_HEADER_SIZE + e.rawName.size() + 4; }

namespace {
// Central header with the Zip64 fields that the values need.
std::string central(uint16_t madeBy, uint16_t needed, uint16_t flags, uint16_t method, uint16_t dosTime,
                    uint16_t dosDate, uint32_t crc, uint64_t csize, uint64_t usize, uint64_t offset,
                    uint32_t externalAttr, const std::string& rawName, const std::string& otherExtra) {
    std::string z;
    if (usize >= MAX32) put64(z, usize);
    if (csize >= MAX32) put64(z, csize);
    if (offset >= MAX32) put64(z, offset);
    std::string extra;
    if (!z.empty()) {
        put16(extra, EXTRA_ZIP64);
        put16(extra, uint16_t(z.size()));
        extra += z;
        needed = std::max<uint16_t>(needed, VERSION_ZIP64);
    }
    extra += otherExtra;
    std::string h;
    put32(h, SIG_CENTRAL);
    put16(h, madeBy);
    put16(h, needed);
    put16(h, flags);
    put16(h, method);
    put16(h, dosTime);
    put16(h, dosDate);
    put32(h, crc);
    put32(h, csize >= MAX32 ? MAX32 : uint32_t(csize));
    put32(h, usize >= MAX32 ? MAX32 : uint32_t(usize));
    put16(h, uint16_t(rawName.size()));
    put16(h, uint16_t(extra.size()));
    put16(h, 0);  // comment
    put16(h, 0);  // disk
    put16(h, 0);  // internal attributes
    put32(h, externalAttr);
    put32(h, offset >= MAX32 ? MAX32 : uint32_t(offset));
    h += rawName;
    h += extra;
    return h;
}
}  // namespace

std::string centralHeader(const NewEntry& e) {
    std::string timeExtra;
    putTimeExtra(timeExtra, e.unixTime);
    uint16_t madeBy = uint16_t((HOST_FAT << 8) | VERSION_ZIP64);
    return central(madeBy, versionNeeded(e, e.zip64Local), e.flags, e.method, e.dosTime, e.dosDate, e.crc,
                   e.csize, e.usize, e.localOffset, e.externalAttr, e.rawName, timeExtra);
}

std::string centralHeaderKept(const Entry& e, uint64_t newOffset) {
    return central(e.madeBy, e.needed, e.flags, e.method, e.dosTime, e.dosDate, e.crc, e.csize, e.usize,
                   newOffset, e.externalAttr, e.rawName, withoutExtra(e.extra, EXTRA_ZIP64));
}

std::string endRecords(uint64_t count, uint64_t cdOffset, uint64_t cdSize) {
    std::string out;
    bool zip64 = count >= MAX16 || cdOffset >= MAX32 || cdSize >= MAX32;
    if (zip64) {
        uint64_t end64Offset = cdOffset + cdSize;
        put32(out, SIG_END64);
        put64(out, END64_SIZE - 12);
        put16(out, VERSION_ZIP64);
        put16(out, VERSION_ZIP64);
        put32(out, 0);
        put32(out, 0);
        put64(out, count);
        put64(out, count);
        put64(out, cdSize);
        put64(out, cdOffset);
        put32(out, SIG_LOCATOR64);
        put32(out, 0);
        put64(out, end64Offset);
        put32(out, 1);
    }
    put32(out, SIG_END);
    put16(out, 0);
    put16(out, 0);
    put16(out, zip64 ? MAX16 : uint16_t(count));
    put16(out, zip64 ? MAX16 : uint16_t(count));
    put32(out, cdSize >= MAX32 ? MAX32 : uint32_t(cdSize));
    put32(out, cdOffset >= MAX32 ? MAX32 : uint32_t(cdOffset));
    put16(out, 0);
    return out;
}

}  // namespace zc
