// The virtual printer of tarn serve --demo.
#pragma once

#include <memory>
#include <string>

#include "serve.h"

namespace tarn::serve {

class Demo {
public:
    Demo();
    ~Demo();
    Demo(const Demo&) = delete;
    Demo& operator=(const Demo&) = delete;

    // Starts the printer and points `config` at it; false when it cannot listen.
    bool Start(Config* config);
    bool Started() const { return printer_ != nullptr; }
    void Introduce(const std::string& url) const;

private:
    struct Printer;
    std::unique_ptr<Printer> printer_;
};

}  // namespace tarn::serve
