// Stop request: one per-process flag behind a system-wide named mutex that
// also covers the whole time the stop question is on screen, so pollers in
// every process of the product wait for the user's answer.
#include <windows.h>

#include <cstdarg>

#include "frame/owners.h"
#include "gtapi32.h"
#include "process/logic.h"

namespace {

namespace proc = gt::proc;

int g_stopFlag = 0;

// Opened on first use and kept for the life of the process.  A failed
// creation leaves no handle: the waits then fail and the flag goes unlocked.
HANDLE stopMutex() {
    static const gt::Handle mutex(CreateMutexA(nullptr, FALSE, proc::kStopMutexName));
    return mutex.get();
}

// Holds the mutex for its scope.  An abandoned mutex (its holder died while
// asking) is ours all the same; a failed wait leaves nothing to release.
class StopLock {
public:
    StopLock() : mutex_(stopMutex()) {
        const DWORD wait = mutex_ ? WaitForSingleObject(mutex_, INFINITE) : WAIT_FAILED;
        held_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    }
    ~StopLock() {
        if (held_) ReleaseMutex(mutex_);
    }
    StopLock(const StopLock&) = delete;
    StopLock& operator=(const StopLock&) = delete;

private:
    HANDLE mutex_;
    bool held_ = false;
};

}  // namespace

extern "C" {

int GTAPI GetStopRequestFlag(void) {
    StopLock lock;
    return g_stopFlag;
}

int GTAPI SetStopRequestFlag(DWORD value) {
    StopLock lock;
    const int previous = g_stopFlag;
    g_stopFlag = static_cast<int>(value);
    return previous;
}

int GTAPIV DisplayStopMessage(HWND owner, LPCSTR text, LPCSTR caption, UINT style, DWORD helpContext, ...) {
    char line[64];
    wsprintfA(line, "DisplayStopMessage: hmutexStop=%08x\n", reinterpret_cast<UINT_PTR>(stopMutex()));
    OutputDebugStringA(line);

    StopLock lock;
    if (!text) return 0;
    char question[proc::kStopTextSize];
    va_list inserts;
    va_start(inserts, helpContext);
    const DWORD length = FormatMessageA(proc::kStopFormatFlags, text, 0, 0, question, sizeof question, &inserts);
    va_end(inserts);
    if (length == 0) return 0;

    MSGBOXPARAMSA box = {};
    box.cbSize = sizeof box;
    box.hwndOwner = owner;
    box.lpszText = question;
    box.lpszCaption = caption;
    box.dwStyle = proc::stopBoxStyle(style, helpContext);
    box.dwContextHelpId = helpContext;
    box.dwLanguageId = proc::kStopLanguage;
    if (owner) ShowWindow(owner, SW_RESTORE);
    const int answer = MessageBoxIndirectA(&box);
    // A box that could not be shown (0, or -1 under Wine) is no answer: a
    // pending request stays, and the caller sees 0 as for a bad template.
    if (answer <= 0) return 0;
    g_stopFlag = proc::stopFlagFromAnswer(answer);
    return answer;
}

}  // extern "C"
