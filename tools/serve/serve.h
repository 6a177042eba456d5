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
    bool numberReports = false;  // periodic reports by number (type 4 and above)
    bool display = false;        // a customer display
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

// The other documents, checked as the receipt is.
bool CheckPayIn(const Json& body, const PrinterAbilities& abilities, Json* plan, Refusal* refusal);
bool CheckPayOut(const Json& body, const PrinterAbilities& abilities, Json* plan, Refusal* refusal);
bool CheckDailyReport(const Json& body, const PrinterAbilities& abilities, Json* plan,
                      Refusal* refusal);
bool CheckPeriodicReport(const Json& body, const PrinterAbilities& abilities, Json* plan,
                         Refusal* refusal);
bool CheckDrawer(const Json& body, const PrinterAbilities& abilities, Json* plan, Refusal* refusal);
bool CheckDisplay(const Json& body, const PrinterAbilities& abilities, Json* plan,
                  Refusal* refusal);
bool CheckCardSlip(const Json& body, const PrinterAbilities& abilities, Json* plan,
                   Refusal* refusal);

// How a job cut off by a killed worker or service is settled afterwards.
enum class Settling {
    ByReceiptCount,  // a receipt: the receipt count went up, or it did not
    ByDayClose,      // a daily report: the receipt count went back to 0 (the day closed), or not
    CannotTell,      // the printer keeps no record of it: the job ends uncertain
};

// A document the service runs as a job, all of them by one road: posted to
// /printers/{name}/PATH, checked whole, journaled, run by the printer's worker, settled after an
// interruption.
struct Document {
    const char* kind;  // the job's kind, in the journal and the answer
    const char* path;
    bool (*check)(const Json& body, const PrinterAbilities& abilities, Json* plan,
                  Refusal* refusal);
    Settling settling;
    const char* nextStep;  // what the till does when the job ends uncertain
};
const std::vector<Document>& Documents();
const Document* FindDocument(const std::string& kind);

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
