// tarn-sim: the virtual fiscal printer on a pseudo-terminal. Prints the terminal's path,
// optionally links it to a fixed path, and prints its paper roll as it prints.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "pty_endpoint.h"
#include "virtual_printer.h"

namespace {

std::atomic<bool> g_stop{false};

void OnSignal(int) {
    g_stop = true;
}

void Usage() {
    std::fprintf(stderr,
                 "usage: tarn-sim [--type 1|2|3|4|8|10] [--version N] [--display 0-3]\n"
                 "                [--serial XXXXXXXXXXX] [--link PATH] [--quiet]\n");
}

bool ReadArgs(int argc, char** argv, tarn::sim::PrinterModel* model, std::string* link,
              bool* quiet) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--quiet") {
            *quiet = true;
        } else if (arg == "--type" && hasValue) {
            model->type = std::atoi(argv[++i]);
        } else if (arg == "--version" && hasValue) {
            model->version = std::atoi(argv[++i]);
        } else if (arg == "--display" && hasValue) {
            model->displayType = std::atoi(argv[++i]);
        } else if (arg == "--serial" && hasValue) {
            model->serialNumber = argv[++i];
        } else if (arg == "--link" && hasValue) {
            *link = argv[++i];
        } else {
            return false;
        }
    }
    const int t = model->type;
    return t == 1 || t == 2 || t == 3 || t == 4 || t == 8 || t == 10;
}

tarn::sim::CivilTime LocalNow() {
    const time_t now = time(nullptr);
    tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

}  // namespace

int main(int argc, char** argv) {
    tarn::sim::PrinterModel model;
    model.clock = LocalNow();
    std::string link;
    bool quiet = false;
    if (!ReadArgs(argc, argv, &model, &link, &quiet)) {
        Usage();
        return 2;
    }
    tarn::sim::VirtualPrinter printer(model);
    tarn::sim::PtyEndpoint endpoint(printer);
    std::string error;
    if (!endpoint.Open(&error) || (!link.empty() && !endpoint.Link(link, &error))) {
        std::fprintf(stderr, "tarn-sim: %s\n", error.c_str());
        return 1;
    }
    if (!quiet) {
        printer.Roll().OnLine([](const std::string& line) {
            std::printf("| %s\n", line.c_str());
            std::fflush(stdout);
        });
    }
    std::printf("tarn-sim: printer type %d version %d on %s\n", model.type, model.version,
                endpoint.Path().c_str());
    if (!link.empty())
        std::printf("tarn-sim: linked %s -> %s\n", link.c_str(), endpoint.Path().c_str());
    std::fflush(stdout);
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    endpoint.Serve(g_stop);
    return 0;
}
