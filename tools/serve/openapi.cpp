// The API described as OpenAPI 3 (served at /openapi.json), with an example body for each POST.
#include "openapi.h"

namespace tarn::serve {

namespace {

Json JobAnswer(const char* description) {
    return {
        {"description", description},
        {"content", {{"application/json", {{"schema", {{"$ref", "#/components/schemas/Job"}}}}}}}};
}

Json Refused(const char* description) {
    return {{"description", description},
            {"content",
             {{"application/json", {{"schema", {{"$ref", "#/components/schemas/Error"}}}}}}}};
}

}  // namespace

Json AmountSchema() {
    return {{"description",
             "whole grosze (549) or a decimal string of złoty (\"5.49\"); never a "
             "binary fraction"},
            {"oneOf", {{{"type", "integer"}}, {{"type", "string"}}}}};
}

namespace {

Json Receipt() {
    const Json text = {{"type", "string"}};
    const Json line = {
        {"type", "object"},
        {"required", {"name", "tax", "quantity", "unit_price"}},
        {"additionalProperties", false},
        {"properties",
         {{"name", {{"type", "string"}, {"maxLength", 28}}},
          {"tax", {{"type", "string"}, {"pattern", "^[A-Ga-g]$"}}},
          {"quantity",
           {{"description", "whole units (2) or a decimal string (\"1.25\", three decimals)"},
            {"oneOf", {{{"type", "integer"}}, {{"type", "string"}}}}}},
          {"unit_price", AmountSchema()},
          {"unit", {{"type", "string"}, {"maxLength", 3}}},
          {"discount", AmountSchema()}}}};
    const Json payment = {{"type", "object"},
                          {"required", {"type", "amount"}},
                          {"properties",
                           {{"type", {{"enum", {"cash", "card", "currency"}}}},
                            {"amount", AmountSchema()},
                            {"name", {{"type", "string"}, {"maxLength", 13}}},
                            {"currency", {{"type", "string"}, {"pattern", "^[A-Z]{3}$"}}},
                            {"rate", {{"type", "string"}, {"example", "4.3210"}}}}}};
    return {
        {"type", "object"},
        {"required", {"lines", "payments"}},
        {"additionalProperties", false},
        {"properties",
         {{"job_id", text},
          {"lines", {{"type", "array"}, {"items", line}}},
          {"voids",
           {{"type", "array"},
            {"items", {{"type", "object"}, {"properties", {{"line", {{"type", "integer"}}}}}}}}},
          {"percent_discount", {{"type", "integer"}, {"minimum", 1}, {"maximum", 99}}},
          {"payments", {{"type", "array"}, {"maxItems", 3}, {"items", payment}}},
          {"cashier",
           {{"type", "object"},
            {"properties",
             {{"pos", {{"type", "integer"}}}, {"number", {{"type", "integer"}}}, {"name", text}}}}},
          {"transaction", {{"type", "integer"}}},
          {"table", {{"type", "string"}, {"maxLength", 22}}},
          {"footer_line", {{"type", "string"}, {"maxLength", 31}}}}}};
}

Json ReceiptExample() {
    return Json::parse(R"({
        "lines": [{"name": "Chleb żytni", "tax": "B", "quantity": 1, "unit_price": "5.49"},
                  {"name": "Pomidory", "tax": "B", "quantity": "1.25", "unit_price": 1290,
                   "unit": "kg", "discount": "1.13"}],
        "payments": [{"type": "cash", "amount": "25.00"}],
        "cashier": {"pos": 1, "number": 7, "name": "Anna Nowak"},
        "transaction": 77})");
}

Json Parameter(const char* name, const char* in, const char* description) {
    return {{"name", name},
            {"in", in},
            {"required", std::string(in) == "path"},
            {"description", description},
            {"schema", {{"type", "string"}}}};
}

}  // namespace

