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

// The text of a failed step, and the receipt cancelled so the printer is left clean.
int Abandon(const char* step) {
    ShowFailure(step);
    mfStornoTicket();
    mfStop();
    return 1;
}

// A sale as a till makes it: four lines, one voided, a discount on a line, and two payments,
// the first in euro at 4,3210 PLN.
int DemoSale(int port) {
    std::printf("Sale on port %d:\n", port);
    if (mfStart(0, port) != 0) {
        std::printf("  no session: detail code %d\n", mfError() == -1 ? 0 : mfError());
        return 1;
    }
    mfDefPOS(1, 7, "Anna Nowak");
    if (mfBeginTicket(-1) != 0) return Abandon("opening");
    struct Line {
        const char* name;
        char letter;
        const char* unit;
        int price;
        int quantity;
    };
    const Line lines[] = {{"Chleb \xBEytni", 'B', "szt", 549, 1000},
                          {"Mas\x88o extra 200g", 'B', "szt", 899, 2000},
                          {"Kawa mielona 500g", 'A', "szt", 3199, 1000},
                          {"Pomidory", 'B', "kg", 1290, 1250}};
    std::printf("  four lines sold\n");
    for (const Line& line : lines) {
        if (mfLineTicket(0, line.name, line.letter, line.unit, line.price, line.quantity, 0) != 0) {
            return Abandon("sale line");
        }
    }
    std::printf("  one line voided\n");
    if (mfStornoLineTicket(0, "Kawa mielona 500g", 'A', "szt", 3199, 1000, 0) != 0)
        return Abandon("void");
    std::printf("  a discount of 1,61 on the last line\n");
    if (mfLineTicketExt(0, "Pomidory", 'B', "kg", 0, -1000, 161) != 0) return Abandon("discount");
    // 5,49 + 17,98 + 16,13 - 1,61 = 37,99: 20,00 PLN paid in euro, the rest in cash.
    if (mfEndTicket(0, 0, 1042, 2000, "EUR 4,3210", 1799, "Got\xA2wka", 0, "", 0, "", 0, "", "",
                    "Dzi\xA9kujemy!") != 0) {
        return Abandon("closing");
    }
    int number = 0;
    mfGetLastTicketNo(&number);
    std::printf("  receipt %d of the day printed\n", number);
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
    if (std::strcmp(command, "identify") == 0) return Identify(port);
    if (std::strcmp(command, "sale") == 0) return DemoSale(port);
    std::fprintf(stderr, "usage: tarn [--port N] identify|sale\n");
    return 2;
}
