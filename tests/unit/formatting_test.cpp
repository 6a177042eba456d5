// Amount and text formatting, line values and the second-currency rate at the bounds that the
// receipts through the interface do not reach.
#include <gtest/gtest.h>

#include <string>

#include "config/pos_footer.h"
#include "receipt/formatting.h"
#include "receipt/receipt_state.h"
#include "receipt/second_currency.h"

namespace tarn {
namespace {

TEST(Formatting, AmountsPutTheCommaAndTheThousands) {
    EXPECT_EQ(amountToText(7, 0), "7");
    EXPECT_EQ(amountToText(-5, 2), "-0,05");
    EXPECT_EQ(amountToText(INT64_MIN, 0), "-9223372036854775808");
    EXPECT_EQ(groupThousands("1234567,89"), "1.234.567,89");
    EXPECT_EQ(groupThousands("123,45"), "123,45");
    EXPECT_EQ(groupThousands("1234"), "1.234");
    EXPECT_EQ(printedAmount(123456), "1.234,56");
    EXPECT_EQ(printedAmount(INT64_MIN), "92.233.720.368.547.758,08");
}

TEST(Formatting, PaddingOnlyLengthensAndTheAmountWinsOverItsLabel) {
    EXPECT_EQ(padText("ab", 5, 0), "   ab");
    EXPECT_EQ(padText("abcdef", 5, 1), "abcdef");
    EXPECT_EQ(padText("ab", 5, 2), "ab");
    EXPECT_EQ(labelAndAmount("A very long label indeed", "10,00", 12), "A very 10,00");
    EXPECT_EQ(labelAndAmount("Label", "123456789", 5), "123456789");
}

TEST(Formatting, MasksMatchWholeTextsWithWildcards) {
    EXPECT_TRUE(matchMask("??? ?,??", "USD 3,98"));
    EXPECT_FALSE(matchMask("??? ?,??", "USD 3,981"));
    EXPECT_TRUE(matchMask("*", ""));
    EXPECT_TRUE(matchMask("a*bc", "abxbc"));
    EXPECT_FALSE(matchMask("a*b", "ac"));
    EXPECT_TRUE(matchMask("**a", "xa"));
    EXPECT_FALSE(matchMask("a?", "a"));
}

TEST(Formatting, DigitsAreReadPastSeparatorsUpTo18Places) {
    EXPECT_EQ(readDigits("-12,50"), -1250);
    EXPECT_EQ(readDigits("1x2"), 102);
    EXPECT_EQ(readDigits("12-3"), 1203);
    EXPECT_EQ(readDigits(std::string(40, '9')), 999999999999999999LL);
}

TEST(Formatting, TheSecondCurrencyRateRoundsAndStaysIn32Bits) {
    EXPECT_EQ(divideByExchRate("3,98", 10000), 2513);            // remainder 224 rounds up
    EXPECT_EQ(divideByExchRate("4,00", 1000000000), 250000000);  // no 32-bit product overflow
    EXPECT_EQ(divideByExchRate("", 100), std::nullopt);
    EXPECT_EQ(divideByExchRate("0,01", 2000000000), std::nullopt);
    EXPECT_FALSE(SecondCurrencyOf("EUR 4,1234 ", 10000).has_value());
    EXPECT_FALSE(SecondCurrencyOf(nullptr, 10000).has_value());
}

TEST(Formatting, AGivenLineValueAndThePrintableCharacters) {
    EXPECT_EQ(LineValue(250, 2000, 1), 1);
    const std::string set = PrintableCharacters();
    ASSERT_EQ(set.size(), 133u);
    EXPECT_EQ(static_cast<uint8_t>(set[132]), 0xFF);
}

}  // namespace
}  // namespace tarn
