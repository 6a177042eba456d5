#include "sale.h"

#include <cstdio>

#include "wire_trace.h"

namespace tarn::bench {

namespace {

struct Item {
    const char* name;
    char ptu;
    int price;     // grosze
    int quantity;  // thousandths
};

constexpr Item kItems[] = {
    {"Chleb pszenny", 'B', 450, 1000},  {"Mleko 2%", 'B', 329, 2000},
    {"Maslo extra", 'B', 799, 1000},    {"Ser gouda", 'B', 2490, 350},
    {"Jablka", 'C', 399, 1500},         {"Kawa mielona", 'A', 1899, 1000},
    {"Woda mineralna", 'A', 199, 6000}, {"Czekolada gorzka", 'A', 549, 2000},
    {"Pomidory", 'B', 899, 750},        {"Sok pomaranczowy", 'A', 649, 1000},
};
constexpr int kVoidedItem = 6;
constexpr int kLineDiscount = 100;
// Printers below type 8 have no line discount: they take 5 % off the receipt instead.
constexpr int kReceiptDiscountPercent = 5;
constexpr int kCashPayment = 5000;
constexpr int kTransactionNo = 1234;

int ValueOf(const Item& item) {
    return (item.price * item.quantity + 500) / 1000;
}

template <typename F>
bool Load(const SymbolLookup& lookup, const char* name, F* function, std::string* error) {
    *function = reinterpret_cast<F>(lookup(name));
    if (*function == nullptr) *error = std::string("no ") + name + " in the library";
    return *function != nullptr;
}

class Sale {
public:
    Sale(const TarnApi& api, const std::string& tracePath) : api_(api), tracePath_(tracePath) {}

    // Marks the trace with the call's name, makes the call and checks its result.
    template <typename F, typename... Args>
    bool Call(const char* name, F function, Args... args) {
        if (std::FILE* trace = std::fopen(tracePath_.c_str(), "a")) {
            std::fprintf(trace, "%s\n", CallMarker(name).c_str());
            std::fclose(trace);
        }
        const int result = function(args...);
        if (result == 0) return true;
        char text[96];
        std::snprintf(text, sizeof text, "%s returned %d, detail code %d", name, result,
                      api_.error());
        error_ = text;
        return false;
    }

    const std::string& Error() const { return error_; }

private:
    const TarnApi& api_;
    std::string tracePath_;
    std::string error_;
};

bool SellEverything(const TarnApi& api, Sale& sale, int* total) {
    for (const Item& item : kItems) {
        if (!sale.Call("mfLineTicket", api.lineTicket, 0, item.name, item.ptu, "szt", item.price,
                       item.quantity, 0)) {
            return false;
        }
        *total += ValueOf(item);
    }
    const Item& voided = kItems[kVoidedItem];
    *total -= ValueOf(voided);
    return sale.Call("mfStornoLineTicket", api.voidLine, 0, voided.name, voided.ptu, "szt",
                     voided.price, voided.quantity, 0);
}

bool DiscountLastLine(const TarnApi& api, Sale& sale, int* total) {
    const Item& last = kItems[sizeof kItems / sizeof kItems[0] - 1];
    *total -= kLineDiscount;
    return sale.Call("mfLineTicketExt", api.lineTicketExt, 0, last.name, last.ptu, "", last.price,
                     -1000, kLineDiscount);
}

// `percent` off the total (rounded to the grosz, half up), as the printer computes it.
bool EndTicket(const TarnApi& api, Sale& sale, int total, int percent) {
    const int due = total - (percent * total + 50) / 100;
    return sale.Call("mfEndTicket", api.endTicket, percent * 100, 0, kTransactionNo, kCashPayment,
                     "Gotowka", due - kCashPayment, "Karta", 0, "", 0, "", 0, "", "",
                     "Dziekujemy za zakupy");
}

}  // namespace

bool LoadApi(const SymbolLookup& library, TarnApi* api, std::string* error) {
    return Load(library, "mfStart", &api->start, error) &&
           Load(library, "mfStop", &api->stop, error) &&
           Load(library, "mfError", &api->error, error) &&
           Load(library, "mfDefPOS", &api->defPos, error) &&
           Load(library, "mfBeginTicket", &api->beginTicket, error) &&
           Load(library, "mfLineTicket", &api->lineTicket, error) &&
           Load(library, "mfStornoLineTicket", &api->voidLine, error) &&
           Load(library, "mfLineTicketExt", &api->lineTicketExt, error) &&
           Load(library, "mfEndTicket", &api->endTicket, error);
}

bool RunSale(const TarnApi& api, int printerType, int port, const std::string& tracePath,
             std::string* error) {
    Sale sale(api, tracePath);
    int total = 0;
    const bool sold = sale.Call("mfStart", api.start, 0, port) &&
                      sale.Call("mfDefPOS", api.defPos, 1, 7, "Anna") &&
                      sale.Call("mfBeginTicket", api.beginTicket, -1) &&
                      SellEverything(api, sale, &total) &&
                      (printerType < 8 || DiscountLastLine(api, sale, &total)) &&
                      EndTicket(api, sale, total, printerType < 8 ? kReceiptDiscountPercent : 0) &&
                      sale.Call("mfStop", api.stop);
    if (!sold) *error = sale.Error();
    return sold;
}

}  // namespace tarn::bench
