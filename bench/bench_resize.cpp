// gtResizeWindow on a dialog with 200 controls and 400 rules, against the
// deferred batch alone that moves the same controls to the same places,
// and the solver alone on the same snapshot.  Two tables alternate so that
// every call really moves every control.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "benchclock.h"
#include "gtapi32.h"
#include "window/resizesolver.h"

namespace {

constexpr int kColumns = 20;
constexpr int kRows = 10;
constexpr int kControls = kColumns * kRows;
constexpr int kCalls = 1000;
constexpr int kRounds = 20;  // kCalls split into rounds; the fastest round counts

using bench::now;
namespace win = gt::win;

INT_PTR CALLBACK quietProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

HWND makeDialog() {
    std::vector<WORD> t(sizeof(DLGTEMPLATE) / sizeof(WORD));
    auto* d = reinterpret_cast<DLGTEMPLATE*>(t.data());
    d->style = WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_VISIBLE | DS_SETFONT;
    d->cx = 600;
    d->cy = 300;
    for (WORD w : {0, 0, 0, 8}) t.push_back(w);  // no menu, dialog class, no title, 8 points
    for (const wchar_t* c = L"MS Shell Dlg"; *c; ++c) t.push_back(*c);
    t.push_back(0);
    HWND dialog = CreateDialogIndirectParamA(nullptr, reinterpret_cast<LPCDLGTEMPLATEA>(t.data()), nullptr, quietProc, 0);
    for (int id = 1; id <= kControls; ++id)
        CreateWindowExA(0, "STATIC", "x", WS_CHILD | WS_VISIBLE | SS_SUNKEN, 0, 0, 40, 20, dialog,
                        reinterpret_cast<HMENU>(INT_PTR(id)), nullptr, nullptr);
    return dialog;
}

constexpr GTRESIZERULE kEndRule{GTRS_END, 0, 0, 0, 0, 0, 0, 0, 0, 0};

// Each control's left follows its left neighbour's right edge, its top the
// bottom of the control above: 400 rules in table order.
std::vector<GTRESIZERULE> makeTable(LONG gap) {
    std::vector<GTRESIZERULE> rules;
    for (int id = 1; id <= kControls; ++id) {
        const bool firstColumn = (id - 1) % kColumns == 0, firstRow = id <= kColumns;
        rules.push_back(GTRESIZERULE{GTRS_MOVE, GTRS_LEFT, id, 0, firstColumn ? GTRS_LEFT : GTRS_RIGHT,
                                     firstColumn ? GTRS_CLIENT : id - 1, 100, gap, 0, 0});
        rules.push_back(GTRESIZERULE{GTRS_MOVE, GTRS_TOP, id, 0, firstRow ? GTRS_TOP : GTRS_BOTTOM,
                                     firstRow ? GTRS_CLIENT : id - kColumns, 100, gap, 0, 0});
    }
    rules.push_back(kEndRule);
    return rules;
}

std::vector<win::ControlRecord> snapshotOf(HWND dialog) {
    RECT client{};
    GetClientRect(dialog, &client);
    std::vector<win::ControlRecord> s{win::recordOf(GTRS_CLIENT, client)};
    for (HWND c = GetTopWindow(dialog); c; c = GetWindow(c, GW_HWNDNEXT)) {
        RECT r{};
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        s.push_back(win::recordOf(GetDlgCtrlID(c), r, c));
    }
    return s;
}

void applyBatch(const std::vector<win::ControlRecord>& layout) {
    HDWP batch = BeginDeferWindowPos(kControls);
    for (size_t i = 1; i < layout.size() && batch; ++i) {
        const win::ControlRecord& r = layout[i];
        batch = DeferWindowPos(batch, r.window, nullptr, r.value[GTRS_LEFT], r.value[GTRS_TOP], r.value[GTRS_WIDTH],
                               r.value[GTRS_HEIGHT], SWP_NOZORDER);
    }
    if (batch) EndDeferWindowPos(batch);
}

// Seconds for one round of kCalls / kRounds calls.
template <typename F>
double round(F call) {
    const double t0 = now();
    for (int i = 0; i < kCalls / kRounds; ++i) call(i);
    return now() - t0;
}

void pump() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
}

}  // namespace

int main() {
    HWND dialog = makeDialog();
    if (!dialog) {
        std::printf("bench_resize: no dialog\n");
        return 1;
    }
    std::vector<GTRESIZERULE> tables[2] = {makeTable(2), makeTable(3)};
    RECT units{0, 0, win::kUnitsPerBaseX, win::kUnitsPerBaseY};
    MapDialogRect(dialog, &units);
    const win::BaseUnits base{units.right, units.bottom, true};

    // The two layouts the tables give, solved on the current snapshot.
    const std::vector<win::ControlRecord> start = snapshotOf(dialog);
    std::vector<win::ControlRecord> layouts[2] = {start, start};
    for (int k = 0; k < 2; ++k) {
        std::vector<GTRESIZERULE> copy = tables[k];
        if (win::solveLayout(layouts[k].data(), layouts[k].size(), copy.data(), base) != win::Outcome::Solved) {
            std::printf("bench_resize: the table does not solve\n");
            return 1;
        }
    }

    // The three take turns round by round, so that a busy machine slows
    // them alike; the fastest round of each counts.
    std::vector<win::ControlRecord> work;
    double full = 1e9, batch = 1e9, solver = 1e9;
    for (int r = 0; r < kRounds; ++r) {
        pump();
        batch = std::min(batch, round([&](int i) { applyBatch(layouts[i & 1]); }));
        pump();
        full = std::min(full, round([&](int i) { gtResizeWindow(dialog, tables[i & 1].data()); }));
        solver = std::min(solver, round([&](int i) {
                              work = start;
                              win::solveLayout(work.data(), work.size(), tables[i & 1].data(), base);
                          }));
    }
    const double perCall = 1e6 / (kCalls / kRounds);
    full *= perCall;
    batch *= perCall;
    solver *= perCall;
    DestroyWindow(dialog);

    std::printf("bench_resize: %d controls, %d rules, %d calls each\n", kControls, 2 * kControls, kCalls);
    std::printf("  gtResizeWindow          %9.1f us/call\n", full);
    std::printf("  deferred batch alone    %9.1f us/call (baseline)\n", batch);
    std::printf("  solver alone            %9.1f us/call\n", solver);
    std::printf("  snapshot and the rest   %9.1f us/call\n", full - batch - solver);
    std::printf("  solver / batch          %9.3f (goal <= 0.25)\n", solver / batch);
    std::printf("  gtResizeWindow / batch  %9.3f\n", full / batch);
    return 0;
}
