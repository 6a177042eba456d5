// The cash drawers and the customer display, as the printer receives their commands.
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

class DevicesTest : public ReceiptTest {
protected:
    void StartWith(int type, int displayType) {
        sim::PrinterModel model;
        model.type = type;
        model.displayType = displayType;
        UsePrinter(model);
        Lib().started = false;
        ASSERT_EQ(mfStart(0, 1), 0);
        Sent();
    }
    // The display command: 'R', the text, ESC 'S'.
    static Bytes Display(const std::string& text) { return Frame({'R'}, text, {0x1B, 'S'}); }
};

TEST_F(DevicesTest, DrawerTypesAreListedAndChosen) {
    char name[6] = "x";
    int count = -1;
    Lib().mfErrorL = 5;
    EXPECT_EQ(mfParDrawer(1, name, &count), 0);
    EXPECT_STREQ(name, "ZR350");
    EXPECT_EQ(count, 3);
    EXPECT_EQ(mfParDrawer(0, name, &count), 0);
    EXPECT_STREQ(name, "");
    EXPECT_EQ(count, 0);
    EXPECT_EQ(mfParDrawer(2, name, &count), 1);
    EXPECT_EQ(Lib().mfErrorL, 5);  // not changed
    EXPECT_EQ(mfDefDrawer(2, 0), -2);
    EXPECT_EQ(Lib().mfErrorL, 771);
    EXPECT_EQ(Lib().drawerType, 0);
    mfStop();
    EXPECT_EQ(mfDefDrawer(1, 0), 0);  // chosen before the session
    EXPECT_EQ(Lib().drawerType, 1);
    EXPECT_EQ(mfParDrawer(1, name, &count), -1);
}

TEST_F(DevicesTest, WithoutADrawerNothingOpensBelowType8) {
    StartWith(4, 0);
    Lib().mfErrorL = 5;
    EXPECT_EQ(mfDrawerOpen(1), 0);
    EXPECT_EQ(Lib().mfErrorL, 5);
    int open = -1;
    EXPECT_EQ(mfDrawerIsOpen(1, &open), 1);
    EXPECT_EQ(open, -1);
    EXPECT_TRUE(Sent().empty());
}

TEST_F(DevicesTest, Type8OpensItsOneDrawerWhateverTheNumber) {
    Sent();
    EXPECT_EQ(mfDrawerOpen(3), 0);
    EXPECT_EQ(Sent(), (std::vector<Bytes>{Frame({'W'})}));
    EXPECT_TRUE(printer->State().drawerOpen[0]);
}

TEST_F(DevicesTest, DrawersOneToThreeBelowType8) {
    StartWith(4, 0);
    ASSERT_EQ(mfDefDrawer(1, 0), 0);
    EXPECT_EQ(mfDrawerOpen(0), -2);
    EXPECT_EQ(Lib().mfErrorL, 771);
    EXPECT_EQ(mfDrawerOpen(4), -2);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(mfDrawerOpen(2), 0);
    EXPECT_EQ(Sent(), (std::vector<Bytes>{Frame({'X'})}));
    int open = -1;
    EXPECT_EQ(mfDrawerIsOpen(2, &open), 0);
    EXPECT_EQ(open, 1);
    EXPECT_EQ(mfDrawerIsOpen(1, &open), 0);
    EXPECT_EQ(open, 0);
    EXPECT_EQ(mfDrawerIsOpen(4, &open), -2);
    EXPECT_EQ(Lib().mfErrorL, 771);
}

TEST_F(DevicesTest, StatusByte3BitsByPrinterType) {
    const struct {
        int type;
        uint8_t status3;
        int drawer;
        int open;
    } cases[] = {{4, 0x10, 1, 1}, {4, 0x10, 2, 0}, {4, 0x30, 1, 1},
                 {4, 0x08, 3, 1}, {8, 0x00, 3, 1}, {8, 0x08, 1, 0}};
    for (const auto& c : cases) {
        StartWith(c.type, 0);
        ASSERT_EQ(mfDefDrawer(1, 0), 0);
        printer->State().drawerOpen = {true, true, true};
        printer->State().faultBits[3] = c.status3;
        int open = -1;
        ASSERT_EQ(mfDrawerIsOpen(c.drawer, &open), 0);
        EXPECT_EQ(open, c.open) << c.type << " " << int(c.status3) << " " << c.drawer;
    }
}

TEST_F(DevicesTest, ADrawerDoesNotOpenInsideANonFiscalDocument) {
    Lib().SetDocumentOpen(MF_DOC_ORDER, true);
    EXPECT_EQ(mfDrawerOpen(1), -2);
    EXPECT_EQ(Lib().mfErrorL, 770);
    Lib().SetDocumentOpen(MF_DOC_ORDER, false);
    Lib().SetDocumentOpen(MF_DOC_RECEIPT, true);
    EXPECT_EQ(mfDrawerOpen(1), 0);
}

TEST_F(DevicesTest, AFailedStatusQueryLeavesTheAnswerAlone) {
    ASSERT_EQ(mfDefDrawer(1, 0), 0);
    printer->AnswerShortNext(0);
    int open = 7;
    EXPECT_EQ(mfDrawerIsOpen(1, &open), -2);
    EXPECT_EQ(open, 7);
}

