/* A sale through TARN from C: session, three lines, a void, a discount on a line, payment in
 * euro and cash, a card slip, end of session. Every call is described in docs/reference.md.
 * Build: cc sale.c -I<prefix>/include -L<prefix>/lib -ltarn
 * Texts are code page 852: "\x88" is "ł". */
#include <stdio.h>

#include <tarn/tarn.h>

static int check(const char* what, int result) {
    if (result == MF_FAILED) {
        char classText[39], detailText[39];
        int code = mfError();
        mfParMessage(code, classText, detailText);
        fprintf(stderr, "%s failed: %d (detail code %d)\n", what, result, code);
    }
    return result;
}

int main(void) {
    if (check("mfStart", mfStart(0, 1)) != MF_OK) return 1;
    /* -1: the library sums the lines. Prices in grosze, quantities in thousandths, 'B' the tax
     * letter. A void repeats its sale line; a discount names the last sale line exactly
     * (negative quantity: a discount of 1,00 here). The receipt comes to 30,00 zł. Payment 1 is in
     * euro: its amount is the part paid in euro, in PLN grosze (20,00 zł); the rest by card. */
    int ok = check("mfBeginTicket", mfBeginTicket(-1)) == MF_OK &&
             check("mfLineTicket", mfLineTicket(0, "Chleb pszenny", 'B', "szt", 450, 2000, 0)) == MF_OK &&
             check("mfLineTicket", mfLineTicket(0, "Kawa ziarnista", 'A', "szt", 3199, 1000, 0)) == MF_OK &&
             check("mfStornoLineTicket", mfStornoLineTicket(0, "Kawa ziarnista", 'A', "szt", 3199, 1000, 0)) == MF_OK &&
             check("mfLineTicket", mfLineTicket(0, "Mas\x88o extra", 'B', "szt", 1100, 2000, 0)) == MF_OK &&
             check("mfLineTicketExt", mfLineTicketExt(0, "Mas\x88o extra", 'B', "", 0, -1000, 100)) == MF_OK &&
             check("mfEndTicket", mfEndTicket(0, 0, 0, 2000, "EUR 4,3210", 1000, "Karta", 0, "", 0, "",
                                              0, "", "", "")) == MF_OK;
    int number = 0;
    mfGetLastTicketNo(&number);
    /* The card terminal's answer on the slip's lines: accepted (1), a sale (1), PIN (3); date,
     * TID, UID, document number, P and S numbers, till, receipt, card, amount, authorization. */
    ok = ok && check("mfPrEFT_Transaction",
                     mfPrEFT_Transaction(0, 1, 1, 0, 3, "2026-12-06 14:32", "40012345", "000000123456",
                                         12, 345, 678, 1, number, "", 0, "", 'C', "VISA",
                                         "*********1234", 1000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                         "A1B2C3", 1, 0, 0, 0, 0, 0, 0, 0)) == MF_OK;
    mfStop();
    printf("%s: receipt %d\n", ok ? "ok" : "failed", number);
    return ok ? 0 : 1;
}
