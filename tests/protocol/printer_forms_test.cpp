// The virtual printer's non-fiscal forms, cash drawers and customer display, byte by byte
// from the printer's side.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "text/cp852.h"
#include "virtual_printer.h"
#include "wire.h"

namespace tarn {
namespace {

using test::Wire;
using Bytes = std::vector<uint8_t>;
using Lines = std::vector<std::string>;
using namespace std::string_literals;

const Bytes kAck{0x06};
const Bytes kNak{0x15};
const Bytes kStatus1{0x1B, 0x54};
const Bytes kStatus3{0x1B, 0x56};

// A text right-aligned in its field, and the LF that ends it.
std::string Field(const std::string& utf8Text, size_t width) {
    const std::string text = Utf8ToCp852(utf8Text);
    return std::string(width > text.size() ? width - text.size() : 0, ' ') + text + "\n";
}

// An item with a text: the line code and its field.
std::string Item(const std::string& code, const std::string& utf8Text, size_t width) {
    return code + Field(utf8Text, width);
}

// ESC, 's', the form code, the items, ESC 'Q'.
Bytes FormRecord(const std::string& formCode, const std::string& items) {
    const std::string record = "\x1bs" + formCode + items + "\x1bQ";
    return Bytes(record.begin(), record.end());
}

sim::PrinterModel Model(int type, int version = 2, int displayType = 0) {
    sim::PrinterModel model;
    model.type = type;
    model.version = version;
    model.displayType = displayType;
    return model;
}

// The printout from its first "WYDRUK NIEFISKALNY" to its last, trailing spaces dropped.
Lines Printout(const sim::VirtualPrinter& printer) {
    Lines lines;
    for (const std::string& line : printer.Roll().Lines()) {
        std::string text = Cp852ToUtf8(line);
        while (!text.empty() && text.back() == ' ') text.pop_back();
        lines.push_back(text);
    }
    const auto marked = [](const std::string& line) {
        return line.find("WYDRUK NIEFISKALNY") != std::string::npos;
    };
    const auto first = std::find_if(lines.begin(), lines.end(), marked);
    const auto last = std::find_if(lines.rbegin(), lines.rend(), marked);
    if (first == lines.end()) return {};
    return Lines(first, last.base());
}

// `expected` appear in `lines` in this order, other lines possibly between them.
::testing::AssertionResult InOrder(const Lines& lines, const Lines& expected) {
    size_t at = 0;
    for (const std::string& line : expected) {
        while (at < lines.size() && lines[at] != line) ++at;
        if (at == lines.size()) {
            std::string printed;
            for (const std::string& l : lines) printed += l + "\n";
            return ::testing::AssertionFailure() << "missing \"" << line << "\" in:\n" << printed;
        }
        ++at;
    }
    return ::testing::AssertionSuccess();
}

TEST(PrinterForms, APayInPrintsTheTextsNextToThePrintersLabels) {
    sim::VirtualPrinter printer(Model(4));
    Wire wire(printer);
    const Bytes record =
        FormRecord("20", Item("10", "KP 12/2026", 20) + Item("20", "Jan Kowalski", 20) +
                             Item("30", "Zasilenie kasy", 20) + Item("40", "150,00", 20) + "70");
    ASSERT_EQ(record.size(), 1u + 99u);      // ESC and the record
    EXPECT_EQ(wire.Exchange(record), kAck);  // the closing pair gets no answer
    EXPECT_EQ(Printout(printer), (Lines{
                                     "           WYDRUK NIEFISKALNY",
                                     "",
                                     "          POKWITOWANIE WPŁATY",
                                     "",
                                     "NUMER                         KP 12/2026",
                                     "WPŁACAJĄCY                  Jan Kowalski",
                                     "TYTUŁ                     Zasilenie kasy",
                                     "KWOTA                             150,00",
                                     "",
                                     "PODPIS ................................",
                                     "",
                                     "           WYDRUK NIEFISKALNY",
                                 }));
}

struct FormCase {
    const char* what;
    std::string formCode;
    std::string items;
    Lines expected;  // in this order
};

TEST(PrinterForms, EachFormPrintsItsLinesTheWayACustomerReadsThem) {
    const FormCase cases[] = {
        {"pay-out",
         "30",
         Item("10", "KW 3", 20) + Item("20", "Anna Nowak", 20) + Item("40", "20,00", 20) + "70",
         {"          POKWITOWANIE WYPŁATY", "NUMER                               KW 3",
          "WYPŁACAJĄCY                   Anna Nowak", "KWOTA                              20,00",
          "PODPIS ................................"}},
        {"return",
         "51",
         Item("10", "ZW/7", 30) + Item("20", "Mleko 2%", 30) + "40" + "2 szt = -10,00" +
             std::string(16, ' ') + "\n" + "60" + "Jan Kowalski        \n" + "70\n",
         {"              KWIT ZWROTU", "              ZWROT TOWARU",
          "NUMER                               ZW/7", "NAZWA                           Mleko 2%",
          "                          2 szt = -10,00", "NAZWISKO                    Jan Kowalski",
          "PODPIS ................................"}},
        {"card payment confirmed with a PIN",
         "80",
         Item("10", "2026-12-06 10:00", 22) + "20" + Item("40", "1", 33) + Item("70", "T1", 34) +
             "11" + Item("21", "VISA", 32) + "41" + Item("71", "PLN 12.34", 30) + "12" +
             "Transakcja potwierdzona       \n" + "22" + "      kodem PIN               \n" + "32" +
             "42",
         {"             PŁATNOŚĆ KARTĄ", "Data transakcji         2026-12-06 10:00",
          "Kasa                                   1", "TID                                   T1",
          "Karta                               VISA", "Ważna do: **/**",
          "Sprzedaż                       PLN 12.34", "        Transakcja potwierdzona",
          "               kodem PIN", "Proszę obciążyć moje konto."}},
        {"card payment with cash back",
         "80",
         Item("71", "PLN 12.34", 30) + Item("81", "CBK: 5.00", 31),
         {"Sprzedaż                       PLN 12.34", "Cashback                       CBK: 5.00"}},
        {"card credit",
         "80",
         Item("81", "PLN 7.00", 31),
         {"Uznanie                         PLN 7.00"}},
        {"card reversal",
         "80",
         Item("02", "    UNIEWAŻNIENIE", 0) + "12 \n" + Item("22", "Transakcja unieważniona", 0),
         {"             UNIEWAŻNIENIE", "", "        Transakcja unieważniona"}},
        {"voucher",
         "23",
         "30" + Item("01", "  2026-12-06   ", 0) + Item("11", "   10:05   ", 0) +
             Item("23", "5000", 27) + "32",
         {"            BON PRZEDPŁACONY", "Data                          2026-12-06",
          "Godzina                            10:05", "Kwota                               5000",
          "                SPRZEDAŻ"}},
        {"shift settlement",
         "33",
         "20\n" + Item("30", "12", 10) + Item("70", "Jan Kowalski", 20) + "8090" +
             Item("21", "1.234,50", 20) + Item("41", "100,00", 20) + "02OPAK. ZWROTNE\n" +
             Item("12", "0,00", 20) + "2232" + Field("1.334,50", 20) + "52" +
             Item("82", "50,00", 20) + "14" + Item("34", " Gotówka PLN", 0) +
             Item("44", "1.284,50", 20) + Item("54", "1.280,00", 20) + "6474" + Field("-4,50", 20) +
             "55",
         {"           ROZLICZENIE ZMIANY", "NUMER                                 12",
          "KASJER                      Jan Kowalski", "               PRZYCHODY",
          "SPRZEDAŻ FISKALNA               1.234,50", "WPŁATA                            100,00",
          "OPAK. ZWROTNE", "RAZEM PRZYCHODY                 1.334,50", "                ROZCHODY",
          "WYPŁATA                            50,00", "               PŁATNOŚCI", "Gotówka PLN",
          "KASA                            1.284,50", "ZLICZONO                        1.280,00",
          "                              ----------", "RÓŻNICA                            -4,50",
          "PODPIS ................................"}},
    };
    for (const FormCase& c : cases) {
        SCOPED_TRACE(c.what);
        sim::VirtualPrinter printer(Model(8));
        Wire wire(printer);
        EXPECT_EQ(wire.Exchange(FormRecord(c.formCode, c.items)), kAck);
        EXPECT_TRUE(InOrder(Printout(printer), c.expected));
    }
}

TEST(PrinterForms, AFormIsRefusedWithoutPaper) {
    sim::VirtualPrinter printer(Model(8));
    printer.SetPaperOut(true);
    Wire wire(printer);
    EXPECT_EQ(wire.Exchange({0x1B, 's'}), kNak);
    EXPECT_FALSE(printer.State().formOpen);
}

TEST(PrinterForms, AnOrderArrivesInPiecesAndPrintsWhenItCloses) {
    sim::VirtualPrinter printer(Model(8));
    Wire wire(printer);
    const std::string head = "\x1bs70" + Item("10", "Z/15", 27) + Item("20", "Stolik 4", 33) + "30";
    EXPECT_EQ(wire.Exchange(Bytes(head.begin(), head.end())), kAck);
    EXPECT_EQ(wire.Exchange(kStatus1), (Bytes{0x06, 0x02}));  // a document stands open
    const std::string line1 =
        Item("40", "Pizza", 33) + Item("50", "2", 27) + Item("60", "bez cebuli", 33) + "70";
    const std::string line2 = Item("40", "Woda", 33) + "70";
    wire.Send(Bytes(line1.begin(), line1.end()));
    wire.Send(Bytes(line2.begin(), line2.end()));
    EXPECT_TRUE(Printout(printer).empty());  // nothing printed before the form closes
    EXPECT_TRUE(wire.Exchange({'9', '0', 0x1B, 'Q'}).empty());
    EXPECT_EQ(Printout(printer), (Lines{
                                     "           WYDRUK NIEFISKALNY",
                                     "",
                                     "            KWIT ZAMÓWIENIA",
                                     "",
                                     "NUMER                               Z/15",
                                     "ZAMAWIAJĄCY                     Stolik 4",
                                     std::string(40, '-'),
                                     "NAZWA                              Pizza",
                                     "ILOŚĆ                                  2",
                                     "MODYFIKATOR                   bez cebuli",
                                     "",
                                     "NAZWA                               Woda",
                                     "",
                                     std::string(40, '-'),
                                     "",
                                     "           WYDRUK NIEFISKALNY",
                                 }));
    EXPECT_EQ(wire.Exchange(kStatus1), (Bytes{0x06, 0x00}));
}

struct StoredCase {
    int type;
    int version;
    std::string formCode;
    bool prints;
};

TEST(PrinterForms, AFormThePrinterTypeLacksIsTakenAndPrintsNothing) {
    const StoredCase cases[] = {
        {4, 3, "70", false}, {4, 4, "70", true}, {3, 5, "51", false}, {8, 2, "51", true},
        {4, 4, "33", false}, {8, 2, "33", true}, {4, 4, "23", true},  {4, 3, "23", false},
        {1, 2, "20", true},  {1, 2, "30", true}, {2, 2, "80", true},  {10, 1, "99", false},
    };
    for (const StoredCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + "/" + std::to_string(c.version) + " " + c.formCode);
        sim::VirtualPrinter printer(Model(c.type, c.version));
        Wire wire(printer);
        EXPECT_EQ(wire.Exchange(FormRecord(c.formCode, "")), kAck);
        EXPECT_EQ(!Printout(printer).empty(), c.prints);
        EXPECT_FALSE(printer.State().formOpen);
        EXPECT_EQ(wire.Kinds().back(), sim::FrameKind::Form);
    }
}

struct BrokenCase {
    const char* what;
    std::string items;
    Lines expected;
};

TEST(PrinterForms, ARecordThatBreaksItsFormPrintsUpToTheBreakAndSaysSo) {
    const BrokenCase cases[] = {
        {"a line code the form lacks",
         Item("10", "KP 1", 20) + Item("55", "x", 20) + Item("40", "9,99", 20),
         {"NUMER                               KP 1", "            BŁĄD FORMULARZA", "",
          "           WYDRUK NIEFISKALNY"}},
        {"a pay-in's title line on a pay-out",
         Item("30", "Zasilenie", 20),
         {"          POKWITOWANIE WYPŁATY", "", "            BŁĄD FORMULARZA"}},
        {"a text without its line feed",
         Item("10", "KP 2", 20) + "20Jan",
         {"NUMER                               KP 2", "            BŁĄD FORMULARZA"}},
        {"half a line code",
         Item("10", "KP 3", 20) + "7",
         {"NUMER                               KP 3", "            BŁĄD FORMULARZA"}},
    };
    for (const BrokenCase& c : cases) {
        SCOPED_TRACE(c.what);
        sim::VirtualPrinter printer(Model(8));
        Wire wire(printer);
        EXPECT_EQ(wire.Exchange(FormRecord("30", c.items)), kAck);
        const Lines printout = Printout(printer);
        EXPECT_TRUE(InOrder(printout, c.expected));
        EXPECT_FALSE(InOrder(printout, {"KWOTA                               9,99"}));
    }
}

// Status byte 3's drawer bits: 0x08, 0x10, 0x20 for drawers 1 to 3, 1 while closed.
uint8_t DrawerBits(Wire& wire) {
    const Bytes answer = wire.Exchange(kStatus3);
    return answer.size() == 2 ? static_cast<uint8_t>(answer[1] & 0x38) : 0xFF;
}

struct DrawerCase {
    uint8_t command;
    int drawer;
    uint8_t bitsWhileOpen;
};

TEST(PrinterFormsDrawers, EachCommandOpensItsDrawerUntilTheCashierClosesIt) {
    const DrawerCase cases[] = {{'W', 1, 0x30}, {'X', 2, 0x28}, {'Y', 3, 0x18}};
    for (const DrawerCase& c : cases) {
        SCOPED_TRACE(c.drawer);
        sim::VirtualPrinter printer(Model(4));
        Wire wire(printer);
        EXPECT_EQ(DrawerBits(wire), 0x38);
        EXPECT_EQ(wire.Exchange({0x1B, c.command}), kAck);
        EXPECT_TRUE(printer.DrawerOpen(c.drawer));
        EXPECT_EQ(DrawerBits(wire), c.bitsWhileOpen);
        wire.Wait(2999);
        EXPECT_EQ(DrawerBits(wire), c.bitsWhileOpen);
        wire.Wait(1);
        EXPECT_EQ(DrawerBits(wire), 0x38);
        EXPECT_FALSE(printer.DrawerOpen(c.drawer));
    }
}

TEST(PrinterFormsDrawers, OpeningAgainRestartsTheCashiersTime) {
    sim::VirtualPrinter printer(Model(4));
    Wire wire(printer);
    wire.Exchange({0x1B, 'W'});
    wire.Wait(2000);
    wire.Exchange({0x1B, 'W'});
    wire.Wait(2000);
    EXPECT_TRUE(printer.DrawerOpen(1));
    wire.Wait(1000);
    EXPECT_FALSE(printer.DrawerOpen(1));
}

TEST(PrinterFormsDrawers, FromType8OnlyTheFirstDrawerExists) {
    sim::VirtualPrinter printer(Model(8));
    Wire wire(printer);
    EXPECT_EQ(wire.Exchange({0x1B, 'X'}), kNak);
    EXPECT_EQ(wire.Exchange({0x1B, 'Y'}), kNak);
    EXPECT_EQ(DrawerBits(wire), 0x08);
    EXPECT_EQ(wire.Exchange({0x1B, 'W'}), kAck);
    EXPECT_EQ(DrawerBits(wire), 0x00);
    printer.OpenDrawer(2);
    EXPECT_FALSE(printer.DrawerOpen(2));
}

TEST(PrinterFormsDrawers, ADrawerOpenedByHandOrWithoutACashierStaysOpen) {
    sim::PrinterModel model = Model(4);
    model.drawerClosesAfterMs = 0;
    sim::VirtualPrinter printer(model);
    Wire wire(printer);
    wire.Exchange({0x1B, 'X'});
    printer.OpenDrawer(3);
    wire.Wait(3600 * 1000);
    EXPECT_EQ(DrawerBits(wire), 0x08);
    printer.CloseDrawer(2);
    EXPECT_EQ(DrawerBits(wire), 0x18);
    EXPECT_TRUE(printer.DrawerOpen(3));
}

// The display command: 'R', the text, ESC 'S'.
Bytes DisplayCommand(const std::string& utf8Text) {
    const std::string wire = "\x1bR" + Utf8ToCp852(utf8Text) + "\x1bS";
    return Bytes(wire.begin(), wire.end());
}

struct ViewCase {
    std::string text;
    Lines view;
};

std::unique_ptr<sim::VirtualPrinter> DisplayPrinter(int displayType) {
    auto printer = std::make_unique<sim::VirtualPrinter>(Model(4, 2, displayType));
    printer->State().receipt.lines.push_back({});
    printer->State().receipt.lines.back().value = 1250;  // the receipt a summary shows
    return printer;
}

// Each text in turn on one display, or each on a display of its own.
void ExpectViews(int displayType, const std::vector<ViewCase>& steps, bool freshEachStep) {
    auto printer = DisplayPrinter(displayType);
    for (const ViewCase& step : steps) {
        SCOPED_TRACE(step.text);
        if (freshEachStep) printer = DisplayPrinter(displayType);
        Wire wire(*printer);
        EXPECT_EQ(wire.Exchange(DisplayCommand(step.text)), kAck);
        EXPECT_EQ(printer->DisplayLines(), step.view);
    }
}

TEST(PrinterFormsDisplay, TheNinePositionDisplayLightsAPointOnThePositionBefore) {
    ExpectViews(1,
                {
                    {"12.50     \n", {"12.50     "}},
                    {"1,5\n", {"1.5       "}},
                    {"1..5\n", {"1..5      "}},
                    {".5\n", {"5        "}},  // no position before the point
                    {"_.5\n", {"_.5       "}},
                    {"KASA MAX\n", {" ASA  A  "}},  // seven segments draw no K, M, X
                    {"1234567890\n", {"123456789"}},
                    {"123456789.\n", {"123456789."}},
                },
                true);
}

TEST(PrinterFormsDisplay, TheType2DisplayTakesControlSequences) {
    ExpectViews(2,
                {
                    {"\x0b"
                     "112.50\n",
                     {"     12.50"}},
                    {"\x0b"
                     "20.05\n",
                     {"=     0.05"}},
                    {"\x0b"
                     "0",
                     {"         "}},
                    {"Chleb\n", {"Chleb    "}},
                    {"\x0b"
                     "0\x0b"
                     "3",
                     {"=    12.50"}},  // the receipt's summary
                },
                false);
}

TEST(PrinterFormsDisplay, TheTwoLineDisplayTakesHomeClearLineEndsAndFormFeed) {
    const std::string blank(20, ' ');
    ExpectViews(3,
                {
                    {"\r\x0e\x12\x0b"
                     "Chleb razowy        \n\x0c"
                     "12,5",
                     {"Chleb razowy        ", "12,5                "}},
                    {"\rBułka", {"Bułka razowy        ", "12,5                "}},
                    {"\x0b", {blank, blank}},
                    {"\x0c"
                     "XYZ 20%\n",
                     {blank, " YZ 20%             "}},
                    {"\x0b"
                     "Cena:\x00 123456789012345678"s,
                     {"Cena:█ 1234567890123", blank}},
                },
                false);
}

TEST(PrinterFormsDisplay, WithoutADisplayTextsAreTakenAndNothingShows) {
    sim::VirtualPrinter printer(Model(4, 2, 0));
    Wire wire(printer);
    EXPECT_EQ(wire.Exchange(DisplayCommand("12.50\n")), kAck);
    EXPECT_TRUE(wire.Exchange({0x1B, 0x80}).empty());
    EXPECT_TRUE(printer.DisplayLines().empty());
}

struct SummaryCase {
    int displayType;
    Lines view;
};

TEST(PrinterFormsDisplay, TheSummaryShowsTheReceiptsTotalAndChange) {
    const SummaryCase cases[] = {
        {1, {"=    12.50"}},
        {2, {"=    12.50"}},
        {3, {"SUMA           12,50", "RESZTA          7,50"}},
    };
    for (const SummaryCase& c : cases) {
        SCOPED_TRACE(c.displayType);
        sim::VirtualPrinter printer(Model(8, 2, c.displayType));
        sim::Receipt& receipt = printer.State().receipt;
        receipt.lines.push_back({});
        receipt.lines.back().value = 1500;
        receipt.receiptAdjustment = -250;
        receipt.payments.push_back({0x81, 0, "Gotówka", 2000});
        Wire wire(printer);
        EXPECT_TRUE(wire.Exchange({0x1B, 0x80}).empty());  // not acknowledged
        EXPECT_EQ(printer.DisplayLines(), c.view);
    }
}

TEST(PrinterFormsDisplay, AListenerHearsEachChangeOnce) {
    sim::VirtualPrinter printer(Model(4, 2, 1));
    std::vector<Lines> heard;
    printer.OnDisplayChange([&heard](const Lines& lines) { heard.push_back(lines); });
    Wire wire(printer);
    wire.Exchange(DisplayCommand("12.50\n"));
    wire.Exchange(DisplayCommand("12.50\n"));
    wire.Exchange(DisplayCommand("3\n"));
    EXPECT_EQ(heard, (std::vector<Lines>{{"12.50     "}, {"3        "}}));
}

}  // namespace
}  // namespace tarn