TEST_F(DevicesTest, TheType2DisplayTakesControlSequences) {
    StartWith(4, 2);
    ASSERT_EQ(mfDispTicketLine("Chleb", 250, 1000, 1250), 0);
    EXPECT_EQ(Sent(), (std::vector<Bytes>{Display("\x0B"
                                                  "112.50\n")}));
    ASSERT_EQ(mfDispTicketLine("Chleb", 250, 1000, 5), 0);
    EXPECT_EQ(Sent()[0], Display("\x0B"
                                 "10.05\n"));
    ASSERT_EQ(mfDispSum("Razem", 1250), 0);
    EXPECT_EQ(Sent()[0], Display("\x0B"
                                 "212.50\n"));
    ASSERT_EQ(mfDispConsumerLOGO("Witamy", "w sklepie"), 0);
    const std::vector<Bytes> frames = Sent();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0], Display("\x0B"
                                 "0"));
    EXPECT_EQ(frames[1], Display("  s lepie\n"));  // w and k are not on this display
}

TEST_F(DevicesTest, TheType1DisplayCountsPointsWithThePositionBefore) {
    StartWith(4, 1);
    ASSERT_EQ(mfDispSum("Razem", 1250), 0);
    EXPECT_EQ(Sent()[0], Display("12.50     \n"));
    ASSERT_EQ(mfDispConsumerLOGO("", ".5 KG WAX,1"), 0);
    EXPECT_EQ(Sent()[0], Display("_.5  G  A .\n"));  // a point first gets "_"; K, W, X are blanks
    ASSERT_EQ(mfDispSum("", -1250), 0);
    EXPECT_EQ(Sent()[0], Display("-12.50    \n"));
}

TEST_F(DevicesTest, TheType3DisplayGetsTwoLinesCutToThirtyBytes) {
    StartWith(4, 3);
    ASSERT_EQ(mfDispConsumerLOGO("Witamy w naszym sklepie",
                                 "\xFF"
                                 "Zapraszamy"),
              0);
    const Bytes frame = Sent()[0];
    const std::string text(frame.begin() + 2, frame.end() - 2);
    EXPECT_EQ(text,
              std::string("\r\x0E\x12\x0BWitamy w naszym skle\n\f") + std::string(1, '\0') + "Zap");
}

TEST_F(DevicesTest, TheDisplayWaitsWhileAReceiptIsOpen) {
    StartWith(4, 2);
    Lib().SetDocumentOpen(MF_DOC_RECEIPT, true);
    EXPECT_EQ(mfDispTicketLine("Chleb", 250, 1000, 1250), -2);
    EXPECT_EQ(Lib().mfErrorL, 779);
    EXPECT_EQ(mfDispSum("Razem", 1250), -2);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(mfDispConsumerLOGO("a", "b"), 0);
}

TEST_F(DevicesTest, TheSummaryIsOneByteFromType4) {
    Sent();
    ASSERT_EQ(mfDispSummary("Razem", 1250, "Reszta", 50), 0);
    EXPECT_EQ(Sent(), (std::vector<Bytes>{Frame({0x80})}));
}

TEST_F(DevicesTest, TheSummaryBelowType4FitsLabelsAndAmounts) {
    StartWith(3, 3);
    ASSERT_EQ(mfDispSummary("Razem do zaplaty", 123456, "Reszta", 50), 0);
    const Bytes frame = Sent()[0];
    const std::string text(frame.begin() + 2, frame.end() - 2);
    EXPECT_EQ(text.substr(4, 21), "Razem do zap 1234,56\n");
    StartWith(3, 2);
    ASSERT_EQ(mfDispSummary("Razem", 1250, "Reszta", 50), 0);
    const std::vector<Bytes> frames = Sent();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[1], Display("\x0B"
                                 "0\x0B"
                                 "3"));
    EXPECT_EQ(frames[2], Display("      0.50\n"));
}

TEST_F(DevicesTest, WithoutADisplayNothingIsSent) {
    StartWith(3, 0);
    EXPECT_EQ(mfDispSum("Razem", 1250), 0);
    EXPECT_EQ(mfDispTicketLine("Chleb", 1, 1, 1250), 0);
    EXPECT_EQ(mfDispSummary("a", 1, "b", 2), 0);
    EXPECT_EQ(mfDispConsumerLOGO("a", "b"), 0);
    EXPECT_TRUE(Sent().empty());
    char name[11];
    int width = 0, lines = 0, mode1 = 0, mode2 = 0;
    char characters[111];
    EXPECT_EQ(mfParFiscDisp(0, name, &width, &lines, characters, &mode1, &mode2), -2);
    EXPECT_EQ(Lib().mfErrorL, 769);
    EXPECT_EQ(mfParFiscDisp(1, name, &width, &lines, characters, &mode1, &mode2), 1);
}

TEST_F(DevicesTest, ParFiscDispDescribesTheDisplay) {
    const struct {
        int type;
        const char* name;
        int width, lines, mode;
        size_t characters;
    } cases[] = {{1, "ZR350 9", 9, 1, 0, 76},
                 {2, "ZR350 9+", 9, 1, 0, 76},
                 {3, "ZR350 2*20", 20, 2, -1, 107}};
    for (const auto& c : cases) {
        StartWith(4, c.type);
        char name[11] = {};
        int width = 0, lines = 0, mode1 = 5, mode2 = 5;
        char characters[111] = {};
        ASSERT_EQ(mfParFiscDisp(0, name, &width, &lines, characters, &mode1, &mode2), 0);
        EXPECT_STREQ(name, c.name);
        EXPECT_EQ(width, c.width);
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(mode1, c.mode);
        EXPECT_EQ(mode2, c.mode);
        EXPECT_EQ(std::string(characters).size(), c.characters) << c.type;
    }
}

}  // namespace
}  // namespace tarn
