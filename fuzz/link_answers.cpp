// The printer's answers are the fuzzer's bytes: wherever the library expects an acknowledge, a
// status byte or an answer, it reads the next input byte, and once they run out every read
// times out. A session and a sale run against them; whatever comes back, every call must end in
// bounded time with a documented result, -2 must carry a detail code, and no buffer the caller
// gave may be overrun.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "api/library.h"
#include "fuzz_input.h"
#include "link_session.h"
#include "platform/platform.h"

namespace tarn::fuzz {
namespace {

class ScriptedPlatform : public Platform {
public:
    explicit ScriptedPlatform(std::string answers) : answers_(std::move(answers)) {}

    std::unique_ptr<SerialDevice> OpenSerial(int, const LineSettings& settings,
                                             uint32_t*) override {
        if (settings.timeoutMs >= 0) timeoutMs_ = settings.timeoutMs;
        return std::make_unique<Device>(*this);
    }
    int64_t MonotonicMs() override { return nowMs_; }
    void SleepMs(int ms) override { nowMs_ += ms > 0 ? ms : 0; }
    LocalTime Now() override { return {2026, 12, 6, 10, 0, 0}; }

private:
    class Device : public SerialDevice {
    public:
        explicit Device(ScriptedPlatform& platform) : p_(platform) {}
        int Write(const uint8_t*, int count, uint32_t*) override { return count; }
        ReadResult ReadByte(uint8_t* byte, int limitMs, uint32_t*) override {
            if (p_.next_ < p_.answers_.size()) {
                *byte = static_cast<uint8_t>(p_.answers_[p_.next_++]);
                return ReadResult::Byte;
            }
            p_.nowMs_ += std::min(p_.timeoutMs_, limitMs);
            return ReadResult::TimedOut;
        }
        bool Close(uint32_t*) override { return true; }

    private:
        ScriptedPlatform& p_;
    };

    std::string answers_;
    size_t next_ = 0;
    int64_t nowMs_ = 0;
    int timeoutMs_ = 30000;
};

}  // namespace
}  // namespace tarn::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarn;
    fuzz::FuzzInput input(data, size);
    const uint32_t selector = static_cast<uint32_t>(input.Int32()) | 1u;  // always a session
    const int debugLevel = input.Byte() % 4;
    fuzz::ScriptedPlatform platform(input.Rest());
    InstallPlatform(&platform);
    ReplaceLibrary(std::make_unique<Library>(
        std::make_unique<CLogger>("/dev/null", CLogger::kNothing, "TARN")));
    mfSetDebugLevel(debugLevel);
    fuzz::RunSession(selector, platform);
    ReplaceLibrary(nullptr);
    InstallPlatform(nullptr);
    return 0;
}
