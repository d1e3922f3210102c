// The line scanner against a straightforward reader that re-reads 500-byte
// chunks with _lread and scans them with the C string functions, over
// generated files with every feature that changes a line's bounds: long
// lines, lone CRs and LFs, NUL bytes, Ctrl-Z, a last line without CR LF,
// LF-only text.  Results, buffers and positions must agree everywhere.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "gtapi32.h"
#include "linefile/linefile.h"
#include "testutil.h"

namespace lf = gt::linefile;

namespace {

// ---- the reference: chunked reads exactly as the layer is defined ----------

char g_chunk[501];

struct RefLine {
    bool ok;
    WORD length;
};

RefLine refReader(HFILE h, char* out) {
    if (out) *out = 0;
    WORD length = 0;
    bool crSeen = false;
    for (;;) {
        std::memset(g_chunk, 0, sizeof(g_chunk));
        UINT n = _lread(h, g_chunk, 500);
        if (n == 0 || n == static_cast<UINT>(HFILE_ERROR) || g_chunk[0] == 26) return {false, 0};
        bool complete = false;
        char* cr = nullptr;
        if (!crSeen) {
            cr = std::strchr(g_chunk, '\r');
            if (cr) crSeen = true;
        }
        if (crSeen) {
            if (cr && cr[1] == '\n') {
                cr[2] = 0;
                complete = true;
            } else if (char* lf = std::strchr(g_chunk, '\n')) {
                lf[1] = 0;
                complete = true;
            }
        }
        if (out) std::strcat(out, g_chunk);
        length = static_cast<WORD>(length + std::strlen(g_chunk));
        if (complete) break;
    }
    return {true, out ? static_cast<WORD>(std::strlen(out)) : length};
}

LONG refTell(HFILE h) { return _llseek(h, 0, FILE_CURRENT); }

int refReadLine(HFILE h, char* out) {
    LONG pos = refTell(h);
    RefLine r = refReader(h, out);
    _llseek(h, pos, FILE_BEGIN);
    return r.ok ? r.length : 0;
}

LONG refNextLine(HFILE h) {
    LONG pos = refTell(h);
    RefLine r = refReader(h, nullptr);
    if (r.ok) _llseek(h, pos + r.length, FILE_BEGIN);
    return refTell(h);
}

// The start of the line before the one that ends at or runs through p: just
// after the second CR LF pair wholly before p, else 0.
LONG refPrevLine(const std::string& data, LONG p) {
    int pairs = 0;
    for (LONG i = std::min<LONG>(p, static_cast<LONG>(data.size())) - 1; i >= 1; --i)
        if (data[i] == '\n' && data[i - 1] == '\r' && ++pairs == 2) return i + 1;
    return 0;
}

LONG refCount(HFILE h) {
    LONG pos = refTell(h);
    LONG count = 0, offset = 0;
    for (;;) {
        _llseek(h, offset, FILE_BEGIN);
        RefLine r = refReader(h, nullptr);
        if (!r.ok) break;
        ++count;
        offset += r.length;
    }
    _llseek(h, pos, FILE_BEGIN);
    return count;
}

// ---- generated files -----------------------------------------------------------

struct Mix {
    int maxLine;       // longest line body
    int crlfPercent;   // line ends that are CR LF (else LF alone or CR alone)
    int nulPermille;   // NUL bytes per thousand body bytes
    int eofPermille;   // Ctrl-Z bytes per thousand body bytes
    int crPermille;    // stray CRs inside bodies
    bool openLastLine; // last line without CR LF
};

std::string generate(std::mt19937& rng, const Mix& m, size_t lines) {
    std::string s;
    auto pct = [&](int n, int of) { return static_cast<int>(rng() % of) < n; };
    for (size_t i = 0; i < lines; ++i) {
        int len = static_cast<int>(rng() % (m.maxLine + 1));
        if (rng() % 10 == 0) len = static_cast<int>(rng() % (m.maxLine * 3 + 1));  // some long ones
        for (int j = 0; j < len; ++j) {
            char c = static_cast<char>('a' + rng() % 26);
            if (pct(m.nulPermille, 1000)) c = 0;
            else if (pct(m.eofPermille, 1000)) c = 26;
            else if (pct(m.crPermille, 1000)) c = '\r';
            s += c;
        }
        if (i + 1 == lines && m.openLastLine) break;
        if (pct(m.crlfPercent, 100)) s += "\r\n";
        else s += (rng() % 2) ? "\n" : "\r";
    }
    return s;
}

class LineScanner : public ::testing::Test {
protected:
    static void SetUpTestSuite() { dir_ = testutil::freshTempDir("lfcore"); }
    static void TearDownTestSuite() { RemoveDirectoryA(dir_.c_str()); }

