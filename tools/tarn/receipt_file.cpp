// `tarn receipt FILE`: a receipt described one instruction a line, in UTF-8:
//   item NAME; LETTER; PRICE; QUANTITY[; UNIT]      a sale line (PRICE 5,49; QUANTITY 1,25)
//   void NAME; LETTER; PRICE; QUANTITY[; UNIT]      voids a sold line
//   discount NAME; LETTER; AMOUNT                   a discount on the last line (type 8 and above)
//   percent N                                       a discount of N % on the receipt
//   pay NAME; AMOUNT                                a payment (at most three; "EUR 4,3210" pays in
//                                                   euro)
//   transaction N                                   the transaction number at the foot
// Empty lines and lines starting with # are skipped.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cli.h"
#include "tarn/tarn.h"

namespace tarn::cli {

namespace {

// One line of the file, read and checked before anything goes to the printer.
struct Step {
    enum Kind { Sale, Void, Discount } kind = Sale;
    std::string name, unit;  // code page 852
    char letter = ' ';
    int price = 0, quantity = 0;  // the discount's amount in `price`
    std::string shown;            // the name as written, for the output
};

struct Receipt {
    std::vector<Step> steps;
    int percent = 0;
    int transaction = 0;
    std::vector<std::pair<std::string, int>> payments;
};

bool Fail(int lineNumber, const std::string& why) {
    std::fprintf(stderr, "tarn: line %d: %s\n", lineNumber, why.c_str());
    return false;
}

// A tax letter the printer has: A-G, or the same in lower case.
bool IsTaxLetter(const std::string& field) {
    const char c = field.size() == 1 ? field[0] : '\0';
    return (c >= 'A' && c <= 'G') || (c >= 'a' && c <= 'g');
}

// Adds `step` with the name and tax letter of fields `f` to the receipt.
bool Keep(Step step, const std::vector<std::string>& f, Receipt* receipt) {
    step.name = ToPrinter(f[0]);
    step.letter = f[1][0];
    step.shown = f[0];
    receipt->steps.push_back(step);
    return true;
}

// A sale or void line: NAME; LETTER; PRICE; QUANTITY[; UNIT].
bool ReadLine(const std::string& rest, Step::Kind kind, int lineNumber, Receipt* receipt) {
    const std::vector<std::string> f = Split(rest, ';');
    Step step;
    step.kind = kind;
    if (f.size() < 4 || f.size() > 5 || !IsTaxLetter(f[1]) || !ParseAmount(f[2], &step.price) ||
        !ParseQuantity(f[3], &step.quantity)) {
        return Fail(lineNumber, "expected NAME; LETTER; PRICE; QUANTITY[; UNIT]");
    }
    step.unit = ToPrinter(f.size() > 4 ? f[4] : "szt");
    return Keep(step, f, receipt);
}

bool ReadDiscount(const std::string& rest, int lineNumber, Receipt* receipt) {
    const std::vector<std::string> f = Split(rest, ';');
    Step step;
    step.kind = Step::Discount;
    if (f.size() != 3 || !IsTaxLetter(f[1]) || !ParseAmount(f[2], &step.price))
        return Fail(lineNumber, "expected NAME; LETTER; AMOUNT");
    return Keep(step, f, receipt);
}

bool ReadInstruction(const std::string& line, int lineNumber, Receipt* receipt) {
    const size_t space = line.find(' ');
    const std::string word = line.substr(0, space);
    const std::string rest = space == std::string::npos ? "" : Trim(line.substr(space + 1));
    if (word == "item" || word == "void")
        return ReadLine(rest, word == "item" ? Step::Sale : Step::Void, lineNumber, receipt);
    if (word == "discount") return ReadDiscount(rest, lineNumber, receipt);
    if (word == "percent") {
        if (ParseWhole(rest, 0, 99, &receipt->percent)) return (receipt->percent *= 100), true;
        return Fail(lineNumber, "expected a whole percent from 0 to 99");
    }
    if (word == "transaction") {
        if (ParseWhole(rest, 0, 999999999, &receipt->transaction)) return true;
        return Fail(lineNumber, "expected a transaction number");
    }
    if (word == "pay") {
        const std::vector<std::string> f = Split(rest, ';');
        int amount = 0;
        if (f.size() != 2 || !ParseAmount(f[1], &amount) || receipt->payments.size() >= 3)
            return Fail(lineNumber, "expected NAME; AMOUNT (at most three payments)");
        receipt->payments.emplace_back(ToPrinter(f[0]), amount);
        return true;
    }
    return Fail(lineNumber, "unknown instruction \"" + word + "\"");
}

bool ReadReceipt(const std::string& text, Receipt* receipt) {
    std::istringstream file(text);
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        line = Trim(line);
        if (!line.empty() && line[0] != '#' && !ReadInstruction(line, number, receipt))
            return false;
    }
    return true;
}

// The whole of the file at `path`, or false when it cannot be read to its end (a folder, a read
// that fails half-way) or is larger than any receipt (/dev/zero).
bool ReadWhole(const std::string& path, std::string* text) {
    constexpr size_t kLargest = 1 << 20;
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                               std::fclose);
    if (!file) return false;
    char block[4096];
    for (size_t got; (got = std::fread(block, 1, sizeof block, file.get())) > 0;) {
        text->append(block, got);
        if (text->size() > kLargest) return false;
    }
    return std::ferror(file.get()) == 0;
}

