// `tarn receipt FILE`: a receipt described one instruction a line, in UTF-8:
//   item NAME; LETTER; PRICE; QUANTITY[; UNIT]      a sale line (PRICE 5,49; QUANTITY 1,25)
//   void NAME; LETTER; PRICE; QUANTITY[; UNIT]      voids a sold line
//   discount NAME; LETTER; AMOUNT                   a discount on the last line (type 8 and above)
//   percent N                                       a discount of N % on the receipt
//   pay NAME; AMOUNT                                a payment (at most three; "EUR 4,3210" pays in
//   euro) transaction N
// Empty lines and lines starting with # are skipped.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "cli.h"
#include "tarn/tarn.h"

namespace tarn::cli {

namespace {

struct Closing {
    int percent = 0;
    int transaction = 0;
    std::vector<std::pair<std::string, int>> payments;
};

bool Fail(int lineNumber, const std::string& why) {
    std::fprintf(stderr, "tarn: line %d: %s\n", lineNumber, why.c_str());
    return false;
}

// A sale or void line: NAME; LETTER; PRICE; QUANTITY[; UNIT].
bool Line(const std::string& rest, bool sale, int lineNumber) {
    const std::vector<std::string> f = Split(rest, ';');
    int price = 0, quantity = 0;
    if (f.size() < 4 || f[1].empty() || !ParseAmount(f[2], &price) ||
        !ParseQuantity(f[3], &quantity)) {
        return Fail(lineNumber, "expected NAME; LETTER; PRICE; QUANTITY[; UNIT]");
    }
    const std::string name = ToPrinter(f[0]);
    const std::string unit = ToPrinter(f.size() > 4 ? f[4] : "szt");
    const int result =
        sale ? mfLineTicket(0, name.c_str(), f[1][0], unit.c_str(), price, quantity, 0)
             : mfStornoLineTicket(0, name.c_str(), f[1][0], unit.c_str(), price, quantity, 0);
    return Show(std::string(sale ? "mfLineTicket " : "mfStornoLineTicket ") + f[0], result) == 0;
}

bool Discount(const std::string& rest, int lineNumber) {
    const std::vector<std::string> f = Split(rest, ';');
    int amount = 0;
    if (f.size() < 3 || f[1].empty() || !ParseAmount(f[2], &amount))
        return Fail(lineNumber, "expected NAME; LETTER; AMOUNT");
    const std::string name = ToPrinter(f[0]);
    return Show("mfLineTicketExt " + f[0],
                mfLineTicketExt(0, name.c_str(), f[1][0], "", 0, -1000, amount)) == 0;
}

bool Instruction(const std::string& line, int lineNumber, Closing* closing) {
    const size_t space = line.find(' ');
    const std::string word = line.substr(0, space);
    const std::string rest = space == std::string::npos ? "" : Trim(line.substr(space + 1));
    if (word == "item" || word == "void") return Line(rest, word == "item", lineNumber);
    if (word == "discount") return Discount(rest, lineNumber);
    if (word == "percent") return (closing->percent = std::atoi(rest.c_str()) * 100) >= 0;
    if (word == "transaction") return (closing->transaction = std::atoi(rest.c_str())) >= 0;
    if (word == "pay") {
        const std::vector<std::string> f = Split(rest, ';');
        int amount = 0;
        if (f.size() < 2 || !ParseAmount(f[1], &amount) || closing->payments.size() >= 3) {
            return Fail(lineNumber, "expected NAME; AMOUNT (at most three payments)");
        }
        closing->payments.emplace_back(ToPrinter(f[0]), amount);
        return true;
    }
    return Fail(lineNumber, "unknown instruction \"" + word + "\"");
}

int Close(const Closing& c) {
    std::pair<std::string, int> p[3];
    for (size_t i = 0; i < c.payments.size(); ++i) p[i] = c.payments[i];
    return Show("mfEndTicket", mfEndTicket(c.percent, 0, c.transaction, p[0].second,
                                           p[0].first.c_str(), p[1].second, p[1].first.c_str(),
                                           p[2].second, p[2].first.c_str(), 0, "", 0, "", "", ""));
}

}  // namespace

int RunReceipt(const Args& args, int port) {
    if (args.empty()) {
        std::fprintf(stderr, "usage: tarn receipt FILE\n");
        return 2;
    }
    std::ifstream file(args[0]);
    if (!file) {
        std::fprintf(stderr, "tarn: cannot read %s\n", args[0].c_str());
        return 2;
    }
    if (!OpenSession(port)) return 1;
    bool ok = Show("mfBeginTicket", mfBeginTicket(-1)) == 0;
    Closing closing;
    std::string line;
    for (int number = 1; ok && std::getline(file, line); ++number) {
        line = Trim(line);
        if (!line.empty() && line[0] != '#') ok = Instruction(line, number, &closing);
    }
    if (ok) ok = Close(closing) == 0;
    if (!ok) Show("mfStornoTicket", mfStornoTicket());
    mfStop();
    return ok ? 0 : 1;
}

}  // namespace tarn::cli
