#include "sale.h"

#include <chrono>
#include <cstdio>

#include "wire_trace.h"

namespace tarn::bench {

namespace {

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
        std::FILE* trace = tracePath_.empty() ? nullptr : std::fopen(tracePath_.c_str(), "a");
        if (trace != nullptr) {
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
                     "Gotowka", due - kCashPayment, "Karta", 0, "", 0, "", 0, "", "", kFooterLine);
}

int64_t Now() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

int ValueOf(const Item& item) {
    return (item.price * item.quantity + 500) / 1000;
}

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
             std::string* error, int64_t* receiptNs) {
    Sale sale(api, tracePath);
    int total = 0;
    if (!sale.Call("mfStart", api.start, 0, port)) {
        *error = sale.Error();
        return false;
    }
    const int64_t began = Now();
    const bool sold =
        sale.Call("mfDefPOS", api.defPos, kCashierPos, kCashierNumber, kCashierName) &&
        sale.Call("mfBeginTicket", api.beginTicket, -1) && SellEverything(api, sale, &total) &&
        (printerType < 8 || DiscountLastLine(api, sale, &total)) &&
        EndTicket(api, sale, total, printerType < 8 ? kReceiptDiscountPercent : 0);
    if (receiptNs != nullptr) *receiptNs = Now() - began;
    if (!sold || !sale.Call("mfStop", api.stop)) {
        *error = sale.Error();
        return false;
    }
    return true;
}

}  // namespace tarn::bench
