// The line scanner against a plain reader that re-reads 500-byte chunks with
// _lread and scans them with the C string functions, over generated files with
// long lines, lone CRs and LFs, NUL bytes, Ctrl-Z and open last lines.
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

// ---- the reference reader ----
struct RefLine {
    bool ok;
    WORD length;
};

RefLine refReader(HFILE h, char* out) {
    static char chunk[501];
    if (out) *out = 0;
    WORD length = 0;
    bool crSeen = false;
    for (;;) {
        std::memset(chunk, 0, sizeof(chunk));
        UINT n = _lread(h, chunk, 500);
        if (n == 0 || n == static_cast<UINT>(HFILE_ERROR) || chunk[0] == 26) return {false, 0};
        bool complete = false;
        char* cr = crSeen ? nullptr : std::strchr(chunk, '\r');
        if (cr) crSeen = true;
        if (crSeen) {
            if (cr && cr[1] == '\n') {
                cr[2] = 0;
                complete = true;
            } else if (char* lfp = std::strchr(chunk, '\n')) {
                lfp[1] = 0;
                complete = true;
            }
        }
        if (out) std::strcat(out, chunk);
        length = static_cast<WORD>(length + std::strlen(chunk));
        if (complete) break;
    }
    return {true, out ? static_cast<WORD>(std::strlen(out)) : length};
}

LONG refTell(HFILE h) { return _llseek(h, 0, FILE_CURRENT); }

LONG refNextLine(HFILE h) {
    LONG pos = refTell(h);
    RefLine r = refReader(h, nullptr);
    if (r.ok) _llseek(h, pos + r.length, FILE_BEGIN);
    return refTell(h);
}

// Just after the second CR LF pair wholly before p, else 0.
LONG refPrevLine(const std::string& data, LONG p) {
    int pairs = 0;
    for (LONG i = std::min<LONG>(p, static_cast<LONG>(data.size())) - 1; i >= 1; --i)
        if (data[i] == '\n' && data[i - 1] == '\r' && ++pairs == 2) return i + 1;
    return 0;
}

LONG refCount(HFILE h) {
    LONG pos = refTell(h), count = 0, offset = 0;
    for (;; ++count) {
        _llseek(h, offset, FILE_BEGIN);
        RefLine r = refReader(h, nullptr);
        if (!r.ok) break;
        offset += r.length;
    }
    _llseek(h, pos, FILE_BEGIN);
    return count;
}

// ---- generated files ----
struct Mix {
    int maxLine, crlfPercent, nulPermille, eofPermille, crPermille;
    bool openLastLine;
};

std::string generate(std::mt19937& rng, const Mix& m, size_t lines) {
    std::string s;
    auto hit = [&](int n, int of) { return static_cast<int>(rng() % of) < n; };
    for (size_t i = 0; i < lines; ++i) {
        int len = static_cast<int>(rng() % (m.maxLine + 1));
        if (rng() % 10 == 0) len = static_cast<int>(rng() % (m.maxLine * 3 + 1));
        for (int j = 0; j < len; ++j) {
            char c = static_cast<char>('a' + rng() % 26);
            if (hit(m.nulPermille, 1000)) c = 0;
            else if (hit(m.eofPermille, 1000)) c = 26;
            else if (hit(m.crPermille, 1000)) c = '\r';
            s += c;
        }
        if (i + 1 == lines && m.openLastLine) break;
        s += hit(m.crlfPercent, 100) ? "\r\n" : (rng() % 2) ? "\n" : "\r";
    }
    return s;
}

class LineScanner : public ::testing::Test {
protected:
    static void SetUpTestSuite() { dir_ = testutil::freshTempDir("lfcore"); }
    static void TearDownTestSuite() { RemoveDirectoryA(dir_.c_str()); }
    void TearDown() override {
        for (auto& f : files_) DeleteFileA(f.c_str());
    }

