// The zip container: headers, directory records, names, times and wildcard
// rules as plain functions over bytes and strings, shared by DZIP32.DLL,
// DUNZIP32.DLL and the host program.  No file access here (see zipio.h).
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace zc {

enum : uint32_t {
    SIG_LOCAL = 0x04034b50,
    SIG_CENTRAL = 0x02014b50,
    SIG_END = 0x06054b50,
    SIG_END64 = 0x06064b50,
    SIG_LOCATOR64 = 0x07064b50,
    SIG_DESCRIPTOR = 0x08074b50,
};
enum : uint16_t {
    METHOD_STORE = 0,
    METHOD_DEFLATE = 8,
    FLAG_ENCRYPTED = 0x0001,
    FLAG_DESCRIPTOR = 0x0008,
    FLAG_UTF8 = 0x0800,
    EXTRA_ZIP64 = 0x0001,
    EXTRA_TIME = 0x5455,
    EXTRA_UNICODE_PATH = 0x7075,
    HOST_FAT = 0,
    HOST_UNIX = 3,
    HOST_NTFS = 11,
    HOST_VFAT = 14,
    VERSION_STORE = 10,
    VERSION_DEFLATE = 20,
    VERSION_ZIP64 = 45,
};
enum : size_t {
    LOCAL_HEADER_SIZE = 30,
    CENTRAL_HEADER_SIZE = 46,
    END_SIZE = 22,
    END64_SIZE = 56,
    LOCATOR64_SIZE = 20,
    MAX_COMMENT = 0xFFFF,
};
const uint32_t MAX32 = 0xFFFFFFFFu;
const uint16_t MAX16 = 0xFFFFu;

// One entry as the central directory describes it.
struct Entry {
    uint16_t madeBy = 0, needed = 0, flags = 0, method = 0, dosTime = 0, dosDate = 0;
    uint32_t crc = 0;
    uint64_t csize = 0, usize = 0, localOffset = 0;
    uint32_t externalAttr = 0;
    std::string rawName, extra;
    std::wstring name;         // decoded, separators as in the archive
    bool hasUnixTime = false;  // extended timestamp (modification time)
    uint32_t unixTime = 0;
    bool isDirectory() const;
    // DOS attribute bits, whatever system made the entry.
    DWORD dosAttributes() const;
};

// Where the directory is, from the end records.
struct Directory {
    uint64_t count = 0, offset = 0, size = 0;
};

// Little-endian reading and writing.
uint16_t get16(const uint8_t* p);
uint32_t get32(const uint8_t* p);
uint64_t get64(const uint8_t* p);
void put16(std::string& out, uint16_t v);
void put32(std::string& out, uint32_t v);
void put64(std::string& out, uint64_t v);

// Finds the end record in the archive's last bytes (`tail`, which starts at
// `tailOffset` of a file of `fileSize` bytes).  Sets `locator64` to the
// offset of the Zip64 end record when there is one (read it and call
// parseEnd64), else to UINT64_MAX.  False: no end record or impossible values.
bool parseEnd(const uint8_t* tail, size_t n, uint64_t tailOffset, uint64_t fileSize, Directory& dir,
              uint64_t& locator64);
bool parseEnd64(const uint8_t* p, size_t n, uint64_t fileSize, Directory& dir);
// Parses `dir.count` central headers; false when they do not fit the bytes.
bool parseCentral(const uint8_t* p, size_t n, uint64_t count, std::vector<Entry>& out);
// Local header: the offset of the data from the header's start; 0 when the
// bytes are no local header.
uint64_t localDataOffset(const uint8_t* p, size_t n);
size_t localNameExtraLength(const uint8_t* p);

// Names: Windows text of an entry name and back (forward slashes, the UTF-8
// flag only when the name is not plain ASCII).
std::wstring decodeName(const std::string& raw, uint16_t flags, const std::string& extra);
std::string encodeName(const std::wstring& name, uint16_t& flags);
bool isAscii(const std::string& s);

// The relative Windows path an entry may be extracted to, with backslashes;
// false for names that would leave the destination (absolute, drive, UNC,
// "..", device names, characters Windows cannot store).
bool safeRelativePath(const std::wstring& name, std::wstring& relative);

// Windows wildcard rules, case-insensitive: "*.*" matches every name, also
// names without a dot; "x.*" matches "x"; several patterns split by ';'.
bool matchSpec(const std::wstring& spec, const std::wstring& name);

// Whether an entry (its safe relative path) is extracted: nested entries
// only with recursion, files when their name matches the name pattern,
// directories only when paths are kept.
bool selectEntry(const std::wstring& relative, bool directory, const std::wstring& spec, bool recurse,
                 bool keepPaths);

// Quoted or blank-separated source names.
std::vector<std::string> splitSources(const char* text);

// Times.
void dosTimeFromFileTime(const FILETIME& utc, uint16_t& dosDate, uint16_t& dosTime);
FILETIME fileTimeFromEntry(const Entry& e);
uint32_t unixFromFileTime(const FILETIME& utc);

// Headers for a new entry.  `zip64` adds the Zip64 sizes to the local header
// (chosen before the sizes are known, from the file's size).
struct NewEntry {
    std::string rawName;
    uint16_t flags = 0, method = METHOD_DEFLATE, dosTime = 0, dosDate = 0;
    uint32_t crc = 0, unixTime = 0, externalAttr = 0;
    uint64_t csize = 0, usize = 0, localOffset = 0;
    bool zip64Local = false;
};
std::string localHeader(const NewEntry& e);
// Offsets inside localHeader()'s bytes of the fields patched after the data.
size_t localCrcOffset();
size_t localZip64SizesOffset(const NewEntry& e);
std::string centralHeader(const NewEntry& e);
// The central header of an entry kept from an old archive at a new offset.
std::string centralHeaderKept(const Entry& e, uint64_t newOffset);
std::string endRecords(uint64_t count, uint64_t cdOffset, uint64_t cdSize);
// Zip64 sizes needed for a file of this many bytes (deflate may grow it).
bool needsZip64(uint64_t size);

}  // namespace zc