// The total the library sums for the receipt: the lines' values (price × quantity, rounded to
// the grosz), less the voids and the line discounts, less the percentage discount.
int64_t TotalOf(const Receipt& r) {
    int64_t total = 0;
    for (const Step& s : r.steps) {
        const int64_t value = (static_cast<int64_t>(s.price) * s.quantity + 500) / 1000;
        if (s.kind == Step::Sale) total += value;
        if (s.kind == Step::Void) total -= value;
        if (s.kind == Step::Discount) total -= s.price;
    }
    return total - (r.percent / 100 * total + 50) / 100;
}

std::string AmountText(int64_t grosze) {
    const int64_t whole = (grosze < 0 ? -grosze : grosze);
    char text[32];
    std::snprintf(text, sizeof text, "%s%lld,%02lld", grosze < 0 ? "-" : "",
                  static_cast<long long>(whole / 100), static_cast<long long>(whole % 100));
    return text;
}

// A receipt the printer would record wrongly is refused before anything is sent: one with
// nothing sold (the printer would record an empty receipt for good), or one whose payments,
// when it names any, do not cover its total.
bool Sellable(const Receipt& r) {
    bool sold = false;
    for (const Step& s : r.steps) sold = sold || s.kind == Step::Sale;
    if (!sold) {
        std::fprintf(stderr, "tarn: no item line: nothing to sell\n");
        return false;
    }
    int64_t paid = 0;
    for (const auto& payment : r.payments) paid += payment.second;
    const int64_t total = TotalOf(r);
    if (!r.payments.empty() && paid < total) {
        std::fprintf(stderr, "tarn: the payments (%s) do not cover the total (%s)\n",
                     AmountText(paid).c_str(), AmountText(total).c_str());
        return false;
    }
    return true;
}

int Print(const Step& s) {
    const char* n = s.name.c_str();
    switch (s.kind) {
        case Step::Sale:
            return Show("mfLineTicket " + s.shown,
                        mfLineTicket(0, n, s.letter, s.unit.c_str(), s.price, s.quantity, 0));
        case Step::Void:
            return Show("mfStornoLineTicket " + s.shown,
                        mfStornoLineTicket(0, n, s.letter, s.unit.c_str(), s.price, s.quantity, 0));
        default:
            return Show("mfLineTicketExt " + s.shown,
                        mfLineTicketExt(0, n, s.letter, "", 0, -1000, s.price));
    }
}

int Close(const Receipt& c) {
    std::pair<std::string, int> p[3];
    for (size_t i = 0; i < c.payments.size(); ++i) p[i] = c.payments[i];
    return Show("mfEndTicket", mfEndTicket(c.percent, 0, c.transaction, p[0].second,
                                           p[0].first.c_str(), p[1].second, p[1].first.c_str(),
                                           p[2].second, p[2].first.c_str(), 0, "", 0, "", "", ""));
}

}  // namespace

// The whole file is read and checked first: a file with a mistake, or one that cannot be read
// to its end, prints nothing.
int RunReceipt(const Args& args, int port) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: tarn receipt FILE\n");
        return 2;
    }
    std::string text;
    if (!ReadWhole(args[0], &text)) {
        std::fprintf(stderr, "tarn: cannot read %s\n", args[0].c_str());
        return 2;
    }
    Receipt receipt;
    if (!ReadReceipt(text, &receipt) || !Sellable(receipt)) return 2;
    if (!OpenSession(port)) return 1;
    bool ok = Show("mfBeginTicket", mfBeginTicket(-1)) == 0;
    for (size_t i = 0; ok && i < receipt.steps.size(); ++i) ok = Print(receipt.steps[i]) == 0;
    if (ok) ok = Close(receipt) == 0;
    if (!ok) Show("mfStornoTicket", mfStornoTicket());
    mfStop();
    return ok ? 0 : 1;
}

}  // namespace tarn::cli
