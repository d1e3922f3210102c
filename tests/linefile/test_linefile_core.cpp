// The line scanner against a plain reader of 500-byte _lread chunks, over
// generated files and files changed between the calls.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <random>

#include "gtapi32.h"
#include "linefile/linefile.h"
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
        if (ref) {
            EXPECT_EQ(next, off + static_cast<LONG>(std::strlen(b.data())));
        }
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

// Reference previous line: just after the second CR LF pair wholly before p.
LONG refPrev(const std::string& data, LONG p) {
    int pairs = 0;
    for (LONG i = std::min<LONG>(p, static_cast<LONG>(data.size())) - 2; i >= 0; --i)
        if (data[i] == '\r' && data[i + 1] == '\n' && ++pairs == 2) return i + 2;
    return 0;
}

// A file changed under the layer's handle in every way a caller can: the
// layer's own writes and size changes, the caller's _llseek and _lwrite on the
// handle's file, a second layer handle and a plain second writer.  After each
// step the handle's answers must be the chunked reader's on the file as it is
// now.
TEST(LineScanner, WalksInterleavedWithChangesAgreeWithChunkedReader) {
    std::mt19937 rng(1107);
    std::string data = gen(rng, 300, 90, 4, 60, true) + std::string(3000, '\0') + gen(rng, 40, 100, 0, 30, false);
    std::ofstream(p, std::ios::binary) << data;
    std::vector<char> name(p.begin(), p.end() + 1);
    LPGTLINEFILE h = fuOpenFile(name.data(), OF_READWRITE | OF_SHARE_DENY_NONE);
    LPGTLINEFILE h2 = fuOpenFile(name.data(), OF_READWRITE | OF_SHARE_DENY_NONE);
    HANDLE other = CreateFileA(p.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    OFSTRUCT ofs{};
    HFILE ref = OpenFile(p.c_str(), &ofs, OF_READ | OF_SHARE_DENY_NONE);
    ASSERT_NE(h, nullptr);
    ASSERT_NE(h2, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    ASSERT_NE(ref, HFILE_ERROR);
    auto fileNow = [&] {
        std::string s(static_cast<size_t>(_llseek(ref, 0, 2)), '\0');
        _llseek(ref, 0, 0);
        _lread(ref, &s[0], static_cast<UINT>(s.size()));
        return s;
    };
    auto randomText = [&] { return std::string(1 + rng() % 6, "ab\r\n\0"[rng() % 5]); };
    std::vector<char> a(70000), b(70000);
    auto walk = [&](const char* phase, const std::vector<int>& actions) {
        for (int step = 0; step < 1500; ++step) {
            LONG size = _llseek(ref, 0, 2), at = static_cast<LONG>(rng() % (size + 3));
            LONG pos = fuGetCurFileOffset(h);
            int action = actions[rng() % actions.size()];
            SCOPED_TRACE(::testing::Message() << phase << " step " << step << " action " << action << " at " << pos);
            switch (action) {
            case 0: case 1: {  // read the line here
                int got = fuReadLine(h, a.data());
                _llseek(ref, pos, 0);
                ASSERT_EQ(got, refLine(ref, b.data()));
                ASSERT_STREQ(a.data(), b.data());
                break;
            }
            case 2: case 3:  // a few lines on
                for (int k = 0; k < 6; ++k, pos = fuGetCurFileOffset(h)) {
                    LONG next = fuGotoNextLine(h);
                    _llseek(ref, pos, 0);
                    if (!refLine(ref, b.data())) break;
                    ASSERT_EQ(next, pos + static_cast<LONG>(std::strlen(b.data()))) << "line " << k;
                }
                break;
            case 4:  // a few lines back
                for (int k = 0; k < 6; ++k, pos = fuGetCurFileOffset(h)) ASSERT_EQ(fuGotoPrevLine(h), refPrev(fileNow(), pos)) << "line " << k;
                break;
            case 5: {
                LONG count = 0;
                for (LONG off = 0; _llseek(ref, off, 0), refLine(ref, b.data()); ++count) off += static_cast<LONG>(std::strlen(b.data()));
                ASSERT_EQ(fuGetNoofLines(h), count);
                break;
            }
            case 6: _llseek(h->hFile, at, 0); break;                     // the caller's own seek
            case 7: fuGotoFileOffset(h, at, 0); break;
            case 8: {                                                  // the layer's own write
                std::string t = randomText();
                fuGotoFileOffset(h, std::min(at, size), 0);
                fuWriteFileExtended(h, 1, t.data(), static_cast<LONG>(t.size()));
                break;
            }
            case 9: {                                                  // the caller's _lwrite, then back
                std::string t = randomText();
                _llseek(h->hFile, std::min(at, size), 0);
                _lwrite(h->hFile, t.data(), static_cast<UINT>(t.size()));
                _llseek(h->hFile, pos, 0);
                break;
            }
            case 10: {                                                 // another layer handle
                std::string t = randomText();
                fuGotoFileOffset(h2, std::min(at, size), 0);
                fuWriteFileExtended(h2, 1, t.data(), static_cast<LONG>(t.size()));
                break;
            }
            case 11: {                                                 // a plain second writer, same size or a new end
                std::string t = randomText();
                DWORD n = 0;
                SetFilePointer(other, std::min(at, size), nullptr, FILE_BEGIN);
                if (rng() % 3) WriteFile(other, t.data(), static_cast<DWORD>(t.size()), &n, nullptr);
                else SetEndOfFile(other);
                break;
            }
            case 12: fuSetFileSize(h, std::max<LONG>(0, size + static_cast<LONG>(rng() % 41) - 20)); break;
            case 13: fuReadFileEx(h, a.data(), 1 + static_cast<LONG>(rng() % 300)); break;
            }
        }
    };
    walk("shared", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13});
    CloseHandle(other);
    EXPECT_EQ(fuCloseFile(h2), 1);
    EXPECT_EQ(fuCloseFile(h), 1);
    // A handle that keeps what it read (nobody can write the file while it
    // is open): the caller still moves its pointer, and its size changes.
    std::ofstream(p, std::ios::binary) << data;
    h = fuOpenFile(name.data(), OF_READ | OF_SHARE_DENY_WRITE);
    ASSERT_NE(h, nullptr);
    walk("denying writers", {0, 1, 2, 3, 4, 5, 6, 7, 12, 13});
    _lclose(ref);
    EXPECT_EQ(fuCloseFile(h), 1);
}

// The open modes whose files the layer takes to be unchangeable while open,
// and that the system does refuse a writer for each of them.
TEST(LineCache, OnlyModesThatShutOutWritersKeepWhatWasRead) {
    struct Case { const char* name; UINT flags; bool fixed; };
    const Case cases[] = {
        {"read, deny write", OF_READ | OF_SHARE_DENY_WRITE, true},
        {"read, exclusive", OF_READ | OF_SHARE_EXCLUSIVE, true},
        {"read, deny none", OF_READ | OF_SHARE_DENY_NONE, false},
        {"read, compatible", OF_READ, false},
        {"read, deny read", OF_READ | OF_SHARE_DENY_READ, false},
        {"read-write, exclusive", OF_READWRITE | OF_SHARE_EXCLUSIVE, false},
        {"write, deny write", OF_WRITE | OF_SHARE_DENY_WRITE, false},
    };
    std::ofstream(p, std::ios::binary) << "line\r\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(gt::linefile::fileFixedWhileOpen(c.flags), c.fixed);
        if (!c.fixed) continue;
        OFSTRUCT ofs{};
        HFILE h = OpenFile(p.c_str(), &ofs, c.flags);
        HANDLE writer = CreateFileA(p.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
        EXPECT_EQ(_lwrite(h, "x", 1), static_cast<UINT>(HFILE_ERROR));
        if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
        _lclose(h);
    }
}

// Runs of zeros (a file grown by a size change, then written on): the
// chunked reader finds a short line at every few bytes of the run.
TEST(LineScanner, CountsOverZeroRunsAgreeWithChunkedReader) {
    // More than a chunk of short lines (every phase finds one), then long
    // ones: the lines read from inside the run differ from those after it.
    std::string lines, text = "some text\r\n";
    for (int i = 0; i < 150; ++i) lines += i % 5 ? "ab\r\n" : "\r\n";
    for (int i = 0; i < 20; ++i) lines += std::string(98, 'x') + "\r\n";
    struct Case { const char* name; std::string data; };
    const Case cases[] = {
        {"grown file, then lines", std::string(6000, '\0') + lines},
        {"run ending off the chunk grid", text + std::string(4321, '\0') + lines},
        {"text, run, text", text + std::string(3000, '\0') + "x\r\n" + text},
        {"run up to the end", text + std::string(5000, '\0')},
        {"run, then an open line", std::string(2500, '\0') + "open"},
        {"two runs", std::string(2200, '\0') + lines + std::string(3100, '\0') + lines},
        {"run, Ctrl-Z, lines", std::string(2600, '\0') + "\x1a" + lines},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LPGTLINEFILE h = openWith(c.data);
        ASSERT_NE(h, nullptr);
        LONG count = 0;
        std::vector<char> b(70000);
        for (LONG off = 0; _llseek(h->hFile, off, 0), refLine(h->hFile, b.data()); ++count) off += static_cast<LONG>(std::strlen(b.data()));
        _llseek(h->hFile, 0, 0);
        EXPECT_EQ(fuGetNoofLines(h), count);
        EXPECT_EQ(fuCloseFile(h), 1);
    }
}
