// The whole exported interface, the one table that everything else follows: each name with its
// ordinal, the entry point it uses (names that share one have the same address), how it is
// built and its parameters. The build writes the public header's declarations (in this order,
// with these comments and blank lines), TARN.dll's module definition file and the declarations
// of the families' functions (api/exported.h) from it; api/exports.cpp makes each export's frame
// from it; the export tests check every library against it. A new export is one row here and its
// function tarn::exported::<name>, handed the session and the row's parameters.
//
// X(name, ordinal, entry point, kind, (parameters))
//   kind, for a name with its own function, what its frame asks before calling it: ANY nothing;
//   SESSION a session (else -1, mfErrorL 0); NO_DOCUMENT a session and no document open (else
//   -2, 779); IN_RECEIPT a session and an open receipt (else -2, 780). SHARED: another name's
//   function. FIXED: a fixed-answer entry point of api/exports.cpp. Each argument is 32 bits on
//   32-bit Windows (an integer or a pointer): the count of parameters gives the stack bytes of
//   stdcall.
#pragma once

#define TARN_INTERFACE(X)                                                                          \
    /* Session. */                                                                                 \
    X(mfStart, 410, mfStart, ANY, (int unused1, int port))                                         \
    X(mfStart2, 412, mfStart2, ANY,                                                                \
      (tarn_arg unused1, tarn_arg unused2, int port, tarn_arg unused4, tarn_arg unused5,           \
       tarn_arg unused6, tarn_arg unused7, tarn_arg unused8, tarn_arg unused9, tarn_arg unused10,  \
       tarn_arg unused11, tarn_arg unused12, tarn_arg unused13, tarn_arg unused14,                 \
       tarn_arg unused15, tarn_arg unused16, tarn_arg unused17, tarn_arg unused18))                \
    /* Answers 1 and opens no session; none of its arguments is read. */                           \
    X(mfStart3, 413, mfStart3, ANY,                                                                \
      (tarn_arg unused1, tarn_arg unused2, tarn_arg unused3, tarn_arg unused4, tarn_arg unused5,   \
       tarn_arg unused6, tarn_arg unused7, tarn_arg unused8, tarn_arg unused9, tarn_arg unused10,  \
       tarn_arg unused11, tarn_arg unused12, tarn_arg unused13, tarn_arg unused14,                 \
       tarn_arg unused15, tarn_arg unused16, tarn_arg unused17, tarn_arg unused18,                 \
       tarn_arg unused19, tarn_arg unused20, tarn_arg unused21))                                   \
    X(mfStop, 411, mfStop, ANY, (void))                                                            \
                                                                                                   \
    /* Detail codes, texts and the diagnostic log. */                                              \
    X(mfError, 1410, mfError, ANY, (void))                                                         \
    /* Each buffer holds 39 bytes. */                                                              \
    X(mfParMessage, 340, mfParMessage, SESSION, (int code, char* classText, char* detailText))     \
    X(mfSetDebugLevel, 205, mfSetDebugLevel, ANY, (int level))                                     \
    /* `buffer` holds *width + 1 bytes; *width receives the entry's longest text (38 or 25). */    \
    X(mfParString, 460, mfParString, SESSION, (int index, char* buffer, int* width))               \
    X(mfDefString, 461, mfDefString, SESSION, (int index, const char* text))                       \
    /* Parameter 11 names the logo file that mfStart loads into printers of type 8 and above. */   \
    X(mfDefConfigParam, 482, mfDefConfigParam, ANY,                                                \
      (int parameter, tarn_arg unused2, const char* text))                                         \
                                                                                                   \
    /* Information queries. */                                                                     \
    X(mfGetTime, 210, mfGetTime, NO_DOCUMENT, (int* hour, int* minute))                            \
    /* The year in two digits (26 for 2026), then the month and the day: the printer's order. */   \
    X(mfGetDate, 220, mfGetDate, NO_DOCUMENT, (int* year, int* month, int* day))                   \
    X(mfGetLastTicketNo, 250, mfGetLastTicketNo, SESSION, (int* number))                           \
    X(mfGetTax, 260, mfGetTax, SESSION,                                                            \
      (int* rateA, int* rateB, int* rateC, int* rateD, int* rateE, int* rateF))                    \
    /* `serialNumber` holds 12 bytes. */                                                           \
    X(mfGetSerNo, 9974, mfGetSerNo, SESSION, (char* serialNumber))                                 \
    /* The firmware version learned by mfStart; the second value is always 0. */                   \
    X(mfGetVersion, 230, mfGetVersion, SESSION, (int* version, int* zero))                         \
    X(mfParFiscal, 320, mfParFiscal, SESSION, (int* value))                                        \
    X(mfStatDenom, 1120, mfParFiscal, SHARED, (int* value))                                        \
    X(mfParLibVersion, 330, mfParLibVersion, SESSION, (int* major, int* minor, tarn_arg unused3))  \
    X(mfParLibBuild, 9987, mfParLibBuild, SESSION, (int* build))                                   \
                                                                                                   \
    /* The fiscal receipt. Amounts are grosze, quantities thousandths; `ptu` is a 32-bit value     \
     * whose low byte is the tax-rate letter ('A'...'G'). A value of 0 or less is computed from    \
     * price and quantity. A total of 1 or more is declared to the printer; 0 or less: the lines   \
     * are summed. */                                                                              \
    X(mfBeginTicket, 620, mfBeginTicket, SESSION, (int total))                                     \
    X(mfLineTicket, 630, mfLineTicket, IN_RECEIPT,                                                 \
      (tarn_arg unused1, const char* name, int ptu, const char* unit, int price, int quantity,     \
       int value))                                                                                 \
    X(mfStornoLineTicket, 640, mfStornoLineTicket, IN_RECEIPT,                                     \
      (tarn_arg unused1, const char* name, int ptu, const char* unit, int price, int quantity,     \
       int value))                                                                                 \
    X(mfStornoTicket, 650, mfStornoTicket, IN_RECEIPT, (void))                                     \
    /* percentDiscount in hundredths of a percent (100-9900, whole percents); valueDiscount is     \
     * only logged; adjustValue is a printed line the printer does not add; a payment whose name   \
     * is a currency text ("EUR 4,3210", type 8 and above) has its amount in PLN grosze; payment   \
     * names are cut to 13 characters. */                                                          \
    X(mfEndTicket, 660, mfEndTicket, IN_RECEIPT,                                                   \
      (int percentDiscount, int valueDiscount, int transactionNo, int payment1,                    \
       const char* paymStr1, int payment2, const char* paymStr2, int payment3,                     \
       const char* paymStr3, int extraAmount, const char* extraAmountStr, int adjustValue,         \
       const char* adjustStr, const char* tableStr, const char* extraLine))                        \
    X(mfParLineTicketExt, 690, mfParLineTicketExt, SESSION, (void))                                \
    /* `name` must equal the last sale line's name in the 28 bytes the receipt prints (else -3),   \
     * or hold "PTU" there for a discount on the whole receipt; a negative quantity gives a        \
     * discount, 0 or more a markup. */                                                            \
    X(mfLineTicketExt, 691, mfLineTicketExt, SESSION,                                              \
      (tarn_arg unused1, const char* name, int ptu, const char* unused4, int price, int quantity,  \
       int value))                                                                                 \
    X(mfParInvoice, 675, mfParInvoice, SESSION,                                                    \
      (tarn_arg unused1, tarn_arg unused2, tarn_arg unused3, tarn_arg unused4))                    \
                                                                                                   \
    /* Header, footer, item names and the point of sale. `characters` buffers hold 134 bytes. */   \
    X(mfParHeader, 360, mfParHeader, SESSION, (int* first, int* second, int* third, char* text))   \
    X(mfParTicket, 370, mfParTicket, SESSION, (int* first, int* second))                           \
    X(mfParPLU, 350, mfParPLU, SESSION, (int* limit, int* nameLength, char* characters))           \
    X(mfParFooter, 420, mfParFooter, SESSION, (int* maxLines, int* lineLength, char* characters))  \
    /* Up to 120 characters: three lines of 40. */                                                 \
    X(mfDefFooter, 421, mfDefFooter, SESSION, (const char* text))                                  \
    X(mfParPOS, 430, mfParPOS, SESSION,                                                            \
      (int* highestPos, int* highestCashier, int* third, tarn_arg unused4))                        \
    X(mfDefPOS, 431, mfDefPOS, SESSION, (int cashNo, int cashierNo, const char* cashierName))      \
                                                                                                   \
    /* Tax rates (hundredths of a percent) change only while the fiscal day is closed. */          \
    X(mfParTax, 470, mfParTax, SESSION, (void))                                                    \
    X(mfDefTax, 471, mfDefTax, SESSION,                                                            \
      (int rate1, int rate2, int rate3, int rate4, int rate5, int rate6))                          \
                                                                                                   \
    /* The clock moves by at most an hour, while the fiscal day is closed. */                      \
    X(mfParTime, 440, mfParTime, NO_DOCUMENT, (void))                                              \
    X(mfDefTime, 441, mfDefTime, NO_DOCUMENT, (int hour, int minute))                              \
                                                                                                   \
    /* Fiscal reports: the daily report closes the fiscal day. */                                  \
    X(mfShiftEnd, 670, mfShiftEnd, NO_DOCUMENT, (void))                                            \
    X(mfPrDetailReport, 750, mfPrDetailReport, SESSION,                                            \
      (int startYear, int startMonth, int startDay, int stopYear, int stopMonth, int stopDay))     \
    X(mfPrGlobalReport, 760, mfPrGlobalReport, SESSION,                                            \
      (int startYear, int startMonth, int startDay, int stopYear, int stopMonth, int stopDay))     \
    X(mfParNrReport, 9960, mfParNrReport, SESSION, (void))                                         \
    X(mfPrNrReport, 9961, mfPrNrReport, SESSION, (int from, int to))                               \
                                                                                                   \
    /* Status: each answer is 0 or 1, written only on success. */                                  \
    X(mfStatMode, 1110, mfStatMode, SESSION, (int* mode))                                          \
    X(mfStatShift, 1130, mfStatShift, SESSION, (int* dayOpen))                                     \
    X(mfStatReceipt, 1140, mfStatReceipt, SESSION, (int* receiptOpen))                             \
    X(mfStatDocument, 1150, mfStatDocument, SESSION, (int* documentOpen))                          \
    X(mfStatNoPaper, 1160, mfStatNoPaper, SESSION, (int* noPaper))                                 \
    X(mfPrState, 771, mfPrState, SESSION, (void))                                                  \
                                                                                                   \
    /* Cash drawers: type 0 none, 1 three drawers on the printer. `name` holds 6 bytes. */         \
    X(mfParDrawer, 910, mfParDrawer, SESSION, (int item, char* name, int* count))                  \
    X(mfDefDrawer, 911, mfDefDrawer, ANY, (int type, tarn_arg unused2))                            \
    X(mfDrawerOpen, 920, mfDrawerOpen, SESSION, (int drawer))                                      \
    X(mfDrawerIsOpen, 930, mfDrawerIsOpen, SESSION, (int drawer, int* isOpen))                     \
                                                                                                   \
    /* The customer display. `name` holds 11 bytes, `characters` 111. */                           \
    X(mfParFiscDisp, 1010, mfParFiscDisp, SESSION,                                                 \
      (int item, char* name, int* width, int* lines, char* characters, int* pointMode,             \
       int* pointMode2))                                                                           \
    X(mfDispTicketLine, 1030, mfDispTicketLine, SESSION,                                           \
      (const char* name, int price, int quantity, int value))                                      \
    X(mfDispSum, 1040, mfDispSum, SESSION, (const char* text, int amount))                         \
    X(mfDispSummary, 1050, mfDispSummary, SESSION,                                                 \
      (const char* text1, int amount1, const char* text2, int amount2))                            \
    X(mfDispConsumerLOGO, 1060, mfDispConsumerLOGO, SESSION,                                       \
      (const char* text1, const char* text2))                                                      \
                                                                                                   \
    /* Non-fiscal documents. A pay-out receipt has no title line: its third text is not            \
     * printed. */                                                                                 \
    X(mfPrPayIn, 811, mfPrPayIn, NO_DOCUMENT,                                                      \
      (const char* number, const char* payer, const char* title, const char* amount))              \
    X(mfPrPayOut, 821, mfPrPayOut, NO_DOCUMENT,                                                    \
      (const char* number, const char* payee, const char* unused3, const char* amount))            \
                                                                                                   \
    /* Orders and returns need printers of type 5 and above, or type 4 from version 4. An order    \
     * prints its number above its customer; a line's modifier is printed only with a non-empty    \
     * quantity. A return holds one item, printed with the number and person given to              \
     * mfBgReturn. */                                                                              \
    X(mfParOrder, 830, mfParOrder, SESSION, (void))                                                \
    X(mfBgOrder, 831, mfBgOrder, SESSION, (const char* customer, const char* number))              \
    X(mfLineOrder, 832, mfLineOrder, SESSION,                                                      \
      (const char* name, const char* quantity, const char* modifier))                              \
    X(mfEndOrder, 833, mfEndOrder, SESSION, (void))                                                \
    X(mfParReturn, 840, mfParOrder, SHARED, (void))                                                \
    X(mfParMaxLinesReturn, 846, mfParMaxLinesReturn, SESSION, (int* maxLines))                     \
    X(mfBgReturn, 841, mfBgReturn, NO_DOCUMENT,                                                    \
      (const char* returnNumber, const char* personName, tarn_arg unused3))                        \
    X(mfLineReturn, 842, mfLineReturn, SESSION,                                                    \
      (const char* name, const char* quantity, const char* total))                                 \
    X(mfEndReturn, 843, mfEndReturn, SESSION, (void))                                              \
                                                                                                   \
    /* Settlements. The cashier settlement prints nothing. The shift settlement (type 5 and above) \
     * keeps figures by name: typeNo 2 payment forms (cash is "Gotówka" in code page 852), 3 the  \
     * cash details, 4 packaging and fiscal sales. Amounts are texts with a decimal comma. */      \
    X(mfBgCashierReport, 851, mfBgCashierReport, SESSION, (tarn_arg unused1, tarn_arg unused2))    \
    X(mfLineCashierReport, 852, mfLineCashierReport, SESSION,                                      \
      (tarn_arg unused1, const char* name, const char* counted, const char* cash,                  \
       const char* difference))                                                                    \
    X(mfBgShiftReport, 861, mfBgShiftReport, SESSION,                                              \
      (const char* shiftNo, const char* startDate, const char* endDate, const char* personName))   \
    X(mfLineShiftReport, 862, mfLineShiftReport, SESSION,                                          \
      (int typeNo, const char* name, const char* counted, const char* cash,                        \
       const char* difference))                                                                    \
    X(mfEndShiftReport, 863, mfEndShiftReport, SESSION, (void))                                    \
                                                                                                   \
    /* Ends an open order, drops an open return or shift settlement. */                            \
    X(mfPrVoid, 870, mfPrVoid, SESSION, (void))                                                    \
                                                                                                   \
    /* Card and voucher slips: docs/reference.md gives the printed line each argument fills. Marks \
     * carry their character in the low byte; amounts are grosze; texts are code page 852. */      \
    X(mfPrVISA, 881, mfPrVISA, NO_DOCUMENT,                                                        \
      (int englishLines, int signatureBlock, const char* dateTime, const char* documentNo,         \
       const char* receiptNo, const char* tillNo, const char* terminalId, const char* uid,         \
       const char* numbersSP, const char* cashier, const char* posId, const char* cardName,        \
       const char* cardNumberLine, const char* authorizationCode, const char* saleAmount,          \
       const char* creditAmount, const char* amountInWords, const char* freeText))                 \
    X(mfParPrePaid_Voucher, 9988, mfParPrePaid_Voucher, SESSION, (void))                           \
    /* `dateTime` is "yyyymmddhhmm"; kind 1 sale, 2 return, 3 cancellation, 4 duplicate,           \
     * 5 test. */                                                                                  \
    X(mfPrPrePaid_Voucher, 9986, mfPrPrePaid_Voucher, SESSION,                                     \
      (int kind, const char* dateTime, const char* operatorName, const char* terminal,             \
       int transactionNo, int sequenceNo, int batchNo, int amount, const char* product,            \
       const char* serialNo, const char* code, const char* validUntil, const char* information,    \
       int validDays, const char* pin, const char* footerText))                                    \
    /* status 1 accepted, 2 refused, 3 not possible, 4 interrupted; kind 1 sale, 2 credit;         \
     * verification 3 PIN, 2 signature. Numbers below 0 leave their line out. */                   \
    X(mfPrEFT_Transaction, 891, mfPrEFT_Transaction, NO_DOCUMENT,                                  \
      (tarn_arg unused1, int status, int kind, int variant, int verification,                      \
       const char* dateTime, const char* terminalId, const char* uid, int documentNo, int numberP, \
       int numberS, int tillNo, int receiptNo, const char* cashier, tarn_arg unused15,             \
       const char* kText, int entryMark, const char* cardName, const char* cardNumber, int amount, \
       int cashback, tarn_arg unused22, tarn_arg unused23, tarn_arg unused24, tarn_arg unused25,   \
       tarn_arg unused26, tarn_arg unused27, tarn_arg unused28, tarn_arg unused29, int secondMark, \
       const char* authorizationCode, int authorizationNo, int responseCode, tarn_arg unused34,    \
       int englishLines, tarn_arg unused36, tarn_arg unused37, tarn_arg unused38,                  \
       tarn_arg unused39))                                                                         \
    X(mfPrEFT_Reversal, 892, mfPrEFT_Reversal, NO_DOCUMENT,                                        \
      (tarn_arg unused1, int status, int kind, int variant, tarn_arg unused5,                      \
       const char* dateTime, const char* terminalId, const char* uid, int documentNo, int numberP, \
       int numberS, int tillNo, int receiptNo, const char* cashier, tarn_arg unused15,             \
       int entryMark, const char* cardName, const char* cardNumber, int amount, tarn_arg unused20, \
       const char* authorizationCode, int authorizationNo, tarn_arg unused23, tarn_arg unused24))  \
    X(mfPrEFT_RegisterOffline, 893, mfPrEFT_RegisterOffline, SESSION,                              \
      (tarn_arg unused1, int status, int kind, tarn_arg unused4, const char* dateTime,             \
       const char* terminalId, const char* uid, int documentNo, int numberP, int tillNo,           \
       int receiptNo, const char* cashier, tarn_arg unused13, int entryMark, const char* cardName, \
       const char* cardNumber, int amount, const char* authorizationCode, int authorizationNo,     \
       tarn_arg unused20))                                                                         \
                                                                                                   \
    /* Raw bytes to the printer on port 1, with or without a session. */                           \
    X(mfAnyCommand, 9972, mfAnyCommand, ANY,                                                       \
      (int sendCount, const unsigned char* sendBytes, int receiveMaximum,                          \
       unsigned char* receiveBuffer, int* receivedCount, int timeoutMs))                           \
                                                                                                   \
    /* Names that answer with a fixed result (docs/reference.md, "Names with a fixed answer"):     \
     * none of their arguments is read. */                                                         \
    X(mfParNonFiscalReceipt, 206, FixedAbsentArgs0, FIXED, (void))                                 \
    X(mfPrNonFiscalReceipt, 207, FixedAlways1Args2, FIXED, (tarn_arg, tarn_arg))                   \
    X(mfParPacket, 208, FixedSessionAbsentArgs0, FIXED, (void))                                    \
    X(mfPrPacket, 209, FixedSession1Args9, FIXED,                                                  \
      (tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg))  \
    X(mfParExtraData, 211, FixedSessionAbsentArgs0, FIXED, (void))                                 \
    X(mfSetExtraData, 212, FixedSession1Args3, FIXED, (tarn_arg, tarn_arg, tarn_arg))              \
    X(mfParPrePaid, 213, FixedAbsentArgs0, FIXED, (void))                                          \
    X(mfPrPrePaid, 214, FixedAlways1Args12, FIXED,                                                 \
      (tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,   \
       tarn_arg, tarn_arg, tarn_arg))                                                              \
    X(mfGetFirmwareVersion, 231, FixedSession1Args2, FIXED, (tarn_arg, tarn_arg))                  \
    X(mfGetCoefficient, 240, FixedSession1Args2, FIXED, (tarn_arg, tarn_arg))                      \
    X(mfGetLastInvoiceNo, 251, FixedSession1Args1, FIXED, (tarn_arg))                              \
    X(mfParMaxShiftNo, 310, FixedSessionZeroOut, FIXED, (int* value))                              \
    X(mfParCounter, 450, FixedSession1Args0, FIXED, (void))                                        \
    X(mfDefCounter, 451, FixedSession1Args1, FIXED, (tarn_arg))                                    \
    X(mfParConfigParam, 481, FixedAlways0Args0, FIXED, (void))                                     \
    X(mfParDefPLU, 510, FixedSessionAbsentArgs0, FIXED, (void))                                    \
    X(mfParDefAllPLU, 511, FixedSessionAbsentArgs0, FIXED, (void))                                 \
    X(mfBeDefPLU, 520, FixedSession1Args0, FIXED, (void))                                          \
    X(mfBeDefAllPLU, 530, FixedSession1Args0, FIXED, (void))                                       \
    X(mfDefPLU, 540, FixedSession1Args3, FIXED, (tarn_arg, tarn_arg, tarn_arg))                    \
    X(mfEndDefPLU, 550, FixedSession1Args0, FIXED, (void))                                         \
    X(mfBeginShift, 610, FixedSession1Args1, FIXED, (tarn_arg))                                    \
    X(mfBeginInvoice, 676, FixedSession1Args1, FIXED, (tarn_arg))                                  \
    X(mfEndInvoice, 677, FixedSession1Args17, FIXED,                                               \
      (tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,   \
       tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg))            \
    X(mfParEndTicketExt, 692, FixedSessionAbsentArgs0, FIXED, (void))                              \
    X(mfEndTicketExt, 693, FixedSession1Args22, FIXED,                                             \
      (tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,   \
       tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,   \
       tarn_arg, tarn_arg, tarn_arg, tarn_arg))                                                    \
    X(mfParStornoLineTicketExt, 698, FixedSessionAbsentArgs0, FIXED, (void))                       \
    X(mfStornoLineTicketExt, 699, FixedSession1Args7, FIXED,                                       \
      (tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg))                      \
    X(mfParPrBeTaxCode, 710, FixedSessionAbsentArgs0, FIXED, (void))                               \
    X(mfPrBeTaxCode, 711, FixedSession1Args1, FIXED, (tarn_arg))                                   \
    X(mfParPrBeItemNo, 720, FixedSessionAbsentArgs0, FIXED, (void))                                \
    X(mfPrBeItemNo, 721, FixedSession1Args2, FIXED, (tarn_arg, tarn_arg))                          \
    X(mfPrItem, 730, FixedSession1Args3, FIXED, (tarn_arg, tarn_arg, tarn_arg))                    \
    X(mfPrEnd, 740, FixedSession1Args0, FIXED, (void))                                             \
    X(mfParPrState, 770, FixedSession0Args0, FIXED, (void))                                        \
    X(mfParPrChangeItem, 780, FixedSessionAbsentArgs0, FIXED, (void))                              \
    X(mfPrChangeItem, 781, FixedSession1Args0, FIXED, (void))                                      \
    X(mfParGetFiscalRecRange, 790, FixedSessionAbsentArgs0, FIXED, (void))                         \
    X(mfGetFiscalRecRange, 791, FixedSession1Args12, FIXED,                                        \
      (tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,   \
       tarn_arg, tarn_arg, tarn_arg))                                                              \
    X(mfParGetFiscalRec, 792, FixedSessionAbsentArgs0, FIXED, (void))                              \
    X(mfGetFiscalRec, 793, FixedSession1Args20, FIXED,                                             \
      (tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,   \
       tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,   \
       tarn_arg, tarn_arg))                                                                        \
    X(mfParPayIn, 810, FixedSession0Args0, FIXED, (void))                                          \
    X(mfParPayOut, 820, FixedSession0Args0, FIXED, (void))                                         \
    X(mfParLineReturnExt, 844, FixedSessionAbsentArgs0, FIXED, (void))                             \
    X(mfLineReturnExt, 845, FixedSession1Args7, FIXED,                                             \
      (tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg))                      \
    X(mfParCashierReport, 850, FixedSession0Args0, FIXED, (void))                                  \
    X(mfEndCashierReport, 853, FixedSession0Args0, FIXED, (void))                                  \
    X(mfParShiftReport, 860, FixedSession0Args0, FIXED, (void))                                    \
    X(mfParVISA, 880, FixedSession0Args0, FIXED, (void))                                           \
    X(mfParEFT, 890, FixedSession0Args0, FIXED, (void))                                            \
    X(mfPar_eCash, 895, FixedSessionAbsentArgs0, FIXED, (void))                                    \
    X(mfPr_eCash, 896, FixedSession1Args31, FIXED,                                                 \
      (tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,   \
       tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,   \
       tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,   \
       tarn_arg, tarn_arg, tarn_arg, tarn_arg))                                                    \
    X(mfParLoyalty, 897, FixedSessionAbsentArgs0, FIXED, (void))                                   \
    X(mfPrLoyalty, 898, FixedSession1Args15, FIXED,                                                \
      (tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,   \
       tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg))                                \
    X(mfPar_eCash2, 899, FixedSessionAbsentArgs0, FIXED, (void))                                   \
    X(mfPr_eCash2, 900, FixedSession1Args36, FIXED,                                                \
      (tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,   \
       tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,   \
       tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,   \
       tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg))  \
    X(mfDefFiscalDisp, 1011, FixedSession1Args2, FIXED, (tarn_arg, tarn_arg))                      \
    X(mfDefNFiscalDisp, 1012, FixedSession1Args17, FIXED,                                          \
      (tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,   \
       tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg))            \
    X(mfFaktStart, 1310, FixedSession1Args22, FIXED,                                               \
      (tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,   \
       tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,   \
       tarn_arg, tarn_arg, tarn_arg, tarn_arg))                                                    \
    X(mfFaktLinia, 1320, FixedSession1Args10, FIXED,                                               \
      (tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,   \
       tarn_arg))                                                                                  \
    X(mfFaktKoniec, 1330, FixedSession1Args33, FIXED,                                              \
      (tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,   \
       tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,   \
       tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,   \
       tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg))                                \
    X(mfAnulujFakture, 1340, FixedSession1Args0, FIXED, (void))                                    \
    X(mfFaktPaper, 1350, FixedSession1Args2, FIXED, (tarn_arg, tarn_arg))                          \
    X(mfParShiftEndForce, 2000, FixedSessionAbsentArgs0, FIXED, (void))                            \
    X(mfShiftEndForce, 2001, FixedSession1Args0, FIXED, (void))                                    \
    X(mfParLottery, 2009, FixedSessionAbsentArgs0, FIXED, (void))                                  \
    X(mfLottery, 2010, FixedSession1Args6, FIXED,                                                  \
      (tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg))                                \
    X(mfStatFreePrintEnabled, 9910, FixedSessionAbsentArgs0, FIXED, (void))                        \
    X(mfFreePrintInit, 9911, FixedSession1Args0, FIXED, (void))                                    \
    X(mfFreePrintLine, 9920, FixedSession1Args1, FIXED, (tarn_arg))                                \
    X(mfFreePrintEnd, 9930, FixedSession1Args0, FIXED, (void))                                     \
    X(mfFreePrintVoid, 9940, FixedSession1Args0, FIXED, (void))                                    \
    X(mfStatFreePrintSlipEnabled, 9945, FixedSessionAbsentArgs0, FIXED, (void))                    \
    X(mfFreePrintSlipInit, 9946, FixedSessionAbsentArgs1, FIXED, (tarn_arg))                       \
    X(mfFreePrintSlipLine, 9947, FixedSessionAbsentArgs1, FIXED, (tarn_arg))                       \
    X(mfFreePrintSlipEnd, 9948, FixedSessionAbsentArgs0, FIXED, (void))                            \
    X(mfFreePrintSlipVoid, 9949, FixedSessionAbsentArgs0, FIXED, (void))                           \
    X(mfSecondCurrency, 9950, FixedSession1Args2, FIXED, (tarn_arg, tarn_arg))                     \
    X(mfParFeedLine, 9970, FixedSessionAbsentArgs0, FIXED, (void))                                 \
    X(mfFeedLine, 9971, FixedSession1Args1, FIXED, (tarn_arg))                                     \
    X(mfSubtotal, 9973, FixedSession1Args1, FIXED, (tarn_arg))                                     \
    X(mfGetLastDay, 9975, FixedSession1Args1, FIXED, (tarn_arg))                                   \
    X(mfGetNip, 9980, FixedSession1Args1, FIXED, (tarn_arg))                                       \
    X(mfParPayOutExt, 9981, FixedSessionAbsentArgs0, FIXED, (void))                                \
    X(mfPayOutExt, 9982, FixedSession1Args4, FIXED, (tarn_arg, tarn_arg, tarn_arg, tarn_arg))      \
    X(mfParReceipt, 9983, FixedSessionAbsentArgs0, FIXED, (void))                                  \
    X(mfReceipt, 9984, FixedSession1Args5, FIXED,                                                  \
      (tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg))                                          \
    X(mfAddFooters, 9985, FixedSession1Args2, FIXED, (tarn_arg, tarn_arg))                         \
    X(mfNegTicket, 9989, FixedSessionZeroOut, FIXED, (int* value))                                 \
    X(mfejParDump, 9990, FixedSessionAbsentArgs0, FIXED, (void))                                   \
    X(mfejInitDump, 9991, FixedSession1Args3, FIXED, (tarn_arg, tarn_arg, tarn_arg))               \
    X(mfejStartDump, 9992, FixedSession1Args1, FIXED, (tarn_arg))                                  \
    X(mfejDump, 9993, FixedSession1Args2, FIXED, (tarn_arg, tarn_arg))                             \
    X(mfejDumpStat, 9994, FixedSession1Args10, FIXED,                                              \
      (tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,   \
       tarn_arg))                                                                                  \
    X(mfejEndDump, 9995, FixedSession1Args1, FIXED, (tarn_arg))                                    \
    X(mfejStat, 9996, FixedSession1Args2, FIXED, (tarn_arg, tarn_arg))                             \
    X(mfejCancelDump, 9997, FixedSession1Args0, FIXED, (void))                                     \
    X(mfejDumpNecessary, 9998, FixedSessionZeroOut, FIXED, (int* value))                           \
    X(mfejSha, 9999, FixedSession1Args1, FIXED, (tarn_arg))
