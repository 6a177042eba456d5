// The documents beside the receipt, each checked whole before a byte goes to the printer, as the
// receipt is: every field known, amounts exact, texts within the printer's field, numbers within
// what the printer takes. The plan holds each in the printer's terms for the worker.
#include <cstdio>
#include <set>
#include <string>

#include "check.h"

namespace tarn::serve {

namespace {

// An optional text of at most `widest` characters; empty when it is not given.
bool OptionalText(Checker& c, const Json& body, const char* name, size_t widest, Json* plan) {
    std::string text;
    if (body.contains(name) && !c.Text(body[name], std::string("/") + name, 0, widest, &text))
        return false;
    (*plan)[name] = text;
    return true;
}

// An optional whole number; `absent` when it is not given.
bool OptionalWhole(Checker& c, const Json& body, const char* name, int highest, int absent,
                   Json* plan) {
    int number = absent;
    if (body.contains(name) && !c.Whole(body[name], std::string("/") + name, 0, highest, &number))
        return false;
    (*plan)[name] = number;
    return true;
}

bool PositiveAmount(Checker& c, const Json& body, const char* name, Json* plan) {
    int grosze = 0;
    const std::string at = std::string("/") + name;
    if (!c.Amount(body.value(name, Json()), at, &grosze)) return false;
    if (grosze <= 0) return c.Fail(at, "expected an amount above 0");
    (*plan)[name] = grosze;
    return true;
}

// One of `names`, as its index.
bool OneOf(Checker& c, const Json& value, const std::string& at,
           std::initializer_list<const char*> names, int* index) {
    const std::string text = value.is_string() ? value.get<std::string>() : "";
    std::string expected;
    int i = 0;
    for (const char* name : names) {
        if (text == name) {
            *index = i;
            return true;
        }
        expected += (i++ == 0 ? "" : ", ") + std::string(name);
    }
    return c.Fail(at, "expected one of " + expected);
}

// A pay-in or pay-out form: the amount is printed on it (the printer adds it to nothing); the
// texts fill lines of 20 characters. A pay-out has no title line.
bool CheckForm(const Json& body, bool payIn, Json* plan, Refusal* refusal) {
    Checker c(refusal);
    *plan = Json::object();
    const char* person = payIn ? "payer" : "payee";
    std::set<std::string> known = {"job_id", "amount", "number", person};
    if (payIn) known.insert("title");
    return c.OnlyKnown(body, "", known) && PositiveAmount(c, body, "amount", plan) &&
           OptionalText(c, body, "number", 20, plan) && OptionalText(c, body, person, 20, plan) &&
           (!payIn || OptionalText(c, body, "title", 20, plan));
}

// "2026-12-07": a day of 2000 to 2099 (the printer takes the year in two digits).
bool Date(Checker& c, const Json& value, const std::string& at, Json* date) {
    const std::string text = value.is_string() ? value.get<std::string>() : "";
    int y = 0, m = 0, d = 0;
    char end = 0;
    static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (text.size() != 10 || text.find_first_not_of("0123456789-") != std::string::npos ||
        std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &end) != 3 || text[4] != '-' ||
        text[7] != '-' || y < 2000 || y > 2099 || m < 1 || m > 12 || d < 1 || d > kDays[m - 1] ||
        (m == 2 && d == 29 && y % 4 != 0))
        return c.Fail(at, "expected a date from 2000-01-01 to 2099-12-31 such as \"2026-12-07\"");
    *date = {y, m, d};
    return true;
}

}  // namespace

bool CheckPayIn(const Json& body, const PrinterAbilities&, Json* plan, Refusal* refusal) {
    return CheckForm(body, true, plan, refusal);
}

bool CheckPayOut(const Json& body, const PrinterAbilities&, Json* plan, Refusal* refusal) {
    return CheckForm(body, false, plan, refusal);
}

bool CheckDailyReport(const Json& body, const PrinterAbilities&, Json* plan, Refusal* refusal) {
    Checker c(refusal);
    *plan = Json::object();
    return c.OnlyKnown(body, "", {"job_id"});
}

