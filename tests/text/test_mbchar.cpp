// The character steps under code page 932: stepping back from every
// character boundary lands on the boundary the forward walk found before it,
// for generated texts full of lead bytes, trail bytes that look like
// backslashes and lead bytes left alone before the terminator.
#include <gtest/gtest.h>
#include <windows.h>

#include <random>
#include <string>
#include <vector>

#include "text/mbchar.h"

namespace mb = gt::mb;

TEST(CharacterSteps, BackwardAgreesWithForwardOnGeneratedTexts) {
    ASSERT_EQ(GetACP(), 932u) << "run with LC_ALL=ja_JP.UTF-8";
    // Lead bytes, bytes that are both lead and trail, a backslash and ASCII.
    const unsigned char alphabet[] = {0x81, 0x95, 0x9F, 0xE0, 0x5C, 0x41, 0x7C, 0x20};
    std::mt19937 random(932);
    for (int round = 0; round < 2000; ++round) {
        std::string text(1 + random() % 12, ' ');
        for (char& c : text) c = static_cast<char>(alphabet[random() % sizeof alphabet]);
        SCOPED_TRACE(testing::Message() << "round " << round);
        std::vector<const char*> starts;
        for (const char* p = text.c_str(); *p; p = mb::next(p)) starts.push_back(p);
        const char* end = text.c_str() + text.size();
        ASSERT_EQ(mb::prev(text.c_str(), end), starts.back()) << "from the terminator";
        for (size_t i = 1; i < starts.size(); ++i)
            ASSERT_EQ(mb::prev(text.c_str(), starts[i]), starts[i - 1]) << "from character " << i;
        EXPECT_EQ(mb::prev(text.c_str(), text.c_str()), nullptr) << "from the start";
    }
}
