// The text routines of the card slips at the bounds the slips through the interface do not
// reach: the widest amounts, texts longer than their field, the work width of 255.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "cardslip/slip_text.h"

namespace tarn {
namespace {

TEST(SlipText, AmountsHaveAFullStopBeforeTheGrosze) {
    EXPECT_EQ(slipAmountText(0), "0.00");
    EXPECT_EQ(slipAmountText(-5), "-0.05");
    EXPECT_EQ(slipAmountText(INT32_MAX), "21474836.47");
    EXPECT_EQ(slipAmountText(INT32_MIN), "-21474836.48");
}

TEST(SlipText, AlignmentCentringAndMarks) {
    EXPECT_EQ(rightAlign("abcdef", 3), "abcdef");
    EXPECT_EQ(rightAlign("abc", 255), std::string(252, ' ') + "abc");
    EXPECT_EQ(rightAlign("abc", 256), "");
    EXPECT_EQ(leftAlign("ab", 0), "");
    EXPECT_EQ(cutRightAlign("abcdef", 4), "abcd");
    EXPECT_EQ(cutRightAlign("ab", 0), "");
    EXPECT_EQ(centreText(std::string(40, 'x'), 30, 9), std::string(30, 'x'));
    EXPECT_EQ(centreText("ab", 10, 20), "ab        ");  // no room before: left-aligned
    EXPECT_EQ(markText(-1), "\xFF");
}

}  // namespace
}  // namespace tarn
