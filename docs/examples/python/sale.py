"""A sale through TARN from Python with ctypes.

The library's texts are code page 852: encode with 'cp852'. On 32-bit Windows load TARN.dll
with ctypes.WinDLL (the functions are stdcall); on Linux load libtarn.so with ctypes.CDLL.
"""
import ctypes
import os
import sys

tarn = ctypes.CDLL(os.environ.get("TARN_LIBRARY", "libtarn.so"))
MF_OK, MF_FAILED = 0, -2


def text(s):
    return s.encode("cp852")


def check(what, result):
    if result == MF_FAILED:
        code = tarn.mfError()
        class_text = ctypes.create_string_buffer(39)
        detail_text = ctypes.create_string_buffer(39)
        tarn.mfParMessage(code, class_text, detail_text)
        print(f"{what} failed: {detail_text.value.decode('cp852')} ({code})", file=sys.stderr)
    return result


if check("mfStart", tarn.mfStart(0, 1)) != MF_OK:
    sys.exit(1)
# Grosze, thousandths and the tax letter (docs/reference.md). A void repeats its sale line; a
# discount names the last sale line exactly (negative quantity: 1,00 off). The receipt comes to
# 25,00 zł: 10,00 paid in euro (the amount in PLN grosze, the name "EUR rate"), 15,00 by card.
ok = (check("mfBeginTicket", tarn.mfBeginTicket(-1)) == MF_OK
      and check("mfLineTicket", tarn.mfLineTicket(0, text("Chleb żytni"), ord("B"), b"szt", 549, 1000, 0)) == MF_OK
      and check("mfLineTicket", tarn.mfLineTicket(0, text("Kawa mielona"), ord("A"), b"szt", 3199, 1000, 0)) == MF_OK
      and check("mfStornoLineTicket", tarn.mfStornoLineTicket(0, text("Kawa mielona"), ord("A"), b"szt", 3199, 1000, 0)) == MF_OK
      and check("mfLineTicket", tarn.mfLineTicket(0, text("Masło 200g"), ord("B"), b"szt", 1051, 2000, 0)) == MF_OK
      and check("mfLineTicketExt", tarn.mfLineTicketExt(0, text("Masło 200g"), ord("B"), b"", 0, -1000, 151)) == MF_OK
      and check("mfEndTicket", tarn.mfEndTicket(0, 0, 0, 1000, b"EUR 4,3210", 1500, b"Karta", 0, b"", 0, b"",
                                                0, b"", b"", b"")) == MF_OK)
number = ctypes.c_int(0)
tarn.mfGetLastTicketNo(ctypes.byref(number))
# The card slip: accepted (1), a sale (1), PIN (3); then the date ("Data transakcji"), TID, UID,
# document number, P, S, till, receipt number ("Do paragonu"), card, card number, amount,
# authorization code; zeros for the arguments not read.
ok = ok and check("mfPrEFT_Transaction", tarn.mfPrEFT_Transaction(
    0, 1, 1, 0, 3, b"2026-12-06 14:32", b"40012345", b"000000123456", 12, 345, 678, 1, number.value,
    b"", 0, b"", ord("C"), b"VISA", b"*********1234", 1500, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    b"A1B2C3", 1, 0, 0, 0, 0, 0, 0, 0)) == MF_OK
tarn.mfStop()
print(f"{'ok' if ok else 'failed'}: receipt {number.value}")
sys.exit(0 if ok else 1)
