// Shared main of the test programs: GoogleTest without colour codes (the
// output goes through Wine's console into CTest's log).
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::GTEST_FLAG(color) = "no";
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
