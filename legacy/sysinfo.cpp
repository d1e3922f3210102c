// System information and the channel to device drivers.
#include "legacy/sysinfo.h"

#include <cstdlib>

#include "frame/device.h"
#include "frame/owners.h"
#include "gtapi32.h"
#include "text/mbchar.h"

namespace gt::legacy {

std::string fixedPointText(const char* digits, int pointPosition, bool negative) {
    std::string text = negative ? "-" : "";
    const std::string all = digits ? digits : "";
    if (pointPosition <= 0) {
        text += '.';
        text.append(static_cast<size_t>(-pointPosition), '0');
        text += all;
        return text;
    }
    const size_t point = static_cast<size_t>(pointPosition);
    text += all.substr(0, point);
    // The conversion never gives fewer digits than the point position; pad
    // anyway so that the magnitude stays right.
    if (all.size() < point) text.append(point - all.size(), '0');
    text += '.';
    if (all.size() > point) text += all.substr(point);
    return text;
}

bool isDoubleByteCodePage(UINT codePage) {
    switch (codePage) {
    case 932:  // Japanese
    case 936:  // Simplified Chinese
    case 949:  // Korean
    case 950:  // Traditional Chinese
        return true;
    default:
        return false;
    }
}

bool isWindows95OrLater(WORD versionWord) { return versionWord >= 4; }

bool isPrinterTechnology(int technology) { return (technology & 2) != 0; }

}  // namespace gt::legacy

using namespace gt::legacy;

namespace {

using Ctl3dProc = BOOL(WINAPI*)(HINSTANCE);

Ctl3dProc ctl3dProc(HMODULE lib, const char* name) {
    return reinterpret_cast<Ctl3dProc>(GetProcAddress(lib, name));
}

SYSTEMTIME timeOfDay(const WORD* triple) {
    SYSTEMTIME st{};
    st.wHour = triple[0];
    st.wMinute = triple[1];
    st.wSecond = triple[2];
    return st;
}

// A failed format leaves an empty text, never a partial one.
BOOL finishLocaleText(int written, LPSTR buffer) {
    if (written > 0) return TRUE;
    buffer[0] = 0;
    return FALSE;
}

}  // namespace

extern "C" int GTAPI gtInitializeCtl3D(HINSTANCE instance) {
    gt::Hmodule lib(gtLoadLibrary("CTL3D32.DLL"));
    if (!lib) return 0;
    int result = 0;
    if (Ctl3dProc reg = ctl3dProc(lib.get(), "Ctl3dRegister")) {
        result = reg(instance);
        if (result == 1) {
            if (Ctl3dProc autoSubclass = ctl3dProc(lib.get(), "Ctl3dAutoSubclass")) result = autoSubclass(instance);
        }
    }
    // A registration that holds keeps the library loaded until
    // gtUnInitializeCtl3D.
    if (result != 0) lib.release();
    return result;
}

extern "C" BOOL GTAPI gtUnInitializeCtl3D(HINSTANCE instance) {
    HMODULE lib = GetModuleHandleA("CTL3D32");
    if (!lib) return FALSE;
    if (Ctl3dProc unregister = ctl3dProc(lib, "Ctl3dUnregister")) unregister(instance);
    return FreeLibrary(lib);
}

extern "C" void GTAPI gtGetSysDateStr(LPSTR buffer) {
    if (!buffer) return;
    finishLocaleText(GetDateFormatA(0, DATE_SHORTDATE, nullptr, nullptr, buffer, kLocaleTextChars), buffer);
}

extern "C" void GTAPI gtGetSysTimeStr(LPSTR buffer) {
    if (!buffer) return;
    finishLocaleText(GetTimeFormatA(0, LOCALE_NOUSEROVERRIDE, nullptr, nullptr, buffer, kLocaleTextChars), buffer);
}

extern "C" BOOL GTAPI gtConvertTimeToStr(LPWORD time, LPSTR buffer) {
    if (!time || !buffer) return FALSE;
    SYSTEMTIME st = timeOfDay(time);
    return finishLocaleText(GetTimeFormatA(0, LOCALE_NOUSEROVERRIDE, &st, nullptr, buffer, kLocaleTextChars), buffer);
}

extern "C" BOOL GTAPI gtConvertDateToStr(LPWORD date, LPSTR buffer) {
    if (!date || !buffer) return FALSE;
    SYSTEMTIME st{};
    st.wDay = date[0];
    st.wMonth = date[1];
    st.wYear = date[2];
    return finishLocaleText(GetDateFormatA(0, DATE_SHORTDATE, &st, nullptr, buffer, kLocaleTextChars), buffer);
}

extern "C" BOOL GTAPI gtGetSystemTime(LPWORD time) {
    if (!time) return FALSE;
    SYSTEMTIME st;
    GetLocalTime(&st);
    time[0] = st.wHour;
    time[1] = st.wMinute;
    time[2] = st.wSecond;
    return TRUE;
}

extern "C" BOOL GTAPI gtGetSystemDate(LPWORD date) {
    if (!date) return FALSE;
    SYSTEMTIME st;
    GetLocalTime(&st);
    date[0] = st.wDay;
    date[1] = st.wMonth;
    date[2] = st.wYear;
    return TRUE;
}

extern "C" BOOL GTAPI gtFloatToFloatStr(float value, int digits, LPSTR buffer) {
    if (!buffer) return FALSE;
    int point = 0, sign = 0;
    const char* converted = _fcvt(value, digits, &point, &sign);
    if (!converted) return FALSE;
    std::string text = fixedPointText(converted, point, sign != 0);
    memcpy(buffer, text.c_str(), text.size() + 1);
    return TRUE;
}

extern "C" WORD GTAPI gtGetWindowsVersion(void) { return LOWORD(GetVersion()); }

extern "C" BOOL GTAPI gtIsWindows95(void) { return isWindows95OrLater(gtGetWindowsVersion()); }

extern "C" BOOL GTAPI gtDoYouSpeakJACK(void) { return isDoubleByteCodePage(GetACP()); }

extern "C" BOOL GTAPI gtIsPrinterDC(HDC dc) { return isPrinterTechnology(GetDeviceCaps(dc, TECHNOLOGY)); }

extern "C" BOOL GTAPI gtTalkToDevice(DWORD device, DWORD code, LPVOID input, DWORD inputSize, LPVOID output,
                                     DWORD outputSize) {
    if (!device) return FALSE;
    DWORD returned = 0;
    return gt::device::seam().ioControl(reinterpret_cast<HANDLE>(device), code, input, inputSize, output,
                                        outputSize, &returned, nullptr);
}

extern "C" LPSTR GTAPI gtGetFileDateStr(LPCSTR path, LPSTR buffer) {
    if (!path || !*path || !buffer || lstrlenA(path) >= MAX_PATH) return nullptr;
    char copy[MAX_PATH];
    gt::mb::copyToBuffer(copy, sizeof(copy), path);
    GTFILEINFO info{};
    if (!gtGetFileInfo(copy, &info)) return nullptr;
    WORD date[3] = {};
    if (!gtConvertFindTDate(info.wDate, date)) return nullptr;
    return gtConvertDateToStr(date, buffer) ? buffer : nullptr;
}
