// The cash drawers and the customer display through the interface, as the printer receives
// their commands.
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "library_test.h"

namespace tarn::test {
namespace {

Frame Display(const std::string& text) {
    return Esc("R" + text + "\x1BS");
}

class DevicesTest : public LibraryTest {
protected:
    // A session with a display of `displayType`, `status3` added to status byte 3 and the drawer
    // type chosen before it.
    void StartWith(int type, int displayType, uint8_t status3 = 0, int drawerType = 0) {
        sim::PrinterModel model = Model(type);
        model.displayType = displayType;
        Load(model);
        printer->State().faultBits[3] = status3;
        ASSERT_EQ(mfDefDrawer(drawerType, 0), 0);
        ASSERT_EQ(mfStart(0, 1), 0);
        Sent();
    }
};

// Below type 8 the drawers are 1 to 3 ('W', 'X', 'Y') once a drawer type is chosen, each open
// while its bit in status byte 3 is clear (0x08, 0x10, 0x20); type 8 has one drawer, opened
// whatever the number and the type, and one bit, 0x08. Not inside a non-fiscal document.
TEST_F(DevicesTest, OpeningADrawerAskingWhetherItIsOpenAndListingTheTypes) {
    // clang-format off
    const struct { int type, drawerType; uint8_t status3; int drawer; Outcome opened;
                   std::vector<Frame> sent; Outcome asked; int open; } rows[] = {
        {4, 0, 0, 1, {0, 514}, {}, {1, 514}, -1},  // no drawer: the earlier failure's code stays
        {4, 1, 0, 1, {0, 0}, {Esc("W")}, {0, 0}, 1}, {4, 1, 0x08, 1, {0, 0}, {Esc("W")}, {0, 0}, 0},
        {4, 1, 0x30, 1, {0, 0}, {Esc("W")}, {0, 0}, 1}, {4, 1, 0, 2, {0, 0}, {Esc("X")}, {0, 0}, 1},
        {4, 1, 0x10, 2, {0, 0}, {Esc("X")}, {0, 0}, 0}, {4, 1, 0, 3, {0, 0}, {Esc("Y")}, {0, 0}, 1},
        {4, 1, 0, 0, {-2, 771}, {}, {-2, 771}, -1}, {4, 1, 0, 4, {-2, 771}, {}, {-2, 771}, -1},
        {8, 0, 0, 3, {0, 0}, {Esc("W")}, {1, 0}, -1}, {8, 1, 0, 2, {0, 0}, {Esc("W")}, {0, 0}, 1},
        {8, 1, 0x08, 3, {0, 0}, {Esc("W")}, {0, 0}, 0},
    };
    // clang-format on
    for (const auto& r : rows) {
        SCOPED_TRACE(&r - rows);
        StartWith(r.type, 0, r.status3, r.drawerType);
        printer->AnswerShortNext(1);  // a failure whose code the calls may keep or clear
        EXPECT_EQ(mfGetLastTicketNo(nullptr), -2);
        Sent();
        EXPECT_EQ(Coded(mfDrawerOpen(r.drawer)), r.opened);
        EXPECT_EQ(Sent(), r.sent);
        int open = -1;
        EXPECT_EQ(Coded(mfDrawerIsOpen(r.drawer, &open)), r.asked);
        EXPECT_EQ(open, r.open);
    }
    printer->AnswerShortNext(0);
    int open = 7, count = -1;
    EXPECT_EQ(mfDrawerIsOpen(1, &open), -2);
    EXPECT_EQ(open, 7);
    char name[6] = "x";
    EXPECT_EQ(mfParDrawer(1, name, &count), 0);
    EXPECT_EQ(std::string(name) + " " + std::to_string(count), "ZR350 3");
    EXPECT_EQ(mfParDrawer(0, name, &count), 0);
    EXPECT_EQ(std::string(name) + " " + std::to_string(count), " 0");
    EXPECT_EQ(Coded(mfParDrawer(2, name, &count)), std::make_pair(1, 514));  // the code stays
    EXPECT_EQ(Coded(mfDefDrawer(2, 0)), std::make_pair(-2, 771));
    printer->RefuseNext({3, 0, 2, 0});
    EXPECT_EQ(Coded(mfDrawerOpen(1)), std::make_pair(-2, 784));
    ASSERT_EQ(mfBgOrder("Stolik 4", "Zamowienie"), 0);
    Sent();
    EXPECT_EQ(Coded(mfDrawerOpen(1)), std::make_pair(-2, 770));
    EXPECT_TRUE(Sent().empty());
    ASSERT_EQ(mfEndOrder(), 0);
    ASSERT_EQ(mfBeginTicket(-1), 0);
    EXPECT_EQ(mfDrawerOpen(1), 0);  // a receipt does not stop it
    Load();
    EXPECT_EQ(mfParDrawer(1, name, &count), -1);
}

// What each display type is sent: type 2 takes control sequences, type 1 counts a point with
// the position before it and knows no K, M, V, W, X; type 3 takes each of its two lines in a
// command of its own (one command carries 30 bytes).
// Below type 4 the summary is composed by the library: each amount with its label (type 3 only)
// on a line of the display's width. Without a display nothing is sent. A display that refuses:
// type 2 reports it; the others answer 0, the line keeping the failure's code and the total
// clearing it; the free texts stop after a failed control sequence. An open receipt keeps the
// line and the total off the display; the summary and the free texts run.
TEST_F(DevicesTest, EachDisplayTypeGetsItsTextUnlessItRefusesOrAReceiptIsOpen) {
    int (*summary)() = [] { return mfDispSummary("Razem", 1250, "Reszta", 50); };
    int (*line)() = [] { return mfDispTicketLine("Chleb", 250, 1000, 1250); };
    int (*sum)() = [] { return mfDispSum("Razem", 1250); };
    int (*texts)() = [] { return mfDispConsumerLOGO("a", "b"); };
    const std::vector<Frame> nak{Esc("R"), Esc("["), Esc("T"), Esc("U"), Esc("V")};
    // clang-format off
    const struct { int type, display; int (*show)(); std::vector<Frame> sent; Outcome outcome{0, 0};
                   bool refused = false, receipt = false; const char* logged = ""; } rows[] = {
        {4, 2, line, {Display("\x0B" "112.50\n")}}, {4, 2, sum, {Display("\x0B" "212.50\n")}},
        {4, 2, [] { return mfDispTicketLine("Chleb", 250, 1000, 5); }, {Display("\x0B" "10.05\n")}},
        {4, 2, [] { return mfDispConsumerLOGO("Witamy", "w sklepie"); },
         {Display("\x0B" "0"), Display("  s lepie\n")}},
        {4, 2, [] { return mfDispConsumerLOGO("", ".5"); },
         {Display("\x0B" "0"), Display("_.5       \n")}},
        {4, 1, sum, {Display("12.50     \n")}}, {8, 0, summary, {Esc("\x80")}},
        {4, 1, [] { return mfDispSum("", -1250); }, {Display("-12.50    \n")}},
        {4, 1, [] { return mfDispSum("", 0); }, {Display("0.00      \n")}},
        {4, 1, [] { return mfDispConsumerLOGO("", ".5 KG WAX,1"); }, {Display("_.5  G  A .\n")}},
        {4, 3, [] { return mfDispConsumerLOGO("Witamy w naszym sklepie", "\xFFZapraszamy"); },
         {Display("\r\x0E\x12\x0BWitamy w naszym skle\n"),
          Display("\f" + std::string(1, '\0') + "Zapraszamy         \n")}},
        {3, 3, [] { return mfDispSummary("Razem do zaplaty", 123456, "Reszta", 50); },
         {Display("\r\x0E\x12\x0BRazem do zap 1234,56\n"), Display("\fReszta          0,50\n")}},
        {4, 3, [] { return mfDispSum("RAZEM", 7501); },
         {Display("\r\x0E\x12\x0BRAZEM               \n"), Display("\f75.01               \n")}},
        {3, 2, summary,
         {Display("      0.50\n"), Display("\x0B" "0\x0B" "3"), Display("      0.50\n")}},
        {3, 1, summary, {Display("      0.50\n")}},  // the second line, without control sequence
        {3, 0, [] { return mfDispSum("Razem", 1250) | mfDispTicketLine("Chleb", 1, 1, 1250) |
                           mfDispSummary("a", 1, "b", 2) | mfDispConsumerLOGO("a", "b"); }, {}},
        {4, 2, sum, nak, {-2, 514}, true, false,
         "In mfDispSum, CRequestSendToDisplay1, upos_DisplayType 2, szDispSum: \x0B" "212.50"},
        {4, 2, line, nak, {-2, 514}, true, false,
         "In mfDispTicketLine, CRequestSendToDisplay2, upos_DisplayType 2, szDispTicketLine: "},
        {4, 2, texts, nak, {-2, 514}, true}, {4, 1, line, nak, {0, 514}, true},
        {4, 1, sum, nak, {0, 0}, true}, {4, 1, texts, nak, {-2, 514}, true},
        {4, 3, texts, nak, {-2, 514}, true},  // the second line is not sent
        {4, 2, line, {}, {-2, 779}, false, true}, {4, 2, sum, {}, {-2, 779}, false, true},
        {4, 2, texts, {Display("\x0B" "0"), Display("b        \n")}, {0, 0}, false, true},
        {4, 2, [] { return mfDispSummary("a", 1, "b", 2); }, {Esc("\x80")}, {0, 0}, false, true},
    };
    // clang-format on
    for (const auto& r : rows) {
        SCOPED_TRACE(&r - rows);
        StartWith(r.type, r.display);
        mfSetDebugLevel(5);
        if (r.receipt) mfBeginTicket(-1);
        if (r.refused) printer->AcknowledgeNextWith('R', 0x15);
        Sent();
        EXPECT_EQ(Coded(r.show()), r.outcome);
        EXPECT_EQ(Sent(), r.sent);
        EXPECT_NE(LogText().find(r.logged), std::string::npos);
    }
    StartWith(4, 3);  // what the customer reads
    ASSERT_EQ(mfDispSum("RAZEM", 7501), 0);
    EXPECT_EQ(printer->DisplayLines(), (std::vector<std::string>{"RAZEM" + std::string(15, ' '),
                                                                 "75.01" + std::string(15, ' ')}));
}

// The display type comes from status byte 3 at the start: bit 0 adds 1, bit 2 adds 2, bit 1 adds
// 3; two bits make a display of no listed type. Only item 0 is described: name, width, lines, the
// two point modes and the number of characters it shows.
TEST_F(DevicesTest, ParFiscDispDescribesTheDisplayTheStartFound) {
    // clang-format off
    const struct { int display; uint8_t extraBits; const char* described; } rows[] = {
        {1, 0, "ZR350 9 9 1 0 0 76"}, {2, 0, "ZR350 9+ 9 1 0 0 76"}, {0, 0, " 0 0 5 5 0"},
        {3, 0, "ZR350 2*20 20 2 -1 -1 107"}, {0, 0x07, " 0 0 5 5 0"}, {1, 0x02, " 0 0 5 5 0"},
        {2, 0x02, " 0 0 5 5 0"}};
    // clang-format on
    for (const auto& r : rows) {
        SCOPED_TRACE(&r - rows);
        StartWith(4, r.display, r.extraBits);
        const bool listed = r.described[0] != ' ';
        char name[11] = {}, characters[111] = {};
        int width = 0, lines = 0, mode1 = 5, mode2 = 5;
        EXPECT_EQ(Coded(mfParFiscDisp(0, name, &width, &lines, characters, &mode1, &mode2)),
                  std::make_pair(listed ? 0 : -2, listed ? 0 : 769));
        std::ostringstream out;
        out << name << " " << width << " " << lines << " " << mode1 << " " << mode2 << " "
            << std::string(characters).size();
        EXPECT_EQ(out.str(), r.described);  // nothing written for a display of no listed type
        EXPECT_EQ(mfParFiscDisp(1, name, &width, &lines, characters, &mode1, &mode2), 1);
        EXPECT_EQ(mfDispSum("Razem", 1250), 0);
        EXPECT_EQ(Sent().empty(), !listed);  // nothing shown on a display of no listed type
    }
}

}  // namespace
}  // namespace tarn::test
