// Find-file service: gtFindFirst/gtFindNext/gtFindClose over VAVEVO32.dll.
//
// The library is loaded on the first search, not at attach: most callers
// never search, and a missing find-file library should cost them nothing.
// Without it every search reports "nothing found", which is the answer the
// callers already handle.
#include "fs/findfile.h"

#include <cstring>

#include "frame/frame.h"
#include "frame/owners.h"
#include "text/mbchar.h"

namespace gt::find {
namespace {

// Creation and access times: UTC file time -> local -> DOS form -> triples,
// so they read like the entry's own DOS time and date.
void decodeFileTime(const FILETIME& ft, WORD* time, WORD* date) {
    FILETIME local;
    WORD dosDate = 0, dosTime = 0;
    if (!FileTimeToLocalFileTime(&ft, &local) || !FileTimeToDosDateTime(&local, &dosDate, &dosTime)) return;
    gtConvertFindTTime(dosTime, time);
    gtConvertFindTDate(dosDate, date);
}

// A record the caller did not ask for still needs a home for the service.
struct Scratch {
    GTFINDRECORD record;
    Scratch() { std::memset(&record, 0, sizeof record); }
};

}  // namespace

Service load(HMODULE module, const char* fileName) {
    Service s{};
    FARPROC first = nullptr;
    Hmodule lib(frame::loadCompanion(module, fileName, "_QRFX_FindFirstFile@12", &first));
    if (!lib) return s;
    s.first = reinterpret_cast<FirstFn>(first);
    s.next = reinterpret_cast<NextFn>(GetProcAddress(lib.get(), "_QRFX_FindNextFile@8"));
    s.close = reinterpret_cast<CloseFn>(GetProcAddress(lib.get(), "_QRFX_FindClose@4"));
    if (!s.first || !s.next || !s.close) return Service{};
    // The service keeps the library for the rest of the process.
    s.lib = lib.release();
    return s;
}

const Service& service() {
    static const Service s = load(frame::module(), kLibraryName);
    return s;
}

HANDLE first(const Service& svc, LPCSTR pattern, DWORD mask, GTFINDRECORD* record) {
    if (!pattern || !*pattern || !record) return nullptr;
    if (!svc.ready()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    // The service reads its DOS words as zero on a first call.
    record->dwDosTime = 0;
    record->dwDosDate = 0;
    HANDLE h = svc.first(pattern, mask, record);
    return h == noSearch() ? nullptr : h;
}

BOOL next(const Service& svc, HANDLE search, GTFINDRECORD* record) {
    if (!search || !record || !svc.ready()) return FALSE;
    return svc.next(search, record) ? TRUE : FALSE;
}

BOOL close(const Service& svc, HANDLE search) {
    if (!svc.ready()) return FALSE;
    return svc.close(search);
}

void convert(const GTFINDRECORD& r, GTFINDDATA& out) {
    std::memset(&out, 0, sizeof out);
    out.dwAttributes = r.fd.dwFileAttributes;
    decodeFileTime(r.fd.ftCreationTime, out.wCreationTime, out.wCreationDate);
    decodeFileTime(r.fd.ftLastAccessTime, out.wAccessTime, out.wAccessDate);
    gtConvertFindTTime(LOWORD(r.dwDosTime), out.wTime);
    gtConvertFindTDate(LOWORD(r.dwDosDate), out.wDate);
    // The whole 64-bit size, so files of 4 GB and more keep theirs.
    out.dwSizeLow = r.fd.nFileSizeLow;
    out.dwSizeHigh = r.fd.nFileSizeHigh;
    // The record's texts may lack terminators; copy within their fields.
    char name[sizeof r.fd.cFileName + 1] = {};
    std::memcpy(name, r.fd.cFileName, sizeof r.fd.cFileName);
    mb::copyToBuffer(out.szName, sizeof out.szName, name);
    char shortName[sizeof r.fd.cAlternateFileName + 1] = {};
    std::memcpy(shortName, r.fd.cAlternateFileName, sizeof r.fd.cAlternateFileName);
    mb::copyToBuffer(out.szShortName, sizeof out.szShortName, shortName[0] ? shortName : out.szName);
}

}  // namespace gt::find

extern "C" {

HANDLE GTAPI gtFindFirst(LPCSTR pattern, LPGTFINDDATA data, DWORD mask) {
    if (!pattern || !*pattern) return nullptr;
    gt::find::Scratch scratch;
    HANDLE h = gt::find::first(gt::find::service(), pattern, mask, &scratch.record);
    if (h && data) gt::find::convert(scratch.record, *data);
    return h;
}

BOOL GTAPI gtFindNext(HANDLE search, LPGTFINDDATA data, DWORD /*mask: the first call's holds*/) {
    if (!search) return FALSE;
    gt::find::Scratch scratch;
    if (!gt::find::next(gt::find::service(), search, &scratch.record)) return FALSE;
    if (data) gt::find::convert(scratch.record, *data);
    return TRUE;
}

BOOL GTAPI gtFindClose(HANDLE search) { return gt::find::close(gt::find::service(), search); }

}  // extern "C"
