// The real companions through the wrappers: archives of other tools
// extracted, archives for other tools written (checked afterwards by
// run-archive-tests.sh), hostile archives refused, full disks survived.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "frame/owners.h"
#include "qrZipFile.h"
#include "zipcore/zipformat.h"
#include "zipcore/zipio.h"

namespace {

const unsigned long UNZIP_ALL = QRZIP_RECURSE | QRZIP_KEEP_PATHS | QRZIP_OVERWRITE | QRZIP_RESTORE_TIMES;

std::string work() {
    const char* w = std::getenv("GT_ARCHIVE_WORK");
    return w ? std::string(w) + "\\" : std::string();
}

std::string readAll(const std::wstring& path) {
    gt::FileHandle f(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!f) return "<missing>";
    std::string data(size_t(zc::fileSize(f.get())), '\0');
    DWORD n = 0;
    if (!data.empty()) ReadFile(f.get(), &data[0], DWORD(data.size()), &n, nullptr);
    return data;
}

// Relative names of the files under `dir`.
void listFiles(const std::wstring& dir, const std::wstring& prefix, std::vector<std::wstring>& out) {
    WIN32_FIND_DATAW fd;
    gt::FindHandle h(FindFirstFileW((dir + L"\\*").c_str(), &fd));
    if (!h) return;
    do {
        std::wstring n = fd.cFileName;
        if (n == L"." || n == L"..") continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            listFiles(dir + L"\\" + n, prefix + n + L"\\", out);
        else
            out.push_back(prefix + n);
    } while (FindNextFileW(h.get(), &fd));
}

// "" when `copy` holds the same files with the same bytes as `tree`.
std::string compareTrees(const std::wstring& tree, const std::wstring& copy) {
    std::vector<std::wstring> want, got;
    listFiles(tree, L"", want);
    listFiles(copy, L"", got);
    std::sort(want.begin(), want.end());
    std::sort(got.begin(), got.end());
    if (want != got) return "different file names (" + std::to_string(got.size()) + " of " + std::to_string(want.size()) + ")";
    for (const auto& n : want)
        if (readAll(tree + L"\\" + n) != readAll(copy + L"\\" + n)) return "different bytes in " + zc::ansiFromWide(n);
    return "";
}

void removeTree(const std::wstring& dir) {
    WIN32_FIND_DATAW fd;
    {
        gt::FindHandle h(FindFirstFileW((dir + L"\\*").c_str(), &fd));
        if (h) do {
                std::wstring n = fd.cFileName;
                if (n == L"." || n == L"..") continue;
                std::wstring p = dir + L"\\" + n;
                SetFileAttributesW(p.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    removeTree(p);
                else
                    DeleteFileW(p.c_str());
            } while (FindNextFileW(h.get(), &fd));
    }
    RemoveDirectoryW(dir.c_str());
}

std::wstring wide(const std::string& s) { return zc::wideFromAnsi(s.c_str()); }

class Archives : public ::testing::Test {
protected:
    void SetUp() override {
        if (work().empty()) GTEST_SKIP() << "run through run-archive-tests.sh";
    }
};

TEST_F(Archives, OtherToolsArchivesExtractByteIdentical) {
    const char* fixtures[] = {"zip-0", "zip-1", "zip-5", "zip-9", "python", "gsf"};
    for (const char* name : fixtures) {
        std::string dest = work() + "out\\" + name;
        qrUnzipFile unzip((work() + "fixtures\\" + name + ".zip").c_str(), dest.c_str(), UNZIP_ALL);
        EXPECT_EQ(unzip.UnzipFile(), TRUE) << "case " << name << ", code " << unzip.GetErrorCode();
        EXPECT_EQ(compareTrees(wide(work() + "tree"), wide(dest)), "") << "case " << name;
    }
}

TEST_F(Archives, OurArchivesRoundTripAtEveryRate) {
    const int rates[] = {0, 1, 5, 9};
    for (int rate : rates) {
        std::string zipName = work() + "ours\\rate-" + std::to_string(rate) + ".zip";
        std::string dest = work() + "back\\" + std::to_string(rate);
        // The tree's contents, not the tree's own name, go into the archive.
        qrZipFile zip((work() + "tree\\*").c_str(), zipName.c_str(), rate, QRZIP_RECURSE);
        EXPECT_EQ(zip.ZipFile(), TRUE) << "case rate " << rate << ", code " << zip.GetErrorCode();
        qrUnzipFile unzip(zipName.c_str(), dest.c_str(), UNZIP_ALL);
        EXPECT_EQ(unzip.UnzipFile(), TRUE) << "case rate " << rate << ", code " << unzip.GetErrorCode();
        EXPECT_EQ(compareTrees(wide(work() + "tree"), wide(dest)), "") << "case rate " << rate;
    }
}

TEST_F(Archives, AddingReplacesTheSameNameAndKeepsTheRest) {
    std::string dir = work() + "add\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    std::string a = dir + "a.txt", b = dir + "b.txt", zipName = dir + "add.zip";
    auto write = [](const std::string& path, const char* text) {
        gt::FileHandle f(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD n = 0;
        WriteFile(f.get(), text, DWORD(strlen(text)), &n, nullptr);
    };
    write(a, "first");
    ASSERT_EQ(qrZipFile(a.c_str(), zipName.c_str(), 5, 0).ZipFile(), TRUE);
    write(a, "second version");
    write(b, "other");
    ASSERT_EQ(qrZipFile(("\"" + a + "\" \"" + b + "\"").c_str(), zipName.c_str(), 5, QRZIP_ADD).ZipFile(), TRUE);
    ASSERT_EQ(qrUnzipFile(zipName.c_str(), (dir + "x").c_str(), UNZIP_ALL).UnzipFile(), TRUE);
    zc::Archive check;
    ASSERT_EQ(check.open(wide(zipName)), QRZ_OK);
    EXPECT_EQ(check.entries().size(), 2u);
    EXPECT_EQ(readAll(wide(dir + "x\\a.txt")), "second version");
    EXPECT_EQ(readAll(wide(dir + "x\\b.txt")), "other");
}

TEST_F(Archives, CallsThatCannotStartSayWhy) {
    std::string missing = work() + "no-such.zip", tree = work() + "tree";
    struct Row {
        const char* name;
        std::function<int()> run;
        int code;
    } rows[] = {
        {"zip without an archive name", [&] {
             qrZipFile z(tree.c_str(), nullptr, 5, 5);
             z.ZipFile();
             return z.GetErrorCode();
         }, QRZ_BAD_RECORD},
        {"zip of a missing source", [&] {
             qrZipFile z((tree + "\\missing.txt").c_str(), (work() + "never.zip").c_str(), 5, 5);
             z.ZipFile();
             return z.GetErrorCode();
         }, QRZ_NO_SOURCE},
        {"unzip of a missing archive", [&] {
             qrUnzipFile u(missing.c_str(), (work() + "never").c_str(), UNZIP_ALL);
             u.UnzipFile();
             return u.GetErrorCode();
         }, QRZ_NO_ARCHIVE},
        {"unzip of a file that is no archive", [&] {
             qrUnzipFile u((tree + "\\readme.txt").c_str(), (work() + "never").c_str(), UNZIP_ALL);
             u.UnzipFile();
             return u.GetErrorCode();
         }, QRZ_DAMAGED},
        {"unzip without a destination", [&] {
             qrUnzipFile u((work() + "fixtures\\zip-5.zip").c_str(), nullptr, UNZIP_ALL);
             u.UnzipFile();
             return u.GetErrorCode();
         }, QRZ_BAD_RECORD},
    };
    for (const Row& row : rows) EXPECT_EQ(row.run(), row.code) << "case " << row.name;
    EXPECT_EQ(GetFileAttributesA((work() + "never.zip").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA((work() + "never").c_str()), INVALID_FILE_ATTRIBUTES);
}

// --- archives made by hand ---------------------------------------------

struct Piece {
    std::string name;
    std::string data;        // stored as given unless `zeros`
    uint64_t zeros = 0;      // deflated zeros instead of data
    int64_t declare = -1;    // declared size; -1: the real size
    bool badCrc = false;
    size_t cutData = 0;      // bytes cut off the end of the compressed data
};

// Deflates `count` zero bytes; gives the CRC.
std::string deflateZeros(uint64_t count, uint32_t& crc) {
    std::string zeros(1 << 20, '\0'), out;
    z_stream z{};
    deflateInit2(&z, 1, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    uLong c = crc32(0, nullptr, 0);
    std::string buf(1 << 16, '\0');
    while (true) {
        size_t n = size_t(std::min<uint64_t>(count, zeros.size()));
        count -= n;
        c = crc32(c, reinterpret_cast<const Bytef*>(zeros.data()), uInt(n));
        z.next_in = reinterpret_cast<Bytef*>(&zeros[0]);
        z.avail_in = uInt(n);
        int flush = count ? Z_NO_FLUSH : Z_FINISH;
        do {
            z.next_out = reinterpret_cast<Bytef*>(&buf[0]);
            z.avail_out = uInt(buf.size());
            deflate(&z, flush);
            out.append(buf.data(), buf.size() - z.avail_out);
        } while (z.avail_out == 0);
        if (!count) break;
    }
    deflateEnd(&z);
    crc = uint32_t(c);
    return out;
}

void writeArchive(const std::string& path, const std::vector<Piece>& pieces, bool overlap = false) {
    std::string file, central;
    for (const Piece& p : pieces) {
        zc::NewEntry e;
        e.rawName = p.name;
        e.dosDate = 0x5921;
        std::string data;
        if (p.zeros) {
            data = deflateZeros(p.zeros, e.crc);
            e.usize = p.zeros;
            e.method = zc::METHOD_DEFLATE;
        } else {
            data = p.data;
            e.crc = uint32_t(crc32(0, reinterpret_cast<const Bytef*>(data.data()), uInt(data.size())));
            e.usize = data.size();
            e.method = zc::METHOD_STORE;
        }
        if (p.declare >= 0) e.usize = uint64_t(p.declare);
        if (p.badCrc) e.crc ^= 1;
        data.resize(data.size() - p.cutData);
        e.csize = data.size();
        e.localOffset = overlap ? 0 : file.size();
        if (!overlap || file.empty()) file += zc::localHeader(e) + data;
        central += zc::centralHeader(e);
    }
    size_t count = pieces.size();
    file += central + zc::endRecords(count, file.size(), central.size());
    gt::FileHandle f(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD n = 0;
    WriteFile(f.get(), file.data(), DWORD(file.size()), &n, nullptr);
}

TEST_F(Archives, HostileArchivesAreRefusedSafely) {
    const std::string good = "good data";
    struct Row {
        const char* name;
        std::vector<Piece> pieces;
        bool overlap;
        int code;
        const char* absent;  // the file that must not appear in the destination
    };
    std::vector<Row> rows = {
        {"parent ../x", {{"ok.txt", good}, {"../x", "evil"}}, false, QRZ_UNSAFE_ENTRY, "ok.txt"},
        {"parent ..\\x", {{"ok.txt", good}, {"..\\x", "evil"}}, false, QRZ_UNSAFE_ENTRY, "ok.txt"},
        {"absolute /abs", {{"/abs", "evil"}}, false, QRZ_UNSAFE_ENTRY, "abs"},
        {"drive C:\\x", {{"C:\\x", "evil"}}, false, QRZ_UNSAFE_ENTRY, "x"},
        {"UNC \\\\server\\share\\x", {{"\\\\server\\share\\x", "evil"}}, false, QRZ_UNSAFE_ENTRY, "x"},
        {"bad CRC", {{"bad.txt", good, 0, -1, true}}, false, QRZ_DAMAGED, "bad.txt"},
        {"truncated data", {{"cut.bin", "", 1 << 20, -1, false, 40}}, false, QRZ_DAMAGED, "cut.bin"},
        {"overlapping entries", {{"one.txt", good}, {"two.txt", good}}, true, QRZ_DAMAGED, "one.txt"},
        {"bomb: 1 MiB declared, 100 MiB inside", {{"bomb.bin", "", 100ull << 20, 1 << 20}}, false, QRZ_UNSAFE_ENTRY,
         "bomb.bin"},
    };
    int k = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::string base = work() + "hostile\\" + std::to_string(k++);
        std::string dest = base + "\\in\\dest";
        CreateDirectoryA((work() + "hostile").c_str(), nullptr);
        CreateDirectoryA(base.c_str(), nullptr);
        writeArchive(base + "\\h.zip", row.pieces, row.overlap);
        qrUnzipFile unzip((base + "\\h.zip").c_str(), dest.c_str(), UNZIP_ALL | QRZIP_CONTINUE);
        EXPECT_EQ(unzip.UnzipFile(), FALSE);
        EXPECT_EQ(unzip.GetErrorCode(), row.code);
        std::vector<std::wstring> outside, inside;
        listFiles(wide(base), L"", outside);
        EXPECT_EQ(outside.size(), 1u) << "files besides the archive";
        EXPECT_EQ(GetFileAttributesA((dest + "\\" + row.absent).c_str()), INVALID_FILE_ATTRIBUTES);
        listFiles(wide(dest), L"", inside);
        for (const auto& n : inside) EXPECT_EQ(n.find(L".dz~"), std::wstring::npos) << "temporary file left";
    }
}

// An existing file is replaced by a complete, checked copy or not at all.
TEST_F(Archives, ExistingFilesSurviveFailedReplacements) {
    struct Row {
        const char* name;
        Piece piece;
        DWORD attributes;
        int code;
    } rows[] = {
        {"entry with a bad CRC", {"keep.txt", "new bytes", 0, -1, true}, FILE_ATTRIBUTE_NORMAL, QRZ_DAMAGED},
        {"read-only file", {"keep.txt", "new bytes"}, FILE_ATTRIBUTE_READONLY, QRZ_IO_ERROR},
    };
    int k = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::string dir = work() + "keep" + std::to_string(k++);
        CreateDirectoryA(dir.c_str(), nullptr);
        CreateDirectoryA((dir + "\\x").c_str(), nullptr);
        writeArchive(dir + "\\k.zip", {row.piece});
        std::string target = dir + "\\x\\keep.txt";
        {
            gt::FileHandle f(CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
            DWORD n = 0;
            WriteFile(f.get(), "old", 3, &n, nullptr);
        }
        SetFileAttributesA(target.c_str(), row.attributes);
        qrUnzipFile unzip((dir + "\\k.zip").c_str(), (dir + "\\x").c_str(), UNZIP_ALL);
        EXPECT_EQ(unzip.UnzipFile(), FALSE);
        EXPECT_EQ(unzip.GetErrorCode(), row.code);
        EXPECT_EQ(readAll(wide(target)), "old");
        std::vector<std::wstring> files;
        listFiles(wide(dir + "\\x"), L"", files);
        EXPECT_EQ(files.size(), 1u) << "temporary file left";
        SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST_F(Archives, HonestHighRatioExtractsWhole) {
    std::string base = work() + "zeros";
    CreateDirectoryA(base.c_str(), nullptr);
    writeArchive(base + "\\zeros.zip", {{"zeros.bin", "", 100ull << 20}});
    qrUnzipFile unzip((base + "\\zeros.zip").c_str(), (base + "\\x").c_str(), UNZIP_ALL);
    EXPECT_EQ(unzip.UnzipFile(), TRUE) << "code " << unzip.GetErrorCode();
    WIN32_FILE_ATTRIBUTE_DATA a{};
    ASSERT_TRUE(GetFileAttributesExA((base + "\\x\\zeros.bin").c_str(), GetFileExInfoStandard, &a));
    EXPECT_EQ(a.nFileSizeLow, 100u << 20);
}

// T: is a 1 MiB tmpfs.
TEST_F(Archives, FullDiskLeavesNoPartialFilesAndTheOldArchive) {
    if (std::string(std::getenv("GT_TMPFS") ? std::getenv("GT_TMPFS") : "0") != "1")
        GTEST_SKIP() << "no tmpfs drive";
    const std::string disk = "T:\\";
    std::string big = work() + "big.bin";
    std::string random;
    uint32_t x = 15;
    for (int i = 0; i < (2 << 20); ++i) random.push_back(char((x = x * 1103515245u + 12345u) >> 24));
    writeArchive(work() + "big.zip", {{"big.bin", random}});
    {
        gt::FileHandle f(CreateFileA(big.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD n = 0;
        WriteFile(f.get(), random.data(), DWORD(random.size()), &n, nullptr);
    }
    std::string small = work() + "tree\\readme.txt";
    ASSERT_EQ(qrZipFile(small.c_str(), (disk + "a.zip").c_str(), 5, 0).ZipFile(), TRUE);
    std::string before = readAll(wide(disk + "a.zip"));

    struct Row {
        const char* name;
        std::function<int()> run;
    } rows[] = {
        {"adding 2 MiB to an archive", [&] {
             qrZipFile zip(big.c_str(), (disk + "a.zip").c_str(), 0, QRZIP_ADD);
             zip.ZipFile();
             return zip.GetErrorCode();
         }},
        {"extracting 2 MiB", [&] {
             qrUnzipFile unzip((work() + "big.zip").c_str(), (disk + "x").c_str(), UNZIP_ALL);
             unzip.UnzipFile();
             return unzip.GetErrorCode();
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.run(), QRZ_DISK_FULL);
        std::vector<std::wstring> files;
        listFiles(wide("T:"), L"", files);
        ASSERT_EQ(files.size(), 1u);
        EXPECT_EQ(files[0], L"a.zip");
        EXPECT_EQ(readAll(wide(disk + "a.zip")), before);
    }
}

}  // namespace

namespace {

// Entries too small for the room check: the disk fills up during a write.
TEST_F(Archives, DiskFillingUpMidFileLeavesOnlyWholeFiles) {
    if (std::string(std::getenv("GT_TMPFS") ? std::getenv("GT_TMPFS") : "0") != "1")
        GTEST_SKIP() << "no tmpfs drive";
    const size_t count = 20, size = 60 << 10;
    std::vector<Piece> pieces;
    uint32_t x = 7;
    for (size_t i = 0; i < count; ++i) {
        std::string data;
        for (size_t k = 0; k < size; ++k) data.push_back(char((x = x * 1103515245u + 12345u) >> 24));
        pieces.push_back({"s" + std::to_string(100 + i) + ".bin", data});
    }
    writeArchive(work() + "small.zip", pieces);
    qrUnzipFile unzip((work() + "small.zip").c_str(), "T:\\y", UNZIP_ALL);
    EXPECT_EQ(unzip.UnzipFile(), FALSE);
    EXPECT_EQ(unzip.GetErrorCode(), QRZ_DISK_FULL);
    std::vector<std::wstring> files;
    listFiles(L"T:\\y", L"", files);
    EXPECT_LT(files.size(), count);
    EXPECT_GT(files.size(), 0u);
    for (const auto& name : files) {
        size_t i = size_t(std::stoi(name.substr(1, 3))) - 100;
        EXPECT_TRUE(readAll(L"T:\\y\\" + name) == pieces[i].data) << "case " << zc::ansiFromWide(name);
    }
    removeTree(L"T:\\y");
}

}  // namespace
