// The virtual printer's fiscal receipt, byte by byte from the printer's side: what it sums,
// what it prints, and when it cancels the receipt instead.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "printout.h"
#include "text/cp852.h"
#include "virtual_printer.h"
#include "wire.h"

namespace tarn {
namespace {

using test::Wire;

// Long enough for a sale total without a total to count as complete.
constexpr int64_t kSaleTotalQuietMs = 1300;

using Bytes = std::vector<uint8_t>;

// Talks to the printer byte by byte, without the library.

void Append(Bytes& out, int32_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i)));
}

void Append(Bytes& out, const std::string& utf8, size_t width) {
    std::string text = Utf8ToCp852(utf8);
    text.resize(width, ' ');
    out.insert(out.end(), text.begin(), text.end());
}

Bytes Item(char sign, const std::string& name, int slot, int32_t quantity, int32_t price,
           int32_t value) {
    Bytes out{0x1B, 0x06, static_cast<uint8_t>(sign)};
    Append(out, name, 28);
    out.push_back('0');
    Append(out, quantity);
    out.push_back(0x03);
    Append(out, "szt", 4);
    Append(out, price);
    out.push_back(0x1B);
    out.push_back(static_cast<uint8_t>(slot));
    Append(out, value);
    return out;
}

Bytes Sale(const std::string& name, int slot, int32_t value) {
    return Item(' ', name, slot, 1000, value, value);
}

Bytes WithAmount(Bytes head, int32_t amount) {
    Append(head, amount);
    return head;
}

Bytes Payment(const std::string& name, int32_t amount) {
    Bytes out{0x1B, 0x81, 1};
    Append(out, name, 13);
    return WithAmount(out, amount);
}

const Bytes kOpen{0x1B, 0x21};
const Bytes kSaleTotalAlone{0x1B, 0x07};
const Bytes kEnd{0x1B, 0x24};
const Bytes kReason{0x1B, 0x50};

// A 40-column line with `left` at the left and `right` at the right.
std::string Row(const std::string& left, const std::string& right) {
    const size_t used = Utf8ToCp852(left).size() + Utf8ToCp852(right).size();
    return left + std::string(40 - used, ' ') + right;
}

// Every expected line is on the roll, in this order.
void ExpectPrinted(const sim::VirtualPrinter& printer, const std::vector<std::string>& expected) {
    std::vector<std::string> lines;
    for (const std::string& line : printer.Roll().Lines()) lines.push_back(Cp852ToUtf8(line));
    size_t at = 0;
    for (const std::string& line : expected) {
        while (at < lines.size() && lines[at] != line) ++at;
        if (at == lines.size()) {
            ADD_FAILURE() << "not printed in order: [" << line << "]\n" << printer.Roll().AsUtf8();
            return;
        }
    }
}

TEST(PrinterReceipt, ASaleWithAVoidADiscountAndTwoPaymentsAddsUpByRate) {
    sim::VirtualPrinter printer;
    printer.State().footer[0] = Utf8ToCp852("Dziękujemy za zakupy");
    Wire wire(printer, kSaleTotalQuietMs);
    EXPECT_EQ(wire.Exchange({0x1B, 'C', '0', '1', '0', '7'}), (Bytes{0x06}));
    EXPECT_EQ(wire.Exchange(kOpen), (Bytes{0x06}));
    wire.Send(Item(' ', "Chleb pszenny", 1, 1500, 399, 599));
    wire.Send(Sale("Mleko UHT 3,2 procent", 2, 1000));
    wire.Send(Sale("Masło ekstra", 1, 799));
    wire.Send(Item('-', "Masło ekstra", 1, 1000, 799, 799));
    wire.Send({0x1B, 0x1B, 10});  // 10% of 15,99 is 1,599: 1,60 off
    wire.Send(WithAmount({0x1B, 0x07}, 1439));
    wire.Send({0x1B, 0x09, '>', 'D', 'O', ' ', 'Z', 'A', 'P', 0x0A});
    wire.Send(Payment("Gotówka", 1000));
    wire.Send(Payment("Karta", 500));
    EXPECT_EQ(wire.Exchange(kEnd), (Bytes{0x06}));
    EXPECT_EQ(wire.Exchange(kReason), (Bytes{0x06, 0x00}));

    ASSERT_TRUE(printer.LastEndedReceipt().has_value());
    const sim::ReceiptTotals totals = printer.TotalsOf(*printer.LastEndedReceipt());
    EXPECT_EQ(totals.Slot(1).gross, 540);  // 5,99 less 59 of the discount
    EXPECT_EQ(totals.Slot(2).gross, 899);  // 10,00 less 100, and the odd grosz as the largest
    EXPECT_EQ(totals.Slot(1).tax, 101);    // 100,98 rounded up
    EXPECT_EQ(totals.Slot(2).tax, 67);     // 66,59
    EXPECT_EQ(totals.gross, 1439);
    EXPECT_EQ(printer.State().receiptsToday, 1);
    EXPECT_FALSE(printer.ReceiptOpen());
    ExpectPrinted(
        printer,
        {"Kasa: 01 Kasjer: 07", "            PARAGON FISKALNY",
         Row("Chleb pszenny", "1,5 szt x3,99 5,99 A"), "Mleko UHT 3,2 procent",
         Row("", "1 szt x10,00 10,00 B"), Row("Storno: Masło ekstra", "1 szt x7,99 -7,99 A"),
         Row("Rabat 10%", "-1,60"), Row("SPRZEDAŻ OPODATKOWANA A", "5,40"),
         Row("PTU A 23,00%", "1,01"), Row("SPRZEDAŻ OPODATKOWANA B", "8,99"),
         Row("PTU B 8,00%", "0,67"), Row("SUMA PTU", "1,68"), Row("SUMA PLN", "14,39"), "DO ZAP",
         Row("Gotówka", "10,00"), Row("Karta", "5,00"), Row("RESZTA", "0,61"),
         "Dziękujemy za zakupy", Row("Paragon nr 1", "TRN26000001")});
}

