// String operations over random texts (double-byte ones under code page
// 932), every input and output placed flush against an inaccessible page.
// What must hold: nothing is read or written past a buffer, results stay
// inside their texts, and where a plain reference exists (single-byte
// texts) the result equals it.
#include <cctype>
#include <cstring>

#include "fuzz.h"
#include "gtapi32.h"

namespace {

bool singleByte(const std::string& s) {
    for (unsigned char ch : s)
        if (ch >= 0x80) return false;
    return true;
}

// gtStuffStr's result for single-byte texts, case-sensitive.
std::string stuffed(const std::string& src, const std::string& pat, int occ, const std::string& with, bool all) {
    size_t at = 0;
    for (int n = 1;; ++n) {
        at = src.find(pat, at);
        if (at == std::string::npos) return src;
        if (n == occ) break;
        at += pat.size();
    }
    std::string out = src.substr(0, at) + with;
    std::string rest = src.substr(at + pat.size());
    if (!all) return out + rest;
    for (size_t p; (p = rest.find(pat)) != std::string::npos; rest = rest.substr(p + pat.size())) out += rest.substr(0, p) + with;
    return out + rest;
}

void tokens(fuzz::Case& c, const std::string& s, const std::string& alphabet) {
    fuzz::Guarded text = fuzz::Guarded::text(s);
    const char delim = c.pick({',', ';', '|', '\\', '\0'});
    LPGTSTRTOK tok = gtStartStrTok(c.pick({TRUE, FALSE, 2}), c.pick({TRUE, FALSE}));
    char* first = gtContinueStrTok(tok, text.data(), delim);
    int n = 0;
    for (char* t = first; t && n < 1000; t = gtContinueStrTok(tok, nullptr, delim == 0 ? ',' : delim), ++n)
        if (!c.check(t >= text.data() && t <= text.data() + s.size(), "a token lies inside its text")) break;
    c.check(n < 1000, "the tokens of a text come to an end");
    c.check(gtEndStrTok(tok) != FALSE, "gtEndStrTok of a live handle");
    fuzz::Guarded shared = fuzz::Guarded::text(c.text(60, alphabet));
    char* t = gtGetToken(shared.data(), delim);
    c.check(!t || (t >= shared.data() && t < shared.data() + shared.size()), "gtGetToken's token lies inside its text");
}

void searches(fuzz::Case& c, const std::string& s, const std::string& alphabet) {
    const std::string pat = c.chance(30) && !s.empty() ? s.substr(c.below(static_cast<uint32_t>(s.size())), 1 + c.below(4))
                                                       : c.text(4, alphabet);
    fuzz::Guarded text = fuzz::Guarded::text(s), pattern = fuzz::Guarded::text(pat);
    char* hit = gtStrStri(text.data(), pattern.data());
    c.check(!hit || (hit >= text.data() && hit + pat.size() <= text.data() + s.size()), "gtStrStri's match lies inside the text");
    c.check(!!gtIsStrStri(text.data(), pattern.data()) == (hit != nullptr), "gtIsStrStri agrees with gtStrStri");
    if (singleByte(s) && singleByte(pat) && !pat.empty())
        c.check(!!gtIsStrStr(text.data(), pattern.data()) == (s.find(pat) != std::string::npos), "gtIsStrStr as a plain search");

    const std::string with = c.text(6, alphabet);
    const int occ = static_cast<int>(c.below(4));
    const bool all = c.chance(50);
    if (singleByte(s) && singleByte(pat) && singleByte(with) && !s.empty() && !pat.empty() && occ >= 1) {
        const std::string want = stuffed(s, pat, occ, with, all);
        fuzz::Guarded out(want.size() + 1), replacement = fuzz::Guarded::text(with);
        c.check(gtStuffStr(text.data(), pattern.data(), occ, replacement.data(), all, 1, out.data()) != FALSE, "gtStuffStr succeeds");
        c.check(out.data() == want, "gtStuffStr as the plain replacement");
    }
}

void lines(fuzz::Case& c, const std::string& s) {
    fuzz::Guarded text = fuzz::Guarded::text(s);
    const WORD size = static_cast<WORD>(1 + c.below(40));
    fuzz::Guarded line(size);
    const char* p = text.data();
    size_t n = 0;
    for (; n <= s.size(); ++n) {
        const char* q = gtGetLine(p, line.data(), size, c.pick({TRUE, FALSE}));
        c.check(std::strlen(line.data()) < size, "gtGetLine's line fits its buffer");
        if (!q) break;
        if (!c.check(q > p && q <= text.data() + s.size(), "gtGetLine moves on inside its text")) break;
        p = q;
    }
    c.check(n <= s.size(), "a walk with gtGetLine comes to an end");
}

void trims(fuzz::Case& c, const std::string& s, const std::string& alphabet) {
    const char ch = alphabet[c.below(static_cast<uint32_t>(alphabet.size()))];
    const std::string set = c.text(3, alphabet);
    void (GTAPI* one[])(LPSTR, char) = {gtLeftTrim, gtRightTrim, gtAllTrim};
    void (GTAPI* many[])(LPSTR, LPCSTR) = {gtLeftTrimEx, gtRightTrimEx, gtAllTrimEx};
    const uint32_t which = c.below(3);
    fuzz::Guarded text = fuzz::Guarded::text(s), chars = fuzz::Guarded::text(set);
    if (c.chance(50)) one[which](text.data(), ch); else many[which](text.data(), chars.data());
    const std::string out = text.data();
    c.check(out.size() <= s.size(), "a trim never lengthens");
    c.check(s.find(out) != std::string::npos, "a trim leaves a piece of the text");
    if (which == 1) c.check(s.compare(0, out.size(), out) == 0, "a right trim leaves the start");
    if (which == 0) c.check(s.size() >= out.size() && s.compare(s.size() - out.size(), out.size(), out) == 0, "a left trim leaves the end");
}

void pieces(fuzz::Case& c, const std::string& s, const std::string& alphabet) {
    // Replacement into a destination of exactly the text's size.
    fuzz::Guarded text = fuzz::Guarded::text(s), dest(s.size() + 1);
    const char from = alphabet[c.below(static_cast<uint32_t>(alphabet.size()))], to = c.pick({'x', '_', '\\'});
    c.check(gtReplaceChars(from, to, text.data(), dest.data()) != FALSE, "gtReplaceChars succeeds");
    // A double-byte character whose lead byte is the old one becomes one byte.
    c.check(std::strlen(dest.data()) <= s.size(), "gtReplaceChars never lengthens");

    // Trailing backslash: output of the documented 262 bytes, paths up to 261.
    const std::string path = c.chance(20) ? std::string(258 + c.below(5), 'p') : s.substr(0, 261);
    fuzz::Guarded in(path.size() + 2), out(262);
    std::memcpy(in.data(), path.c_str(), path.size() + 1);
    const BOOL ok = gtAppendTrailingSlash(in.data(), out.data());
    // After a lead byte the appended backslash becomes its trail byte.
    const bool endsInLead = !path.empty() && IsDBCSLeadByte(static_cast<BYTE>(path.back()));
    if (ok && !path.empty() && !endsInLead)
        c.check(gtHasTrailingSlash(out.data()) != FALSE, "an appended path ends with a backslash");
    if (ok && !path.empty()) gtRemoveTrailingSlash(out.data());  // output is only a string after success
    c.check(gtHasTrailingCharacter(text.data(), c.pick({'\\', 'a', ','})) <= TRUE, "gtHasTrailingCharacter gives TRUE or FALSE");

    // Removing a token into an output of the text's size.
    const std::string tokenText = c.text(4, alphabet);
    fuzz::Guarded token = fuzz::Guarded::text(tokenText), removed(s.size() + 1), work = fuzz::Guarded::text(s);
    gtRemoveToken(work.data(), token.data(), c.pick({TRUE, FALSE}), c.pick({TRUE, FALSE}), c.pick({';', ',', '\\'}),
                  c.pick({';', ',', '|'}), removed.data());
    c.check(std::strcmp(work.data(), s.c_str()) == 0, "gtRemoveToken with an output leaves the text");

    // Numbers.
    const std::string digits = c.text(19, "0123456789 +-aF");
    fuzz::Guarded number = fuzz::Guarded::text(digits);
    c.check(gtIntStrToInt(number.data()) == std::atoi(digits.c_str()), "gtIntStrToInt as atoi");
    c.check(gtHexStrToInt(number.data()) <= 0xFFFF, "gtHexStrToInt reads at most four digits");
}

void embedding(fuzz::Case& c, const std::string& alphabet) {
    GTEMBEDDING e{};
    std::strncpy(e.szClassName, c.text(50, alphabet).c_str(), 50);
    std::strncpy(e.szDescription1, c.text(50, alphabet).c_str(), 50);
    std::strncpy(e.szDescription2, c.text(50, alphabet).c_str(), 50);
    std::strncpy(e.szServerPath, c.text(260, alphabet).c_str(), 260);
    std::strncpy(e.szFormat, c.text(25, alphabet).c_str(), 25);
    fuzz::Guarded value(445);
    if (!gtComposeEmbeddingString(&e, value.data())) return;
    c.check(std::strlen(value.data()) < 445, "a composed entry fits 445 bytes");
    GTEMBEDDING back{};
    const std::string name = c.text(60, alphabet) + "x";
    fuzz::Guarded className = fuzz::Guarded::text(name);
    c.check(gtDecomposeEmbeddingString(className.data(), value.data(), &back) != FALSE, "a composed entry decomposes");
    c.check(std::strlen(back.szClassName) <= 50, "the class name fits its field");
    c.check(std::strlen(back.szServerPath) <= 260, "the server path fits its field");
    c.check(std::strlen(back.szFormat) <= 25, "the format fits its field");
}

}  // namespace

GT_FUZZ_FAMILY(strings) {
    const std::string& alphabet = GetACP() == 932 && c.chance(80) ? fuzz::kDbcsBytes : fuzz::kAsciiBytes;
    const std::string s = c.text(c.chance(10) ? 600 : 80, alphabet);
    switch (c.below(6)) {
        case 0: tokens(c, s, alphabet); break;
        case 1: searches(c, s, alphabet); break;
        case 2: lines(c, s); break;
        case 3: trims(c, s, alphabet); break;
        case 4: pieces(c, s, alphabet); break;
        default: embedding(c, alphabet); break;
    }
}
