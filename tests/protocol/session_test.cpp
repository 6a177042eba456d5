// Opening and closing the session against the virtual printer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tarn/tarn.h"
#include "virtual_printer_test.h"

namespace tarn {
namespace {

using Bytes = std::vector<uint8_t>;

class SessionTest : public test::VirtualPrinterTest {
protected:
    sim::PrinterModel Model(int type, int version) {
        sim::PrinterModel model;
        model.type = type;
        model.version = version;
        return model;
    }
    bool Sent(const Bytes& frame) const {
        for (const auto& f : ReceivedFrames()) {
            if (f == frame) return true;
        }
        return false;
    }
};

struct IdentityCase {
    int type;
    int version;
    int printerType;
    int libraryVersion;
};

TEST_F(SessionTest, IdentifiesEveryPrinterType) {
    const IdentityCase cases[] = {
        {1, 5, 1, 5}, {2, 6, 2, 6}, {3, 7, 3, 1}, {4, 2, 4, 2}, {8, 3, 8, 3}, {10, 4, 10, 4},
    };
    for (const IdentityCase& c : cases) {
        SCOPED_TRACE(c.type);
        UsePrinter(Model(c.type, c.version));
        ASSERT_EQ(mfStart(0, 1), 0);
        EXPECT_EQ(Lib().printerType, c.printerType);
        int version = -1;
        int second = -1;
        EXPECT_EQ(mfGetVersion(&version, &second), 0);
        EXPECT_EQ(version, c.libraryVersion);
        EXPECT_EQ(second, 0);
        EXPECT_EQ(mfStop(), 0);
        ReplaceLibrary(std::make_unique<Library>(nullptr));
    }
}

TEST_F(SessionTest, AType8PrinterIsNotAskedForStatusByte0) {
    ASSERT_EQ(mfStart(0, 1), 0);
    EXPECT_FALSE(Sent({0x1B, 0x5B}));
    EXPECT_TRUE(Sent({0x1B, 0xF6}));
}

TEST_F(SessionTest, AnUnknownFamilyLeavesTheTypeUnknownAndTheStartGoesOn) {
    printer->AnswerGarbageNext({99});
    const int64_t start = Now();
    ASSERT_EQ(mfStart(0, 1), 0);
    EXPECT_EQ(Lib().printerType, -1);
    EXPECT_FALSE(Sent({0x1B, 0xF6}));
    // Below type 4 every acknowledged exchange waits 800 ms after its acknowledge.
    EXPECT_GE(Now() - start, 800 * 5);
}

TEST_F(SessionTest, StartsThroughTheSequenceAndLogsItAtTheFullLevel) {
    mfSetDebugLevel(9);
    ASSERT_EQ(mfStart(0, 1), 0);
    const std::vector<Bytes> expected = {
        {0x1B, 0xFF}, {0x1B, 0xF6}, {0x1B, 0x66}, {0x1B, 0x2A},
        {0x1B, 0x54}, {0x1B, 0x54}, {0x1B, 0x56},
    };
    EXPECT_EQ(ReceivedFrames(), expected);
    const std::string log = LogText();
    EXPECT_NE(log.find("In mfStart, port: 1\n"), std::string::npos);
    EXPECT_NE(log.find("In mfStart, PrinterType: 8, Version: 2, Result: 0\n"), std::string::npos);
    EXPECT_NE(log.find("In mfStart MF_OK\n"), std::string::npos);
}

TEST_F(SessionTest, RecoversAnInterruptedReceipt) {
    printer->State().receiptOpen = true;
    ASSERT_EQ(mfStart(0, 1), 0);
    EXPECT_TRUE(Sent({0x1B, 0x51}));
    EXPECT_TRUE(Sent({0x1B, 0x23}));
    EXPECT_FALSE(printer->State().receiptOpen);
    EXPECT_NE(printer->Roll().AsUtf8().find("PARAGON ANULOWANY"), std::string::npos);
}

TEST_F(SessionTest, FailsWith769WhenThePrinterKeepsADocumentOpen) {
    printer->State().faultBits[1] = 0x02;
    EXPECT_EQ(mfStart(0, 1), -2);
    EXPECT_EQ(Lib().mfErrorL, 769);
    EXPECT_FALSE(Lib().started);
    EXPECT_EQ(mfError(), -1);  // the session stayed closed
}

TEST_F(SessionTest, ClosesTheDayWhenThePrinterAsksForIt) {
    printer->State().dayMustClose = true;
    printer->State().receiptsToday = 3;
    ASSERT_EQ(mfStart(0, 1), 0);
    EXPECT_TRUE(Sent({0x1B, 0x25}));
    EXPECT_EQ(printer->State().receiptsToday, 0);
    EXPECT_NE(printer->Roll().AsUtf8().find("RAPORT DOBOWY"), std::string::npos);
}

struct DisplayCase {
    int modelDisplay;
    uint8_t extraBits;
    int displayType;
};

TEST_F(SessionTest, TakesTheDisplayTypeFromStatusByte3) {
    const DisplayCase cases[] = {{0, 0, 0}, {1, 0, 1}, {2, 0, 2}, {3, 0, 3}, {0, 0x07, 6}};
    for (const DisplayCase& c : cases) {
        sim::PrinterModel model;
        model.displayType = c.modelDisplay;
        UsePrinter(model);
        printer->State().faultBits[3] = c.extraBits;
        Lib().started = false;
        ASSERT_EQ(mfStart(0, 1), 0);
        EXPECT_EQ(Lib().displayType, c.displayType) << c.modelDisplay << " " << int(c.extraBits);
    }
}

TEST_F(SessionTest, AStartWhileStartedSendsNothing) {
    ASSERT_EQ(mfStart(0, 1), 0);
    printer->ClearFrames();
    Lib().mfErrorL = 5;
    EXPECT_EQ(mfStart(0, 1), -1);
    EXPECT_EQ(Lib().mfErrorL, 0);
    EXPECT_TRUE(printer->Frames().empty());
}

TEST_F(SessionTest, AStartThatCannotReachThePrinterFailsAndLeavesTheSessionClosed) {
    printer->SetUnplugged(true);
    EXPECT_EQ(mfStart(0, 1), -2);
    EXPECT_EQ(Lib().mfErrorL, 514);
    EXPECT_FALSE(Lib().started);
    printer->SetUnplugged(false);
    EXPECT_EQ(mfStart(0, 1), 0);
}

TEST_F(SessionTest, Start2TakesThePortFromItsThirdArgumentAndStart3DoesNothing) {
    EXPECT_EQ(mfStart2(0, 0, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0),
              -2);  // no printer on 7
    EXPECT_EQ(mfStart2(0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), 0);
    mfStop();
    printer->ClearFrames();
    Lib().mfErrorL = 9;
    EXPECT_EQ(mfStart3(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), 1);
    EXPECT_EQ(Lib().mfErrorL, 0);
    EXPECT_TRUE(printer->Frames().empty());
}

TEST_F(SessionTest, StopClosesTheLogForGoodAndCanBeCalledTwice) {
    mfSetDebugLevel(9);
    ASSERT_EQ(mfStart(0, 1), 0);
    Lib().SetDocumentOpen(MF_DOC_ORDER, true);
    EXPECT_EQ(mfStop(), 0);
    EXPECT_EQ(mfStop(), 0);
    const std::string log = LogText();
    EXPECT_NE(log.find("In mfStop\n"), std::string::npos);
    EXPECT_EQ(log.substr(log.size() - 23), "***** LOG CLOSED *****\n");
    ASSERT_EQ(mfStart(0, 1), 0);
    EXPECT_EQ(LogText(), log);                        // nothing more is written
    EXPECT_TRUE(Lib().IsDocumentOpen(MF_DOC_ORDER));  // flags outlive the session
}

}  // namespace
}  // namespace tarn
