// String utilities: tokenizers, searches, replacement, line extraction,
// trims, trailing backslash, embedding entries, number parsers.
// All walks step whole characters of the ANSI code page (text/mbchar.h).
#include <cstdlib>
#include <cstring>
#include <string>

#include "frame/owners.h"
#include "gtapi32.h"
#include "text/mbchar.h"
#include "text/memprobe.h"

namespace mb = gt::mb;

namespace {

// gtGetToken's one position for the whole process; nullptr before the first
// string and after a delimiter-0 call has used a string up.
char* g_tokenPos = nullptr;

inline bool isSet(BOOL flag) { return flag == 1; }

// Bytes the caller's value buffer of gtDecomposeEmbeddingString holds.
constexpr DWORD kEmbeddingValueSize = 445;
// gtIntStrToInt reads this many characters at most.
constexpr size_t kIntDigits = 19;

// Bounded length of a fixed field that may lack its terminator.
size_t fieldLen(const char* f, size_t size) {
    const void* z = std::memchr(f, 0, size);
    return z ? static_cast<size_t>(static_cast<const char*>(z) - f) : size;
}

bool inSet(char c, const char* set) { return c != 0 && std::memchr(set, c, std::strlen(set)) != nullptr; }

// Scans from p for delimiter (a non-zero single byte); returns its position
// or the terminator.
char* scanFor(char* p, char delimiter) {
    while (*p && *p != delimiter) p = mb::next(p);
    return p;
}

}  // namespace

