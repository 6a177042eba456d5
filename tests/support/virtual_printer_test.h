// Tests that run the library against the virtual printer in-process on the virtual clock,
// with a fresh library state whose log goes to a temporary directory.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "api/library.h"
#include "test_dir.h"
#include "virtual_platform.h"
#include "virtual_printer.h"

namespace tarn::test {

class VirtualPrinterTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Replaces the printer (and the clock) with a fresh one of this model.
    void UsePrinter(const sim::PrinterModel& model);
    // A link on port 1 as a session builds it, for a printer of `printerType`.
    CPrinterLink& Link(int printerType = 8);
    // Frames the printer received, as bytes.
    std::vector<std::vector<uint8_t>> ReceivedFrames() const;
    std::string LogText() const { return ReadFile(dir.File("tarnel.txt")); }
    int64_t Now() { return platform->MonotonicMs(); }

    TestDir dir;
    std::unique_ptr<sim::VirtualPrinter> printer;
    std::unique_ptr<sim::VirtualPlatform> platform;
};

}  // namespace tarn::test