    // Writes the file and opens it as a line file.
    LPGTLINEFILE openWith(const std::string& name, const std::string& data) {
        std::string path = dir_ + name;
        HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD n = 0;
        WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &n, nullptr);
        CloseHandle(h);
        files_.push_back(path);
        std::vector<char> copy(path.begin(), path.end());
        copy.push_back(0);
        return fuOpenFile(copy.data(), OF_READ);
    }

    // Every line operation at the given offsets, through both readers.
    void compareAt(const std::string& name, const std::string& data, const std::vector<LONG>& offsets) {
        LPGTLINEFILE h = openWith(name, data);
        ASSERT_NE(h, nullptr) << name;
        HFILE raw = h->hFile;
        EXPECT_EQ(fuGetNoofLines(h), refCount(raw)) << name;
        std::vector<char> a(300000), b(300000);
        for (LONG off : offsets) {
            SCOPED_TRACE(testing::Message() << name << " at " << off);
            fuGotoFileOffset(h, off, 0);
            std::memset(a.data(), 0x55, a.size());
            std::memset(b.data(), 0x55, b.size());
            int fast = fuReadLine(h, a.data());
            EXPECT_EQ(fuGetCurFileOffset(h), off);
            _llseek(raw, off, FILE_BEGIN);
            RefLine ref = refReader(raw, b.data());
            _llseek(raw, off, FILE_BEGIN);  // the layer reads on from the shared handle's position
            ASSERT_EQ(fast, ref.ok ? ref.length : 0);
            ASSERT_EQ(0, std::memcmp(a.data(), b.data(), std::strlen(b.data()) + 17));  // nothing stored beyond
            // Both sides share one system handle: strictly one after the other.
            LONG fastNext = fuGotoNextLine(h), fastAfter = fuGetCurFileOffset(h);
            _llseek(raw, off, FILE_BEGIN);
            EXPECT_EQ(fastNext, refNextLine(raw));
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
        {80, 100, 0, 0, 0, false},   {700, 100, 0, 0, 0, true},  // lines across chunks, open last line
        {120, 85, 0, 0, 10, false},  {600, 90, 3, 0, 5, false},  // lone CRs and LFs; NULs inside chunks
        {300, 95, 0, 3, 0, true},    {200, 0, 0, 0, 0, false},   // Ctrl-Z; LF-only and CR-only ends
        {1500, 70, 2, 2, 20, true},                               // everything together
    };
    std::mt19937 rng(20240607);
    int n = 0;
    for (const Mix& m : mixes) {
        std::string data = generate(rng, m, 120);
        // Random offsets, a sample of line starts (chunk bounds shift with them) and the end.
        std::vector<LONG> offsets;
        LONG size = static_cast<LONG>(data.size());
        for (int i = 0; i < 120; ++i) offsets.push_back(static_cast<LONG>(rng() % (size + 3)));
        for (size_t i = 0; i + 1 < data.size(); ++i)
            if ((data[i] == '\r' || data[i] == '\n') && rng() % 3 == 0) offsets.push_back(static_cast<LONG>(i + 1));
        offsets.push_back(size);
        compareAt("gen" + std::to_string(n++) + ".txt", data, offsets);
    }
}

TEST_F(LineScanner, ChunkBoundariesAroundCrLf) {
    // CR LF split by the 500-byte bound, CR last in a chunk, NUL around the
    // bound, Ctrl-Z starting the second chunk.
    const std::string x499(499, 'x'), x500(500, 'x');
    const std::string cases[] = {
        x499 + "\r\nnext\r\n",
        std::string(498, 'x') + "\r\nnext\r\n",
        x499 + "\rabc\ndef\r\n",
        std::string(10, 'x') + "\n" + std::string(480, 'y') + "\rz\r\n",
        std::string(400, 'x') + std::string(1, '\0') + std::string(200, 'y') + "\r\nq\r\n",
        x500 + "\x1a" "abc\r\n",
        x500 + std::string(1, '\0') + "abc\r\nrest\r\n",
        std::string(1000, 'x') + "\r\n",
        "a\nb\rc\r\n",
        "\n\r\r\n\r\n",
    };
    int n = 0;
    for (const std::string& data : cases) {
        std::vector<LONG> offsets;
        LONG size = static_cast<LONG>(data.size());
        for (LONG o = 0; o <= size + 2; ++o)
            if (o < 16 || (o > 480 && o < 520) || (o > 980 && o < 1020) || o > size - 16) offsets.push_back(o);
        compareAt("edge" + std::to_string(n++) + ".txt", data, offsets);
    }
}

