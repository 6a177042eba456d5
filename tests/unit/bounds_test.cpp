// The text routines and the field encoders at the bounds that the calls through the interface
// do not reach: the widest amounts, texts longer than their field, a full command body.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "cardslip/slip_text.h"
#include "config/pos_footer.h"
#include "link/shared_commands.h"
#include "receipt/receipt_state.h"
#include "receipt/second_currency.h"
#include "text/formatting.h"

namespace tarn {
namespace {

TEST(Formatting, AmountsPutTheCommaAndTheThousands) {
    EXPECT_EQ(AmountToText(7, 0), "7");
    EXPECT_EQ(AmountToText(-5, 2), "-0,05");
    EXPECT_EQ(AmountToText(INT64_MIN, 0), "-9223372036854775808");
    EXPECT_EQ(GroupThousands("1234567,89"), "1.234.567,89");
    EXPECT_EQ(GroupThousands("123,45"), "123,45");
    EXPECT_EQ(GroupThousands("1234"), "1.234");
    EXPECT_EQ(PrintedAmount(123456), "1.234,56");
    EXPECT_EQ(PrintedAmount(INT64_MIN), "92.233.720.368.547.758,08");
}

TEST(Formatting, PaddingOnlyLengthensAndTheAmountWinsOverItsLabel) {
    EXPECT_EQ(PadText("ab", 5, Align::Right), "   ab");
    EXPECT_EQ(PadText("ab", 5, Align::Centre), " ab  ");
    EXPECT_EQ(PadText("abcdef", 5, Align::Left), "abcdef");
    EXPECT_EQ(LabelAndAmount("A very long label indeed", "10,00", 12), "A very 10,00");
    EXPECT_EQ(LabelAndAmount("Label", "123456789", 5), "123456789");
}

TEST(Formatting, MasksMatchWholeTextsWithWildcards) {
    EXPECT_TRUE(MatchMask("??? ?,??", "USD 3,98"));
    EXPECT_FALSE(MatchMask("??? ?,??", "USD 3,981"));
    EXPECT_TRUE(MatchMask("*", ""));
    EXPECT_TRUE(MatchMask("a*bc", "abxbc"));
    EXPECT_FALSE(MatchMask("a*b", "ac"));
    EXPECT_TRUE(MatchMask("**a", "xa"));
    EXPECT_FALSE(MatchMask("a?", "a"));
}

TEST(Formatting, DigitsAreReadPastSeparatorsAndATooLongNumberIsTheLargest) {
    EXPECT_EQ(ReadDigits("-12,50"), -1250);
    EXPECT_EQ(ReadDigits("1x2"), 102);
    EXPECT_EQ(ReadDigits("12-3"), 1203);
    EXPECT_EQ(ReadDigits("-" + std::string(40, '9')), -1000000000000000000);
    EXPECT_EQ(ReadDigits(std::string(30, '0') + "12"), 12);
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

// Exposes the encoders of the base command.
class Fields : public CRequest {
public:
    using CRequest::AppendByte;
    using CRequest::AppendText;
    explicit Fields(int filled = 0) {
        for (int i = 0; i < filled; ++i) AppendByte('x');
    }
    std::string Text(const char* text, int width, Align alignment) {
        AppendText(text, width, alignment, ' ');
        EXPECT_FALSE(Overflowed());
        return std::string(reinterpret_cast<const char*>(Body()), Length());
    }
};

// What the frames of the commands never show: a cut text, a null one, a field of no width.
TEST(AppendText, CutsAndFillsFieldsOfExactlyTheirWidth) {
    EXPECT_EQ(Fields().Text("ABCDEFG", 3, Align::Right), "ABC");
    EXPECT_EQ(Fields().Text(nullptr, 2, Align::Right), "  ");
    EXPECT_EQ(Fields().Text("AB", 0, Align::Right), "");
    EXPECT_EQ(Fields().Text("%s%n\xA5\x88", 6, Align::Left), "%s%n\xA5\x88");
}

// The body holds 1023 bytes; a field that does not fit is not written in part.
TEST(BodyLimit, MarksWhatDoesNotFitAndWritesNoPartOfIt) {
    Fields bytes(1022);
    bytes.AppendByte('y');
    EXPECT_FALSE(bytes.Overflowed());
    bytes.AppendByte('z');
    EXPECT_EQ(bytes.Length(), 1023);
    EXPECT_TRUE(bytes.Overflowed());
    EXPECT_EQ(Fields(1013).Text("ABCDEFGHIJ", 10, Align::Left).size(), 1023u);
    Fields tooLong(1014);
    tooLong.AppendText("ABCDEFGHIJ", 10, Align::Left, ' ');
    EXPECT_EQ(tooLong.Length(), 1014);
    EXPECT_TRUE(tooLong.Overflowed());
}

}  // namespace
}  // namespace tarn
