#include "virtual_printer_test.h"

#include "link/serial_port.h"

namespace tarn::test {

void VirtualPrinterTest::SetUp() {
    UsePrinter(sim::PrinterModel{});
    auto logger =
        std::make_unique<CLogger>(dir.File("tarnel.txt").c_str(), CLogger::kFailures, "TARN");
    ReplaceLibrary(std::make_unique<Library>(std::move(logger)));
}

void VirtualPrinterTest::TearDown() {
    ReplaceLibrary(nullptr);
    InstallPlatform(nullptr);
}

void VirtualPrinterTest::UsePrinter(const sim::PrinterModel& model) {
    InstallPlatform(nullptr);
    platform.reset();
    printer = std::make_unique<sim::VirtualPrinter>(model);
    platform = std::make_unique<sim::VirtualPlatform>(*printer);
    InstallPlatform(platform.get());
}

CPrinterLink& VirtualPrinterTest::Link(int type) {
    Library& lib = Lib();
    lib.printerType = type;
    lib.link = std::make_unique<CPrinterLink>();
    lib.link->SetErrorTarget(&lib.mfErrorL);
    lib.link->SetTypeSource(&lib.printerType);
    lib.link->SetPort(std::make_unique<SerialPort>(1, false, 0, 0, 30000, 9600, 8, 0, 2));
    return *lib.link;
}

std::vector<std::vector<uint8_t>> VirtualPrinterTest::ReceivedFrames() const {
    std::vector<std::vector<uint8_t>> frames;
    for (const sim::Frame& frame : printer->Frames()) frames.push_back(frame.bytes);
    return frames;
}

}  // namespace tarn::test
