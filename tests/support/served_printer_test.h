// A virtual printer served from a thread through a real endpoint (pseudo-terminal or TCP), the
// library reaching it as serial port `kPort` through TARN_COM<kPort>.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "seam.h"
#include "test_dir.h"
#include "virtual_printer.h"

namespace tarn::test {

template <typename Endpoint, int kPort>
class ServedPrinterTest : public ::testing::Test {
protected:
    void SetUp() override { seam::LoadLibrary(dir.File("tarnel.txt")); }
    void TearDown() override {
        stop_ = true;
        if (server_.joinable()) server_.join();
        unsetenv(PortVariable().c_str());
        seam::UnloadLibrary();
    }
    static std::string PortVariable() { return "TARN_COM" + std::to_string(kPort); }
    // Points the port at `device` and serves the printer until the test ends.
    void StartServing(const std::string& device) {
        setenv(PortVariable().c_str(), device.c_str(), 1);
        server_ = std::thread([this] { endpoint_.Serve(stop_); });
    }

    TestDir dir;
    sim::VirtualPrinter printer_;
    Endpoint endpoint_{printer_};
    std::atomic<bool> stop_{false};
    std::thread server_;
};

}  // namespace tarn::test
