// Configuration through the interface: detail codes and the text table, the configuration
// parameters, tax rates and the clock (only while the fiscal day is closed), the footer and the
// point of sale, fiscal reports, status questions and the state printout.
#include <algorithm>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "library_test.h"
#include "seam.h"
#include "text/cp852.h"

namespace tarn::test {
namespace {

class ConfigTest : public StartedLibraryTest {
protected:
    // The outcome that goes with a detail code: 0 with none, -2 with any.
    static Outcome Result(int code) { return {code ? -2 : 0, code}; }
    // A receipt issued; the frames it took.
    std::vector<Frame> IssueAReceipt() {
        EXPECT_EQ(mfBeginTicket(-1), 0);
        EXPECT_EQ(mfLineTicket(0, "Chleb pszenny", 'A', "szt", 450, 1000, 0), 0);
        EXPECT_EQ(mfEndTicket(0, 0, 0, 450, "Karta", 0, "", 0, "", 0, "", 0, "", "", ""), 0);
        return Sent();
    }
};

// Every default text and its width; a detail code's class and detail texts, which leave the code
// mfError keeps; mfDefString replaces a text, cut to its width, until the library is loaded again.
TEST_F(ConfigTest, TheTextsParMessageAndDefString) {
    std::map<int, std::string> t;  // the default texts, index by index, in code page 852
    std::ifstream file(TARN_SOURCE_DIR "/tests/data/default_texts.txt");
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line[0] == '#') continue;
        const size_t tab = line.find('\t');
        t[std::stoi(line.substr(0, tab))] = Utf8ToCp852(line.substr(tab + 1));
    }
    ASSERT_EQ(t.size(), 128u);
    for (int index = 90; index < 510; ++index) {
        char buffer[40] = "x";
        int width = -1;
        const bool known = t.count(index) == 1;
        EXPECT_EQ(Coded(mfParString(index, buffer, &width)), Result(known ? 0 : 771)) << index;
        EXPECT_EQ(buffer, known ? t.at(index) : "x") << index;
        EXPECT_EQ(width, !known ? 0 : (index / 100 == 3 || index / 100 == 5) ? 25 : 38) << index;
    }
    // clang-format off
    const struct { int code, classIndex, detailIndex; } rows[] = {
        {0, 100, 100}, {5, 101, 100}, {256, 102, 100}, {257, 102, 200}, {259, 102, 202},
        {260, 102, 100}, {512, 103, 100}, {513, 103, 203}, {518, 103, 208}, {519, 103, 100},
        {768, 104, 100}, {769, 104, 209}, {784, 104, 224}, {794, 104, 234}, {795, 104, 100},
        {796, 104, 235}, {801, 104, 240}, {802, 104, 100}, {1024, 100, 100}, {-1, 100, 100},
    };
    // clang-format on
    printer->RefuseNext({3, 8, 0, 0});
    EXPECT_EQ(mfGetLastTicketNo(nullptr), -2);
    char classText[39], detailText[39];
    for (const auto& r : rows) {
        EXPECT_EQ(mfParMessage(r.code, classText, detailText), 0);
        EXPECT_EQ(std::make_pair(std::string(classText), std::string(detailText)),
                  std::make_pair(t.at(r.classIndex), t.at(r.detailIndex)))
            << r.code;
    }
    EXPECT_EQ(mfError(), 777);
    EXPECT_EQ(mfError(), 777);
    EXPECT_EQ(mfDefString(300, std::string(40, 'A').c_str()), 0);
    EXPECT_EQ(mfDefString(217, "Doba otwarta 100% %s"), 0);
    EXPECT_EQ(mfDefString(210, nullptr), 0);
    EXPECT_EQ(Coded(mfDefString(99, "x")), Result(771));
    EXPECT_EQ(mfDefString(505, "x"), -2);
    mfStop();
    ASSERT_EQ(mfStart(0, 1), 0);  // a new session keeps them
    char buffer[40] = {};
    mfParString(300, buffer, nullptr);
    EXPECT_EQ(std::string(buffer), std::string(25, 'A'));
    mfParString(210, buffer, nullptr);
    EXPECT_STREQ(buffer, "");
    mfParMessage(777, classText, detailText);
    EXPECT_STREQ(detailText, "Doba otwarta 100% %s");
    StartOn(8);
    mfParString(300, buffer, nullptr);
    EXPECT_EQ(buffer, t.at(300));
}

