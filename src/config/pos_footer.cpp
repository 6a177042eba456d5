// The printout's fixed parts and the point of sale: header, receipt, item names, footer,
// point-of-sale and cashier numbers.
#include "config/pos_footer.h"
#include "api/exported.h"

#include <cstdio>
#include <cstring>

#include "api/library.h"
#include "api/log.h"
#include "link/detail_codes.h"
#include "link/shared_commands.h"
#include "tarn/tarn.h"
#include "text/field_text.h"

namespace tarn {

CRequestPosNumbers::CRequestPosNumbers(int cashNo, int cashierNo) {
    AppendByte('C');
    for (const int number : {cashNo, cashierNo}) {
        AppendByte(static_cast<uint8_t>('0' + number / 10));
        AppendByte(static_cast<uint8_t>('0' + number % 10));
    }
}

std::string PrintableCharacters() {
    std::string set;
    for (int c = 0x20; c <= 0x7F; ++c) set += static_cast<char>(c);
    set +=
        "\x81\x82\x86\x88\x8A\x8B\x8D\x8F\x90\x92\x94\x97\x98\x99\x9A\x9D\xA0\xA1\xA2\xA3\xA4\xA5"
        "\xA8\xA9\xAB\xB5\xBD\xBE\xD6\xE0\xE3\xE4\xE9\xEB\xFB\xFE\xFF";
    return set;
}

}  // namespace tarn

using namespace tarn;

namespace {

constexpr int kFooterLines = 3;
constexpr int kFooterWidth = 40;
constexpr int kHighestPosNumber = 99;
constexpr uint8_t kFooterAnnouncement = 0x2E;  // '.'
constexpr int kGoOn = 6;
constexpr int kLineTaken = 0;
constexpr int kLastLineTaken = 202;

bool TwoDigits(int number) {
    return number >= 0 && number <= kHighestPosNumber;
}

void Store(int* target, int value) {
    if (target != nullptr) *target = value;
}

void StoreCharacters(char* buffer) {
    if (buffer == nullptr) return;
    const std::string set = PrintableCharacters();
    std::memcpy(buffer, set.c_str(), set.size() + 1);
}

// Line n: characters 40n to 40n+39 of the text, spaces past its end, then their exclusive OR.
void FooterRecord(const std::string& text, int line, uint8_t record[2 + kFooterWidth]) {
    record[0] = static_cast<uint8_t>(line);
    uint8_t check = 0;
    for (int i = 0; i < kFooterWidth; ++i) {
        const size_t at = static_cast<size_t>(line) * kFooterWidth + static_cast<size_t>(i);
        record[1 + i] = at < text.size() ? static_cast<uint8_t>(text[at]) : ' ';
        check ^= record[1 + i];
    }
    record[1 + kFooterWidth] = check;
}

// A printer that stops taking lines has not set the footer: -2 with 769, whatever it kept.
int DefineFooter(const Session& lib, const char* given) {
    if (!lib.capabilities.footer) return Succeeded(MF_NOT_PERFORMED);
    const std::string text = FieldText(given, static_cast<size_t>(kFooterLines) * kFooterWidth);
    for (int line = 0; line < kFooterLines; ++line) {
        int answer = 0;
        CRequestOneByte announce(kFooterAnnouncement, &answer, Framing::Unacknowledged);
        int result = Exchange(announce);
        if (result != 0) return result;
        if (answer != kGoOn) return Failed(kCodeOther);
        uint8_t record[2 + kFooterWidth];
        FooterRecord(text, line, record);
        CRequestRawBlock upload(record, sizeof record, &answer);
        result = Exchange(upload);
        LogResultF(result, "In mfDefFooter, result: %d", result);
        if (result != 0) return result;
        if (answer != kLineTaken && answer != kLastLineTaken) return Failed(kCodeOther);
    }
    return Succeeded();
}

}  // namespace

int tarn::exported::mfParHeader(Library&, int* first, int* second, int* third, char* text) {
    Store(first, 0);
    Store(second, 1);
    Store(third, 10);
    if (text != nullptr) text[0] = '\0';
    return Succeeded();
}

int tarn::exported::mfParTicket(Library&, int* first, int* second) {
    Store(first, 0);
    Store(second, 1);
    return Succeeded();
}

int tarn::exported::mfParPLU(Library&, int* limit, int* nameLength, char* characters) {
    Store(limit, 999999);
    Store(nameLength, 28);
    StoreCharacters(characters);
    return Succeeded();
}

int tarn::exported::mfParFooter(Library& lib, int* maxLines, int* lineLength, char* characters) {
    if (!lib.capabilities.footer) return Succeeded(MF_NOT_AVAILABLE);
    Store(maxLines, kFooterLines);
    Store(lineLength, kFooterWidth);
    LogInfoF("In mfParFooter, MaxLines%d, Lenght %d", kFooterLines, kFooterWidth);
    StoreCharacters(characters);
    return Succeeded();
}

int tarn::exported::mfDefFooter(Library& lib, const char* text) {
    return DefineFooter(lib, text);
}

int tarn::exported::mfParPOS(Library&, int* highestPos, int* highestCashier, int* third, tarn_arg) {
    Store(highestPos, kHighestPosNumber);
    Store(highestCashier, kHighestPosNumber);
    Store(third, 1);
    return Succeeded();
}

// The cashier is kept (cut to 30 characters) whether or not the printer took the numbers.
// Each number travels as two digit characters: one outside 0-99 is refused and nothing is
// kept or sent.
int tarn::exported::mfDefPOS(Library& lib, int cashNo, int cashierNo, const char* cashierName) {
    if (!TwoDigits(cashNo) || !TwoDigits(cashierNo)) {
        LogErrorF("In mfDefPOS, cashNo %d, cashierNo %d: out of range", cashNo, cashierNo);
        return Failed(kCodeOutOfRange);
    }
    CRequestPosNumbers request(cashNo, cashierNo);
    const int result = Exchange(request);
    LogResultF(result, "In mfDefPOS, cashNo %d, cashierNo %d, result: %d", cashNo, cashierNo,
               result);
    std::snprintf(lib.cashierName, sizeof lib.cashierName, "%s",
                  FieldText(cashierName, sizeof lib.cashierName - 1).c_str());
    lib.cashierNumber = cashierNo;
    return result;
}