TEST(PrinterReceipt, DiscountsSpreadOverTheSlotsAndASecondCurrencyPaymentGivesChange) {
    sim::VirtualPrinter printer;
    Wire wire(printer, kSaleTotalQuietMs);
    wire.Exchange(kOpen);
    wire.Send(Sale("Chleb pszenny", 1, 1000));
    wire.Send(WithAmount({0x1B, 0x18, '-'}, 100));
    wire.Send(Sale("Mleko UHT 3,2 procent", 2, 2000));
    wire.Send(WithAmount({0x1B, 0x18, ' '}, 50));
    wire.Send(Sale("Książka dla dzieci", 5, 1000));
    wire.Send(WithAmount({0x1B, 0x19, '-'}, 300));
    wire.Send(WithAmount({0x1B, 0x07}, 3650));
    Bytes currency{0x1B, 0x83, 'E', 'U', 'R'};
    Append(currency, "4,1234", 10);
    currency.push_back(1);
    wire.Send(WithAmount(currency, 970));
    Bytes payment = WithAmount({0x1B, 0x84}, 4000);
    payment.resize(payment.size() + 12, 0);
    wire.Send(payment);
    EXPECT_EQ(wire.Exchange(kEnd), (Bytes{0x06}));
    const sim::ReceiptTotals totals = printer.TotalsOf(*printer.LastEndedReceipt());
    EXPECT_EQ(totals.Slot(1).gross, 832);   // 900 less 68 (68,35)
    EXPECT_EQ(totals.Slot(2).gross, 1893);  // 2050 less 155 (155,70) and the 2 grosze left over
    EXPECT_EQ(totals.Slot(5).gross, 925);   // 1000 less 75 (75,95)
    EXPECT_EQ(totals.Slot(5).tax, 0);
    ExpectPrinted(printer,
                  {Row("Rabat", "-1,00 A"), Row("Narzut", "0,50 B"), Row("Rabat od sumy", "-3,00"),
                   Row("SPRZEDAŻ ZWOLNIONA G", "9,25"), Row("SUMA PLN", "36,50"),
                   Row("EUR 4,1234", "9,70 EUR"), Row("RESZTA", "3,50")});
}

enum class Fault { None, BlockedItem, NoPaper, CancelledOnRequest };

struct CancelCase {
    const char* name;
    char reason;                // 0: the receipt stands
    std::vector<Bytes> frames;  // after an opening and a line "Chleb pszenny" of 5,00
    bool declared = false;      // the opening declares 10,00
    Fault fault = Fault::None;
};

void Inject(sim::VirtualPrinter& printer, Fault fault) {
    if (fault == Fault::BlockedItem) printer.BlockItem("Piwo jasne.");
    if (fault == Fault::NoPaper) printer.SetPaperOut(true);
    if (fault == Fault::CancelledOnRequest) printer.CancelReceiptWith('T');
}

