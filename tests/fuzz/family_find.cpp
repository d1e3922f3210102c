// Find handles: searches over a directory of random entries against the
// platform's own search, searches left open (hundreds at a time), closed
// twice, and made-up handles.  A made-up or stale handle must be refused,
// and open searches must never make a search find nothing.
#include <set>
#include <string>
#include <vector>

#include "fuzz.h"
#include "gtapi32.h"

namespace {

std::set<std::string> platformNames(const std::string& pattern) {
    std::set<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(pattern.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do
        if (!(fd.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))) names.insert(fd.cFileName);
    while (FindNextFileA(h, &fd));
    FindClose(h);
    return names;
}

}  // namespace

GT_FUZZ_FAMILY(find) {
    static const std::string dir = fuzz::scratchDir("find");
    // Entries: a few files and directories with random names.
    std::vector<std::string> made;
    for (int i = static_cast<int>(c.below(8)); i > 0; --i) {
        const std::string name = dir + c.text(8, "abcxyz01_") + "e" + std::to_string(i);
        if (c.chance(30)) CreateDirectoryA(name.c_str(), nullptr);
        else CloseHandle(CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        made.push_back(name);
    }
    const std::string pattern = dir + c.pick({"*", "*.*", "a*", "*1", "?e*", "none*.xyz"});
    // Open searches left behind for a while; now and then more than a table
    // of 4,096 would hold.
    std::vector<HANDLE> open;
    const int held = c.chance(2)    ? 4100 + static_cast<int>(c.below(500))
                     : c.chance(20) ? 300 + static_cast<int>(c.below(600))
                                    : static_cast<int>(c.below(10));
    for (int i = 0; i < held; ++i)
        if (HANDLE h = gtFindFirst((dir + "*").c_str(), nullptr, 23)) open.push_back(h);
    c.check(open.size() == static_cast<size_t>(held), "every held search starts");

    GTFINDDATA fd;
    std::set<std::string> seen;
    HANDLE h = gtFindFirst(pattern.c_str(), &fd, 23);
    if (h) {
        seen.insert(fd.szName);
        int n = 0;
        while (n++ < 1000 && gtFindNext(h, &fd, c.pick({0u, 7u, 23u}))) seen.insert(fd.szName);
        c.check(gtFindClose(h) != FALSE, "the search closes");
        c.check(gtFindClose(h) == FALSE, "a closed search does not close again");
        c.check(gtFindNext(h, &fd, 23) == FALSE, "a closed search gives nothing");
    }
    c.check(seen == platformNames(pattern), "a search finds what the platform finds");

    HANDLE fake = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(c.chance(50) ? c.word() : c.below(0x20000)));
    bool known = false;
    for (HANDLE o : open) known = known || o == fake;
    if (!known) {
        c.check(gtFindNext(fake, &fd, 23) == FALSE, "a made-up handle gives nothing");
        c.check(gtFindClose(fake) == FALSE, "a made-up handle does not close");
    }
    for (HANDLE o : open) c.check(gtFindClose(o) != FALSE, "a held search closes");
    for (const std::string& name : made) {
        DeleteFileA(name.c_str());
        RemoveDirectoryA(name.c_str());
    }
}
