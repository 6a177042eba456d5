// The text routines of the card slips: alignment, centring with a reserve, amounts, marks.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "cardslip/slip_text.h"

namespace tarn {
namespace {

std::string Spaces(size_t n) {
    return std::string(n, ' ');
}

TEST(SlipText, AmountsHaveAFullStopBeforeTheGrosze) {
    const struct {
        int64_t value;
        const char* text;
    } rows[] = {{1234, "12.34"},
                {5, "0.05"},
                {0, "0.00"},
                {-150, "-1.50"},
                {-5, "-0.05"},
                {123456, "1234.56"},
                {100, "1.00"},
                {INT32_MAX, "21474836.47"},
                {INT32_MIN, "-21474836.48"}};
    for (const auto& r : rows) EXPECT_EQ(slipAmountText(r.value), r.text) << r.value;
}

TEST(SlipText, StatusTextsAreCentredIn30WithAReserveOf9) {
    const struct {
        std::string text;
        size_t leading;
    } rows[] = {{"ODMOWA", 7},
                {"kodem PIN", 6},
                {"OPERACJA PRZERWANA", 1},
                {"OPERACJA NIEWYKONALNA", 0},
                {"Transakcja potwierdzona", 0},
                {"Kod odpowiedzi: 51", 1},
                {"UNIEWA\xBDNIENIE", 4},
                {"", 10}};
    for (const auto& r : rows) {
        const std::string centred = centreText(r.text, 30, 9);
        EXPECT_EQ(centred, Spaces(r.leading) + r.text + Spaces(30 - r.leading - r.text.size()))
            << r.text;
    }
    const std::string longText(40, 'x');
    EXPECT_EQ(centreText(longText, 30, 9), longText.substr(0, 30));
    EXPECT_EQ(centreText("ab", 10, 20), "ab" + Spaces(8));  // no room before: left-aligned
}

TEST(SlipText, AlignmentInAField) {
    EXPECT_EQ(rightAlign("abc", 5), "  abc");
    EXPECT_EQ(rightAlign("abcdef", 3), "abcdef");
    EXPECT_EQ(rightAlign("abc", -4), "abc");
    EXPECT_EQ(rightAlign("abc", 255), Spaces(252) + "abc");
    EXPECT_EQ(rightAlign("abc", 256), "");
    EXPECT_EQ(leftAlign("abcdef", 3), "abc");
    EXPECT_EQ(leftAlign("ab", 4), "ab  ");
    EXPECT_EQ(leftAlign("ab", 0), "");
    EXPECT_EQ(cutRightAlign("abcdef", 4), "abcd");
    EXPECT_EQ(cutRightAlign("ab", 4), "  ab");
}

TEST(SlipText, AMarkIsTheLowByteOfItsValue) {
    EXPECT_EQ(markText('C'), "C");
    EXPECT_EQ(markText(0x143), "C");
    EXPECT_EQ(markText(-1), "\xFF");
    EXPECT_EQ(markText(0), "");
    EXPECT_EQ(markText(0x100), "");
}

}  // namespace
}  // namespace tarn
