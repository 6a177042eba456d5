// Every export with bad input: null pointers, empty, one-character and 10 KB texts, bytes outside
// the letters of code page 852, INT32_MIN, INT32_MAX, -1 and 0 — with and without a session. No
// crash, results only from the documented set, and nothing malformed reaches the printer.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "generated_doc.h"
#include "receipt_fixture.h"
#include "tarn/tarn.h"

namespace tarn {
namespace {

using AnyFunction = void (*)();

// i an integer, o a pointer to an integer written, t a text read, b a text buffer written,
// u bytes read, x an argument not read.
struct Export {
    const char* name;
    AnyFunction function;
    const char* signature;
};

#define TARN_EXPORT_ROW(name, signature) \
    { #name, reinterpret_cast < AnyFunction>(&name), signature }

const Export kExports[] = {
    TARN_EXPORT_ROW(mfSetDebugLevel, "i"),
    TARN_EXPORT_ROW(mfGetTime, "oo"),
    TARN_EXPORT_ROW(mfGetDate, "ooo"),
    TARN_EXPORT_ROW(mfGetVersion, "oo"),
    TARN_EXPORT_ROW(mfGetLastTicketNo, "o"),
    TARN_EXPORT_ROW(mfGetTax, "oooooo"),
    TARN_EXPORT_ROW(mfParFiscal, "o"),
    TARN_EXPORT_ROW(mfStatDenom, "o"),
    TARN_EXPORT_ROW(mfParLibVersion, "oox"),
    TARN_EXPORT_ROW(mfParLibBuild, "o"),
    TARN_EXPORT_ROW(mfParMessage, "ibb"),
    TARN_EXPORT_ROW(mfParPLU, "oob"),
    TARN_EXPORT_ROW(mfParHeader, "ooob"),
    TARN_EXPORT_ROW(mfParTicket, "oo"),
    TARN_EXPORT_ROW(mfParFooter, "oob"),
    TARN_EXPORT_ROW(mfDefFooter, "t"),
    TARN_EXPORT_ROW(mfParPOS, "ooox"),
    TARN_EXPORT_ROW(mfDefPOS, "iit"),
    TARN_EXPORT_ROW(mfParTime, ""),
    TARN_EXPORT_ROW(mfDefTime, "ii"),
    TARN_EXPORT_ROW(mfParString, "ibo"),
    TARN_EXPORT_ROW(mfDefString, "it"),
    TARN_EXPORT_ROW(mfParTax, ""),
    TARN_EXPORT_ROW(mfDefTax, "iiiiii"),
    TARN_EXPORT_ROW(mfDefConfigParam, "ixt"),
    TARN_EXPORT_ROW(mfBeginTicket, "i"),
    TARN_EXPORT_ROW(mfLineTicket, "xtitiii"),
    TARN_EXPORT_ROW(mfStornoLineTicket, "xtitiii"),
    TARN_EXPORT_ROW(mfStornoTicket, ""),
    TARN_EXPORT_ROW(mfEndTicket, "iiiitititititt t"),
    TARN_EXPORT_ROW(mfShiftEnd, ""),
    TARN_EXPORT_ROW(mfParInvoice, "xxxx"),
    TARN_EXPORT_ROW(mfParLineTicketExt, ""),
    TARN_EXPORT_ROW(mfLineTicketExt, "xtitiii"),
    TARN_EXPORT_ROW(mfPrDetailReport, "iiiiii"),
    TARN_EXPORT_ROW(mfPrGlobalReport, "iiiiii"),
    TARN_EXPORT_ROW(mfPrState, ""),
    TARN_EXPORT_ROW(mfPrPayIn, "tttt"),
    TARN_EXPORT_ROW(mfPrPayOut, "tttt"),
    TARN_EXPORT_ROW(mfParOrder, ""),
    TARN_EXPORT_ROW(mfBgOrder, "tt"),
    TARN_EXPORT_ROW(mfLineOrder, "ttt"),
    TARN_EXPORT_ROW(mfEndOrder, ""),
    TARN_EXPORT_ROW(mfParReturn, ""),
    TARN_EXPORT_ROW(mfBgReturn, "ttx"),
    TARN_EXPORT_ROW(mfLineReturn, "ttt"),
    TARN_EXPORT_ROW(mfEndReturn, ""),
    TARN_EXPORT_ROW(mfParMaxLinesReturn, "o"),
    TARN_EXPORT_ROW(mfBgCashierReport, "xx"),
    TARN_EXPORT_ROW(mfLineCashierReport, "xtttt"),
    TARN_EXPORT_ROW(mfBgShiftReport, "tttt"),
    TARN_EXPORT_ROW(mfLineShiftReport, "itttt"),
    TARN_EXPORT_ROW(mfEndShiftReport, ""),
    TARN_EXPORT_ROW(mfPrVoid, ""),
    TARN_EXPORT_ROW(mfPrVISA, "iitttttttttttttttt"),
    TARN_EXPORT_ROW(mfPrEFT_Transaction, "xiiiitttiiiiitxtittiixxxxxxxxititixixxxx"),
    TARN_EXPORT_ROW(mfPrEFT_Reversal, "xiiixtttiiiiitxittixtixx"),
    TARN_EXPORT_ROW(mfPrEFT_RegisterOffline, "xiixtttiiiitxittitix"),
    TARN_EXPORT_ROW(mfParDrawer, "ibo"),
    TARN_EXPORT_ROW(mfDefDrawer, "ix"),
    TARN_EXPORT_ROW(mfDrawerOpen, "i"),
    TARN_EXPORT_ROW(mfDrawerIsOpen, "io"),
    TARN_EXPORT_ROW(mfParFiscDisp, "iboobo o"),
    TARN_EXPORT_ROW(mfDispTicketLine, "tiii"),
    TARN_EXPORT_ROW(mfDispSum, "ti"),
    TARN_EXPORT_ROW(mfDispSummary, "titi"),
    TARN_EXPORT_ROW(mfDispConsumerLOGO, "tt"),
    TARN_EXPORT_ROW(mfStatMode, "o"),
    TARN_EXPORT_ROW(mfStatShift, "o"),
    TARN_EXPORT_ROW(mfStatReceipt, "o"),
    TARN_EXPORT_ROW(mfStatDocument, "o"),
    TARN_EXPORT_ROW(mfStatNoPaper, "o"),
    TARN_EXPORT_ROW(mfParNrReport, ""),
    TARN_EXPORT_ROW(mfPrNrReport, "ii"),
    TARN_EXPORT_ROW(mfAnyCommand, "iuibo i"),
    TARN_EXPORT_ROW(mfGetSerNo, "b"),
    TARN_EXPORT_ROW(mfPrPrePaid_Voucher, "itttiiiitttttitt"),
    TARN_EXPORT_ROW(mfParPrePaid_Voucher, ""),
    TARN_EXPORT_ROW(mfStart3, "xxxxxxxxxxxxxxxxxxxxx"),
};

constexpr size_t kBig = 10 * 1024;
// Bytes that would end a field, a form or a line and start a command of their own.
constexpr const char* kCommandsInText =
    "Chleb\x1BQ\x1B"
    "2\nMleko\x1B";

// One round of values: every argument of a kind gets the round's value of that kind.
struct Round {
    intptr_t integer;
    const char* text;   // null for a null text
    bool nullPointers;  // outputs and buffers null
};

class BadInput : public test::ReceiptTest {
protected:
    void SetUp() override {
        ReceiptTest::SetUp();
        big_.assign(kBig, 'X');
        highBytes_.clear();
        for (size_t i = 0; i < kBig; ++i) highBytes_ += static_cast<char>(0x80 + i % 0x80);
        buffer_.assign(kBig, 0);
        bytes_.assign(kBig, 0x1B);
    }

    std::vector<intptr_t> Arguments(const char* signature, const Round& round) {
        std::vector<intptr_t> args;
        for (const char* s = signature; *s != '\0'; ++s) {
            switch (*s) {
                case 'i': args.push_back(round.integer); break;
                case 't': args.push_back(reinterpret_cast<intptr_t>(round.text)); break;
                case 'o':
                    args.push_back(
                        round.nullPointers ? 0 : reinterpret_cast<intptr_t>(&outs_[args.size()]));
                    break;
                case 'b':
                    args.push_back(round.nullPointers ? 0
                                                      : reinterpret_cast<intptr_t>(buffer_.data()));
                    break;
                case 'u':
                    args.push_back(round.nullPointers ? 0
                                                      : reinterpret_cast<intptr_t>(bytes_.data()));
                    break;
                case 'x': args.push_back(round.integer); break;
                default: break;  // a space only groups the signature for reading
            }
        }
        return args;
    }

    std::vector<Round> Rounds() const {
        return {{0, nullptr, true},         {INT32_MIN, "", false},         {INT32_MAX, "a", false},
                {-1, big_.c_str(), false},  {1, highBytes_.c_str(), false}, {0, "%s%n%x", true},
                {2, kCommandsInText, false}};
    }

    std::string big_, highBytes_;
    std::vector<char> buffer_;
    std::vector<unsigned char> bytes_;
    int outs_[64] = {};
};

// Calls with up to 40 integer-sized arguments; pointers and integers travel alike.
int Call(AnyFunction fn, const std::vector<intptr_t>& a) {
    std::vector<intptr_t> v = a;
    v.resize(40, 0);
    using F =
        int (*)(intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t,
                intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t,
                intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t,
                intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t,
                intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t);
    return reinterpret_cast<F>(fn)(
        v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10], v[11], v[12], v[13],
        v[14], v[15], v[16], v[17], v[18], v[19], v[20], v[21], v[22], v[23], v[24], v[25], v[26],
        v[27], v[28], v[29], v[30], v[31], v[32], v[33], v[34], v[35], v[36], v[37], v[38], v[39]);
}

bool Documented(int result) {
    return result == 0 || result == 1 || result == -1 || result == -2 || result == -3;
}

struct Tally {
    int calls = 0;
    std::map<int, int> results;
    int framesSent = 0;
    int malformed = 0;
    int undocumented = 0;
};

std::string Table(const Tally& t, size_t exports, size_t rounds) {
    std::ostringstream out;
    out << exports << " exports (every one but those that answer a fixed value), " << rounds
        << " rounds of values, with and without a session: " << t.calls << " calls.\n\n"
        << "| Result | Calls |\n|---|---|\n";
    for (const auto& [result, count] : t.results) out << "| " << result << " | " << count << " |\n";
    out << "\nCommands the printer received: " << t.framesSent
        << "; malformed or cut short: " << t.malformed
        << ". Results outside the documented set: " << t.undocumented << ".\n";
    return out.str();
}

TEST_F(BadInput, EveryExportTakesEveryBadValue) {
    Tally tally;
    for (const bool session : {true, false}) {
        for (const Export& e : kExports) {
            for (const Round& round : Rounds()) {
                StartOn(8);
                if (!session) Lib().started = false;
                printer->ClearFrames();
                const int result = Call(e.function, Arguments(e.signature, round));
                ++tally.calls;
                ++tally.results[result];
                if (!Documented(result)) ++tally.undocumented;
                EXPECT_TRUE(Documented(result)) << e.name << " gave " << result;
                if (result == -2) {
                    EXPECT_NE(Lib().mfErrorL, 0) << e.name;
                }
                for (const auto& frame : printer->Frames()) {
                    ++tally.framesSent;
                    const bool whole = frame.kind != sim::FrameKind::Stray &&
                                       frame.kind != sim::FrameKind::Abandoned;
                    if (!whole) ++tally.malformed;
                    EXPECT_TRUE(whole) << e.name;
                }
                Lib().SetDocumentOpen(MF_DOC_ANY, false);
            }
        }
    }
    EXPECT_GT(tally.calls, 900);
    EXPECT_TRUE(test::DocumentSection(
        TARN_SOURCE_DIR "/docs/RELIABILITY.md",
        "<!-- bad input: generated by BadInput.EveryExportTakesEveryBadValue -->\n",
        "<!-- end of bad input -->\n", Table(tally, std::size(kExports), Rounds().size())));
}

}  // namespace
}  // namespace tarn
