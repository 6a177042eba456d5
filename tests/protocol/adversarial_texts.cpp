// Texts that fill their field and have no NUL, placed so that they end where readable memory
// ends: each is read no further than its field, so none of these calls faults. An application's
// fixed-width records (a name in a 28-byte slot) end like this at the end of a page. The fields
// are those of the reference's table "How far a text is read": every text argument of every
// export has its row there, and each is read exactly that far on every printer type.
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "adversarial.h"
#include "api/interface_list.h"
#include "test_dir.h"

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

// An argument as it is passed: an integer, or a pointer to a text (implicit, for the table).
struct Word {
    Word(int number) : value(number) {}
    Word(const char* text) : value(reinterpret_cast<intptr_t>(text)) {}
    intptr_t value;
};

template <typename T>
T FromWord(intptr_t word) {
    if constexpr (std::is_pointer_v<T>) {
        return reinterpret_cast<T>(word);  // NOLINT(performance-no-int-to-ptr): a raw argument
    } else {
        return static_cast<T>(word);
    }
}

// An export's parameter names, which of them are texts, and the export called with words.
struct TextExport {
    std::vector<std::string> names;
    std::vector<size_t> texts;
    std::function<int(const std::vector<intptr_t>&)> call;
};

template <typename... Params, size_t... I>
int CallWithWords(int(TARN_API* function)(Params...), const std::vector<intptr_t>& words,
                  std::index_sequence<I...>) {
    return function(FromWord<Params>(words[I])...);
}

// "(int index, const char* text)" as {"index", "text"}.
std::vector<std::string> ParameterNames(std::string list) {
    std::vector<std::string> names;
    list = list.substr(1, list.size() - 2);
    std::istringstream pieces(list);
    for (std::string piece; std::getline(pieces, piece, ',');)
        names.push_back(piece.substr(piece.find_last_of(" *") + 1));
    return names;
}

template <typename... Params>
TextExport Describe(int(TARN_API* function)(Params...), const char* parameters) {
    TextExport e;
    e.names = ParameterNames(parameters);
    const bool isText[] = {false, std::is_same_v<Params, const char*>...};
    for (size_t i = 1; i < std::size(isText); ++i)
        if (isText[i]) e.texts.push_back(i - 1);
    e.call = [function](const std::vector<intptr_t>& words) {
        return CallWithWords(function, words, std::index_sequence_for<Params...>{});
    };
    return e;
}

