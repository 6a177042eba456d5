// Configuration through the interface: detail codes and the text table, the configuration
// parameters, tax rates and the clock (only while the fiscal day is closed), the footer and the
// point of sale, fiscal reports, status questions and the state printout.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "library_test.h"
#include "seam.h"
#include "text/cp852.h"

namespace tarn {
namespace {

using test::Esc;
using test::Frame;
using test::Le32;

class ConfigTest : public test::StartedLibraryTest {
protected:
    void IssueAReceipt() {
        ASSERT_EQ(mfBeginTicket(-1), 0);
        ASSERT_EQ(mfLineTicket(0, "Chleb pszenny", 'A', "szt", 450, 1000, 0), 0);
        ASSERT_EQ(mfEndTicket(0, 0, 0, 450, "Karta", 0, "", 0, "", 0, "", 0, "", "", ""), 0);
        Sent();
    }
    std::vector<Frame> RawBlocks() {
        std::vector<Frame> blocks;
        for (const auto& frame : printer->Frames()) {
            if (frame.kind == sim::FrameKind::RawBlock)
                blocks.emplace_back(frame.bytes.begin(), frame.bytes.end());
        }
        return blocks;
    }
};

// The default texts, index by index, in code page 852.
std::map<int, std::string> DefaultTexts() {
    std::ifstream file(TARN_SOURCE_DIR "/tests/data/default_texts.txt");
    std::map<int, std::string> texts;
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line[0] == '#') continue;
        const size_t tab = line.find('\t');
        texts[std::stoi(line.substr(0, tab))] = Utf8ToCp852(line.substr(tab + 1));
    }
    return texts;
}

TEST_F(ConfigTest, EveryDefaultTextAndItsWidth) {
    const std::map<int, std::string> texts = DefaultTexts();
    ASSERT_EQ(texts.size(), 128u);
    for (int index = 90; index < 510; ++index) {
        char buffer[40] = "x";
        int width = -1;
        const bool known = texts.count(index) == 1;
        EXPECT_EQ(mfParString(index, buffer, &width), known ? 0 : -2) << index;
        EXPECT_EQ(mfError(), known ? 0 : 771) << index;
        EXPECT_EQ(buffer, known ? texts.at(index) : "x") << index;
        EXPECT_EQ(width, !known ? 0 : (index / 100 == 3 || index / 100 == 5) ? 25 : 38) << index;
    }
    EXPECT_EQ(mfParString(100, nullptr, nullptr), 0);
}

// A detail code's class text by its class, its detail text by its number within the class.
TEST_F(ConfigTest, ParMessageTellsTheClassAndTheDetail) {
    const std::map<int, std::string> t = DefaultTexts();
    const struct {
        int code, classIndex, detailIndex;
    } rows[] = {
        // clang-format off
        {0, 100, 100}, {5, 101, 100}, {256, 102, 100}, {257, 102, 200}, {259, 102, 202},
        {260, 102, 100}, {512, 103, 100}, {513, 103, 203}, {518, 103, 208}, {519, 103, 100},
        {768, 104, 100}, {769, 104, 209}, {784, 104, 224}, {794, 104, 234}, {795, 104, 100},
        {796, 104, 235}, {801, 104, 240}, {802, 104, 100}, {1024, 100, 100}, {-1, 100, 100},
        // clang-format on
    };
    printer->RefuseNext({3, 8, 0, 0});
    EXPECT_EQ(mfGetLastTicketNo(nullptr), -2);
    for (const auto& r : rows) {
        char classText[39] = "x", detailText[39] = "x";
        EXPECT_EQ(mfParMessage(r.code, classText, detailText), 0);
        EXPECT_EQ(classText, t.at(r.classIndex)) << r.code;
        EXPECT_EQ(detailText, t.at(r.detailIndex)) << r.code;
    }
    EXPECT_EQ(mfParMessage(514, nullptr, nullptr), 0);
    EXPECT_EQ(mfError(), 777);  // untouched by the texts, kept by mfError
    EXPECT_EQ(mfError(), 777);
    EXPECT_TRUE(Logged("In mfError - , mfErrorL: 777"));
}

