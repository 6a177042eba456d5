/* TARN — fiscal printer driver. Public interface.
 *
 * docs/reference.md describes every function: its arguments with their units and ranges, its
 * results, the detail codes it can leave and what to do after each, and the printed lines the
 * slips' arguments fill. Arguments named unusedN (N their position) are not read: pass 0.
 *
 * Every function returns 0 (MF_OK) on success, -1 (MF_NOT_STARTED) when no session is open and
 * -2 (MF_FAILED) on failure, with the detail code kept for mfError; capability queries answer -3
 * (MF_NOT_AVAILABLE) for a missing feature, and operations that are accepted and not carried
 * out answer 1 (MF_NOT_PERFORMED). Texts are zero-terminated code page 852. A null text is an
 * empty text and a null output pointer is not written. Every call holds one library-wide lock. */
#ifndef TARN_TARN_H
#define TARN_TARN_H

#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define TARN_API __stdcall
#else
#define TARN_API
#endif

#if defined(_WIN32)
#if defined(TARN_BUILDING_LIBRARY)
#define TARN_EXPORT /* TARN.dll exports by its module definition file, with ordinals */
#else
#define TARN_EXPORT __declspec(dllimport)
#endif
#else
#define TARN_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

#define MF_OK 0
#define MF_NOT_STARTED (-1)
#define MF_FAILED (-2)
#define MF_NOT_AVAILABLE (-3)
#define MF_NOT_PERFORMED 1

/* An argument the library does not read: 32 bits on 32-bit Windows. */
typedef intptr_t tarn_arg;

/* Session. */
TARN_EXPORT int TARN_API mfStart(int unused1, int port);
TARN_EXPORT int TARN_API mfStart2(tarn_arg unused1, tarn_arg unused2, int port, tarn_arg unused4,
                                  tarn_arg unused5, tarn_arg unused6, tarn_arg unused7,
                                  tarn_arg unused8, tarn_arg unused9, tarn_arg unused10,
                                  tarn_arg unused11, tarn_arg unused12, tarn_arg unused13,
                                  tarn_arg unused14, tarn_arg unused15, tarn_arg unused16,
                                  tarn_arg unused17, tarn_arg unused18);
/* Answers 1 and opens no session; none of its arguments is read. */
TARN_EXPORT int TARN_API mfStart3(tarn_arg unused1, tarn_arg unused2, tarn_arg unused3,
                                  tarn_arg unused4, tarn_arg unused5, tarn_arg unused6,
                                  tarn_arg unused7, tarn_arg unused8, tarn_arg unused9,
                                  tarn_arg unused10, tarn_arg unused11, tarn_arg unused12,
                                  tarn_arg unused13, tarn_arg unused14, tarn_arg unused15,
                                  tarn_arg unused16, tarn_arg unused17, tarn_arg unused18,
                                  tarn_arg unused19, tarn_arg unused20, tarn_arg unused21);
TARN_EXPORT int TARN_API mfStop(void);

/* Detail codes, texts and the diagnostic log. */
TARN_EXPORT int TARN_API mfError(void);
/* Each buffer holds 39 bytes. */
TARN_EXPORT int TARN_API mfParMessage(int code, char* classText, char* detailText);
TARN_EXPORT int TARN_API mfSetDebugLevel(int level);
/* `buffer` holds *width + 1 bytes; *width receives the entry's longest text (38 or 25). */
TARN_EXPORT int TARN_API mfParString(int index, char* buffer, int* width);
TARN_EXPORT int TARN_API mfDefString(int index, const char* text);
/* Parameter 11 names the logo file that mfStart loads into printers of type 8 and above. */
TARN_EXPORT int TARN_API mfDefConfigParam(int parameter, tarn_arg unused2, const char* text);

/* Information queries. */
TARN_EXPORT int TARN_API mfGetTime(int* hour, int* minute);
/* The year in two digits (26 for 2026), then the month and the day: the printer's order. */
TARN_EXPORT int TARN_API mfGetDate(int* year, int* month, int* day);
TARN_EXPORT int TARN_API mfGetLastTicketNo(int* number);
TARN_EXPORT int TARN_API mfGetTax(int* rateA, int* rateB, int* rateC, int* rateD, int* rateE,
                                  int* rateF);
