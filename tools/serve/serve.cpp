// tarn serve [--listen HOST:PORT] [--journal FILE] [--keep-days N] [--config FILE]
//            [--token-file FILE] [--allow-origin ORIGIN]... [--printer NAME=PORT[,logo=FILE]]...
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <set>

#include "cli.h"
#include "demo.h"
#include "guard.h"
#include "guarded_server.h"
#include "serve.h"
#include "service.h"

namespace tarn::serve {

namespace {

constexpr const char* kUsage =
    "serve [--demo] [--listen HOST:PORT] [--journal FILE] [--keep-days N] [--config FILE]\n"
    "       [--token-file FILE] [--allow-origin ORIGIN]... [--printer NAME=PORT[,logo=FILE]]...";
constexpr size_t kLargestBody = 1 << 20;

bool Fail(const std::string& why) {
    std::fprintf(stderr, "tarn serve: %s\nusage: tarn %s\n", why.c_str(), kUsage);
    return false;
}

bool IsName(const std::string& name) {
    return !name.empty() && name.size() <= 32 &&
           name.find_first_not_of(
               "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-") ==
               std::string::npos;
}

// "NAME=PORT[,logo=FILE]": PORT a port number, a device or tcp:HOST:PORT.
bool ParsePrinter(const std::string& text, Config* config) {
    const size_t equals = text.find('=');
    if (equals == std::string::npos) return Fail("--printer takes NAME=PORT");
    PrinterConfig printer{text.substr(0, equals), text.substr(equals + 1), ""};
    const size_t logo = printer.port.find(",logo=");
    if (logo != std::string::npos) {
        printer.logo = printer.port.substr(logo + 6);
        printer.port.erase(logo);
    }
    config->printers.push_back(printer);
    return true;
}

bool ParseListen(const std::string& text, Config* config) {
    const size_t colon = text.rfind(':');
    if (colon == std::string::npos ||
        !cli::ParseWhole(text.substr(colon + 1), 0, 65535, &config->port))
        return Fail("--listen takes HOST:PORT");
    config->host = text.substr(0, colon);
    return true;
}

bool ReadConfigFile(const std::string& path, Config* config) {
    std::ifstream file(path);
    const Json json = Json::parse(file, nullptr, false);
    if (!file || json.is_discarded() || !json.is_object())
        return Fail("cannot read " + path + " as a JSON object");
    try {
        if (json.contains("listen") && !ParseListen(json["listen"], config)) return false;
        config->journal = json.value("journal", config->journal);
        config->keepDays = json.value("keep_days", config->keepDays);
        config->tokenFile = json.value("token_file", config->tokenFile);
        config->allowedOrigins = json.value("allowed_origins", config->allowedOrigins);
        for (const Json& p : json.value("printers", Json::array()))
            config->printers.push_back({p.at("name"), p.at("port"), p.value("logo", "")});
    } catch (const Json::exception& e) {
        return Fail(path + ": " + e.what());
    }
    return true;
}

bool ParseOptions(const cli::Args& args, Config* config, Demo* demo) {
    for (size_t i = 0; i < args.size(); i += 2) {
        const std::string& option = args[i];
        if (option == "--demo") {
            if (demo->Started() || !demo->Start(config)) return Fail("--demo starts one printer");
            --i;  // an option without a value
            continue;
        }
        if (i + 1 >= args.size()) return Fail(option + " takes a value");
        const std::string& value = args[i + 1];
        bool ok = true;
        if (option == "--listen") {
            ok = ParseListen(value, config);
        } else if (option == "--journal") {
            config->journal = value;
        } else if (option == "--keep-days") {
            ok = cli::ParseWhole(value, 1, 36500, &config->keepDays) ||
                 Fail("--keep-days takes days");
        } else if (option == "--config") {
            ok = ReadConfigFile(value, config);
        } else if (option == "--token-file") {
            config->tokenFile = value;
        } else if (option == "--allow-origin") {
            config->allowedOrigins.push_back(value);
        } else if (option == "--printer") {
            ok = ParsePrinter(value, config);
        } else {
            ok = Fail("no option " + option);
        }
        if (!ok) return false;
    }
    std::set<std::string> names;
    for (const PrinterConfig& printer : config->printers) {
        if (!IsName(printer.name) || !names.insert(printer.name).second)
            return Fail("a printer's name is 1 to 32 letters, digits, _ and -, each once: \"" +
                        printer.name + "\"");
        if (printer.port.empty()) return Fail("printer " + printer.name + " has no port");
    }
    if (config->printers.empty()) return Fail("no printer: add --printer NAME=PORT");
    return true;
}

std::string ThisProgram() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<size_t>(length)) : "tarn";
}

}  // namespace

int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// The service runs until SIGINT or SIGTERM; every thread but this one leaves them to it.
int RunService(const cli::Args& args) {
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGINT);
    sigaddset(&stop, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);
    // A worker that died leaves a pipe with no reader: writing to it must fail, not kill.
    signal(SIGPIPE, SIG_IGN);
    Config config;
    Demo demo;
    if (!ParseOptions(args, &config, &demo)) return 2;
    Service service(config, ThisProgram());
    std::string error;
    if (!service.Start(&error)) {
        std::fprintf(stderr, "tarn serve: the journal %s: %s\n", config.journal.c_str(),
                     error.c_str());
        return 1;
    }
    // A client waiting for its job holds a thread: enough that those of a printer that hangs
    // leave threads for the others.
    web::GuardedServer server(64);
    server.set_payload_max_length(kLargestBody);
    const int port = config.port == 0
                         ? server.bind_to_any_port(config.host)
                         : (server.bind_to_port(config.host, config.port) ? config.port : -1);
    Guard guard;
    if (port >= 0 && !guard.Configure(config, port, &error)) {
        std::fprintf(stderr, "tarn serve: %s\n", error.c_str());
        service.Stop();
        return 2;
    }
    server.set_pre_routing_handler(
        [&guard](const httplib::Request& request, httplib::Response& response) {
            return guard.Check(request, response);
        });
    service.Route(&server);
    if (port < 0 || !server.ListenInBackground()) {
        std::fprintf(stderr, "tarn serve: cannot listen on %s:%d\n", config.host.c_str(),
                     config.port);
        service.Stop();
        return 1;
    }
    const std::string url = "http://" + config.host + ":" + std::to_string(port) + "/";
    std::printf("tarn serve: listening on %s\n", url.c_str());
    std::fflush(stdout);
    if (demo.Started()) demo.Introduce(url);
    int signal = 0;
    sigwait(&stop, &signal);
    server.Shutdown();
    service.Stop();
    return 0;
}

}  // namespace tarn::serve

namespace tarn::cli {

int RunServe(const Args& args, int port) {
    if (!args.empty() && args[0] == "--worker") {
        Args rest(args.begin() + 1, args.end());
        rest.insert(rest.begin(), {"--port", std::to_string(port)});
        return serve::RunWorker(rest);
    }
    return serve::RunService(args);
}

}  // namespace tarn::cli
