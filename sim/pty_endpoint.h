// The virtual printer on a pseudo-terminal, in real time: a program opens the terminal's
// path as its serial port and talks to the printer as to a real one.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "virtual_printer.h"

namespace tarn::sim {

class PtyEndpoint {
public:
    explicit PtyEndpoint(VirtualPrinter& printer);
    ~PtyEndpoint();
    PtyEndpoint(const PtyEndpoint&) = delete;
    PtyEndpoint& operator=(const PtyEndpoint&) = delete;

    // Creates the pseudo-terminal. False with *error set when that fails.
    bool Open(std::string* error);
    const std::string& Path() const { return path_; }
    // Also reachable as `linkPath` (a symbolic link, removed again by the destructor).
    bool Link(const std::string& linkPath, std::string* error);
    // Serves the printer until `stop` is set.
    void Serve(const std::atomic<bool>& stop);
    // Milliseconds since the endpoint was made: the printer's clock.
    int64_t NowMs() const;
    // Runs `action` on the printer while the serving loop keeps its hands off it.
    void WithPrinter(const std::function<void(VirtualPrinter&)>& action);

private:
    void Flush();
    void KeepLineSettable();

    VirtualPrinter& printer_;
    int master_ = -1;
    int heldSlave_ = -1;
    std::string path_;
    std::string link_;
    int64_t startMs_;
    std::mutex mutex_;
};

}  // namespace tarn::sim