TEST_F(ConfigTest, DefStringReplacesCutsAndFeedsParMessageUntilTheLibraryIsLoadedAgain) {
    const std::string forty(40, 'A');
    EXPECT_EQ(mfDefString(300, forty.c_str()), 0);
    EXPECT_EQ(mfDefString(217, "Doba otwarta 100% %s"), 0);
    EXPECT_EQ(mfDefString(210, nullptr), 0);
    EXPECT_EQ(mfDefString(99, "x"), -2);
    EXPECT_EQ(mfError(), 771);
    EXPECT_EQ(mfDefString(505, "x"), -2);
    mfStop();
    ASSERT_EQ(mfStart(0, 1), 0);  // a new session keeps them
    char buffer[40] = {}, classText[39], detailText[39];
    int width = 0;
    mfParString(300, buffer, &width);
    EXPECT_EQ(std::string(buffer), forty.substr(0, 25));
    mfParString(210, buffer, &width);
    EXPECT_STREQ(buffer, "");
    mfParMessage(777, classText, detailText);
    EXPECT_STREQ(detailText, "Doba otwarta 100% %s");
    StartOn(8);
    mfParString(300, buffer, &width);
    EXPECT_EQ(buffer, DefaultTexts().at(300));
}

TEST_F(ConfigTest, WithoutASessionTextsAreRefusedAndTheCodeCleared) {
    Load();
    uint8_t bytes[4] = {};
    for (int (*call)() : {+[] { return mfParMessage(0, nullptr, nullptr); },
                          +[] { return mfParString(300, nullptr, nullptr); },
                          +[] { return mfDefString(300, "x"); }, +[] { return mfError(); }}) {
        EXPECT_EQ(mfAnyCommand(-1, bytes, 0, nullptr, nullptr, 100), -2);  // leaves 771
        EXPECT_EQ(call(), -1);
        EXPECT_EQ(test::seam::DetailCode(), 0);
    }
}

// Parameter 11 names the logo file; it takes no session and a path of up to 255 bytes.
TEST_F(ConfigTest, DefConfigParamNamesTheLogoFileOnly) {
    Load();
    const std::string longest(255, 'p'), tooLong(256, 'p');
    const struct {
        int parameter;
        const char* text;
        int result;
    } rows[] = {{11, "/tmp/logo.txt", 0},  {11, "", 0},
                {11, nullptr, 0},          {12, "/other", 0},
                {11, tooLong.c_str(), -2}, {11, longest.c_str(), 0}};
    for (const auto& r : rows) {
        EXPECT_EQ(mfDefConfigParam(r.parameter, 0, r.text), r.result) << r.parameter;
        EXPECT_EQ(test::seam::DetailCode(), r.result == 0 ? 0 : 771);
    }
    EXPECT_EQ(mfParConfigParam(), 0);
}

TEST_F(ConfigTest, RatesChangeOnlyWhileTheDayIsClosedAndNoDocumentIsOpen) {
    EXPECT_EQ(mfParTax(), 1);
    IssueAReceipt();
    EXPECT_EQ(mfParTax(), 0);
    Sent();
    EXPECT_EQ(mfDefTax(2300, 800, 500, 0, -1, -1), -2);
    EXPECT_EQ(mfError(), 777);
    EXPECT_EQ(Sent(), std::vector<Frame>{Esc("f")});
    ASSERT_EQ(mfBeginTicket(-1), 0);
    EXPECT_EQ(mfDefTax(2300, 800, 500, 0, -1, -1), -2);
    EXPECT_EQ(mfError(), 777);  // the day is looked at first
    ASSERT_EQ(mfStornoTicket(), 0);
    ASSERT_EQ(mfShiftEnd(), 0);
    ASSERT_EQ(mfBeginTicket(-1), 0);
    EXPECT_EQ(mfDefTax(2300, 800, 500, 0, -1, -1), -2);
    EXPECT_EQ(mfError(), 779);
    EXPECT_EQ(mfParTax(), 0);
    ASSERT_EQ(mfStornoTicket(), 0);
    EXPECT_EQ(mfParTax(), 1);
    Sent();
    EXPECT_EQ(mfDefTax(2200, 700, 500, 0, 1234, 5678), 0);
    EXPECT_EQ(Sent().back(),
              Esc("\xD4\x08\x98\x02\xBC\x01\xF4" + std::string("\0\0", 2) + "\x04\xD2\x16\x2E"));
    int r[6] = {};
    ASSERT_EQ(mfGetTax(&r[0], &r[1], &r[2], &r[3], &r[4], &r[5]), 0);
    EXPECT_EQ(std::vector<int>(r, r + 6), (std::vector<int>{2200, 700, 500, 0, 1234, 5678}));
    printer->RefuseNext({3, 0, 2, 0});  // the counter cannot be read
    EXPECT_EQ(mfParTax(), 0);
    EXPECT_EQ(mfError(), 784);
}

