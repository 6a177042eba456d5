#include "library_test.h"

#include "platform/platform.h"
#include "seam.h"

namespace tarn::test {

std::string Le32(int32_t value) {
    std::string bytes;
    for (int i = 0; i < 4; ++i)
        bytes += static_cast<char>(static_cast<uint32_t>(value) >> (8 * i) & 0xFF);
    return bytes;
}

sim::PrinterModel Model(int type, int version) {
    sim::PrinterModel model;
    model.type = type;
    model.version = version;
    return model;
}

void LibraryTest::SetUp() {
    Load();
}

void LibraryTest::TearDown() {
    seam::UnloadLibrary();
    InstallPlatform(nullptr);
}

void LibraryTest::Load(const sim::PrinterModel& model) {
    InstallPlatform(nullptr);
    platform.reset();
    printer = std::make_unique<sim::VirtualPrinter>(model);
    platform = std::make_unique<sim::VirtualPlatform>(*printer);
    InstallPlatform(platform.get());
    seam::LoadLibrary(dir.File("tarnel.txt"));
}

void LibraryTest::StartOn(int type, int version) {
    Load(Model(type, version));
    ASSERT_EQ(mfStart(0, 1), 0);
    printer->ClearFrames();
}

std::vector<Frame> LibraryTest::Sent() {
    std::vector<Frame> frames;
    for (const sim::Frame& frame : printer->Frames())
        frames.emplace_back(frame.bytes.begin(), frame.bytes.end());
    printer->ClearFrames();
    return frames;
}

std::vector<Frame> LibraryTest::Of(const std::vector<Frame>& frames, char command) {
    std::vector<Frame> found;
    for (const Frame& frame : frames) {
        if (frame.size() > 1 && frame[0] == '\x1B' && frame[1] == command) found.push_back(frame);
    }
    return found;
}

}  // namespace tarn::test
