// The diagnostic log and the wire trace through the interface: the opening and closing lines,
// levels, the lines of each family, long and hostile texts.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "library_test.h"
#include "seam.h"

namespace tarn::test {
namespace {

const char kOpening[] = "2026.12.06 10:00:00 ***** LOG OPEN  TARN *****\n";

class LogTest : public LibraryTest {
protected:
    void TearDown() override {
        unsetenv("TARN_TRACE");
        LibraryTest::TearDown();
    }
};

// mfSetDebugLevel: 0 logs nothing, 9 everything, any other value the failures. The log opens on
// each load, appends, stamps every line; mfStop closes it and the next mfStart opens it again,
// at the level it had (a start that finds it open keeps it).
TEST_F(LogTest, TheLevelDecidesWhatIsWrittenAndStartOpensTheLogAgain) {
    seam::LoadLibrary(dir.File("tarnel.txt"));  // loaded again
    platform->SleepMs(61000);
    mfSetDebugLevel(9);
    mfStop();
    const std::string log = LogText();
    EXPECT_EQ(log, std::string(kOpening) + kOpening +
                       "2026.12.06 10:01:01 mfSetDebugLevel to: 9\n"
                       "2026.12.06 10:01:01 In mfStop\n"
                       "2026.12.06 10:01:01 ***** LOG CLOSED *****\n");
    ASSERT_EQ(mfStart(0, 1), 0);
    const std::string reopened =
        "2026.12.06 10:01:01 ***** LOG OPEN  TARN *****\n"
        "2026.12.06 10:01:01 In mfStart, port: 1\n";
    EXPECT_EQ(LogText().substr(0, log.size() + reopened.size()), log + reopened);
    for (int value : {0, 1, 3, 5, 7, 9, -1}) {
        SCOPED_TRACE(value);
        std::remove(dir.File("tarnel.txt").c_str());
        Load();
        EXPECT_EQ(mfSetDebugLevel(value), 0);
        ASSERT_EQ(mfStart(0, 1), 0);
        printer->AnswerShortNext(1);  // a failed exchange: its line goes out at the failure level
        EXPECT_EQ(mfGetTax(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), -2);
        EXPECT_EQ(mfSetDebugLevel(value), 0);
        EXPECT_EQ(mfError(), 0);  // the level call clears the detail code
        mfStop();
        EXPECT_EQ(Logged("In mfStart, port: 1"), value == 9);
        EXPECT_EQ(Logged("mfSetDebugLevel to: 9"), value == 9);
        EXPECT_EQ(Logged("In mfGetTax, result: -2"), value != 0);
        EXPECT_TRUE(Logged("***** LOG CLOSED *****"));
        EXPECT_EQ(LogText().rfind("LOG OPEN"), LogText().find("LOG OPEN"));  // kept open
    }
}

// A line cut to the 255 characters of its buffer.
std::string Cut(const std::string& line) {
    return line + std::string(255 - line.size(), 'x');
}

// Calls → the lines they write, with their tabs and double spaces; level 9 for progress lines, 5
// for the lines that go out with the failures. Caller texts are bytes, never a format.
TEST_F(LogTest, EachFamilyWritesItsLines) {
    // clang-format off
    const struct { int type, level; void (*calls)(); std::vector<std::string> lines; } rows[] = {
        {8, 9, [] { mfBeginTicket(-1); mfLineTicket(0, "Chleb", 'A', "szt", 500, 1000, 0);
                    mfEndTicket(0, 7, 0, 300, "Got\xA2wka", 200, "%s%n%x", 0,
                                std::string(1000, 'x').c_str(), 0, "", 0, "", "", ""); },
         {"In mfEndTicket, percentDiscount: 0, valueDiscount: 7, payment1: 300, paymStr1: "
          "Got\xA2wka, \t\tpayment2: 200, paymStr2: %s%n%x,\tpayment3: 0, paymStr3: " +
          std::string(13, 'x') + "."}},  // a payment name as far as its field
        {8, 9, [] { mfBeginTicket(-1); mfLineTicket(0, "Chleb", 'A', "szt", 2000, 1000, 0);
                    mfEndTicket(0, 0, 0, 2000, "EUR 4,1234", 0, "", 0, "", 0, "", 0, "", "", ""); },
         {"divideByExchRate iPoPrzecinku 4, lExchRate 41234, sExchRate 4,1234, lValueToDivide 2000",
          "divideByExchRate iPoPrzecinku 4, lExchRate 41234, lValueToDivide 20000000"}},
        {8, 5, [] { mfBeginTicket(-1); mfLineTicket(0, "Chleb", 'A', "szt", 2000, 1000, 0);
                    mfEndTicket(0, 0, 0, 2000, "EUR 4,1234", 7, "Karta", 0, "", 0, "", 0, "", "", ""); },
         {"In mfEndTicket lToPayInSecCurr 485, secCurrExchRate 4,1234, payment1 2000"}},
        {8, 9, [] { mfDefTime(10, 30); },
         {"In mfDefTime, difference: 30, forward: 1, current_hour: 10, current_minute: 0, "
          "\t\thour: 10, minute: 30, hourAfter: 10, minuteAfter: 30, result: 0"}},
        {8, 9, [] { mfPrGlobalReport(2026, 1, 1, 2026, 12, 31); },
         {"In mfPrGlobalReport, startYear: 2026, int startMonth: 1, int startDay: 1, \t\tint "
          "stopYear: 2026,  int stopMonth: 12,  int stopDay 31",
          "In mfPrGlobalReport,  PrinterType: 8, result3: 0, answer: 3"}},
        {3, 9, [] { mfPrGlobalReport(2026, 1, 1, 2026, 12, 31); },
         {"In mfPrGlobalReport,  PrinterType: 3, result1: 0"}},
        {8, 5, [] { mfBgShiftReport("7", "2026-12-06", "2026-12-06", "Anna");
                    mfLineShiftReport(2, "Got\xA2wka", "10,00", "10,00", "0,00"); },
         {"In mfBgShitReport,no: 7, startDate: 2026-12-06, endDate: 2026-12-06, personName Anna",
          "In mfLineShitReport, typeNo: 2, name: Got\xA2wka, counted: 10,00, cash: 10,00, "
          "difference 0,00"}},
        {8, 9, [] { mfBgShiftReport("7", "", "", "");
                    mfLineShiftReport(2, "Got\xA2wka", "", "", "");
                    mfLineShiftReport(3, "WYP\x9D" "ATA Z KASY", "", "-50,00", "");
                    mfLineShiftReport(4, "SPRZEDA\xBD FISKALNA", "", "1234,5", "");
                    mfEndShiftReport(); },  // pay-outs as kept and aligned, the sales as printed
         {"In mfEndShiftReport sSprzedazFiskalna: 123,45, lSprzedazFiskalna 12345",
          "In mfEndShiftReport sGotowkaWyplata: 50,00",
          "In mfEndShiftReport sGotowkaWyplata: " + std::string(15, ' ') + "50,00"}},
        {8, 9, [] { mfBgReturn("12/2026", "Jan Kowalski", 0); mfLineReturn("Chleb", "1", "5,00"); },
         {"In mfLineReturn,mfReturnNumber: 12/2026, mfReturnPersonName: Jan Kowalski, name: "
          "Chleb, quant 1, total: 5,00, \t\tresult: 0"}},
        {8, 5, [] { mfBgReturn("1", "Anna", 0);
                    mfLineReturn("", std::string(1100, 'x').c_str(), ""); },  // too long to send
         {Cut("In mfLineReturn,mfReturnNumber: 1, mfReturnPersonName: Anna, name: , quant ")}},
        {8, 9, [] { mfParFiscDisp(0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr); },
         {"In mfParFiscDisp, item 1"}},
        {8, 5, [] { int hour, minute; mfBeginTicket(-1); mfGetTime(&hour, &minute); mfError(); },
         {"In mfError before if_notStart - , mfErrorL: 779", "In mfError - , mfErrorL: 779"}},
    };
    // clang-format on
    for (const auto& r : rows) {
        StartOn(r.type);
        mfSetDebugLevel(r.level);
        r.calls();
        for (const std::string& line : r.lines) EXPECT_TRUE(Logged(line)) << line << LogText();
    }
}

// TARN_TRACE: every block to and from the printer, with its direction and port.
TEST_F(LogTest, TheWireTraceHasEveryBlock) {
    setenv("TARN_TRACE", dir.File("trace.txt").c_str(), 1);
    ASSERT_EQ(mfStart(0, 1), 0);
    unsigned char query[] = {0x1B, 0x66};
    ASSERT_EQ(mfAnyCommand(2, query, 4, nullptr, nullptr, 300), 0);
    const std::string trace = ReadFile(dir.File("trace.txt"));
    EXPECT_EQ(trace.substr(0, 37), "2026.12.06 10:00:00.000 COM1 >> 1B FF");
    for (const char* block :
         {"COM1 << 06\n", "COM1 << 2C\n", "COM1 << 7C 02\n", "COM1 << 06 00 00\n"})
        EXPECT_NE(trace.find(block), std::string::npos) << block;
    unsetenv("TARN_TRACE");
    mfGetSerNo(nullptr);
    EXPECT_EQ(ReadFile(dir.File("trace.txt")), trace);
}

}  // namespace
}  // namespace tarn::test
