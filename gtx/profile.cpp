// gtx profile get|set|del: values of a ZProfile store in the registry or an
// INI file.
//   gtx profile get STORE SECTION KEY [DEFAULT]
//   gtx profile set STORE SECTION KEY VALUE     (VALUE #123 stores a number)
//   gtx profile del STORE SECTION [KEY]         (no KEY: the whole section)
// STORE is a registry path starting with HKEY_ or an INI file name.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ZProfile.h"
#include "gtx.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: gtx profile get STORE SECTION KEY [DEFAULT]\n"
                 "       gtx profile set STORE SECTION KEY VALUE   (#123 stores a number)\n"
                 "       gtx profile del STORE SECTION [KEY]\n"
                 "STORE: HKEY_... registry path, or an INI file name\n");
    return GTX_USAGE;
}

int runProfile(int argc, char** argv) {
    if (argc < 4) return usage();
    const char* verb = argv[1];
    char* store = argv[2];
    bool registry = std::strncmp(store, "HKEY_", 5) == 0;
    ZProfile p(registry ? nullptr : store, registry ? store : nullptr);
    if (!p.IsObjectValid()) {
        std::fprintf(stderr, "gtx: cannot make the store\n");
        return GTX_FAILED;
    }
    if (registry && !p.GetMainRegistryKey()) {
        std::fprintf(stderr, "gtx: no registry root named in %s\n", store);
        return GTX_FAILED;
    }
    char* section = argv[3];
    if (!std::strcmp(verb, "get") && (argc == 5 || argc == 6)) {
        char none[] = "";
        char* dflt = argc == 6 ? argv[5] : none;
        char buf[1024] = {};
        p.GetProfileStringA(section, argv[4], dflt, buf, registry ? sizeof(buf) : 255);
        if (registry && !std::strcmp(buf, dflt)) {
            // Perhaps a number: the store keeps strings and numbers apart.
            const int probe = 0x7FFFABCD;
            int n = p.GetProfileIntA(section, argv[4], probe);
            if (n != probe) {
                std::printf("%d\n", n);
                return GTX_OK;
            }
        }
        std::printf("%s\n", buf);
        return GTX_OK;
    }
    if (!std::strcmp(verb, "set") && argc == 6) {
        char* value = argv[5];
        int ok = value[0] == '#' ? p.WriteProfileInt(section, argv[4], std::atoi(value + 1))
                                 : p.WriteProfileStringA(section, argv[4], value);
        if (!ok) std::fprintf(stderr, "gtx: write failed\n");
        return ok ? GTX_OK : GTX_FAILED;
    }
    if (!std::strcmp(verb, "del") && (argc == 4 || argc == 5)) {
        int ok = p.WriteProfileStringA(section, argc == 5 ? argv[4] : nullptr, nullptr);
        if (!ok) std::fprintf(stderr, "gtx: delete failed\n");
        return ok ? GTX_OK : GTX_FAILED;
    }
    return usage();
}

}  // namespace

GTX_SUBCOMMAND(profile, "profile", "get|set|del values in the registry or an INI file", runProfile);