    std::string write(const std::string& name, const std::string& data) {
        std::string path = dir_ + name;
        HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD n = 0;
        WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &n, nullptr);
        CloseHandle(h);
        files_.push_back(path);
        return path;
    }
    void TearDown() override {
        for (auto& f : files_) DeleteFileA(f.c_str());
    }

    // Runs every line operation at the given offsets through both readers.
    void compareAt(const std::string& path, const std::vector<LONG>& offsets) {
        std::vector<char> name(path.begin(), path.end());
        name.push_back(0);
        LPGTLINEFILE h = fuOpenFile(name.data(), OF_READ);
        ASSERT_NE(h, nullptr) << path;
        HFILE raw = h->hFile;
        EXPECT_EQ(fuGetNoofLines(h), refCount(raw)) << path;
        std::string data(static_cast<size_t>(fuGetFileSize(h)), '\0');
        _llseek(raw, 0, FILE_BEGIN);
        if (!data.empty()) _lread(raw, &data[0], static_cast<UINT>(data.size()));
        std::vector<char> a(300000), b(300000);
        for (LONG off : offsets) {
            SCOPED_TRACE(testing::Message() << path << " at " << off);
            fuGotoFileOffset(h, off, 0);
            std::memset(a.data(), 0x55, a.size());
            std::memset(b.data(), 0x55, b.size());
            int fast = fuReadLine(h, a.data());
            EXPECT_EQ(fuGetCurFileOffset(h), off);
            _llseek(raw, off, FILE_BEGIN);
            int ref = refReadLine(raw, b.data());
            ASSERT_EQ(fast, ref);
            // Same bytes stored, terminator included, and nothing beyond.
            size_t used = std::strlen(b.data()) + 1;
            ASSERT_EQ(0, std::memcmp(a.data(), b.data(), used + 16));

            // Both sides share one system handle: strictly one after the other.
            LONG fastNext = fuGotoNextLine(h);
            LONG fastAfter = fuGetCurFileOffset(h);
            _llseek(raw, off, FILE_BEGIN);
            LONG refNext = refNextLine(raw);
            EXPECT_EQ(fastNext, refNext);
            EXPECT_EQ(fastAfter, refTell(raw));

            fuGotoFileOffset(h, off, 0);
            EXPECT_EQ(fuGotoPrevLine(h), refPrevLine(data, off));
        }
        fuCloseFile(h);
    }

    static std::string dir_;
    std::vector<std::string> files_;
};
std::string LineScanner::dir_;

