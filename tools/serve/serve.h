// tarn serve: the printers as a local HTTP service. The main process owns the HTTP interface and
// the journal; each printer has a worker process of its own (this program re-run with --worker)
// that holds the printer's session, so that a printer that hangs never stops another.
#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace tarn::serve {

using Json = nlohmann::json;

struct PrinterConfig {
    std::string name;
    std::string port;  // a port number, a device path or tcp:HOST:PORT
    std::string logo;  // a logo file loaded at the start (type 8 and above), or empty
};

struct Config {
    std::string host = "127.0.0.1";
    int port = 8631;
    std::string journal = "tarn-serve.db";
    int keepDays = 90;
    std::string tokenFile;
    std::vector<std::string> allowedOrigins;
    std::vector<PrinterConfig> printers;
};

// What the printer can do, learned when its worker starts: checks depend on it.
struct PrinterAbilities {
    bool lineDiscounts = false;  // mfLineTicketExt (type 8 and above)
};

// A document that cannot be printed: the field at fault (a JSON pointer) and why.
struct Refusal {
    std::string field;
    std::string message;
};

// Checks a whole receipt before anything goes to the printer. On success `plan` holds it in the
// printer's terms (grosze, thousandths, tax letters, payment names) for the worker; else
// `refusal` names the field.
bool CheckReceipt(const Json& body, const PrinterAbilities& abilities, Json* plan,
                  Refusal* refusal);

// A failure's detail code in English and the step a till takes next.
struct FailureText {
    const char* english;
    const char* nextStep;
};
FailureText DescribeFailure(int code);

int64_t NowMs();

// The API as OpenAPI 3.
Json OpenApi();

// The worker's side: reads one request a line on stdin, answers on stdout.
int RunWorker(const std::vector<std::string>& args);

}  // namespace tarn::serve
