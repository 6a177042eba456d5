// The virtual printer's side of the protocol, byte by byte without the library: what it
// answers and refuses, how it splits what it hears into frames, what it sums, prints and
// cancels, its reports, forms, drawers and customer display.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "roll.h"
#include "text/cp852.h"
#include "virtual_printer.h"
#include "wire.h"

namespace tarn {
namespace {

using test::PrintedInOrder;
using test::Wire;
using Bytes = std::vector<uint8_t>;
using Lines = std::vector<std::string>;
using namespace std::string_literals;

const std::string kBread = "Chleb pszenny";

// "1B 07 E8": bytes in hex; "'ab": the characters after the quote, in code page 852.
Bytes Hex(const std::string& text) {
    if (!text.empty() && text[0] == '\'') {
        const std::string cp852 = Utf8ToCp852(text.substr(1));
        return Bytes(cp852.begin(), cp852.end());
    }
    Bytes out;
    for (size_t at = 0; at + 1 < text.size(); at += text[at] == ' ' ? 1 : 2) {
        if (text[at] != ' ')
            out.push_back(static_cast<uint8_t>(std::stoi(text.substr(at, 2), nullptr, 16)));
    }
    return out;
}

std::string HexOf(const std::string& bytes) {
    const char* digits = "0123456789ABCDEF";
    std::string hex;
    for (const char byte : bytes) hex += {digits[(byte >> 4) & 15], digits[byte & 15], ' '};
    return hex;
}

// Four bytes, low byte first.
std::string Amount(int32_t value) {
    return HexOf({char(value), char(value >> 8), char(value >> 16), char(value >> 24)});
}

std::string Text(const std::string& utf8, size_t width) {
    std::string text = Utf8ToCp852(utf8);
    text.resize(width, ' ');
    return HexOf(text);
}

// The sign, the name, '0', the quantity, 0x03, its unit, the price, ESC, the slot, the value.
std::string Item(char sign, const std::string& name, int slot, int32_t quantity, int32_t price,
                 int32_t value) {
    return "1B 06 " + HexOf({sign}) + Text(name, 28) + "30 " + Amount(quantity) + "03 " +
           Text("szt", 4) + Amount(price) + "1B " + HexOf({char(slot)}) + Amount(value);
}

std::string Sale(const std::string& name, int slot, int32_t value) {
    return Item(' ', name, slot, 1000, value, value);
}

std::string Payment(const std::string& name, int32_t amount) {
    return "1B 81 01 " + Text(name, 13) + Amount(amount);
}

std::string Row(const std::string& left, const std::string& right) {
    return left + std::string(40 - Utf8ToCp852(left + right).size(), ' ') + right;
}

// Sends `sent`, pieces apart by '|': bytes as Hex reads them, "~1200" ms of quiet, or what
// happens: "!connection" (a new host), "!paper out" (or "in"), "!day must close", "!cancel <r>",
// "!cashier away" (nobody closes a drawer), "!drawer <n>" (opened by hand), "!footer <line>".
Bytes Talk(sim::VirtualPrinter& printer, Wire& wire, const std::string& sent) {
    std::istringstream pieces(sent);
    for (std::string piece; std::getline(pieces, piece, '|');) {
        const std::string what = piece.substr(1, piece.find(' ') - 1);
        const std::string rest = piece.substr(piece.find(' ') + 1);
        if (piece[0] == '~') wire.Wait(std::stoll(what));
        if (piece[0] != '~' && piece[0] != '!') wire.Send(Hex(piece));
        if (piece[0] != '!') continue;
        if (what == "connection") wire.NewConnection();
        if (what == "paper") printer.SetPaperOut(rest == "out");
        if (what == "day") printer.State().dayMustClose = true;
        if (what == "cancel") printer.CancelReceiptWith(rest[0]);
        if (what == "cashier") printer.State().model.drawerClosesAfterMs = 0;
        if (what == "drawer") printer.OpenDrawer(std::stoi(rest));
        if (what == "footer") printer.State().footer[0] = Utf8ToCp852(rest);
    }
    return wire.Answer();
}

std::string ReceiptOf(const std::vector<std::string>& sales) {
    std::string sent = "1B 21";
    for (const std::string& sale : sales) sent += "|" + sale;
    return sent + "|1B 24";
}

struct Model : sim::PrinterModel {
    Model(int type, int version = 2, int display = 0) : sim::PrinterModel{type, version, display} {}
};

struct Script {
    std::string name;
    Model model;
    std::string sent;
    std::string answer;  // all the printer said, in hex
    // The frames it heard, when given, by kind and size: "C2 S1" is a command of two bytes,
    // then a stray byte ('R' refused, 'B' a raw block, 'F' a form, 'A' abandoned).
    const char* heard = "";
    Lines printed = {};  // lines printed, in this order
};

void Play(const Script& s) {
    SCOPED_TRACE(s.name);
    sim::VirtualPrinter printer(s.model);
    printer.BlockItem("Piwo jasne.");  // an item no script may sell
    Wire wire(printer);
    EXPECT_EQ(Talk(printer, wire, s.sent), Hex(s.answer));
    EXPECT_TRUE(PrintedInOrder(printer, s.printed));
    if (*s.heard == '\0') return;
    wire.Wait(2000);
    std::string heard;
    for (const sim::Frame& frame : printer.Frames())
        heard += "CRBFSA"[static_cast<int>(frame.kind)] + std::to_string(frame.bytes.size()) + " ";
    EXPECT_EQ(heard, s.heard + " "s);
}

TEST(PrinterCommands, AnswerAsThePrinterDoes) {
    // clang-format off
    const std::string lines =
        "'\x1b\x06 " + std::string(48, 'x') + "|'\x1b\x06" + std::string(48, 'y');
    const std::string blank(46, '0'), spaces = HexOf(std::string(40, ' '));  // 23 bytes, no dots
    const std::string old = "06 06 08FC 0320 01F4 0000 FFFF FFFF 0600";
    const std::string at = "06 06 0206 0102 0006 ";  // 2026-12-06, switched on at 10:00
    const std::string shift = "|1B 35|1B 55", table = "|1B D0|1B 55";
    const Script scripts[] = {
        // How it splits what it hears into frames.
        {"unknown command", 8, "1B 99", "15", "R2"},
        {"bytes outside a command", 8, "'ab|1B 66", "06 00 00", "S2 C2"},
        {"a command whose rest never comes", 8, "1B 43 30|~5000|1B 66", "06 06 00 00", "A3 C2"},
        {"an announced block that never comes", 8, "1B 2D|~5000|'a", "06", "C2 S1"},
        {"sale lines, with a sign byte or not", 8, lines + "|1B 66", "06 00 00", "C51 C50 C2"},
        {"a command longer than any fills the buffer and is dropped", 8,
         "'\x1b\x09" + std::string(5000, 'x') + "|1B 66", "06 00 00", "A4098 S904 C2"},
        // A new connection cuts a command short; one that waited for its optional field is
        // whole, and the next is taken at once. What the old host was not sent is lost.
        {"a new connection", 8, "1B 43 30|!connection|1B 66|1B 07|!connection|1B 66", "06 00 00",
         "A3 C2 C2 C2"},
        // A sale total alone, then quiet or ESC P apart; one in the same burst, after an 800 ms
        // head wait, one that starts like ESC P, one of 27 then no command byte.
        {"total", 8, "1B 07|~1200|1B 66|1B 07|~50|1B 50|~50", "06 00 00 06 00", "C2 C2 C2 C2"},
        {"total", 8, "1B 07 E8 03 00 00|1B 07|~800|E8 03 00 00|1B 07|~800|1B 50 00 00|1B 07|"
         "1B 00 00 00", "", "C6 C6 C6 C6"},
        {"a form in pieces", 8, "'\x1bs7010A\n30|1B 54|'40B\n|'90\x1bQ", "06 06 02", "C2 F18"},
        // What it refuses at a command's head, before the rest comes. A command it refuses
        // changes nothing, so one script tries several.
        {"with a receipt open: opening, day close, rates, report mode, a form, a logo row", 8,
         "1B 21|1B 21|1B 25|1B D4|1B 31|1B 73|1B 2D", "06 15 15 15 15 15 15"},
        {"without paper: opening, day close, rates, state printout, a form", 8,
         "!paper out|1B 21|1B 25|1B D4|1B 26|1B 73", "15 15 15 15 15"},
        {"nothing open; the day must close", 8, "1B 24|1B 23|!day must close|1B 21", "15 06 15"},
        {"a receipt the application did not open is left open", 8,
         "1B 21|1B 54|1B 2A|1B 54|1B 21|1B 23|1B 54|1B 50", "06 0600 06 0602 15 06 0600 0600"},
        {"the day open: rates, the clock", 8, "1B 21|1B 24|1B D4|1B 36", "06 06 15 15"},
        {"type 1: 0xD4; 'D' with the day open", 1, "1B D4|1B 21|1B 24|1B 44", "15 06 06 15"},
        {"whole percents on type 2", 2, "1B 44", "15"}, {"report mode on type 3", 3, "1B 31", "15"},
        {"type 4: reports by dates, footer; report mode", 4, "1B 28|1B 2E|1B 31", "15 15 06"},
        // Raw blocks after an accepted announcement. Logo rows: number, 24 bytes of dots, their
        // exclusive OR (0 taken, 1 refused). Footer lines: number, 40 characters, their exclusive
        // OR. Report descriptions: a kind byte and a range.
        {"logo rows: numbered like ESC, a wrong check byte, row 64", 8,
         "1B 2D|1B 80" + blank + "80|1B 2D|1B 80" + blank + "00|1B 2D|40 80" + blank + "80",
         "06 00 06 01 06 01", "C2 B26 C2 B26 C2 B26"},
        {"a logo row given back; row 64 asked back", 8,
         "1B 2D|05 F0" + blank + "F0|1B 2F|05|1B 2F|40",
         "06 00 06 05 00 F0" + blank + "06 15", "C2 B26 C2 B1 C2 B1"},
        {"footer lines 2 and 3", 8, "1B 2E|02" + spaces + "00|1B 2E|03" + spaces + "00",
         "06 00 06 01", "C2 B42 C2 B42"},
        {"reports: none stored; unknown kind", 8, "1B 31|01 01 00 01 00|1B 31|07", "06 03 06 02",
         "C2 B5 C2 B1"},
        // 0xD4: six rates in hundredths of a percent, 0xFFFF unused; 'D' on type 1: four in whole
        // percent. A table taken is printed (status byte 2: busy); one with a bad rate is dropped.
        {"six rates", 8, "1B D4 0898 02BC 01F4 0000 04D2 270F" + table,
         "06 06 0898 02BC 01F4 0000 04D2 270F 0601", "", Lines{Row("PTU F", "99,99%")}},
        {"a rate of 100%; one not in use", 8, "1B D4 0001 0002 0003 0004 2710 0005" + table +
         "|1B D4 0001 0002 0003 0004 FFFF 0005" + table,
         old + " 06 06 0001 0002 0003 0004 FFFF 0005 0601"},
        {"a negative whole percent, one of 100; whole percents", 1,
         "1B 44 16 07 FF 00|1B 44 64 07 05 00" + table + "|1B 44 16 07 05 00" + table,
         "06 " + old + " 06 06 0898 02BC 01F4 0000 FFFF FFFF 0601"},
        // '6', the direction (1 later), the minutes in two digits; then the clock and status
        // byte 2 (busy printing the change). The clock moves at most an hour, on the same date.
        {"back 15 minutes", 8, "1B 36 00 01 05" + shift, at + "0009 0405 0601", "",
         Lines{Row("Przed zmianą", "2026-12-06 10:00"), Row("Po zmianie", "2026-12-06 09:45")}},
        {"forward an hour", 8, "1B 36 01 06 00" + shift, at + "0101 0000 0601"},
        {"61 minutes, a units digit of 10, an unknown direction", 8,
         "1B 36 01 06 01|1B 36 00 01 0A|1B 36 02 01 00" + shift, "06 06 " + at + "0100 0000 0600"},
        {"to the last minute", 8, "~49800000|1B 36 01 00 09" + shift, at + "0203 0509 0601"},
        {"over midnight", 8, "~49800000|1B 36 01 01 00" + shift, at + "0203 0500 0600"},
        {"back over midnight", 8, "~50700000|1B 36 00 01 00" + shift,
         "06 06 0206 0102 0007 0000 0005 0600"},
        // 'W', 'X', 'Y' open drawers 1 to 3 (from type 8 only the first); status byte 3 then
        // clears the drawer's bit (0x08, 0x10, 0x20) until the cashier closes it after 3 s.
        {"W, X, Y a millisecond apart", 4,
         "1B 57|~1|1B 58|~1|1B 59|~2997|1B 56|~1|1B 56|~1|1B 56|~1|1B 56",
         "06 06 06 06 00 06 08 06 18 06 38"},
        {"X without a cashier", 4, "!cashier away|1B 58|1B 56|~3000|1B 56", "06 06 28 06 28"},
        {"X on type 8", 8, "1B 58|1B 56", "15 06 08"},  // the only drawer there is 1
        {"W, then opened by hand: it stays", 4, "1B 57|!drawer 1|~3000|1B 56", "06 06 30"},
        {"W again restarts the time", 4, "!drawer 3|1B 57|~2000|1B 57|~2000|1B 56|~1000|1B 56",
         "06 06 06 10 06 18"}};  // drawer 3, opened by hand, stays
    // clang-format on
    for (const Script& s : scripts) Play(s);
}

// After an opening and a line of 5,00: `frames` (answered `answered`), the reason query,
// status byte 1, a new opening and the reason query again. A cancelled receipt leaves nothing
// open and the new opening forgets the reason; a receipt that stands refuses it.
Script Cancelled(const char* name, char reason, const std::string& frames,
                 const std::string& answered = "", const std::string& opening = "1B 21") {
    const std::string before = opening + "|" + Sale(kBread, 1, 500) + "|";
    const std::string after = "|~1300|1B 50|1B 54|!paper in|1B 21|1B 50";
    const std::string answer =
        "06 " + answered + "06" + HexOf({reason}) + "0600 " + (reason ? "06 0600" : "15 0600");
    return {name,   8,  before + frames + after,
            answer, "", reason ? Lines{"           PARAGON ANULOWANY"} : Lines{}};
}

// Older printers name no reason: status byte 1 bit 0x20 for a blocked item, status byte 2 bit
// 0x10 for other causes (only the paper bit without paper). After an opening, a line and
// `frames`: status bytes 1 and 2 and the reason query (`shown`); a new opening clears them.
Script Older(const char* name, Model model, const std::string& frames, const std::string& shown) {
    return {name, std::move(model),
            "1B 21|" + Sale(kBread, 1, 500) + "|" + frames +
                "|~1000|1B 54|1B 55|1B 50|!paper in|1B 21|~1000|1B 54|1B 55",
            "06 " + shown + " 06 0600 0600"};
}

// A flood of bytes outside any command: the record keeps the latest, the count goes on.
TEST(PrinterCommands, KeepsABoundedRecordOfWhatItHeard) {
    sim::VirtualPrinter printer;
    Wire wire(printer);
    wire.Send(Bytes(1 << 20, 'x'));
    wire.Send(Hex("1B 66"));
    size_t kept = 0;
    for (const sim::Frame& frame : printer.Frames()) kept += frame.bytes.size();
    EXPECT_LE(kept, sim::ProtocolEngine::kRecordBytes);
    EXPECT_EQ(printer.Frames().back().bytes, Hex("1B 66"));
    EXPECT_EQ(printer.FramesReceived(), 1025u);  // runs of 1 KiB, then the command
}

// A receipt as the customer reads it: the receipt discounts (2,55 and 3,00) are spread by share:
// 130 grosze off A's 5,99, 195 off B's 9,00, 228 and the 2 left over off G's 10,50, the largest.
// The day's report: the counter, busy while it prints, the day need not close any more, a new
// counter.
TEST(PrinterReceipt, SumsPrintsAndCancelsReceiptsAndClosesTheDay) {
    // A name and its figures that would touch go on two lines.
    const std::string milk = "Mleko świeże 2 proc.";  // 20 characters, as many as its figures
    // clang-format off
    const std::string receipt = "!footer Dziękujemy za zakupy|1B 43 31323137|1B 21|" +
        Item(' ', kBread, 1, 1500, 399, 599) + "|" + Sale(milk, 2, 1000) + "|1B 18 2D" +
        Amount(100) + "|" + Sale("Masło ekstra", 1, 799) + "|" +
        Item('-', "Masło ekstra", 1, 1000, 799, 799) + "|" + Sale("Książka dla dzieci", 5, 1000) +
        "|1B 18 20" + Amount(50) + "|1B 1B 0A|1B 19 2D" + Amount(300) + "|1B 07" + Amount(1994) +
        "|'\x1b\x09>DO ZAP\n|" + Payment("Gotówka", 1000) + "|1B 83 " + HexOf("EUR") +
        Text("4,1234", 10) + "01" + Amount(970) + "|1B 84" + Amount(4000) + std::string(24, '0') +
        "|1B 24|1B 50 1B 66";
    const auto voidAt = [](int32_t price) { return Item('-', kBread, 1, 1000, price, 500); };
    const std::string misplaced = Sale(kBread, 1, 100).replace(3 * 31, 2, "31");  // not '0'
    const Script scripts[] = {
        {"a receipt", 8, receipt, "06 06 06 06 00 06 01 00", "",
         Lines{"Kasa: 12 Kasjer: 17", "            PARAGON FISKALNY",
               Row(kBread, "1,5 szt x3,99 5,99 A"), milk, Row("", "1 szt x10,00 10,00 B"),
               Row("Rabat", "-1,00 B"), Row("Storno: Masło ekstra", "1 szt x7,99 -7,99 A"),
               Row("Narzut", "0,50 G"), Row("Rabat 10%", "-2,55"), Row("Rabat od sumy", "-3,00"),
               Row("SPRZEDAŻ OPODATKOWANA A", "4,69"), Row("PTU A 23,00%", "0,88"),
               Row("SPRZEDAŻ OPODATKOWANA B", "7,05"), Row("PTU B 8,00%", "0,52"),
               Row("SPRZEDAŻ ZWOLNIONA G", "8,20"), Row("SUMA PTU", "1,40"),
               Row("SUMA PLN", "19,94"), "DO ZAP", Row("Gotówka", "10,00"),
               Row("EUR 4,1234", "9,70 EUR"), Row("Płatność w walucie", "40,00"),
               Row("RESZTA", "30,06"), "Dziękujemy za zakupy", Row("Paragon nr 1", "TRN26000001")}},
        {"a day of two receipts and a cancelled one", 8,
         ReceiptOf({Sale(kBread, 1, 1230), Sale("Mleko UHT 3,2 procent", 2, 1080)}) + "|" +
             ReceiptOf({Sale("Masło ekstra", 1, 2461), Sale("Książka dla dzieci", 5, 500)}) +
             "|1B 21|" + Sale("Piwo jasne pełne", 1, 999) +
             "|1B 23|!day must close|~10000|1B 66|1B 25|1B 55|1B 54|1B 66",
         "06 06 06 06 06 06 060200 06 0601 0600 060000", "",
         Lines{"         RAPORT DOBOWY FISKALNY", Row("Raport dobowy nr 0001", "2026-12-06"),
               Row("SPRZEDAŻ OPODATKOWANA A", "36,91"),
               Row("PTU A 23,00%", "6,90"),  // each receipt's tax, as it printed it
               Row("SPRZEDAŻ OPODATKOWANA B", "10,80"), Row("PTU B 8,00%", "0,80"),
               Row("SPRZEDAŻ ZWOLNIONA G", "5,00"), Row("SUMA PTU", "7,70"),
               Row("ŁĄCZNA NALEŻNOŚĆ", "52,71"), Row("Liczba paragonów", "2"),
               Row("Paragony anulowane", "1"), Row("Nr unikatowy", "TRN26000001")}},
        {"the state printout", 8,
         "1B 25|~5400000|" + ReceiptOf({Sale(kBread, 1, 123456)}) + "|1B 26", "06 06 06 06", "",
         Lines{"             STAN DRUKARKI", Row("Nr unikatowy", "TRN26000001"),
               Row("PTU A", "23,00%"), Row("PTU D", "0,00%"), Row("PTU E", "---"),
               Row("PTU F", "---"), Row("PTU G", "zwolniona"), Row("Paragonów w dobie", "1"),
               Row("Sprzedaż w dobie", "1.234,56"), Row("Raportów dobowych", "1"),
               Row("Ostatni raport dobowy", "2026-12-06 10:00"), Row("Zegar", "2026-12-06 11:30")}},
        {"a receipt at the rate set for E", 8,
         "1B D4 0898 0320 01F4 0000 0064 FFFF|" + ReceiptOf({Sale(kBread, 6, 10100)}), "06 06 06",
         "", Lines{Row("SPRZEDAŻ OPODATKOWANA E", "101,00"), Row("PTU E 1,00%", "1,00")}},
        Cancelled("a quantity of nothing", 0, Item(' ', kBread, 1, 0, 100, 0)),
        Cancelled("nine allowed characters", 'J', Sale("Mleko 3,2%", 1, 100)),
        Cancelled("a rate the table leaves unused", 'F', Sale(kBread, 6, 100)),
        Cancelled("a slot past G", 'F', Sale(kBread, 8, 100)),
        Cancelled("a receipt of 999 999,99", 0, Sale(kBread, 1, 99999999 - 500)),
        Cancelled("a receipt above 999 999,99", 'S', Sale(kBread, 1, 99999999 - 499)),
        Cancelled("a negative price", 'S', Item(' ', kBread, 1, 1000, -1, 100)),
        Cancelled("a void at another price", 'K', voidAt(499)),
        Cancelled("a second void of the line", 'K', voidAt(500) + "|" + voidAt(500)),
        Cancelled("a line discount of the whole line", 0, "1B 18 2D" + Amount(500)),
        Cancelled("a line discount above the line", 'S', "1B 18 2D" + Amount(501)),
        Cancelled("a line markup after a void", 'S', voidAt(500) + "|1B 18 20" + Amount(50)),
        Cancelled("a percentage of 100", 'S', "1B 1B 64"),
        Cancelled("a receipt discount above it", 'S', "1B 19 2D" + Amount(501)),
        Cancelled("a sale total one grosz off", 'S', "1B 07" + Amount(501)),
        Cancelled("a line after a total", 'S', "1B 07" + Amount(500) + "|" + Sale(kBread, 1, 100)),
        Cancelled("a declared total the lines miss", 'S', "1B 07", "", "1B 20" + Amount(1000)),
        Cancelled("a declared total missed at the end", 'S', "1B 24", "06", "1B 20" + Amount(1000)),
        Cancelled("a negative payment", 'S', Payment("Gotówka", -1)),
        Cancelled("a line with its fields out of place", 'B', misplaced),
        Cancelled("a blocked item", 'C', Sale("Piwo jasne.", 1, 100)),
        Cancelled("no paper", 'X', "!paper out|" + Payment("Gotówka", 100)),
        Cancelled("cancelled on request", 'T', "!cancel T"),
        Older("a blocked item on type 2", 2, Sale("Piwo jasne.", 1, 100), "0620 0600 15"),
        Older("no paper on type 2", 2, "!paper out|" + Sale(kBread, 1, 100), "0600 0602 15"),
        Older("a bad name on type 3", 3, Sale("Mleko 3,2%", 1, 100), "0600 0610 15"),
        Older("type 3 v3 names it", Model(3, 3), Sale("Piwo jasne.", 1, 100), "0600 0600 06 43")};
    // clang-format on
    for (const Script& s : scripts) Play(s);
}

// Over three daily reports: 2026-12-06 (sales at 23%), 12-07 (at 22%) and 12-09 (none). Each
// row: the description after report mode (kind 0 detailed or 3 summary and two dates, a digit
// a byte; or kind 1 and two numbers n = low + 255 x high), or below type 4 ESC '(' or ')' and
// two dates; the answer; the lines printed, in order. A slot taxed at two rates names none.
TEST(PrinterReports, PrintsTheRangeAskedForAndSaysWhetherItCould) {
    const std::string first = Row("Raport dobowy nr 0001", "2026-12-06");
    const std::string second = Row("Raport dobowy nr 0002", "2026-12-07");
    const std::string a22 = Row("PTU A 22,00%", "2,20"), summary = "              PODSUMOWANIE";
    // clang-format off
    const std::tuple<std::string, const char*, Lines> cases[] = {
        {"00 020601020006 020601020007", "00",
         {"            RAPORT OKRESOWY", "              SZCZEGÓŁOWY", first,
          Row("PTU A 23,00%", "2,30"), second, a22, Row("SPRZEDAŻ OPODATKOWANA A", "24,50"),
          Row("PTU A", "4,50"), Row("ŁĄCZNA NALEŻNOŚĆ", "35,30"), Row("Raportów dobowych", "2")}},
        {"03 020601020007 020601020301", "00", {summary, Row("Do", "2026-12-31"), a22}},
        {"01 01 00 02 00", "00", {"       RAPORT OKRESOWY WG NUMERÓW", first, second}},
        {"00 020600010001 020601020005", "03", {}},  // no daily report on those days
        {"03 020601020007 020601020006", "01", {}},  // start after stop
        {"00 020600020300 020601020301", "01", {}},  // the 30th of February
        {"00 020601020A06 020601020007", "01", {}},  // a digit above 9
        {"01 FF 00 01 01", "01", {}},                // a low part of 255
        {"1B 28 020601020006 020601020006", "06", {first, Row("Raportów dobowych", "1")}},
        {"1B 29 020601020001 020601020301", "06", {summary, Row("Raportów dobowych", "3")}}};
    // clang-format on
    for (const auto& [description, answer, printed] : cases) {
        SCOPED_TRACE(description);
        const bool older = description.rfind("1B", 0) == 0;
        sim::VirtualPrinter printer({older ? 3 : 8});
        Wire wire(printer);
        Talk(printer, wire,
             ReceiptOf({Sale(kBread, 1, 1230)}) +
                 "|1B 25|~86400000|1B D4 0898 0320 01F4 0000 FFFF FFFF|" +
                 ReceiptOf({Sale(kBread, 1, 1220), Sale("Mleko UHT 3,2 procent", 2, 1080)}) +
                 "|1B 25|~172800000|1B 25");
        const size_t before = printer.Roll().Lines().size();
        if (!older) printer.AnswerNextReportWith(5);  // a fault forced on one report: no printout
        const std::string asked = older ? "" : "1B 31 " + description + "|1B 31|";
        EXPECT_EQ(Talk(printer, wire, asked + description),
                  Hex((older ? "" : "06 05 06 ") + std::string(answer)));
        EXPECT_EQ(printer.Roll().Lines().size() > before, !printed.empty());
        EXPECT_TRUE(PrintedInOrder(printer, printed, before));
        EXPECT_FALSE(PrintedInOrder(printer, {Row("Raport dobowy nr 0003", "2026-12-09")}, before));
    }
}

const std::string kNonFiscal = "           WYDRUK NIEFISKALNY";
const std::string kRule(40, '-');
const std::string kSignature = "PODPIS ................................";

// The form code, then each item's line code, its text and LF; and the lines it prints, in this
// order. A record that breaks its form prints up to the break and says so. A label and a text
// that would touch go on two lines. A form record is acknowledged at its head, before its code
// comes: a form the printer does not store is taken and prints nothing (status byte 2 shows no
// printing), and no form stays open.
TEST(PrinterForms, EachFormPrintsItsLinesTheWayACustomerReadsThem) {
    const std::string broken = "            BŁĄD FORMULARZA";
    const std::string payer = "Przedsiębiorstwo Handlowe Tarn";  // 30 characters
    const Lines some = {kNonFiscal};
    // clang-format off
    const struct { std::string items; Lines printed; sim::PrinterModel model = {}; } cases[] = {
        {"2010KP 12/2026\n20" + payer + "\n30Zasilenie kasy\n40150,00\n70",
         {kNonFiscal, "", "          POKWITOWANIE WPŁATY", "", Row("NUMER", "KP 12/2026"),
          "WPŁACAJĄCY", Row("", payer), Row("TYTUŁ", "Zasilenie kasy"), Row("KWOTA", "150,00"), "",
          kSignature, "", kNonFiscal}},
        {"7010Z/15\n20Stolik 4\n3040Pizza\n502\n60bez cebuli\n7040Woda\n7090",
         {"            KWIT ZAMÓWIENIA", Row("NUMER", "Z/15"), Row("ZAMAWIAJĄCY", "Stolik 4"),
          kRule, Row("NAZWA", "Pizza"), Row("ILOŚĆ", "2"), Row("MODYFIKATOR", "bez cebuli"), "",
          Row("NAZWA", "Woda"), "", kRule, "", kNonFiscal}},
        {"5110ZW/7\n20Mleko 2%\n40  2 szt = -10,00  \n60Jan Kowalski\n70\n",
         {"              KWIT ZWROTU", "              ZWROT TOWARU", Row("NAZWA", "Mleko 2%"),
          Row("", "2 szt = -10,00"), Row("NAZWISKO", "Jan Kowalski"), kSignature}},
        {"8020401\n70T1\n4112  Transakcja potwierdzona \n32",
         {"             PŁATNOŚĆ KARTĄ", kRule, Row("Kasa", "1"), Row("TID", "T1"),
          "Ważna do: **/**", "        Transakcja potwierdzona", "Proszę obciążyć moje konto."}},
        {"8071PLN 12.34\n81CBK: 5.00\n",
         {Row("Sprzedaż", "PLN 12.34"), Row("Cashback", "CBK: 5.00")}},
        {"8081PLN 7.00\n", {Row("Uznanie", "PLN 7.00")}},
        {"2330235000\n32",
         {"            BON PRZEDPŁACONY", kRule, Row("Kwota", "5000"), "                SPRZEDAŻ"}},
        {"339021 1.234,50\n02OPAK. ZWROTNE\n2274-4,50\n55",
         {"           ROZLICZENIE ZMIANY", "               PRZYCHODY",
          Row("SPRZEDAŻ FISKALNA", "1.234,50"), "OPAK. ZWROTNE", Row("", "----------"),
          Row("RÓŻNICA", "-4,50"), kSignature}},
        {"3010KP 1\n55x\n409,99\n", {Row("NUMER", "KP 1"), broken, "", kNonFiscal}},  // no 55
        {"3030Zasilenie\n409,99\n", {"          POKWITOWANIE WYPŁATY", "", broken}},  // no title
        {"3010KP 1\n20Jan", {Row("NUMER", "KP 1"), broken}},                          // no LF
        {"70", {}, {4, 3}}, {"70", some, {4, 4}}, {"51", {}, {3, 5}}, {"51", some, {8, 2}},
        {"33", {}, {4, 4}}, {"33", some, {8, 2}}, {"23", some, {4, 4}}, {"23", {}, {4, 3}},
        {"30", some, {1, 2}}, {"80", some, {2, 2}}, {"99", {}, {10, 1}}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.items);
        sim::VirtualPrinter printer(c.model);
        Wire wire(printer);
        EXPECT_EQ(Talk(printer, wire, "'\x1bs" + c.items + "\x1bQ|1B 54 1B 55"),
                  Hex(c.printed.empty() ? "06 0600 0600" : "06 0600 0601"));
        EXPECT_TRUE(PrintedInOrder(printer, c.printed));
        EXPECT_FALSE(PrintedInOrder(printer, {Row("KWOTA", "9,99")}));  // it comes after a break
    }
}

// Each text goes to one display of its type in turn, on a printer with an open receipt of 15,00
// less 2,50, paid with 20,00, as ESC 'R', the text, ESC 'S' ("": the summary, ESC 0x80). Types 1
// and 2: nine seven-segment positions, a point lights the one before it; type 2 takes VT '0'
// (clear), '1' or '2' (an amount, '2' with "="), '3' (the total). Type 3: two lines of 20; CR
// home, VT clear, FF the second line, byte 0 a sign. The printer passes the display 30 bytes of
// a command's text.
TEST(PrinterDisplay, ShowsEachTextAsItsDisplayDrawsIt) {
    const std::string blank(20, ' ');
    // clang-format off
    const std::tuple<int, std::string, Lines> cases[] = {
        {0, "12.50\n", {}}, {1, "1,5\n", {"1.5       "}},
        {1, "1.5\n", {"1.5       "}},  // the same view again
        {1, "1..5\n", {"1..5      "}}, {1, ".5\n", {"5        "}},
        {1, "KASA MAX\n", {" ASA  A  "}}, {1, "123456789.\n", {"123456789."}},
        {1, "5%éż\n", {"5  ż     "}},  // signs and letters it cannot draw
        {1, "", {"=    12.50"}}, {2, "\v112.50\n", {"     12.50"}},
        {2, "\v2123456789\n", {"123456789"}},  // no room for "="
        {2, "\v0\v3", {"=    12.50"}}, {2, "\v20.05\n", {"=     0.05"}},
        {3, "\r\016\022\vChleb razowy\n\f12,5", {"Chleb razowy        ", "12,5                "}},
        {3, "\rBułka", {"Bułka razowy        ", "12,5                "}},
        {3, "\v\fXYZ 20%\n", {blank, " YZ 20%             "}},
        {3, "\vCena:\0 123456789012345678"s, {"Cena:█ 1234567890123", blank}},
        {3, "\r\vDo zaplaty" + blank.substr(10) + "\n\f12,50\n", {"Do zaplaty" + blank.substr(10),
                                                               "12,50" + blank.substr(5)}},
        {3, "\r\016\022\vDo zaplaty" + blank.substr(10) + "\n\f12,50\n",
         {"Do zaplaty" + blank.substr(10), "12,5" + blank.substr(4)}},  // 32 bytes
        {3, "", {"SUMA           12,50", "RESZTA          7,50"}}};
    // clang-format on
    for (int type = 0; type <= 3; ++type) {
        sim::VirtualPrinter printer(Model(8, 2, type));
        std::vector<Lines> heard;  // by a listener, each change once
        printer.OnDisplayChange([&heard](const Lines& lines) { heard.push_back(lines); });
        Wire wire(printer);
        Talk(printer, wire,
             "1B 21|" + Sale(kBread, 1, 1500) + "|1B 19 2D" + Amount(250) + "|" +
                 Payment("Gotówka", 2000));
        for (const auto& [displayType, text, view] : cases) {
            if (displayType != type) continue;
            SCOPED_TRACE(text);
            const size_t changes = heard.size() + (printer.DisplayLines() != view);
            EXPECT_EQ(Talk(printer, wire, text.empty() ? "1B 80" : "'\x1bR" + text + "\x1bS"),
                      Hex(text.empty() ? "" : "06"));
            EXPECT_EQ(printer.DisplayLines(), view);
            EXPECT_EQ(heard.size(), changes);
            EXPECT_EQ(heard.empty() ? Lines{} : heard.back(), view);
        }
    }
}

}  // namespace
}  // namespace tarn
