// Texts that fill their field and have no NUL, placed so that they end where readable memory
// ends: each is read no further than its field, so none of these calls faults. An application's
// fixed-width records (a name in a 28-byte slot) end like this at the end of a page.
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "adversarial.h"

namespace tarn {
namespace {

// Two pages, the second unreadable: a text placed at the end of the first is followed by
// nothing a read may touch.
class EdgeOfMemory {
public:
    EdgeOfMemory() : page_(static_cast<size_t>(sysconf(_SC_PAGESIZE))) {
        void* pages =
            mmap(nullptr, 2 * page_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        base_ = pages == MAP_FAILED ? nullptr : static_cast<char*>(pages);
        if (base_ != nullptr && mprotect(base_ + page_, page_, PROT_NONE) != 0) base_ = nullptr;
    }
    ~EdgeOfMemory() {
        if (base_ != nullptr) munmap(base_, 2 * page_);
    }
    EdgeOfMemory(const EdgeOfMemory&) = delete;
    EdgeOfMemory& operator=(const EdgeOfMemory&) = delete;

    bool Ready() const { return base_ != nullptr; }
    // `text` without its NUL, its last byte the last readable one.
    const char* Place(const std::string& text) {
        char* start = base_ + page_ - text.size();
        std::copy(text.begin(), text.end(), start);
        return start;
    }

private:
    size_t page_;
    char* base_ = nullptr;
};

using Call = std::function<int(const char*)>;

struct TextCase {
    std::string name;                     // the export and its argument
    int type;                             // the printer's type; its display is type 3
    size_t width;                         // the field: the text fills it
    Call call;                            // the export, given the text
    std::function<int()> open = nullptr;  // opens the document the call needs
    std::string head = "";                // the text's first bytes, the rest are letters
};

// The texts of a call with many: every one empty but the n-th.
template <size_t N>
std::array<const char*, N> OneText(size_t n, const char* text) {
    std::array<const char*, N> t;
    t.fill("");
    t[n] = text;
    return t;
}

int Visa(size_t n, const char* text) {
    const auto t = OneText<16>(n, text);
    return mfPrVISA(1, 1, t[0], t[1], t[2], t[3], t[4], t[5], t[6], t[7], t[8], t[9], t[10], t[11],
                    t[12], t[13], t[14], t[15]);
}

int Voucher(size_t n, const char* text) {
    const auto t = OneText<10>(n, text);
    return mfPrPrePaid_Voucher(1, t[0], t[1], t[2], 1, 2, 3, 100, t[3], t[4], t[5], t[6], t[7], 30,
                               t[8], t[9]);
}

// Accepted (1), card payment (1), variant 1, PIN (3): every text line is printed.
int Transaction(size_t n, const char* text) {
    const auto t = OneText<8>(n, text);
    return mfPrEFT_Transaction(0, 1, 1, 1, 3, t[0], t[1], t[2], 1, 2, 3, 4, 5, t[3], 0, t[4], 'C',
                               t[5], t[6], 1000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 'D', t[7], 6, 0, 0, 0,
                               0, 0, 0, 0);
}

int Reversal(size_t n, const char* text) {
    const auto t = OneText<7>(n, text);
    return mfPrEFT_Reversal(0, 1, 1, 1, 0, t[0], t[1], t[2], 1, 2, 3, 4, 5, t[3], 0, 'C', t[4],
                            t[5], 1000, 0, t[6], 6, 0, 0);
}

int Offline(size_t n, const char* text) {
    const auto t = OneText<7>(n, text);
    return mfPrEFT_RegisterOffline(0, 1, 1, 0, t[0], t[1], t[2], 1, 2, 4, 5, t[3], 0, 'C', t[4],
                                   t[5], 1000, t[6], 6, 0);
}

int OpenReceipt() {
    return mfBeginTicket(-1) == 0 ? mfLineTicket(0, "Chleb", 'A', "szt", 100, 1000, 0) : -9;
}

// Each text argument whose field has a width, as the call that reads it takes it.
std::vector<TextCase> TextCases() {
    const auto receipt = OpenReceipt;
    const auto order = [] { return mfBgOrder("Jan", "7"); };
    const auto giveBack = [] { return mfBgReturn("1", "Anna", 0); };
    const auto shift = [] {
        return mfBgShiftReport("7", "", "", "") == 0
                   ? mfLineShiftReport(2, "Got\xA2wka", "1,00", "1,00", "0,00")
                   : -9;
    };
    const auto line = [](const char* t) { return mfLineTicket(0, t, 'A', "szt", 100, 1000, 0); };
    const auto end = [](int p1, const char* s1, int p2, const char* s2, int p3, const char* s3,
                        int extra, const char* extraS, int adjust, const char* adjustS,
                        const char* table, const char* free) {
        return mfEndTicket(0, 0, 5, p1, s1, p2, s2, p3, s3, extra, extraS, adjust, adjustS, table,
                           free);
    };
    std::vector<TextCase> cases = {
        {"mfLineTicket name", 8, 28, line, receipt},
        {"mfLineTicket name, type 3", 3, 28, line, receipt},
        {"mfLineTicket quantityText", 8, 3,
         [](const char* t) { return mfLineTicket(0, "Chleb", 'A', t, 100, 1000, 0); }, receipt},
        {"mfStornoLineTicket name", 8, 28,
         [](const char* t) { return mfStornoLineTicket(0, t, 'A', "szt", 100, 1000, 0); }, receipt},
        {"mfLineTicketExt name, read for \"PTU\" to its end", 8, 1024,
         [](const char* t) { return mfLineTicketExt(0, t, 'A', "", 100, -1000, 0); }, receipt},
        {"mfEndTicket paymStr1", 8, 26,
         [end](const char* t) { return end(100, t, 0, "", 0, "", 0, "", 0, "", "", ""); }, receipt},
        {"mfEndTicket paymStr1, type 3", 3, 26,
         [end](const char* t) { return end(100, t, 0, "", 0, "", 0, "", 0, "", "", ""); }, receipt},
        {"mfEndTicket paymStr2", 8, 26,
         [end](const char* t) { return end(50, "", 50, t, 0, "", 0, "", 0, "", "", ""); }, receipt},
        {"mfEndTicket paymStr3", 8, 26,
         [end](const char* t) { return end(50, "", 0, "", 50, t, 0, "", 0, "", "", ""); }, receipt},
        {"mfEndTicket extraAmountStr", 8, 29,
         [end](const char* t) { return end(100, "", 0, "", 0, "", 5, t, 0, "", "", ""); }, receipt},
        {"mfEndTicket extraAmountStr, type 3", 3, 29,
         [end](const char* t) { return end(100, "", 0, "", 0, "", 5, t, 0, "", "", ""); }, receipt},
        {"mfEndTicket adjustStr", 8, 29,
         [end](const char* t) { return end(100, "", 0, "", 0, "", 0, "", 5, t, "", ""); }, receipt},
        {"mfEndTicket tableStr", 8, 22,
         [end](const char* t) { return end(100, "", 0, "", 0, "", 0, "", 0, "", t, ""); }, receipt},
        {"mfEndTicket extraLine", 8, 31,
         [end](const char* t) { return end(100, "", 0, "", 0, "", 0, "", 0, "", "", t); }, receipt},
        {"mfDefFooter text", 8, 120, [](const char* t) { return mfDefFooter(t); }},
        {"mfDefPOS cashierName", 8, 30, [](const char* t) { return mfDefPOS(1, 2, t); }},
        {"mfDefString text, 38", 8, 38, [](const char* t) { return mfDefString(400, t); }},
        {"mfDefString text, 25", 8, 25, [](const char* t) { return mfDefString(300, t); }},
        {"mfDefConfigParam path, too long", 8, 256,
         [](const char* t) { return mfDefConfigParam(11, 0, t); }},
        {"mfDispTicketLine name", 8, 32,
         [](const char* t) { return mfDispTicketLine(t, 1, 1, 1); }},
        {"mfDispSum text", 8, 32, [](const char* t) { return mfDispSum(t, 1); }},
        {"mfDispSummary text1", 3, 20, [](const char* t) { return mfDispSummary(t, 1, "", 2); }},
        {"mfDispSummary text2", 3, 20, [](const char* t) { return mfDispSummary("", 1, t, 2); }},
        {"mfDispConsumerLOGO text1", 8, 32,
         [](const char* t) { return mfDispConsumerLOGO(t, ""); }},
        {"mfDispConsumerLOGO text2", 8, 32,
         [](const char* t) { return mfDispConsumerLOGO("", t); }},
        {"mfPrPayIn number", 8, 20, [](const char* t) { return mfPrPayIn(t, "", "", ""); }},
        {"mfPrPayIn payer", 8, 20, [](const char* t) { return mfPrPayIn("", t, "", ""); }},
        {"mfPrPayIn title", 8, 20, [](const char* t) { return mfPrPayIn("", "", t, ""); }},
        {"mfPrPayIn amount", 8, 20, [](const char* t) { return mfPrPayIn("", "", "", t); }},
        {"mfPrPayOut number", 8, 20, [](const char* t) { return mfPrPayOut(t, "", "", ""); }},
        {"mfPrPayOut payee", 8, 20, [](const char* t) { return mfPrPayOut("", t, "", ""); }},
        {"mfPrPayOut amount", 8, 20, [](const char* t) { return mfPrPayOut("", "", "", t); }},
        {"mfBgOrder customer", 8, 33, [](const char* t) { return mfBgOrder(t, ""); }},
        {"mfBgOrder number", 8, 27, [](const char* t) { return mfBgOrder("", t); }},
        {"mfLineOrder name", 8, 33, [](const char* t) { return mfLineOrder(t, "1", ""); }, order},
        {"mfLineOrder quantity", 8, 27, [](const char* t) { return mfLineOrder("", t, ""); },
         order},
        {"mfLineOrder modifier", 8, 33, [](const char* t) { return mfLineOrder("", "1", t); },
         order},
        {"mfBgReturn returnNumber", 8, 27, [](const char* t) { return mfBgReturn(t, "", 0); }},
        {"mfBgReturn personName", 8, 25, [](const char* t) { return mfBgReturn("", t, 0); }},
        {"mfLineReturn name", 8, 30, [](const char* t) { return mfLineReturn(t, "1", "2"); },
         giveBack},
        {"mfLineReturn quantity, past any command", 8, 1024,
         [](const char* t) { return mfLineReturn("", t, ""); }, giveBack},
        {"mfLineReturn total, one past its room", 8, 27,
         [](const char* t) { return mfLineReturn("", "", t); }, giveBack},
        {"mfLineCashierReport name", 8, 255,
         [](const char* t) { return mfLineCashierReport(0, t, "", "", ""); }},
        {"mfLineCashierReport counted", 8, 255,
         [](const char* t) { return mfLineCashierReport(0, "", t, "", ""); }},
        {"mfLineCashierReport cash", 8, 255,
         [](const char* t) { return mfLineCashierReport(0, "", "", t, ""); }},
        {"mfLineCashierReport difference", 8, 255,
         [](const char* t) { return mfLineCashierReport(0, "", "", "", t); }},
        {"mfBgShiftReport shiftNo", 8, 27,
         [](const char* t) { return mfBgShiftReport(t, "", "", ""); }},
        {"mfBgShiftReport startDate", 8, 24,
         [](const char* t) { return mfBgShiftReport("", t, "", ""); }},
        {"mfBgShiftReport endDate", 8, 23,
         [](const char* t) { return mfBgShiftReport("", "", t, ""); }},
        {"mfBgShiftReport personName", 8, 27,
         [](const char* t) { return mfBgShiftReport("", "", "", t); }},
        {"mfLineShiftReport name", 8, 30,
         [](const char* t) { return mfLineShiftReport(2, t, "", "", ""); }, shift},
        {"mfLineShiftReport counted", 8, 25,
         [](const char* t) { return mfLineShiftReport(2, "Got\xA2wka", t, "", ""); }, shift},
        {"mfLineShiftReport cash, a figure without its minus", 8, 28,
         [](const char* t) {
             return mfLineShiftReport(3,
                                      "WYP\x9D"
                                      "ATA Z KASY",
                                      "", t, "");
         },
         shift, "-"},
        {"mfLineShiftReport difference", 8, 27,
         [](const char* t) { return mfLineShiftReport(2, "Got\xA2wka", "", "", t); }, shift},
    };
    const size_t visa[] = {23, 23, 27, 34, 35, 35, 33, 32, 34, 33, 30, 21, 30, 30, 31, 93};
    for (size_t n = 0; n < std::size(visa); ++n) {
        cases.push_back({"mfPrVISA text" + std::to_string(n + 3), 8, visa[n],
                         [n](const char* t) { return Visa(n, t); }});
    }
    // dateTime, operatorName, terminal, product, serialNo, code, validUntil, information, pin (a
    // line of 36 when footerText is empty), footerText.
    const size_t voucher[] = {12, 20, 10, 31, 30, 25, 25, 19, 36, 36};
    for (size_t n = 0; n < std::size(voucher); ++n) {
        cases.push_back({"mfPrPrePaid_Voucher text " + std::to_string(n + 1), 8, voucher[n],
                         [n](const char* t) { return Voucher(n, t); }});
    }
    // dateTime, terminalId, uid, cashier, kText, cardName, cardNumber (read to its end, 64 at
    // most), authorizationCode; the slips without kText. Line "51" is 16 wide on printers with
    // forms, 19 on the offline slip.
    const size_t transaction[] = {22, 34, 34, 31, 39, 32, 64, 16};
    const size_t reversal[] = {22, 34, 34, 31, 32, 64, 16};
    const size_t offline[] = {22, 34, 34, 31, 32, 64, 19};
    for (size_t n = 0; n < std::size(transaction); ++n) {
        cases.push_back({"mfPrEFT_Transaction text " + std::to_string(n + 1), 8, transaction[n],
                         [n](const char* t) { return Transaction(n, t); }});
    }
    for (size_t n = 0; n < std::size(reversal); ++n) {
        cases.push_back({"mfPrEFT_Reversal text " + std::to_string(n + 1), 8, reversal[n],
                         [n](const char* t) { return Reversal(n, t); }});
        cases.push_back({"mfPrEFT_RegisterOffline text " + std::to_string(n + 1), 8, offline[n],
                         [n](const char* t) { return Offline(n, t); }});
    }
    return cases;
}

// Calls `c` with its text at the edge of memory in a child process, so that a fault ends only
// the child: "" when the call held, else what went wrong.
std::string CallAtTheEdge(const TextCase& c, EdgeOfMemory& edge) {
    std::string text = c.head;
    text.resize(c.width, 'A');
    const char* placed = edge.Place(text);
    std::fflush(nullptr);  // the child must not print what the parent has buffered
    const pid_t child = fork();
    if (child == 0) {
        const int result = c.call(placed);
        _exit(result >= -3 && result <= 1 ? 0 : 1);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) return "no child to call in";
    if (WIFSIGNALED(status)) return "ended by signal " + std::to_string(WTERMSIG(status));
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "a result outside the set";
    return "";
}

}  // namespace

// Each text that fills its field, without its NUL, at the end of readable memory.
void AdversarialInputs::TextsWithoutTheirEnd(Cases& cases) {
    EdgeOfMemory edge;
    for (const TextCase& c : TextCases()) {
        StartOn(c.type);
        const bool opened = !c.open || c.open() == 0;
        const std::string why = edge.Ready() && opened ? CallAtTheEdge(c, edge) : "not set up";
        cases.Held(c.name + (why.empty() ? "" : ": " + why), why.empty());
    }
}

}  // namespace tarn
