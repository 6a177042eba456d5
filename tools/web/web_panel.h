// The virtual printer in a browser: an HTTP server on 127.0.0.1 beside the printer's serial
// endpoint. It serves one page (the paper roll, the customer display, the drawers, the status,
// the fault buttons, the wire trace), the page's event stream, the state as JSON, and the
// faults as POST requests for scripts.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "virtual_printer.h"

namespace tarn::web {

// How the panel reaches the printer an endpoint serves: `with` runs an action on the printer
// under the endpoint's lock (the one lock the serving loop takes too); `nowMs` is the
// printer's clock.
struct PrinterAccess {
    std::function<void(const std::function<void(sim::VirtualPrinter&)>&)> with;
    std::function<int64_t()> nowMs;
};

// The access to the printer that `endpoint` (a pseudo-terminal or TCP endpoint) serves.
template <typename Endpoint>
PrinterAccess AccessTo(Endpoint& endpoint) {
    return {[&endpoint](const auto& action) { endpoint.WithPrinter(action); },
            [&endpoint] { return endpoint.NowMs(); }};
}

class WebPanel {
public:
    explicit WebPanel(PrinterAccess access);
    ~WebPanel();
    WebPanel(const WebPanel&) = delete;
    WebPanel& operator=(const WebPanel&) = delete;

    // Listens on 127.0.0.1:`port` (0: a free port) and serves from threads of its own.
    // False with *error set when the port cannot be had.
    bool Start(int port, std::string* error);
    int Port() const;
    // Ends every event stream and stops the server; returns when its threads have ended.
    void Stop();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tarn::web
