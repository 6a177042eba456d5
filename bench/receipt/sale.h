// The standard sale, through a copy of the library loaded with dlopen.
#pragma once

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

// Loads the library at `path` (for good: the process is the benchmark's client).
bool LoadApi(const std::string& path, TarnApi* api, std::string* error);

// Ten sale lines, a void, on type 8 a discount on the last line, two payments and the foot
// lines (transaction number, cashier, a free line), from mfStart on `port` to mfStop. Before
// each call the call's name is appended to the wire trace at `tracePath`.
bool RunSale(const TarnApi& api, int printerType, int port, const std::string& tracePath,
             std::string* error);

}  // namespace tarn::bench
