// Who may talk to the service. On the loopback address only this machine's programs can, but a
// web page the cashier happens to open could too, through the browser: a request whose Host is
// not this service's (DNS rebinding) or whose Origin is another site's is refused, and a browser
// is let through (CORS) only from origins the configuration names. Listening elsewhere needs a
// bearer token, read from a file.
#pragma once

#include <httplib.h>

#include <string>
#include <vector>

#include "serve.h"

namespace tarn::serve {

class Guard {
public:
    // False (with `error`) when the configuration cannot be served safely: another address
    // without a token, or a token file that cannot be read.
    bool Configure(const Config& config, int port, std::string* error);
    // Run before routing: answers a refused request (401, 403, 421) or a CORS preflight itself.
    httplib::Server::HandlerResponse Check(const httplib::Request& request,
                                           httplib::Response& response) const;

private:
    bool HostAllowed(const std::string& host) const;
    bool OriginAllowed(const std::string& origin) const;

    std::vector<std::string> hosts_;  // Host headers this service answers to
    bool anyHost_ = false;            // listening beyond loopback, behind a token
    std::vector<std::string> origins_;
    std::string token_;
};

bool IsLoopback(const std::string& host);

}  // namespace tarn::serve