extern "C" {

// ---------------------------------------------------------------- tokenizers

LPSTR GTAPI gtGetToken(LPSTR text, char delimiter) {
    if (text) g_tokenPos = text;
    char* p = g_tokenPos;
    if (!p) return nullptr;
    while (*p == ' ' || *p == '\t') ++p;
    char* start = p;
    if (delimiter == 0) {
        // The rest is the token; the string is used up.
        g_tokenPos = nullptr;
        return start;
    }
    p = scanFor(p, delimiter);
    if (*p) {
        *p = 0;
        g_tokenPos = p + 1;
        return start;
    }
    g_tokenPos = p;  // stays at the terminator
    return text;     // NULL when continuing; the whole string on a first call
}

LPGTSTRTOK GTAPI gtStartStrTok(BOOL skipTabs, BOOL skipSpaces) {
    auto* t = static_cast<LPGTSTRTOK>(gtGlobalAllocPtr(GHND, sizeof(GTSTRTOK)));
    if (!t) return nullptr;
    t->bSkipTabs = skipTabs;
    t->bSkipSpaces = skipSpaces;
    return t;
}

LPSTR GTAPI gtContinueStrTok(LPGTSTRTOK tok, LPSTR text, char delimiter) {
    if (!tok) return nullptr;
    if (text) tok->pszPos = text;
    char* p = tok->pszPos;
    if (!p || !*p) return nullptr;
    const bool tabs = isSet(tok->bSkipTabs), spaces = isSet(tok->bSkipSpaces);
    while ((tabs && *p == '\t') || (spaces && *p == ' ')) ++p;
    char* start = p;
    if (delimiter == 0) {
        tok->pszPos = p + std::strlen(p);  // used up: the next call gives NULL
        return start;
    }
    p = scanFor(p, delimiter);
    if (*p) {
        *p = 0;
        tok->pszPos = p + 1;
    } else {
        tok->pszPos = p;
    }
    return start;
}

BOOL GTAPI gtEndStrTok(LPGTSTRTOK tok) {
    if (!tok) return FALSE;
    return gtGlobalFreePtr(tok) ? TRUE : FALSE;
}

// ---------------------------------------------------------------- searching

BOOL GTAPI gtIsStrStr(LPCSTR text, LPCSTR pattern) {
    if (!text || !pattern) return FALSE;
    return mb::findStr(text, pattern) != nullptr;
}

LPSTR GTAPI gtStrStri(LPCSTR text, LPCSTR pattern) {
    if (!text || !pattern) return nullptr;
    size_t tlen = std::strlen(text), plen = std::strlen(pattern);
    gt::Block tb(gtGlobalAllocPtr(GHND, static_cast<DWORD>(tlen + 1)));
    gt::Block pb(gtGlobalAllocPtr(GHND, static_cast<DWORD>(plen + 1)));
    auto* t = static_cast<char*>(tb.get());
    auto* p = static_cast<char*>(pb.get());
    if (!t || !p) return nullptr;
    std::memcpy(t, text, tlen);
    std::memcpy(p, pattern, plen);
    CharUpperA(t);
    CharUpperA(p);
    const char* m = mb::findStr(t, p);
    LPSTR result = m ? const_cast<LPSTR>(text) + (m - t) : nullptr;
    return result;
}

BOOL GTAPI gtIsStrStri(LPCSTR text, LPCSTR pattern) { return gtStrStri(text, pattern) != nullptr; }

LPSTR GTAPI gtFindString(LPCSTR text, LPCSTR pattern, int caseMode) {
    if (!text || !pattern) return nullptr;
    if (caseMode == 1) return const_cast<LPSTR>(mb::findStr(text, pattern));
    return gtStrStri(text, pattern);
}

BOOL GTAPI gtStuffStr(LPCSTR source, LPCSTR pattern, int occurrence, LPCSTR replacement, BOOL all,
                      int caseMode, LPSTR output) {
    if (!source || !pattern || !output || !*source || !*pattern || occurrence < 1) return FALSE;
    if (!replacement) replacement = "";
    const size_t plen = std::strlen(pattern);
    const char* from = source;
    const char* match = nullptr;
    for (int i = 0; i < occurrence; ++i) {
        match = gtFindString(from, pattern, caseMode);
        if (!match) break;
        if (i + 1 < occurrence) from = match + plen;
    }
    // Built apart so that the output may be the source buffer itself.
    std::string out;
    if (!match) {
        out = source;
    } else {
        out.assign(source, match);
        out += replacement;
        const char* rest = match + plen;
        if (isSet(all)) {
            while (const char* m = gtFindString(rest, pattern, caseMode)) {
                out.append(rest, m);
                out += replacement;
                rest = m + plen;
            }
        }
        out += rest;
    }
    std::memcpy(output, out.c_str(), out.size() + 1);
    return TRUE;
}

LPSTR GTAPI gtGetLine(LPCSTR text, LPSTR line, WORD lineSize, BOOL keepNewline) {
    if (!text || !line || lineSize == 0 || !gt::mem::isWritable(line, lineSize)) return nullptr;
    line[0] = 0;
    const char* end = text;
    while (*end && *end != '\n') end = mb::next(end);
    if (end == text) return nullptr;  // empty line or end of text
    // The line as the caller gets it: with its line feed (or terminator)
    // when asked, otherwise without its last character (the CR of CR LF).
    const char* stop = end;
    if (!isSet(keepNewline)) stop = mb::prev(text, end);
    // Whole characters, never more than lineSize bytes with the terminator.
    const size_t room = static_cast<size_t>(lineSize) - 1;
    const size_t lineLen = static_cast<size_t>(stop - text);
    size_t n = mb::copyToBuffer(line, lineSize, text, lineLen);
    // The line feed only follows a line that fitted whole; after a cut it
    // would splice onto the wrong text.
    if (isSet(keepNewline) && *end == '\n' && n == lineLen && n < room) line[n++] = '\n';
    line[n] = 0;
    // After a last line without a line feed the walk rests on the terminator.
    return const_cast<LPSTR>(*end ? end + 1 : end);
}

BOOL GTAPI gtRemoveToken(LPSTR text, LPCSTR token, BOOL exact, BOOL dropSeparator, char startSeparator,
                         char endSeparator, LPSTR output) {
    if (!text || !*text) return FALSE;
    if (!token || !*token) {
        (output ? output : text)[0] = 0;
        return TRUE;
    }
    char* match = const_cast<char*>(mb::findStr(text, token));
    if (!match) return FALSE;
    char* rangeStart = match;
    char* rangeEnd = match + std::strlen(token);
    if (!isSet(exact)) {
        while (char* q = mb::prev(text, rangeStart)) {
            if (*q == startSeparator) break;
            rangeStart = q;
        }
    }
    const char* follow = "";
    if (*rangeEnd && *rangeEnd == endSeparator && isSet(dropSeparator)) follow = rangeEnd + 1;
    std::string result(text, rangeStart);
    result += follow;
    std::memcpy(output ? output : text, result.c_str(), result.size() + 1);
    return TRUE;
}

BOOL GTAPI gtReplaceChars(char oldChar, char newChar, LPSTR source, LPSTR destination) {
    if (!source) return FALSE;
    char* out = destination ? destination : source;
    size_t w = 0;
    // Writing never overtakes reading (a replaced character is one byte),
    // so the in-place form compacts safely.
    for (const char* p = source; *p;) {
        size_t len = mb::charLen(p);
        if (*p == oldChar) {
            out[w++] = newChar;
        } else {
            std::memmove(out + w, p, len);
            w += len;
        }
        p += len;
    }
    out[w] = 0;
    return TRUE;
}

// ---------------------------------------------------------------- trailing characters

BOOL GTAPI gtHasTrailingCharacter(LPCSTR text, char ch) {
    if (!text || !*text || !ch) return FALSE;
    const char* last = mb::findLastChar(text, ch);
    return last && last[1] == 0;
}

BOOL GTAPI gtHasTrailingSlash(LPCSTR text) { return gtHasTrailingCharacter(text, '\\'); }

void GTAPI gtRemoveTrailingSlash(LPSTR path) {
    if (gtHasTrailingSlash(path)) path[std::strlen(path) - 1] = 0;
}

BOOL GTAPI gtAppendTrailingSlash(LPSTR path, LPSTR output) {
    if (!path || !*path) return FALSE;
    const bool has = gtHasTrailingSlash(path) != FALSE;
    const size_t len = std::strlen(path);
    if (!output) {
        if (!has) {
            path[len] = '\\';
            path[len + 1] = 0;
        }
        return TRUE;
    }
    // With an output buffer (at least 262 bytes): always the path with its
    // backslash, so the caller never finds stale contents there.
    if (len + (has ? 0 : 1) > MAX_PATH + 1) return FALSE;
    std::memmove(output, path, len);
    if (!has) output[len] = '\\';
    output[len + (has ? 0 : 1)] = 0;
    return TRUE;
}

// ---------------------------------------------------------------- trims

void GTAPI gtLeftTrim(LPSTR text, char ch) {
    if (!text || !*text || !ch) return;
    char* p = text;
    while (*p == ch) p = mb::next(p);
    if (p != text) std::memmove(text, p, std::strlen(p) + 1);
}

void GTAPI gtRightTrim(LPSTR text, char ch) {
    if (!text || !*text || !ch) return;
    char* p = mb::prev(text, text + std::strlen(text));
    while (p && *p == ch) {
        *p = 0;
        p = mb::prev(text, p);
    }
}

void GTAPI gtAllTrim(LPSTR text, char ch) {
    gtLeftTrim(text, ch);
    gtRightTrim(text, ch);
}

void GTAPI gtLeftTrimEx(LPSTR text, LPCSTR set) {
    if (!text || !*text || !set) return;
    char* p = text;
    while (inSet(*p, set)) p = mb::next(p);
    if (p != text) std::memmove(text, p, std::strlen(p) + 1);
}

void GTAPI gtRightTrimEx(LPSTR text, LPCSTR set) {
    if (!text || !*text || !set) return;
    char* p = mb::prev(text, text + std::strlen(text));
    while (p && p != text && inSet(*p, set)) {
        *p = 0;
        p = mb::prev(text, p);
    }
}

void GTAPI gtAllTrimEx(LPSTR text, LPCSTR set) {
    gtLeftTrimEx(text, set);
    gtRightTrimEx(text, set);
}

// ---------------------------------------------------------------- embedding entries

BOOL GTAPI gtComposeEmbeddingString(const GTEMBEDDING* e, LPSTR output) {
    if (!e || !output) return FALSE;
    const struct {
        const char* f;
        size_t n;
    } parts[] = {{e->szDescription1, sizeof(e->szDescription1)},
                 {e->szDescription2, sizeof(e->szDescription2)},
                 {e->szServerPath, sizeof(e->szServerPath)},
                 {e->szFormat, sizeof(e->szFormat)}};
    std::string out;
    for (const auto& part : parts) {
        size_t n = fieldLen(part.f, part.n);
        if (n == 0) return FALSE;
        if (!out.empty()) out += ',';
        out.append(part.f, n);
    }
    std::memcpy(output, out.c_str(), out.size() + 1);
    return TRUE;
}

BOOL GTAPI gtDecomposeEmbeddingString(LPCSTR className, LPSTR value, LPGTEMBEDDING e) {
    if (!className || !*className || !value || !e) return FALSE;
    if (!*value) GetProfileStringA("Embedding", className, "", value, kEmbeddingValueSize);
    if (!*value) return FALSE;
    gt::Block walk(gtStartStrTok(TRUE, TRUE));  // the tokenizer record goes with it
    auto* tok = static_cast<LPGTSTRTOK>(walk.get());
    if (!tok) return FALSE;
    std::memset(e, 0, sizeof(*e));
    mb::copyToBuffer(e->szClassName, sizeof e->szClassName, className);
    if (LPSTR t = gtContinueStrTok(tok, value, ',')) mb::copyToBuffer(e->szDescription1, sizeof e->szDescription1, t);
    if (LPSTR t = gtContinueStrTok(tok, nullptr, ',')) mb::copyToBuffer(e->szDescription2, sizeof e->szDescription2, t);
    if (LPSTR t = gtContinueStrTok(tok, nullptr, ',')) {
        mb::copyToBuffer(e->szServerPath, sizeof e->szServerPath, t);
        CharUpperA(e->szServerPath);
    }
    if (LPSTR t = gtContinueStrTok(tok, nullptr, 0)) mb::copyToBuffer(e->szFormat, sizeof e->szFormat, t);
    return TRUE;
}

// ---------------------------------------------------------------- numbers

int GTAPI gtIntStrToInt(LPCSTR text) {
    if (!text || !*text) return 0;
    char work[kIntDigits + 1] = {};
    std::strncpy(work, text, kIntDigits);  // longer input is cut
    return std::atoi(work);
}

DWORD GTAPI gtHexStrToInt(LPCSTR text) {
    if (!text) return 0;
    DWORD v = 0;
    for (int i = 0; i < 4; ++i) {
        char c = text[i];
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else break;
        v = v * 16 + static_cast<DWORD>(d);
    }
    return v;
}

}  // extern "C"
