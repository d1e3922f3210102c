// File operations with hostile names inside a scratch directory: copies,
// appends, directory chains, temporary names and program look-ups, with
// outputs flush against a guard page.  What must hold: a bystander file
// keeps its bytes, results fit their buffers, and a failed copy or append
// leaves an existing destination as it was.
#include <windows.h>

#include <cstring>
#include <string>

#include "fuzz.h"
#include "gtapi32.h"

namespace {

// A name inside the scratch directory, or a hostile one.
std::string name(fuzz::Case& c, const std::string& dir) {
    switch (c.below(4)) {
    case 0: return dir + c.text(20, "abc._ ");
    case 1: return dir + c.text(300, fuzz::kPathBytes);
    case 2: return c.text(40, fuzz::kDbcsBytes);
    default: return dir + c.pick<const char*>({"", ".", "..", "a\\..\\a", "*", "?x", "con", "a.txt"});
    }
}

}  // namespace

GT_FUZZ_FAMILY(fileops) {
    static const std::string root = fuzz::scratchDir("fileops");
    const std::string dir = root + "case\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    const std::string bystander = root + "bystander.txt";
    fuzz::writeFile(bystander, "keep me");
    const std::string existing = dir + "a.txt";
    fuzz::writeFile(existing, "existing destination");

    const std::string a = name(c, dir), b = name(c, dir);
    fuzz::Guarded ga = fuzz::Guarded::text(a), gb = fuzz::Guarded::text(b);
    switch (c.below(5)) {
    case 0:
        if (!gtCopyFile(ga.data(), gb.data()) && a == existing)
            c.check(fuzz::readFile(existing) == "existing destination", "a failed copy keeps the destination");
        break;
    case 1:
        if (!gtCatFile(ga.data(), gb.data(), FALSE) && a == existing)
            c.check(fuzz::readFile(existing) == "existing destination", "a failed append keeps the destination");
        break;
    case 2:
        gtCreateDirEx(ga.data());
        break;
    case 3: {
        const int size = static_cast<int>(c.below(300));
        fuzz::Guarded out(size > 0 ? static_cast<size_t>(size) : 1);
        if (gtCreateTempFile(dir.c_str(), gb.data(), c.pick<const char*>({".tmp", "", ".xyzxyzxyz"}), out.data(), size,
                             c.below(2), c.below(2)))
            c.check(std::memchr(out.data(), 0, static_cast<size_t>(size)) != nullptr,
                    "a temporary name fits its buffer");
        break;
    }
    default: {
        fuzz::Guarded found(261);
        gtFindFileInPath(ga.data(), found.data());
        break;
    }
    }
    c.check(fuzz::readFile(bystander) == "keep me", "a bystander file keeps its bytes");
    fuzz::removeTree(dir);
    RemoveDirectoryA(dir.c_str());
}
