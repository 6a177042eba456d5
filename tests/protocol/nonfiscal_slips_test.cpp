// The card-payment slip of mfPrVISA and the prepaid voucher: their records, their optional
// lines and the printers that have them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "receipt_fixture.h"
#include "tarn/tarn.h"

namespace tarn {
namespace {

// A line code and the text right-aligned (width > 0) or left-aligned (width < 0), then LF.
std::string Line(const char* code, const std::string& text, int width) {
    const std::string pad(static_cast<size_t>(width < 0 ? -width : width) - text.size(), ' ');
    return code + (width < 0 ? text + pad : pad + text) + "\n";
}

class SlipsTest : public test::FormRecordTest {
protected:
    int Visa(int flag1, int flag2, const char* text18 = "t18") {
        return mfPrVISA(flag1, flag2, "t3", "t4", "t5", "t6", "t7", "t8", "t9", "t10", "t11", "t12",
                        "t13", "t14", "t15", "t16", "t17", text18);
    }
    int Voucher(int kind, const char* dateTime, int n5, int n6, int n7, int n8, const char* t13,
                int n14, const char* t15, const char* t16) {
        return mfPrPrePaid_Voucher(kind, dateTime, "Karta podarunkowa", "PLN", n5, n6, n7, n8, "t9",
                                   "t10", "t11", "t12", t13, n14, t15, t16);
    }
};

TEST_F(SlipsTest, TheCardPaymentSlipRecord) {
    ASSERT_EQ(Visa(1, 1), 0);
    const std::string expected =
        "\x1bs80" + Line("10", "t3", 23) + "20" + Line("30", "t4", 23) + Line("40", "t6", 34) +
        Line("50", "t5", 27) + Line("60", "t11", 34) + Line("70", "t7", 35) + Line("80", "t8", 35) +
        Line("90", "t9", 33) + Line("01", "t10", 32) + "11" + Line("21", "t12", 33) +
        Line("31", "t13", 30) + "41" + Line("51", "t14", 21) + "61" + Line("71", "t15", 30) +
        Line("81", "t16", 30) + Line("91", "t17", -31) + Line("02", "t18", -31) +
        "3242526272829203132333\x1bQ";
    EXPECT_EQ(Record(), expected);
    EXPECT_EQ(Lib().documentFlags, 0u);
    EXPECT_EQ(Lib().mfErrorL, 0);
}

// From line "02" on: text18 over up to three lines of 31, then the ending by the two flags.
TEST_F(SlipsTest, TheCardSlipEndsByItsLastTextAndFlags) {
    std::string text(100, 'x');
    for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>('A' + i % 26);
    const std::string first = Line("02", text.substr(0, 31), -31);
    const std::string second = Line("12", text.substr(31, 31), -31);
    const struct {
        int flag1, flag2;
        size_t length;
        std::string tail;
    } rows[] = {
        {0, 0, 0, Line("02", "", -31) + "324272"},
        {1, 0, 31, first + "3242526272"},
        {0, 1, 32, first + Line("12", text.substr(31, 1), -31) + "3242728292031323"},
        {2, 2, 70, first + second + Line("22", text.substr(62, 8), -31) + "324272"},
        {1, 1, 100,
         first + second + Line("22", text.substr(62, 31), -31) + "3242526272829203132333"},
    };
    for (const auto& r : rows) {
        ASSERT_EQ(Visa(r.flag1, r.flag2, text.substr(0, r.length).c_str()), 0);
        const std::string record = Record();
        EXPECT_EQ(record.substr(record.find("\n02") + 1), r.tail + "\x1bQ") << r.length;
    }
}

TEST_F(SlipsTest, TheVoucherRecordWithEveryLine) {
    ASSERT_EQ(Voucher(1, "202612011430", 5, 6, 7, 8, "t13", 14, "t15", "t16"), 0);
    const std::string expected =
        "\x1bs2330"
        "01  2026-12-01   \n"
        "11   14:30   \n" +
        Line("21", "Karta podarunkowa", -20) + Line("31", "PLN", -10) + Line("41", "5", 25) +
        Line("61", "7", 29) + Line("71", "6", 25) + Line("81", "t9", 31) + Line("91", "t10", 30) +
        Line("12", "t11", 25) + "32" + Line("82", "t15", 21) + Line("92", "14", 24) +
        Line("23", "8", 27) + Line("33", "t12", 25) + "53" + Line("63", "t13", 19) + "7383" +
        Line("14", "t16", 36) + "\x1bQ";
    EXPECT_EQ(Record(), expected);
}

TEST_F(SlipsTest, TheVoucherLeavesOutWhatItWasNotGiven) {
    ASSERT_EQ(Voucher(9, "202612011430", -1, -1, -1, -5, "", 0, "", ""), 0);
    const std::string expected =
        "\x1bs2330"
        "01  2026-12-01   \n"
        "11   14:30   \n" +
        Line("21", "Karta podarunkowa", -20) + Line("31", "PLN", -10) + Line("81", "t9", 31) +
        Line("91", "t10", 30) + Line("12", "t11", 25) + Line("23", "-5", 27) +
        Line("33", "t12", 25) + "\x1bQ";
    EXPECT_EQ(Record(), expected);

    // The kind's line, and the last line by printer type: text16, else text15.
    const struct {
        int kind;
        const char* code;
    } kinds[] = {{1, "32"}, {2, "52"}, {3, "62"}, {4, "72"}, {5, "42"}};
    for (const auto& k : kinds) {
        ASSERT_EQ(Voucher(k.kind, "202612011430", 0, 0, 0, 0, "", 0, "", ""), 0);
        EXPECT_NE(Record().find(Line("12", "t11", 25) + k.code + Line("23", "0", 27)),
                  std::string::npos)
            << k.kind;
    }
    ASSERT_EQ(Voucher(1, "202612011430", 0, 0, 0, 0, "", 0, "t15", ""), 0);
    EXPECT_NE(Record().find(Line("14", "t15", 36)), std::string::npos);
    StartOn(4, 4);
    Sent();
    ASSERT_EQ(Voucher(1, "202612011430", 0, 0, 0, 0, "", 0, "t15", "t16"), 0);
    EXPECT_EQ(Record().find("\n14"), std::string::npos);
}

TEST_F(SlipsTest, AShortDateTimeReadsAsPaddedWithSpaces) {
    const struct {
        const char* dateTime;
        const char* date;
        const char* time;
    } rows[] = {
        {"2026120114", "  2026-12-01   ", "   14:     "},
        {"2026", "  2026-  -     ", "     :     "},
        {nullptr, "      -  -     ", "     :     "},
        {"20261201143099", "  2026-12-01   ", "   14:30   "},
    };
    for (const auto& r : rows) {
        ASSERT_EQ(Voucher(0, r.dateTime, -1, -1, -1, 0, "", 0, "", ""), 0);
        const std::string record = Record();
        EXPECT_EQ(record.substr(6, 2 + 15 + 1 + 2 + 11),
                  std::string("01") + r.date + "\n11" + r.time)
            << (r.dateTime != nullptr ? r.dateTime : "null");
    }
}

TEST_F(SlipsTest, TheVoucherNeedsType5OrVersion4AndLeavesTheTypeAlone) {
    const struct {
        int type;
        int version;
        bool printed;
    } printers[] = {{4, 3, false}, {2, 3, false}, {2, 4, true}, {4, 4, true}, {10, 1, true}};
    for (const auto& p : printers) {
        StartOn(p.type, p.version);
        Sent();
        Lib().documentFlags = MF_DOC_ORDER;  // no document test
        EXPECT_EQ(mfParPrePaid_Voucher(), p.printed ? 0 : -3);
        EXPECT_EQ(Voucher(1, "202612011430", 1, 1, 1, 1, "", 0, "", ""), p.printed ? 0 : 1);
        EXPECT_EQ(Lib().mfErrorL, 0);
        EXPECT_EQ(Lib().printerType, p.type);
        if (!p.printed) {
            EXPECT_TRUE(Sent().empty());
        }
        Lib().documentFlags = 0;
    }
    printer->RefuseNext({0x03, 0x00, 0x02, 0x00});
    EXPECT_EQ(Voucher(1, "202612011430", 1, 1, 1, 1, "", 0, "", ""), -2);
    EXPECT_EQ(Lib().mfErrorL, 784);
    mfStop();
    EXPECT_EQ(mfParPrePaid_Voucher(), -1);
    EXPECT_EQ(Voucher(1, "202612011430", 1, 1, 1, 1, "", 0, "", ""), -1);
    EXPECT_EQ(mfPrVISA(0, 0, "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", ""), -1);
}

}  // namespace
}  // namespace tarn
