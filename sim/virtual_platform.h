// The virtual printer in-process, on a virtual clock: a read with nothing to read moves the
// clock on by its time-out, a sleep by its length, so every timing is exact and costs nothing.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"
#include "virtual_printer.h"

namespace tarn::sim {

struct WireWrite {
    int64_t atMs;
    std::vector<uint8_t> bytes;
};

class VirtualPlatform : public Platform {
public:
    static constexpr uint32_t kErrorFileNotFound = 2;
    static constexpr uint32_t kErrorGeneric = 31;

    // `printer` is attached to serial port `port`; local time starts at `localTime`.
    explicit VirtualPlatform(VirtualPrinter& printer, int port = 1,
                             const CivilTime& localTime = {2026, 12, 6, 10, 0, 0});

    std::unique_ptr<SerialDevice> OpenSerial(int port, const LineSettings& settings,
                                             uint32_t* error) override;
    int64_t MonotonicMs() override { return nowMs_; }
    void SleepMs(int ms) override;
    LocalTime Now() override;

    // Moves the clock to `ms`, letting the printer take the decisions that fall due.
    void AdvanceTo(int64_t ms);

    // What the host did.
    const std::vector<WireWrite>& Writes() const { return writes_; }
    void ClearWrites() { writes_.clear(); }
    int Opens() const { return opens_; }
    int Closes() const { return closes_; }
    bool PortOpen() const { return openDevices_ > 0; }
    const LineSettings& LastSettings() const { return lastSettings_; }
    int64_t SleptMs() const { return sleptMs_; }

    // The printer is behind TCP: the library holds the connection for its session (a port
    // kept between exchanges; late bytes are dropped when an exchange takes it up again).
    void HoldConnections(bool held) { heldConnections_ = held; }

    // Device faults.
    void FailNextWrite() { failWrite_ = true; }
    // Fails the next write whose bytes begin with `prefix`.
    void FailWriteStarting(std::vector<uint8_t> prefix) { failPrefix_ = std::move(prefix); }
    void FailNextRead() { failRead_ = true; }
    void FailNextClose() { failClose_ = true; }
    // The next opening of the port runs out of memory (std::bad_alloc).
    void ExhaustMemoryAtNextOpen() { exhaustAtOpen_ = true; }

private:
    class Device;
    friend class Device;

    VirtualPrinter& printer_;
    int port_;
    CivilTime localTime_;
    int64_t nowMs_ = 0;
    int64_t sleptMs_ = 0;
    std::vector<WireWrite> writes_;
    int opens_ = 0;
    int closes_ = 0;
    int openDevices_ = 0;
    LineSettings lastSettings_;
    bool failWrite_ = false;
    std::vector<uint8_t> failPrefix_;
    bool failRead_ = false;
    bool failClose_ = false;
    bool exhaustAtOpen_ = false;
    bool heldConnections_ = false;
};

}  // namespace tarn::sim