TEST_F(LineScanner, AgreesWithChunkedReaderOnGeneratedFiles) {
    const Mix mixes[] = {
        {80, 100, 0, 0, 0, false},     // plain CR LF text
        {700, 100, 0, 0, 0, true},     // lines across chunks, open last line
        {120, 85, 0, 0, 10, false},    // lone CRs and LFs
        {600, 90, 3, 0, 5, false},     // NUL bytes inside chunks
        {300, 95, 0, 3, 0, true},      // Ctrl-Z, also at chunk starts
        {200, 0, 0, 0, 0, false},      // LF-only and CR-only ends
        {1500, 70, 2, 2, 20, true},    // everything together
    };
    std::mt19937 rng(20240607);
    int n = 0;
    for (const Mix& m : mixes) {
        std::string data = generate(rng, m, 120);
        std::string path = write("gen" + std::to_string(n++) + ".txt", data);
        // Random offsets, line starts (where chunk bounds shift with the
        // line) and the end; the byte-pair reference scan is slow, so a sample.
        std::vector<LONG> offsets;
        LONG size = static_cast<LONG>(data.size());
        for (int i = 0; i < 120; ++i) offsets.push_back(static_cast<LONG>(rng() % (size + 3)));
        for (size_t i = 0; i + 1 < data.size(); ++i)
            if ((data[i] == '\r' || data[i] == '\n') && rng() % 3 == 0) offsets.push_back(static_cast<LONG>(i + 1));
        offsets.push_back(size);
        compareAt(path, offsets);
    }
}

TEST_F(LineScanner, ChunkBoundariesAroundCrLf) {
    // CR LF split by the 500-byte bound, CR last in a chunk followed by
    // text, NUL just before and after the bound, Ctrl-Z at the second chunk.
    std::vector<std::string> cases;
    cases.push_back(std::string(499, 'x') + "\r\nnext\r\n");
    cases.push_back(std::string(498, 'x') + "\r\nnext\r\n");
    cases.push_back(std::string(499, 'x') + "\rabc\ndef\r\n");
    cases.push_back(std::string(10, 'x') + "\n" + std::string(480, 'y') + "\rz\r\n");
    cases.push_back(std::string(400, 'x') + std::string(1, '\0') + std::string(200, 'y') + "\r\nq\r\n");
    cases.push_back(std::string(500, 'x') + std::string(1, '\x1a') + "abc\r\n");
    cases.push_back(std::string(500, 'x') + std::string(1, '\0') + "abc\r\nrest\r\n");
    cases.push_back(std::string(1000, 'x') + "\r\n");
    cases.push_back("a\nb\rc\r\n");
    cases.push_back("\n\r\r\n\r\n");
    int n = 0;
    for (const std::string& data : cases) {
        std::string path = write("edge" + std::to_string(n++) + ".txt", data);
        std::vector<LONG> offsets;
        LONG size = static_cast<LONG>(data.size());
        for (LONG o = 0; o <= size + 2; ++o)
            if (o < 16 || (o > 480 && o < 520) || (o > 980 && o < 1020) || o > size - 16) offsets.push_back(o);
        compareAt(path, offsets);
    }
}

TEST_F(LineScanner, LargeFileCountAndWalk) {
    // Many chunks of the count's block size: counts agree and the forward
    // walk lands on every line start the reference finds.
    std::mt19937 rng(7);
    std::string data = generate(rng, {400, 97, 0, 0, 2, true}, 3000);
    std::string path = write("large.txt", data);
    std::vector<char> name(path.begin(), path.end());
    name.push_back(0);
    LPGTLINEFILE h = fuOpenFile(name.data(), OF_READ);
    ASSERT_NE(h, nullptr);
    HFILE raw = h->hFile;
    LONG lines = fuGetNoofLines(h);
    EXPECT_EQ(lines, refCount(raw));
    EXPECT_GT(lines, 2000);
    std::vector<LONG> starts;
    fuGotoTopOfFile(h);
    for (LONG i = 0; i < lines; ++i) starts.push_back(fuGotoNextLine(h));
    LONG expect = 0;
    for (LONG i = 0; i < lines; ++i) {
        _llseek(raw, expect, FILE_BEGIN);
        expect = refNextLine(raw);
        ASSERT_EQ(starts[static_cast<size_t>(i)], expect) << i;
    }
    fuCloseFile(h);
}

// ---- the scanner's own decisions -----------------------------------------------

