// The worker's parts: it names each call and the call's bound to the main process before making
// it, so that the main process can kill a worker whose call overran it.
#pragma once

#include <string>

#include "serve.h"

namespace tarn::serve::worker {

// When a call has returned at the latest, whatever the line does (the reference's bounds).
int BoundMs(const std::string& call);
void Send(const Json& message);

// Names the call to the main process, then makes it.
template <typename Call>
int Make(const char* name, Call call) {
    Send({{"call", name}, {"bound_ms", BoundMs(name)}});
    return call();
}

// A failed call as the job tells it: the call, its result, the detail code and its Polish text.
Json Failure(const std::string& call, int result);
// The printer's receipt count, or -1 when it cannot be read.
int ReceiptCount();

// The documents beside the receipt; each answers its outcome: printed, not_printed, uncertain
// (the printer cannot tell) or unknown (the printer did not answer the question that tells).
Json Document(const std::string& kind, const Json& plan, int before);
// Whether the daily report begun when the receipt count stood at `before` closed the day.
Json SettleDayClose(int before);

}  // namespace tarn::serve::worker
