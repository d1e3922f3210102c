// Readers for the raw resources of gtapi32.dll, shared by the resource
// test programs: string-table blocks and classic dialog templates are
// decoded by hand so that the tests see exactly what the DLL carries.
#pragma once
#include <windows.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "../../resources/gtapi32_res.h"

namespace restest {

// The library as a data file: resources only, no start-up code.
inline HMODULE library() {
    static HMODULE dll = LoadLibraryExA("gtapi32.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    return dll;
}

inline std::wstring wide(const char* utf8) {
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, nullptr, 0);
    std::wstring w(n > 0 ? n - 1 : 0, L'\0');
    if (n > 1) MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, &w[0], n);
    return w;
}

inline std::string narrow(const std::wstring& w) {
    int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, &s[0], n, nullptr, nullptr);
    return s;
}

struct Blob {
    const BYTE* data = nullptr;
    DWORD size = 0;
};

inline Blob resource(HMODULE module, LPCWSTR type, LPCWSTR name, WORD lang) {
    HRSRC info = FindResourceExW(module, type, name, lang);
    if (!info) return {};
    HGLOBAL loaded = LoadResource(module, info);
    if (!loaded) return {};
    return {static_cast<const BYTE*>(LockResource(loaded)), SizeofResource(module, info)};
}

// Entry `id` of the string-table block of exactly language `lang`; nullopt
// when the block is missing or the entry is empty (as LoadString sees it).
inline std::optional<std::wstring> tableString(WORD lang, UINT id) {
    Blob block = resource(library(), reinterpret_cast<LPCWSTR>(RT_STRING),
                          MAKEINTRESOURCEW(id / 16 + 1), lang);
    if (!block.data) return std::nullopt;
    const BYTE* p = block.data;
    const BYTE* end = block.data + block.size;
    for (UINT i = 0; i < 16; ++i) {
        if (p + 2 > end) return std::nullopt;
        WORD len;
        std::memcpy(&len, p, 2);
        p += 2;
        if (p + len * 2u > end) return std::nullopt;
        if (i == id % 16) {
            if (len == 0) return std::nullopt;
            std::wstring s(len, L'\0');
            std::memcpy(&s[0], p, len * 2u);
            return s;
        }
        p += len * 2u;
    }
    return std::nullopt;
}

// --- classic dialog templates (DLGTEMPLATE / DLGITEMTEMPLATE) ---------------

// A name-or-ordinal field: ordinal set when the field was 0xFFFF + WORD.
struct NameOrOrdinal {
    WORD ordinal = 0;
    std::wstring name;
};

struct DialogItem {
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    WORD id = 0;
    NameOrOrdinal cls, text;
    WORD extraBytes = 0;
};

struct Dialog {
    bool extended = false;
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    NameOrOrdinal menu, cls;
    std::wstring title;
    WORD pointSize = 0;
    std::wstring font;
    std::vector<DialogItem> items;
    bool complete = false;  // parsed to its end without running over
};

class Reader {
public:
    Reader(const BYTE* data, DWORD size) : base_(data), p_(data), end_(data + size) {}
    bool ok() const { return ok_; }
    template <class T> T get() {
        T v{};
        if (p_ + sizeof(T) > end_) { ok_ = false; return v; }
        std::memcpy(&v, p_, sizeof(T));
        p_ += sizeof(T);
        return v;
    }
    std::wstring sz() {
        std::wstring s;
        for (WORD c; ok_ && (c = get<WORD>()) != 0;) s += static_cast<wchar_t>(c);
        return s;
    }
    NameOrOrdinal nameOrOrdinal() {
        NameOrOrdinal r;
        WORD first = get<WORD>();
        if (first == 0xFFFF) {
            r.ordinal = get<WORD>();
        } else if (first != 0) {
            r.name = static_cast<wchar_t>(first);
            r.name += sz();
        }
        return r;
    }
    void alignDword() {
        while ((p_ - base_) % 4) ++p_;
        if (p_ > end_) ok_ = false;
    }
    void skip(DWORD n) {
        if (p_ + n > end_) ok_ = false; else p_ += n;
    }

private:
    const BYTE* base_;
    const BYTE* p_;
    const BYTE* end_;
    bool ok_ = true;
};

inline Dialog parseDialog(const BYTE* data, DWORD size) {
    Dialog d;
    Reader r(data, size);
    d.style = r.get<DWORD>();
    if (d.style == 0xFFFF0001u) {  // DLGTEMPLATEEX signature
        d.extended = true;
        return d;
    }
    d.exStyle = r.get<DWORD>();
    WORD count = r.get<WORD>();
    d.x = r.get<short>();
    d.y = r.get<short>();
    d.cx = r.get<short>();
    d.cy = r.get<short>();
    d.menu = r.nameOrOrdinal();
    d.cls = r.nameOrOrdinal();
    d.title = r.sz();
    if (d.style & DS_SETFONT) {
        d.pointSize = r.get<WORD>();
        d.font = r.sz();
    }
    for (WORD i = 0; i < count && r.ok(); ++i) {
        r.alignDword();
        DialogItem it;
        it.style = r.get<DWORD>();
        it.exStyle = r.get<DWORD>();
        it.x = r.get<short>();
        it.y = r.get<short>();
        it.cx = r.get<short>();
        it.cy = r.get<short>();
        it.id = r.get<WORD>();
        it.cls = r.nameOrOrdinal();
        it.text = r.nameOrOrdinal();
        it.extraBytes = r.get<WORD>();
        r.skip(it.extraBytes);
        d.items.push_back(it);
    }
    d.complete = r.ok() && d.items.size() == count;
    return d;
}

inline std::optional<Dialog> dialog(WORD id, WORD lang) {
    Blob b = resource(library(), reinterpret_cast<LPCWSTR>(RT_DIALOG), MAKEINTRESOURCEW(id), lang);
    if (!b.data) return std::nullopt;
    return parseDialog(b.data, b.size);
}

}  // namespace restest
