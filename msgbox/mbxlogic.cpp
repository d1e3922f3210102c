// Keyword parsing and layout arithmetic of the extended message box.
#include "msgbox/mbxlogic.h"

#include <algorithm>
#include <cstring>

#include "frame/owners.h"
#include "resources/gtapi32_res.h"
#include "text/mbchar.h"

namespace gt::mbx {

// Button ids 1-31 in keyword order; each caption is string 28000 + id.
const KeywordRow kKeywords[] = {
    {"GTMB_OK", 1, IDS_GT_OK},
    {"GTMB_CANCEL", 2, IDS_GT_CANCEL},
    {"GTMB_ABORT", 3, IDS_GT_ABORT},
    {"GTMB_RETRY", 4, IDS_GT_RETRY},
    {"GTMB_IGNORE", 5, IDS_GT_IGNORE},
    {"GTMB_FAIL", 6, IDS_GT_FAIL},
    {"GTMB_YES", 7, IDS_GT_YES},
    {"GTMB_NO", 8, IDS_GT_NO},
    {"GTMB_PROCEED", 9, IDS_GT_PROCEED},
    {"GTMB_EXIT", 10, IDS_GT_EXIT},
    {"GTMB_RESTORE", 11, IDS_GT_RESTORE},
    {"GTMB_BACKUP", 12, IDS_GT_BACKUP},
    {"GTMB_RESET", 13, IDS_GT_RESET},
    {"GTMB_HELP", 14, IDS_GT_HELP},
    {"GTMB_RESTARTWINDOWS", 15, IDS_GT_RESTARTWINDOWS},
    {"GTMB_VIEW", 16, IDS_GT_VIEW},
    {"GTMB_NOACTION", 17, IDS_GT_NOACTION},
    {"GTMB_BACKUPCURR", 18, IDS_GT_BACKUPCURR},
    {"GTMB_BACKUPPREV", 19, IDS_GT_BACKUPPREV},
    {"GTMB_RESTORECURR", 20, IDS_GT_RESTORECURR},
    {"GTMB_RESTOREPREV", 21, IDS_GT_RESTOREPREV},
    {"GTMB_NEXT", 22, IDS_GT_NEXT},
    {"GTMB_PREVIOUS", 23, IDS_GT_PREVIOUS},
    {"GTMB_BACK", 24, IDS_GT_BACK},
    {"GTMB_BROWSE", 25, IDS_GT_BROWSE},
    {"GTMB_SKIP", 26, IDS_GT_SKIP},
    {"GTMB_ACCEPT", 27, IDS_GT_ACCEPT},
    {"GTMB_SEARCH", 28, IDS_GT_SEARCH},
    {"GTMB_FIX", 29, IDS_GT_FIX},
    {"GTMB_AUTOFIX", 30, IDS_GT_AUTOFIX},
    {"GTMB_STOP", 31, IDS_GT_STOP},
    {"", 0, 0},
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
    gt::Block block(gtGlobalAllocPtr(GHND, DWORD(count) * sizeof(GTMBBUTTON)));
    auto* buttons = static_cast<LPGTMBBUTTON>(block.get());
    // The tokenizer's record is a library block: the owner ends the walk.
    gt::Block walk(gtStartStrTok(TRUE, TRUE));
    auto* tok = static_cast<LPGTSTRTOK>(walk.get());
    if (!buttons || !tok) return nullptr;
    WORD filled = 0;
    for (LPSTR t = gtContinueStrTok(tok, copy, '|'); t && filled < count; t = gtContinueStrTok(tok, nullptr, '|')) {
        const int row = matchKeyword(t);
        if (row < 0) continue;
        GTMBBUTTON& b = buttons[filled++];
        b.wId = kKeywords[row].id;
        b.dwKind = GTMBBTN_STRINGID;
        std::memcpy(b.szText, &kKeywords[row].stringId, sizeof(WORD));
    }
    if (filled == 0) return nullptr;
    return static_cast<LPGTMBBUTTON>(block.release());
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