// Type 1 takes four whole percents in one byte each; the others two bytes, high byte first.
TEST_F(ConfigTest, RatesThatDoNotFitTheirFieldAreNotSent) {
    const struct {
        int type, rate, result;
        Frame sent;
    } rows[] = {{1, 750, 0, Esc("\x44\x16\x07\x05" + std::string(1, '\0'))},
                {8, 65536, -2, ""},
                {8, -32769, -2, ""},
                {1, 25600, -2, ""},
                {1, -12900, -2, ""}};
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.type << " " << r.rate);
        StartOn(r.type);
        EXPECT_EQ(mfDefTax(2200, r.rate, 500, 0, 9999999, -9999999), r.result);
        EXPECT_EQ(mfError(), r.result == 0 ? 0 : 771);
        const std::vector<Frame> frames = Sent();
        EXPECT_EQ(frames.empty() ? "" : frames.back(), r.sent);
    }
}

// The clock moves by at most an hour, within one hour step, while the day is closed.
TEST_F(ConfigTest, TheClockShift) {
    const struct {
        int hour, minute, wantHour, wantMinute, result, code;
        Frame sent;
    } rows[] = {
        // clang-format off
        {10, 5, 9, 50, 0, 0, Esc(std::string("\x36\x00\x01\x05", 4))},
        {9, 50, 10, 5, 0, 0, Esc("\x36\x01\x01\x05")}, {9, 30, 10, 30, 0, 0, Esc(std::string("\x36\x01\x06\x00", 4))},
        {10, 20, 10, 75, 0, 0, Esc("\x36\x01\x05\x05")}, {9, 30, 10, 31, -2, 771, ""},
        {10, 50, 9, 10, -2, 771, ""}, {10, 50, 12, 0, -2, 771, ""}, {23, 50, 0, 10, -2, 771, ""},
        {10, 0, 9, 200, -2, 771, ""}, {10, 20, 10, 20, -2, 775, Esc(std::string("\x36\x01\x00\x00", 4))},
        // clang-format on
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message()
                     << r.hour << ":" << r.minute << " to " << r.wantHour << ":" << r.wantMinute);
        sim::PrinterModel model;
        model.clock = {2026, 12, 6, r.hour, r.minute, 0};
        Load(model);
        ASSERT_EQ(mfStart(0, 1), 0);
        Sent();
        EXPECT_EQ(mfDefTime(r.wantHour, r.wantMinute), r.result);
        EXPECT_EQ(mfError(), r.code);
        const std::vector<Frame> shift = Of(Sent(), '6');
        EXPECT_EQ(shift.empty() ? "" : shift[0], r.sent);
    }
    printer->AcknowledgeNextWith('6', 0x15);  // the printer refuses the shift
    EXPECT_EQ(mfDefTime(10, 30), -2);
    EXPECT_EQ(mfError(), 775);
}

TEST_F(ConfigTest, TheClockRefusesInsideADocumentBeforeLookingAtTheDay) {
    IssueAReceipt();
    ASSERT_EQ(mfBeginTicket(-1), 0);
    for (const int code : {779, 777}) {
        EXPECT_EQ(mfParTime(), -2);
        EXPECT_EQ(mfError(), code);
        EXPECT_EQ(mfDefTime(10, 0), -2);
        EXPECT_EQ(mfError(), code);
        mfStornoTicket();
    }
    ASSERT_EQ(mfShiftEnd(), 0);
    EXPECT_EQ(mfParTime(), 0);
}

