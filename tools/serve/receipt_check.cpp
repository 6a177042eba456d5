// A receipt sent to the service is checked whole before a byte goes to the printer: every field
// known, every amount exact, every text within what the printer prints, the payments covering
// the total. A refusal names the field (a JSON pointer such as /lines/2/tax).
#include <cstdint>
#include <set>
#include <string>

#include "check.h"
#include "cli.h"

namespace tarn::serve {

namespace {

int64_t LineValue(const Json& line) {
    return (line["price"].get<int64_t>() * line["quantity"].get<int64_t>() + 500) / 1000;
}

bool CheckLine(Checker& c, const Json& given, const std::string& at,
               const PrinterAbilities& abilities, Json* line) {
    std::string name, tax, unit = "szt";
    int price = 0, quantity = 0, discount = 0;
    if (!c.OnlyKnown(given, at, {"name", "tax", "quantity", "unit_price", "unit", "discount"}) ||
        !c.Text(given.value("name", Json()), at + "/name", 1, 28, &name) ||
        !c.TaxLetter(given.value("tax", Json()), at + "/tax", &tax) ||
        !c.Quantity(given.value("quantity", Json()), at + "/quantity", &quantity) ||
        !c.Amount(given.value("unit_price", Json()), at + "/unit_price", &price) ||
        (given.contains("unit") && !c.Text(given["unit"], at + "/unit", 1, 3, &unit)))
        return false;
    *line = {{"name", name},   {"tax", tax},           {"unit", unit},
             {"price", price}, {"quantity", quantity}, {"discount", 0}};
    const int64_t value = LineValue(*line);
    if (value > INT32_MAX) return c.Fail(at + "/unit_price", "the line's value is too large");
    if (!given.contains("discount")) return true;
    if (!abilities.lineDiscounts)
        return c.Fail(at + "/discount", "this printer takes no discount on a line");
    if (!c.Amount(given["discount"], at + "/discount", &discount)) return false;
    if (discount <= 0 || discount > value)
        return c.Fail(at + "/discount", "expected a discount above 0 and within the line's value");
    (*line)["discount"] = discount;
    return true;
}

bool CheckVoids(Checker& c, const Json& body, Json* plan, int64_t* total) {
    if (!c.Array(body, "voids", 0, 100)) return false;
    std::set<int> voided;
    const Json& lines = (*plan)["lines"];
    for (size_t i = 0; body.contains("voids") && i < body["voids"].size(); ++i) {
        const std::string at = "/voids/" + std::to_string(i);
        int line = 0;
        if (!c.OnlyKnown(body["voids"][i], at, {"line"}) ||
            !c.Whole(body["voids"][i].value("line", Json()), at + "/line", 0,
                     static_cast<int>(lines.size()) - 1, &line))
            return false;
        if (!voided.insert(line).second) return c.Fail(at + "/line", "this line is voided already");
        if (lines[line]["discount"].get<int>() != 0)
            return c.Fail(at + "/line", "a line with a discount cannot be voided");
        (*plan)["voids"].push_back(lines[line]);
        *total -= LineValue(lines[line]);
    }
    return true;
}

// A payment's name as the printer takes it: the form, or a currency with its rate ("EUR
// 4,3210"), which the printer takes as a payment in that currency.
bool CheckPayment(Checker& c, const Json& given, const std::string& at,
                  const PrinterAbilities& abilities, Json* payment, bool* currency) {
    std::string type, name;
    int amount = 0;
    if (!c.OnlyKnown(given, at, {"type", "amount", "name", "currency", "rate"}) ||
        !c.Amount(given.value("amount", Json()), at + "/amount", &amount))
        return false;
    if (amount <= 0) return c.Fail(at + "/amount", "expected an amount above 0");
    type = given.value("type", Json()).is_string() ? given["type"].get<std::string>() : "";
    *currency = type == "currency";
    if (type == "cash" || type == "card") {
        name = type == "cash" ? "Gotówka" : "Karta";
        if (given.contains("name") && !c.Text(given["name"], at + "/name", 1, 13, &name))
            return false;
        if (given.contains("currency") || given.contains("rate"))
            return c.Fail(at + "/currency", "only a payment of type currency has one");
    } else if (*currency) {
        if (!abilities.lineDiscounts)
            return c.Fail(at + "/type", "this printer takes no payment in a second currency");
        const std::string code =
            given.value("currency", Json()).is_string() ? given["currency"].get<std::string>() : "";
        std::string rate =
            given.value("rate", Json()).is_string() ? given["rate"].get<std::string>() : "";
        const size_t point = rate.find('.');
        if (code.size() != 3 ||
            code.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ") != std::string::npos)
            return c.Fail(at + "/currency", "expected a currency code such as \"EUR\"");
        if ((point != 1 && point != 2) || (rate.size() - point != 3 && rate.size() - point != 5) ||
            rate.find_first_not_of("0123456789.") != std::string::npos ||
            rate.find('.', point + 1) != std::string::npos ||
            rate.find_first_not_of("0.") == std::string::npos)
            return c.Fail(at + "/rate", "expected a rate above 0 such as \"4.3210\" or \"3.98\"");
        if (given.contains("name")) return c.Fail(at + "/name", "a currency payment has no name");
        rate[point] = ',';
        name = code + " " + rate;
    } else {
        return c.Fail(at + "/type", "expected cash, card or currency");
    }
    *payment = {{"name", name}, {"amount", amount}};
    return true;
}

bool CheckPayments(Checker& c, const Json& body, const PrinterAbilities& abilities, Json* plan,
                   int64_t total) {
    if (!c.Array(body, "payments", 1, 3)) return false;
    int64_t paid = 0;
    Json last;  // the currency payment goes last: the first payment's currency line would
                // convert the receipt's whole total, whatever the payment's own amount
    for (size_t i = 0; i < body["payments"].size(); ++i) {
        const std::string at = "/payments/" + std::to_string(i);
        Json payment;
        bool currency = false;
        if (!CheckPayment(c, body["payments"][i], at, abilities, &payment, &currency)) return false;
        paid += payment["amount"].get<int64_t>();
        if (currency && !last.is_null())
            return c.Fail(at + "/type", "at most one payment in a second currency");
        if (currency) {
            last = payment;
        } else {
            (*plan)["payments"].push_back(payment);
        }
    }
    if (!last.is_null()) (*plan)["payments"].push_back(last);
    if (paid < total) return c.Fail("/payments", "the payments do not cover the total");
    if (paid > INT32_MAX) return c.Fail("/payments", "the payments are too large");
    return true;
}

bool CheckFoot(Checker& c, const Json& body, Json* plan) {
    int percent = 0, transaction = 0;
    std::string footer, table;
    if ((body.contains("percent_discount") &&
         !c.Whole(body["percent_discount"], "/percent_discount", 1, 99, &percent)) ||
        (body.contains("transaction") &&
         !c.Whole(body["transaction"], "/transaction", 1, 999999999, &transaction)) ||
        (body.contains("footer_line") &&
         !c.Text(body["footer_line"], "/footer_line", 0, 31, &footer)) ||
        (body.contains("table") && !c.Text(body["table"], "/table", 0, 22, &table)))
        return false;
    (*plan)["percent"] = percent * 100;
    (*plan)["transaction"] = transaction;
    (*plan)["footer_line"] = footer;
    (*plan)["table"] = table;
    if (!body.contains("cashier")) return true;
    const Json& given = body["cashier"];
    int pos = 0, number = 0;
    std::string name;
    if (!c.OnlyKnown(given, "/cashier", {"pos", "number", "name"}) ||
        !c.Whole(given.value("pos", Json()), "/cashier/pos", 0, 99, &pos) ||
        !c.Whole(given.value("number", Json()), "/cashier/number", 0, 99, &number) ||
        !c.Text(given.value("name", Json()), "/cashier/name", 1, 30, &name))
        return false;
    (*plan)["cashier"] = {{"pos", pos}, {"number", number}, {"name", name}};
    return true;
}

}  // namespace

bool CheckReceipt(const Json& body, const PrinterAbilities& abilities, Json* plan,
                  Refusal* refusal) {
    Checker c(refusal);
    *plan = {{"lines", Json::array()}, {"voids", Json::array()}, {"payments", Json::array()}};
    if (!c.OnlyKnown(body, "",
                     {"job_id", "lines", "voids", "payments", "percent_discount", "transaction",
                      "footer_line", "table", "cashier"}) ||
        !c.Array(body, "lines", 1, 500))
        return false;
    int64_t total = 0;
    for (size_t i = 0; i < body["lines"].size(); ++i) {
        Json line;
        if (!CheckLine(c, body["lines"][i], "/lines/" + std::to_string(i), abilities, &line))
            return false;
        total += LineValue(line) - line["discount"].get<int64_t>();
        (*plan)["lines"].push_back(line);
    }
    if (!CheckVoids(c, body, plan, &total) || !CheckFoot(c, body, plan)) return false;
    if (total <= 0) return c.Fail("/voids", "nothing is left to sell");
    if (total > INT32_MAX) return c.Fail("/lines", "the receipt's total is too large");
    const int percent = (*plan)["percent"].get<int>() / 100;
    total -= (percent * total + 50) / 100;
    (*plan)["total"] = total;
    return CheckPayments(c, body, abilities, plan, total);
}

}  // namespace tarn::serve
