// Making a system disk with the DOS SYS program, run through the source
// disk's command interpreter so that its output can be read back.
#include <windows.h>

#include <cstdio>
#include <string>

#include "frame/owners.h"
#include "gtapi32.h"

namespace {

enum : UINT {
    kSysFailed = 0,         // a drive is not valid, or SYS did not confirm
    kSysDone = 1,           // confirmed, or started without waiting
    kSysNoShell = 10,       // no command interpreter for the source root
    kSysNoProgram = 11,     // neither SYS.COM nor SYS.EXE on the path
    kSysNotStarted = 12,
    kSysNoOutput = 13,
};

constexpr WORD kComspecSize = 261;
constexpr LONG kOutputBytesRead = 100;

std::string onDrive(char letter, const char* rest) { return std::string(1, letter) + rest; }

// COMMAND.COM in the source root, copied there from \DOS or COMSPEC when
// the caller allows it.
bool ensureShell(char source, int copyShell) {
    const std::string root = onDrive(source, ":\\COMMAND.COM");
    if (gtIsFileExist(root.c_str())) return true;
    std::string candidate = onDrive(source, ":\\DOS\\COMMAND.COM");
    if (!gtIsFileExist(candidate.c_str())) {
        candidate.clear();
        gt::Block comspec(gtGetEnv("COMSPEC", nullptr, kComspecSize));
        const char* value = static_cast<const char*>(comspec.get());
        if (value && gtIsStrStr(value, "COMMAND.COM")) candidate = value;
    }
    if (candidate.empty() || !gtIsFileExist(candidate.c_str()) || copyShell != 1) return false;
    return gtCopyFile(root.c_str(), candidate.c_str()) != FALSE;
}

// The first SYS program along the search path, in a block of ours.
gt::Block findSysProgram() {
    gt::Block found(gtFindFileInPath("SYS.COM", nullptr));
    if (!found) found.reset(gtFindFileInPath("SYS.EXE", nullptr));
    return found;
}

// Up to 100 bytes of SYS's output; -1 when nothing could be read.
LONG readOutput(const std::string& path, char* text) {
    std::string name = path;
    LPGTLINEFILE file = fuOpenFile(&name[0], OF_READ);
    if (!file) return -1;
    const LONG got = fuReadFileEx(file, text, kOutputBytesRead);
    fuCloseFile(file);
    return got;
}

}  // namespace

extern "C" UINT GTAPI gtMakeSystemDisk(char source, char target, UINT noWait, int copyShell) {
    if (!gtIsDriveValid(source) || !gtIsDriveValid(target)) return kSysFailed;
    if (!ensureShell(source, copyShell)) return kSysNoShell;
    gt::Block sys = findSysProgram();
    if (!sys) return kSysNoProgram;

    const std::string output = onDrive(source, ":\\~~VIVOD~.ERR");
    gtDeleteFile(output.c_str());
    std::string program = onDrive(source, ":\\COMMAND.COM");
    char arguments[600];
    const int n = std::snprintf(arguments, sizeof(arguments), "/C %s %c: %c: > %s",
                                static_cast<const char*>(sys.get()), source, target, output.c_str());
    if (n < 0 || n >= static_cast<int>(sizeof(arguments))) return kSysNotStarted;
    if (!gtExecHiddenDosApp(&program[0], arguments, "", 0, noWait)) return kSysNotStarted;
    if (noWait) return kSysDone;

    char text[kOutputBytesRead + 1] = {};
    const LONG got = readOutput(output, text);
    gtDeleteFile(output.c_str());
    if (got <= 0) return kSysNoOutput;
    text[got] = 0;
    return gtIsStrStri(text, "System transferred") ? kSysDone : kSysFailed;
}
