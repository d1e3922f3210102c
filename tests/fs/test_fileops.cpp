// File operations through the DLL's exports on a scratch directory of the
// system's temporary directory.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "gtapi32.h"
#include "filetestutil.h"

using filetest::attributesOf;
using filetest::contentOf;
using filetest::exists;

namespace {

const std::string& scratch() {
    static const std::string dir = filetest::uniqueDir();
    return dir;
}

std::string makeFile(const std::string& name, const std::string& content, DWORD attributes = 0) {
    filetest::writeFile(scratch() + name, content, attributes);
    return scratch() + name;
}

// Entries of the scratch directory whose names start with "gt~": files the
// copies write beside their destinations must never stay behind.
int leftovers() {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((scratch() + "gt~*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return 0;
    int n = 0;
    do ++n;
    while (FindNextFileA(h, &fd));
    FindClose(h);
    return n;
}

// Content of n bytes that differs at every block.
std::string pattern(size_t n, char seed) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = char(seed + i * 7 + i / 65500);
    return s;
}

constexpr size_t kBlock = 65536;  // the buffered copy's block

// A pattern never reaches its matches; a file that cannot be deleted keeps
// its read-only bit; a deletable read-only hidden file goes.
TEST(Deletion, AttributesAreClearedOnlyForTheFileDeleted) {
    const std::string kept = makeFile("keep_ro.txt", "data", FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(gtDeleteFile((scratch() + "keep_*.txt").c_str()));
    EXPECT_EQ(attributesOf(kept), DWORD(FILE_ATTRIBUTE_READONLY));

    HANDLE held = CreateFileA(kept.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(gtDeleteFile(kept.c_str()));
    CloseHandle(held);
    EXPECT_EQ(attributesOf(kept), DWORD(FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(gtDeleteFile(kept.c_str()));
    EXPECT_FALSE(exists(kept));
}


// --- buffered copy -----------------------------------------------------------

struct Recorded {
    std::vector<UINT> messages;
    int cancelAt = 0;  // 1-based call that answers 0; 0: none
    std::function<void()> during;  // run at the second call
    GTCOPYPROGRESS last{};
};

int CALLBACK recordProgress(UINT message, LPGTCOPYPROGRESS progress, DWORD user) {
    auto* r = reinterpret_cast<Recorded*>(static_cast<ULONG_PTR>(user));
    r->messages.push_back(message);
    r->last = *progress;
    if (r->messages.size() == 2 && r->during) r->during();
    return int(r->messages.size()) != r->cancelAt;
}

DWORD userOf(Recorded& r) { return DWORD(reinterpret_cast<ULONG_PTR>(&r)); }

TEST(BufferedCopy, CallbackSequenceAttributesAndDate) {
    const std::string content = pattern(2 * kBlock + 100, 'a');
    const std::string src = makeFile("seq_src.bin", content);
    ASSERT_TRUE(gtSetFileDateTime(src.c_str(), 0x2A21, 0x6000));
    SetFileAttributesA(src.c_str(), FILE_ATTRIBUTE_HIDDEN);
    const std::string dst = scratch() + "seq_dst.bin";
    Recorded r;
    ASSERT_TRUE(gtCopyFileEx(dst.c_str(), src.c_str(), &recordProgress, userOf(r)));
    const std::vector<UINT> want = {101, 102, 102, 102, 102, 102, 102, 104};
    EXPECT_EQ(r.messages, want);
    EXPECT_EQ(r.last.dwSourceSize, content.size());
    EXPECT_EQ(r.last.dwBytesRead, content.size());
    EXPECT_EQ(r.last.dwBytesWritten, content.size());
    EXPECT_EQ(r.last.dwLastBlock, 100u);
    EXPECT_EQ(r.last.wSourceDate, 0x2A21);
    EXPECT_EQ(contentOf(dst), content);
    EXPECT_EQ(attributesOf(dst), DWORD(FILE_ATTRIBUTE_HIDDEN));
    WORD date = 0, time = 0;
    SetFileAttributesA(dst.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(gtGetFileDateTime(dst.c_str(), &date, &time));
    EXPECT_EQ(date, 0x2A21);
    EXPECT_EQ(time, 0x6000);
}

TEST(BufferedCopy, CancellingAtEveryCallLeavesTheDestinationAsItWas) {
    const std::string content = pattern(2 * kBlock + 100, 'b');
    const std::string src = makeFile("cancel_src.bin", content);
    for (int call = 1; call <= 7; ++call) {
        for (bool existing : {false, true}) {
            SCOPED_TRACE("cancel at call " + std::to_string(call) + (existing ? ", existing destination" : ", new destination"));
            const std::string dst = scratch() + "cancel_dst.bin";
            DeleteFileA(dst.c_str());
            if (existing) makeFile("cancel_dst.bin", "old content");
            Recorded r;
            r.cancelAt = call;
            EXPECT_FALSE(gtCopyFileEx(dst.c_str(), src.c_str(), &recordProgress, userOf(r)));
            EXPECT_EQ(r.messages.size(), size_t(call));
            EXPECT_EQ(contentOf(dst), existing ? "old content" : "(missing)");
            EXPECT_EQ(contentOf(src), content);
            EXPECT_EQ(leftovers(), 0);
        }
    }
}

TEST(BufferedCopy, SourceChangedDuringTheCopy) {
    const std::string content = pattern(2 * kBlock + 100, 'c');
    const std::string src = scratch() + "chg_src.bin", dst = scratch() + "chg_dst.bin";
    auto resize = [src](LONG size) {
        HANDLE h = CreateFileA(src.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                               nullptr);
        SetFilePointer(h, size, nullptr, FILE_BEGIN);
        SetEndOfFile(h);
        CloseHandle(h);
    };
    const struct { const char* name; std::function<void()> during; BOOL want; std::string destination; } rows[] = {
        // The open copy keeps the source: the deletion is refused, the copy completes.
        {"callback deletes the source", [src] { DeleteFileA(src.c_str()); }, TRUE, content},
        {"callback truncates the source", [resize] { resize(1000); }, FALSE, "old content"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        makeFile("chg_src.bin", content);
        makeFile("chg_dst.bin", "old content");
        Recorded r;
        r.during = row.during;
        EXPECT_EQ(gtCopyFileEx(dst.c_str(), src.c_str(), &recordProgress, userOf(r)), row.want);
        EXPECT_EQ(contentOf(dst), row.destination);
        EXPECT_EQ(leftovers(), 0);
    }
}

struct CopyJob {
    std::string src, copy, appended, content;
    bool ok = true;
};

DWORD WINAPI copyAndAppend(LPVOID p) {
    auto* job = static_cast<CopyJob*>(p);
    for (int round = 0; round < 4; ++round) {
        job->ok = gtCopyFileEx(job->copy.c_str(), job->src.c_str(), nullptr, 0) && job->ok;
        job->ok = gtCatFile(job->appended.c_str(), job->src.c_str(), FALSE) && job->ok;
    }
    return 0;
}

// Two threads copy and append at once: each call has buffers of its own.
TEST(BufferedCopy, TwoThreadsCopyAtOnce) {
    CopyJob jobs[2];
    for (int i = 0; i < 2; ++i) {
        const std::string tag = std::to_string(i);
        jobs[i].content = pattern(300000, char('a' + 40 * i));
        jobs[i].src = makeFile("mt_src" + tag, jobs[i].content);
        jobs[i].copy = scratch() + "mt_copy" + tag;
        jobs[i].appended = scratch() + "mt_cat" + tag;
    }
    HANDLE threads[2];
    for (int i = 0; i < 2; ++i) threads[i] = CreateThread(nullptr, 0, &copyAndAppend, &jobs[i], 0, nullptr);
    WaitForMultipleObjects(2, threads, TRUE, INFINITE);
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE("thread " + std::to_string(i));
        CloseHandle(threads[i]);
        EXPECT_TRUE(jobs[i].ok);
        EXPECT_EQ(contentOf(jobs[i].copy), jobs[i].content);
        EXPECT_EQ(contentOf(jobs[i].appended), jobs[i].content + jobs[i].content + jobs[i].content + jobs[i].content);
    }
}

// --- copies onto themselves, read-only and locked files ----------------------

TEST(Copies, AFileIsNeverCopiedOntoItself) {
    const std::string self = makeFile("Self.txt", "self content");
    char shortName[MAX_PATH] = {};
    GetShortPathNameA(self.c_str(), shortName, MAX_PATH);
    std::string upper = self;
    for (char& c : upper) c = char(toupper((unsigned char)c));
    const std::string dotted = scratch() + "sub\\..\\Self.txt";
    CreateDirectoryA((scratch() + "sub").c_str(), nullptr);
    const struct { const char* name; std::function<BOOL()> call; } rows[] = {
        {"gtCopyFile, same name", [&] { return gtCopyFile(self.c_str(), self.c_str()); }},
        {"gtCopyFile, other case", [&] { return gtCopyFile(upper.c_str(), self.c_str()); }},
        {"gtCopyFile, short name", [&] { return gtCopyFile(shortName, self.c_str()); }},
        {"gtCopyFileEx, dotted path", [&] { return gtCopyFileEx(dotted.c_str(), self.c_str(), nullptr, 0); }},
        {"gtCopyFileEx, other case", [&] { return gtCopyFileEx(self.c_str(), upper.c_str(), nullptr, 0); }},
        {"gtCatFile, same name", [&] { return gtCatFile(self.c_str(), self.c_str(), TRUE); }},
        {"gtCatFile, dotted path", [&] { return gtCatFile(dotted.c_str(), self.c_str(), FALSE); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_FALSE(row.call());
        EXPECT_EQ(contentOf(self), "self content");
    }
}

TEST(Copies, ReadOnlyAndLockedDestinations) {
    const std::string src = makeFile("ro_src.txt", "new content");
    const std::string dst = scratch() + "ro_dst.txt";
    const struct { const char* name; std::function<BOOL()> call; BOOL want; std::string content; } rows[] = {
        {"gtCopyFile replaces a read-only file", [&] { return gtCopyFile(dst.c_str(), src.c_str()); }, TRUE, "new content"},
        {"gtCopyFileEx refuses it", [&] { return gtCopyFileEx(dst.c_str(), src.c_str(), nullptr, 0); }, FALSE, "old"},
        {"gtCatFile refuses it", [&] { return gtCatFile(dst.c_str(), src.c_str(), TRUE); }, FALSE, "old"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        makeFile("ro_dst.txt", "old", FILE_ATTRIBUTE_READONLY);
        EXPECT_EQ(row.call(), row.want);
        EXPECT_EQ(contentOf(dst), row.content);
        EXPECT_EQ(contentOf(src), "new content");
        EXPECT_EQ(leftovers(), 0);
    }
    // A source the copy cannot read: the existing destination stays.
    makeFile("ro_dst.txt", "old");
    HANDLE locked = CreateFileA(src.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_FALSE(gtCopyFile(dst.c_str(), src.c_str()));
    CloseHandle(locked);
    EXPECT_EQ(contentOf(dst), "old");
}

// --- temporary names ---------------------------------------------------------

TEST(CreateTempFile, CountersNamesAndFailures) {
    const std::string dir = scratch() + "tmpnames";
    char out[MAX_PATH] = {};
    ASSERT_NE(gtCreateTempFile(dir.c_str(), "ABC", "tmp", out, sizeof out, FALSE, TRUE), nullptr);
    EXPECT_STREQ(out, "AB0.tmp");
    ASSERT_NE(gtCreateTempFile(dir.c_str(), "ABC", "tmp", out, sizeof out, TRUE, TRUE), nullptr);
    EXPECT_EQ(std::string(out), dir + "\\AB1.tmp");
    ASSERT_NE(gtCreateTempFile(dir.c_str(), "D", nullptr, out, sizeof out, TRUE, FALSE), nullptr);
    EXPECT_EQ(attributesOf(out), DWORD(FILE_ATTRIBUTE_DIRECTORY));

    // A directory that cannot be made (a file is in the way) ends the search
    // at once instead of trying every counter.
    const std::string file = makeFile("plainfile", "x");
    EXPECT_EQ(gtCreateTempFile((file + "\\sub").c_str(), "AB", "tmp", out, sizeof out, FALSE, TRUE), nullptr);
}

}  // namespace
