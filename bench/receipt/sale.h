// The standard sale, through a copy of the library loaded at run time.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "tarn/tarn.h"

namespace tarn::bench {

struct TarnApi {
    decltype(&::mfStart) start = nullptr;
    decltype(&::mfStop) stop = nullptr;
    decltype(&::mfError) error = nullptr;
    decltype(&::mfDefPOS) defPos = nullptr;
    decltype(&::mfBeginTicket) beginTicket = nullptr;
    decltype(&::mfLineTicket) lineTicket = nullptr;
    decltype(&::mfStornoLineTicket) voidLine = nullptr;
    decltype(&::mfLineTicketExt) lineTicketExt = nullptr;
    decltype(&::mfEndTicket) endTicket = nullptr;
};

// The standard sale's goods: a line of it and what it comes to (half a grosz up).
struct Item {
    const char* name;
    char ptu;
    int price;     // grosze
    int quantity;  // thousandths
};
int ValueOf(const Item& item);

constexpr Item kItems[] = {
    {"Chleb pszenny", 'B', 450, 1000},  {"Mleko 2%", 'B', 329, 2000},
    {"Maslo extra", 'B', 799, 1000},    {"Ser gouda", 'B', 2490, 350},
    {"Jablka", 'C', 399, 1500},         {"Kawa mielona", 'A', 1899, 1000},
    {"Woda mineralna", 'A', 199, 6000}, {"Czekolada gorzka", 'A', 549, 2000},
    {"Pomidory", 'B', 899, 750},        {"Sok pomaranczowy", 'A', 649, 1000},
};
constexpr int kVoidedItem = 6;
constexpr int kLineDiscount = 100;  // off the last line, on type 8
// Printers below type 8 have no line discount: they take 5 % off the receipt instead.
constexpr int kReceiptDiscountPercent = 5;
constexpr int kCashPayment = 5000;  // the rest is paid by card
constexpr int kTransactionNo = 1234;
constexpr int kCashierPos = 1;
constexpr int kCashierNumber = 7;
constexpr const char* kCashierName = "Anna";
constexpr const char* kFooterLine = "Dziekujemy za zakupy";

// The address of a function of the loaded library by its name, or null.
using SymbolLookup = std::function<void*(const char*)>;
bool LoadApi(const SymbolLookup& library, TarnApi* api, std::string* error);

// Ten sale lines, a void, on type 8 a discount on the last line, two payments and the foot
// lines (transaction number, cashier, a free line), from mfStart on `port` to mfStop. Before
// each call the call's name is appended to the wire trace at `tracePath`, unless it is empty.
// `receiptNs`, when given, is the wall time of the receipt alone, from mfDefPOS to the end of
// mfEndTicket: what a till that holds its session waits.
bool RunSale(const TarnApi& api, int printerType, int port, const std::string& tracePath,
             std::string* error, int64_t* receiptNs = nullptr);

}  // namespace tarn::bench
