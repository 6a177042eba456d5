// tarn: talks to a fiscal printer through the library, as a point-of-sale application does.
// `tarn identify` opens a session and shows what the printer reports.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tarn/tarn.h"

namespace {

// The detail code of the last failure with its text (code page 852 shown as it is).
void ShowFailure(const char* what) {
    const int code = mfError();
    char classText[39] = {};
    char detailText[39] = {};
    mfParMessage(code, classText, detailText);
    std::printf("  %-22s failed: %d %s\n", what, code, detailText);
}

void Show(const char* what, int result, const char* format, int a, int b = 0, int c = 0) {
    if (result != 0) {
        ShowFailure(what);
        return;
    }
    std::printf("  %-22s ", what);
    std::printf(format, a, b, c);
    std::printf("\n");
}

int Identify(int port) {
    std::printf("Printer on port %d:\n", port);
    if (mfStart(0, port) != 0) {
        std::printf("  no session: detail code %d\n", mfError() == -1 ? 0 : mfError());
        return 1;
    }
    int version = 0, unused = 0;
    int result = mfGetVersion(&version, &unused);
    Show("version", result, "%d", version);
    char serial[12] = {};
    if (mfGetSerNo(serial) == 0) {
        std::printf("  %-22s %s\n", "serial number", serial);
    } else {
        ShowFailure("serial number");
    }
    int first = 0, second = 0, third = 0;
    result = mfGetDate(&first, &second, &third);
    Show("date", result, "%02d-%02d-%02d", first, second, third);
    result = mfGetTime(&first, &second);
    Show("time", result, "%02d:%02d", first, second);
    result = mfGetLastTicketNo(&first);
    Show("receipts today", result, "%d", first);
    int rates[6] = {};
    if (mfGetTax(&rates[0], &rates[1], &rates[2], &rates[3], &rates[4], &rates[5]) != 0) {
        ShowFailure("tax rates");
    } else {
        std::printf("  %-22s", "tax rates A-F");
        for (const int rate : rates) {
            if (rate < 0) std::printf(" ---");
            if (rate >= 0) std::printf(" %d.%02d%%", rate / 100, rate % 100);
        }
        std::printf("\n");
    }
    mfStop();
    return 0;
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
    return Identify(port);
}
