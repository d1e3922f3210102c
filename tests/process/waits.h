// Waits shared by the process tests.  The bounds only ever end a hang; a
// working call returns long before them.
#pragma once
#include <windows.h>

#include <functional>
#include <thread>

namespace waits {

constexpr DWORD kHangGuard = 60000;

// Runs `call` on a thread of its own; false when it did not return in time.
inline bool returnsInTime(const std::function<void()>& call) {
    HANDLE finished = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread worker([&, finished] {
        call();
        SetEvent(finished);
    });
    const bool returned = WaitForSingleObject(finished, kHangGuard) == WAIT_OBJECT_0;
    if (returned) worker.join(); else worker.detach();
    CloseHandle(finished);
    return returned;
}

}  // namespace waits
