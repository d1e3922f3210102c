// Command-record arithmetic of the zip wrappers, apart from the calls: set-up
// values, flag spreading, the quoting rule, the rate clamp, owned copies.
#pragma once
#include "qrZipCommand.h"

namespace gt::archive {

using ArchiveEntry = DWORD(WINAPI*)(void* command);

void setUpZipCommand(ZipCommand& cmd);
void spreadZipFlags(ZipCommand& cmd, unsigned long flags);
void setUpUnzipCommand(UnzipCommand& cmd);
void spreadUnzipFlags(UnzipCommand& cmd, unsigned long flags);
int clampRate(int rate);

// new[] copies; null for a null or empty name.
char* copyName(const char* name);
// The name in double quotes unless it already begins with one.
char* quotedName(const char* name);

// The companions' entries as found at start-up; tests may stand in their own.
ArchiveEntry zipEntry();
ArchiveEntry unzipEntry();
void setEntriesForTests(ArchiveEntry zip, ArchiveEntry unzip);

// Stores the function code, calls the entry, gives its code
// (QRZ_NO_ENTRY_POINT without an entry).
int runCommand(ArchiveEntry entry, DWORD* function, DWORD code, void* cmd);

}  // namespace gt::archive
