// Helpers shared by the text test programs.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>

#include "gtapi32.h"

inline std::string str(const char* p) { return p ? p : "<null>"; }

// One tokenizer call: the delimiter and the token it must give (nullptr: a
// NULL result).
struct Step {
    char delim;
    const char* want;
};

// Tokenizer calls (gtContinueStrTok when t is given, else gtGetToken), the
// first with the text, the rest with NULL; a failure names the step.
inline void getTokens(char* text, std::initializer_list<Step> steps, LPGTSTRTOK t = nullptr) {
    int n = 0;
    for (const Step& s : steps) {
        const char* got = t ? gtContinueStrTok(t, text, s.delim) : gtGetToken(text, s.delim);
        EXPECT_EQ(str(got), str(s.want)) << "step " << n;
        text = nullptr;
        ++n;
    }
}

// Runs a trim (or any in-place edit) on a copy of in and gives the result.
template <class F, class A>
std::string trim(F f, const char* in, A arg) {
    char buffer[32];
    f(std::strcpy(buffer, in), arg);
    return buffer;
}