/* `serialNumber` holds 12 bytes. */
TARN_EXPORT int TARN_API mfGetSerNo(char* serialNumber);
/* The firmware version learned by mfStart; the second value is always 0. */
TARN_EXPORT int TARN_API mfGetVersion(int* version, int* zero);
TARN_EXPORT int TARN_API mfParFiscal(int* value);
TARN_EXPORT int TARN_API mfStatDenom(int* value);
TARN_EXPORT int TARN_API mfParLibVersion(int* major, int* minor, tarn_arg unused3);
TARN_EXPORT int TARN_API mfParLibBuild(int* build);

/* The fiscal receipt. Amounts are grosze, quantities thousandths; `ptu` is a 32-bit value whose
 * low byte is the tax-rate letter ('A'...'G'). A value of 0 or less is computed from price and
 * quantity. A total of 1 or more is declared to the printer; 0 or less: the lines are summed. */
TARN_EXPORT int TARN_API mfBeginTicket(int total);
TARN_EXPORT int TARN_API mfLineTicket(tarn_arg unused1, const char* name, int ptu, const char* unit,
                                      int price, int quantity, int value);
TARN_EXPORT int TARN_API mfStornoLineTicket(tarn_arg unused1, const char* name, int ptu,
                                            const char* unit, int price, int quantity, int value);
TARN_EXPORT int TARN_API mfStornoTicket(void);
/* percentDiscount in hundredths of a percent (100-9900, whole percents); valueDiscount is only
 * logged; adjustValue is a printed line the printer does not add; a payment whose name is a
 * currency text ("EUR 4,3210", type 8 and above) has its amount in PLN grosze; payment names
 * are cut to 13 characters. */
TARN_EXPORT int TARN_API mfEndTicket(int percentDiscount, int valueDiscount, int transactionNo,
                                     int payment1, const char* paymStr1, int payment2,
                                     const char* paymStr2, int payment3, const char* paymStr3,
                                     int extraAmount, const char* extraAmountStr, int adjustValue,
                                     const char* adjustStr, const char* tableStr,
                                     const char* extraLine);
TARN_EXPORT int TARN_API mfParLineTicketExt(void);
/* `name` must equal the last sale line's name exactly (else -3), or hold "PTU" for a discount
 * on the whole receipt; a negative quantity gives a discount, 0 or more a markup. */
TARN_EXPORT int TARN_API mfLineTicketExt(tarn_arg unused1, const char* name, int ptu,
                                         const char* unused4, int price, int quantity, int value);
TARN_EXPORT int TARN_API mfParInvoice(tarn_arg unused1, tarn_arg unused2, tarn_arg unused3,
                                      tarn_arg unused4);

/* Header, footer, item names and the point of sale. `characters` buffers hold 134 bytes. */
TARN_EXPORT int TARN_API mfParHeader(int* first, int* second, int* third, char* text);
TARN_EXPORT int TARN_API mfParTicket(int* first, int* second);
TARN_EXPORT int TARN_API mfParPLU(int* limit, int* nameLength, char* characters);
TARN_EXPORT int TARN_API mfParFooter(int* maxLines, int* lineLength, char* characters);
/* Up to 120 characters: three lines of 40. */
TARN_EXPORT int TARN_API mfDefFooter(const char* text);
TARN_EXPORT int TARN_API mfParPOS(int* highestPos, int* highestCashier, int* third,
                                  tarn_arg unused4);
TARN_EXPORT int TARN_API mfDefPOS(int cashNo, int cashierNo, const char* cashierName);

/* Tax rates (hundredths of a percent) change only while the fiscal day is closed. */
TARN_EXPORT int TARN_API mfParTax(void);
TARN_EXPORT int TARN_API mfDefTax(int rate1, int rate2, int rate3, int rate4, int rate5, int rate6);

/* The clock moves by at most an hour, while the fiscal day is closed. */
TARN_EXPORT int TARN_API mfParTime(void);
TARN_EXPORT int TARN_API mfDefTime(int hour, int minute);

/* Fiscal reports: the daily report closes the fiscal day. */
TARN_EXPORT int TARN_API mfShiftEnd(void);
TARN_EXPORT int TARN_API mfPrDetailReport(int startYear, int startMonth, int startDay, int stopYear,
                                          int stopMonth, int stopDay);
