// The HTTP interface over the printers and the journal.
#pragma once

#include <httplib.h>

#include <map>
#include <memory>
#include <string>

#include "journal.h"
#include "printer_runner.h"
#include "serve.h"

namespace tarn::serve {

class Service {
public:
    Service(Config config, std::string program);
    // Opens the journal and starts every printer; false (with `error`) when the journal cannot
    // be opened.
    bool Start(std::string* error);
    void Stop();
    void Route(httplib::Server* server);

private:
    using Request = httplib::Request;
    using Response = httplib::Response;

    void PostJob(const Request& request, Response& response);
    void GetJob(const Request& request, Response& response);
    void ListJobs(const Request& request, Response& response);
    void ListPrinters(const Request& request, Response& response);
    void GetPrinter(const Request& request, Response& response);
    void GetLastJob(const Request& request, Response& response);
    void GetMetrics(const Request& request, Response& response);
    // Answers with the job, after waiting up to the request's ?wait=MS for it to end: 200 when
    // it has ended, else 202 with its URL.
    void AnswerJob(const Request& request, Response& response, const JobRow& job);
    PrinterRunner* Printer(const Request& request, Response& response);

    Config config_;
    std::string program_;
    Journal journal_;
    std::map<std::string, std::unique_ptr<PrinterRunner>> printers_;
};

}  // namespace tarn::serve
