// Process launching with real programs: waiting and not, the working
// directory, shown and hidden starts, quoting against a decoy, refused
// calls, the console window closed without blocking, an idle caller, no
// handle leaks, and document associations registered here.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <thread>

#include "gtapi32.h"
#include "testutil.h"
#include "waits.h"

namespace {

using waits::kHangGuard;
using waits::returnsInTime;
constexpr char kChildName[] = "proc_child";

std::string childPath() { return testutil::programDir() + kChildName + ".exe"; }

// A new empty directory for each call.
std::string newDir() {
    static int made = 0;
    return testutil::freshTempDir(("launch" + std::to_string(++made)).c_str());
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string readText(const std::string& path) {
    std::string text;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return "(missing)";
    char buf[512];
    DWORD got = 0;
    if (ReadFile(f, buf, sizeof buf, &got, nullptr)) text.assign(buf, got);
    CloseHandle(f);
    return text;
}

bool waitForFile(const std::string& path) {
    for (DWORD waited = 0; waited < kHangGuard; waited += 20) {
        if (exists(path)) return true;
        Sleep(20);
    }
    return false;
}

// The runners behind one call: true when the export reports success.
enum class Runner { Execute, ExecuteHidden, Dos };

bool run(Runner runner, std::string program, const char* args, const std::string& dir, BOOL noWait = FALSE,
         UINT slice = 0) {
    std::string a = args ? args : "";
    char* argp = args ? &a[0] : nullptr;
    switch (runner) {
        case Runner::Execute: return gtExecuteProcess(&program[0], argp, dir.c_str(), noWait, FALSE) == 0;
        case Runner::ExecuteHidden: return gtExecuteProcess(&program[0], argp, dir.c_str(), noWait, TRUE) == 0;
        case Runner::Dos: return gtExecHiddenDosApp(&program[0], argp, dir.c_str(), slice, noWait) != FALSE;
    }
    return false;
}

// A console-like window of class "tty" on a thread of its own, which pumps
// its messages only once released (until then it looks hung).
class ConsoleWindow {
public:
    explicit ConsoleWindow(const std::string& title) : release_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
        HANDLE created = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = std::thread([this, title, created] {
            WNDCLASSA wc = {};
            wc.lpfnWndProc = proc;
            wc.lpszClassName = "tty";
            RegisterClassA(&wc);
            hwnd_ = CreateWindowExA(0, "tty", title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                    nullptr, this);
            SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
            SetEvent(created);
            WaitForSingleObject(release_, INFINITE);
            MSG m;
            while (IsWindow(hwnd_) && GetMessageA(&m, nullptr, 0, 0) > 0) DispatchMessageA(&m);
        });
        WaitForSingleObject(created, INFINITE);
        CloseHandle(created);
    }
    ~ConsoleWindow() {
        closeRequested();
        CloseHandle(release_);
    }
    // Ends the thread; true when someone asked the window to close.
    bool closeRequested() {
        SetEvent(release_);
        if (IsWindow(hwnd_)) PostMessageA(hwnd_, WM_APP_END, 0, 0);
        if (thread_.joinable()) thread_.join();
        return closeRequested_;
    }

private:
    static constexpr UINT WM_APP_END = WM_APP + 1;
    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        auto* self = reinterpret_cast<ConsoleWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (msg == WM_CLOSE && self) self->closeRequested_ = true;
        if (msg == WM_APP_END) {
            DestroyWindow(hwnd);
            return 0;
        }
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
    HANDLE release_;
    HWND hwnd_ = nullptr;
    bool closeRequested_ = false;
    std::thread thread_;
};

}  // namespace

TEST(Launch, WaitsAndRunsInTheWorkingDirectory) {
    struct Row { const char* name; Runner runner; };
    const Row rows[] = {{"execute", Runner::Execute}, {"hidden console", Runner::Dos}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string dir = newDir();
        EXPECT_TRUE(run(row.runner, childPath(), "write out.txt", dir));
        EXPECT_TRUE(exists(dir + "out.txt"));
        EXPECT_FALSE(exists(testutil::programDir() + "out.txt"));
    }
}

TEST(Launch, NoWaitReturnsBeforeTheProgramEnds) {
    struct Row { const char* name; Runner runner; };
    const Row rows[] = {{"execute", Runner::Execute}, {"hidden console", Runner::Dos}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string dir = newDir();
        EXPECT_TRUE(run(row.runner, childPath(), "sleep 4000 done.txt", dir, TRUE));  // long enough for a loaded machine
        EXPECT_FALSE(exists(dir + "done.txt"));
        EXPECT_TRUE(waitForFile(dir + "done.txt"));
    }
}

