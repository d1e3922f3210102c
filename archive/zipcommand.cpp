#include "archive/zipcommand.h"

#include <cstring>

#include "frame/frame.h"

namespace gt::archive {

namespace {
const DWORD ON = 1;
const DWORD OFF = 0;
DWORD bit(unsigned long flags, unsigned long which) { return (flags & which) ? ON : OFF; }

struct Override {
    bool active;
    ArchiveEntry zip;
    ArchiveEntry unzip;
};
Override g_override{};
}  // namespace

void setUpZipCommand(ZipCommand& cmd) {
    std::memset(&cmd, 0, sizeof(cmd));
    cmd.cbSize = ZIPCMD_SIZE;
    cmd.function = ZIPFN_SETUP;
    cmd.rate = 5;
}

void spreadZipFlags(ZipCommand& cmd, unsigned long flags) {
    cmd.recurse = bit(flags, QRZIP_RECURSE);
    cmd.dropPaths = bit(flags, QRZIP_DROP_PATHS);
    cmd.addToExisting = bit(flags, QRZIP_ADD);
    cmd.hiddenFiles = bit(flags, QRZIP_HIDDEN);
    cmd.noDirEntries = bit(flags, QRZIP_NO_DIR_ENTRIES);
    if (flags & QRZIP_VERIFY)
        cmd.options |= ZIPOPT_VERIFY;
    else
        cmd.options &= ~ZIPOPT_VERIFY;
}

void setUpUnzipCommand(UnzipCommand& cmd) {
    std::memset(&cmd, 0, sizeof(cmd));
    cmd.cbSize = UNZIPCMD_SIZE;
    cmd.function = UNZIPFN_SETUP;
    cmd.entryIndex = UNZIP_ALL_ENTRIES;
    cmd.keepPaths = ON;
    cmd.overwrite = ON;
    cmd.restoreTimes = ON;
    cmd.restoreAttribs = ON;
}

void spreadUnzipFlags(UnzipCommand& cmd, unsigned long flags) {
    cmd.recurse = bit(flags, QRZIP_RECURSE);
    cmd.keepPaths = bit(flags, QRZIP_KEEP_PATHS);
    cmd.testOnly = bit(flags, QRZIP_TEST_ONLY);
    cmd.overwrite = bit(flags, QRZIP_OVERWRITE);
    cmd.restoreTimes = bit(flags, QRZIP_RESTORE_TIMES);
    cmd.restoreAttribs = bit(flags, QRZIP_RESTORE_ATTRIBS);
    cmd.replaceReadOnly = bit(flags, QRZIP_REPLACE_READONLY);
    // Cleared too, so that the record always agrees with the flags.
    if (flags & QRZIP_CONTINUE)
        cmd.options |= UNZIPOPT_CONTINUE;
    else
        cmd.options &= ~UNZIPOPT_CONTINUE;
}

int clampRate(int rate) {
    if (rate < 0) return 0;
    if (rate > 9) return 9;
    return rate;
}

char* copyName(const char* name) {
    if (!name || !*name) return nullptr;
    size_t n = std::strlen(name) + 1;
    char* s = new char[n];
    std::memcpy(s, name, n);
    return s;
}

char* quotedName(const char* name) {
    if (!name || !*name) return nullptr;
    if (name[0] == '"') return copyName(name);
    size_t n = std::strlen(name);
    char* s = new char[n + 4];
    s[0] = '"';
    std::memcpy(s + 1, name, n);
    s[n + 1] = '"';
    s[n + 2] = '\0';
    return s;
}

ArchiveEntry zipEntry() {
    if (g_override.active) return g_override.zip;
    return reinterpret_cast<ArchiveEntry>(gt::frame::state().dzip);
}

ArchiveEntry unzipEntry() {
    if (g_override.active) return g_override.unzip;
    return reinterpret_cast<ArchiveEntry>(gt::frame::state().dunzip);
}

void setEntriesForTests(ArchiveEntry zip, ArchiveEntry unzip) { g_override = Override{true, zip, unzip}; }

int runCommand(ArchiveEntry entry, DWORD* function, DWORD code, void* cmd) {
    if (!entry) return QRZ_NO_ENTRY_POINT;
    *function = code;
    return static_cast<int>(entry(cmd));
}

}  // namespace gt::archive