// The footer: three lines of 40, each the line's number, its text and their check byte, sent
// without ESC after the announcement; the printer may stop taking them.
TEST_F(ConfigTest, TheFooterGoesOutAsThreeLinesOfForty) {
    const auto line = [](int number, std::string text) {
        text.resize(40, ' ');
        char check = 0;
        for (const char c : text) check ^= c;
        return std::string(1, static_cast<char>(number)) + text + check;
    };
    ASSERT_EQ(mfDefFooter((std::string(45, 'a') + "bcdef").c_str()), 0);
    EXPECT_EQ(RawBlocks(), (std::vector<Frame>{line(0, std::string(40, 'a')), line(1, "aaaaabcdef"),
                                               line(2, "")}));
    EXPECT_EQ(Sent()[0], Esc("."));
    EXPECT_EQ(printer->State().footer[1], "aaaaabcdef" + std::string(30, ' '));
    const struct {
        void (*fault)(sim::VirtualPrinter&);
        int result;
        size_t lines;
    } rows[] = {
        {[](sim::VirtualPrinter& p) { p.AcknowledgeNextWith('.', 0x15); }, 0, 0},
        {[](sim::VirtualPrinter& p) { p.AnswerGarbageNext({1}, true); }, 0, 1},
        {[](sim::VirtualPrinter& p) { p.AnswerGarbageNext({202}, true); }, 0, 3},  // go on
        {[](sim::VirtualPrinter& p) { p.AnswerShortNext(0, true); }, -2, 1},
    };
    for (const auto& r : rows) {
        r.fault(*printer);
        EXPECT_EQ(mfDefFooter("Zapraszamy"), r.result);
        EXPECT_EQ(mfError(), r.result == 0 ? 0 : 514);
        EXPECT_EQ(RawBlocks().size(), r.lines);
        Sent();
    }
    EXPECT_TRUE(Logged("In mfDefFooter, result: -2"));
}

TEST_F(ConfigTest, CapabilitiesOfTheHeaderTheFooterAndThePointOfSale) {
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
    StartOn(4);  // no footer before type 8
    EXPECT_EQ(mfParFooter(&a, &b, text), -3);
    EXPECT_EQ(mfDefFooter("Zapraszamy"), 1);
    EXPECT_TRUE(Sent().empty());
    Load();
    EXPECT_EQ(mfParTicket(&a, &b), -1);
    EXPECT_EQ(mfDefPOS(1, 2, "x"), -1);
}

// The cashier named in the foot of the receipt is kept even when the printer refuses the
// point-of-sale numbers.
TEST_F(ConfigTest, TheCashierIsKeptEvenWhenThePrinterRefusesTheNumbers) {
    ASSERT_EQ(mfDefPOS(3, 12, "Anna"), 0);
    EXPECT_EQ(Sent()[0], Esc("C0312"));
    printer->RefuseNext({3, 0, 0, 0});
    EXPECT_EQ(mfDefPOS(4, 5, std::string(40, 'N').c_str()), -2);
    IssueAReceipt();
    EXPECT_EQ(printer->State().cashierNumber, 12);
    EXPECT_NE(printer->Roll().AsUtf8().find("05-" + std::string(26, 'N') + "\n"),
              std::string::npos);
    EXPECT_EQ(mfDefPOS(4, 6, nullptr), 0);
    ASSERT_EQ(mfBeginTicket(-1), 0);
    ASSERT_EQ(mfLineTicket(0, "Chleb pszenny", 'A', "szt", 450, 1000, 0), 0);
    ASSERT_EQ(mfEndTicket(0, 0, 0, 450, "Karta", 0, "", 0, "", 0, "", 0, "", "", ""), 0);
    EXPECT_TRUE(Of(Sent(), '\x09').size() == 1);  // the amount to pay, no cashier line
}

TEST_F(ConfigTest, ADayGoesRound) {
    int open = -1;
    ASSERT_EQ(mfStatShift(&open), 0);
    EXPECT_EQ(open, 0);
    Sent();
    EXPECT_EQ(mfShiftEnd(), -2);
    EXPECT_EQ(mfError(), 778);
    EXPECT_EQ(Sent(), std::vector<Frame>{Esc("f")});
    IssueAReceipt();
    IssueAReceipt();
    ASSERT_EQ(mfStatShift(&open), 0);
    EXPECT_EQ(open, 1);
    EXPECT_EQ(mfShiftEnd(), 0);
    ASSERT_EQ(mfStatShift(&open), 0);
    EXPECT_EQ(open, 0);
    EXPECT_EQ(mfShiftEnd(), -2);
    EXPECT_EQ(mfError(), 778);
    EXPECT_NE(printer->Roll().AsUtf8().find("RAPORT DOBOWY FISKALNY"), std::string::npos);
}

