// The worker's side of the documents beside the receipt: one library call each, and after a
// failure what the printer can tell of it.
#include <cstdio>

#include "cli.h"
#include "tarn/tarn.h"
#include "worker.h"

namespace tarn::serve::worker {

namespace {

constexpr int kNoAnswer = 514;

std::string AmountText(int grosze) {
    char text[16];
    std::snprintf(text, sizeof text, "%d,%02d", grosze / 100, grosze % 100);
    return text;
}

// A form, report or device call's result. A refusal printed nothing; without an answer the
// printer may have carried it out: a form it may still hold is ended as a receipt is (it then
// prints whole), and the job is uncertain.
Json Outcome(const char* call, int result) {
    if (result == 0) return {{"outcome", "printed"}};
    const Json failure = Failure(call, result);
    if (failure["code"] != kNoAnswer) return {{"outcome", "not_printed"}, {"error", failure}};
    int open = 0;
    if (mfStatReceipt(&open) == 0 && open) Make("mfStornoTicket", [] { return mfStornoTicket(); });
    return {{"outcome", "uncertain"}, {"error", failure}};
}

// Makes the call named `call` and tells its outcome.
template <typename Call>
Json Done(const char* call, Call make) {
    return Outcome(call, Make(call, make));
}

Json PayInOut(bool payIn, const Json& plan) {
    const std::string number = cli::ToPrinter(plan["number"]);
    const std::string person = cli::ToPrinter(plan[payIn ? "payer" : "payee"]);
    const std::string title = payIn ? cli::ToPrinter(plan["title"]) : "";
    const std::string amount = AmountText(plan["amount"]);
    if (payIn) {
        return Done("mfPrPayIn", [&] {
            return mfPrPayIn(number.c_str(), person.c_str(), title.c_str(), amount.c_str());
        });
    }
    return Done("mfPrPayOut",
                [&] { return mfPrPayOut(number.c_str(), person.c_str(), "", amount.c_str()); });
}

Json PeriodicReport(const Json& plan) {
    if (plan["by"] == "numbers") {
        return Done("mfPrNrReport",
                    [&] { return mfPrNrReport(plan["from"].get<int>(), plan["to"].get<int>()); });
    }
    const Json& f = plan["from"];
    const Json& t = plan["to"];
    const bool detailed = plan["detailed"].get<bool>();
    const auto report = detailed ? mfPrDetailReport : mfPrGlobalReport;
    return Done(detailed ? "mfPrDetailReport" : "mfPrGlobalReport", [&] {
        return report(f[0].get<int>(), f[1].get<int>(), f[2].get<int>(), t[0].get<int>(),
                      t[1].get<int>(), t[2].get<int>());
    });
}

Json CardSlip(const Json& p) {
    const auto text = [&](const char* name) { return cli::ToPrinter(p[name]); };
    const std::string dateTime = text("date_time"), terminal = text("terminal_id"),
                      uid = text("uid"), cashier = text("cashier"), card = text("card_name"),
                      number = text("card_number"), code = text("authorization_code");
    // The cashier's line comes with the first variant of the form, and so does the signature
    // block of a slip verified by signature.
    const int variant = !cashier.empty() || p["verification"] == 2 ? 1 : 0;
    const auto whole = [&](const char* name) { return p[name].get<int>(); };
    return Done("mfPrEFT_Transaction", [&] {
        return mfPrEFT_Transaction(
            0, whole("status"), whole("type"), variant, whole("verification"), dateTime.c_str(),
            terminal.c_str(), uid.c_str(), whole("document_number"), -1, -1, whole("till"),
            whole("receipt_number"), cashier.c_str(), 0, "", whole("entry_mark"), card.c_str(),
            number.c_str(), whole("amount"), whole("cashback"), 0, 0, 0, 0, 0, 0, 0, 0, 0,
            code.c_str(), whole("authorization_number"), whole("response_code"), 0,
            p["english"].get<bool>() ? 1 : 0, 0, 0, 0, 0);
    });
}

Json ShowOnDisplay(const Json& plan) {
    const std::string one = cli::ToPrinter(plan["line1"]);
    const std::string two = cli::ToPrinter(plan["line2"]);
    return Done("mfDispConsumerLOGO", [&] { return mfDispConsumerLOGO(one.c_str(), two.c_str()); });
}

// The daily report closes the fiscal day: the receipt count starts again from 0. Without an
// answer the count tells whether it did.
Json DailyReport(int before) {
    const int result = Make("mfShiftEnd", [] { return mfShiftEnd(); });
    if (result == 0) return {{"outcome", "printed"}};
    const Json failure = Failure("mfShiftEnd", result);
    if (failure["code"] != kNoAnswer) return {{"outcome", "not_printed"}, {"error", failure}};
    Json settled = SettleDayClose(before);
    if (settled["outcome"] != "printed") settled["error"] = failure;
    return settled;
}

}  // namespace

Json SettleDayClose(int before) {
    const int after = ReceiptCount();
    if (after < 0) return {{"outcome", "unknown"}};
    const bool closed = before > 0 && after == 0;
    return {{"outcome", closed ? "printed" : "not_printed"}, {"receipt_count", after}};
}

Json Document(const std::string& kind, const Json& plan, int before) {
    if (kind == "daily_report") return DailyReport(before);
    if (kind == "pay_in" || kind == "pay_out") return PayInOut(kind == "pay_in", plan);
    if (kind == "periodic_report") return PeriodicReport(plan);
    if (kind == "drawer")
        return Done("mfDrawerOpen", [&] { return mfDrawerOpen(plan["drawer"].get<int>()); });
    if (kind == "display") return ShowOnDisplay(plan);
    if (kind == "card_slip") return CardSlip(plan);
    return {{"outcome", "not_printed"}, {"error", {{"call", kind}, {"result", 0}}}};
}

}  // namespace tarn::serve::worker
