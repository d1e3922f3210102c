// File glue of the zip container: a buffered archive writer, the archive
// reader, and the check-and-inflate loop both companions use.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "frame/owners.h"
#include "qrZipCommand.h"
#include "zipformat.h"

namespace zc {

// Bytes read or inflated so far by the running call (for progress
// displays); safe from several threads.
void countBytes(uint64_t n);
uint64_t bytesDone();
void resetBytes();

// QRZ_DISK_FULL for the errors of a full disk, else QRZ_IO_ERROR.
int writeErrorCode(DWORD lastError);

// Sequential writer with a large buffer; bytes still in the buffer can be
// patched or dropped without touching the disk.
class OutFile {
public:
    explicit OutFile(HANDLE h);
    int write(const void* p, size_t n);
    int patch(uint64_t offset, const std::string& bytes);
    int truncate(uint64_t offset);
    int flush();
    uint64_t position() const { return flushed_ + buf_.size(); }

private:
    HANDLE h_;
    uint64_t flushed_ = 0;
    std::string buf_;
};

int readAt(HANDLE h, uint64_t offset, void* p, size_t n);
uint64_t fileSize(HANDLE h);

// An archive opened for reading: its entries and where each one's data lies.
class Archive {
public:
    // QRZ_NO_ARCHIVE, QRZ_DAMAGED (no directory, entries overlapping or
    // outside the data area) or QRZ_OK.
    int open(const std::wstring& path);
    const std::vector<Entry>& entries() const { return entries_; }
    uint64_t dataOffset(size_t i) const { return dataOffsets_[i]; }
    // Bytes of entry i from its local header to the end of its data and
    // descriptor, for copying it into a new archive unchanged.
    uint64_t recordEnd(size_t i) const { return recordEnds_[i]; }
    HANDLE handle() const { return file_.get(); }

    // Inflates entry i, checks its size and CRC and hands each piece to
    // `sink` (null: check only).  Never produces more than the entry
    // declares: QRZ_UNSAFE_ENTRY when the data goes on, QRZ_DAMAGED on a
    // short stream or a wrong CRC, QRZ_UNSUPPORTED for encryption or
    // unknown methods; a non-zero result of the sink is passed on.
    using Sink = int (*)(void* ctx, const void* p, size_t n);
    int extract(size_t i, Sink sink, void* ctx) const;

private:
    gt::FileHandle file_;
    std::vector<Entry> entries_;
    std::vector<uint64_t> dataOffsets_, recordEnds_;
};

// Windows text of an ANSI name, and the full path of a name.
std::wstring wideFromAnsi(const char* s);
std::string ansiFromWide(const std::wstring& w);
std::wstring fullPath(const std::wstring& path);
// Creates every missing directory of `dir`.
bool createDirectories(const std::wstring& dir);

}  // namespace zc
