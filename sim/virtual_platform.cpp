#include "virtual_platform.h"

#include <algorithm>
#include <new>

namespace tarn::sim {

class VirtualPlatform::Device final : public SerialDevice {
public:
    Device(VirtualPlatform& platform, int timeoutMs) : platform_(platform), timeoutMs_(timeoutMs) {
        ++platform_.openDevices_;
    }
    ~Device() override {
        if (open_) --platform_.openDevices_;
    }

    int Write(const uint8_t* bytes, int count, uint32_t* error) override {
        std::vector<uint8_t>& prefix = platform_.failPrefix_;
        const bool prefixed = !prefix.empty() && static_cast<size_t>(count) >= prefix.size() &&
                              std::equal(prefix.begin(), prefix.end(), bytes);
        if (platform_.failWrite_ || prefixed || platform_.printer_.Unplugged()) {
            if (prefixed) prefix.clear();
            platform_.failWrite_ = false;
            *error = kErrorGeneric;
            return -1;
        }
        platform_.writes_.push_back({platform_.nowMs_, std::vector<uint8_t>(bytes, bytes + count)});
        platform_.printer_.Receive(bytes, count, platform_.nowMs_);
        return count;
    }

    ReadResult ReadByte(uint8_t* byte, int limitMs, uint32_t* error) override {
        if (platform_.failRead_) {
            platform_.failRead_ = false;
            *error = kErrorGeneric;
            return ReadResult::Failed;
        }
        VirtualPrinter& printer = platform_.printer_;
        const int64_t deadline = platform_.nowMs_ + std::min(std::max(timeoutMs_, 0), limitMs);
        for (;;) {
            if (printer.HasOutput()) {
                *byte = printer.TakeOutput();
                return ReadResult::Byte;
            }
            const int64_t next = printer.NextDeadline();
            if (next > deadline) break;
            platform_.AdvanceTo(std::max(next, platform_.nowMs_));
        }
        platform_.AdvanceTo(deadline);
        return ReadResult::TimedOut;
    }

    bool Close(uint32_t* error) override {
        if (open_) --platform_.openDevices_;
        open_ = false;
        ++platform_.closes_;
        if (platform_.failClose_) {
            platform_.failClose_ = false;
            *error = kErrorGeneric;
            return false;
        }
        return true;
    }

    bool HeldForSession() const override { return platform_.heldConnections_; }
    // A connection to a printer whose cable is out has been dropped by its server.
    bool DropLateInput() override {
        platform_.printer_.DiscardOutput();
        return !platform_.printer_.Unplugged();
    }

private:
    VirtualPlatform& platform_;
    int timeoutMs_;
    bool open_ = true;
};

VirtualPlatform::VirtualPlatform(VirtualPrinter& printer, int port, const CivilTime& localTime)
    : printer_(printer), port_(port), localTime_(localTime) {}

std::unique_ptr<SerialDevice> VirtualPlatform::OpenSerial(int port, const LineSettings& settings,
                                                          uint32_t* error) {
    if (exhaustAtOpen_) {
        exhaustAtOpen_ = false;
        throw std::bad_alloc();
    }
    if (port != port_ || printer_.Unplugged()) {
        *error = kErrorFileNotFound;
        return nullptr;
    }
    // Bytes the printer sent while the port was closed are lost, as on a real port.
    printer_.DiscardOutput();
    lastSettings_ = settings;
    ++opens_;
    return std::make_unique<Device>(*this, settings.timeoutMs);
}

void VirtualPlatform::SleepMs(int ms) {
    if (ms <= 0) return;
    sleptMs_ += ms;
    AdvanceTo(nowMs_ + ms);
}

void VirtualPlatform::AdvanceTo(int64_t ms) {
    for (int64_t next = printer_.NextDeadline(); next <= ms; next = printer_.NextDeadline()) {
        nowMs_ = std::max(nowMs_, next);
        printer_.Tick(nowMs_);
    }
    nowMs_ = std::max(nowMs_, ms);
    printer_.Tick(nowMs_);
}

LocalTime VirtualPlatform::Now() {
    const CivilTime t = CivilFromSeconds(SecondsFromCivil(localTime_) + nowMs_ / 1000);
    return {t.year, t.month, t.day, t.hour, t.minute, t.second, static_cast<int>(nowMs_ % 1000)};
}

}  // namespace tarn::sim
