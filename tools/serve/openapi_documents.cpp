// The documents beside the receipt as OpenAPI 3 describes them: each one's summary, body and
// example (an example the service prints as it stands).
#include "openapi.h"

namespace tarn::serve {

namespace {

Json Text(int widest) {
    return {{"type", "string"}, {"maxLength", widest}};
}

Json Whole(int lowest, int highest) {
    return {{"type", "integer"}, {"minimum", lowest}, {"maximum", highest}};
}

Json Body(Json properties, Json required = Json::array()) {
    properties["job_id"] = {{"type", "string"}};
    return {{"type", "object"},
            {"required", std::move(required)},
            {"additionalProperties", false},
            {"properties", std::move(properties)}};
}

Json Described(Json schema, const char* description) {
    schema["description"] = description;
    return schema;
}

}  // namespace

DocumentApi DescribeDocument(const std::string& kind) {
    const Json amount = AmountSchema();
    if (kind == "pay_in" || kind == "pay_out") {
        const bool in = kind == "pay_in";
        Json properties = {{"amount", amount}, {"number", Text(20)}};
        properties[in ? "payer" : "payee"] = Text(20);
        if (in) properties["title"] = Text(20);
        return {in ? "Prints a pay-in (POKWITOWANIE WPŁATY)"
                   : "Prints a pay-out (POKWITOWANIE "
                     "WYPŁATY)",
                Body(properties, {"amount"}),
                in ? Json{{"amount", "200.00"},
                          {"number", "W/12"},
                          {"payer", "Anna Nowak"},
                          {"title", "Zasilenie kasy"}}
                   : Json{{"amount", 15000}, {"number", "KW/7"}, {"payee", "Jan Kowalski"}}};
    }
    if (kind == "daily_report")
        return {"Prints the daily report, which closes the fiscal day", Body(Json::object()),
                Json::object()};
    if (kind == "periodic_report") {
        const Json date = {{"type", "string"}, {"format", "date"}};
        return {
            "Prints a periodic report of the fiscal memory: by dates, or by the numbers of "
            "the daily reports (printers of type 4 and above)",
            Body({{"from", date},
                  {"to", date},
                  {"detailed", Described({{"type", "boolean"}}, "false: the summary")},
                  {"from_report", Whole(1, 65279)},
                  {"to_report", Whole(1, 65279)}}),
            {{"from", "2026-11-01"}, {"to", "2026-11-30"}, {"detailed", false}}};
    }
    if (kind == "drawer")
        return {"Opens the cash drawer (printers below type 8: drawer 1 to 3)",
                Body({{"drawer", Whole(1, 3)}}),
                {{"drawer", 1}}};
    if (kind == "display")
        return {
            "Shows two lines on the customer display (a display of one line shows line2); "
            "two empty lines clear it",
            Body({{"line1", Text(20)}, {"line2", Text(20)}}),
            {{"line1", "Dzień dobry"}, {"line2", "Zapraszamy"}}};
    return {"Prints a card payment's slip from what the card terminal answered",
            Body({{"status", {{"enum", {"accepted", "refused", "not_possible", "interrupted"}}}},
                  {"type", {{"enum", {"sale", "refund"}}}},
                  {"amount", amount},
                  {"cashback", amount},
                  {"card_name", Text(32)},
                  {"card_number", Described(Text(64), "as the terminal masks it")},
                  {"entry_mark", Described(Text(1), "e.g. C for chip")},
                  {"terminal_id", Text(34)},
                  {"uid", Text(34)},
                  {"date_time", Text(22)},
                  {"authorization_code", Text(16)},
                  {"authorization_number", Whole(0, 999999999)},
                  {"receipt_number", Whole(0, 999999999)},
                  {"document_number", Whole(0, 999999999)},
                  {"till", Whole(0, 999999999)},
                  {"cashier", Text(31)},
                  {"verification", {{"enum", {"none", "signature", "pin"}}}},
                  {"response_code", Whole(0, 999999999)},
                  {"english", {{"type", "boolean"}}}},
                 {"status", "type", "amount"}),
            {{"status", "accepted"},
             {"type", "sale"},
             {"amount", "37.99"},
             {"card_name", "VISA"},
             {"card_number", "**** **** **** 1234"},
             {"entry_mark", "C"},
             {"terminal_id", "T0001234"},
             {"date_time", "2026-12-07 14:32"},
             {"authorization_code", "A1B2C3"},
             {"receipt_number", 12},
             {"verification", "pin"}}};
}

}  // namespace tarn::serve
