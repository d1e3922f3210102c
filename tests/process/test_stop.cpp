// Stop request on real boxes: the answer and the flag, the Help button, line
// breaking, templates that fail, and the mutex held while the question is
// up, against a second thread and a second process (also one killed while
// it asks).
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "gtapi32.h"
#include "stop_peer.h"
#include "testutil.h"
#include "waits.h"

namespace {

constexpr char kMutexName[] = "VANTIL_MUTEX_STOP_REQUEST";
constexpr int kStaticTextId = 0xFFFF;  // the platform box's text control
using waits::kHangGuard;
using waits::returnsInTime;
// Lets a started waiter reach its wait before the user answers.
constexpr DWORD kSettle = 500;

HWND waitForBox(const char* caption, const std::atomic<bool>& done) {
    for (DWORD waited = 0; waited < kHangGuard && !done; waited += 10) {
        HWND box = FindWindowA("#32770", caption);
        if (box && IsWindowVisible(box)) return box;
        Sleep(10);
    }
    return nullptr;
}

void press(HWND box, int id) { PostMessageA(GetDlgItem(box, id), BM_CLICK, 0, 0); }

// Runs `ask` on this thread; once its box is up, `act` runs on a helper
// thread.  Returns ask's result; *sawBox tells whether a box came up.
int withBox(const char* caption, const std::function<int()>& ask, const std::function<void(HWND)>& act,
            bool* sawBox = nullptr) {
    std::atomic<bool> done{false};
    bool seen = false;
    std::thread helper([&] {
        if (HWND box = waitForBox(caption, done)) {
            seen = true;
            act(box);
        }
    });
    const int result = ask();
    done = true;
    helper.join();
    if (sawBox) *sawBox = seen;
    return result;
}

// True when another thread can take the mutex at once.
bool mutexFreeElsewhere() {
    bool taken = false;
    std::thread([&] {
        HANDLE m = OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, kMutexName);
        if (!m) return;
        const DWORD wait = WaitForSingleObject(m, 0);
        taken = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
        if (taken) ReleaseMutex(m);
        CloseHandle(m);
    }).join();
    return taken;
}

std::string peerPath() { return testutil::programDir() + "stop_peer.exe"; }

HANDLE startPeer(const std::string& args) {
    std::string line = "\"" + peerPath() + "\" " + args;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

}  // namespace

