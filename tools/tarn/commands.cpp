// The technician's commands: each opens a session, does one thing and closes it.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli.h"
#include "tarn/tarn.h"

namespace tarn::cli {

namespace {

// Runs `action` inside a session; the exit status follows its result.
template <typename Action>
int InSession(int port, Action action) {
    if (!OpenSession(port)) return 1;
    const int result = action();
    mfStop();
    return ExitStatus(result);
}

int Usage(const char* usage) {
    std::fprintf(stderr, "usage: tarn %s\n", usage);
    return 2;
}

int Identify(const Args&, int port) {
    return InSession(port, [] {
        int version = 0, unused = 0;
        Show("mfGetVersion", mfGetVersion(&version, &unused));
        std::printf("  printer version %d\n", version);
        char serial[12] = {};
        const int result = Show("mfGetSerNo", mfGetSerNo(serial));
        if (result == 0) std::printf("  serial number %s\n", serial);
        int r[6] = {};
        if (Show("mfGetTax", mfGetTax(&r[0], &r[1], &r[2], &r[3], &r[4], &r[5])) == 0) {
            std::printf("  tax rates A-F:");
            for (const int rate : r) {
                if (rate < 0) std::printf(" ---");
                if (rate >= 0) std::printf(" %d,%02d%%", rate / 100, rate % 100);
            }
            std::printf("\n");
        }
        return result;
    });
}

int Status(const Args&, int port) {
    return InSession(port, [] {
        int day = 0, paper = 0, receipts = 0, mode = 0, y = 0, m = 0, d = 0, h = 0, min = 0;
        int result = Show("mfStatShift", mfStatShift(&day));
        result |= Show("mfStatNoPaper", mfStatNoPaper(&paper));
        result |= Show("mfStatMode", mfStatMode(&mode));
        result |= Show("mfGetLastTicketNo", mfGetLastTicketNo(&receipts));
        result |= Show("mfGetDate", mfGetDate(&y, &m, &d));
        result |= Show("mfGetTime", mfGetTime(&h, &min));
        std::printf("  fiscal day %s, %d receipts; %s; clock %02d-%02d-%02d %02d:%02d\n",
                    day ? "open" : "closed", receipts, paper ? "NO PAPER" : "paper in", y, m, d, h,
                    min);
        return result != 0 ? -2 : 0;
    });
}

int DailyReport(const Args&, int port) {
    return InSession(port, [] { return Show("mfShiftEnd", mfShiftEnd()); });
}

// "YYYY-MM-DD" into its three numbers.
bool ParseDate(const std::string& text, int* year, int* month, int* day) {
    return text.size() == 10 && text[4] == '-' && text[7] == '-' &&
           ParseWhole(text.substr(0, 4), 1, 9999, year) &&
           ParseWhole(text.substr(5, 2), 1, 12, month) && ParseWhole(text.substr(8, 2), 1, 31, day);
}

int Report(const Args& given, int port) {
    const char* usage = "report FROM TO [--summary]   (dates YYYY-MM-DD, or report numbers)";
    Args args;
    bool summary = false;
    for (const std::string& arg : given) {
        if (arg == "--summary") {
            summary = true;
        } else {
            args.push_back(arg);
        }
    }
    int from[3], to[3], first = 0, last = 0;
    const bool dates = args.size() == 2 && ParseDate(args[0], &from[0], &from[1], &from[2]) &&
                       ParseDate(args[1], &to[0], &to[1], &to[2]);
    const bool numbers = args.size() == 2 && !summary && ParseWhole(args[0], 0, 65279, &first) &&
                         ParseWhole(args[1], 0, 65279, &last);
    if (!dates && !numbers) return Usage(usage);
    return InSession(port, [&] {
        if (numbers) return Show("mfPrNrReport", mfPrNrReport(first, last));
        if (summary)
            return Show("mfPrGlobalReport",
                        mfPrGlobalReport(from[0], from[1], from[2], to[0], to[1], to[2]));
        return Show("mfPrDetailReport",
                    mfPrDetailReport(from[0], from[1], from[2], to[0], to[1], to[2]));
    });
}

int Drawer(const Args& args, int port) {
    int drawer = 1;
    if (args.size() > 1 || (args.size() == 1 && !ParseWhole(args[0], 1, 3, &drawer)))
        return Usage("drawer [N]   (N from 1 to 3)");
    mfDefDrawer(1, 0);
    return InSession(port, [drawer] {
        const int result =
            Show("mfDrawerOpen(" + std::to_string(drawer) + ")", mfDrawerOpen(drawer));
        int open = 0;
        if (Show("mfDrawerIsOpen", mfDrawerIsOpen(drawer, &open)) == 0)
            std::printf("  drawer %s\n", open ? "open" : "closed");
        return result;
    });
}

int Footer(const Args& args, int port) {
    if (args.empty()) return Usage("footer TEXT   (up to 3 lines of 40 characters)");
    const std::string text = ToPrinter(args[0]);
    return InSession(port, [&text] { return Show("mfDefFooter", mfDefFooter(text.c_str())); });
}

int Cashier(const Args& args, int port) {
    int pos = 0, cashier = 0;
    if (args.size() != 3 || !ParseWhole(args[0], 0, 99, &pos) ||
        !ParseWhole(args[1], 0, 99, &cashier))
        return Usage("cashier POS-NUMBER CASHIER-NUMBER NAME   (numbers from 0 to 99)");
    const std::string name = ToPrinter(args[2]);
    return InSession(port, [&] { return Show("mfDefPOS", mfDefPOS(pos, cashier, name.c_str())); });
}

int Clock(const Args& args, int port) {
    int hour = 0, minute = 0;
    const std::string time = args.empty() ? "" : args[0];
    const size_t colon = time.find(':');  // H:MM or HH:MM
    if (args.size() != 1 || (colon != 1 && colon != 2) || time.size() != colon + 3 ||
        !ParseWhole(time.substr(0, colon), 0, 23, &hour) ||
        !ParseWhole(time.substr(colon + 1), 0, 59, &minute))
        return Usage("clock HH:MM");
    return InSession(port, [hour, minute] { return Show("mfDefTime", mfDefTime(hour, minute)); });
}

int PayInOut(const Args& args, int port, bool in) {
    int amount = 0;
    if (args.size() != 4 || !ParseAmount(args[3], &amount))
        return Usage(in ? "pay-in NUMBER PERSON TITLE AMOUNT   (AMOUNT as 100,00)"
                        : "pay-out NUMBER PERSON TITLE AMOUNT   (AMOUNT as 100,00)");
    std::string t[4];
    for (int i = 0; i < 4; ++i) t[i] = ToPrinter(args[static_cast<size_t>(i)]);
    return InSession(port, [&] {
        if (in)
            return Show("mfPrPayIn",
                        mfPrPayIn(t[0].c_str(), t[1].c_str(), t[2].c_str(), t[3].c_str()));
        return Show("mfPrPayOut",
                    mfPrPayOut(t[0].c_str(), t[1].c_str(), t[2].c_str(), t[3].c_str()));
    });
}

int PayIn(const Args& args, int port) {
    return PayInOut(args, port, true);
}

int PayOut(const Args& args, int port) {
    return PayInOut(args, port, false);
}

// Bytes in hex, sent as they are with no session needed; the answer shown in hex.
int Raw(const Args& args, int) {
    if (args.empty()) return Usage("raw HEX-BYTES...   (e.g. raw 1B 66; always port 1)");
    unsigned char send[1024];
    int count = 0;
    for (const std::string& arg : args) {  // one or two hex digits each: "" is no byte
        if (arg.empty() || arg.size() > 2 ||
            arg.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos || count >= 1024)
            return Usage("raw HEX-BYTES...");
        send[count++] = static_cast<unsigned char>(std::strtol(arg.c_str(), nullptr, 16));
    }
    unsigned char answer[1024] = {};
    int got = 0;
    const int result = Show("mfAnyCommand", mfAnyCommand(count, send, 1024, answer, &got, 1000));
    std::printf("  answer (%d bytes):", got);
    for (int i = 0; i < got; ++i) std::printf(" %02X", answer[i]);
    std::printf("\n");
    return ExitStatus(result);
}

const std::vector<Command> kCommands = {
    {"demo", "demo [--type N] [--version N] [--display N] [--web PORT]",
     "Runs a whole day on a virtual printer: a sale, the display, a pay-in, a card slip, the "
     "drawer, the daily report. With --web, also on a web page (Enter starts and ends the day).",
     RunDemo},
    {"identify", "identify", "Shows the printer's version, serial number and tax rates.", Identify},
    {"status", "status", "Shows the fiscal day, the paper, the receipt counter and the clock.",
     Status},
    {"receipt", "receipt FILE", "Prints the receipt described in FILE (see docs/receipt-file.md).",
     RunReceipt},
    {"daily-report", "daily-report", "Prints the daily report and closes the fiscal day.",
     DailyReport},
    {"report", "report FROM TO [--summary]",
     "Prints a periodic report by dates (YYYY-MM-DD) or by numbers.", Report},
    {"drawer", "drawer [N]", "Opens cash drawer N (1 to 3) and tells whether it is open.", Drawer},
    {"footer", "footer TEXT", "Sets the receipt footer (printers of type 8 and above).", Footer},
    {"cashier", "cashier POS CASHIER NAME",
     "Sets the point-of-sale and cashier numbers and the cashier's name.", Cashier},
    {"clock", "clock HH:MM", "Moves the printer's clock by up to an hour (fiscal day closed).",
     Clock},
    {"pay-in", "pay-in NUMBER PERSON TITLE AMOUNT", "Prints a pay-in receipt.", PayIn},
    {"pay-out", "pay-out NUMBER PERSON TITLE AMOUNT", "Prints a pay-out receipt.", PayOut},
    {"serve", "serve [--listen HOST:PORT] [--journal FILE] [--printer NAME=PORT]...",
     "Serves the printers over HTTP on this machine, every job kept in a journal (see "
     "docs/service.md).",
     RunServe},
    {"raw", "raw HEX-BYTES...",
     "Sends bytes to the printer on port 1 as they are and shows the answer.", Raw},
};

}  // namespace

const std::vector<Command>& Commands() {
    return kCommands;
}

}  // namespace tarn::cli