TEST(PrinterReceipt, CancelsWhatItCannotTakeAndNamesTheReason) {
    const std::string bread = "Chleb pszenny";
    const auto voidAt = [&bread](int32_t price) { return Item('-', bread, 1, 1000, price, 500); };
    const auto total = [](int32_t value) { return WithAmount({0x1B, 0x07}, value); };
    const auto lineDiscount = [](int32_t value) { return WithAmount({0x1B, 0x18, '-'}, value); };
    Bytes misplaced = Sale(bread, 1, 100);
    misplaced[31] = '1';  // the byte after the name is always '0'
    const CancelCase cases[] = {
        {"ten allowed characters", 0, {Sale("Chleb.....", 1, 100)}},
        {"nine allowed characters", 'J', {Sale("Mleko 3,2%", 1, 100)}},
        {"a rate the table leaves unused", 'F', {Sale(bread, 6, 100)}},
        {"a slot past G", 'F', {Sale(bread, 8, 100)}},
        {"a receipt of 999 999,99", 0, {Sale(bread, 1, 99999999 - 500)}},
        {"a receipt above 999 999,99", 'S', {Sale(bread, 1, 99999999 - 499)}},
        {"a value above 999 999,99", 'S', {Sale(bread, 1, 100000000)}},
        {"a negative price", 'S', {Item(' ', bread, 1, 1000, -1, 100)}},
        {"a void of the sold line", 0, {voidAt(500)}},
        {"a void at another price", 'K', {voidAt(499)}},
        {"a second void of the line", 'K', {voidAt(500), voidAt(500)}},
        {"a line discount of the whole line", 0, {lineDiscount(500)}},
        {"a line discount above the line", 'S', {lineDiscount(501)}},
        {"a percentage of 100", 'S', {{0x1B, 0x1B, 100}}},
        {"the right sale total", 0, {total(500)}},
        {"a sale total one grosz off", 'S', {total(501)}},
        {"a line after the sale total", 'S', {total(500), Sale(bread, 1, 100)}},
        {"a declared total the lines reach", 0, {Sale(bread, 1, 500), kSaleTotalAlone}, true},
        {"a declared total the lines miss", 'S', {kSaleTotalAlone}, true},
        {"a declared total missed at the end", 'S', {kEnd}, true},
        {"a negative payment", 'S', {Payment("Gotówka", -1)}},
        {"a line with its fields out of place", 'B', {misplaced}},
        {"a blocked item", 'C', {Sale("Piwo jasne.", 1, 100)}, false, Fault::BlockedItem},
        {"no paper", 'X', {Payment("Gotówka", 100)}, false, Fault::NoPaper},
        {"cancelled on request", 'T', {}, false, Fault::CancelledOnRequest},
    };
    for (const CancelCase& c : cases) {
        SCOPED_TRACE(c.name);
        sim::VirtualPrinter printer;
        Wire wire(printer, kSaleTotalQuietMs);
        ASSERT_EQ(wire.Exchange(c.declared ? WithAmount({0x1B, 0x20}, 1000) : kOpen),
                  (Bytes{0x06}));
        wire.Send(Sale(bread, 1, 500));
        Inject(printer, c.fault);
        for (const Bytes& frame : c.frames) wire.Send(frame);
        EXPECT_EQ(wire.Exchange(kReason), (Bytes{0x06, static_cast<uint8_t>(c.reason)}));
        EXPECT_EQ(printer.ReceiptOpen(), c.reason == 0);
        const bool printed = printer.Roll().AsUtf8().find("PARAGON ANULOWANY") != std::string::npos;
        EXPECT_EQ(printed, c.reason != 0);
        if (c.reason == 0) continue;
        EXPECT_EQ(wire.Exchange({0x1B, 0x54}), (Bytes{0x06, 0x00}));  // nothing left open
        printer.SetPaperOut(false);
        ASSERT_EQ(wire.Exchange(kOpen), (Bytes{0x06}));
        EXPECT_EQ(wire.Exchange(kReason), (Bytes{0x06, 0x00}));  // the opening forgets it
    }
}

struct StatusCase {
    int type;
    int version;
    const char* name;  // sold after the fault is set
    bool paperOut;
    Bytes status12;  // status bytes 1 and 2 after the cancellation
};