TEST(Launch, ShownOrHiddenAsAsked) {
    // The child writes "dwFlags wShowWindow" of its start-up record.
    struct Row { const char* name; Runner runner; const char* startup; };
    const Row rows[] = {
        {"execute shown", Runner::Execute, "1 1"},
        {"execute hidden", Runner::ExecuteHidden, "1 0"},
        {"console always hidden", Runner::Dos, "1 0"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string dir = newDir();
        EXPECT_TRUE(run(row.runner, childPath(), "show startup.txt", dir));
        EXPECT_EQ(readText(dir + "startup.txt"), row.startup);
    }
}

TEST(Launch, RefusedCallsReportAFailure) {
    const std::string longArgs(1100, 'a'), dosArgs(600, 'a');
    std::string child = childPath(), missing = testutil::programDir() + "no_such_program.exe";
    struct Row { const char* name; char* program; const char* args; DWORD execute; BOOL dos; };
    const Row rows[] = {
        {"null program", nullptr, "exit 0", ERROR_INVALID_PARAMETER, FALSE},
        {"missing program", &missing[0], "exit 0", ERROR_FILE_NOT_FOUND, FALSE},
        {"line too long for both", &child[0], longArgs.c_str(), ERROR_FILENAME_EXCED_RANGE, FALSE},
        {"line too long for the console", &child[0], dosArgs.c_str(), 0, FALSE},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::string args = row.args;
        const std::string dir = newDir();
        EXPECT_EQ(gtExecuteProcess(row.program, &args[0], dir.c_str(), FALSE, TRUE), row.execute);
        EXPECT_EQ(gtExecHiddenDosApp(row.program, args.c_str(), dir.c_str(), 0, FALSE), row.dos);
    }
}

TEST(Launch, ConsoleArgumentsNullAddNothing) {
    struct Row { const char* name; const char* args; const char* tail; };
    const Row rows[] = {{"null arguments", nullptr, ""}, {"empty arguments keep the blank", "", " "}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string dir = newDir();
        EXPECT_TRUE(run(Runner::Dos, childPath(), row.args, dir));
        EXPECT_EQ(readText(dir + "cmdline.txt"), childPath() + row.tail);
    }
}

TEST(Launch, ProgramPathWithBlanksIsQuoted) {
    // dir\Tool Box\run.exe, with a decoy dir\Tool.exe that an unquoted path
    // would start instead.
    const std::string dir = newDir();
    CreateDirectoryA((dir + "Tool Box").c_str(), nullptr);
    const std::string real = dir + "Tool Box\\run.exe";
    ASSERT_TRUE(CopyFileA(childPath().c_str(), real.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(childPath().c_str(), (dir + "Tool.exe").c_str(), FALSE));
    struct Row { const char* name; Runner runner; std::string program; };
    const Row rows[] = {
        {"execute, unquoted", Runner::Execute, real},
        {"hidden console, unquoted", Runner::Dos, real},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        DeleteFileA((dir + "run.ran").c_str());
        DeleteFileA((dir + "Tool.ran").c_str());
        EXPECT_TRUE(run(row.runner, row.program, "mark", dir));
        EXPECT_TRUE(exists(dir + "run.ran"));
        EXPECT_FALSE(exists(dir + "Tool.ran"));
    }
}

TEST(Launch, WaitingLeavesTheCallerIdle) {
    // Process time of the waiting thread, as a share of the time it waited.
    auto cpuTicks = [] {
        FILETIME created, ended, kernel, user;
        GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user);
        auto ticks = [](FILETIME t) { return (ULONGLONG(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
        return ticks(kernel) + ticks(user);
    };
    const std::string dir = newDir();
    const ULONGLONG cpuBefore = cpuTicks();
    const DWORD wallBefore = GetTickCount();
    EXPECT_TRUE(run(Runner::Execute, childPath(), "sleep 2000", dir));
    const double waitedMs = GetTickCount() - wallBefore;
    const double cpuMs = (cpuTicks() - cpuBefore) / 10000.0;
    EXPECT_GE(waitedMs, 2000.0);
    EXPECT_LT(cpuMs / waitedMs, 0.10) << "busy for " << cpuMs << " ms of " << waitedMs;
}

TEST(Launch, FinishedWindowIsClosedWithoutBlocking) {
    struct Row { const char* name; Runner runner; UINT slice; };
    const Row rows[] = {{"execute", Runner::Execute, 0}, {"hidden console", Runner::Dos, 200}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ConsoleWindow hung(std::string("Finished - ") + kChildName);  // not pumping yet
        const std::string dir = newDir();
        bool started = false;
        EXPECT_TRUE(returnsInTime([&] { started = run(row.runner, childPath(), "sleep 1000", dir, FALSE, row.slice); }));
        EXPECT_TRUE(started);
        EXPECT_TRUE(hung.closeRequested());
    }
}

// Open handles of this process, counted by asking the system about every
// handle value in use here (GetProcessHandleCount answers 0 under Wine).
DWORD openHandles() {
    constexpr UINT_PTR kHandleStep = 4, kHighestHandle = 0x10000;
    DWORD count = 0, flags = 0;
    for (UINT_PTR h = kHandleStep; h <= kHighestHandle; h += kHandleStep)
        if (GetHandleInformation(reinterpret_cast<HANDLE>(h), &flags)) ++count;
    return count;
}

TEST(Launch, NoHandleLeaks) {
    // Each start costs about a tenth of a second under Wine: 25 of each
    // kind, where a leak of one handle per start shows as 25.
    constexpr int kRuns = 25;
    const std::string dir = newDir();
    struct Row { const char* name; Runner runner; BOOL noWait; };
    const Row rows[] = {
        {"execute, waited", Runner::Execute, FALSE},
        {"execute, no wait", Runner::Execute, TRUE},
        {"hidden console, waited", Runner::Dos, FALSE},
        {"hidden console, no wait", Runner::Dos, TRUE},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        run(row.runner, childPath(), "exit 3", dir, row.noWait);  // first-use allocations are no leak
        const DWORD before = openHandles();
        int started = 0;
        for (int i = 0; i < kRuns; ++i) started += run(row.runner, childPath(), "exit 3", dir, row.noWait);
        EXPECT_EQ(started, kRuns);
        EXPECT_EQ(openHandles(), before);
    }
}

namespace {

// A document type registered for this test (the 32-bit view of the
// classes, as the library sees it), removed again at the end.
class Association {
public:
    Association(const std::string& ext, const std::string& program) : ext_(ext), type_("gttest" + ext.substr(1)) {
        setDefault(ext_, type_);
        setDefault(type_ + "\\shell\\open\\command", "\"" + program + "\" \"%1\"");
    }
    ~Association() {
        RegDeleteTreeA(HKEY_CLASSES_ROOT, ext_.c_str());
        RegDeleteTreeA(HKEY_CLASSES_ROOT, type_.c_str());
    }

private:
    static void setDefault(const std::string& key, const std::string& value) {
        HKEY h = nullptr;
        RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr);
        RegSetValueExA(h, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), DWORD(value.size() + 1));
        RegCloseKey(h);
    }
    std::string ext_, type_;
};

// WIN.INI's [windows] Programs, through the profile calls the library reads
// it with; restored at the end.
class ProgramsList {
public:
    explicit ProgramsList(const char* value) {
        had_ = GetProfileStringA("windows", "Programs", "", saved_, sizeof saved_) > 0;
        WriteProfileStringA("windows", "Programs", value);
    }
    ~ProgramsList() { WriteProfileStringA("windows", "Programs", had_ ? saved_ : nullptr); }

private:
    char saved_[260] = {};
    bool had_ = false;
};

constexpr size_t kResultSize = 260;

}  // namespace

TEST(DocumentLookup, CommandLineThatOpensTheDocument) {
    const std::string dir = newDir();
    const std::string viewer = childPath();
    Association gtdoc(".gtdoc", viewer), gtprog(".gtprog", viewer), e(".e", viewer);
    const std::string longName = std::string(240, 'n') + ".gtdoc";
    struct Row { const char* name; std::string document; const char* programs; BOOL ok; std::string result; };
    const Row rows[] = {
        {"associated document", "doc one.gtdoc", nullptr, TRUE, viewer + " doc one.gtdoc"},
        // A listed extension makes the document its own program.
        {"extension listed as a program", "tool.gtprog", "exe com gtprog", TRUE, dir + "tool.gtprog"},
        {"one letter of a listed entry is no program", "notes.e", nullptr, TRUE, viewer + " notes.e"},
        {"nothing associated", "x.gtnone", nullptr, FALSE, ""},
        {"line longer than the result holds", longName, nullptr, FALSE, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ProgramsList programs(row.programs);
        CloseHandle(CreateFileA((dir + row.document).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        std::string document = row.document, directory = dir.substr(0, dir.size() - 1);
        char result[kResultSize + 40];
        memset(result, '#', sizeof result);
        EXPECT_EQ(gtFindExecutableEx(&document[0], &directory[0], result), row.ok);
        result[sizeof result - 1] = '\0';
        EXPECT_EQ(lstrcmpiA(std::string(result, strnlen(result, kResultSize)).c_str(), row.result.c_str()), 0)
            << "result " << result;
        EXPECT_EQ(std::string(result + kResultSize), std::string(39, '#')) << "written past 260 bytes";
    }
}
