// Shows an extended box on the test thread; a helper thread records the box
// and its buttons, then runs an action (keys) while the modal loop runs.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "gtapi32.h"

namespace mbxbox {

struct Button { HWND hwnd; int id; std::string text; RECT rect; LONG style; };
struct Box {
    HWND hwnd = nullptr, focus = nullptr;
    std::string caption;
    RECT window{};
    std::vector<Button> buttons;
};
using Action = std::function<void(const Box&)>;

inline std::string textOf(HWND w) {
    char t[256] = {};
    GetWindowTextA(w, t, sizeof(t));
    return t;
}

struct Shared { DWORD thread; HANDLE done; Action act; Box box; };

inline BOOL CALLBACK findDialog(HWND w, LPARAM lp) {
    char cls[16] = {};
    GetClassNameA(w, cls, sizeof(cls));
    if (lstrcmpA(cls, "#32770") || !IsWindowVisible(w)) return TRUE;
    *reinterpret_cast<HWND*>(lp) = w;
    return FALSE;
}

inline BOOL CALLBACK addButton(HWND w, LPARAM lp) {
    Box* box = reinterpret_cast<Box*>(lp);
    Button b{w, GetDlgCtrlID(w), textOf(w), {}, GetWindowLongA(w, GWL_STYLE)};
    GetWindowRect(w, &b.rect);
    MapWindowPoints(nullptr, box->hwnd, reinterpret_cast<POINT*>(&b.rect), 2);
    if (GetParent(w) == box->hwnd) box->buttons.push_back(b);
    return TRUE;
}

inline DWORD WINAPI helper(LPVOID p) {
    Shared* s = static_cast<Shared*>(p);
    HWND found = nullptr;
    while (EnumThreadWindows(s->thread, findDialog, LPARAM(&found)), !found)
        if (WaitForSingleObject(s->done, 10) == WAIT_OBJECT_0) return 0;  // ended without a box
    Box& box = s->box;
    box.hwnd = found;
    box.caption = textOf(found);
    GetWindowRect(found, &box.window);
    EnumChildWindows(found, addButton, LPARAM(&box));
    GUITHREADINFO gti{};
    gti.cbSize = sizeof(gti);
    if (GetGUIThreadInfo(s->thread, &gti)) box.focus = gti.hwndFocus;
    s->act(box);
    return 0;
}

// Runs `call`, which shows at most one box; returns its result and what was seen.
inline int drive(const std::function<int()>& call, const Action& act, Box* box) {
    Shared s{GetCurrentThreadId(), CreateEventA(nullptr, TRUE, FALSE, nullptr), act, {}};
    HANDLE t = CreateThread(nullptr, 0, helper, &s, 0, nullptr);
    int result = call();
    SetEvent(s.done);
    WaitForSingleObject(t, INFINITE);
    CloseHandle(t);
    CloseHandle(s.done);
    *box = s.box;
    return result;
}

inline void key(const Box& b, WPARAM vk) { PostMessageA(b.focus ? b.focus : b.hwnd, WM_KEYDOWN, vk, 0); }

inline GTMBDEF def(const char* keywords, WORD count, WORD defaultId) {
    GTMBDEF d{};
    d.pszKeywords = const_cast<LPSTR>(keywords);
    d.wButtonCount = count;
    d.wDefaultId = defaultId;
    return d;
}

}  // namespace mbxbox
