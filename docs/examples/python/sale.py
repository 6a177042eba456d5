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
ok = (check("mfBeginTicket", tarn.mfBeginTicket(-1)) == MF_OK
      and check("mfLineTicket", tarn.mfLineTicket(0, text("Chleb żytni"), ord("B"), b"szt", 549, 1000, 0)) == MF_OK
      and check("mfLineTicket", tarn.mfLineTicket(0, text("Masło 200g"), ord("B"), b"szt", 899, 2000, 0)) == MF_OK
      and check("mfEndTicket", tarn.mfEndTicket(0, 0, 0, 3000, text("Gotówka"), 0, b"", 0, b"", 0, b"",
                                                0, b"", b"", b"")) == MF_OK)
number = ctypes.c_int(0)
tarn.mfGetLastTicketNo(ctypes.byref(number))
tarn.mfStop()
print(f"{'ok' if ok else 'failed'}: receipt {number.value}")
sys.exit(0 if ok else 1)