// Reports by dates: from type 4 in report mode ('1', then the description without ESC), on
// older printers in one command; years go out modulo 100.
TEST_F(ConfigTest, ReportsByDates) {
    const auto digits = [](const char* bytes) { return std::string(bytes, 12); };
    const struct {
        int type;
        int (*report)(int, int, int, int, int, int);
        int dates[6];
        std::vector<Frame> sent;
        int result, code;
    } rows[] = {
        {8,
         &mfPrDetailReport,
         {2026, 12, 1, 2026, 12, 31},
         {Esc("1"),
          std::string(1, '\0') + digits("\x02\x06\x01\x02\x00\x01\x02\x06\x01\x02\x03\x01")},
         0,
         0},
        // The printer cannot take a range that ends before it starts.
        {8,
         &mfPrGlobalReport,
         {2026, 12, 31, 2026, 12, 1},
         {Esc("1"), "\x03" + digits("\x02\x06\x01\x02\x03\x01\x02\x06\x01\x02\x00\x01")},
         -2,
         771},
        {8,
         &mfPrGlobalReport,
         {1999, 1, 1, 99, 1, 2},
         {Esc("1"), "\x03" + digits("\x09\x09\x00\x01\x00\x01\x09\x09\x00\x01\x00\x02")},
         -2,
         771},  // nothing was stored then
        {2,
         &mfPrDetailReport,
         {2024, 3, 1, 2024, 3, 31},
         {Esc("(" + digits("\x02\x04\x00\x03\x00\x01\x02\x04\x00\x03\x03\x01")), Esc("U")},
         0,
         0},
        {2,
         &mfPrGlobalReport,
         {2024, 3, 1, 2024, 3, 31},
         {Esc(")" + digits("\x02\x04\x00\x03\x00\x01\x02\x04\x00\x03\x03\x01")), Esc("U")},
         0,
         0},
        {8, &mfPrGlobalReport, {2024, 100, 1, 2024, 3, 31}, {}, -2, 771},
        {8, &mfPrGlobalReport, {2024, 3, -1, 2024, 3, 31}, {}, -2, 771},
        {8, &mfPrGlobalReport, {-5, 3, 1, 2024, 3, 31}, {}, -2, 771},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.type << " " << r.dates[0] << "-" << r.dates[1]);
        StartOn(r.type);
        IssueAReceipt();  // a day in the fiscal memory
        ASSERT_EQ(mfShiftEnd(), 0);
        Sent();
        const int* d = r.dates;
        EXPECT_EQ(r.report(d[0], d[1], d[2], d[3], d[4], d[5]), r.result);
        EXPECT_EQ(mfError(), r.code);
        std::vector<Frame> frames = Sent();
        frames.resize(std::min(frames.size(), r.sent.size()));
        EXPECT_EQ(frames, r.sent);
    }
    StartOn(2);
    platform->FailWriteStarting({0x1B, '('});  // the code outlives the wait that follows
    EXPECT_EQ(mfPrDetailReport(2024, 3, 1, 2024, 3, 31), -2);
    EXPECT_EQ(mfError(), 514);
    EXPECT_EQ(mfPrNrReport(1, 2), 1);
    EXPECT_TRUE(Sent().empty() || Of(Sent(), '1').empty());
}

