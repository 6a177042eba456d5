// Amount and text formatting, the values of receipt lines, the second-currency text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/pos_footer.h"
#include "receipt/formatting.h"
#include "receipt/receipt_state.h"
#include "receipt/second_currency.h"

namespace tarn {
namespace {

TEST(AmountText, PutsTheCommaAndTheThousands) {
    const struct {
        int64_t value;
        int decimals;
        const char* text;
    } cases[] = {{7, 0, "7"},
                 {100, 2, "1,00"},
                 {123456, 2, "1234,56"},
                 {5, 2, "0,05"},
                 {0, 2, "0,00"},
                 {-5, 2, "-0,05"},
                 {-2147483648LL, 2, "-21474836,48"},
                 {INT64_MIN, 0, "-9223372036854775808"}};
    for (const auto& c : cases) EXPECT_EQ(amountToText(c.value, c.decimals), c.text) << c.value;

    const char* groups[][2] = {{"1234567,89", "1.234.567,89"},
                               {"123,45", "123,45"},
                               {"1234", "1.234"},
                               {"123456,00", "123.456,00"},
                               {"100,00", "100,00"}};
    for (const auto& g : groups) EXPECT_EQ(groupThousands(g[0]), g[1]);
    EXPECT_EQ(printedAmount(123456), "1.234,56");
    EXPECT_EQ(printedAmount(-5), "0,05");
    EXPECT_EQ(printedAmount(INT64_MIN), "92.233.720.368.547.758,08");
}

TEST(PadText, AlignsOnlyShorterTexts) {
    EXPECT_EQ(padText("ab", 5, 0), "   ab");
    EXPECT_EQ(padText("ab", 5, 1), "ab   ");
    EXPECT_EQ(padText("abcdef", 5, 1), "abcdef");
    EXPECT_EQ(padText("ab", 5, 2), "ab");
    EXPECT_EQ(labelAndAmount("Kaucja", "2,50", 23), "Kaucja" + std::string(13, ' ') + "2,50");
    EXPECT_EQ(labelAndAmount("A very long label indeed", "10,00", 12), "A very 10,00");
    EXPECT_EQ(labelAndAmount("Label", "123456789", 5), "123456789");
}

TEST(MatchMask, MatchesWholeTextsWithWildcards) {
    const struct {
        const char* mask;
        const char* text;
        bool matches;
    } cases[] = {{"??? ?,??", "USD 3,98", true},
                 {"??? ?,??", "USD 3,981", false},
                 {"*", "", true},
                 {"a*c", "abxc", true},
                 {"a*bc", "abxbc", true},
                 {"a*b", "ac", false},
                 {"**a", "xa", true},
                 {"a?", "a", false},
                 {"ABC", "abc", false},
                 {"", "", true}};
    for (const auto& c : cases)
        EXPECT_EQ(matchMask(c.mask, c.text), c.matches) << c.mask << " " << c.text;
}

TEST(ReadDigits, ReadsDigitsSkippingSeparators) {
    const struct {
        const char* text;
        int64_t value;
    } cases[] = {{"4,1234", 41234}, {"1.234,56", 123456}, {"-12,50", -1250}, {" 4,1234", 41234},
                 {"", 0},           {"1x2", 102},         {"12-3", 1203}};
    for (const auto& c : cases) EXPECT_EQ(readDigits(c.text), c.value) << c.text;
    EXPECT_EQ(readDigits(std::string(40, '9')), 999999999999999999LL);
}

TEST(SecondCurrency, ConvertsWithTheRateOfTheText) {
    EXPECT_EQ(divideByExchRate(" 4,1234", 10000), 2425);
    EXPECT_EQ(divideByExchRate("3,98", 10000), 2513);            // remainder 224 rounds up
    EXPECT_EQ(divideByExchRate("4,00", 1000000000), 250000000);  // no 32-bit product overflow
    EXPECT_EQ(divideByExchRate("0,0000", 100), std::nullopt);
    EXPECT_EQ(divideByExchRate("", 100), std::nullopt);
    EXPECT_EQ(divideByExchRate("0,01", 2000000000), std::nullopt);  // leaves 32 bits

    const auto euro = SecondCurrencyOf("EUR 04,1234", 10000);
    ASSERT_TRUE(euro.has_value());
    EXPECT_EQ(euro->code, "EUR");
    EXPECT_EQ(euro->rateText, " 4,1234");
    EXPECT_EQ(euro->converted, 2425);
    const auto dollar = SecondCurrencyOf("USD 3,98", 10000);
    ASSERT_TRUE(dollar.has_value());
    EXPECT_EQ(dollar->rateText, "3,98");
    for (const char* ordinary : {"EUR 4.1234", "EUR 4,1234 ", "Gotówka", "EUR 0,0000", ""}) {
        EXPECT_FALSE(SecondCurrencyOf(ordinary, 10000).has_value()) << ordinary;
    }
    EXPECT_FALSE(SecondCurrencyOf(nullptr, 10000).has_value());
}

TEST(LineValue, RoundsHalfUpAndDoesNotWrap) {
    EXPECT_EQ(LineValue(199, 1500, 0), 299);
    EXPECT_EQ(LineValue(250, 2000, 0), 500);
    EXPECT_EQ(LineValue(250, 2000, 7), 7);
    EXPECT_EQ(LineValue(5000000, 1000000, 0), 5000000000LL);
    EXPECT_FALSE(FitsInt32(LineValue(5000000, 1000000, 0)));
    EXPECT_EQ(LineValue(-199, 1500, 0), -298);  // truncates toward zero
}

TEST(PrintableCharacters, Lists133Codes) {
    const std::string set = PrintableCharacters();
    ASSERT_EQ(set.size(), 133u);
    EXPECT_EQ(static_cast<uint8_t>(set[0]), 0x20);
    EXPECT_EQ(static_cast<uint8_t>(set[95]), 0x7F);
    EXPECT_EQ(static_cast<uint8_t>(set[96]), 0x81);
    EXPECT_EQ(static_cast<uint8_t>(set[132]), 0xFF);
}

}  // namespace
}  // namespace tarn
