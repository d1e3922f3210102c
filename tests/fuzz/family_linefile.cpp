// Line files against the literal reference reader (500-byte _lread chunks
// taken as strings, a line ends at CR LF, or at the first LF after a CR):
// line counts, lines read at random offsets into buffers of exactly the
// line's size, next-line steps, and calls with made-up handles.
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "fuzz.h"
#include "gtapi32.h"

namespace {

// The reference: length of the line at the handle's position (0: none),
// the line into out.
int refLine(HFILE h, std::string* out) {
    char chunk[501];
    bool cr = false;
    out->clear();
    for (;;) {
        std::memset(chunk, 0, sizeof chunk);
        UINT n = _lread(h, chunk, 500);
        if (n == 0 || n == static_cast<UINT>(HFILE_ERROR) || chunk[0] == 26) return 0;
        char* c = cr ? nullptr : std::strchr(chunk, '\r');
        cr = cr || c;
        char* end = !cr ? nullptr : (c && c[1] == '\n') ? c + 1 : std::strchr(chunk, '\n');
        if (end) end[1] = 0;
        *out += chunk;
        if (end) return static_cast<int>(out->size());
    }
}

std::string anyFile(fuzz::Case& c) {
    std::string s;
    const int lines = static_cast<int>(c.below(40));
    const int maxLine = c.pick({10, 80, 600, 1200});
    const int odd = c.pick({0, 0, 10, 100});  // per mille: NUL, Ctrl-Z, lone CR or LF
    for (int i = 0; i < lines; ++i) {
        for (int j = static_cast<int>(c.below(static_cast<uint32_t>(maxLine) + 1)); j > 0; --j)
            s += static_cast<int>(c.below(1000)) < odd ? "\0\x1a\r\n"[c.below(4)] : static_cast<char>('a' + c.below(26));
        if (i + 1 < lines || c.chance(50)) s += c.chance(85) ? "\r\n" : c.chance(50) ? "\n" : "\r";
    }
    return s;
}

std::string tempFile() {
    char dir[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + "gtfuzz_lines_" + std::to_string(GetCurrentProcessId()) + ".txt";
}

}  // namespace

GT_FUZZ_FAMILY(linefile) {
    static const std::string path = tempFile();
    const std::string data = anyFile(c);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << data;
    std::vector<char> name(path.begin(), path.end() + 1);
    LPGTLINEFILE h = fuOpenFile(name.data(), OF_READ);
    if (!c.check(h != nullptr, "the generated file opens")) return;
    const HFILE raw = h->hFile;
    const LONG size = static_cast<LONG>(data.size());
    std::string line;
    LONG count = 0;
    for (LONG off = 0; _llseek(raw, off, 0), refLine(raw, &line); ++count) off += static_cast<LONG>(line.size());
    c.check(fuGetNoofLines(h) == count, "fuGetNoofLines counts as the reference");
    for (int probe = 0; probe < 20 && !c.failed(); ++probe) {
        const LONG off = static_cast<LONG>(c.below(static_cast<uint32_t>(size) + 3));
        _llseek(raw, off, 0);
        const int want = refLine(raw, &line);
        c.check(fuGotoFileOffset(h, off, 0) == off, "fuGotoFileOffset to an offset");
        // Exactly the line and its terminator; without a line, room for the
        // rest of the file (the reader may gather it before giving up).
        fuzz::Guarded buffer(want ? static_cast<size_t>(want) + 1 : static_cast<size_t>(size - (off < size ? off : size)) + 2);
        const int got = fuReadLine(h, buffer.data());
        c.check(got == want, "fuReadLine's length as the reference at offset " + std::to_string(off));
        if (want && got == want) c.check(std::memcmp(buffer.data(), line.c_str(), line.size() + 1) == 0, "fuReadLine's bytes as the reference");
        c.check(fuGetCurFileOffset(h) == off, "fuReadLine leaves the position");
        if (want) c.check(fuGotoNextLine(h) == off + want, "fuGotoNextLine moves over the line");
    }
    // Made-up handles: a copy of the record and arbitrary values.
    GTLINEFILE copy = *h;
    char small[8];
    LPGTLINEFILE fakes[] = {&copy, reinterpret_cast<LPGTLINEFILE>(static_cast<ULONG_PTR>(c.word())),
                            reinterpret_cast<LPGTLINEFILE>(reinterpret_cast<char*>(h) + 4)};
    LPGTLINEFILE fake = fakes[c.below(3)];
    c.check(fuReadLine(fake, small) == 0, "fuReadLine with a made-up handle fails");
    c.check(fuGetNoofLines(fake) <= 0, "fuGetNoofLines with a made-up handle counts nothing");
    c.check(fuCloseFile(fake) != 1, "fuCloseFile with a made-up handle fails");
    c.check(fuCloseFile(h) == 1, "fuCloseFile of the real handle");
}