// Every export that reads its arguments and takes a text, by name.
std::map<std::string, TextExport> TextExports() {
    std::map<std::string, TextExport> all;
#define TARN_TEXT_EXPORT(name, ordinal, entry, kind, params) \
    if (std::string(#kind) != "FIXED") all[#name] = Describe(&(name), #params);
    TARN_INTERFACE(TARN_TEXT_EXPORT)
#undef TARN_TEXT_EXPORT
    for (auto at = all.begin(); at != all.end();)
        at = at->second.texts.empty() ? all.erase(at) : ++at;
    return all;
}

int OpenReceipt() {
    const int begun = mfBeginTicket(-1);
    return begun != 0 ? begun : mfLineTicket(0, "Chleb", 'A', "szt", 100, 1000, 0);
}

// 1 on the printers without the settlement.
int OpenShift() {
    const int begun = mfBgShiftReport("7", "", "", "");
    return begun != 0 ? begun : mfLineShiftReport(2, "Got\xA2wka", "1,00", "1,00", "0,00");
}

// A call that reads every text of its export, its texts empty but where one chooses the way:
// each of them in turn is placed at the edge of memory.
struct TextCall {
    const char* function;
    std::vector<Word> words;
    int (*open)() = nullptr;  // opens the document the call continues
    const char* when = "";    // the reference's condition, for a call that reads otherwise
    const char* head = "";    // the placed text's first bytes; the rest are letters
};

// clang-format off
const TextCall kTextCalls[] = {
    {"mfDefString", {400, ""}, nullptr, "indexes 100 to 104, 200 to 241, 400 to 449"},
    {"mfDefString", {300, ""}, nullptr, "indexes 300 to 325, 500 to 504"},
    {"mfDefConfigParam", {11, 0, ""}},
    {"mfLineTicket", {0, "", 'A', "szt", 100, 1000, 0}, OpenReceipt},
    {"mfStornoLineTicket", {0, "", 'A', "szt", 100, 1000, 0}, OpenReceipt},
    {"mfLineTicketExt", {0, "", 'A', "", 100, -1000, 0}, OpenReceipt},
    {"mfEndTicket", {0, 0, 5, 50, "", 50, "", 50, "", 5, "", 5, "", "", ""}, OpenReceipt},
    {"mfDefFooter", {""}},
    {"mfDefPOS", {1, 2, ""}},
    {"mfDispTicketLine", {"", 1, 1, 1}},
    {"mfDispSum", {"", 1}},
    {"mfDispSummary", {"", 1, "", 2}},
    {"mfDispConsumerLOGO", {"", ""}},
    {"mfPrPayIn", {"", "", "", ""}},
    {"mfPrPayOut", {"", "", "", ""}},
    {"mfBgOrder", {"", ""}},
    {"mfLineOrder", {"", "1", ""}, [] { return mfBgOrder("Jan", "7"); }},
    {"mfBgReturn", {"", "", 0}},
    {"mfLineReturn", {"", "", ""}, [] { return mfBgReturn("1", "Anna", 0); }},
    {"mfLineCashierReport", {0, "", "", "", ""}},
    {"mfBgShiftReport", {"", "", "", ""}},
    {"mfLineShiftReport", {2, "Got\xA2wka", "", "", ""}, OpenShift},
    // A pay-out's figure, printed without its minus.
    {"mfLineShiftReport", {3, "WYP\235ATA Z KASY", "", "", ""}, OpenShift, "", "-"},
    // Every text line printed: English lines and the signature block.
    {"mfPrVISA", {1, 1, "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", ""}},
    {"mfPrPrePaid_Voucher", {1, "", "", "", 1, 2, 3, 100, "", "", "", "", "", 30, "", ""}},
    // Accepted (1), a card payment (1), variant 1, PIN (3): every text line is printed.
    {"mfPrEFT_Transaction", {0, 1, 1, 1, 3, "", "", "", 1, 2, 3, 4, 5, "", 0, "", 'C', "", "",
                             1000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 'D', "", 6, 0, 0, 0, 0, 0, 0, 0}},
    {"mfPrEFT_Reversal", {0, 1, 1, 1, 0, "", "", "", 1, 2, 3, 4, 5, "", 0, 'C', "", "", 1000, 0,
                          "", 6, 0, 0}},
    {"mfPrEFT_RegisterOffline", {0, 1, 1, 0, "", "", "", 1, 2, 4, 5, "", 0, 'C', "", "", 1000,
                                 "", 6, 0}},
};
// clang-format on

constexpr int kTypes[] = {1, 2, 3, 4, 8, 10};

// The reference's widths: "function argument when" and the bytes read at most.
std::map<std::string, size_t> ReferenceWidths() {
    std::map<std::string, size_t> widths;
    std::istringstream reference(test::ReadFile(TARN_SOURCE_DIR "/docs/reference.md"));
    std::string line;
    while (std::getline(reference, line) && line != "## How far a text is read") {
    }
    while (std::getline(reference, line) && line.rfind("## ", 0) != 0) {
        std::vector<std::string> cells;
        std::istringstream row(line);
        for (std::string cell; std::getline(row, cell, '|');) {
            cell.erase(std::remove(cell.begin(), cell.end(), '`'), cell.end());
            const size_t first = cell.find_first_not_of(' ');
            cells.push_back(first == std::string::npos
                                ? ""
                                : cell.substr(first, cell.find_last_not_of(' ') - first + 1));
        }
        if (cells.size() == 5 && cells[1].rfind("mf", 0) == 0)
            widths[cells[1] + " " + cells[2] + " " + cells[3]] = std::stoul(cells[4]);
    }
    return widths;
}

}  // namespace

// Each text of each call in turn, filling its width in the reference without its NUL at the end
// of readable memory, on every printer type: none is read further. One byte fewer is read past
// on some type: the width is the one the library reads. Every text argument has its width.
void AdversarialInputs::TextsWithoutTheirEnd(Cases& cases) {
    const std::map<std::string, TextExport> exports = TextExports();
    const std::map<std::string, size_t> widths = ReferenceWidths();
    std::map<std::string, bool> covered;
    for (const auto& [name, e] : exports)
        for (const size_t at : e.texts) covered[name + " " + e.names[at]] = false;
    EdgeOfMemory edge;
    // `c` on each printer type in turn in a child process, `text` placed at the edge of memory
    // as its argument `at`, so that a fault ends only the child: "" when every call came back
    // with a result of the documented set, else what went wrong.
    const auto onEachType = [&](const TextCall& c, const TextExport& e, size_t at,
                                const std::string& text) -> std::string {
        std::fflush(nullptr);  // the child must not print what the parent has buffered
        const pid_t child = fork();
        if (child == 0) {
            std::signal(SIGSEGV, SIG_DFL);  // a read past the page ends the child, nothing else
            bool documented = true;
            for (const int type : kTypes) {
                StartOn(type);
                const int opened = c.open != nullptr ? c.open() : 0;
                std::vector<intptr_t> words;
                for (const Word& w : c.words) words.push_back(w.value);
                words[at] = reinterpret_cast<intptr_t>(edge.Place(text));
                const int result = e.call(words);
                documented =
                    documented && opened >= 0 && opened <= 1 && result >= -3 && result <= 1;
            }
            _exit(documented ? 0 : 1);
        }
        int status = 0;
        if (child < 0 || waitpid(child, &status, 0) != child) return "no child to call in";
        if (WIFSIGNALED(status)) return "ended by signal " + std::to_string(WTERMSIG(status));
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "a result outside the set";
        return "";
    };
    for (const TextCall& c : kTextCalls) {
        const TextExport& e = exports.at(c.function);
        for (const size_t at : e.texts) {
            const std::string argument = std::string(c.function) + " " + e.names[at];
            covered[argument] = true;
            const auto width = widths.find(argument + " " + c.when);
            std::string why = width == widths.end() ? "no width in the reference" : "";
            std::string text = c.head;
            if (why.empty() && edge.Ready()) {
                text.resize(width->second, 'A');
                why = onEachType(c, e, at, text);
            }
            if (why.empty() && !text.empty()) {
                text.pop_back();
                if (onEachType(c, e, at, text).empty())
                    why = "read less far than the reference says";
            }
            std::string name = argument;
            if (*c.when != '\0') name.append(", ").append(c.when);
            if (*c.head != '\0') name.append(", starting ").append(c.head);
            if (!why.empty()) name.append(": ").append(why);
            cases.Held(name, why.empty());
        }
    }
    for (const auto& [argument, done] : covered)
        if (!done) cases.Held(argument + ": no call places it", false);
}

}  // namespace tarn
