// The status bytes read after a refusal, turned into a detail code: the first rule that
// holds wins.
#include <gtest/gtest.h>

#include "link/printer_link.h"

namespace tarn {
namespace {

struct Row {
    int s0, s1, s2, s3;
    int code;
};

TEST(RefusalCode, FollowsTheRulesInOrder) {
    // A printer in order reads 0x03 in status byte 0; each row adds the bit under test.
    const Row rows[] = {
        {0x02, 0, 0, 0, 259},
        {0x01, 0, 0, 0, 518},
        {0x07, 0, 0, 0, 518},
        {0x03, 0x01, 0, 0, 518},
        {0x03, 0x02, 0, 0, 769},
        {0x03, 0x08, 0, 0, 777},
        {0x03, 0x10, 0, 0, 518},
        {0x03, 0x20, 0, 0, 773},
        {0x03, 0x40, 0, 0, 513},
        {0x03, 0x80, 0, 0, 514},
        {0x03, 0, 0x01, 0, 769},
        {0x03, 0, 0x02, 0, 784},
        {0x03, 0, 0x04, 0, 257},
        {0x03, 0, 0x08, 0, 515},
        {0x03, 0, 0x10, 0, 769},
        {0x03, 0, 0x40, 0, 784},
        {0x03, 0, 0x80, 0, 257},
        {0x03, 0, 0, 0x80, 257},
        {0x03, 0, 0, 0, 514},
        // Bits that take no part in the mapping.
        {0x03, 0x04, 0x20, 0x7F, 514},
        {0xF3, 0, 0, 0, 514},
        // The earlier rule wins.
        {0x00, 0xFF, 0xFF, 0xFF, 259},
        {0x03, 0x0A, 0, 0, 769},
        {0x03, 0x80, 0x02, 0, 514},
        {0x03, 0, 0x44, 0, 257},
    };
    for (const Row& r : rows) {
        const int status[4] = {r.s0, r.s1, r.s2, r.s3};
        EXPECT_EQ(RefusalCodeFromStatus(status), r.code)
            << std::hex << r.s0 << " " << r.s1 << " " << r.s2 << " " << r.s3;
    }
}

}  // namespace
}  // namespace tarn
