// FAT date and time decoding through the DLL's exports.
#include <windows.h>

#include <gtest/gtest.h>

#include "gtapi32.h"

namespace {

TEST(FatDates, DecodeDateAndTimeTriples) {
    const struct { bool date, ok; WORD in, out[3]; } cases[] = {
        {true, true, 0x2A21, {1, 1, 2001}},
        {true, true, (127 << 9) | (12 << 5) | 31, {31, 12, 2107}},  // the last FAT date
        {true, true, (44 << 9) | (2 << 5) | 29, {29, 2, 2024}},
        {true, false, 0, {}},
        {true, false, 0x2BE1, {}},  // month 15
        {false, true, 0, {0, 0, 0}},  // midnight is a time
        {false, true, (23 << 11) | (59 << 5) | 29, {23, 59, 58}},  // two-second resolution
        {false, false, 25 << 11, {}},
    };
    for (const auto& c : cases) {
        WORD t[3] = {};
        SCOPED_TRACE(testing::Message() << (c.date ? "date " : "time ") << std::hex << c.in);
        ASSERT_EQ(!!(c.date ? gtConvertFindTDate(c.in, t) : gtConvertFindTTime(c.in, t)), c.ok);
        if (!c.ok) continue;
        for (int i = 0; i < 3; ++i) EXPECT_EQ(t[i], c.out[i]) << "field " << i;
    }
    EXPECT_FALSE(gtConvertFindTDate(0x2A21, nullptr));
    EXPECT_FALSE(gtConvertFindTTime(0x6000, nullptr));
}

}  // namespace
