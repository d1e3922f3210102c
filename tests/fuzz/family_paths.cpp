// Path names over random paths (double-byte ones under code page 932):
// splitting, and the functions that write into outputs of their documented
// sizes, each output flush against an inaccessible page.
#include <cstring>
#include <string>

#include "fuzz.h"
#include "gtapi32.h"

namespace {

std::string anyPath(fuzz::Case& c, const std::string& alphabet) {
    std::string p = c.pick({"", "C:", "C:\\", "\\\\srv\\share\\", "\\", "..\\", "Z:\\dir\\"});
    const int parts = static_cast<int>(c.below(6));
    for (int i = 0; i < parts; ++i) p += c.text(c.chance(5) ? 300 : 12, alphabet) + (i + 1 < parts ? "\\" : "");
    if (c.chance(10)) p = std::string(c.below(3), ' ') + p + std::string(c.below(3), ' ');
    return p;
}

void split(fuzz::Case& c, const std::string& path) {
    fuzz::Guarded in = fuzz::Guarded::text(path);
    GTSPLITPATH sp;
    std::memset(&sp, 0x5A, sizeof sp);
    if (!gtSplitPath(in.data(), &sp)) return;
    const char* fields[] = {sp.szPath, sp.szDrive, sp.szDir, sp.szName, sp.szExt, sp.szDriveDir, sp.szNameExt};
    const size_t sizes[] = {sizeof sp.szPath, sizeof sp.szDrive, sizeof sp.szDir, sizeof sp.szName,
                            sizeof sp.szExt, sizeof sp.szDriveDir, sizeof sp.szNameExt};
    for (int i = 0; i < 7; ++i) c.check(strnlen(fields[i], sizes[i]) < sizes[i], "every split field is terminated");
    c.check(std::string(sp.szDriveDir) == std::string(sp.szDrive) + sp.szDir, "drive and directory join");
    c.check(std::string(sp.szNameExt) == std::string(sp.szName) + sp.szExt, "name and extension join");
}

void outputs(fuzz::Case& c, const std::string& path, const std::string& alphabet) {
    const std::string other = c.text(c.chance(10) ? 280 : 20, alphabet);
    fuzz::Guarded in(262), out(261), second = fuzz::Guarded::text(other);
    std::strncpy(in.data(), path.c_str(), 261);
    in.data()[261] = 0;
    const std::string given = in.data();
    switch (c.below(6)) {
        case 0:
            if (gtSetDirectoryName(in.data(), second.data(), out.data()))
                c.check(std::strlen(out.data()) <= 260, "gtSetDirectoryName's result fits");
            break;
        case 1:
            if (gtSetFileExtension(in.data(), second.data(), out.data(), c.pick({TRUE, FALSE, 2})))
                c.check(std::strlen(out.data()) <= 260, "gtSetFileExtension's result fits");
            break;
        case 2: {
            const int size = 1 + static_cast<int>(c.below(300));
            fuzz::Guarded part(static_cast<size_t>(size));
            LPSTR r = c.chance(50) ? gtStripFileName(in.data(), part.data(), size) : gtStripPathName(in.data(), part.data(), size);
            if (r) c.check(std::strlen(part.data()) < static_cast<size_t>(size), "a stripped part fits its output");
            break;
        }
        case 3: {
            const int size = 1 + static_cast<int>(c.below(600));
            fuzz::Guarded joined(static_cast<size_t>(size));
            if (gtAppendFileName(in.data(), second.data(), joined.data(), size))
                c.check(std::strlen(joined.data()) < static_cast<size_t>(size), "an appended name fits its output");
            break;
        }
        case 4: {
            char before[MAX_PATH + 1] = {}, after[MAX_PATH + 1] = {};
            GetCurrentDirectoryA(sizeof before, before);
            if (gtNormalizeFileName(in.data(), c.chance(50) ? nullptr : second.data(), out.data()))
                c.check(std::strlen(out.data()) <= 260, "a normalized name fits");
            GetCurrentDirectoryA(sizeof after, after);
            c.check(std::strcmp(before, after) == 0, "gtNormalizeFileName leaves the current directory");
            break;
        }
        default:
            c.check(gtIsUNCName(in.data()) == (given.size() >= 2 && given[0] == '\\' && given[1] == '\\'), "gtIsUNCName");
            if (GetACP() != 932)  // under 932 a '?' may be a trail byte
                c.check(gtIsAnyWildCard(in.data()) == (given.find_first_of("*?") != std::string::npos), "gtIsAnyWildCard");
            gtHasDirectoryName(in.data());
            break;
    }
}

}  // namespace

GT_FUZZ_FAMILY(paths) {
    const std::string& alphabet = GetACP() == 932 && c.chance(80) ? fuzz::kDbcsBytes : fuzz::kPathBytes;
    const std::string path = anyPath(c, alphabet);
    if (c.chance(50)) split(c, path); else outputs(c, path, alphabet);
}
