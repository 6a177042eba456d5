// tarn serve --demo: a virtual printer in this process, behind a TCP port, served as printer
// "demo" with a journal in a fresh temporary folder; the service's URL and a curl line that
// sells a receipt are printed.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

#include "demo.h"
#include "tcp_endpoint.h"
#include "virtual_printer.h"

namespace tarn::serve {

struct Demo::Printer {
    sim::VirtualPrinter printer;
    sim::TcpEndpoint endpoint{printer};
    std::atomic<bool> stop{false};
    std::thread serving;
};

Demo::Demo() = default;

Demo::~Demo() {
    if (printer_ && printer_->serving.joinable()) {
        printer_->stop = true;
        printer_->serving.join();
    }
}

bool Demo::Start(Config* config) {
    printer_ = std::make_unique<Printer>();
    std::string error;
    char folder[] = "/tmp/tarn-demo-XXXXXX";
    if (!printer_->endpoint.Listen(0, &error) || mkdtemp(folder) == nullptr) {
        std::fprintf(stderr, "tarn serve: the demo's printer: %s\n", error.c_str());
        return false;
    }
    printer_->serving = std::thread([this] { printer_->endpoint.Serve(printer_->stop); });
    config->printers = {{"demo", "tcp:127.0.0.1:" + std::to_string(printer_->endpoint.Port()), ""}};
    config->journal = std::string(folder) + "/journal.db";
    return true;
}

void Demo::Introduce(const std::string& url) const {
    std::printf(
        "A virtual printer serves as printer \"demo\". Sell a receipt:\n\n"
        "  curl -s -H 'Idempotency-Key: demo-1' -d '{\"lines\": [{\"name\": \"Chleb\", \"tax\": "
        "\"B\", \"quantity\": 1, \"unit_price\": \"5.49\"}], \"payments\": [{\"type\": \"cash\", "
        "\"amount\": \"10.00\"}]}' '%sprinters/demo/receipts?wait=20000'\n\n"
        "The same line again answers the same receipt without printing it twice. See "
        "docs/service.md; Ctrl-C ends the demo.\n",
        url.c_str());
    std::fflush(stdout);
}

}  // namespace tarn::serve
