// CPU share of the thread that waits for a started program: gtExecuteProcess
// against two loops on the platform's calls in the same run, a poll without
// a pause (WaitForSingleObject with no time-out plus the window search) and
// one WaitForSingleObject(INFINITE).  The program is this one, sleeping.
// Under Wine the poll's waits and searches run partly in the server, so its
// thread share understates what it costs the machine.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <string>

#include "benchclock.h"
#include "gtapi32.h"

namespace {

constexpr DWORD kChildMs = 1500;
constexpr int kRounds = 3;

using bench::now;

double threadCpuSeconds() {
    FILETIME created, ended, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user);
    auto ticks = [](FILETIME t) { return (ULONGLONG(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return double(ticks(kernel) + ticks(user)) / 1e7;
}

std::string selfPath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

HANDLE startSleeper() {
    std::string line = "\"" + selfPath() + "\" --sleep";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

// The share of one wait: CPU seconds of this thread over wall seconds.
template <typename Wait>
double share(Wait wait) {
    const double cpu0 = threadCpuSeconds(), wall0 = now();
    wait();
    const double cpu = threadCpuSeconds() - cpu0;
    return (cpu > 0 ? cpu : 0) / (now() - wall0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && !std::strcmp(argv[1], "--sleep")) {
        Sleep(kChildMs);
        return 0;
    }
    std::string program = selfPath();
    char args[] = "--sleep";
    double lib = 0, poll = 0, blocked = 0;
    for (int r = 0; r < kRounds; ++r) {
        lib += share([&] { gtExecuteProcess(&program[0], args, nullptr, FALSE, FALSE); });
        poll += share([] {
            HANDLE child = startSleeper();
            while (child && WaitForSingleObject(child, 0) == WAIT_TIMEOUT) FindWindowA(nullptr, "Finished - x");
            CloseHandle(child);
        });
        blocked += share([] {
            HANDLE child = startSleeper();
            if (child) WaitForSingleObject(child, INFINITE);
            CloseHandle(child);
        });
    }
    lib /= kRounds, poll /= kRounds, blocked /= kRounds;
    std::printf("bench_process_wait: CPU share of the waiting thread, %u ms child, %d rounds\n", unsigned(kChildMs),
                kRounds);
    std::printf("  gtExecuteProcess          %6.2f %%\n", lib * 100);
    std::printf("  poll without a pause      %6.2f %% (baseline)\n", poll * 100);
    std::printf("  WaitForSingleObject       %6.2f %% (floor)\n", blocked * 100);
    std::printf("  ratio to the poll         %6.3f (goal < 0.10)\n", poll > 0 ? lib / poll : 0.0);
    return 0;
}