TEST(PrinterReceipt, OlderPrintersShowTheCancellationInTheirStatusBytesUntilTheNextOpening) {
    const StatusCase cases[] = {
        {2, 1, "Piwo jasne.", false, {0x20, 0x00}},  {2, 1, "Mleko 3,2%", false, {0x00, 0x10}},
        {2, 1, "Chleb pszenny", true, {0x00, 0x02}}, {1, 1, "Mleko 3,2%", false, {0x00, 0x10}},
        {3, 2, "Piwo jasne.", false, {0x20, 0x00}},  {3, 3, "Piwo jasne.", false, {0x00, 0x00}},
    };
    for (const StatusCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + "/" + std::to_string(c.version) + " " + c.name);
        sim::PrinterModel model;
        model.type = c.type;
        model.version = c.version;
        sim::VirtualPrinter printer(model);
        printer.BlockItem("Piwo jasne.");
        Wire wire(printer, kSaleTotalQuietMs);
        wire.Exchange({0x1B, 0x2A});
        wire.Exchange(kOpen);
        wire.Send(Sale("Chleb pszenny", 1, 500));
        EXPECT_EQ(wire.Exchange({0x1B, 0x54}), (Bytes{0x06, 0x00}));  // the receipt stands
        printer.SetPaperOut(c.paperOut);
        wire.Send(Sale(c.name, 1, 100));
        EXPECT_FALSE(printer.ReceiptOpen());
        EXPECT_EQ(wire.Exchange({0x1B, 0x54}), (Bytes{0x06, c.status12[0]}));
        EXPECT_EQ(wire.Exchange({0x1B, 0x55}).back() & ~0x01, c.status12[1]);  // busy aside
        const bool namesReason = c.type > 3 || c.version >= 3;
        EXPECT_EQ(wire.Exchange(kReason).front(), namesReason ? 0x06 : 0x15);
        printer.SetPaperOut(false);
        ASSERT_EQ(wire.Exchange(kOpen), (Bytes{0x06}));
        EXPECT_EQ(wire.Exchange({0x1B, 0x54}), (Bytes{0x06, 0x00}));
        EXPECT_EQ(wire.Exchange({0x1B, 0x55}).back() & ~0x01, 0x00);
    }
}

TEST(PrinterReceipt, AReceiptOpenWhenTheApplicationAnnouncesItselfIsLeftOpen) {
    sim::VirtualPrinter printer;
    Wire wire(printer, kSaleTotalQuietMs);
    wire.Exchange(kOpen);
    EXPECT_EQ(wire.Exchange({0x1B, 0x54}), (Bytes{0x06, 0x00}));
    wire.Exchange({0x1B, 0x2A});
    EXPECT_EQ(wire.Exchange({0x1B, 0x54}), (Bytes{0x06, 0x02}));
    EXPECT_EQ(wire.Exchange(kOpen), (Bytes{0x15}));
    EXPECT_EQ(wire.Exchange({0x1B, 0x23}), (Bytes{0x06}));
    EXPECT_EQ(wire.Exchange({0x1B, 0x54}), (Bytes{0x06, 0x00}));
    EXPECT_EQ(wire.Exchange(kReason), (Bytes{0x06, 0x00}));  // cancelled when asked: no reason
}

TEST(PrinterReceipt, TheEndIsRefusedWithoutAReceiptOrPaper) {
    sim::VirtualPrinter printer;
    Wire wire(printer, kSaleTotalQuietMs);
    EXPECT_EQ(wire.Exchange(kEnd), (Bytes{0x15}));
    EXPECT_EQ(wire.Exchange({0x1B, 0x23}), (Bytes{0x06}));  // nothing to cancel
    EXPECT_TRUE(printer.Roll().Lines().empty());
    wire.Exchange(kOpen);
    printer.SetPaperOut(true);
    EXPECT_EQ(wire.Exchange(kEnd), (Bytes{0x15}));
    EXPECT_TRUE(printer.ReceiptOpen());
    EXPECT_EQ(printer.State().receiptsToday, 0);
}

struct TextCase {
    int64_t value;
    const char* text;
};

TEST(PrinterReceipt, WritesAmountsAndQuantitiesAsAPolishReceiptDoes) {
    const TextCase amounts[] = {{0, "0,00"},
                                {5, "0,05"},
                                {123456, "1.234,56"},
                                {100000, "1.000,00"},
                                {99999999, "999.999,99"},
                                {-250, "-2,50"}};
    for (const TextCase& c : amounts) EXPECT_EQ(sim::AmountText(c.value), c.text);
    const TextCase quantities[] = {{2000, "2"}, {1500, "1,5"}, {5, "0,005"}, {-250, "-0,25"}};
    for (const TextCase& c : quantities) EXPECT_EQ(sim::QuantityText(c.value), c.text);
}

}  // namespace
}  // namespace tarn