Json OpenApi() {
    const Json wait =
        Parameter("wait", "query", "milliseconds to wait for the job's end (at most 120000)");
    const Json printer = Parameter("name", "path", "the printer's configured name");
    const auto post = [&](const std::string& summary, const Json& schema, const Json& example) {
        return Json{
            {"post",
             {{"summary", summary},
              {"parameters",
               {printer, wait,
                Parameter("Idempotency-Key", "header",
                          "the job's id: the same key never runs twice (or job_id in the body)")}},
              {"requestBody",
               {{"required", !schema["required"].empty()},
                {"content", {{"application/json", {{"schema", schema}, {"example", example}}}}}}},
              {"responses",
               {{"200", JobAnswer("the job has ended (its outcome: printed, not_printed, "
                                  "uncertain or refused)")},
                {"202", JobAnswer("the job runs; its URL is in Location")},
                {"400", Refused("the body is not JSON, or the key or wait is malformed")},
                {"409", Refused("the key was used for another document")},
                {"422", Refused("the document cannot be printed: field names it, nothing was "
                                "sent")}}}}}};
    };
    Json job = {{"type", "object"},
                {"properties",
                 {{"id", {{"type", "string"}}},
                  {"state", {{"enum", {"queued", "running", "done"}}}},
                  {"kind", {{"type", "string"}}},
                  {"outcome",
                   {{"enum", {"printed", "not_printed", "uncertain", "refused"}},
                    {"description",
                     "uncertain: the printer cannot tell whether it carried the document out "
                     "(next_step says where to look)"}}},
                  {"next_step", {{"type", "string"}}},
                  {"receipt_number", {{"type", "integer"}}},
                  {"error",
                   {{"type", "object"},
                    {"properties",
                     {{"code", {{"type", "integer"}}},
                      {"polish", {{"type", "string"}}},
                      {"english", {{"type", "string"}}},
                      {"next_step", {{"type", "string"}}}}}}},
                  {"resolution", {{"type", "string"}}}}}};
    Json api = {
        {"openapi", "3.0.3"},
        {"info", {{"title", "tarn serve"}, {"version", "1"}}},
        {"paths",
         {{"/printers",
           {{"get",
             {{"summary", "The printers and what each last told"},
              {"responses", {{"200", {{"description", "the printers"}}}}}}}}},
          {"/printers/{name}",
           {{"get",
             {{"summary", "A printer's identity, session, status and last error"},
              {"parameters", {printer}},
              {"responses", {{"200", {{"description", "the printer"}}}}}}}}},
          {"/printers/{name}/receipts",
           post("Prints a receipt: checked whole first, run once per key", Receipt(),
                ReceiptExample())},
          {"/printers/{name}/last-job",
           {{"get",
             {{"summary", "The printer's latest job"},
              {"parameters", {printer, wait}},
              {"responses", {{"200", JobAnswer("the job")}}}}}}},
          {"/jobs/{id}",
           {{"get",
             {{"summary", "A job by its id (its key)"},
              {"parameters", {Parameter("id", "path", "the job's id"), wait}},
              {"responses", {{"200", JobAnswer("ended")}, {"202", JobAnswer("running")}}}}}}},
          {"/jobs",
           {{"get",
             {{"summary", "Jobs by key, printer and time (since, until: ms since 1970)"},
              {"parameters",
               {Parameter("key", "query", "a job id"), Parameter("printer", "query", "a printer"),
                Parameter("since", "query", "ms"), Parameter("until", "query", "ms"),
                Parameter("limit", "query", "at most 1000")}},
              {"responses", {{"200", {{"description", "the jobs, newest first"}}}}}}}}},
          {"/metrics",
           {{"get",
             {{"summary", "Prometheus text: jobs by outcome, their time, printer state"},
              {"responses", {{"200", {{"description", "the metrics"}}}}}}}}}}},
        {"components",
         {{"schemas",
           {{"Job", job},
            {"Error",
             {{"type", "object"},
              {"properties",
               {{"error", {{"type", "string"}}}, {"field", {{"type", "string"}}}}}}}}}}}};
    for (const Document& document : Documents()) {
        if (std::string(document.kind) == "receipt") continue;
        const DocumentApi described = DescribeDocument(document.kind);
        api["paths"][std::string("/printers/{name}/") + document.path] =
            post(described.summary, described.schema, described.example);
    }
    return api;
}

}  // namespace tarn::serve
