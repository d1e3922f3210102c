// Drives a modal box that the test's own thread shows: a helper thread waits
// for it, records its window and buttons, then acts on it (posts clicks and
// keys) while the box's modal loop runs on the test thread.
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
    RECT rect;   // client coordinates of the box
    LONG style;
};

struct Box {
    HWND hwnd = nullptr;
    std::string caption;
    RECT window{};
    RECT client{};
    LONG style = 0;
    std::vector<Button> buttons;
    HWND focus = nullptr;
    const Button* button(int id) const {
        for (const Button& b : buttons)
            if (b.id == id) return &b;
        return nullptr;
    }
};

using Action = std::function<void(const Box&)>;

namespace detail {

struct Shared {
    DWORD thread;
    HANDLE done;
    Action act;
    Box box;
    bool seen = false;
};

inline BOOL CALLBACK findDialog(HWND w, LPARAM lp) {
    char cls[16] = {};
    GetClassNameA(w, cls, sizeof(cls));
    if (!lstrcmpA(cls, "#32770") && IsWindowVisible(w)) {
        *reinterpret_cast<HWND*>(lp) = w;
        return FALSE;
    }
    return TRUE;
}

inline BOOL CALLBACK collectButton(HWND w, LPARAM lp) {
    auto* box = reinterpret_cast<Box*>(lp);
    if (GetParent(w) != box->hwnd) return TRUE;
    Button b{};
    b.hwnd = w;
    b.id = GetDlgCtrlID(w);
    char text[256] = {};
    GetWindowTextA(w, text, sizeof(text));
    b.text = text;
    GetWindowRect(w, &b.rect);
    MapWindowPoints(nullptr, box->hwnd, reinterpret_cast<POINT*>(&b.rect), 2);
    b.style = GetWindowLongA(w, GWL_STYLE);
    box->buttons.push_back(b);
    return TRUE;
}

inline DWORD WINAPI helper(LPVOID p) {
    auto* s = static_cast<Shared*>(p);
    HWND found = nullptr;
    while (!found) {
        EnumThreadWindows(s->thread, findDialog, reinterpret_cast<LPARAM>(&found));
        if (found) break;
        if (WaitForSingleObject(s->done, 10) == WAIT_OBJECT_0) return 0;  // the call ended without a box
    }
    Box& box = s->box;
    box.hwnd = found;
    char caption[256] = {};
    GetWindowTextA(found, caption, sizeof(caption));
    box.caption = caption;
    GetWindowRect(found, &box.window);
    GetClientRect(found, &box.client);
    box.style = GetWindowLongA(found, GWL_STYLE);
    EnumChildWindows(found, collectButton, reinterpret_cast<LPARAM>(&box));
    GUITHREADINFO gti{};
    gti.cbSize = sizeof(gti);
    if (GetGUIThreadInfo(s->thread, &gti)) box.focus = gti.hwndFocus;
    s->seen = true;
    if (s->act) s->act(box);
    return 0;
}

}  // namespace detail

// Runs `call` (which shows at most one box) and acts on the box it shows.
// Returns the call's result; *box is what was seen (hwnd null: no box).
inline int drive(const std::function<int()>& call, const Action& act, Box* box) {
    detail::Shared s;
    s.thread = GetCurrentThreadId();
    s.done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    s.act = act;
    HANDLE t = CreateThread(nullptr, 0, detail::helper, &s, 0, nullptr);
    int result = call();
    SetEvent(s.done);
    WaitForSingleObject(t, INFINITE);
    CloseHandle(t);
    CloseHandle(s.done);
    if (box) *box = s.box;
    return result;
}

// --- actions ---
inline void click(const Box& box, int id) {
    if (const Button* b = box.button(id)) PostMessageA(b->hwnd, BM_CLICK, 0, 0);
}
inline void key(const Box& box, WPARAM vk) {
    PostMessageA(box.focus ? box.focus : box.hwnd, WM_KEYDOWN, vk, 0);
}

// Client-area pixels of the box after a complete repaint.  The sent
// WM_PAINT runs on the box's thread and returns when it has painted, but
// right after the box appears the window system may still be settling its
// surface: pixels count once two repaints in a row read the same and nothing
// is left invalid.
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
