// Presses a button of the platform's message box from a helper thread.
#pragma once
#include <windows.h>

#include <string>
#include <thread>

struct BoxPress {
    std::string seenText;  // the box's static text (id 0xFFFF)
    bool found = false;
    std::thread worker;

    // Waits (at most ten seconds) for a visible "#32770" window with this
    // caption, reads its text and clicks the control with id `button`.
    BoxPress(std::string caption, int button) {
        worker = std::thread([this, caption, button] {
            for (int i = 0; i < 500; ++i) {
                HWND box = FindWindowA("#32770", caption.c_str());
                if (box && IsWindowVisible(box)) {
                    char text[2048] = {};
                    GetWindowTextA(GetDlgItem(box, 0xFFFF), text, sizeof text);
                    seenText = text;
                    found = true;
                    PostMessageA(GetDlgItem(box, button), BM_CLICK, 0, 0);
                    return;
                }
                Sleep(20);
            }
        });
    }
    ~BoxPress() { if (worker.joinable()) worker.join(); }
    void wait() { if (worker.joinable()) worker.join(); }
};
