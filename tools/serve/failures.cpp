// The service's words for a printer's failure come from the reference's table of detail codes
// (failure_table.inc is written from it at build time): one source for the two.
#include "serve.h"

namespace tarn::serve {

namespace {

struct FailureRow {
    int code;
    const char* english;
    const char* nextStep;
};

const FailureRow kFailures[] = {
#include "failure_table.inc"
};

}  // namespace

FailureText DescribeFailure(int code) {
    for (const FailureRow& row : kFailures) {
        if (row.code == code) return {row.english, row.nextStep};
    }
    return {"the printer failed for a reason the library does not name",
            "look at the printer and at GET /printers/{name}"};
}

}  // namespace tarn::serve
