// Keyword parsing and layout arithmetic of the extended message box.
#include "msgbox/mbxlogic.h"

#include <algorithm>
#include <cstring>

#include "text/mbchar.h"

namespace gt::mbx {

const KeywordRow kKeywords[] = {
    {"GTMB_OK", 1, 28001},          {"GTMB_CANCEL", 2, 28002},         {"GTMB_ABORT", 3, 28003},
    {"GTMB_RETRY", 4, 28004},       {"GTMB_IGNORE", 5, 28005},         {"GTMB_FAIL", 6, 28006},
    {"GTMB_YES", 7, 28007},         {"GTMB_NO", 8, 28008},             {"GTMB_PROCEED", 9, 28009},
    {"GTMB_EXIT", 10, 28010},       {"GTMB_RESTORE", 11, 28011},       {"GTMB_BACKUP", 12, 28012},
    {"GTMB_RESET", 13, 28013},      {"GTMB_HELP", 14, 28014},          {"GTMB_RESTARTWINDOWS", 15, 28015},
    {"GTMB_VIEW", 16, 28016},       {"GTMB_NOACTION", 17, 28017},      {"GTMB_BACKUPCURR", 18, 28018},
    {"GTMB_BACKUPPREV", 19, 28019}, {"GTMB_RESTORECURR", 20, 28020},   {"GTMB_RESTOREPREV", 21, 28021},
    {"GTMB_NEXT", 22, 28022},       {"GTMB_PREVIOUS", 23, 28023},      {"GTMB_BACK", 24, 28024},
    {"GTMB_BROWSE", 25, 28025},     {"GTMB_SKIP", 26, 28026},          {"GTMB_ACCEPT", 27, 28027},
    {"GTMB_SEARCH", 28, 28028},     {"GTMB_FIX", 29, 28029},           {"GTMB_AUTOFIX", 30, 28030},
    {"GTMB_STOP", 31, 28031},       {"", 0, 0},
};

int matchKeyword(const char* token) {
    if (!token) return -1;
    for (int row = 0; *kKeywords[row].keyword; ++row) {
        const char* at = mb::findStr(token, kKeywords[row].keyword);
        if (!at) continue;
        // Five keywords extend an earlier one (GTMB_NO -> GTMB_NOACTION ...);
        // naming the longer one must not give the shorter one's button.
        const size_t len = std::strlen(kKeywords[row].keyword);
        int best = row;
        size_t bestLen = len;
        for (int later = row + 1; *kKeywords[later].keyword; ++later) {
            const char* k = kKeywords[later].keyword;
            const size_t klen = std::strlen(k);
            if (klen > bestLen && std::strncmp(k, kKeywords[row].keyword, len) == 0 &&
                std::strncmp(at, k, klen) == 0) {
                best = later;
                bestLen = klen;
            }
        }
        return best;
    }
    return -1;
}

LPGTMBBUTTON buildKeywordButtons(const char* list, WORD count) {
    if (!list || !*list || count == 0) return nullptr;
    char copy[255] = {};
    std::strncpy(copy, list, sizeof(copy) - 1);
    auto* buttons = static_cast<LPGTMBBUTTON>(gtGlobalAllocPtr(0x42, DWORD(count) * sizeof(GTMBBUTTON)));
    if (!buttons) return nullptr;
    LPGTSTRTOK tok = gtStartStrTok(TRUE, TRUE);
    if (!tok) {
        gtGlobalFreePtr(buttons);
        return nullptr;
    }
    WORD filled = 0;
    for (LPSTR t = gtContinueStrTok(tok, copy, '|'); t && filled < count; t = gtContinueStrTok(tok, nullptr, '|')) {
        const int row = matchKeyword(t);
        if (row < 0) continue;
        GTMBBUTTON& b = buttons[filled++];
        b.wId = kKeywords[row].id;
        b.dwKind = GTMBBTN_STRINGID;
        std::memcpy(b.szText, &kKeywords[row].stringId, sizeof(WORD));
    }
    gtEndStrTok(tok);
    if (filled == 0) {
        gtGlobalFreePtr(buttons);
        return nullptr;
    }
    return buttons;
}

RECT textStartRect(const RECT& screen, int U, int F, bool picture, LONG pictureWidth) {
    RECT t = screen;
    t.left += picture ? F + pictureWidth + 2 * U : F + U;
    t.top += U;
    return t;
}

BoxLayout layoutBox(const BoxLayoutInput& in) {
    BoxLayout out{};
    RECT t = in.text;
    RECT p{};
    const int U = in.U, F = in.F;
    if (in.picture) {
        const LONG pw = in.pictureWidth, ph = in.pictureHeight;
        switch (in.alignment) {
        case GTMBALIGN_TOP: p.top = t.top; break;
        case GTMBALIGN_BOTTOM: p.top = t.bottom - ph; break;
        case GTMBALIGN_MIDDLE: p.top = t.top + (t.bottom - t.top) / 2 - (ph ? ph / 2 : 0); break;
        default: p.top = 0; break;
        }
        if (p.top < 0) p.top = t.top;
        p.left = t.left - U - pw;
        p.right = p.left + pw;
        p.bottom = p.top + ph;
        if (ph > t.bottom - t.top) t.bottom = t.top + ph;
    }
    out.text = t;
    out.picture = p;
    out.buttonHeight = in.buttonHeight;
    out.height = t.bottom + 3 * U + in.buttonHeight;
    out.width = (in.textEmpty ? p.right : t.right) + 3 * F + U;
    out.buttonWidth = std::max(in.captionWidth + 15, in.minButtonWidth);
    out.step = out.buttonWidth + 20;
    out.rowY = t.bottom + U;
    out.rowX = in.buttons == 1 ? out.width / 2 - out.buttonWidth / 2 : out.width / 2 - (in.buttons * out.step) / 2;
    return out;
}

}  // namespace gt::mbx
