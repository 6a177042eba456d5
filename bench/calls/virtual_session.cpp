#include "virtual_session.h"

#include <cstdlib>
#include <filesystem>

#include "api/library.h"
#include "tarn/tarn.h"

namespace tarn::bench {

namespace {

constexpr int kPort = 1;

std::string MakeDirectory() {
    char dir[] = "/tmp/tarn-call-bench-XXXXXX";
    return mkdtemp(dir) != nullptr ? dir : "/tmp";
}

sim::PrinterModel ModelOfType(int printerType) {
    sim::PrinterModel model;
    model.type = printerType;
    return model;
}

}  // namespace

VirtualSession::VirtualSession(int printerType, int logLevel)
    : dir_(MakeDirectory()),
      printer_(std::make_unique<sim::VirtualPrinter>(ModelOfType(printerType))) {
    platform_ = std::make_unique<sim::VirtualPlatform>(*printer_, kPort);
    InstallPlatform(platform_.get());
    const std::string log = dir_ + "/tarnel.txt";
    ReplaceLibrary(
        std::make_unique<Library>(std::make_unique<CLogger>(log.c_str(), logLevel, "TARN")));
    started_ = mfStart(0, kPort) == MF_OK;
}

VirtualSession::~VirtualSession() {
    mfStop();
    ReplaceLibrary(nullptr);
    InstallPlatform(nullptr);
    if (dir_ != "/tmp") std::filesystem::remove_all(dir_);
}

}  // namespace tarn::bench
