// Writes starting inputs for the link fuzzer: a full session against the virtual printer of
// each type, its answers recorded byte for byte behind the selector and debug level.
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "api/library.h"
#include "link_session.h"
#include "virtual_platform.h"

namespace tarn::fuzz {
namespace {

// Passes everything to the virtual printer's platform and keeps the bytes the library read.
class RecordingPlatform : public Platform {
public:
    explicit RecordingPlatform(Platform& inner) : inner_(inner) {}
    std::unique_ptr<SerialDevice> OpenSerial(int port, const LineSettings& settings,
                                             uint32_t* error) override {
        std::unique_ptr<SerialDevice> device = inner_.OpenSerial(port, settings, error);
        if (!device) return nullptr;
        return std::make_unique<Device>(std::move(device), read_);
    }
    int64_t MonotonicMs() override { return inner_.MonotonicMs(); }
    void SleepMs(int ms) override { inner_.SleepMs(ms); }
    LocalTime Now() override { return inner_.Now(); }
    const std::string& Read() const { return read_; }

private:
    class Device : public SerialDevice {
    public:
        Device(std::unique_ptr<SerialDevice> inner, std::string& read)
            : inner_(std::move(inner)), read_(read) {}
        int Write(const uint8_t* bytes, int count, uint32_t* error) override {
            return inner_->Write(bytes, count, error);
        }
        ReadResult ReadByte(uint8_t* byte, int limitMs, uint32_t* error) override {
            const ReadResult result = inner_->ReadByte(byte, limitMs, error);
            if (result == ReadResult::Byte) read_ += static_cast<char>(*byte);
            return result;
        }
        bool Close(uint32_t* error) override { return inner_->Close(error); }

    private:
        std::unique_ptr<SerialDevice> inner_;
        std::string& read_;
    };

    Platform& inner_;
    std::string read_;
};

std::string Seed(int type, uint32_t selector) {
    sim::PrinterModel model;
    model.type = type;
    sim::VirtualPrinter printer(model);
    sim::VirtualPlatform virtualPlatform(printer);
    RecordingPlatform platform(virtualPlatform);
    InstallPlatform(&platform);
    ReplaceLibrary(std::make_unique<Library>(
        std::make_unique<CLogger>("/dev/null", CLogger::kNothing, "TARN")));
    RunSession(selector, platform);
    ReplaceLibrary(nullptr);
    InstallPlatform(nullptr);
    std::string seed;
    for (int i = 0; i < 4; ++i) seed += static_cast<char>(selector >> (8 * i));
    seed += '\3';  // debug level
    return seed + platform.Read();
}

}  // namespace
}  // namespace tarn::fuzz

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
        return 2;
    }
    const uint32_t everything = 0x1FFFFF;
    const uint32_t saleOnly = 0x1 | 0x40 | 0x80 | 0x200 | 0x100000;
    for (const int type : {1, 3, 4, 8, 10}) {
        for (const uint32_t selector : {everything, saleOnly}) {
            const std::string name = std::string(argv[1]) + "/seed-type" + std::to_string(type) +
                                     (selector == everything ? "-all" : "-sale");
            std::ofstream(name, std::ios::binary) << tarn::fuzz::Seed(type, selector);
        }
    }
    return 0;
}
