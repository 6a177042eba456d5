// The standard sale, through a copy of the library loaded at run time.
#pragma once

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

// The address of a function of the loaded library by its name, or null.
using SymbolLookup = std::function<void*(const char*)>;
bool LoadApi(const SymbolLookup& library, TarnApi* api, std::string* error);

// Ten sale lines, a void, on type 8 a discount on the last line, two payments and the foot
// lines (transaction number, cashier, a free line), from mfStart on `port` to mfStop. Before
// each call the call's name is appended to the wire trace at `tracePath`.
bool RunSale(const TarnApi& api, int printerType, int port, const std::string& tracePath,
             std::string* error);

}  // namespace tarn::bench
