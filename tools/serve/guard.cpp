#include "guard.h"

#include <fstream>
#include <sstream>

#include "cli.h"

namespace tarn::serve {

namespace {

using Handled = httplib::Server::HandlerResponse;

Handled Refuse(httplib::Response& response, int status, const std::string& why) {
    response.status = status;
    response.set_content(Json{{"error", why}}.dump() + "\n", "application/json");
    return Handled::Handled;
}

// Compares every byte whatever the first difference, so that the time taken tells nothing.
bool SameSecret(const std::string& given, const std::string& secret) {
    unsigned char difference = given.size() == secret.size() ? 0 : 1;
    for (size_t i = 0; i < given.size(); ++i)
        difference |= static_cast<unsigned char>(given[i] ^ secret[i % secret.size()]);
    return difference == 0;
}

}  // namespace

bool IsLoopback(const std::string& host) {
    return host == "localhost" || host == "::1" || host.rfind("127.", 0) == 0;
}

bool Guard::Configure(const Config& config, int port, std::string* error) {
    const std::string at = ":" + std::to_string(port);
    hosts_ = {"127.0.0.1" + at, "localhost" + at, "[::1]" + at};
    if (!IsLoopback(config.host)) anyHost_ = true;
    origins_ = config.allowedOrigins;
    if (!config.tokenFile.empty()) {
        std::ifstream file(config.tokenFile);
        std::stringstream text;
        text << file.rdbuf();
        token_ = cli::Trim(text.str());
        if (!file || token_.size() < 16) {
            *error =
                "the token file " + config.tokenFile + " holds no token of 16 characters or more";
            return false;
        }
    }
    if (anyHost_ && token_.empty()) {
        *error = "listening on " + config.host + ", beyond this machine, needs --token-file";
        return false;
    }
    return true;
}

bool Guard::HostAllowed(const std::string& host) const {
    if (anyHost_) return true;
    for (const std::string& allowed : hosts_) {
        if (host == allowed) return true;
    }
    return false;
}

bool Guard::OriginAllowed(const std::string& origin) const {
    for (const std::string& allowed : origins_) {
        if (origin == allowed) return true;
    }
    return false;
}

Handled Guard::Check(const httplib::Request& request, httplib::Response& response) const {
    if (!HostAllowed(request.get_header_value("Host")))
        return Refuse(response, 421, "this service is not reached by that host name");
    const bool browser = request.has_header("Origin");
    const std::string origin = request.get_header_value("Origin");
    if (browser && !OriginAllowed(origin))
        return Refuse(response, 403, "requests from this origin are not allowed");
    if (!browser && request.get_header_value("Sec-Fetch-Site") == "cross-site")
        return Refuse(response, 403, "cross-site requests are not allowed");
    if (browser) {
        response.set_header("Access-Control-Allow-Origin", origin);
        response.set_header("Vary", "Origin");
    }
    if (browser && request.method == "OPTIONS") {
        response.set_header("Access-Control-Allow-Methods", "GET, POST");
        response.set_header("Access-Control-Allow-Headers",
                            "Authorization, Content-Type, Idempotency-Key");
        response.set_header("Access-Control-Max-Age", "600");
        response.status = 204;
        return Handled::Handled;
    }
    const std::string bearer = request.get_header_value("Authorization");
    if (!token_.empty() &&
        (bearer.rfind("Bearer ", 0) != 0 || !SameSecret(bearer.substr(7), token_)))
        return Refuse(response, 401, "a bearer token is required");
    return Handled::Unhandled;
}

}  // namespace tarn::serve
