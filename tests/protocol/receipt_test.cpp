// The fiscal receipt against the virtual printer: opening, sale and void lines, the printer's
// cancellation, the closing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "receipt_fixture.h"
#include "tarn/tarn.h"

namespace tarn {
namespace {

using test::Bytes;
using test::Frame;
using test::kReasonQuery;
using test::ReceiptTest;

TEST_F(ReceiptTest, OpensWithOrWithoutADeclaredTotal) {
    const struct {
        int total;
        Bytes opening;
        bool declared;
    } cases[] = {{1234, Frame({0x20, 0xD2, 0x04, 0x00, 0x00}), true},
                 {0, Frame({0x21}), false},
                 {-1, Frame({0x21}), false}};
    for (const auto& c : cases) {
        printer->ClearFrames();
        ASSERT_EQ(mfBeginTicket(c.total), 0) << c.total;
        EXPECT_EQ(Sent().back(), c.opening);
        EXPECT_TRUE(ReceiptOpen());
        ASSERT_EQ(Sell("Chleb", 'A', 250, 2000), 0);
        EXPECT_EQ(Total(), c.declared ? c.total : 500) << c.total;
        ASSERT_EQ(mfStornoTicket(), 0);
    }
}

TEST_F(ReceiptTest, OpeningIsRefusedInsideADocumentAndWithoutASession) {
    Lib().SetDocumentOpen(MF_DOC_ORDER, true);
    printer->ClearFrames();
    EXPECT_EQ(mfBeginTicket(100), -2);
    EXPECT_EQ(Lib().mfErrorL, 779);
    EXPECT_TRUE(Sent().empty());
    Lib().SetDocumentOpen(MF_DOC_ORDER, false);
    mfSetDebugLevel(9);
    mfStop();
    EXPECT_EQ(mfBeginTicket(100), -1);
}

TEST_F(ReceiptTest, OpeningEndsADocumentThePrinterStillHoldsAndClosesTheDayItAsksFor) {
    printer->State().receiptOpen = true;
    printer->State().dayMustClose = true;
    Sent();
    ASSERT_EQ(mfBeginTicket(-1), 0);
    const std::vector<Bytes> frames = Sent();
    const auto has = [&frames](const Bytes& f) {
        return std::find(frames.begin(), frames.end(), f) != frames.end();
    };
    EXPECT_TRUE(has(Frame({0x51})));
    EXPECT_TRUE(has(Frame({0x23})));
    EXPECT_TRUE(has(Frame({0x25})));
    EXPECT_EQ(frames.back(), Frame({0x21}));
}

TEST_F(ReceiptTest, OpeningIsRefusedByTheStatusBytes) {
    const struct {
        int byteIndex;
        uint8_t bit;
        int code;
    } cases[] = {{2, 0x02, 784}, {1, 0x10, 518}, {1, 0x40, 513}, {3, 0x80, 257}, {2, 0x80, 257}};
    for (const auto& c : cases) {
        printer->State().faultBits = {};
        printer->State().faultBits[static_cast<size_t>(c.byteIndex)] = c.bit;
        EXPECT_EQ(mfBeginTicket(-1), -2);
        EXPECT_EQ(Lib().mfErrorL, c.code) << c.byteIndex << " " << int(c.bit);
        EXPECT_FALSE(ReceiptOpen());
    }
}

TEST_F(ReceiptTest, ASaleLineIsFiftyBytesWithTheFixedUpName) {
    ASSERT_EQ(mfBeginTicket(-1), 0);
    Sent();
    ASSERT_EQ(Sell("Chleb", 'A', 250, 2000), 0);
    const std::vector<Bytes> frames = Sent();
    ASSERT_EQ(frames.size(), 2u);
    Bytes line = Frame({0x06, 0x20}, "Chleb....." + std::string(18, ' '));
    const Bytes rest{0x30, 0xD0, 0x07, 0x00, 0x00, 0x03, 's',  'z',  't',  ' ',
                     0xFA, 0x00, 0x00, 0x00, 0x1B, 0x01, 0xF4, 0x01, 0x00, 0x00};
    line.insert(line.end(), rest.begin(), rest.end());
    EXPECT_EQ(frames[0], line);
    EXPECT_EQ(frames[1], kReasonQuery);
    EXPECT_STREQ(Lib().receipt.lastLineName, "Chleb");
    EXPECT_EQ(Lib().receipt.lastLineValue, 500);
}

TEST_F(ReceiptTest, ALineWhoseValueLeaves32BitsIsRefusedBeforeAnythingChanges) {
    ASSERT_EQ(mfBeginTicket(-1), 0);
    Sent();
    EXPECT_EQ(Sell("Kawa mielona 250g", 'A', 5000000, 1000000), -2);
    EXPECT_EQ(Lib().mfErrorL, 771);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(Total(), 0);
    EXPECT_TRUE(ReceiptOpen());
}

TEST_F(ReceiptTest, TheReasonForACancelledReceiptBecomesItsCode) {
    printer->BlockItem("Kawa mielona 500g");
    const struct {
        const char* name;
        int price;
        char forcedReason;  // 0: the printer finds its own reason
        int code;
    } cases[] = {{"Kawa mielona 500g", 3199, 0, 773},  // a blocked item
                 {"Chleb", 100000000, 0, 771},         // an amount out of range
                 {"Chleb", 250, '2', 771},
                 {"Chleb", 250, 'T', 771},
                 {"Chleb", 250, 'Z', 769}};
    for (const auto& c : cases) {
        ASSERT_EQ(mfBeginTicket(-1), 0);
        if (c.forcedReason != 0) printer->CancelReceiptWith(c.forcedReason);
        EXPECT_EQ(Sell(c.name, 'A', c.price, 1000), -2) << c.name << c.forcedReason;
        EXPECT_EQ(Lib().mfErrorL, c.code) << c.name << c.forcedReason;
        EXPECT_FALSE(ReceiptOpen());
        EXPECT_FALSE(printer->ReceiptOpen());
    }
}

TEST_F(ReceiptTest, EveryReasonCharacterHasItsCode) {
    const std::string outOfRange = "27FGJKRST";
    for (const char reason : std::string("27FGJKRSTCXZa!")) {
        ASSERT_EQ(mfBeginTicket(-1), 0);
        printer->CancelReceiptWith(reason);
        EXPECT_EQ(Sell("Chleb", 'A', 250, 1000), -2);
        const int expected =
            reason == 'C' ? 773 : (outOfRange.find(reason) != std::string::npos ? 771 : 769);
        EXPECT_EQ(Lib().mfErrorL, expected) << reason;
    }
}

TEST_F(ReceiptTest, OlderPrintersNameTheCancellationByStatusBits) {
    const struct {
        int byteIndex;
        uint8_t bit;
        int code;
    } rows[] = {{1, 0x01, 258}, {1, 0x08, 777}, {1, 0x10, 257}, {1, 0x20, 773}, {1, 0x40, 513},
                {1, 0x80, 257}, {2, 0x02, 784}, {2, 0x04, 257}, {2, 0x08, 515}, {2, 0x10, 769},
                {2, 0x20, 513}, {2, 0x40, 784}, {2, 0x80, 257}};
    StartOn(2);
    for (const auto& row : rows) {
        printer->State().faultBits = {};
        ASSERT_EQ(mfBeginTicket(-1), 0);
        printer->State().faultBits[static_cast<size_t>(row.byteIndex)] = row.bit;
        EXPECT_EQ(Sell("Chleb", 'A', 250, 1000), -2);
        EXPECT_EQ(Lib().mfErrorL, row.code) << row.byteIndex << " " << int(row.bit);
        printer->State().faultBits = {};
        printer->State().receiptOpen = false;
        Lib().SetDocumentOpen(MF_DOC_RECEIPT, false);
    }
}

TEST_F(ReceiptTest, AFailedStatusQueryFailsTheOpeningWithItsCode) {
    platform->FailWriteStarting({0x1B, 0x56});
    EXPECT_EQ(mfBeginTicket(-1), -2);
    EXPECT_EQ(Lib().mfErrorL, 514);
    EXPECT_FALSE(ReceiptOpen());
    EXPECT_FALSE(printer->ReceiptOpen());
}

TEST_F(ReceiptTest, NullTextsAreEmptyAndLongNamesAreKeptTo42) {
    ASSERT_EQ(mfBeginTicket(-1), 0);
    ASSERT_EQ(mfLineTicket(0, nullptr, 'A', nullptr, 250, 1000, 0), 0);
    const std::string longName(50, 'n');
    ASSERT_EQ(Sell(longName.c_str(), 'A', 250, 1000), 0);
    EXPECT_EQ(std::string(Lib().receipt.lastLineName), longName.substr(0, 42));
    EXPECT_EQ(mfEndTicket(0, 0, 0, 500, nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0, nullptr,
                          nullptr, nullptr),
              0);
}

TEST_F(ReceiptTest, OlderPrintersShowACancellationInTheirStatusBytes) {
    StartOn(3, 2);
    ASSERT_EQ(mfBeginTicket(-1), 0);
    Sent();
    printer->BlockItem("Chleb.....");
    EXPECT_EQ(Sell("Chleb", 'A', 250, 1000), -2);
    EXPECT_EQ(Lib().mfErrorL, 773);
    const std::vector<Bytes> frames = Sent();
    EXPECT_EQ(frames[frames.size() - 2], Frame({0x54}));
    EXPECT_EQ(frames.back(), Frame({0x55}));
}

TEST_F(ReceiptTest, OutOfPaperAnOlderPrintersReceiptIsCancelledAndThe784Stays) {
    StartOn(2);
    ASSERT_EQ(mfBeginTicket(-1), 0);
    ASSERT_EQ(Sell("Chleb", 'A', 250, 1000), 0);
    Sent();
    printer->SetPaperOut(true);
    EXPECT_EQ(Sell("Woda mineralna", 'A', 199, 1000), -2);
    EXPECT_EQ(Lib().mfErrorL, 784);
    EXPECT_EQ(Sent().back(), Frame({0x23}));
    EXPECT_FALSE(ReceiptOpen());
}

TEST_F(ReceiptTest, OutOfPaperANewerPrinterNamesItsReason) {
    ASSERT_EQ(mfBeginTicket(-1), 0);
    printer->SetPaperOut(true);
    EXPECT_EQ(Sell("Chleb", 'A', 250, 1000), -2);
    EXPECT_EQ(Lib().mfErrorL, 769);
    EXPECT_FALSE(ReceiptOpen());
}

TEST_F(ReceiptTest, AVoidCarriesTheFixedUpNameAndTheVoidSign) {
    ASSERT_EQ(mfBeginTicket(-1), 0);
    ASSERT_EQ(Sell("Chleb", 'A', 250, 2000), 0);
    Sent();
    ASSERT_EQ(mfStornoLineTicket(0, "Chleb", 'A', "szt", 250, 2000, 0), 0);
    const Bytes line = Sent()[0];
    EXPECT_EQ(line[2], '-');
    EXPECT_EQ(std::string(line.begin() + 3, line.begin() + 31),
              "Chleb....." + std::string(18, ' '));
    EXPECT_EQ(Total(), 0);
    EXPECT_STREQ(Lib().receipt.lastLineName, "Chleb");
}

TEST_F(ReceiptTest, LinesAndCancellationNeedAnOpenReceipt) {
    EXPECT_EQ(Sell("Chleb", 'A', 250, 1000), -2);
    EXPECT_EQ(Lib().mfErrorL, 780);
    EXPECT_EQ(mfStornoLineTicket(0, "Chleb", 'A', "szt", 250, 1000, 0), -2);
    EXPECT_EQ(mfStornoTicket(), -2);
    EXPECT_EQ(Lib().mfErrorL, 780);
}

TEST_F(ReceiptTest, CancellingClearsTheReceiptEvenWhenTheExchangeFails) {
    ASSERT_EQ(mfBeginTicket(-1), 0);
    printer->SetSilent(true);
    EXPECT_EQ(mfStornoTicket(), -2);
    EXPECT_EQ(Lib().mfErrorL, 514);
    EXPECT_FALSE(ReceiptOpen());
}

// The closing on a type-8 printer, byte for byte.
TEST_F(ReceiptTest, ClosesAnUndeclaredReceiptWithItsPaymentAndCashier) {
    ASSERT_EQ(mfDefPOS(1, 7, "Anna"), 0);
    ASSERT_EQ(mfBeginTicket(-1), 0);
    ASSERT_EQ(Sell("Chleb pszenny", 'A', 1000, 1000), 0);
    Sent();
    ASSERT_EQ(Close(1000), 0);
    std::vector<Bytes> frames = Sent();
    while (!frames.empty() && frames.back() == Frame({0x55}))
        frames.pop_back();  // waiting for the printer
    const std::vector<Bytes> expected = {
        Frame({0x07, 0xE8, 0x03, 0x00, 0x00}),
        kReasonQuery,
        Frame({0x09, 0x3E},
              "P\x9D"
              "ACI" +
                  std::string(19, ' ') + "10,00  \n"),
        Frame({0x81, 0x01}, "Got\xA2wka      ", {0xE8, 0x03, 0x00, 0x00}),
        kReasonQuery,
        Frame({0x09, 0x35}, "07-Anna\n"),
        kReasonQuery,
        Frame({0x24}),
    };
    EXPECT_EQ(frames, expected);
    EXPECT_FALSE(ReceiptOpen());
    EXPECT_EQ(Lib().mfErrorL, 0);
}

}  // namespace
}  // namespace tarn