TEST(StopQuestion, AnswerSetsTheFlagHelpOnlyWithAContext) {
    struct Row { const char* name; int before; DWORD context; int button; bool help; int after; };
    const Row rows[] = {
        {"yes asks to stop", 0, 0, IDYES, false, 1},
        {"cancel withdraws an earlier request", 1, 0, IDCANCEL, false, 0},
        {"a help context adds Help", 0, 77, IDNO, true, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetStopRequestFlag(row.before);
        bool help = false;
        const int answer = withBox(
            row.name,
            [&] { return DisplayStopMessage(nullptr, "Stop now?", row.name, MB_YESNOCANCEL, row.context); },
            [&](HWND box) {
                HWND button = GetDlgItem(box, IDHELP);
                help = button && IsWindowVisible(button);
                press(box, row.button);
            });
        EXPECT_EQ(answer, row.button);
        EXPECT_EQ(help, row.help);
        EXPECT_EQ(GetStopRequestFlag(), row.after);
    }
}

TEST(StopQuestion, InsertsArriveAndLongLinesAreBroken) {
    const char caption[] = "long lines";
    const std::string first(40, 'a'), second(40, 'b');
    std::string shown;
    withBox(
        caption,
        [&] {
            return DisplayStopMessage(nullptr, "%1 %2 stop?", caption, MB_YESNO, 0, first.c_str(), second.c_str());
        },
        [&](HWND box) {
            char text[600] = {};
            GetDlgItemTextA(box, kStaticTextId, text, sizeof text);
            shown = text;
            press(box, IDNO);
        });
    EXPECT_NE(shown.find(first), std::string::npos);
    EXPECT_NE(shown.find(second), std::string::npos);
    size_t longest = 0, run = 0;
    for (char c : shown) {
        run = (c == '\r' || c == '\n') ? 0 : run + 1;
        longest = std::max(longest, run);
    }
    EXPECT_NE(shown.find('\n'), std::string::npos);
    EXPECT_LE(longest, 50u);
}

TEST(StopQuestion, TemplateThatFailsShowsNothingAndFreesTheMutex) {
    struct Row { const char* name; std::string text; };
    const Row rows[] = {
        {"unterminated insert", "stop %1!d"},
        {"longer than the question holds", std::string(600, 'x')},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetStopRequestFlag(1);
        bool sawBox = true;
        const int answer = withBox(
            row.name, [&] { return DisplayStopMessage(nullptr, row.text.c_str(), row.name, MB_YESNO, 0, "x"); },
            [&](HWND box) { press(box, IDNO); }, &sawBox);
        EXPECT_EQ(answer, 0);
        EXPECT_FALSE(sawBox);
        EXPECT_EQ(GetStopRequestFlag(), 1);
        EXPECT_TRUE(mutexFreeElsewhere());
    }
}

TEST(StopQuestion, BoxThatCannotBeShownKeepsTheRequest) {
    SetStopRequestFlag(1);
    HWND gone = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    EXPECT_EQ(DisplayStopMessage(gone, "Stop now?", "no owner", MB_YESNO, 0), 0);
    EXPECT_EQ(GetStopRequestFlag(), 1);
}

TEST(StopQuestion, AnotherThreadWaitsForTheAnswer) {
    const char caption[] = "thread waits";
    SetStopRequestFlag(0);
    std::thread reader;
    int read = -1;
    bool boxGone = false;
    withBox(
        caption, [&] { return DisplayStopMessage(nullptr, "Stop now?", caption, MB_YESNO, 0); },
        [&](HWND box) {
            reader = std::thread([&, box] {
                read = GetStopRequestFlag();
                boxGone = !IsWindow(box);
            });
            Sleep(kSettle);
            press(box, IDYES);
        });
    reader.join();
    EXPECT_EQ(read, 1);
    EXPECT_TRUE(boxGone);
}

TEST(StopQuestion, AnotherProcessWaitsAndKeepsItsOwnFlag) {
    const char caption[] = "process waits";
    const std::string ready = "gt_stop_ready_" + std::to_string(GetCurrentProcessId());
    HANDLE readyEvent = CreateEventA(nullptr, TRUE, FALSE, ready.c_str());
    SetStopRequestFlag(0);
    HANDLE peer = nullptr;
    withBox(
        caption, [&] { return DisplayStopMessage(nullptr, "Stop now?", caption, MB_YESNO, 0); },
        [&](HWND box) {
            peer = startPeer(std::string("wait \"") + caption + "\" " + ready);
            WaitForSingleObject(readyEvent, kHangGuard);
            Sleep(kSettle);
            press(box, IDYES);
        });
    ASSERT_NE(peer, nullptr);
    ASSERT_EQ(WaitForSingleObject(peer, kHangGuard), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeProcess(peer, &code);
    CloseHandle(peer);
    CloseHandle(readyEvent);
    EXPECT_EQ(code & stop_peer::kBoxStillUp, 0u) << "the peer read its flag while the box was up";
    EXPECT_EQ(code & stop_peer::kFlagSet, 0u) << "the answer reached the peer's flag";
    EXPECT_EQ(code & ~(stop_peer::kBoxStillUp | stop_peer::kFlagSet), 0u) << "peer failed, code " << code;
    EXPECT_EQ(GetStopRequestFlag(), 1);
}

TEST(StopQuestion, AskerKilledWhileAskingDoesNotHangOthers) {
    const char caption[] = "killed asker";
    HANDLE peer = startPeer(std::string("ask \"") + caption + "\"");
    ASSERT_NE(peer, nullptr);
    std::atomic<bool> never{false};
    const bool boxUp = waitForBox(caption, never) != nullptr;
    TerminateProcess(peer, 1);
    WaitForSingleObject(peer, kHangGuard);
    CloseHandle(peer);
    ASSERT_TRUE(boxUp);
    int now = -1;
    EXPECT_TRUE(returnsInTime([&] {
        SetStopRequestFlag(1);
        now = GetStopRequestFlag();
    }));
    EXPECT_EQ(now, 1);
    EXPECT_TRUE(mutexFreeElsewhere());
}
