// Information queries and the names that answer with a fixed result.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "api/interface_list.h"
#include "tarn/tarn.h"
#include "virtual_printer_test.h"

namespace tarn {
namespace {

class QueriesTest : public test::VirtualPrinterTest {
protected:
    void Start() { ASSERT_EQ(mfStart(0, 1), 0); }
};

TEST_F(QueriesTest, ReadTheClockCounterRatesAndSerialNumber) {
    sim::PrinterModel model;
    model.clock = {2026, 3, 9, 14, 59, 30};
    model.serialNumber = "ABC12345678";
    UsePrinter(model);
    Start();
    printer->State().receiptsToday = 300;
    printer->State().taxRates = {2300, 800, -1, 0, 500, -1};
    int a = 0, b = 0, c = 0, d = 0, e = 0, f = 0;
    EXPECT_EQ(mfGetDate(&a, &b, &c), 0);
    EXPECT_EQ((std::vector<int>{a, b, c}), (std::vector<int>{26, 3, 9}));
    EXPECT_EQ(mfGetTime(&a, &b), 0);
    EXPECT_EQ((std::vector<int>{a, b}), (std::vector<int>{14, 59}));
    EXPECT_EQ(mfGetLastTicketNo(&a), 0);
    EXPECT_EQ(a, 300);
    EXPECT_EQ(mfGetTax(&a, &b, &c, &d, &e, &f), 0);
    EXPECT_EQ((std::vector<int>{a, b, c, d, e, f}), (std::vector<int>{2300, 800, -1, 0, 500, -1}));
    char serial[12] = {};
    EXPECT_EQ(mfGetSerNo(serial), 0);
    EXPECT_STREQ(serial, "ABC12345678");
    EXPECT_EQ(mfGetSerNo(nullptr), 0);
    EXPECT_EQ(mfGetTax(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
}

struct ShortCase {
    const char* name;
    int (*query)(int* out);
};

TEST_F(QueriesTest, AShortAnswerFailsAndLeavesTheOutputsAlone) {
    const ShortCase cases[] = {
        {"time", [](int* out) { return mfGetTime(out, out + 1); }},
        {"date", [](int* out) { return mfGetDate(out, out + 1, out + 2); }},
        {"counter", [](int* out) { return mfGetLastTicketNo(out); }},
        {"tax rates",
         [](int* out) { return mfGetTax(out, out + 1, out + 2, out + 3, out + 4, out + 5); }},
        {"serial number", [](int* out) { return mfGetSerNo(reinterpret_cast<char*>(out)); }},
    };
    Start();
    for (const ShortCase& c : cases) {
        SCOPED_TRACE(c.name);
        int out[6] = {-7, -7, -7, -7, -7, -7};
        printer->AnswerShortNext(1);
        EXPECT_EQ(c.query(out), -2);
        EXPECT_EQ(Lib().mfErrorL, 514);
        for (const int v : out) EXPECT_EQ(v, -7);
    }
    EXPECT_NE(LogText().find("In mfGetTax, result: -2"), std::string::npos);
    EXPECT_NE(LogText().find("In mfGetSerNo, result: -2"), std::string::npos);
}

TEST_F(QueriesTest, TheClockIsNotReadInsideADocument) {
    Start();
    Lib().SetDocumentOpen(MF_DOC_RECEIPT, true);
    printer->ClearFrames();
    int h = -1, m = -1, x = -1;
    EXPECT_EQ(mfGetTime(&h, &m), -2);
    EXPECT_EQ(Lib().mfErrorL, 779);
    EXPECT_EQ(mfGetDate(&h, &m, &x), -2);
    EXPECT_TRUE(printer->Frames().empty());
    EXPECT_EQ(h, -1);
    EXPECT_EQ(mfGetLastTicketNo(&h), 0);  // the counter may be read
}

struct PauseCase {
    int type;
    int64_t timeMs;     // the clock query: 800 ms after the acknowledge, then a 300 ms pause
    int64_t counterMs;  // the counter: 800 ms after the acknowledge, then a 100 ms pause
};

TEST_F(QueriesTest, OlderPrintersGetTheirPauseAfterClockAndCounter) {
    const PauseCase cases[] = {{2, 1100, 900}, {4, 0, 0}, {8, 0, 0}};
    for (const PauseCase& c : cases) {
        sim::PrinterModel model;
        model.type = c.type;
        UsePrinter(model);
        Lib().started = false;
        Start();
        int a = 0, b = 0;
        int64_t start = Now();
        mfGetTime(&a, &b);
        EXPECT_EQ(Now() - start, c.timeMs) << c.type;
        start = Now();
        mfGetLastTicketNo(&a);
        EXPECT_EQ(Now() - start, c.counterMs) << c.type;
    }
}

TEST_F(QueriesTest, VersionsAndFixedFacts) {
    int a = -1, b = -1;
    EXPECT_EQ(mfParLibVersion(&a, &b, 0), -1);
    EXPECT_EQ(mfGetVersion(&a, &b), -1);
    EXPECT_EQ(a, -1);
    Start();
    EXPECT_EQ(mfParLibVersion(&a, &b, 0), 0);
    EXPECT_EQ(std::make_pair(a, b), std::make_pair(1, 12));
    EXPECT_EQ(mfParLibBuild(&a), 0);
    EXPECT_EQ(a, 6);
    EXPECT_EQ(mfParFiscal(&a), 0);
    EXPECT_EQ(a, 1);
    a = 0;
    EXPECT_EQ(mfStatDenom(&a), 0);
    EXPECT_EQ(a, 1);
}

// Calls a fixed-answer name with `args` zero arguments.
using AnyFunction = void (*)();

template <size_t... I>
int CallWithZeros(AnyFunction fn, std::index_sequence<I...>) {
    using Signature = int(TARN_API*)(decltype((void)I, tarn_arg{})...);
    return reinterpret_cast<Signature>(fn)(((void)I, tarn_arg{0})...);
}

template <int N = 0>
int CallWithZeros(AnyFunction fn, int args) {
    if (args == N) return CallWithZeros(fn, std::make_index_sequence<N>{});
    if constexpr (N < 40) return CallWithZeros<N + 1>(fn, args);
    return -99;
}

struct FixedName {
    std::string name;
    AnyFunction fn;
    int args;
    std::string entry;
};

std::vector<FixedName> FixedNames() {
    std::vector<FixedName> names;
#define TARN_TEST_ROW(name, ordinal, args, entry, kind) TARN_TEST_##kind(name, args, entry)
#define TARN_TEST_FIXED(name, args, entry) \
    names.push_back({#name, reinterpret_cast<AnyFunction>(&name), args, #entry});
#define TARN_TEST_OWN(name, args, entry)
#define TARN_TEST_SHARED(name, args, entry)
#define TARN_TEST_LATER(name, args, entry)
    TARN_INTERFACE(TARN_TEST_ROW)
    return names;
}

// What each shared entry point answers: with a session, and without one.
const std::map<std::string, std::pair<int, int>> kAnswers = {
    {"FixedSession1Args0", {1, -1}},       {"FixedSession1Args1", {1, -1}},
    {"FixedSession1Args2", {1, -1}},       {"FixedSession1Args3", {1, -1}},
    {"FixedSession1Args4", {1, -1}},       {"FixedSession1Args5", {1, -1}},
    {"FixedSession1Args6", {1, -1}},       {"FixedSession1Args7", {1, -1}},
    {"FixedSession1Args9", {1, -1}},       {"FixedSession1Args10", {1, -1}},
    {"FixedSession1Args12", {1, -1}},      {"FixedSession1Args15", {1, -1}},
    {"FixedSession1Args17", {1, -1}},      {"FixedSession1Args20", {1, -1}},
    {"FixedSession1Args22", {1, -1}},      {"FixedSession1Args31", {1, -1}},
    {"FixedSession1Args33", {1, -1}},      {"FixedSession1Args36", {1, -1}},
    {"FixedSession0Args0", {0, -1}},       {"FixedSessionAbsentArgs0", {-3, -1}},
    {"FixedSessionAbsentArgs1", {-3, -1}}, {"FixedAbsentArgs0", {-3, -3}},
    {"FixedAlways1Args2", {1, 1}},         {"FixedAlways1Args12", {1, 1}},
    {"FixedAlways0Args0", {0, 0}},         {"FixedSessionZeroOut", {0, -1}},
};

TEST_F(QueriesTest, EveryFixedAnswerNameAnswersWithAndWithoutASession) {
    const std::vector<FixedName> names = FixedNames();
    ASSERT_EQ(names.size(), 99u);
    for (const bool session : {false, true}) {
        if (session) Start();
        printer->ClearFrames();
        for (const FixedName& n : names) {
            SCOPED_TRACE(n.name + (session ? " with a session" : " without a session"));
            ASSERT_EQ(kAnswers.count(n.entry), 1u);
            const auto [withSession, without] = kAnswers.at(n.entry);
            Lib().mfErrorL = 514;
            if (n.entry == "FixedSessionZeroOut") {
                int value = 7;
                EXPECT_EQ(reinterpret_cast<int(TARN_API*)(int*)>(n.fn)(&value),
                          session ? withSession : without);
                EXPECT_EQ(value, session ? 0 : 7);
                EXPECT_EQ(reinterpret_cast<int(TARN_API*)(int*)>(n.fn)(nullptr),
                          session ? withSession : without);
            } else {
                EXPECT_EQ(CallWithZeros(n.fn, n.args), session ? withSession : without);
            }
            EXPECT_EQ(Lib().mfErrorL, 0);
        }
        EXPECT_TRUE(printer->Frames().empty());
    }
}

}  // namespace
}  // namespace tarn
