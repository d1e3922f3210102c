// Process runners and the document-association lookup.  The started
// process's handles are owned here and closed on every path, waited for or
// not: callers get no handle back, so keeping them open could only leak.
#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <string>

#include "frame/owners.h"
#include "fs/pathnames.h"
#include "gtapi32.h"
#include "process/logic.h"

namespace {

namespace proc = gt::proc;

// Between two looks for the console window: short enough to close it
// promptly, long enough to leave the caller's CPU idle.
constexpr DWORD kExecuteWaitSlice = 50;
constexpr DWORD kDefaultDosWaitSlice = 3000;
// What CreateProcessA itself reports for a command line that is too long.
constexpr DWORD kLineTooLong = ERROR_FILENAME_EXCED_RANGE;

struct Child {
    gt::Handle process;
    gt::Handle thread;
};

// CreateProcessA with handles inherited, shown as `show`; false with the
// system's error left in GetLastError.  An empty working directory is the
// caller's own (the system refuses "" as a directory).
bool startChild(std::string& line, LPCSTR workDir, WORD show, Child& child) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = show;
    PROCESS_INFORMATION info = {};
    const LPCSTR directory = workDir && *workDir ? workDir : nullptr;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, directory, &startup, &info))
        return false;
    child.process.reset(info.hProcess);
    child.thread.reset(info.hThread);
    return true;
}

// Asks a console window to close without waiting for it: the window belongs
// to another process, which may not be answering.
void closeConsoleWindow(LPCSTR windowClass, const std::string& title) {
    if (title.empty()) return;
    if (HWND window = FindWindowA(windowClass, title.c_str())) PostMessageA(window, WM_CLOSE, 0, 0);
}

bool stillRunning(HANDLE process, DWORD slice) { return WaitForSingleObject(process, slice) == WAIT_TIMEOUT; }

DWORD lastErrorOr(DWORD fallback) {
    const DWORD error = GetLastError();
    return error != 0 ? error : fallback;
}

}  // namespace

extern "C" {

DWORD GTAPI gtExecuteProcess(LPSTR program, LPSTR arguments, LPCSTR workDir, BOOL noWait, BOOL hidden) {
    if (!program || !*program) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return ERROR_INVALID_PARAMETER;
    }
    std::string line;
    if (!proc::buildCommandLine(program, arguments, proc::ArgsRule::WhenNonEmpty, proc::kExecuteLineSize, line)) {
        SetLastError(kLineTooLong);
        return kLineTooLong;
    }
    Child child;
    if (!startChild(line, workDir, hidden == 1 ? SW_HIDE : SW_SHOWNORMAL, child))
        return lastErrorOr(ERROR_GEN_FAILURE);
    if (noWait == 1) return 0;

    const std::string finished = proc::finishedTitle(proc::programTitleName(program));
    while (stillRunning(child.process.get(), kExecuteWaitSlice)) closeConsoleWindow(nullptr, finished);
    return 0;
}

BOOL GTAPI gtExecHiddenDosApp(LPSTR program, LPCSTR arguments, LPCSTR workDir, UINT waitSlice, BOOL noWait) {
    if (!program || !*program) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string line;
    if (!proc::buildCommandLine(program, arguments, proc::ArgsRule::WhenGiven, proc::kDosLineSize, line)) {
        SetLastError(kLineTooLong);
        return FALSE;
    }
    Child child;
    if (!startChild(line, workDir, SW_HIDE, child)) return FALSE;
    if (noWait == 1) return TRUE;

    const std::string running = proc::programTitleName(program);
    const std::string finished = proc::finishedTitle(running);
    const DWORD slice = waitSlice != 0 ? waitSlice : kDefaultDosWaitSlice;
    // A caller who chose the slice also wants to see the program once.
    bool showOnce = waitSlice != 0;
    while (stillRunning(child.process.get(), slice)) {
        if (showOnce && !running.empty()) {
            if (HWND console = FindWindowA(proc::kConsoleClass, running.c_str())) {
                ShowWindowAsync(console, SW_SHOW);
                SetForegroundWindow(console);
                showOnce = false;
            }
        }
        closeConsoleWindow(proc::kConsoleClass, finished);
    }
    return TRUE;
}

BOOL GTAPI gtFindExecutableEx(LPSTR document, LPSTR directory, LPSTR result) {
    if (!document || !directory || !result || !*document || !*directory) return FALSE;
    char found[MAX_PATH] = {};
    if (reinterpret_cast<INT_PTR>(FindExecutableA(document, directory, found)) <= 32) {
        result[0] = '\0';
        return FALSE;
    }
    GTSPLITPATH split;
    const char* ext = gt::path::split(document, split) ? split.szExt : "";
    char programs[proc::kProgramsSize] = {};
    GetProfileStringA("windows", "Programs", proc::kDefaultPrograms, programs, sizeof programs);

    std::string line;
    if (!proc::assocCommandLine(found, document, proc::isProgramExtension(programs, ext), proc::kAssocResultSize,
                                line)) {
        result[0] = '\0';
        return FALSE;
    }
    std::memcpy(result, line.c_str(), line.size() + 1);
    return TRUE;
}

}  // extern "C"
