// Helpers shared by the text test programs.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>

#include "gtapi32.h"

namespace textcase {

inline std::string str(const char* p) { return p ? std::string(p) : std::string("<null>"); }

// One tokenizer call per step; the first passes the text, the rest NULL.
struct Step { char delim; const char* want; };  // want nullptr: a NULL result
inline void getTokens(char* text, std::initializer_list<Step> steps) {
    for (const Step& s : steps) {
        EXPECT_EQ(str(gtGetToken(text, s.delim)), str(s.want)) << "delimiter " << int(s.delim);
        text = nullptr;
    }
}
inline void strToks(LPGTSTRTOK t, char* text, std::initializer_list<Step> steps) {
    for (const Step& s : steps) {
        EXPECT_EQ(str(gtContinueStrTok(t, text, s.delim)), str(s.want)) << "delimiter " << int(s.delim);
        text = nullptr;
    }
}

// One trim of a copy of `in`; the single-character trims take set[0].
enum Trim { L, R, A, LEx, REx, AEx };
struct TrimCase { Trim fn; const char *in, *set, *want; };
inline void checkTrims(std::initializer_list<TrimCase> cases) {
    for (const TrimCase& c : cases) {
        char buf[32];
        std::strcpy(buf, c.in);
        switch (c.fn) {
            case L: gtLeftTrim(buf, c.set[0]); break;
            case R: gtRightTrim(buf, c.set[0]); break;
            case A: gtAllTrim(buf, c.set[0]); break;
            case LEx: gtLeftTrimEx(buf, c.set); break;
            case REx: gtRightTrimEx(buf, c.set); break;
            case AEx: gtAllTrimEx(buf, c.set); break;
        }
        EXPECT_STREQ(buf, c.want) << "trim " << c.fn << " of '" << c.in << "'";
    }
}

}  // namespace textcase
