// File operations: the decision logic (temporary names, progress fields,
// keep-lists, directory chains, entry names) as plain functions, and the few
// file steps that the directory walks and the record files share with the
// exports.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "gtapi32.h"

namespace gt::fileops {

// Error mode of the operations that may touch drives without a medium.
constexpr UINT kQuietErrorMode = SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX;

// Find-service masks.
constexpr DWORD kMaskAll = 23;         // files of every attribute and directories
constexpr DWORD kMaskFiles = 7;        // files of every attribute, no directories
constexpr DWORD kMaskDirectories = 16; // directories alone

// Copy buffers: the first request, the smallest own buffer, and the
// per-call fallback when no block can be had.  The request is 64 KiB rather
// than 65500 bytes: whole pages per read and write copy at the platform's
// own speed (65500-byte blocks took almost twice as long); the only visible
// difference is the number of progress calls for sizes between the two
// block grids.
constexpr DWORD kCopyBufferRequest = 65536;
constexpr DWORD kCopyBufferMinimum = 1024;
constexpr size_t kFallbackBufferSize = 2048;

// Flags for gtGlobalAllocPtr/gtGlobalAllocPtrEx (the block is zero-filled
// whatever they say).
constexpr UINT kBlockFlags = 0x42;
constexpr UINT kCallerBlockFlags = 0x2042;

// Highest counter of gtCreateTempFile.
constexpr DWORD kLastTempCounter = 0xFFFFFE;

// True for "." and "..".
bool isDotEntry(const char* name);

// --- temporary names --------------------------------------------------------

// At most the first two characters of prefix (a double-byte character is
// never cut); empty for NULL.
std::string tempPrefix(const char* prefix);
// No extension for NULL or empty; the first four characters when it starts
// with a dot; else a dot and its first three characters.
std::string tempExtension(const char* extension);
// prefix + counter in upper-case hexadecimal without leading zeros + extension.
std::string tempName(const std::string& prefix, DWORD counter, const std::string& extension);

// --- progress record --------------------------------------------------------

// A 64-bit count in a 32-bit field of the progress record: counts of 4 GiB
// and more read as 0xFFFFFFFF instead of wrapping to small numbers.
DWORD progressField(uint64_t count);

// --- keep-lists ---------------------------------------------------------------

// Width of a keep-list slot; a slot whose first character is 0 ends the list.
constexpr size_t kKeepSlot = 260;
// True when the list names the entry by its long or its short name (any case).
bool isKept(const char* keepList, const char* name, const char* shortName);

// --- directory chains -------------------------------------------------------

// Offset where the creation walk of a chain starts: after the drive and its
// backslash, after a UNC share prefix and the backslash that follows it,
// after a leading backslash, else 0.  npos for a UNC name without a share.
size_t chainStart(const char* path);
// The prefixes of path to create, shortest first (one trailing backslash
// removed).  False, with nothing listed, for a path of MAX_PATH characters or
// more or a UNC name without anything below its share.
bool dirChain(const char* path, std::vector<std::string>& levels);

// --- entry names in walks -----------------------------------------------------

// True when the record's short name is a real 8.3 name and not the first 13
// characters of a longer name.
bool hasRealShortName(const GTFINDDATA& fd);
// The name under which an entry of directory `dir` is reached: its long
// name when dir + name + `tail` characters stay below MAX_PATH, else its real
// short name when that fits; nullptr when neither does.
const char* reachableName(const std::string& dir, const GTFINDDATA& fd, size_t tail);

// --- file steps -----------------------------------------------------------------

// Deletes one file or (empty) directory whatever its attributes; when the
// deletion fails the attributes it had are put back, so a file that stays
// keeps its read-only, hidden and system bits.  A link to a directory is
// removed itself, never its target.
bool deleteEntry(const char* path, bool directory);
// The same with the attributes the entry is known to have (from a search).
bool deleteEntry(const char* path, bool directory, DWORD attributes);

// True when both names reach the same existing file (its full names equal,
// or the same volume and file index).
bool sameFile(const char* a, const char* b);

}  // namespace gt::fileops
