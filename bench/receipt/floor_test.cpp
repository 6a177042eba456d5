#include "floor.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "serial_line.h"

namespace tarn::bench {
namespace {

const double T = static_cast<double>(sim::SerialLine::ByteNs()) / 1e6;  // one byte, ms

Exchange Acked(uint8_t command, int answerBytes = 0, int restBytes = 0) {
    Exchange e;
    e.command = command;
    e.headBytes = 2;
    e.acknowledged = true;
    e.hasFields = restBytes > 0;
    e.restBytes = restBytes;
    e.answerBytes = answerBytes;
    return e;
}

Exchange Unacked(uint8_t command, int restBytes, int answerBytes = 0) {
    Exchange e = Acked(command, answerBytes, restBytes);
    e.acknowledged = false;
    return e;
}

Exchange Refused(uint8_t command) {
    Exchange e = Acked(command);
    e.refused = true;
    return e;
}

struct FloorCase {
    const char* what;
    FloorSettings settings;
    std::vector<TracedCall> calls;
    double expectedMs;
};

FloorCase Case(const char* what, int type, int printMs, std::vector<TracedCall> calls,
               double expectedMs) {
    return {what, {type, printMs}, std::move(calls), expectedMs};
}

TEST(FloorTest, ReplaysTheProtocolOnAnIdealLine) {
    const Exchange status = Acked(0x55, 1);
    const Exchange saleLine = Unacked(0x06, 49);
    const Exchange reason = Acked(0x50, 1);
    const Exchange end = Acked(0x24);
    const FloorCase cases[] = {
        Case("a query: head, acknowledge and answer back to back", 8, 0, {{"mfStart", {status}}},
             4 * T),
        Case("an older printer: the answer arrives during the settling wait", 3, 0,
             {{"mfStart", {status}}}, 3 * T + 800),
        Case("an older printer: settling after the head and after the acknowledge", 3, 0,
             {{"mfDefPOS", {Acked(0x43, 0, 4)}}}, 1600),
        Case("a refusal ends the exchange at its acknowledge", 3, 0, {{"mfStart", {Refused(0xF6)}}},
             3 * T + 800),
        Case("identification runs before the type is known", 8, 0,
             {{"mfStart", {Acked(0xFF, 1), Acked(0xF6, 2), Acked(0x66, 2)}}},
             2 * (3 * T + 800) + 5 * T),
        Case("and after a refused 0xF6, through the refusal's queries and '['", 3, 0,
             {{"mfStart",
               {Acked(0xFF, 1), Refused(0xF6), Acked(0x5B, 1), Acked(0x54, 1), status,
                Acked(0x56, 1), Acked(0x5B, 1), Acked(0x5B, 1)}}},
             8 * (3 * T + 800)),
        Case("a sale line goes out while the check pauses", 8, 0,
             {{"mfLineTicket", {saleLine, reason}}}, 200 + 4 * T),
        Case("an older printer pauses after a sale line too", 3, 0,
             {{"mfLineTicket", {saleLine, Acked(0x54, 1), status}}},
             800 + 200 + 200 + 2 * (3 * T + 800)),
        Case("status byte 1 checks nothing in the opening", 8, 0,
             {{"mfBeginTicket", {Acked(0x54, 1)}}}, 4 * T),
        Case("a line discount waits after it", 8, 0,
             {{"mfLineTicketExt", {Unacked(0x18, 5), reason}}}, 200 + 200 + 4 * T),
        Case("a printer that is done at once: one status query", 8, 0,
             {{"mfEndTicket", {end, status, status, status}}}, 3 * T + 200 + 4 * T),
        Case("print time rounded up to the polling", 8, 450, {{"mfEndTicket", {end, status}}},
             3 * T + 200 + 5 * 4 * T + 4 * 100),
    };
    for (const FloorCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_NEAR(IdealFloor(c.calls, c.settings).totalMs, c.expectedMs, 1e-6);
    }
}

TEST(FloorTest, CountsEveryByteAndWait) {
    const std::vector<TracedCall> calls{
        {"mfLineTicket", {Unacked(0x06, 49), Acked(0x50, 1)}},
        {"mfEndTicket", {Acked(0x24), Acked(0x55, 1)}},
    };
    const Floor floor = IdealFloor(calls, {8, 0});
    EXPECT_EQ(floor.exchanges, 4);
    EXPECT_EQ(floor.bytesToPrinter, 2 + 49 + 2 + 2 + 2);
    EXPECT_EQ(floor.bytesFromPrinter, 2 + 1 + 2);
    EXPECT_NEAR(floor.lineMs, (57 + 5) * T, 1e-6);
    EXPECT_NEAR(floor.waitsMs, 200 + 200, 1e-6);
}

}  // namespace
}  // namespace tarn::bench
