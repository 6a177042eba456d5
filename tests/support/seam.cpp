#include "seam.h"

#include <memory>

#include "api/library.h"
#include "api/log.h"
#include "link/serial_port.h"

namespace tarn::test::seam {

void LoadLibrary(const std::string& logPath, int level) {
    ReplaceLibrary(
        std::make_unique<Library>(std::make_unique<CLogger>(logPath.c_str(), level, "TARN")));
}

void UnloadLibrary() {
    ReplaceLibrary(nullptr);
}

int DetailCode() {
    return Lib().mfErrorL;
}

int WriteThenRead(int port, int timeoutMs, const std::vector<uint8_t>& sent, size_t wanted,
                  std::vector<uint8_t>* got) {
    LineSettings settings;
    settings.timeoutMs = timeoutMs;
    SerialPort serial(port, settings, LogErrorLine);
    if (serial.Write(sent.data(), static_cast<int>(sent.size())) != static_cast<int>(sent.size()))
        return -1;
    got->assign(wanted, 0);
    const int read = serial.Read(got->data(), static_cast<int>(wanted));
    got->resize(read > 0 ? static_cast<size_t>(read) : 0);
    return read;
}

}  // namespace tarn::test::seam
