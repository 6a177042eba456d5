/* A sale through TARN from C: session, two lines, a void, payment, end of session.
 * Build: cc sale.c -I<prefix>/include -L<prefix>/lib -ltarn
 * Texts are code page 852: "\xA5" is "ą", "\xA2" is "ó". */
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
    int ok = check("mfBeginTicket", mfBeginTicket(-1)) == MF_OK &&
             check("mfLineTicket", mfLineTicket(0, "Chleb pszenny", 'B', "szt", 450, 2000, 0)) == MF_OK &&
             check("mfLineTicket", mfLineTicket(0, "Kawa ziarnista", 'A', "szt", 3199, 1000, 0)) == MF_OK &&
             check("mfStornoLineTicket", mfStornoLineTicket(0, "Kawa ziarnista", 'A', "szt", 3199, 1000, 0)) == MF_OK &&
             check("mfEndTicket", mfEndTicket(0, 0, 0, 1000, "Got\xA2wka", 0, "", 0, "", 0, "", 0, "", "", "")) == MF_OK;
    int number = 0;
    mfGetLastTicketNo(&number);
    mfStop();
    printf("%s: receipt %d\n", ok ? "ok" : "failed", number);
    return ok ? 0 : 1;
}
