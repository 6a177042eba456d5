// The three card-terminal slips called with the fields a test names and the others at a
// default slip's values.
#pragma once

#include "tarn/tarn.h"

namespace tarn::test {

struct Eft {
    int status = 1, kind = 1, variant = 0, verification = 0, extraLines = 0;
    const char *text10 = "Terminal 1", *text70 = "VISA", *text80 = "4111********1111";
    int number30 = 30, numberP = 7, numberS = 123, number40 = 40, number50 = 50;
    const char *text01 = "t01", *textK = "K1", *text21 = "t21", *text31 = "t31", *text51 = "t51";
    int mark1 = 'C', mark2 = 'D', amount = 1234, cashback = 0, number51 = 51, responseCode = 0;
};

inline int Transaction(const Eft& e) {
    return mfPrEFT_Transaction(0, e.status, e.kind, e.variant, e.verification, e.text10, e.text70,
                               e.text80, e.number30, e.numberP, e.numberS, e.number40, e.number50,
                               e.text01, 0, e.textK, e.mark1, e.text21, e.text31, e.amount,
                               e.cashback, 0, 0, 0, 0, 0, 0, 0, 0, e.mark2, e.text51, e.number51,
                               e.responseCode, 0, e.extraLines, 0, 0, 0, 0);
}
inline int Reversal(const Eft& e) {
    return mfPrEFT_Reversal(0, e.status, e.kind, e.variant, 0, e.text10, e.text70, e.text80,
                            e.number30, e.numberP, e.numberS, e.number40, e.number50, e.text01, 0,
                            e.mark1, e.text21, e.text31, e.amount, 0, e.text51, e.number51, 0, 0);
}
inline int Offline(const Eft& e) {
    return mfPrEFT_RegisterOffline(0, e.status, e.kind, 0, e.text10, e.text70, e.text80, e.number30,
                                   e.numberP, e.number40, e.number50, e.text01, 0, e.mark1,
                                   e.text21, e.text31, e.amount, e.text51, e.number51, 0);
}

}  // namespace tarn::test