TARN_EXPORT int TARN_API mfPrGlobalReport(int startYear, int startMonth, int startDay, int stopYear,
                                          int stopMonth, int stopDay);
TARN_EXPORT int TARN_API mfParNrReport(void);
TARN_EXPORT int TARN_API mfPrNrReport(int from, int to);

/* Status: each answer is 0 or 1, written only on success. */
TARN_EXPORT int TARN_API mfStatMode(int* mode);
TARN_EXPORT int TARN_API mfStatShift(int* dayOpen);
TARN_EXPORT int TARN_API mfStatReceipt(int* receiptOpen);
TARN_EXPORT int TARN_API mfStatDocument(int* documentOpen);
TARN_EXPORT int TARN_API mfStatNoPaper(int* noPaper);
TARN_EXPORT int TARN_API mfPrState(void);

/* Cash drawers: type 0 none, 1 three drawers on the printer. `name` holds 6 bytes. */
TARN_EXPORT int TARN_API mfParDrawer(int item, char* name, int* count);
TARN_EXPORT int TARN_API mfDefDrawer(int type, tarn_arg unused2);
TARN_EXPORT int TARN_API mfDrawerOpen(int drawer);
TARN_EXPORT int TARN_API mfDrawerIsOpen(int drawer, int* isOpen);

/* The customer display. `name` holds 11 bytes, `characters` 111. */
TARN_EXPORT int TARN_API mfParFiscDisp(int item, char* name, int* width, int* lines,
                                       char* characters, int* pointMode, int* pointMode2);
TARN_EXPORT int TARN_API mfDispTicketLine(const char* name, int price, int quantity, int value);
TARN_EXPORT int TARN_API mfDispSum(const char* text, int amount);
TARN_EXPORT int TARN_API mfDispSummary(const char* text1, int amount1, const char* text2,
                                       int amount2);
TARN_EXPORT int TARN_API mfDispConsumerLOGO(const char* text1, const char* text2);

/* Non-fiscal documents. A pay-out receipt has no title line: its third text is not printed. */
TARN_EXPORT int TARN_API mfPrPayIn(const char* number, const char* payer, const char* title,
                                   const char* amount);
TARN_EXPORT int TARN_API mfPrPayOut(const char* number, const char* payee, const char* unused3,
                                    const char* amount);

/* Orders and returns need printers of type 5 and above, or type 4 from version 4. An order
 * prints its number above its customer; a line's modifier is printed only with a non-empty
 * quantity. A return holds one item, printed with the number and person given to mfBgReturn. */
TARN_EXPORT int TARN_API mfParOrder(void);
TARN_EXPORT int TARN_API mfBgOrder(const char* customer, const char* number);
TARN_EXPORT int TARN_API mfLineOrder(const char* name, const char* quantity, const char* modifier);
TARN_EXPORT int TARN_API mfEndOrder(void);
TARN_EXPORT int TARN_API mfParReturn(void);
TARN_EXPORT int TARN_API mfParMaxLinesReturn(int* maxLines);
TARN_EXPORT int TARN_API mfBgReturn(const char* returnNumber, const char* personName,
                                    tarn_arg unused3);
TARN_EXPORT int TARN_API mfLineReturn(const char* name, const char* quantity, const char* total);
TARN_EXPORT int TARN_API mfEndReturn(void);

/* Settlements. The cashier settlement prints nothing. The shift settlement (type 5 and above)
 * keeps figures by name: typeNo 2 payment forms (cash is "Gotówka" in code page 852), 3 the
 * cash details, 4 packaging and fiscal sales. Amounts are texts with a decimal comma. */
TARN_EXPORT int TARN_API mfBgCashierReport(tarn_arg unused1, tarn_arg unused2);
TARN_EXPORT int TARN_API mfLineCashierReport(tarn_arg unused1, const char* name,
                                             const char* counted, const char* cash,
                                             const char* difference);
TARN_EXPORT int TARN_API mfBgShiftReport(const char* shiftNo, const char* startDate,
                                         const char* endDate, const char* personName);
TARN_EXPORT int TARN_API mfLineShiftReport(int typeNo, const char* name, const char* counted,
                                           const char* cash, const char* difference);
TARN_EXPORT int TARN_API mfEndShiftReport(void);