// Without a session a call answers -1, writes no output and clears the detail code; parameter
// 11 names the logo file, a path of up to 255 bytes, and takes no session.
TEST_F(ConfigTest, WithoutASessionOnlyTheLogoFileIsNamed) {
    Load();
    static int out;
    using Call = int (*)();
    const Call calls[] = {[] { return mfParMessage(0, nullptr, nullptr); },
                          [] { return mfParString(300, nullptr, nullptr); },
                          [] { return mfDefString(300, "x"); },
                          [] { return mfError(); },
                          [] { return mfParTicket(&out, &out); },
                          [] { return mfDefPOS(1, 2, "x"); },
                          [] { return mfStatReceipt(&out); },
                          [] { return mfParLibVersion(&out, &out, 0); },
                          [] { return mfGetVersion(&out, &out); }};
    for (const Call call : calls) {
        out = 7;
        EXPECT_EQ(mfAnyCommand(-1, nullptr, 0, nullptr, nullptr, 100), -2);  // leaves 771
        EXPECT_EQ(call(), -1);
        EXPECT_EQ(seam::DetailCode(), 0);
        EXPECT_EQ(out, 7);
    }
    const std::string longest(255, 'p'), tooLong(256, 'p');
    // clang-format off
    const struct { int parameter; const char* text; int code; } rows[] = {
        {11, nullptr, 0}, {12, "/other", 0}, {11, longest.c_str(), 0}, {11, tooLong.c_str(), 771}};
    // clang-format on
    for (const auto& r : rows) {
        const int result = mfDefConfigParam(r.parameter, 0, r.text);
        EXPECT_EQ(Outcome(result, seam::DetailCode()), Result(r.code));
    }
    EXPECT_EQ(mfParConfigParam(), 0);
}

// Status answers come from the printer's status bytes or the library's open documents; the day
// closes only after a receipt. Rates and clock change only with the day closed and no document
// open (rates look at the day first). Type 1 takes four whole percents of a byte each, the others
// two bytes, high byte first; a rate that does not fit is not sent. The state printout.
TEST_F(ConfigTest, StatusTheDayRatesTheClockAndTheStatePrintout) {
    const auto all = [] {  // each answer, -2 for a failed query
        std::vector<int> values;
        for (auto* query :
             {&mfStatMode, &mfStatNoPaper, &mfStatReceipt, &mfStatDocument, &mfStatShift}) {
            int value = -1;
            values.push_back(query(&value) == 0 ? value : -2);
        }
        return values;
    };
    EXPECT_EQ(all(), (std::vector<int>{1, 0, 0, 0, 0}));  // a fiscal printer
    EXPECT_EQ(mfParTax(), 1);
    Sent();
    EXPECT_EQ(Coded(mfShiftEnd()), Result(778));
    EXPECT_EQ(Sent(), std::vector<Frame>{Esc("f")});
    IssueAReceipt();
    EXPECT_EQ(mfParTax(), 0);
    ASSERT_EQ(mfBeginTicket(-1), 0);
    EXPECT_EQ(all(), (std::vector<int>{1, 0, 1, 1, 1}));
    for (const int code : {779, 777}) {  // a receipt open, then the day open
        Sent();
        EXPECT_EQ(Coded(mfDefTax(2300, 800, 500, 0, -1, -1)), Result(777));
        EXPECT_EQ(Sent(), std::vector<Frame>{Esc("f")});
        EXPECT_EQ(Coded(mfParTime()), Result(code));
        EXPECT_EQ(Coded(mfDefTime(10, 0)), Result(code));
        mfStornoTicket();
    }
    printer->LoseNextAcknowledge('%');  // the printer closes the day all the same
    ASSERT_EQ(mfShiftEnd(), 0);
    EXPECT_EQ(mfParTime(), 0);
    ASSERT_EQ(mfBeginTicket(-1), 0);
    EXPECT_EQ(Coded(mfDefTax(2300, 800, 500, 0, -1, -1)), Result(779));
    EXPECT_EQ(mfParTax(), 0);
    ASSERT_EQ(mfStornoTicket(), 0);
    EXPECT_EQ(mfParTax(), 1);
    printer->RefuseNext({3, 0, 2, 0});  // the counter cannot be read
    EXPECT_EQ(Coded(mfParTax()), Outcome(0, 784));
    printer->State().fiscalised = false;
    printer->SetPaperOut(true);
    EXPECT_EQ(all(), (std::vector<int>{0, 1, 0, 0, 0}));
    printer->SetPaperOut(false);
    int value = 7;
    printer->AnswerShortNext(0);
    EXPECT_EQ(mfStatShift(&value), -2);
    EXPECT_EQ(value, 7);
    Sent();
    EXPECT_EQ(mfPrState(), 0);
    EXPECT_EQ(Sent()[0], Esc("&"));
    printer->AcknowledgeNextWith('&', 0x15);
    EXPECT_EQ(Coded(mfPrState()), Result(514));
    const auto one = [](char rate) { return Esc(std::string("\x44\x16") + rate + "\x05" + '\0'); };
    const std::string eight = "\xD4\x08\x98";
    const std::string rest = "\x01\xF4" + std::string(2, '\0') + "\x04\xD2\xFF\xFF";
    // clang-format off
    const struct { int type, rate; Frame sent; } rows[] = {  // "": refused with 771
        {1, 750, one('\x07')}, {1, -12800, one('\x80')}, {1, 25500, one('\xFF')},
        {8, 700, Esc(eight + "\x02\xBC" + rest)}, {8, 65535, Esc(eight + "\xFF\xFF" + rest)},
        {8, -32768, Esc(eight + "\x80" + '\0' + rest)},
        {8, 65536, ""}, {8, -32769, ""}, {1, 25600, ""}, {1, -12900, ""},
    };
    // clang-format on
    for (const auto& r : rows) {  // type 1 takes four rates
        StartOn(r.type);
        EXPECT_EQ(Coded(mfDefTax(2200, r.rate, 500, 0, r.type == 1 ? 9999999 : 1234, -1)),
                  Result(r.sent.empty() ? 771 : 0))
            << r.rate;
        const std::vector<Frame> sent = Sent();
        EXPECT_EQ(sent.empty() ? "" : sent.back(), r.sent) << r.rate;
    }
}

