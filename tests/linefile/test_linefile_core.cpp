// The line scanner against a plain reader of 500-byte _lread chunks, over generated files.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <random>

#include "gtapi32.h"
#include "testutil.h"

// Length of the line at the handle's position (0: none), copied into out.
int refLine(HFILE h, char* out) {
    char chunk[501];
    bool cr = false;
    *out = 0;
    for (;;) {
        std::memset(chunk, 0, sizeof chunk);
        UINT n = _lread(h, chunk, 500);
        if (n == 0 || n == static_cast<UINT>(HFILE_ERROR) || chunk[0] == 26) return 0;
        char* c = cr ? nullptr : std::strchr(chunk, '\r');
        cr = cr || c;
        char* end = !cr ? nullptr : (c && c[1] == '\n') ? c + 1 : std::strchr(chunk, '\n');
        if (end) end[1] = 0;
        std::strcat(out, chunk);
        if (end) return static_cast<WORD>(std::strlen(out));
    }
}

std::string gen(std::mt19937& rng, int maxLine, int crlf, int odd, size_t lines, bool open) {
    std::string s;  // odd bytes: NUL, Ctrl-Z, lone CR and LF
    for (size_t i = 0; i < lines; ++i) {
        for (int j = static_cast<int>(rng() % (maxLine + 1)); j > 0; --j)
            s += static_cast<int>(rng() % 1000) < odd ? "\0\x1a\r\n"[rng() % 4] : static_cast<char>('a' + rng() % 26);
        if (i + 1 < lines || !open) s += static_cast<int>(rng() % 100) < crlf ? "\r\n" : rng() % 2 ? "\n" : "\r";
    }
    return s;
}

const std::string p = testutil::freshTempDir("lfcore") + "f.txt";
LPGTLINEFILE openWith(const std::string& data) {
    std::ofstream(p, std::ios::binary) << data;
    std::vector<char> copy(p.begin(), p.end() + 1);
    return fuOpenFile(copy.data(), OF_READ);
}

// Line count; read and next line at every offset (sampled in long files: line starts and every 97th).
void compare(const std::string& data) {
    LPGTLINEFILE h = openWith(data);
    ASSERT_NE(h, nullptr);
    HFILE raw = h->hFile;
    std::vector<char> a(300000), b(300000);
    LONG count = 0;
    for (LONG off = 0; _llseek(raw, off, 0), refLine(raw, b.data()); ++count) off += static_cast<LONG>(std::strlen(b.data()));
    EXPECT_EQ(fuGetNoofLines(h), count);
    for (LONG off = 0, size = static_cast<LONG>(data.size()); off <= size + 2; ++off) {
        if (size > 2000 && off % 97 && (off > size || off == 0 || (data[off - 1] != '\n' && data[off - 1] != '\r'))) continue;
        SCOPED_TRACE(off);
        fuGotoFileOffset(h, off, 0);
        a.assign(a.size(), 0x55), b.assign(b.size(), 0x55);
        int fast = fuReadLine(h, a.data());
        EXPECT_EQ(fuGetCurFileOffset(h), off);
        _llseek(raw, off, 0);
        int ref = refLine(raw, b.data());  // the layer reads on from the shared handle's position
        ASSERT_EQ(fast, ref);
        ASSERT_EQ(0, std::memcmp(a.data(), b.data(), std::strlen(b.data()) + 17));  // nothing stored beyond
        fuGotoFileOffset(h, off, 0);
        LONG next = fuGotoNextLine(h);
        if (ref) EXPECT_EQ(next, off + static_cast<LONG>(std::strlen(b.data())));
    }
    fuCloseFile(h);
}

TEST(LineScanner, AgreesWithChunkedReader) {
    std::mt19937 rng(20240607);
    const int mixes[][4] = {{80, 100, 0, 0}, {700, 100, 0, 1}, {120, 85, 10, 0}, {300, 95, 6, 1}, {200, 0, 0, 0}, {1500, 70, 20, 1}};
    for (const auto& m : mixes) compare(gen(rng, m[0], m[1], m[2], 120, m[3]));
    // Chunk bounds around CR LF, NUL and Ctrl-Z; LF-only and CR-only ends.
    const std::string x(499, 'x'), cases[] = {x + "\r\nnext\r\n", x + "\rabc\ndef\r\n", x + "x\x1a" "abc\r\n",
        x + "x" + std::string(1, '\0') + "abc\r\nrest\r\n", std::string(400, 'x') + '\0' + x + "\r\nq\r\n", "a\nb\rc\r\n",
        "\n\r\r\n\r\n", "ab\ncd\n", "open last line"};
    for (const std::string& data : cases) compare(data);
}

TEST(LineScanner, WalkBackStopsAtEveryLineStart) {
    // Empty lines at odd offsets put CR LF pairs across two-byte steps.
    std::mt19937 rng(7);
    std::string data;
    for (int i = 0; i < 3000; ++i) data.append(rng() % 4 == 0 ? 0 : rng() % 700, 'x') += "\r\n";
    LPGTLINEFILE h = openWith(data);
    ASSERT_NE(h, nullptr);
    std::vector<LONG> starts{0};
    for (int i = 0; i < 3000; ++i) starts.push_back(fuGotoNextLine(h));
    ASSERT_EQ(starts.back(), static_cast<LONG>(data.size()));
    for (size_t i = starts.size() - 1; i > 0; --i) ASSERT_EQ(fuGotoPrevLine(h), starts[i - 1]) << "back from line " << i;
    EXPECT_EQ(fuGotoPrevLine(h), 0);
    EXPECT_EQ(fuCloseFile(h), 1);
    DeleteFileA(p.c_str());
}