/* Ends an open order, drops an open return or shift settlement. */
TARN_EXPORT int TARN_API mfPrVoid(void);

/* Card and voucher slips: docs/reference.md gives the printed line each argument fills. Marks
 * carry their character in the low byte; amounts are grosze; texts are code page 852. */
TARN_EXPORT int TARN_API mfPrVISA(int englishLines, int signatureBlock, const char* dateTime,
                                  const char* documentNo, const char* receiptNo, const char* tillNo,
                                  const char* terminalId, const char* uid, const char* numbersSP,
                                  const char* cashier, const char* posId, const char* cardName,
                                  const char* cardNumberLine, const char* authorizationCode,
                                  const char* saleAmount, const char* creditAmount,
                                  const char* amountInWords, const char* freeText);
TARN_EXPORT int TARN_API mfParPrePaid_Voucher(void);
/* `dateTime` is "yyyymmddhhmm"; kind 1 sale, 2 return, 3 cancellation, 4 duplicate, 5 test. */
TARN_EXPORT int TARN_API mfPrPrePaid_Voucher(int kind, const char* dateTime,
                                             const char* operatorName, const char* terminal,
                                             int transactionNo, int sequenceNo, int batchNo,
                                             int amount, const char* product, const char* serialNo,
                                             const char* code, const char* validUntil,
                                             const char* information, int validDays,
                                             const char* pin, const char* footerText);
/* status 1 accepted, 2 refused, 3 not possible, 4 interrupted; kind 1 sale, 2 credit;
 * verification 3 PIN, 2 signature. Numbers below 0 leave their line out. */
TARN_EXPORT int TARN_API mfPrEFT_Transaction(
    tarn_arg unused1, int status, int kind, int variant, int verification, const char* dateTime,
    const char* terminalId, const char* uid, int documentNo, int numberP, int numberS, int tillNo,
    int receiptNo, const char* cashier, tarn_arg unused15, const char* kText, int entryMark,
    const char* cardName, const char* cardNumber, int amount, int cashback, tarn_arg unused22,
    tarn_arg unused23, tarn_arg unused24, tarn_arg unused25, tarn_arg unused26, tarn_arg unused27,
    tarn_arg unused28, tarn_arg unused29, int secondMark, const char* authorizationCode,
    int authorizationNo, int responseCode, tarn_arg unused34, int englishLines, tarn_arg unused36,
    tarn_arg unused37, tarn_arg unused38, tarn_arg unused39);
TARN_EXPORT int TARN_API mfPrEFT_Reversal(
    tarn_arg unused1, int status, int kind, int variant, tarn_arg unused5, const char* dateTime,
    const char* terminalId, const char* uid, int documentNo, int numberP, int numberS, int tillNo,
    int receiptNo, const char* cashier, tarn_arg unused15, int entryMark, const char* cardName,
    const char* cardNumber, int amount, tarn_arg unused20, const char* authorizationCode,
    int authorizationNo, tarn_arg unused23, tarn_arg unused24);
TARN_EXPORT int TARN_API mfPrEFT_RegisterOffline(
    tarn_arg unused1, int status, int kind, tarn_arg unused4, const char* dateTime,
    const char* terminalId, const char* uid, int documentNo, int numberP, int tillNo, int receiptNo,
    const char* cashier, tarn_arg unused13, int entryMark, const char* cardName,
    const char* cardNumber, int amount, const char* authorizationCode, int authorizationNo,
    tarn_arg unused20);

/* Raw bytes to the printer on port 1, with or without a session. */
TARN_EXPORT int TARN_API mfAnyCommand(int sendCount, const unsigned char* sendBytes,
                                      int receiveMaximum, unsigned char* receiveBuffer,
                                      int* receivedCount, int timeoutMs);

/* Names that answer with a fixed result (docs/reference.md, "Names with a fixed answer"):
 * none of their arguments is read. */
TARN_EXPORT int TARN_API mfParNonFiscalReceipt(void);
TARN_EXPORT int TARN_API mfParPrePaid(void);

TARN_EXPORT int TARN_API mfPrNonFiscalReceipt(tarn_arg, tarn_arg);

