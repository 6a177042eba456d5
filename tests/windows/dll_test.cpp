// Loads TARN.dll as a point-of-sale application does, finds its functions by name and by
// ordinal, and runs a session against the printer on COM1. Exit status: the number of checks
// that failed.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

int g_failures = 0;

void Check(bool ok, const char* what) {
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what);
    if (!ok) ++g_failures;
}

HMODULE g_dll = nullptr;

// The function by name, after checking that its ordinal leads to the same place.
template <typename Function>
Function Find(const char* name, int ordinal) {
    FARPROC byName = GetProcAddress(g_dll, name);
    FARPROC byOrdinal = GetProcAddress(g_dll, MAKEINTRESOURCEA(ordinal));
    const std::string what = std::string(name) + " by name and by ordinal";
    Check(byName != nullptr && byName == byOrdinal, what.c_str());
    return reinterpret_cast<Function>(reinterpret_cast<void*>(byName));
}

using NoArgs = int(__stdcall*)();
using OnePointer = int(__stdcall*)(int*);
using TwoInts = int(__stdcall*)(int, int);
using TwoPointers = int(__stdcall*)(int*, int*);
using SixPointers = int(__stdcall*)(int*, int*, int*, int*, int*, int*);
using Text = int(__stdcall*)(char*);
using Message = int(__stdcall*)(int, char*, char*);
using AnyCommand = int(__stdcall*)(int, const unsigned char*, int, unsigned char*, int*, int);
using Start3 = int(__stdcall*)(int, int, int, int, int, int, int, int, int, int, int, int, int, int,
                               int, int, int, int, int, int, int);

void WithoutSession() {
    auto mfError = Find<NoArgs>("mfError", 1410);
    auto mfParPrePaid = Find<NoArgs>("mfParPrePaid", 213);
    auto mfParNonFiscalReceipt = Find<NoArgs>("mfParNonFiscalReceipt", 206);
    auto mfStart3 = Find<Start3>("mfStart3", 413);
    Check(mfError() == -1, "mfError without a session is -1");
    Check(mfParPrePaid() == -3 && mfParNonFiscalReceipt() == -3,
          "capability answers without a session");
    Check(reinterpret_cast<void*>(mfParPrePaid) == reinterpret_cast<void*>(mfParNonFiscalReceipt),
          "mfParPrePaid and mfParNonFiscalReceipt share one entry point");
    Check(mfStart3(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0) == 1,
          "mfStart3 answers 1");
}

using BeginTicket = int(__stdcall*)(int);
using LineTicket = int(__stdcall*)(intptr_t, const char*, int, const char*, int, int, int);
using EndTicket = int(__stdcall*)(int, int, int, int, const char*, int, const char*, int,
                                  const char*, int, const char*, int, const char*, const char*,
                                  const char*);

// A whole sale: the widest stdcall signatures of the receipt.
void Sale() {
    auto mfBeginTicket = Find<BeginTicket>("mfBeginTicket", 620);
    auto mfLineTicket = Find<LineTicket>("mfLineTicket", 630);
    auto mfStornoLineTicket = Find<LineTicket>("mfStornoLineTicket", 640);
    auto mfEndTicket = Find<EndTicket>("mfEndTicket", 660);
    auto mfGetLastTicketNo = Find<OnePointer>("mfGetLastTicketNo", 250);
    Check(mfBeginTicket(-1) == 0, "mfBeginTicket");
    Check(mfLineTicket(0, "Chleb pszenny", 'A', "szt", 450, 2000, 0) == 0, "mfLineTicket");
    Check(mfLineTicket(0, "Woda mineralna", 'B', "szt", 199, 1000, 0) == 0, "mfLineTicket again");
    Check(mfStornoLineTicket(0, "Woda mineralna", 'B', "szt", 199, 1000, 0) == 0,
          "mfStornoLineTicket");
    Check(mfEndTicket(0, 0, 7, 1000, "EUR 4,2000", 0, "", 0, "", 0, "", 0, "", "", "") == 0,
          "mfEndTicket");
    int number = 0;
    Check(mfGetLastTicketNo(&number) == 0 && number == 1, "the receipt is the day's first");
}

// Output buffers where a 64-bit process may have them: above 4 GB, where a pointer cut to
// 32 bits points elsewhere. A 32-bit process gets ordinary memory.
template <typename T>
T* HighMemory(size_t count) {
#ifdef _WIN64
    void* memory = VirtualAlloc(nullptr, count * sizeof(T), MEM_COMMIT | MEM_RESERVE | MEM_TOP_DOWN,
                                PAGE_READWRITE);
    Check(reinterpret_cast<uintptr_t>(memory) > 0xFFFFFFFFu, "a buffer above 4 GB");
    return static_cast<T*>(memory);
#else
    return new T[count]();
#endif
}

void Session() {
    auto mfStart = Find<TwoInts>("mfStart", 410);
    auto mfStop = Find<NoArgs>("mfStop", 411);
    auto mfGetVersion = Find<TwoPointers>("mfGetVersion", 230);
    auto mfGetSerNo = Find<Text>("mfGetSerNo", 9974);
    auto mfGetTax = Find<SixPointers>("mfGetTax", 260);
    auto mfParMessage = Find<Message>("mfParMessage", 340);
    auto mfAnyCommand = Find<AnyCommand>("mfAnyCommand", 9972);

    const int started = mfStart(0, 1);
    Check(started == 0, "mfStart on COM1");
    if (started != 0) std::printf("     mfStart gave %d\n", started);
    int* versions = HighMemory<int>(2);
    Check(mfGetVersion(&versions[0], &versions[1]) == 0 && versions[0] == 2 && versions[1] == 0,
          "mfGetVersion gives 2");
    char* serial = HighMemory<char>(12);
    Check(mfGetSerNo(serial) == 0 && std::strcmp(serial, "TRN26000001") == 0, "mfGetSerNo");
    int r[6] = {};
    Check(mfGetTax(&r[0], &r[1], &r[2], &r[3], &r[4], &r[5]) == 0 && r[0] == 2300 && r[4] == -1,
          "mfGetTax");
    char classText[39] = {}, detailText[39] = {};
    Check(mfParMessage(514, classText, detailText) == 0 && std::strcmp(detailText,
                                                                       "B\x88\xA5"
                                                                       "d komunikacji MF") == 0,
          "mfParMessage 514 in code page 852");
    const unsigned char query[] = {0x1B, 0x66};
    unsigned char answer[8] = {};
    int got = -1;
    Check(mfAnyCommand(2, query, 3, answer, &got, 2000) == 0 && got == 3 && answer[0] == 0x06,
          "mfAnyCommand");
    Sale();
    const int firstStop = mfStop();
    Check(firstStop == 0 && mfStop() == 0, "mfStop twice");
}

}  // namespace

int main() {
    std::setvbuf(stdout, nullptr, _IONBF, 0);  // a run cut short still shows how far it got
    g_dll = LoadLibraryA("TARN.dll");
    Check(g_dll != nullptr, "LoadLibrary TARN.dll");
    if (g_dll == nullptr) return 1;
    WithoutSession();
    Session();
    std::printf("%d failed\n", g_failures);
    return g_failures;
}
