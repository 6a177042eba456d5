#include "receipt/receipt_commands.h"

namespace tarn {

namespace {

constexpr uint8_t kSignFor(int kind) {
    return kind == 0 ? '-' : ' ';
}

}  // namespace

char TaxLetter(int ptu) {
    const char letter = static_cast<char>(ptu & 0xFF);
    if (letter >= 'A' && letter <= 'G') return letter;
    if (letter >= 'a' && letter <= 'g') return static_cast<char>(letter - 'a' + 'A');
    return 0;
}

uint8_t TaxSlot(char letter) {
    switch (letter) {
        case 'B': return 2;
        case 'C': return 3;
        case 'D': return 4;
        case 'E': return 6;
        case 'F': return 7;
        case 'G': return 5;
        default: return 1;
    }
}

CRequestBeginTicket::CRequestBeginTicket(int32_t total) {
    AppendByte(total >= 1 ? 0x20 : 0x21);
    if (total >= 1) AppendInt32(total);
}

CRequestItemLine::CRequestItemLine(const char* name, char ptu, const char* quantityText,
                                   int32_t price, int32_t quantity, int32_t value, int kind)
    : CRequest(Framing::Unacknowledged) {
    AppendByte(0x06);
    if (kind == kSale) AppendByte(' ');
    if (kind == kVoid) AppendByte('-');
    AppendText(name, 28, Align::Left, ' ');
    AppendByte('0');
    AppendInt32(quantity);
    AppendByte(0x03);
    AppendText(quantityText, 3, Align::Left, ' ');
    AppendByte(' ');
    AppendInt32(price);
    AppendByte(0x1B);
    AppendByte(TaxSlot(ptu));
    AppendInt32(value);
}

CRequestCancelTicket::CRequestCancelTicket() {
    AppendByte(0x23);
}

CRequestPercentDiscount::CRequestPercentDiscount(int percent) : CRequest(Framing::Unacknowledged) {
    AppendByte(0x1B);
    AppendByte(static_cast<uint8_t>(percent));
}

CRequestTicketDiscount::CRequestTicketDiscount(int kind, int32_t value)
    : CRequest(Framing::Unacknowledged) {
    AppendByte(0x19);
    if (kind == 0 || kind == 1) AppendByte(kSignFor(kind));
    AppendInt32(value);
}

CRequestSaleTotal::CRequestSaleTotal(int64_t total) : CRequest(Framing::Unacknowledged) {
    AppendByte(0x07);
    if (total >= 1) AppendInt32(static_cast<int32_t>(total));
}

CRequestExtraLine::CRequestExtraLine(uint8_t lineKind, int width, const char* text)
    : CRequest(Framing::Unacknowledged) {
    AppendByte(0x09);
    AppendByte(lineKind);
    AppendText(text, width, Align::Left, ' ');
    AppendByte(0x0A);
}

CRequestPayment::CRequestPayment(int kind, int index, const char* name, int32_t amount)
    : CRequest(Framing::Unacknowledged) {
    AppendByte(kind == 0 ? 0x81 : 0x82);
    AppendByte(static_cast<uint8_t>(index));
    AppendText(name, 13, Align::Left, ' ');
    AppendInt32(amount);
}

CRequestEndTicket::CRequestEndTicket() {
    AppendByte(0x24);
}

CRequestSecondCurrency::CRequestSecondCurrency(const char* code, const char* rateText, uint8_t flag,
                                               int32_t amount)
    : CRequest(Framing::Unacknowledged) {
    AppendByte(0x83);
    AppendText(code, 3, Align::Left, ' ');
    AppendText(rateText, 10, Align::Left, ' ');
    AppendByte(flag);
    AppendInt32(amount);
}

CRequestSecondCurrencyPayment::CRequestSecondCurrencyPayment(int32_t amount)
    : CRequest(Framing::Unacknowledged) {
    AppendByte(0x84);
    AppendInt32(amount);
    for (int i = 0; i < 12; ++i) AppendByte(0);
}

CRequestLineDiscount::CRequestLineDiscount(int kind, int32_t value)
    : CRequest(Framing::Unacknowledged) {
    AppendByte(0x18);
    if (kind == 0 || kind == 1) AppendByte(kSignFor(kind));
    AppendInt32(value);
}

}  // namespace tarn