// By dates (from, to; detailed or a summary) or by the numbers of the daily reports.
bool CheckPeriodicReport(const Json& body, const PrinterAbilities& abilities, Json* plan,
                         Refusal* refusal) {
    Checker c(refusal);
    *plan = Json::object();
    if (!c.OnlyKnown(body, "", {"job_id", "from", "to", "detailed", "from_report", "to_report"}))
        return false;
    if (body.contains("from_report") || body.contains("to_report")) {
        int from = 0, to = 0;
        if (!abilities.numberReports)
            return c.Fail("/from_report", "this printer prints no report by numbers");
        if (!c.Whole(body.value("from_report", Json()), "/from_report", 1, 65279, &from) ||
            !c.Whole(body.value("to_report", Json()), "/to_report", from, 65279, &to))
            return false;
        if (body.contains("from") || body.contains("to") || body.contains("detailed"))
            return c.Fail("/from", "a report by numbers has no dates");
        *plan = {{"by", "numbers"}, {"from", from}, {"to", to}};
        return true;
    }
    Json from, to;
    if (!Date(c, body.value("from", Json()), "/from", &from) ||
        !Date(c, body.value("to", Json()), "/to", &to))
        return false;
    if (to < from) return c.Fail("/to", "expected a day not before from");
    if (body.contains("detailed") && !body["detailed"].is_boolean())
        return c.Fail("/detailed", "expected true or false");
    *plan = {
        {"by", "dates"}, {"detailed", body.value("detailed", false)}, {"from", from}, {"to", to}};
    return true;
}

bool CheckDrawer(const Json& body, const PrinterAbilities&, Json* plan, Refusal* refusal) {
    Checker c(refusal);
    *plan = Json::object();
    return c.OnlyKnown(body, "", {"job_id", "drawer"}) &&
           OptionalWhole(c, body, "drawer", 3, 1, plan) &&
           ((*plan)["drawer"] != 0 || c.Fail("/drawer", "expected a drawer from 1 to 3"));
}

// Two lines of 20 characters (a display of one line of 9 positions shows the second); two empty
// lines clear the display.
bool CheckDisplay(const Json& body, const PrinterAbilities& abilities, Json* plan,
                  Refusal* refusal) {
    Checker c(refusal);
    *plan = Json::object();
    if (!c.OnlyKnown(body, "", {"job_id", "line1", "line2"}) ||
        !OptionalText(c, body, "line1", 20, plan) || !OptionalText(c, body, "line2", 20, plan))
        return false;
    return abilities.display || c.Fail("/", "this printer has no customer display");
}

// The slip of a card payment, from what the card terminal answered.
bool CheckCardSlip(const Json& body, const PrinterAbilities&, Json* plan, Refusal* refusal) {
    Checker c(refusal);
    *plan = Json::object();
    int status = 0, type = 0, verification = 0, cashback = 0;
    std::string mark;
    if (!c.OnlyKnown(body, "",
                     {"job_id",
                      "status",
                      "type",
                      "amount",
                      "cashback",
                      "card_name",
                      "card_number",
                      "entry_mark",
                      "terminal_id",
                      "uid",
                      "date_time",
                      "authorization_code",
                      "authorization_number",
                      "receipt_number",
                      "document_number",
                      "till",
                      "cashier",
                      "verification",
                      "response_code",
                      "english"}) ||
        !OneOf(c, body.value("status", Json()), "/status",
               {"accepted", "refused", "not_possible", "interrupted"}, &status) ||
        !OneOf(c, body.value("type", Json()), "/type", {"sale", "refund"}, &type) ||
        !PositiveAmount(c, body, "amount", plan) ||
        (body.contains("cashback") && !c.Amount(body["cashback"], "/cashback", &cashback)) ||
        (body.contains("verification") && !OneOf(c, body["verification"], "/verification",
                                                 {"none", "signature", "pin"}, &verification)) ||
        (body.contains("entry_mark") && !c.Text(body["entry_mark"], "/entry_mark", 1, 1, &mark)) ||
        !OptionalText(c, body, "card_name", 32, plan) ||
        !OptionalText(c, body, "card_number", 64, plan) ||
        !OptionalText(c, body, "terminal_id", 34, plan) ||
        !OptionalText(c, body, "uid", 34, plan) || !OptionalText(c, body, "date_time", 22, plan) ||
        !OptionalText(c, body, "authorization_code", 16, plan) ||
        !OptionalText(c, body, "cashier", 31, plan) ||
        !OptionalWhole(c, body, "authorization_number", 999999999, 0, plan) ||
        !OptionalWhole(c, body, "receipt_number", 999999999, -1, plan) ||
        !OptionalWhole(c, body, "document_number", 999999999, -1, plan) ||
        !OptionalWhole(c, body, "till", 999999999, 1, plan) ||
        !OptionalWhole(c, body, "response_code", 999999999, 0, plan))
        return false;
    if (cashback > 0 && type != 0) return c.Fail("/cashback", "cashback comes only with a sale");
    if (body.contains("english") && !body["english"].is_boolean())
        return c.Fail("/english", "expected true or false");
    (*plan)["status"] = status + 1;
    (*plan)["type"] = type + 1;
    (*plan)["verification"] = verification + 1;
    (*plan)["cashback"] = cashback;
    (*plan)["entry_mark"] = mark.empty() ? 0 : static_cast<unsigned char>(cli::ToPrinter(mark)[0]);
    (*plan)["english"] = body.value("english", false);
    return true;
}

}  // namespace tarn::serve
