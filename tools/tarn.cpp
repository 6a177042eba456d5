// tarn: talks to a fiscal printer on a serial port. `tarn identify` asks the printer who it
// is and what it holds.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "link/printer_link.h"
#include "link/shared_commands.h"

using namespace tarn;

namespace {

struct Printer {
    int32_t error = 0;
    int32_t type = -1;
    CPrinterLink link;

    explicit Printer(int port) {
        link.SetErrorTarget(&error);
        link.SetTypeSource(&type);
        link.SetPort(std::make_unique<SerialPort>(port, false, 0, 0, 30000, 9600, 8, 0, 2));
    }

    bool Ask(CRequest& request, const char* what) {
        if (link.Execute(request, false, false) == 0) return true;
        std::printf("  %-22s failed, detail code %d\n", what, error);
        return false;
    }
};

// 0xFF answers 2 (type 1), 17 (type 2) or 44; then 0xF6 answers 124 and the version on
// type 8, something else on type 10, and is refused by types 3 and 4.
void Identify(Printer& p) {
    int first = 0;
    int second = 0;
    CRequestPrinterType family(0xFF, &first, false, nullptr);
    if (!p.Ask(family, "identification")) return;
    if (first == 2) p.type = 1;
    if (first == 17) p.type = 2;
    if (first == 44) {
        CRequestPrinterType extended(0xF6, &first, true, &second);
        if (p.link.Execute(extended, false, false) == 0) {
            p.type = first == 124 ? 8 : 10;
        } else {
            int status0 = 0;
            CRequestPrinterType old(0x5B, &status0, false, nullptr);
            p.Ask(old, "status byte 0");
            p.type = (status0 >> 4) == 1 ? 3 : 4;
        }
    }
    std::printf("  %-22s %d\n", "printer type", p.type);
    if (p.type >= 8) std::printf("  %-22s %d\n", "version", second);
}

void ShowFacts(Printer& p) {
    char serial[12] = {};
    CRequestSerialNo serialNo(serial);
    if (p.Ask(serialNo, "serial number")) std::printf("  %-22s %s\n", "serial number", serial);

    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    CRequestGetDate date(&year, &month, &day);
    CRequestGetTime time(&hour, &minute);
    if (p.Ask(date, "date") && p.Ask(time, "time")) {
        std::printf("  %-22s %02d-%02d-%02d %02d:%02d\n", "clock", year, month, day, hour, minute);
    }

    int lastReceipt = 0;
    CRequestLastTicketNo counter(&lastReceipt);
    if (p.Ask(counter, "receipt counter"))
        std::printf("  %-22s %d\n", "receipts today", lastReceipt);

    int rates[6] = {};
    int* const out[6] = {&rates[0], &rates[1], &rates[2], &rates[3], &rates[4], &rates[5]};
    CRequestTaxRates taxes(out);
    if (p.Ask(taxes, "tax rates")) {
        std::printf("  %-22s", "tax rates A-F");
        for (const int rate : rates) {
            if (rate < 0) {
                std::printf(" ---");
            } else {
                std::printf(" %d.%02d%%", rate / 100, rate % 100);
            }
        }
        std::printf("\n");
    }

    for (int i = 0; i < 4; ++i) {
        int status = 0;
        CRequestStatus query(i, &status);
        if (p.Ask(query, "status")) std::printf("  status byte %d          0x%02X\n", i, status);
    }
}

}  // namespace

int main(int argc, char** argv) {
    int port = 1;
    const char* command = "identify";
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--port") == 0 && i + 1 < argc) {
            port = std::atoi(argv[++i]);
        } else {
            command = argv[i];
        }
    }
    if (std::strcmp(command, "identify") != 0) {
        std::fprintf(stderr, "usage: tarn [--port N] identify\n");
        return 2;
    }
    Printer printer(port);
    std::printf("Printer on port %d:\n", port);
    Identify(printer);
    if (printer.type == -1) {
        std::printf("  no printer answered (detail code %d)\n", printer.error);
        return 1;
    }
    ShowFacts(printer);
    return 0;
}
