// The virtual printer's timing as the paced benchmark relies on it: line time and print time.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "serial_line.h"
#include "virtual_printer.h"

namespace tarn::sim {
namespace {

constexpr int64_t kByteNs = 1145833;  // 11 bits at 9600 baud

TEST(SerialLineTest, CarriesBytesOfElevenBitsOneAfterAnother) {
    EXPECT_EQ(SerialLine::ByteNs(), kByteNs);
    const struct {
        int64_t handedAtNs;
        int64_t receivedAtNs;
    } steps[] = {
        {0, kByteNs},                  // an idle line carries a byte at once
        {0, 2 * kByteNs},              // a byte handed over with it waits its turn
        {kByteNs, 3 * kByteNs},        // so does one handed over while the line is busy
        {10 * kByteNs, 11 * kByteNs},  // a line that went quiet starts afresh
        {10 * kByteNs + 1, 12 * kByteNs},
    };
    SerialLine line;
    for (const auto& step : steps) EXPECT_EQ(line.Carry(step.handedAtNs), step.receivedAtNs);
}

struct PrintCase {
    const char* what;
    int fixedPrintMs;
    std::vector<uint8_t> command;
    bool prints;
};

// How long the printer reports busy (status byte 2, bit 0x01) after `command` at 1000 ms.
int64_t BusyMsAfter(const PrintCase& c, int* linesPrinted) {
    PrinterModel model;
    model.fixedPrintMs = c.fixedPrintMs;
    VirtualPrinter printer(model);
    const size_t before = printer.Roll().Lines().size();
    printer.Receive(c.command.data(), static_cast<int>(c.command.size()), 1000);
    *linesPrinted = static_cast<int>(printer.Roll().Lines().size() - before);
    return printer.State().busyUntilMs > 1000 ? printer.State().busyUntilMs - 1000 : 0;
}

TEST(PrintTimeTest, APrintingCommandKeepsThePrinterBusy) {
    const PrintCase cases[] = {
        {"fixed print time, whatever is printed", 700, {0x1B, 0x26}, true},
        {"a command that prints nothing leaves it ready", 700, {0x1B, 0x55}, false},
        {"time per line without a fixed time", 0, {0x1B, 0x26}, true},
    };
    for (const PrintCase& c : cases) {
        SCOPED_TRACE(c.what);
        int lines = 0;
        const int64_t busyMs = BusyMsAfter(c, &lines);
        EXPECT_EQ(lines > 0, c.prints);
        const int64_t expected =
            !c.prints
                ? 0
                : (c.fixedPrintMs > 0 ? c.fixedPrintMs : lines * PrinterModel{}.printMsPerLine);
        EXPECT_EQ(busyMs, expected);
    }
}

TEST(PrintTimeTest, AFixedPrintTimeRunsFromTheLastPrintingCommand) {
    PrinterModel model;
    model.fixedPrintMs = 700;
    VirtualPrinter printer(model);
    const uint8_t printout[] = {0x1B, 0x26};
    printer.Receive(printout, 2, 1000);
    printer.Receive(printout, 2, 1500);
    EXPECT_TRUE(printer.State().Busy(2199));
    EXPECT_FALSE(printer.State().Busy(2200));
}

}  // namespace
}  // namespace tarn::sim
