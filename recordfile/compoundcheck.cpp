// Consistency check of a compound document before the platform opens it.
// The platform's reader follows sector chains and directory links without
// bounds: a chain that loops makes it spin forever, a directory link that
// loops makes it crash.  This walks every chain and link once, with bounds.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "frame/owners.h"
#include "recordfile/recordfile.h"

namespace gt::recordfile {

namespace {

constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kFree = 0xFFFFFFFF;
constexpr uint32_t kNoEntry = 0xFFFFFFFF;
constexpr size_t kHeaderBytes = 512;
constexpr size_t kHeaderDifatEntries = 109;
constexpr size_t kDirEntryBytes = 128;
constexpr uint32_t kMiniCutoff = 4096;
constexpr unsigned kMiniShift = 6;
constexpr unsigned char kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
enum : uint8_t { kTypeEmpty = 0, kTypeStorage = 1, kTypeStream = 2, kTypeRoot = 5 };

uint32_t u32(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
uint16_t u16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

class Doc {
public:
    Doc(ReadAt read, void* ctx, unsigned long size) : read_(read), ctx_(ctx), size_(size) {}

    Compound check() {
        unsigned char h[kHeaderBytes];
        if (size_ < kHeaderBytes || read_(ctx_, 0, h, kHeaderBytes) != static_cast<long>(kHeaderBytes) ||
            std::memcmp(h, kSignature, sizeof(kSignature)) != 0)
            return Compound::NotCompound;
        return checkStructure(h) ? Compound::Sound : Compound::Corrupt;
    }

private:
    bool checkStructure(const unsigned char* h) {
        if (u16(h + 28) != 0xFFFE) return false;
        unsigned shift = u16(h + 30);
        if ((shift != 9 && shift != 12) || u16(h + 32) != kMiniShift || u32(h + 56) != kMiniCutoff) return false;
        ss_ = 1u << shift;
        if (size_ < ss_) return false;
        sectors_ = (size_ - ss_ + ss_ - 1) / ss_;
        if (!loadFat(h)) return false;
        used_.assign(sectors_, false);
        std::vector<uint32_t> dirChain;
        if (!chain(fat_, used_, u32(h + 48), 0, dirChain)) return false;
        if (!loadDirectory(dirChain)) return false;
        std::vector<uint32_t> miniFatChain;
        if (!chain(fat_, used_, u32(h + 60), u32(h + 64), miniFatChain)) return false;
        if (!loadTable(miniFatChain, miniFat_)) return false;
        return checkTree();
    }

    bool readSector(uint32_t s, unsigned char* dst) {
        return s < sectors_ && read_(ctx_, (static_cast<unsigned long>(s) + 1) * ss_, dst, ss_) > 0;
    }

    bool loadFat(const unsigned char* h) {
        uint32_t nFat = u32(h + 44);
        if (nFat > sectors_) return false;
        std::vector<uint32_t> fatSectors;
        for (size_t i = 0; i < kHeaderDifatEntries && fatSectors.size() < nFat; ++i) fatSectors.push_back(u32(h + 76 + 4 * i));
        uint32_t next = u32(h + 68);
        uint32_t perDifat = ss_ / 4 - 1;
        std::vector<unsigned char> buf(ss_);
        std::vector<bool> seen(sectors_, false);
        for (uint32_t n = u32(h + 72); fatSectors.size() < nFat; --n) {
            if (n == 0 || next >= sectors_ || seen[next] || !readSector(next, buf.data())) return false;
            seen[next] = true;
            for (uint32_t i = 0; i < perDifat && fatSectors.size() < nFat; ++i) fatSectors.push_back(u32(&buf[4 * i]));
            next = u32(&buf[4 * perDifat]);
        }
        return loadTable(fatSectors, fat_);
    }

    bool loadTable(const std::vector<uint32_t>& sectors, std::vector<uint32_t>& table) {
        std::vector<unsigned char> buf(ss_);
        table.clear();
        table.reserve(sectors.size() * (ss_ / 4));
        for (uint32_t s : sectors) {
            if (!readSector(s, buf.data())) return false;
            for (uint32_t i = 0; i < ss_ / 4; ++i) table.push_back(u32(&buf[4 * i]));
        }
        return true;
    }

    // Follows a chain from start; every link must stay inside `limit` units
    // and the table, and no unit may belong to two chains.  minLength 0
    // accepts any length, including an empty chain.
    bool chain(const std::vector<uint32_t>& table, std::vector<bool>& used, uint32_t start, size_t minLength,
               std::vector<uint32_t>& out) {
        out.clear();
        for (uint32_t s = start; s != kEndOfChain;) {
            if (s == kFree && out.empty()) break;  // an empty chain may be marked free
            if (s >= used.size() || s >= table.size() || used[s]) return false;
            used[s] = true;
            out.push_back(s);
            s = table[s];
        }
        return out.size() >= minLength;
    }

    bool loadDirectory(const std::vector<uint32_t>& dirChain) {
        std::vector<unsigned char> buf(ss_);
        for (uint32_t s : dirChain) {
            if (!readSector(s, buf.data())) return false;
            dir_.insert(dir_.end(), buf.begin(), buf.end());
        }
        return dir_.size() >= kDirEntryBytes && dir_[66] == kTypeRoot;
    }

    const unsigned char* entry(uint32_t id) { return &dir_[static_cast<size_t>(id) * kDirEntryBytes]; }
    uint32_t entries() const { return static_cast<uint32_t>(dir_.size() / kDirEntryBytes); }

    // Walks the directory tree from the root, each entry at most once, and
    // every stream's sectors.
    bool checkTree() {
        const unsigned char* root = entry(0);
        uint32_t miniBytes = u32(root + 120);
        std::vector<uint32_t> miniStream;
        if (!chain(fat_, used_, u32(root + 116), (miniBytes + ss_ - 1) / ss_, miniStream)) return false;
        miniUsed_.assign(miniStream.size() * (ss_ >> kMiniShift), false);
        std::vector<bool> seen(entries(), false);
        seen[0] = true;
        std::vector<uint32_t> todo{u32(root + 76)};
        while (!todo.empty()) {
            uint32_t id = todo.back();
            todo.pop_back();
            if (id == kNoEntry) continue;
            if (id >= entries() || seen[id]) return false;
            seen[id] = true;
            const unsigned char* e = entry(id);
            uint16_t nameBytes = u16(e + 64);
            if (nameBytes > 64 || nameBytes % 2 != 0) return false;
            uint8_t type = e[66];
            if (type != kTypeStorage && type != kTypeStream) return false;
            if (type == kTypeStream && !checkStream(e)) return false;
            todo.push_back(u32(e + 68));
            todo.push_back(u32(e + 72));
            if (type == kTypeStorage) todo.push_back(u32(e + 76));
        }
        return true;
    }

    bool checkStream(const unsigned char* e) {
        uint32_t bytes = u32(e + 120);
        std::vector<uint32_t> out;
        if (bytes < kMiniCutoff) {
            uint32_t mini = 1u << kMiniShift;
            return bytes == 0 || chain(miniFat_, miniUsed_, u32(e + 116), (bytes + mini - 1) / mini, out);
        }
        return chain(fat_, used_, u32(e + 116), (bytes + ss_ - 1) / ss_, out);
    }

    ReadAt read_;
    void* ctx_;
    unsigned long size_;
    uint32_t ss_ = 0;
    uint32_t sectors_ = 0;
    std::vector<uint32_t> fat_, miniFat_;
    std::vector<bool> used_, miniUsed_;
    std::vector<unsigned char> dir_;
};

long readFileAt(void* ctx, unsigned long offset, void* dst, long count) {
    HANDLE h = static_cast<HANDLE>(ctx);
    OVERLAPPED ov{};
    ov.Offset = offset;
    DWORD got = 0;
    if (!ReadFile(h, dst, static_cast<DWORD>(count), &got, &ov)) return -1;
    return static_cast<long>(got);
}

}  // namespace

Compound checkCompound(ReadAt read, void* ctx, unsigned long fileSize) { return Doc(read, ctx, fileSize).check(); }

Compound checkCompound(const wchar_t* path) {
    gt::FileHandle f(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f) return Compound::Unreadable;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(f.get(), &size)) return Compound::Unreadable;
    if (size.HighPart != 0) return Compound::Corrupt;
    return checkCompound(&readFileAt, f.get(), size.LowPart);
}

}  // namespace gt::recordfile
