// `tarn demo`: a virtual printer on a pseudo-terminal, and a day at the till through the
// library's real serial path — every call shown with its result, then the paper roll and the
// customer display. With --web the printer is also on a web page while the day runs.
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "cli.h"
#include "pty_endpoint.h"
#include "tarn/tarn.h"
#include "virtual_printer.h"
#include "web_panel.h"

namespace tarn::cli {

namespace {

struct DemoOptions {
    sim::PrinterModel model;
    int webPort = -1;  // the web panel's port (0: any free port); -1 for none
    bool ok = true;
};

DemoOptions ParseOptions(const Args& args) {
    DemoOptions options;
    options.model.displayType = 3;
    const struct {
        const char* name;
        int highest;
        int* value;
    } kOptions[] = {{"--type", 10, &options.model.type},
                    {"--version", 255, &options.model.version},
                    {"--display", 3, &options.model.displayType},
                    {"--web", 65535, &options.webPort}};
    for (size_t i = 0; i + 1 < args.size(); i += 2) {
        bool known = false;
        for (const auto& option : kOptions) {
            if (args[i] == option.name)
                known = ParseWhole(args[i + 1], 0, option.highest, option.value);
        }
        options.ok = options.ok && known;
    }
    const int t = options.model.type;
    options.ok = options.ok && args.size() % 2 == 0 &&
                 (t == 1 || t == 2 || t == 3 || t == 4 || t == 8 || t == 10);
    return options;
}

std::string P(const char* utf8) {
    return ToPrinter(utf8);
}

// "yyyy-mm-dd hh:mm" from the printer's clock (mfGetDate answers the year in two digits), as
// the card terminal would print the transaction's time.
std::string PrinterDateTime() {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    mfGetDate(&year, &month, &day);
    mfGetTime(&hour, &minute);
    char text[32];
    std::snprintf(text, sizeof text, "20%02d-%02d-%02d %02d:%02d", year, month, day, hour, minute);
    return text;
}

struct Item {
    const char* name;
    char letter;
    const char* unit;
    int price;
    int quantity;
};

const Item kItems[] = {{"Chleb żytni", 'B', "szt", 549, 1000},
                       {"Masło extra 200g", 'B', "szt", 899, 2000},
                       {"Kawa mielona 500g", 'A', "szt", 3199, 1000},
                       {"Pomidory", 'B', "kg", 1290, 1250}};

void Sale() {
    std::printf("\nA sale\n");
    Show("mfDispConsumerLOGO",
         mfDispConsumerLOGO(P("Dzień dobry").c_str(), P("Zapraszamy").c_str()));
    Show("mfBeginTicket(-1)", mfBeginTicket(-1));
    for (const Item& item : kItems) {
        Show(std::string("mfLineTicket ") + item.name,
             mfLineTicket(0, P(item.name).c_str(), item.letter, item.unit, item.price,
                          item.quantity, 0));
    }
    Show("mfStornoLineTicket Kawa mielona 500g",
         mfStornoLineTicket(0, P("Kawa mielona 500g").c_str(), 'A', "szt", 3199, 1000, 0));
    Show("mfLineTicketExt Pomidory -1,61",
         mfLineTicketExt(0, P("Pomidory").c_str(), 'B', "kg", 0, -1000, 161));
    // 5,49 + 17,98 + 16,13 - 1,61 = 37,99: 20,00 PLN paid in euro at 4,3210, the rest in cash.
    Show("mfEndTicket EUR 20,00 + cash 17,99",
         mfEndTicket(0, 0, 1042, 2000, "EUR 4,3210", 1799, P("Gotówka").c_str(), 0, "", 0, "", 0,
                     "", "", P("Dziękujemy, do zobaczenia!").c_str()));
    Show("mfDispSummary", mfDispSummary(P("Razem").c_str(), 3799, P("Reszta").c_str(), 0));
}

void AroundTheSale() {
    std::printf("\nMoney, card, drawer\n");
    Show("mfPrPayIn",
         mfPrPayIn("KP/12", P("Anna Nowak").c_str(), P("Zasilenie kasy").c_str(), "200,00"));
    // The terminal's answer for a card payment of the receipt just printed, each value on the
    // line of the slip that carries it (docs/reference.md, mfPrEFT_Transaction).
    int receiptNo = 0;
    mfGetLastTicketNo(&receiptNo);
    const std::string when = PrinterDateTime();
    Show("mfPrEFT_Transaction accepted, PIN",
         mfPrEFT_Transaction(0, /*status*/ 1, /*kind: sale*/ 1, /*variant*/ 1, /*PIN*/ 3,
                             /*Data transakcji*/ when.c_str(), /*TID*/ "40012345",
                             /*UID*/ "000000123456", /*Nr dowodu sprz*/ 12, /*P*/ 345, /*S*/ 678,
                             /*Kasa*/ 1, /*Do paragonu*/ receiptNo,
                             /*Kasjer*/ P("Anna Nowak").c_str(), 0, /*K*/ "", /*entry mark*/ 'C',
                             /*Karta*/ "VISA",
                             /*card number, 13 characters*/ "*********1234", /*amount*/ 3799,
                             /*cashback*/ 0, 0, 0, 0, 0, 0, 0, 0, 0, /*second mark*/ 0,
                             /*Nr autoryzacji*/ "A1B2C3", /*its number*/ 1, /*response code*/ 0, 0,
                             /*English lines*/ 0, 0, 0, 0, 0));
    Show("mfDrawerOpen(1)", mfDrawerOpen(1));
    int open = 0;
    Show("mfDrawerIsOpen(1)", mfDrawerIsOpen(1, &open));
    std::printf("  the drawer is %s\n", open ? "open" : "closed");
    std::printf("\nThe end of the day\n");
    int number = 0;
    Show("mfGetLastTicketNo", mfGetLastTicketNo(&number));
    Show("mfShiftEnd", mfShiftEnd());
}

void PrintPrinter(sim::PtyEndpoint& endpoint) {
    endpoint.WithPrinter([](sim::VirtualPrinter& printer) {
        std::printf("\nThe paper roll:\n");
        const std::string roll = printer.Roll().AsUtf8();
        for (size_t start = 0, end = 0; start < roll.size(); start = end + 1) {
            end = roll.find('\n', start);
            if (end == std::string::npos) end = roll.size();
            std::printf("  | %s\n", roll.substr(start, end - start).c_str());
        }
        std::printf("\nThe customer display:\n");
        for (const std::string& line : printer.DisplayLines())
            std::printf("  [%s]\n", line.c_str());
    });
}

// Returns when a line (or the end of the input) has been read.
void WaitForEnter(const char* prompt) {
    std::printf("\n%s\n", prompt);
    std::fflush(stdout);
    for (int c = std::getchar(); c != EOF && c != '\n'; c = std::getchar()) {
    }
}

bool StartPanel(web::WebPanel& panel, int port) {
    std::string error;
    if (!panel.Start(port, &error)) {
        std::fprintf(stderr, "tarn: %s\n", error.c_str());
        return false;
    }
    std::printf("The printer is on http://127.0.0.1:%d/\n", panel.Port());
    WaitForEnter("Open it, then press Enter to start the day.");
    return true;
}

}  // namespace

int RunDemo(const Args& args, int port) {
    const DemoOptions options = ParseOptions(args);
    if (!options.ok) {
        std::fprintf(stderr,
                     "usage: tarn demo [--type 1|2|3|4|8|10] [--version N] [--display 0-3] "
                     "[--web PORT]\n");
        return 2;
    }
    sim::VirtualPrinter printer(options.model);
    sim::PtyEndpoint endpoint(printer);
    std::string error;
    if (!endpoint.Open(&error)) {
        std::fprintf(stderr, "tarn: %s\n", error.c_str());
        return 1;
    }
    std::atomic<bool> stop{false};
    std::thread serving([&] { endpoint.Serve(stop); });
    const std::string variable = "TARN_COM" + std::to_string(port);
    setenv(variable.c_str(), endpoint.Path().c_str(), 1);
    std::printf("A virtual printer of type %d (version %d, display %d) on %s, as port %d.\n",
                options.model.type, options.model.version, options.model.displayType,
                endpoint.Path().c_str(), port);
    web::WebPanel panel(web::AccessTo(endpoint));
    if (options.webPort >= 0 && !StartPanel(panel, options.webPort)) {
        stop = true;
        serving.join();
        return 1;
    }
    std::printf("\nThe session\n");
    Show("mfDefDrawer(1)", mfDefDrawer(1, 0));
    int result = Show("mfStart(0, " + std::to_string(port) + ")", mfStart(0, port));
    if (result == 0) {
        Show("mfDefPOS(1, 7, Anna Nowak)", mfDefPOS(1, 7, P("Anna Nowak").c_str()));
        Show("mfDefFooter", mfDefFooter(P("Sklep TARN - zapraszamy codziennie 7-22").c_str()));
        Sale();
        AroundTheSale();
        Show("mfStop", mfStop());
    }
    if (options.webPort >= 0) WaitForEnter("Press Enter to end the demo and its web page.");
    panel.Stop();
    stop = true;
    serving.join();
    PrintPrinter(endpoint);
    return ExitStatus(result);
}

}  // namespace tarn::cli