// The clock moves by at most an hour, within one hour step, while the day is closed.
TEST_F(ConfigTest, TheClockShift) {
    // clang-format off
    const auto six = [](char a, char b, char c) { return Esc(std::string{'\x36', a, b, c}); };
    const struct { int hour, minute, wantHour, wantMinute, code; Frame sent; } rows[] = {
        {10, 5, 9, 50, 0, six(0, 1, 5)}, {9, 50, 10, 5, 0, six(1, 1, 5)},
        {10, 20, 10, 75, 0, six(1, 5, 5)}, {9, 30, 10, 30, 0, six(1, 6, 0)},
        {9, 30, 10, 31, 771, ""}, {10, 50, 9, 10, 771, ""}, {10, 50, 12, 0, 771, ""},
        {23, 50, 0, 10, 771, ""}, {10, 0, 9, 200, 771, ""}, {10, 20, 10, 20, 775, six(1, 0, 0)},
    };
    // clang-format on
    for (const auto& r : rows) {
        SCOPED_TRACE(&r - rows);
        sim::PrinterModel model;
        model.clock = {2026, 12, 6, r.hour, r.minute, 0};
        Load(model);
        ASSERT_EQ(mfStart(0, 1), 0);
        Sent();
        EXPECT_EQ(Coded(mfDefTime(r.wantHour, r.wantMinute)), Result(r.code));
        const std::vector<Frame> shift = Of(Sent(), '6');
        EXPECT_EQ(shift.empty() ? "" : shift[0], r.sent);
    }
    printer->AcknowledgeNextWith('6', 0x15);  // the printer refuses the shift
    EXPECT_EQ(Coded(mfDefTime(10, 30)), Result(775));
}

