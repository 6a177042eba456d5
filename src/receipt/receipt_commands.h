// The printer commands of the fiscal receipt. None of them is answered; the lines, discounts,
// totals and payments are not acknowledged either.
#pragma once

#include <cstdint>

#include "link/request.h"

namespace tarn {

// 0x20 and the declared total (1 or more), or 0x21 for a receipt without one.
class CRequestBeginTicket : public CRequest {
public:
    explicit CRequestBeginTicket(int32_t total);
};

// 0x06, the sign (' ' sale, '-' void), the name in 28 bytes, '0', quantity, 0x03, the quantity
// text in 4 bytes (its first 3, then spaces), price, ESC, the tax slot, value: 50 bytes.
class CRequestItemLine : public CRequest {
public:
    static constexpr int kSale = 1;
    static constexpr int kVoid = -1;
    CRequestItemLine(const char* name, char ptu, const char* quantityText, int32_t price,
                     int32_t quantity, int32_t value, int kind);
};

// '#': cancels the open receipt.
class CRequestCancelTicket : public CRequest {
public:
    CRequestCancelTicket();
};

// 0x1B and a whole percent.
class CRequestPercentDiscount : public CRequest {
public:
    explicit CRequestPercentDiscount(int percent);
};

// 0x19, '-' (kind 0) or ' ' (kind 1), value.
class CRequestTicketDiscount : public CRequest {
public:
    CRequestTicketDiscount(int kind, int32_t value);
};

// 0x07, and the total when it is 1 or more.
class CRequestSaleTotal : public CRequest {
public:
    explicit CRequestSaleTotal(int64_t total);
};

// 0x09, the line kind, the text in a field of `width` bytes, LF.
class CRequestExtraLine : public CRequest {
public:
    CRequestExtraLine(uint8_t lineKind, int width, const char* text);
};

// 0x81 (kind 0) or 0x82, index, the name in 13 bytes, amount: 19 bytes.
class CRequestPayment : public CRequest {
public:
    CRequestPayment(int kind, int index, const char* name, int32_t amount);
};

// '$': ends the receipt.
class CRequestEndTicket : public CRequest {
public:
    CRequestEndTicket();
};

// 0x83, the currency code in 3 bytes, the rate text in 10, a flag, the converted amount.
class CRequestSecondCurrency : public CRequest {
public:
    CRequestSecondCurrency(const char* code, const char* rateText, uint8_t flag, int32_t amount);
};

// 0x84, the payment in grosze, 12 zero bytes.
class CRequestSecondCurrencyPayment : public CRequest {
public:
    explicit CRequestSecondCurrencyPayment(int32_t amount);
};

// 0x18, '-' (kind 0, discount) or ' ' (kind 1, markup), value: on the last sale line.
class CRequestLineDiscount : public CRequest {
public:
    CRequestLineDiscount(int kind, int32_t value);
};

// The tax letter in the low byte of a caller's `ptu`: "A"-"G", with "a"-"g" read as the same
// letters; 0 for any other byte, a rate the printer does not have.
char TaxLetter(int ptu);
// The item line's tax slot of a tax letter: A-D are 1-4, E 6, F 7, G 5.
uint8_t TaxSlot(char letter);

}  // namespace tarn