TARN_EXPORT int TARN_API mfParPacket(void);
TARN_EXPORT int TARN_API mfParExtraData(void);
TARN_EXPORT int TARN_API mfParDefPLU(void);
TARN_EXPORT int TARN_API mfParDefAllPLU(void);
TARN_EXPORT int TARN_API mfParEndTicketExt(void);
TARN_EXPORT int TARN_API mfParStornoLineTicketExt(void);
TARN_EXPORT int TARN_API mfParPrBeTaxCode(void);
TARN_EXPORT int TARN_API mfParPrBeItemNo(void);
TARN_EXPORT int TARN_API mfParPrChangeItem(void);
TARN_EXPORT int TARN_API mfParGetFiscalRecRange(void);
TARN_EXPORT int TARN_API mfParGetFiscalRec(void);
TARN_EXPORT int TARN_API mfParLineReturnExt(void);
TARN_EXPORT int TARN_API mfPar_eCash(void);
TARN_EXPORT int TARN_API mfParLoyalty(void);
TARN_EXPORT int TARN_API mfPar_eCash2(void);
TARN_EXPORT int TARN_API mfParShiftEndForce(void);
TARN_EXPORT int TARN_API mfParLottery(void);
TARN_EXPORT int TARN_API mfStatFreePrintEnabled(void);
TARN_EXPORT int TARN_API mfStatFreePrintSlipEnabled(void);
TARN_EXPORT int TARN_API mfFreePrintSlipEnd(void);
TARN_EXPORT int TARN_API mfFreePrintSlipVoid(void);
TARN_EXPORT int TARN_API mfParFeedLine(void);
TARN_EXPORT int TARN_API mfParPayOutExt(void);
TARN_EXPORT int TARN_API mfParReceipt(void);
TARN_EXPORT int TARN_API mfejParDump(void);

TARN_EXPORT int TARN_API mfPrPacket(tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                                    tarn_arg, tarn_arg, tarn_arg);

TARN_EXPORT int TARN_API mfSetExtraData(tarn_arg, tarn_arg, tarn_arg);
TARN_EXPORT int TARN_API mfDefPLU(tarn_arg, tarn_arg, tarn_arg);
TARN_EXPORT int TARN_API mfPrItem(tarn_arg, tarn_arg, tarn_arg);
TARN_EXPORT int TARN_API mfejInitDump(tarn_arg, tarn_arg, tarn_arg);

TARN_EXPORT int TARN_API mfPrPrePaid(tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                                     tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg);

TARN_EXPORT int TARN_API mfGetFirmwareVersion(tarn_arg, tarn_arg);
TARN_EXPORT int TARN_API mfGetCoefficient(tarn_arg, tarn_arg);
TARN_EXPORT int TARN_API mfPrBeItemNo(tarn_arg, tarn_arg);
TARN_EXPORT int TARN_API mfDefFiscalDisp(tarn_arg, tarn_arg);
TARN_EXPORT int TARN_API mfFaktPaper(tarn_arg, tarn_arg);
TARN_EXPORT int TARN_API mfSecondCurrency(tarn_arg, tarn_arg);
TARN_EXPORT int TARN_API mfAddFooters(tarn_arg, tarn_arg);
TARN_EXPORT int TARN_API mfejDump(tarn_arg, tarn_arg);
TARN_EXPORT int TARN_API mfejStat(tarn_arg, tarn_arg);

TARN_EXPORT int TARN_API mfGetLastInvoiceNo(tarn_arg);
TARN_EXPORT int TARN_API mfDefCounter(tarn_arg);
TARN_EXPORT int TARN_API mfBeginShift(tarn_arg);
TARN_EXPORT int TARN_API mfBeginInvoice(tarn_arg);
TARN_EXPORT int TARN_API mfPrBeTaxCode(tarn_arg);
TARN_EXPORT int TARN_API mfFreePrintLine(tarn_arg);
TARN_EXPORT int TARN_API mfFeedLine(tarn_arg);
TARN_EXPORT int TARN_API mfSubtotal(tarn_arg);
TARN_EXPORT int TARN_API mfGetLastDay(tarn_arg);
TARN_EXPORT int TARN_API mfGetNip(tarn_arg);
TARN_EXPORT int TARN_API mfejStartDump(tarn_arg);
TARN_EXPORT int TARN_API mfejEndDump(tarn_arg);
TARN_EXPORT int TARN_API mfejSha(tarn_arg);