TEST(ChunkScan, CutsAndCarries) {
    bool cr = false;
    lf::ChunkScan s = lf::scanChunk("ab\r\ncd", 6, cr);
    EXPECT_EQ(s.take, 4u);
    EXPECT_TRUE(s.complete);

    cr = false;  // CR not followed by LF: the chunk's first LF ends the line, even before the CR
    s = lf::scanChunk("a\nb\rc\r\n", 7, cr);
    EXPECT_EQ(s.take, 2u);
    EXPECT_TRUE(s.complete);

    cr = false;  // CR hidden behind a NUL is not seen; the string ends there
    s = lf::scanChunk("ab\0\r\n", 5, cr);
    EXPECT_EQ(s.take, 2u);
    EXPECT_FALSE(s.complete);
    EXPECT_FALSE(cr);

    cr = true;  // CR in an earlier chunk: the first LF completes it
    s = lf::scanChunk("xy\nz", 4, cr);
    EXPECT_EQ(s.take, 3u);
    EXPECT_TRUE(s.complete);

    cr = false;  // CR last in the chunk
    s = lf::scanChunk("abc\r", 4, cr);
    EXPECT_EQ(s.take, 4u);
    EXPECT_FALSE(s.complete);
    EXPECT_TRUE(cr);
}

TEST_F(LineScanner, BackwardWalkVisitsEveryLineStart) {
    // Empty lines at odd offsets put CR LF pairs across two-byte steps; the
    // walk back must still stop at each line start the forward walk finds.
    std::mt19937 rng(11);
    std::string data;
    for (int i = 0; i < 3000; ++i) {
        data.append(rng() % 4 == 0 ? 0 : rng() % 700, 'x');
        data += "\r\n";
    }
    std::string path = write("walk.txt", data);
    std::vector<char> name(path.begin(), path.end());
    name.push_back(0);
    LPGTLINEFILE h = fuOpenFile(name.data(), OF_READ);
    ASSERT_NE(h, nullptr);
    std::vector<LONG> starts{0};
    for (int i = 0; i < 3000; ++i) starts.push_back(fuGotoNextLine(h));
    ASSERT_EQ(starts.back(), static_cast<LONG>(data.size()));
    for (size_t i = starts.size() - 1; i > 0; --i) ASSERT_EQ(fuGotoPrevLine(h), starts[i - 1]) << i;
    EXPECT_EQ(fuGotoPrevLine(h), 0);
    fuCloseFile(h);
}

TEST_F(LineScanner, LengthWrappingToZeroIsNoLine) {
    // 65536 bytes with CR LF: the 16-bit length wraps to 0; reporting that as
    // a line would leave every walker (and the line count) standing still.
    std::string data = std::string(65534, 'x') + "\r\n" + "ok\r\n";
    std::string path = write("wrap.txt", data);
    std::vector<char> name(path.begin(), path.end());
    name.push_back(0);
    LPGTLINEFILE h = fuOpenFile(name.data(), OF_READ);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(fuGetNoofLines(h), 0);
    std::vector<char> buf(70000);
    EXPECT_EQ(fuReadLine(h, buf.data()), 0);
    EXPECT_EQ(fuGetErrorCode(), FU_ERR_READ);
    fuGotoFileOffset(h, 65536, 0);
    EXPECT_EQ(fuReadLine(h, buf.data()), 4);
    fuCloseFile(h);

    // 65537 bytes: the length is reported modulo 65536, as the layer defines.
    data = std::string(65535, 'x') + "\r\n";
    path = write("wrap1.txt", data);
    name.assign(path.begin(), path.end());
    name.push_back(0);
    h = fuOpenFile(name.data(), OF_READ);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(fuReadLine(h, buf.data()), 1);
    EXPECT_EQ(std::strlen(buf.data()), 65537u);
    fuCloseFile(h);
}

}  // namespace
