// What every document's worker code shares: the calls' bounds, the messages to the main process,
// a failure's description.
#include <iostream>

#include "cli.h"
#include "tarn/tarn.h"
#include "worker.h"

namespace tarn::serve::worker {

int BoundMs(const std::string& call) {
    if (call == "mfBeginTicket") return 240000;
    if (call == "mfStart") return 230000;
    if (call == "mfPrState" || call == "mfPrPayIn" || call == "mfPrPayOut" || call == "mfPrVISA")
        return 210000;
    if (call == "mfEndTicket" || call == "mfPrDetailReport" || call == "mfPrGlobalReport")
        return 200000;
    if (call == "mfPrEFT_Transaction") return 195000;
    return 180000;
}

void Send(const Json& message) {
    std::cout << message.dump() << std::endl;
}

Json Failure(const std::string& call, int result) {
    const int code = result == MF_FAILED ? mfError() : 0;
    char kind[39] = {};
    char detail[39] = {};
    mfParMessage(code, kind, detail);
    return {
        {"call", call}, {"result", result}, {"code", code}, {"polish", cli::FromPrinter(detail)}};
}

int ReceiptCount() {
    int count = 0;
    return Make("mfGetLastTicketNo", [&] { return mfGetLastTicketNo(&count); }) == 0 ? count : -1;
}

}  // namespace tarn::serve::worker
