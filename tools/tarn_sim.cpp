// tarn-sim: the virtual fiscal printer on a pseudo-terminal (or behind a TCP port). Prints the
// terminal's path, optionally links it to a fixed path, and prints its paper roll as it prints
// and its customer display whenever that changes; with --web, also on a page in a browser.

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "pty_endpoint.h"
#include "state_file.h"
#include "tcp_endpoint.h"
#include "virtual_printer.h"
#include "web_panel.h"

namespace {

std::atomic<bool> g_stop{false};

void OnSignal(int) {
    g_stop = true;
}

void Usage(std::FILE* out) {
    std::fprintf(
        out,
        "usage: tarn-sim [--type 1|2|3|4|8|10] [--version N] [--display 0-3]\n"
        "                [--serial XXXXXXXXXXX] [--print-ms N] [--link PATH | --tcp PORT]\n"
        "                [--paced] [--quiet] [--web PORT] [--state FILE]\n"
        "A virtual fiscal printer on a pseudo-terminal (or a TCP port); its paper roll and\n"
        "customer display are shown on the terminal.\n"
        "  --type      the printer type (default 8)\n"
        "  --version   the printer's version within its type (default 2)\n"
        "  --display   the customer display: 0 none, 1 and 2 nine digits, 3 two lines of 20\n"
        "              (default 3)\n"
        "  --serial    the serial number, 11 upper-case letters and digits (default TRN26000001)\n"
        "  --link      also reach the pseudo-terminal by this path (a symbolic link)\n"
        "  --tcp       listen on 127.0.0.1:PORT instead (0: any free port)\n"
        "  --paced     on the pseudo-terminal, keep serial timing: 9600 baud, 11 bits a byte\n"
        "  --print-ms  a command that prints keeps the printer busy N ms\n"
        "  --quiet     do not show the paper roll\n"
        "  --web       also show the printer on a web page at http://127.0.0.1:PORT/ (0: any\n"
        "              free port): its roll, display, drawers, status and wire trace, with\n"
        "              buttons (and POST /faults/...) for paper out, a pulled cable, power loss,\n"
        "              a busy printer, a refused command, a lost acknowledge; GET /state is\n"
        "              the state as JSON\n"
        "  --state     keep the fiscal memory, the counters, tax rates, footer, POS numbers and\n"
        "              logo in FILE (through a link, the file it names): read at start, written\n"
        "              again after every change, held by one tarn-sim at a time\n");
}

struct Settings {
    tarn::sim::PrinterModel model;
    std::string link;
    int tcpPort = -1;  // listen on this TCP port instead of a pseudo-terminal (0: any free port)
    int webPort = -1;  // the web panel's port (0: any free port)
    std::string statePath;  // the file the printer's state is kept in; none when empty
    bool quiet = false;
    bool paced = false;  // serial timing on the pseudo-terminal
};

// A whole number from 0 to `highest`, digits only: no sign, nothing too large for an int.
bool Whole(const char* text, int highest, int* value) {
    const size_t length = std::strlen(text);
    if (length == 0 || length > 9 || std::strspn(text, "0123456789") != length) return false;
    const long parsed = std::strtol(text, nullptr, 10);
    if (parsed > highest) return false;
    *value = static_cast<int>(parsed);
    return true;
}

// A fiscal printer's serial number: 11 upper-case letters and digits, as the library reads it.
bool IsSerialNumber(const char* text) {
    return std::strlen(text) == 11 &&
           std::strspn(text, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789") == 11;
}

bool ReadArgs(int argc, char** argv, Settings* settings) {
    tarn::sim::PrinterModel* model = &settings->model;
    const struct {
        const char* name;
        int highest;
        int* value;
    } numbers[] = {
        {"--tcp", 65535, &settings->tcpPort},  {"--web", 65535, &settings->webPort},
        {"--type", 10, &model->type},          {"--version", 255, &model->version},
        {"--display", 3, &model->displayType}, {"--print-ms", 3600000, &model->fixedPrintMs}};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        bool number = false;
        for (const auto& option : numbers) {
            if (arg != option.name) continue;
            if (!hasValue || !Whole(argv[++i], option.highest, option.value)) return false;
            number = true;
        }
        if (number) continue;
        if (arg == "--quiet") {
            settings->quiet = true;
        } else if (arg == "--state" && hasValue) {
            settings->statePath = argv[++i];
        } else if (arg == "--serial" && hasValue && IsSerialNumber(argv[i + 1])) {
            model->serialNumber = argv[++i];
        } else if (arg == "--link" && hasValue) {
            settings->link = argv[++i];
        } else if (arg == "--paced") {
            settings->paced = true;
        } else {
            return false;
        }
    }
    const int t = model->type;
    const bool known = t == 1 || t == 2 || t == 3 || t == 4 || t == 8 || t == 10;
    return known && !(settings->paced && settings->tcpPort >= 0);
}

// "[display] 12.50"; a two-line display shows both lines with " | " between them.
void ShowDisplay(const std::vector<std::string>& lines) {
    std::string shown;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string line = lines[i];
        while (!line.empty() && line.back() == ' ') line.pop_back();
        if (i > 0 && !line.empty()) shown += " | ";
        shown += line;
    }
    std::printf("[display] %s\n", shown.c_str());
    std::fflush(stdout);
}

