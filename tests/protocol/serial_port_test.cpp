// The serial port over the virtual device: opening on demand, closing, reading by the byte.
#include <gtest/gtest.h>

#include "link/serial_port.h"
#include "virtual_printer_test.h"

namespace tarn {
namespace {

class SerialPortTest : public test::VirtualPrinterTest {};

SerialPort SessionPort(int number, bool closeAfterEachTransfer = false) {
    return SerialPort(number, closeAfterEachTransfer, 0, 0, 30000, 9600, 8, 0, 2);
}

TEST_F(SerialPortTest, AMissingPortFailsToWriteWithALogLineAndToReadSilently) {
    SerialPort port = SessionPort(2);
    const uint8_t bytes[] = {0x1B, 0x66};
    EXPECT_EQ(port.Write(bytes, 2), -1);
    EXPECT_NE(port.LastError(), 0u);
    const std::string afterWrite = LogText();
    EXPECT_NE(afterWrite.find("SerialPort: CAN NOT open port"), std::string::npos);
    uint8_t buffer[4];
    EXPECT_EQ(port.Read(buffer, 4), -1);
    EXPECT_EQ(LogText(), afterWrite);
}

TEST_F(SerialPortTest, ClosingAPortThatIsNotOpenSucceeds) {
    SerialPort port = SessionPort(1);
    EXPECT_TRUE(port.Close());
    EXPECT_TRUE(port.Open());
    EXPECT_TRUE(port.Close());
    EXPECT_TRUE(port.Close());
}

TEST_F(SerialPortTest, ReadsWhatCameAndStopsAtTheFirstMissingByte) {
    SerialPort port = SessionPort(1);
    const uint8_t query[] = {0x1B, 0x66};  // answered by ACK and two bytes
    ASSERT_EQ(port.Write(query, 2), 2);
    uint8_t buffer[8] = {};
    EXPECT_EQ(port.Read(buffer, 8), 3);
    EXPECT_EQ(Now(), 30000);
    EXPECT_EQ(port.Read(buffer, 0), 0);
    EXPECT_EQ(port.Read(buffer, -4), 0);
    EXPECT_TRUE(port.IsOpen());
}

TEST_F(SerialPortTest, ClosesAfterEachTransferWhenAskedTo) {
    SerialPort port = SessionPort(1, true);
    const uint8_t query[] = {0x1B, 0x66};
    ASSERT_EQ(port.Write(query, 2), 2);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(platform->PortOpen());
}

TEST_F(SerialPortTest, AFailedReadIsMinusOne) {
    SerialPort port = SessionPort(1);
    platform->FailNextRead();
    uint8_t buffer[2];
    EXPECT_EQ(port.Read(buffer, 2), -1);
}

}  // namespace
}  // namespace tarn
