// gtx msgbox: shows an extended message box and reports the button pressed.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "gtapi32.h"
#include "gtx.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: gtx msgbox [--buttons 'GTMB_YES|GTMB_NO'] [--default ID] [--icon 1-4] TEXT [CAPTION]\n"
                 "  --buttons  button keywords separated by '|' (default GTMB_OK)\n"
                 "  --default  id of the default button, which has the focus (default: none)\n"
                 "  --icon     1 stop, 2 question, 3 exclamation, 4 information (default none)\n"
                 "Prints the id of the button pressed and exits with it (0: no box).\n");
    return GTX_USAGE;
}

int runMsgbox(int argc, char** argv) {
    std::string keywords = "GTMB_OK";
    long defaultId = -1, icon = 0;  // -1: no default button
    const char* text = nullptr;
    const char* caption = nullptr;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        auto value = [&](long* out) {
            if (i + 1 >= argc) return false;
            char* end = nullptr;
            *out = std::strtol(argv[++i], &end, 10);
            return end && !*end;
        };
        if (!std::strcmp(a, "--buttons") && i + 1 < argc) {
            keywords = argv[++i];
        } else if (!std::strcmp(a, "--default")) {
            if (!value(&defaultId) || defaultId < 0 || defaultId > 0xFFFF) return usage();
        } else if (!std::strcmp(a, "--icon")) {
            if (!value(&icon) || icon < 0 || icon > 4) return usage();
        } else if (a[0] == '-' && a[1] == '-') {
            return usage();
        } else if (!text) {
            text = a;
        } else if (!caption) {
            caption = a;
        } else {
            return usage();
        }
    }
    if (!text) return usage();

    // The text is a format: per-cent signs are doubled so that it shows as typed.
    std::string shown;
    for (const char* p = text; *p; ++p) shown += *p == '%' ? "%%" : std::string(1, *p);
    WORD count = 1;
    for (char c : keywords) count += c == '|';

    GTMBDEF def{};
    def.dwCenter = 1;
    def.wButtonCount = count;
    def.pszKeywords = &keywords[0];
    if (icon) {
        def.dwPicture = 1;
        def.wPictureAlign = GTMBALIGN_TOP;
        def.picture.wKind = GTMBPIC_ICON;
        def.picture.dwResource = DWORD(icon);
    }
    if (defaultId >= 0) def.wDefaultId = WORD(defaultId);
    int id = gtMessageBoxExtended(nullptr, nullptr, nullptr, shown.c_str(), caption ? caption : "gtx", &def);
    std::printf("%d\n", id);
    return id < 0 ? 255 : id;
}

}  // namespace

GTX_SUBCOMMAND(msgbox, "msgbox", "shows an extended message box, prints the button pressed", runMsgbox);