tarn::sim::CivilTime LocalNow() {
    const time_t now = time(nullptr);
    tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

void ShowPrinting(tarn::sim::VirtualPrinter& printer) {
    printer.Roll().OnLine([](const std::string& line) {
        std::printf("| %s\n", line.c_str());
        std::fflush(stdout);
    });
    printer.OnDisplayChange(ShowDisplay);
}

// Writes the printer's state file again after a turn in which the printer took a frame or
// printed, when what it keeps changed.
class StateKeeper {
public:
    explicit StateKeeper(tarn::sim::StateFile& file) : file_(file) {}

    void AfterTurn(tarn::sim::VirtualPrinter& printer) {
        const uint64_t frames = printer.FramesReceived();
        const size_t lines = printer.Roll().Lines().size();
        if (frames == frames_ && lines == lines_) return;
        frames_ = frames;
        lines_ = lines;
        std::string text = tarn::sim::StateText(printer.State());
        if (text == written_) return;
        std::string error;
        if (!file_.Write(text, &error)) {
            std::fprintf(stderr, "tarn-sim: %s\n", error.c_str());
            return;
        }
        written_ = std::move(text);
    }

private:
    tarn::sim::StateFile& file_;
    std::string written_;
    uint64_t frames_ = 0;
    size_t lines_ = 0;
};

// Serves the printer on `endpoint` until a signal comes, and on the web panel beside it when
// asked for.
template <typename Endpoint>
int Serve(Endpoint& endpoint, const Settings& settings, tarn::sim::StateFile& state) {
    StateKeeper keeper(state);
    if (!settings.statePath.empty()) {
        endpoint.OnTurn([&keeper](tarn::sim::VirtualPrinter& p) { keeper.AfterTurn(p); });
    }
    tarn::web::WebPanel panel(tarn::web::AccessTo(endpoint));
    std::string error;
    if (settings.webPort >= 0 && !panel.Start(settings.webPort, &error)) {
        std::fprintf(stderr, "tarn-sim: %s\n", error.c_str());
        return 1;
    }
    if (settings.webPort >= 0) {
        std::printf("tarn-sim: web page on http://127.0.0.1:%d/\n", panel.Port());
        std::fflush(stdout);
    }
    endpoint.Serve(g_stop);
    return 0;
}

int ServeTcp(tarn::sim::VirtualPrinter& printer, const Settings& settings,
             tarn::sim::StateFile& state) {
    tarn::sim::TcpEndpoint endpoint(printer);
    std::string error;
    if (!endpoint.Listen(settings.tcpPort, &error)) {
        std::fprintf(stderr, "tarn-sim: %s\n", error.c_str());
        return 1;
    }
    std::printf("tarn-sim: printer type %d version %d on tcp:127.0.0.1:%d\n", settings.model.type,
                settings.model.version, endpoint.Port());
    std::fflush(stdout);
    return Serve(endpoint, settings, state);
}

int ServePty(tarn::sim::VirtualPrinter& printer, const Settings& settings,
             tarn::sim::StateFile& state) {
    tarn::sim::PtyEndpoint endpoint(printer, settings.paced);
    std::string error;
    if (!endpoint.Open(&error) ||
        (!settings.link.empty() && !endpoint.Link(settings.link, &error))) {
        std::fprintf(stderr, "tarn-sim: %s\n", error.c_str());
        return 1;
    }
    std::printf("tarn-sim: printer type %d version %d on %s\n", settings.model.type,
                settings.model.version, endpoint.Path().c_str());
    if (!settings.link.empty()) {
        std::printf("tarn-sim: linked %s -> %s\n", settings.link.c_str(), endpoint.Path().c_str());
    }
    std::fflush(stdout);
    return Serve(endpoint, settings, state);
}

}  // namespace

int main(int argc, char** argv) {
    Settings settings;
    settings.model.clock = LocalNow();
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--help" || std::string(argv[i]) == "-h") {
            Usage(stdout);
            return 0;
        }
    }
    if (!ReadArgs(argc, argv, &settings)) {
        Usage(stderr);
        return 2;
    }
    tarn::sim::VirtualPrinter printer(settings.model);
    tarn::sim::StateFile state;
    std::string error;
    if (!settings.statePath.empty() && !state.Open(settings.statePath, &printer.State(), &error)) {
        std::fprintf(stderr, "tarn-sim: %s; the printer does not start\n", error.c_str());
        return 1;
    }
    if (!settings.quiet) ShowPrinting(printer);
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGPIPE, SIG_IGN);
    return settings.tcpPort >= 0 ? ServeTcp(printer, settings, state)
                                 : ServePty(printer, settings, state);
}
