#include "wire_trace.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarn::bench {
namespace {

std::string Out(const std::string& hex) {
    return "2026.12.06 10:00:00.125 COM1 >> " + hex + "\n";
}
std::string In(const std::string& hex) {
    return "2026.12.06 10:00:00.126 COM1 << " + hex + "\n";
}
std::string Marker(const std::string& call) {
    return CallMarker(call) + "\n";
}
std::string Bytes(int count, const char* byte = "20") {
    std::string hex;
    for (int i = 0; i < count; ++i) hex += std::string(i > 0 ? " " : "") + byte;
    return hex;
}

struct Expected {
    uint8_t command;
    bool acknowledged;
    bool refused;
    int restBytes;
    int answerBytes;
};

struct TraceCase {
    const char* what;
    std::string trace;
    std::vector<Expected> exchanges;
};

TEST(WireTraceTest, GroupsBlocksIntoExchanges) {
    const TraceCase cases[] = {
        {"query with acknowledge and answer",
         Marker("mfStart") + Out("1B 66") + In("06") + In("05 00"),
         {{0x66, true, false, 0, 2}}},
        {"sale line without acknowledge",
         Marker("mfLineTicket") + Out("1B 06") + Out(Bytes(49)),
         {{0x06, false, false, 49, 0}}},
        {"answer in place of the acknowledge",
         Marker("mfStart") + Out("1B 2A") + In("06"),
         {{0x2A, false, false, 0, 1}}},
        {"acknowledged fields",
         Marker("mfDefPOS") + Out("1B 43") + In("06") + Out("30 31 30 37"),
         {{0x43, true, false, 4, 0}}},
        {"a total that starts like a command head",
         Marker("mfEndTicket") + Out("1B 07") + Out("1B 24 00 00") + Out("1B 24") + In("06"),
         {{0x07, false, false, 4, 0}, {0x24, true, false, 0, 0}}},
        {"refusal and the status queries after it",
         Marker("mfStart") + Out("1B F6") + In("15") + Out("1B 5B") + In("06") + In("13"),
         {{0xF6, true, true, 0, 0}, {0x5B, true, false, 0, 1}}},
    };
    for (const TraceCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<TracedCall> calls;
        std::string error;
        ASSERT_TRUE(ReadTrace(c.trace, &calls, &error)) << error;
        ASSERT_EQ(calls.size(), 1u);
        ASSERT_EQ(calls[0].exchanges.size(), c.exchanges.size());
        for (size_t i = 0; i < c.exchanges.size(); ++i) {
            const Exchange& got = calls[0].exchanges[i];
            const Expected& want = c.exchanges[i];
            EXPECT_EQ(got.command, want.command);
            EXPECT_EQ(got.headBytes, 2);
            EXPECT_EQ(got.acknowledged, want.acknowledged);
            EXPECT_EQ(got.refused, want.refused);
            EXPECT_EQ(got.restBytes, want.restBytes);
            EXPECT_EQ(got.answerBytes, want.answerBytes);
        }
    }
}

TEST(WireTraceTest, KeepsEachCallsExchangesApart) {
    const std::string trace = Marker("mfBeginTicket") + Out("1B 21") + In("06") + Marker("mfStop") +
                              Marker("mfLineTicket") + Out("1B 06") + Out(Bytes(49)) +
                              Out("1B 50") + In("06") + In("00");
    // The library under Windows writes its trace with CR LF line ends.
    std::string windowsTrace;
    for (const char c : trace) windowsTrace += c == '\n' ? std::string("\r\n") : std::string(1, c);
    for (const std::string& text : {trace, windowsTrace}) {
        std::vector<TracedCall> calls;
        std::string error;
        ASSERT_TRUE(ReadTrace(text, &calls, &error)) << error;
        ASSERT_EQ(calls.size(), 3u);
        EXPECT_EQ(calls[0].name, "mfBeginTicket");
        EXPECT_EQ(calls[0].exchanges.size(), 1u);
        EXPECT_TRUE(calls[1].exchanges.empty());
        ASSERT_EQ(calls[2].exchanges.size(), 2u);
        EXPECT_EQ(calls[2].exchanges[1].command, 0x50);
    }
}

TEST(WireTraceTest, RefusesTracesItCannotAccountFor) {
    const struct {
        const char* what;
        std::string trace;
        const char* error;
    } cases[] = {
        {"traffic before the first call", Out("1B 66") + Marker("mfStart"),
         "before the first call"},
        {"a command the sale does not send", Marker("mfStart") + Out("1B 99") + In("06"),
         "mfStart: a command the sale does not send (command 0x99)"},
        {"an acknowledge that never came", Marker("mfStart") + Out("1B 66") + In("(nothing)"),
         "no acknowledge"},
        {"a frame without its fields", Marker("mfLineTicket") + Out("1B 06"), "without its fields"},
        {"an answer with no command", Marker("mfStart") + In("06"), "where a command head belongs"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<TracedCall> calls;
        std::string error;
        EXPECT_FALSE(ReadTrace(c.trace, &calls, &error));
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
}

}  // namespace
}  // namespace tarn::bench