// The footer: three lines of 40, each announced, then sent without ESC as its number, its text and
// their check byte; a printer that stops taking them has not set it.
TEST_F(ConfigTest, TheFooterGoesOutAsThreeLinesOfForty) {
    const auto line = [](int number, std::string text) {
        text.resize(40, ' ');
        char check = 0;
        for (const char c : text) check ^= c;
        return std::string(1, static_cast<char>(number)) + text + check;
    };
    ASSERT_EQ(mfDefFooter((std::string(45, 'a') + "bcdef").c_str()), 0);
    EXPECT_EQ(Sent(), (std::vector<Frame>{Esc("."), line(0, std::string(40, 'a')), Esc("."),
                                          line(1, "aaaaabcdef"), Esc("."), line(2, "")}));
    // clang-format off
    const struct { void (*fault)(sim::VirtualPrinter&); int code; size_t lines; } rows[] = {
        {[](sim::VirtualPrinter& p) { p.AcknowledgeNextWith('.', 0x15); }, 769, 0},
        {[](sim::VirtualPrinter& p) { p.AnswerGarbageNext({1}, true); }, 769, 1},
        {[](sim::VirtualPrinter& p) { p.AnswerGarbageNext({202}, true); }, 0, 3},  // go on
        {[](sim::VirtualPrinter& p) { p.AnswerShortNext(0, true); }, 514, 1},
    };
    // clang-format on
    for (const auto& r : rows) {
        r.fault(*printer);
        EXPECT_EQ(Coded(mfDefFooter("Zapraszamy")), Result(r.code));
        const std::vector<Frame> frames = Sent();
        EXPECT_EQ(frames.size() - Of(frames, '.').size(), r.lines);  // ESC '.' before each line
    }
    EXPECT_TRUE(Logged("In mfDefFooter, result: -2"));
}

// What the header, the footer and the point of sale can take; the cashier named in the foot of
// the receipt is kept even when the printer refuses the point-of-sale numbers.
TEST_F(ConfigTest, CapabilitiesAndThePointOfSale) {
    int v[7] = {-1, -1, -1, -1, -1, -1, -1};
    char text[134] = "x", header[134] = "x";
    EXPECT_EQ((std::vector<int>{mfParHeader(&v[0], &v[1], &v[2], header), mfParTicket(&v[3], &v[4]),
                                mfParFooter(&v[5], &v[6], text)}),
              std::vector<int>(3, 0));
    EXPECT_EQ(std::vector<int>(v, v + 7), (std::vector<int>{0, 1, 10, 0, 1, 3, 40}));
    EXPECT_STREQ(header, "");
    ASSERT_EQ(mfParPLU(&v[0], &v[1], text), 0);
    ASSERT_EQ(mfParPOS(&v[2], &v[3], &v[4], 0), 0);
    EXPECT_EQ(std::vector<int>(v, v + 5), (std::vector<int>{999999, 28, 99, 99, 1}));
    EXPECT_EQ(static_cast<uint8_t>(text[96]), 0x81);
    ASSERT_EQ(mfDefPOS(3, 12, "Anna"), 0);
    printer->RefuseNext({3, 0, 0, 0});
    EXPECT_EQ(mfDefPOS(4, 5, std::string(40, 'N').c_str()), -2);
    IssueAReceipt();
    const std::string roll = printer->Roll().AsUtf8();  // the printer keeps the numbers it took
    EXPECT_NE(roll.find("Kasa: 03 Kasjer: 12\n"), std::string::npos);
    EXPECT_NE(roll.find("05-" + std::string(26, 'N') + "\n"), std::string::npos);
    EXPECT_EQ(mfDefPOS(4, 6, nullptr), 0);
    EXPECT_EQ(Of(IssueAReceipt(), '\x09').size(), 1u);  // the amount to pay, no cashier line
    StartOn(4);                                         // no footer before type 8
    EXPECT_EQ(mfParFooter(&v[0], &v[1], text), -3);
    EXPECT_EQ(mfDefFooter("Zapraszamy"), 1);
    EXPECT_TRUE(Sent().empty());
}

