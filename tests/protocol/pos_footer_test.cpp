// The footer, the point-of-sale and cashier numbers, and the printout capability answers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "receipt_fixture.h"
#include "tarn/tarn.h"

namespace tarn {
namespace {

using test::Bytes;
using test::Frame;
using test::ReceiptTest;

class PosFooterTest : public ReceiptTest {
protected:
    // The footer records the printer received (raw blocks of 42 bytes).
    std::vector<Bytes> FooterRecords() {
        std::vector<Bytes> records;
        for (const auto& frame : printer->Frames()) {
            if (frame.kind == sim::FrameKind::RawBlock) records.push_back(frame.bytes);
        }
        return records;
    }
};

Bytes Record(int line, const std::string& text) {
    Bytes record{static_cast<uint8_t>(line)};
    uint8_t check = 0;
    for (size_t i = 0; i < 40; ++i) {
        const uint8_t c = i < text.size() ? static_cast<uint8_t>(text[i]) : ' ';
        record.push_back(c);
        check ^= c;
    }
    record.push_back(check);
    return record;
}

TEST_F(PosFooterTest, TheFooterGoesOutAsThreeLinesOfForty) {
    Sent();
    const std::string text = std::string(45, 'a') + "bcdef";
    ASSERT_EQ(mfDefFooter(text.c_str()), 0);
    const std::vector<Bytes> records = FooterRecords();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0], Record(0, std::string(40, 'a')));
    EXPECT_EQ(records[1], Record(1, "aaaaabcdef"));
    EXPECT_EQ(records[2], Record(2, ""));
    EXPECT_EQ(records[2].back(), 0);  // forty spaces cancel out
    EXPECT_EQ(printer->State().footer[1], "aaaaabcdef" + std::string(30, ' '));
    EXPECT_EQ(Sent()[0], Frame({0x2E}));
}

TEST_F(PosFooterTest, TheFooterStopsQuietlyWhenThePrinterDoesNotGoOn) {
    printer->AcknowledgeNextWith(0x2E, 0x15);
    EXPECT_EQ(mfDefFooter("Zapraszamy"), 0);
    EXPECT_TRUE(FooterRecords().empty());
    printer->AnswerGarbageNext({1}, true);  // the first line is not taken
    Lib().mfErrorL = 9;
    EXPECT_EQ(mfDefFooter("Zapraszamy"), 0);
    EXPECT_EQ(FooterRecords().size(), 1u);
    EXPECT_EQ(Lib().mfErrorL, 0);
    printer->AnswerGarbageNext({202}, true);  // 202 also means go on
    printer->ClearFrames();
    EXPECT_EQ(mfDefFooter(nullptr), 0);
    EXPECT_EQ(FooterRecords().size(), 3u);
}

TEST_F(PosFooterTest, AFailedFooterExchangeIsReported) {
    printer->AnswerShortNext(0, true);
    EXPECT_EQ(mfDefFooter("Zapraszamy"), -2);
    EXPECT_EQ(Lib().mfErrorL, 514);
    EXPECT_NE(LogText().find("In mfDefFooter, result: -2"), std::string::npos);
}

TEST_F(PosFooterTest, PrintersBeforeType8HaveNoFooter) {
    StartOn(4);
    Sent();
    int lines = -1, width = -1;
    char characters[134] = "x";
    EXPECT_EQ(mfParFooter(&lines, &width, characters), -3);
    EXPECT_EQ(lines, -1);
    EXPECT_STREQ(characters, "x");
    EXPECT_EQ(mfDefFooter("Zapraszamy"), 1);
    EXPECT_TRUE(Sent().empty());
}

TEST_F(PosFooterTest, CapabilityAnswers) {
    int a = -1, b = -1, c = -1;
    char text[134] = "x";
    EXPECT_EQ(mfParHeader(&a, &b, &c, text), 0);
    EXPECT_EQ((std::vector<int>{a, b, c}), (std::vector<int>{0, 1, 10}));
    EXPECT_STREQ(text, "");
    EXPECT_EQ(mfParTicket(&a, &b), 0);
    EXPECT_EQ((std::vector<int>{a, b}), (std::vector<int>{0, 1}));
    EXPECT_EQ(mfParPLU(&a, &b, text), 0);
    EXPECT_EQ((std::vector<int>{a, b}), (std::vector<int>{999999, 28}));
    EXPECT_EQ(static_cast<uint8_t>(text[96]), 0x81);
    EXPECT_EQ(mfParFooter(&a, &b, text), 0);
    EXPECT_EQ((std::vector<int>{a, b}), (std::vector<int>{3, 40}));
    EXPECT_EQ(mfParPOS(&a, &b, &c, 0), 0);
    EXPECT_EQ((std::vector<int>{a, b, c}), (std::vector<int>{99, 99, 1}));
    EXPECT_EQ(mfParPLU(nullptr, nullptr, nullptr), 0);
    mfStop();
    EXPECT_EQ(mfParTicket(&a, &b), -1);
    EXPECT_EQ(mfDefPOS(1, 2, "x"), -1);
}

TEST_F(PosFooterTest, TheCashierIsKeptEvenWhenThePrinterRefusesTheNumbers) {
    Sent();
    ASSERT_EQ(mfDefPOS(3, 12, "Anna"), 0);
    EXPECT_EQ(Sent()[0], Frame({0x43, '0', '3', '1', '2'}));
    printer->RefuseNext({0x03, 0x00, 0x00, 0x00});
    const std::string longName(40, 'N');
    EXPECT_EQ(mfDefPOS(4, 5, longName.c_str()), -2);
    EXPECT_EQ(std::string(Lib().cashierName), std::string(30, 'N'));
    EXPECT_EQ(Lib().cashierNumber, 5);
    EXPECT_EQ(mfDefPOS(4, 6, nullptr), 0);
    EXPECT_STREQ(Lib().cashierName, "");
}

}  // namespace
}  // namespace tarn