// Reports by numbers: both numbers in base 255, low byte first.
TEST_F(ConfigTest, ReportsByNumbers) {
    for (int day = 0; day < 2; ++day) {
        IssueAReceipt();
        ASSERT_EQ(mfShiftEnd(), 0);
    }
    EXPECT_EQ(mfParNrReport(), 0);
    EXPECT_EQ(mfPrNrReport(1, 2), 0);
    const struct {
        int from, to;
        std::string sent;
    } rows[] = {{1, 2, std::string("\x01\x01\x00\x02\x00", 5)},
                {1, 300, std::string("\x01\x01\x00\x2D\x01", 5)},
                {255, 65279, std::string("\x01\x00\x01\xFE\xFF", 5)},
                {4, 4, std::string("\x01\x04\x00\x04\x00", 5)},
                {5, 4, ""},  // refused: 771, nothing sent
                {0, 65280, ""},
                {-1, 4, ""}};
    for (const auto& r : rows) {
        printer->ClearFrames();
        const int result = mfPrNrReport(r.from, r.to);
        const std::vector<Frame> blocks = RawBlocks();
        EXPECT_EQ(blocks.empty() ? "" : blocks.back(), r.sent) << r.from << ".." << r.to;
        if (r.sent.empty()) {
            EXPECT_EQ(result, -2);
            EXPECT_EQ(mfError(), 771);
        }
    }
}

// The printer's answer to a report's description: 0 done, 1 and 3 out of range, anything else
// another error; the same for reports by dates and by numbers.
TEST_F(ConfigTest, TheAnswerToAReportBecomesItsResult) {
    IssueAReceipt();
    ASSERT_EQ(mfShiftEnd(), 0);
    mfSetDebugLevel(9);
    for (const auto& [answer, code] : {std::pair{0, 0}, {1, 771}, {3, 771}, {2, 769}, {9, 769}}) {
        printer->AnswerGarbageNext({static_cast<uint8_t>(answer)}, true);
        EXPECT_EQ(mfPrNrReport(1, 1), code == 0 ? 0 : -2) << answer;
        EXPECT_EQ(mfError(), code) << answer;
        printer->AnswerGarbageNext({static_cast<uint8_t>(answer)}, true);
        EXPECT_EQ(mfPrGlobalReport(2026, 12, 1, 2026, 12, 31), code == 0 ? 0 : -2) << answer;
        EXPECT_EQ(mfError(), code) << answer;
    }
    EXPECT_TRUE(Logged("In mfPrNrReport, CRequestDetailReport, result: 0, answer: 2"));
    ASSERT_EQ(mfBeginTicket(-1), 0);
    Sent();
    EXPECT_EQ(mfPrDetailReport(2024, 3, 1, 2024, 3, 31), -2);
    EXPECT_EQ(mfError(), 779);
    EXPECT_EQ(mfPrNrReport(1, 2), -2);
    EXPECT_EQ(mfError(), 779);
    EXPECT_TRUE(Sent().empty());
}

// The printer's status bytes, or the library's own open documents.
TEST_F(ConfigTest, StatusAnswers) {
    const auto answer = [](int (*query)(int*)) {
        int value = -1;
        EXPECT_EQ(query(&value), 0);
        return value;
    };
    EXPECT_EQ(answer(&mfStatMode), 1);  // a fiscal printer
    printer->State().fiscalised = false;
    EXPECT_EQ(answer(&mfStatMode), 0);
    EXPECT_EQ(answer(&mfStatNoPaper), 0);
    printer->SetPaperOut(true);
    EXPECT_EQ(answer(&mfStatNoPaper), 1);
    EXPECT_EQ(answer(&mfStatReceipt), 0);
    EXPECT_EQ(answer(&mfStatDocument), 0);
    printer->SetPaperOut(false);
    ASSERT_EQ(mfBeginTicket(-1), 0);
    EXPECT_EQ(answer(&mfStatReceipt), 1);
    EXPECT_EQ(answer(&mfStatDocument), 1);
    int value = 7;
    printer->AnswerShortNext(0);
    EXPECT_EQ(mfStatShift(&value), -2);
    EXPECT_EQ(value, 7);
    EXPECT_EQ(mfStatMode(nullptr), 0);
    Load();
    EXPECT_EQ(mfStatReceipt(&value), -1);
    EXPECT_EQ(value, 7);
}

TEST_F(ConfigTest, TheStatePrintout) {
    EXPECT_EQ(mfPrState(), 0);
    EXPECT_EQ(Sent()[0], Esc("&"));
    printer->AcknowledgeNextWith('&', 0x15);
    EXPECT_EQ(mfPrState(), -2);
    EXPECT_EQ(mfError(), 514);
}

}  // namespace
}  // namespace tarn
