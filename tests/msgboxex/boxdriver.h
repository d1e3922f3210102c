// Drives a modal box that the test's own thread shows: a helper thread waits
// for it, records its window and buttons, then posts clicks and keys while
// the box's modal loop runs on the test thread.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace boxdriver {

struct Button {
    HWND hwnd;
    int id;
    std::string text;
    RECT rect;  // client coordinates of the box
    LONG style;
};

struct Box {
    HWND hwnd = nullptr, focus = nullptr;
    std::string caption;
    RECT window{}, client{};
    LONG style = 0;
    std::vector<Button> buttons;
    const Button* button(int id) const {
        for (const Button& b : buttons)
            if (b.id == id) return &b;
        return nullptr;
    }
};

using Action = std::function<void(const Box&)>;

inline std::string textOf(HWND w) {
    char t[256] = {};
    GetWindowTextA(w, t, sizeof(t));
    return t;
}

namespace detail {
struct Shared {
    DWORD thread;
    HANDLE done;
    const Action* act;
    Box box;
};

inline BOOL CALLBACK findDialog(HWND w, LPARAM lp) {
    char cls[16] = {};
    GetClassNameA(w, cls, sizeof(cls));
    if (lstrcmpA(cls, "#32770") || !IsWindowVisible(w)) return TRUE;
    *reinterpret_cast<HWND*>(lp) = w;
    return FALSE;
}

inline BOOL CALLBACK collectButton(HWND w, LPARAM lp) {
    auto* box = reinterpret_cast<Box*>(lp);
    if (GetParent(w) != box->hwnd) return TRUE;
    Button b{w, GetDlgCtrlID(w), textOf(w), {}, GetWindowLongA(w, GWL_STYLE)};
    GetWindowRect(w, &b.rect);
    MapWindowPoints(nullptr, box->hwnd, reinterpret_cast<POINT*>(&b.rect), 2);
    box->buttons.push_back(b);
    return TRUE;
}

inline DWORD WINAPI helper(LPVOID p) {
    auto* s = static_cast<Shared*>(p);
    HWND found = nullptr;
    while (EnumThreadWindows(s->thread, findDialog, LPARAM(&found)), !found)
        if (WaitForSingleObject(s->done, 10) == WAIT_OBJECT_0) return 0;  // the call ended without a box
    Box& box = s->box;
    box.hwnd = found;
    box.caption = textOf(found);
    GetWindowRect(found, &box.window);
    GetClientRect(found, &box.client);
    box.style = GetWindowLongA(found, GWL_STYLE);
    EnumChildWindows(found, collectButton, LPARAM(&box));
    GUITHREADINFO gti{};
    gti.cbSize = sizeof(gti);
    if (GetGUIThreadInfo(s->thread, &gti)) box.focus = gti.hwndFocus;
    if (*s->act) (*s->act)(box);
    return 0;
}
}  // namespace detail

// Runs `call` (which shows at most one box) and acts on the box it shows.
// Returns the call's result; *box is what was seen (hwnd null: no box).
inline int drive(const std::function<int()>& call, const Action& act, Box* box) {
    detail::Shared s{GetCurrentThreadId(), CreateEventA(nullptr, TRUE, FALSE, nullptr), &act, {}};
    HANDLE t = CreateThread(nullptr, 0, detail::helper, &s, 0, nullptr);
    int result = call();
    SetEvent(s.done);
    WaitForSingleObject(t, INFINITE);
    CloseHandle(t);
    CloseHandle(s.done);
    if (box) *box = s.box;
    return result;
}

inline void click(const Box& box, int id) {
    if (const Button* b = box.button(id)) PostMessageA(b->hwnd, BM_CLICK, 0, 0);
}
inline void key(const Box& box, WPARAM vk) { PostMessageA(box.focus ? box.focus : box.hwnd, WM_KEYDOWN, vk, 0); }

// Client-area pixels after a complete repaint: right after the box appears the
// window system may still be settling its surface, so pixels count once two
// repaints in a row read the same and nothing is left invalid.
inline std::vector<COLORREF> capture(HWND box, const RECT& r) {
    std::vector<COLORREF> out, previous;
    for (int attempt = 0; attempt < 100; ++attempt) {
        InvalidateRect(box, nullptr, TRUE);
        SendMessageA(box, WM_PAINT, 0, 0);
        out.clear();
        HDC dc = GetDC(box);
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) out.push_back(GetPixel(dc, x, y));
        ReleaseDC(box, dc);
        if (attempt > 0 && out == previous && !GetUpdateRect(box, nullptr, FALSE)) break;
        previous = out;
        Sleep(10);
    }
    return out;
}

}  // namespace boxdriver
