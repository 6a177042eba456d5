// The worker: one printer's session, driven one request a line on stdin, each answered on
// stdout. Before every call it names the call and the call's bound, so that the main process
// can kill a worker whose call overran it.
#include <sys/prctl.h>

#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>

#include "cli.h"
#include "tarn/tarn.h"
#include "worker.h"

namespace tarn::serve {

namespace {

using worker::Failure;
using worker::Make;
using worker::ReceiptCount;
using worker::Send;

bool HasDisplay() {
    char name[11] = {}, characters[111] = {};
    int width = 0, lines = 0, pointMode = 0, pointMode2 = 0;
    return mfParFiscDisp(0, name, &width, &lines, characters, &pointMode, &pointMode2) == 0;
}

Json Start(int port, const std::string& logo) {
    mfStop();
    // The drawers on the printer's outputs: with no drawer type chosen, a drawer below type 8
    // would be "opened" by sending nothing at all.
    mfDefDrawer(1, 0);
    if (!logo.empty()) mfDefConfigParam(11, 0, logo.c_str());
    const int result = Make("mfStart", [&] { return mfStart(0, port); });
    if (result != 0) return {{"ok", false}, {"error", Failure("mfStart", result)}};
    char serial[12] = {};
    int version = 0, zero = 0;
    mfGetSerNo(serial);
    mfGetVersion(&version, &zero);
    return {{"ok", true},
            {"serial", serial},
            {"version", version},
            {"line_discounts", mfParLineTicketExt() == 0},
            {"number_reports", mfParNrReport() == 0},
            {"display", HasDisplay()}};
}

Json Status() {
    int day = 0, paper = 0, open = 0, y = 0, m = 0, d = 0, h = 0, min = 0;
    Json status = {{"receipt_count", ReceiptCount()}};
    if (Make("mfStatShift", [&] { return mfStatShift(&day); }) == 0)
        status["fiscal_day_open"] = day != 0;
    if (Make("mfStatNoPaper", [&] { return mfStatNoPaper(&paper); }) == 0)
        status["paper"] = paper ? "out" : "in";
    if (mfStatReceipt(&open) == 0) status["document_open"] = open != 0;
    if (Make("mfGetDate", [&] { return mfGetDate(&y, &m, &d); }) == 0 &&
        Make("mfGetTime", [&] { return mfGetTime(&h, &min); }) == 0) {
        char clock[32];
        std::snprintf(clock, sizeof clock, "20%02d-%02d-%02dT%02d:%02d", y, m, d, h, min);
        status["clock"] = clock;
    }
    return status;
}

// Whether the receipt begun when the count stood at `before` was recorded: a receipt the
// printer still holds is cancelled first.
Json Settle(int before) {
    int open = 0;
    if (mfStatReceipt(&open) == 0 && open) {
        if (Make("mfStornoTicket", [] { return mfStornoTicket(); }) == MF_FAILED)
            return {{"outcome", "unknown"}};
    }
    const int after = ReceiptCount();
    if (after < 0) return {{"outcome", "unknown"}};
    Json settled = {{"outcome", after > before ? "printed" : "not_printed"},
                    {"receipt_count", after}};
    if (after > before) settled["receipt_number"] = after;
    return settled;
}

int SellLine(const Json& line, bool isVoid) {
    const std::string name = cli::ToPrinter(line["name"].get<std::string>());
    const std::string unit = cli::ToPrinter(line["unit"].get<std::string>());
    const int tax = line["tax"].get<std::string>()[0];
    const int price = line["price"].get<int>();
    const int quantity = line["quantity"].get<int>();
    if (isVoid)
        return Make("mfStornoLineTicket", [&] {
            return mfStornoLineTicket(0, name.c_str(), tax, unit.c_str(), price, quantity, 0);
        });
    const int sold = Make("mfLineTicket", [&] {
        return mfLineTicket(0, name.c_str(), tax, unit.c_str(), price, quantity, 0);
    });
    const int discount = line["discount"].get<int>();
    if (sold != 0 || discount == 0) return sold;
    return Make("mfLineTicketExt",
                [&] { return mfLineTicketExt(0, name.c_str(), tax, "", 0, -1000, discount); });
}

int EndReceipt(const Json& plan) {
    std::string names[3];
    int amounts[3] = {0, 0, 0};
    for (size_t i = 0; i < plan["payments"].size(); ++i) {
        names[i] = cli::ToPrinter(plan["payments"][i]["name"].get<std::string>());
        amounts[i] = plan["payments"][i]["amount"].get<int>();
    }
    const std::string table = cli::ToPrinter(plan["table"].get<std::string>());
    const std::string footer = cli::ToPrinter(plan["footer_line"].get<std::string>());
    return Make("mfEndTicket", [&] {
        return mfEndTicket(plan["percent"].get<int>(), 0, plan["transaction"].get<int>(),
                           amounts[0], names[0].c_str(), amounts[1], names[1].c_str(), amounts[2],
                           names[2].c_str(), 0, "", 0, "", table.c_str(), footer.c_str());
    });
}

// Sells the checked receipt. After a failure the printer is asked what it recorded: an end
// left open is sent again once (the library sends only the end), anything else still open is
// cancelled, and the receipt count decides.
Json Receipt(const Json& plan, int before) {
    Json failure;
    auto step = [&](const char* call, int result) {
        if (result != 0 && failure.is_null()) failure = Failure(call, result);
        return result == 0;
    };
    bool ok = true;
    if (plan.contains("cashier")) {
        const Json& c = plan["cashier"];
        const std::string name = cli::ToPrinter(c["name"].get<std::string>());
        ok = step("mfDefPOS", Make("mfDefPOS", [&] {
                      return mfDefPOS(c["pos"].get<int>(), c["number"].get<int>(), name.c_str());
                  }));
    }
    ok = ok && step("mfBeginTicket", Make("mfBeginTicket", [] { return mfBeginTicket(-1); }));
    for (size_t i = 0; ok && i < plan["lines"].size(); ++i)
        ok = step("mfLineTicket", SellLine(plan["lines"][i], false));
    for (size_t i = 0; ok && i < plan["voids"].size(); ++i)
        ok = step("mfStornoLineTicket", SellLine(plan["voids"][i], true));
    const bool ending = ok;
    ok = ok && step("mfEndTicket", EndReceipt(plan));
    int open = 0;
    // An end refused or unanswered, the receipt still open: sent once more (the library sends
    // only the end, and asks first when the end's answer was lost).
    if (!ok && ending && mfStatReceipt(&open) == 0 && open && mfError() != 770)
        ok = EndReceipt(plan) == 0;
    if (!ok) {
        Json settled = Settle(before);
        if (settled["outcome"] != "printed") settled["error"] = failure;
        return settled;
    }
    const int count = ReceiptCount();
    Json printed = {{"outcome", "printed"}};
    if (count > before) printed["receipt_number"] = count;
    return printed;
}

Json Serve(const Json& request, int port, const std::string& logo) {
    const std::string op = request.value("op", "");
    if (op == "start") return Start(port, logo);
    if (op == "status") return Status();
    if (op == "count") return {{"receipt_count", ReceiptCount()}};
    if (op == "job" && request["kind"] == "receipt")
        return Receipt(request["plan"], request["before"].get<int>());
    if (op == "job")
        return worker::Document(request["kind"], request["plan"], request["before"].get<int>());
    if (op == "settle" && request["kind"] == "daily_report")
        return worker::SettleDayClose(request["before"].get<int>());
    if (op == "settle") return Settle(request["before"].get<int>());
    return {{"error", "unknown request"}};
}

}  // namespace

int RunWorker(const std::vector<std::string>& args) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);  // the worker never outlives the service
    int port = 1;
    std::string logo;
    for (size_t i = 0; i + 1 < args.size(); i += 2) {
        if (args[i] == "--port") port = std::stoi(args[i + 1]);
        if (args[i] == "--logo") logo = args[i + 1];
    }
    for (std::string line; std::getline(std::cin, line);) {
        const Json request = Json::parse(line, nullptr, false);
        Send({{"reply",
               request.is_discarded() ? Json{{"error", "not JSON"}} : Serve(request, port, logo)}});
    }
    mfStop();
    return 0;
}

}  // namespace tarn::serve