// Reports by dates: from type 4 in report mode ('1', then the description without ESC), before in
// one command; years modulo 100, each date part as digit bytes. By numbers: base 255, low byte
// first, checked from type 4. The answer to a description: 0 done, 1 and 3 out of range, else 769.
TEST_F(ConfigTest, Reports) {
    // Report mode, then the description: its kind byte, two dates (a digit a byte) or numbers.
    const auto mode = [](const std::string& description) {
        return std::vector<Frame>{Esc("1"), description};
    };
    const auto digits = [](std::string dates) {
        for (char& c : dates) c -= '0';
        return dates;
    };
    const std::string march = digits("240301240331");
    using Report = int (*)(int, int, int, int, int, int);
    const Report global = &mfPrGlobalReport, detail = &mfPrDetailReport;
    const Report nr = [](int a, int b, int, int, int, int) { return mfPrNrReport(a, b); };
    // clang-format off
    const struct { int type; Report report; int args[6]; std::vector<Frame> sent; int code; } rows[] = {
        {8, detail, {2026, 12, 1, 2026, 12, 31}, mode('\0' + digits("261201261231")), 0},
        // The printer cannot take a range that ends before it starts, nor one with no day stored.
        {8, global, {2026, 12, 31, 2026, 12, 1}, mode("\x03" + digits("261231261201")), 771},
        {8, global, {1999, 1, 1, 99, 1, 2}, mode("\x03" + digits("990101990102")), 771},
        {8, global, {2024, 3, 99, 2024, 3, 31}, mode("\x03" + digits("240399240331")), 771},
        {2, detail, {2024, 3, 1, 2024, 3, 31}, {Esc("(" + march), Esc("U")}, 0},
        {2, global, {2024, 3, 1, 2024, 3, 31}, {Esc(")" + march), Esc("U")}, 0},
        {8, global, {2024, 100, 1, 2024, 3, 31}, {}, 771},
        {8, global, {2024, 3, -1, 2024, 3, 31}, {}, 771},
        {8, global, {-5, 3, 1, 2024, 3, 31}, {}, 771},
        // Two days stored.
        {8, nr, {1, 2}, mode(std::string("\x01\x01\x00\x02\x00", 5)), 0},
        {8, nr, {1, 300}, mode(std::string("\x01\x01\x00\x2D\x01", 5)), 0},
        {8, nr, {255, 65279}, mode(std::string("\x01\x00\x01\xFE\xFF", 5)), 771},
        {8, nr, {4, 4}, mode(std::string("\x01\x04\x00\x04\x00", 5)), 771},
        {8, nr, {5, 4}, {}, 771}, {8, nr, {0, 65280}, {}, 771},
        {8, nr, {-1, 4}, {}, 771}, {4, nr, {2, 1}, {}, 771},
    };
    // clang-format on
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.type << " " << r.args[0] << " " << r.args[1]);
        StartOn(r.type);
        for (int day = 0; day < 2; ++day) {
            IssueAReceipt();
            EXPECT_EQ(mfShiftEnd(), 0);
        }
        Sent();
        const int* a = r.args;
        EXPECT_EQ(Coded(r.report(a[0], a[1], a[2], a[3], a[4], a[5])), Result(r.code));
        std::vector<Frame> frames = Sent();
        frames.resize(std::min(frames.size(), std::max<size_t>(r.sent.size(), 1)));
        EXPECT_EQ(frames, r.sent);
    }
    mfSetDebugLevel(9);
    for (const auto& [answer, code] : {std::pair{0, 0}, {1, 771}, {3, 771}, {2, 769}, {9, 769}}) {
        printer->AnswerGarbageNext({static_cast<uint8_t>(answer)}, true);
        EXPECT_EQ(Coded(mfPrNrReport(1, 1)), Result(code)) << answer;
        printer->AnswerGarbageNext({static_cast<uint8_t>(answer)}, true);
        EXPECT_EQ(Coded(mfPrGlobalReport(2026, 12, 1, 2026, 12, 31)), Result(code)) << answer;
    }
    EXPECT_TRUE(Logged("In mfPrNrReport, CRequestDetailReport, result: 0, answer: 2"));
    ASSERT_EQ(mfBeginTicket(-1), 0);
    Sent();
    EXPECT_EQ(Coded(mfPrDetailReport(2024, 3, 1, 2024, 3, 31)), Result(779));
    EXPECT_EQ(Coded(mfPrNrReport(1, 2)), Result(779));
    EXPECT_TRUE(Sent().empty());
    StartOn(2);
    platform->FailWriteStarting({0x1B, '('});  // the code outlives the wait that follows
    EXPECT_EQ(Coded(mfPrDetailReport(2024, 3, 1, 2024, 3, 31)), Result(514));
    EXPECT_EQ(mfPrNrReport(1, 2), 1);
    EXPECT_TRUE(Of(Sent(), '1').empty());
}

}  // namespace
}  // namespace tarn::test