TEST_F(LineScanner, LongWalksForwardAndBack) {
    // Many count blocks: counts agree, the forward walk lands on every line
    // start the reference finds.
    std::mt19937 rng(7);
    LPGTLINEFILE h = openWith("large.txt", generate(rng, {400, 97, 0, 0, 2, true}, 3000));
    ASSERT_NE(h, nullptr);
    LONG lines = fuGetNoofLines(h);
    EXPECT_EQ(lines, refCount(h->hFile));
    EXPECT_GT(lines, 2000);
    std::vector<LONG> starts;
    for (LONG i = 0; i < lines; ++i) starts.push_back(fuGotoNextLine(h));
    LONG expect = 0;
    for (LONG i = 0; i < lines; ++i) {
        _llseek(h->hFile, expect, FILE_BEGIN);
        ASSERT_EQ(starts[static_cast<size_t>(i)], expect = refNextLine(h->hFile)) << i;
    }
    fuCloseFile(h);

    // Empty lines at odd offsets put CR LF pairs across two-byte steps; the
    // walk back must stop at each line start the forward walk finds.
    std::string data;
    for (int i = 0; i < 3000; ++i) data.append(rng() % 4 == 0 ? 0 : rng() % 700, 'x') += "\r\n";
    h = openWith("walk.txt", data);
    ASSERT_NE(h, nullptr);
    starts.assign(1, 0);
    for (int i = 0; i < 3000; ++i) starts.push_back(fuGotoNextLine(h));
    ASSERT_EQ(starts.back(), static_cast<LONG>(data.size()));
    for (size_t i = starts.size() - 1; i > 0; --i) ASSERT_EQ(fuGotoPrevLine(h), starts[i - 1]) << i;
    EXPECT_EQ(fuGotoPrevLine(h), 0);
    fuCloseFile(h);
}

TEST(ChunkScan, CutsAndCarries) {
    const struct {
        const char* text;
        UINT size;
        bool crBefore;
        UINT take;
        bool complete, crAfter;
    } cases[] = {
        {"ab\r\ncd", 6, false, 4, true, true},
        {"a\nb\rc\r\n", 7, false, 2, true, true},  // CR without LF: the first LF ends the line, even before it
        {"ab\0\r\n", 5, false, 2, false, false},   // CR hidden behind a NUL is not seen
        {"xy\nz", 4, true, 3, true, true},         // CR in an earlier chunk: the first LF completes it
        {"abc\r", 4, false, 4, false, true},       // CR last in the chunk
    };
    for (const auto& c : cases) {
        bool cr = c.crBefore;
        lf::ChunkScan s = lf::scanChunk(c.text, c.size, cr);
        EXPECT_EQ(s.take, c.take) << c.text;
        EXPECT_EQ(s.complete, c.complete) << c.text;
        if (!c.complete) {
            EXPECT_EQ(cr, c.crAfter) << c.text;
        }
    }
}

TEST_F(LineScanner, LengthWrappingToZeroIsNoLine) {
    // 65536 bytes with CR LF: the 16-bit length wraps to 0; reporting that as
    // a line would leave every walker (and the line count) standing still.
    LPGTLINEFILE h = openWith("wrap.txt", std::string(65534, 'x') + "\r\nok\r\n");
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(fuGetNoofLines(h), 0);
    std::vector<char> buf(70000);
    EXPECT_EQ(fuReadLine(h, buf.data()), 0);
    EXPECT_EQ(fuGetErrorCode(), FU_ERR_READ);
    fuGotoFileOffset(h, 65536, 0);
    EXPECT_EQ(fuReadLine(h, buf.data()), 4);
    fuCloseFile(h);
    // 65537 bytes: the length is reported modulo 65536.
    h = openWith("wrap1.txt", std::string(65535, 'x') + "\r\n");
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(fuReadLine(h, buf.data()), 1);
    EXPECT_EQ(std::strlen(buf.data()), 65537u);
    fuCloseFile(h);
}

}  // namespace
