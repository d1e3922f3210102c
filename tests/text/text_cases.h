// Helpers shared by the text test programs.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>

#include "gtapi32.h"

inline std::string str(const char* p) { return p ? p : "<null>"; }
// Tokenizer calls (gtContinueStrTok when t is given), the first with the text, the rest with NULL.
struct Step { char delim; const char* want; };  // want nullptr: a NULL result
inline void getTokens(char* text, std::initializer_list<Step> steps, LPGTSTRTOK t = nullptr) {
    for (const Step& s : steps) {
        EXPECT_EQ(str(t ? gtContinueStrTok(t, text, s.delim) : gtGetToken(text, s.delim)), str(s.want));
        text = nullptr;
    }
}
template <class F, class A> std::string trim(F f, const char* in, A arg) { char b[32]; f(std::strcpy(b, in), arg); return b; }
