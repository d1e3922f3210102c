// Record arithmetic, called directly (the compound-document check is shown
// on broken documents in the storage test).
#include <windows.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "recordfile/recordfile.h"
#include "testutil.h"

namespace rf = gt::recordfile;

TEST(RecordArithmetic, NumbersAndCounts) {
    struct Row {
        const char* name;
        long length, offset;
        DWORD header;
        long recLen;
        WORD number, total;
    } rows[] = {
        {"first record after a 16-byte header", 40, 16, 16, 8, 1, 3},
        {"second record", 40, 24, 16, 8, 2, 3},
        {"inside the second record", 40, 31, 16, 8, 2, 3},
        {"just after the last record", 40, 40, 16, 8, 4, 3},
        {"file of exactly the header", 16, 16, 16, 8, 1, 0},
        {"file shorter than its header", 10, 16, 16, 8, 1, 0},
        {"record length 0", 40, 24, 16, 0, 0, 0},
        {"negative record length", 40, 24, 16, -8, 0, 0},
        {"count delivered in 16 bits", 16 + 65537L * 4, 16, 16, 4, 1, 1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(rf::recordNumber(r.offset, r.header, r.recLen), r.number);
        EXPECT_EQ(rf::totalRecords(r.length, r.header, r.recLen), r.total);
    }
    EXPECT_EQ(rf::wholeRecords(16 + 65537L * 4, 16, 4), 65537) << "full-width count";
}
