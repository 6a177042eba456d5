// The virtual printer's side of the protocol: how it splits what it hears into commands,
// what it answers, and the state it reports.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/printer_link.h"
#include "link/shared_commands.h"
#include "virtual_printer.h"
#include "virtual_printer_test.h"
#include "wire.h"

namespace tarn {
namespace {

using test::Wire;

using Bytes = std::vector<uint8_t>;
using sim::FrameKind;

// Talks to the printer byte by byte, without the library.

struct IdentityCase {
    int type;
    int version;
    int familyAnswer;
    bool extendedRefused;
    int extendedFirst;
    int status0HighNibble;
};

TEST(PrinterIdentity, AnswersAsEachPrinterType) {
    const IdentityCase cases[] = {
        {1, 5, 2, true, 0, 5},  {2, 6, 17, true, 0, 6},    {3, 4, 44, true, 0, 1},
        {4, 2, 44, true, 0, 2}, {8, 3, 44, false, 124, 3}, {10, 1, 44, false, 125, 1},
    };
    for (const IdentityCase& c : cases) {
        SCOPED_TRACE(c.type);
        sim::PrinterModel model;
        model.type = c.type;
        model.version = c.version;
        sim::VirtualPrinter printer(model);
        Wire wire(printer);
        wire.Send({0x1B, 0xFF});
        EXPECT_EQ(wire.Answer(), (Bytes{0x06, static_cast<uint8_t>(c.familyAnswer)}));
        wire.Send({0x1B, 0xF6});
        if (c.extendedRefused) {
            EXPECT_EQ(wire.Answer(), (Bytes{0x15}));
        } else {
            EXPECT_EQ(wire.Answer(), (Bytes{0x06, static_cast<uint8_t>(c.extendedFirst),
                                            static_cast<uint8_t>(c.version)}));
        }
        wire.Send({0x1B, 0x5B});
        const Bytes status = wire.Answer();
        ASSERT_EQ(status.size(), 2u);
        EXPECT_EQ(status[1] >> 4, c.status0HighNibble);
        EXPECT_EQ(status[1] & 0x07, 0x03);  // initialised and in order
    }
}

struct DisplayCase {
    int displayType;
    uint8_t bits;
};

TEST(PrinterStatus, CarriesTheDisplayTypeAndTheDrawersInStatusByte3) {
    const DisplayCase cases[] = {{0, 0x00}, {1, 0x01}, {2, 0x04}, {3, 0x02}};
    for (const DisplayCase& c : cases) {
        sim::PrinterModel model;
        model.type = 4;
        model.displayType = c.displayType;
        sim::PrinterState state(model);
        EXPECT_EQ(state.StatusByte(3, 0), c.bits | 0x38) << c.displayType;  // drawers closed
        state.drawerOpen[1] = true;
        EXPECT_EQ(state.StatusByte(3, 0), c.bits | 0x28) << c.displayType;
    }
    sim::PrinterState eight(sim::PrinterModel{});
    eight.drawerOpen[0] = true;
    EXPECT_EQ(eight.StatusByte(3, 0) & 0x38, 0x00);
}

TEST(PrinterStatus, ReportsOpenDocumentsDayCloseBusyAndPaper) {
    sim::PrinterState state(sim::PrinterModel{});
    EXPECT_EQ(state.StatusByte(1, 0), 0x00);
    EXPECT_EQ(state.StatusByte(2, 0), 0x00);
    state.receiptOpen = true;
    state.dayMustClose = true;
    EXPECT_EQ(state.StatusByte(1, 0), 0x0A);
    state.Printing(4, 1000);  // four lines at 25 ms a line
    EXPECT_EQ(state.StatusByte(2, 1099), 0x01);
    EXPECT_EQ(state.StatusByte(2, 1100), 0x00);
    state.paperOut = true;
    EXPECT_EQ(state.StatusByte(2, 2000), 0x02);
}

TEST(PrinterAnswers, ClockSerialCounterAndTaxRates) {
    sim::PrinterModel model;
    model.clock = {2026, 3, 9, 14, 59, 30};
    model.serialNumber = "ABC12345678";
    sim::VirtualPrinter printer(model);
    printer.State().receiptsToday = 300;
    Wire wire(printer);
    wire.Send({0x1B, 0x35});
    EXPECT_EQ(wire.Answer(), (Bytes{0x06, 2, 6, 0, 3, 0, 9, 1, 4, 5, 9}));
    wire.Wait(30000);  // the clock runs
    wire.Send({0x1B, 0x35});
    EXPECT_EQ(wire.Answer(), (Bytes{0x06, 2, 6, 0, 3, 0, 9, 1, 5, 0, 0}));
    wire.Send({0x1B, 0x71});
    const Bytes serial = wire.Answer();
    EXPECT_EQ(std::string(serial.begin() + 1, serial.end()), "ABC12345678");
    wire.Send({0x1B, 0x66});
    EXPECT_EQ(wire.Answer(), (Bytes{0x06, 0x2C, 0x01}));
    wire.Send({0x1B, 0xD0});
    EXPECT_EQ(wire.Answer(), (Bytes{0x06, 0x08, 0xFC, 0x03, 0x20, 0x01, 0xF4, 0x00, 0x00, 0xFF,
                                    0xFF, 0xFF, 0xFF}));
}

TEST(PrinterAnswers, DayCloseReportsPrintsAndKeepsThePrinterBusyWhileItPrints) {
    sim::VirtualPrinter printer;
    printer.State().receiptsToday = 4;
    printer.State().dayMustClose = true;
    Wire wire(printer);
    wire.Send({0x1B, 0x25});
    EXPECT_EQ(wire.Answer(), (Bytes{0x06}));
    EXPECT_EQ(printer.State().receiptsToday, 0);
    EXPECT_FALSE(printer.State().dayMustClose);
    EXPECT_NE(printer.Roll().AsUtf8().find("RAPORT DOBOWY FISKALNY"), std::string::npos);
    EXPECT_NE(printer.Roll().AsUtf8().find("Liczba paragonów"), std::string::npos);
    wire.Send({0x1B, 0x55});
    EXPECT_EQ(wire.Answer(), (Bytes{0x06, 0x01}));
    wire.Wait(10000);
    wire.Send({0x1B, 0x55});
    EXPECT_EQ(wire.Answer(), (Bytes{0x06, 0x00}));
}

TEST(PrinterFraming, AnUnknownCommandIsRefused) {
    sim::VirtualPrinter printer;
    Wire wire(printer);
    wire.Send({0x1B, 0x99});
    EXPECT_EQ(wire.Answer(), (Bytes{0x15}));
    EXPECT_EQ(wire.Kinds(), (std::vector<FrameKind>{FrameKind::Refused}));
}

TEST(PrinterFraming, BytesOutsideACommandAreStrayAndIgnored) {
    sim::VirtualPrinter printer;
    Wire wire(printer);
    wire.Send({'a', 'b', 0x1B, 0x66});
    EXPECT_EQ(wire.Answer(), (Bytes{0x06, 0x00, 0x00}));
    ASSERT_EQ(wire.Kinds(), (std::vector<FrameKind>{FrameKind::Stray, FrameKind::Command}));
    EXPECT_EQ(printer.Frames()[0].bytes, (Bytes{'a', 'b'}));
}

TEST(PrinterFraming, ACommandWhoseRestNeverComesIsDropped) {
    sim::VirtualPrinter printer;
    Wire wire(printer);
    wire.Send({0x1B, 0x43, '0'});  // point-of-sale numbers need five bytes
    EXPECT_EQ(wire.Answer(), (Bytes{0x06}));
    wire.Wait(5000);
    wire.Send({0x1B, 0x66});
    EXPECT_EQ(wire.Answer(), (Bytes{0x06, 0x00, 0x00}));
    EXPECT_EQ(wire.Kinds(), (std::vector<FrameKind>{FrameKind::Abandoned, FrameKind::Command}));
}

TEST(PrinterFraming, ASaleLineHasASignByteOrNot) {
    sim::VirtualPrinter printer;
    Wire wire(printer);
    Bytes line{0x1B, 0x06, ' '};
    line.resize(51, 'x');
    wire.Send(line);
    Bytes unsigned_line{0x1B, 0x06};
    unsigned_line.resize(50, 'y');
    wire.Send(unsigned_line);
    wire.Send({0x1B, 0x66});
    ASSERT_EQ(printer.Frames().size(), 3u);
    EXPECT_EQ(printer.Frames()[0].bytes.size(), 51u);
    EXPECT_EQ(printer.Frames()[1].bytes.size(), 50u);
    EXPECT_EQ(wire.Answer(), (Bytes{0x06, 0x00, 0x00}));  // item lines get no acknowledge
}

// The sale total carries a total only for a receipt without a declared one; the printer
// tells the two apart by what follows.
struct TotalCase {
    const char* name;
    std::vector<Bytes> pieces;  // written with a pause of `gapMs` between them
    int64_t gapMs;
    Bytes saleTotal;  // the frame the printer took as the sale total
};

TEST(PrinterFraming, TellsASaleTotalWithoutTotalFromOneWithIt) {
    const TotalCase cases[] = {
        {"no total, then the reason query", {{0x1B, 0x07}, {0x1B, 0x50}}, 200, {0x1B, 0x07}},
        {"total in the same burst",
         {{0x1B, 0x07, 0xE8, 0x03, 0x00, 0x00}},
         0,
         {0x1B, 0x07, 0xE8, 0x03, 0x00, 0x00}},
        {"total after an older printer's 800 ms head wait",
         {{0x1B, 0x07}, {0xE8, 0x03, 0x00, 0x00}},
         800,
         {0x1B, 0x07, 0xE8, 0x03, 0x00, 0x00}},
        {"total that starts like ESC P",
         {{0x1B, 0x07}, {0x1B, 0x50, 0x00, 0x00}},
         800,
         {0x1B, 0x07, 0x1B, 0x50, 0x00, 0x00}},
        {"total 27 followed by nothing",
         {{0x1B, 0x07}, {0x1B, 0x00, 0x00, 0x00}},
         0,
         {0x1B, 0x07, 0x1B, 0x00, 0x00, 0x00}},
    };
    for (const TotalCase& c : cases) {
        SCOPED_TRACE(c.name);
        sim::VirtualPrinter printer;
        Wire wire(printer);
        for (const Bytes& piece : c.pieces) {
            wire.Send(piece);
            wire.Wait(c.gapMs);
        }
        wire.Wait(2000);
        ASSERT_FALSE(printer.Frames().empty());
        EXPECT_EQ(printer.Frames()[0].bytes, c.saleTotal);
        EXPECT_EQ(printer.Frames()[0].kind, FrameKind::Command);
    }
}

TEST(PrinterFraming, AnswersTheCommandAfterASaleTotalOnceTheLineIsQuiet) {
    sim::VirtualPrinter printer;
    Wire wire(printer);
    wire.Send({0x1B, 0x07});
    wire.Wait(200);
    wire.Send({0x1B, 0x50});
    EXPECT_TRUE(wire.Answer().empty());  // could still be a total
    wire.Wait(50);
    EXPECT_EQ(wire.Answer(), (Bytes{0x06, 0x00}));
}

TEST(PrinterFraming, AFormTakesItsItemsOverSeveralPiecesAndCommandsInBetween) {
    sim::VirtualPrinter printer;
    Wire wire(printer);
    wire.Send({0x1B, 's', '7', '0', '1', '0', 'A', '\n', '3', '0'});
    EXPECT_EQ(wire.Answer(), (Bytes{0x06}));
    EXPECT_TRUE(printer.State().formOpen);
    wire.Send({0x1B, 0x54});  // a status query while the form is open
    EXPECT_EQ(wire.Answer(), (Bytes{0x06, 0x02}));
    wire.Send({'4', '0', 'B', '\n', '7', '0'});
    wire.Send({'9', '0', 0x1B, 'Q'});
    EXPECT_FALSE(printer.State().formOpen);
    ASSERT_EQ(wire.Kinds(), (std::vector<FrameKind>{FrameKind::Command, FrameKind::Form}));
    const std::string form(printer.Frames()[1].bytes.begin(), printer.Frames()[1].bytes.end());
    EXPECT_EQ(form, "\x1bs7010A\n3040B\n7090\x1bQ");
    EXPECT_NE(printer.Roll().AsUtf8().find("NUMER                                  A"),
              std::string::npos);
}

TEST(PrinterFraming, AFormIsRefusedWhileAReceiptIsOpen) {
    sim::VirtualPrinter printer;
    printer.State().receiptOpen = true;
    Wire wire(printer);
    wire.Send({0x1B, 's'});
    EXPECT_EQ(wire.Answer(), (Bytes{0x15}));
}

struct RawCase {
    const char* name;
    uint8_t announcement;
    Bytes block;
    Bytes answer;
};

TEST(PrinterFraming, TakesARawBlockAfterAnAcceptedAnnouncement) {
    Bytes goodRow(26, 0);
    goodRow[0] = 27;  // a row number that is also ESC
    goodRow[1] = 0x80;
    goodRow[25] = 0x80;
    Bytes badRow = goodRow;
    badRow[25] = 0x00;
    Bytes footer(42, ' ');
    footer[0] = 2;
    footer[41] = 0;
    const RawCase cases[] = {
        {"logo row upload", 0x2D, goodRow, {0x06, 0x00}},
        {"logo row with a wrong check byte", 0x2D, badRow, {0x06, 0x01}},
        {"footer line", 0x2E, footer, {0x06, 0x00}},
        {"report by dates, nothing stored yet",
         0x31,
         {0, 2, 4, 0, 3, 0, 1, 2, 4, 0, 3, 3, 1},
         {0x06, 0x03}},
        {"report with a thirteenth month",
         0x31,
         {3, 2, 4, 1, 3, 0, 1, 2, 4, 0, 3, 3, 1},
         {0x06, 0x01}},
        {"report of an unknown kind", 0x31, {7}, {0x06, 0x02}},
    };
    for (const RawCase& c : cases) {
        SCOPED_TRACE(c.name);
        sim::VirtualPrinter printer;
        Wire wire(printer);
        wire.Send({0x1B, c.announcement});
        wire.Send(c.block);
        EXPECT_EQ(wire.Answer(), c.answer);
        ASSERT_EQ(printer.Frames().size(), 2u);
        EXPECT_EQ(printer.Frames()[1].kind, FrameKind::RawBlock);
        EXPECT_EQ(printer.Frames()[1].bytes, c.block);
    }
}

TEST(PrinterFraming, ReadsBackALogoRowItWasGiven) {
    sim::VirtualPrinter printer;
    printer.State().logo[5][0] = 0xF0;
    Wire wire(printer);
    wire.Send({0x1B, 0x2F, 5});
    const Bytes answer = wire.Answer();
    ASSERT_EQ(answer.size(), 27u);  // acknowledge, two bytes, 24 bytes of dots
    EXPECT_EQ(answer[3], 0xF0);
}

TEST(PrinterFraming, PrintersBeforeType8HaveNoLogoOrFooter) {
    sim::PrinterModel model;
    model.type = 4;
    sim::VirtualPrinter printer(model);
    Wire wire(printer);
    wire.Send({0x1B, 0x2E});
    EXPECT_EQ(wire.Answer(), (Bytes{0x15}));
}

// The same printer through the library's link: what the identification sequence sees.
class PrinterThroughLinkTest : public test::VirtualPrinterTest {};

TEST_F(PrinterThroughLinkTest, ARefusedExtendedIdentificationShowsAnHonestStatus) {
    sim::PrinterModel model;
    model.type = 4;
    UsePrinter(model);
    CPrinterLink& link = Link(-1);
    int a = 0;
    int b = 0;
    CRequestPrinterType extended(0xF6, &a, true, &b);
    EXPECT_EQ(link.Execute(extended, false, false), -2);
    EXPECT_EQ(Lib().mfErrorL, 514);  // a printer in order: no status bit names a cause
}

}  // namespace
}  // namespace tarn
