// Profile names: sections, keys and values of random and hostile lengths
// (up to 40,000 characters, null ones), INI names of up to 600 characters,
// through both media.  Every call must come back; what was written with
// plain names must read back.
#include <cstring>
#include <string>
#include <vector>

#include "ZProfile.h"
#include "fuzz.h"

namespace {

const char* const kRegistryKey = "HKEY_CURRENT_USER\\Software\\gtapi32 fuzz";

std::string anyName(fuzz::Case& c) {
    switch (c.below(6)) {
        case 0: return std::string(c.pick({255u, 256u, 1024u, 32766u, 32767u, 32768u, 40000u}), 'n');
        case 1: return c.text(40, fuzz::kAsciiBytes);
        default: return c.text(16, "abcdefXYZ0123_");
    }
}

std::string iniName(fuzz::Case& c) {
    char tmp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, tmp);
    const std::string plain = std::string(tmp) + "gtfuzz_" + std::to_string(GetCurrentProcessId()) + ".ini";
    switch (c.below(5)) {
        case 0: return std::string(200 + c.below(400), 'r') + ".ini";  // relative, long
        case 1: return std::string(tmp) + std::string(c.below(300), 'd') + ".ini";
        default: return plain;
    }
}

}  // namespace

GT_FUZZ_FAMILY(profile) {
    const bool registry = c.chance(40);
    std::string file = iniName(c), key = registry ? kRegistryKey : "";
    std::vector<char> fileName(file.begin(), file.end() + 1), keyName(key.begin(), key.end() + 1);
    ZProfile store(fileName.data(), registry ? keyName.data() : nullptr);
    for (int op = static_cast<int>(c.below(8)); op >= 0 && !c.failed(); --op) {
        std::string section = anyName(c), name = anyName(c), value = anyName(c);
        std::vector<char> s(section.begin(), section.end() + 1), k(name.begin(), name.end() + 1), v(value.begin(), value.end() + 1);
        char* sp = c.chance(10) ? nullptr : s.data();
        char* kp = c.chance(5) ? nullptr : k.data();
        char* vp = c.chance(5) ? nullptr : v.data();
        const bool asInt = c.chance(20);
        const int written = asInt ? store.WriteProfileInt(sp, kp, 1234) : store.WriteProfileStringA(sp, kp, vp);
        c.check(written == TRUE || written == FALSE, "a write gives TRUE or FALSE");
        const bool plain = section.size() <= 16 && name.size() <= 16 && value.size() <= 16 &&
                           section.find_first_not_of("abcdefXYZ0123_") == std::string::npos &&
                           name.find_first_not_of("abcdefXYZ0123_") == std::string::npos &&
                           value.find_first_not_of("abcdefXYZ0123_") == std::string::npos && !section.empty() &&
                           !name.empty() && sp && kp && vp && file.size() < MAX_PATH && (registry || file[1] == ':');
        if (plain) c.check(written == TRUE, "a write of plain names succeeds");
        char buffer[256];
        std::strcpy(buffer, "untouched");
        char dflt[] = "default";
        store.GetProfileStringA(sp, kp, dflt, buffer, sizeof buffer);
        c.check(strnlen(buffer, sizeof buffer) < sizeof buffer, "a read gives a terminated text");
        if (plain && !asInt) c.check(value == buffer, "a plain value reads back");
        if (plain && asInt) c.check(store.GetProfileIntA(sp, kp, 7) == 1234, "a plain number reads back");
        if (plain) store.WriteProfileStringA(sp, kp, nullptr);
    }
    if (registry) return;
    DeleteFileA(file.c_str());
    char windows[MAX_PATH] = {};  // where a relative name lands
    GetWindowsDirectoryA(windows, MAX_PATH);
    DeleteFileA((std::string(windows) + "\\" + file).c_str());
}
