// A sale through TARN from C#. On Windows the library is TARN.dll of the process's width: the
// one from TARN-win32.zip for an x86 process, the one from TARN-win64.zip for a 64-bit process
// (x64, or AnyCPU without "Prefer 32-bit" on 64-bit Windows; Environment.Is64BitProcess tells).
// The 32-bit DLL is stdcall; on x64 .NET ignores the convention, so these declarations serve
// both. Arguments the library does not read are IntPtr (pointer-sized); texts are code page 852
// bytes: pass them as byte arrays.
using System;
using System.Runtime.InteropServices;
using System.Text;

static class Tarn
{
    const string Library = "tarn";  // TARN.dll on Windows, libtarn.so on Linux

    [DllImport(Library, CallingConvention = CallingConvention.StdCall)]
    public static extern int mfStart(int unused1, int port);
    [DllImport(Library, CallingConvention = CallingConvention.StdCall)]
    public static extern int mfStop();
    [DllImport(Library, CallingConvention = CallingConvention.StdCall)]
    public static extern int mfError();
    [DllImport(Library, CallingConvention = CallingConvention.StdCall)]
    public static extern int mfBeginTicket(int total);
    [DllImport(Library, CallingConvention = CallingConvention.StdCall)]
    public static extern int mfLineTicket(IntPtr unused1, byte[] name, int ptu, byte[] unit, int price,
                                          int quantity, int value);
    [DllImport(Library, CallingConvention = CallingConvention.StdCall)]
    public static extern int mfEndTicket(int percentDiscount, int valueDiscount, int transactionNo,
                                         int payment1, byte[] name1, int payment2, byte[] name2,
                                         int payment3, byte[] name3, int extraAmount, byte[] extraName,
                                         int adjustValue, byte[] adjustName, byte[] table, byte[] extraLine);
    [DllImport(Library, CallingConvention = CallingConvention.StdCall)]
    public static extern int mfGetLastTicketNo(out int number);

    // A zero-terminated text; the names here are plain ASCII, which code page 852 shares.
    public static byte[] Text(string s) => Encoding.ASCII.GetBytes(s + "\0");
}

static class Sale
{
    static bool Ok(string what, int result)
    {
        if (result != 0) Console.Error.WriteLine($"{what} failed: {result} (detail code {Tarn.mfError()})");
        return result == 0;
    }

    static int Main()
    {
        if (!Ok("mfStart", Tarn.mfStart(0, 1))) return 1;
        var empty = Tarn.Text("");
        bool ok = Ok("mfBeginTicket", Tarn.mfBeginTicket(-1))
            && Ok("mfLineTicket", Tarn.mfLineTicket(IntPtr.Zero, Tarn.Text("Herbata czarna"), 'A',
                                                    Tarn.Text("szt"), 799, 1000, 0))
            && Ok("mfEndTicket", Tarn.mfEndTicket(0, 0, 0, 799, Tarn.Text("Karta"), 0, empty, 0, empty, 0,
                                                  empty, 0, empty, empty, empty));
        Tarn.mfGetLastTicketNo(out int number);
        Tarn.mfStop();
        Console.WriteLine($"{(ok ? "ok" : "failed")}: receipt {number}");
        return ok ? 0 : 1;
    }
}