TARN_EXPORT int TARN_API mfParMaxShiftNo(int* value);
TARN_EXPORT int TARN_API mfNegTicket(int* value);
TARN_EXPORT int TARN_API mfejDumpNecessary(int* value);

TARN_EXPORT int TARN_API mfParCounter(void);
TARN_EXPORT int TARN_API mfBeDefPLU(void);
TARN_EXPORT int TARN_API mfBeDefAllPLU(void);
TARN_EXPORT int TARN_API mfEndDefPLU(void);
TARN_EXPORT int TARN_API mfPrEnd(void);
TARN_EXPORT int TARN_API mfPrChangeItem(void);
TARN_EXPORT int TARN_API mfAnulujFakture(void);
TARN_EXPORT int TARN_API mfShiftEndForce(void);
TARN_EXPORT int TARN_API mfFreePrintInit(void);
TARN_EXPORT int TARN_API mfFreePrintEnd(void);
TARN_EXPORT int TARN_API mfFreePrintVoid(void);
TARN_EXPORT int TARN_API mfejCancelDump(void);

TARN_EXPORT int TARN_API mfParConfigParam(void);

TARN_EXPORT int TARN_API mfEndInvoice(tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                                      tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                                      tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg);
TARN_EXPORT int TARN_API mfDefNFiscalDisp(tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                                          tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                                          tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                                          tarn_arg, tarn_arg);

TARN_EXPORT int TARN_API mfEndTicketExt(tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                                        tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                                        tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                                        tarn_arg, tarn_arg, tarn_arg, tarn_arg);
TARN_EXPORT int TARN_API mfFaktStart(tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                                     tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                                     tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                                     tarn_arg, tarn_arg, tarn_arg, tarn_arg);

TARN_EXPORT int TARN_API mfStornoLineTicketExt(tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                                               tarn_arg, tarn_arg);
TARN_EXPORT int TARN_API mfLineReturnExt(tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                                         tarn_arg);

TARN_EXPORT int TARN_API mfParPrState(void);
TARN_EXPORT int TARN_API mfParPayIn(void);
TARN_EXPORT int TARN_API mfParPayOut(void);
TARN_EXPORT int TARN_API mfParCashierReport(void);
TARN_EXPORT int TARN_API mfEndCashierReport(void);
TARN_EXPORT int TARN_API mfParShiftReport(void);
TARN_EXPORT int TARN_API mfParVISA(void);
TARN_EXPORT int TARN_API mfParEFT(void);

TARN_EXPORT int TARN_API mfGetFiscalRecRange(tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                                             tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                                             tarn_arg, tarn_arg);

TARN_EXPORT int TARN_API mfGetFiscalRec(tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                                        tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                                        tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                                        tarn_arg, tarn_arg);

TARN_EXPORT int TARN_API mfPr_eCash(tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                                    tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                                    tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                                    tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                                    tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                                    tarn_arg);

TARN_EXPORT int TARN_API mfPrLoyalty(tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                                     tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                                     tarn_arg, tarn_arg, tarn_arg);

TARN_EXPORT int TARN_API mfPr_eCash2(tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                                     tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                                     tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                                     tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                                     tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                                     tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg);

TARN_EXPORT int TARN_API mfFaktLinia(tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                                     tarn_arg, tarn_arg, tarn_arg, tarn_arg);
TARN_EXPORT int TARN_API mfejDumpStat(tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                                      tarn_arg, tarn_arg, tarn_arg, tarn_arg);

TARN_EXPORT int TARN_API mfFaktKoniec(tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                                      tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                                      tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                                      tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                                      tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                                      tarn_arg, tarn_arg, tarn_arg);

TARN_EXPORT int TARN_API mfLottery(tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg);

TARN_EXPORT int TARN_API mfFreePrintSlipInit(tarn_arg);
TARN_EXPORT int TARN_API mfFreePrintSlipLine(tarn_arg);

TARN_EXPORT int TARN_API mfPayOutExt(tarn_arg, tarn_arg, tarn_arg, tarn_arg);

TARN_EXPORT int TARN_API mfReceipt(tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg);
#ifdef __cplusplus
}
#endif

#endif /* TARN_TARN_H */
