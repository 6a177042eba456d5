// The library through its C interface against the virtual printer in-process, on the virtual
// clock: a fresh printer and the library as a process has just loaded it, its log in a
// temporary directory.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tarn/tarn.h"
#include "test_dir.h"
#include "virtual_platform.h"
#include "virtual_printer.h"

namespace tarn::test {

// A frame as the printer received it: ESC, the command byte and its fields.
using Frame = std::string;
inline Frame Esc(const std::string& rest) {
    return "\x1B" + rest;
}
// Amounts and counts on the wire: four bytes, least significant first.
std::string Le32(int32_t value);

sim::PrinterModel Model(int type, int version = 2);

// A call's result and the detail code it left.
using Outcome = std::pair<int, int>;
inline Outcome Coded(int result) {
    return {result, mfError()};
}

class LibraryTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A fresh printer of this model, and the library as just loaded: no session.
    void Load(const sim::PrinterModel& model = sim::PrinterModel{});
    // Load, then mfStart on port 1.
    void StartOn(int type, int version = 2);
    // What the printer received since the last call.
    std::vector<Frame> Sent();
    // The frames of one command byte among `frames`.
    static std::vector<Frame> Of(const std::vector<Frame>& frames, char command);
    std::string LogText() const { return ReadFile(dir.File("tarnel.txt")); }
    bool Logged(const std::string& line) const {
        return LogText().find(line + "\n") != std::string::npos;
    }
    int64_t Now() const { return platform->MonotonicMs(); }
    // Whether the library holds a document open, as its status query tells.
    static bool DocumentOpen() {
        int open = -1;
        return mfStatDocument(&open) == 0 && open == 1;
    }

    TestDir dir;
    std::unique_ptr<sim::VirtualPrinter> printer;
    std::unique_ptr<sim::VirtualPlatform> platform;
};

// A session on a type-8 printer from the start.
class StartedLibraryTest : public LibraryTest {
protected:
    void SetUp() override {
        LibraryTest::SetUp();
        StartOn(8);
    }
};

}  // namespace tarn::test
