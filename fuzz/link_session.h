// A session and a sale, each call enabled by one bit of a selector, checked as it returns:
// a documented result, a detail code with -2, and an end within the time-outs' bound.
#pragma once

#include <cstdint>
#include <memory>

#include "fuzz_input.h"
#include "platform/platform.h"
#include "tarn/tarn.h"

namespace tarn::fuzz {

constexpr int64_t kLongestCallMs = 15 * 60 * 1000;

inline void Check(int result, Platform& platform, int64_t startedMs) {
    Require(result >= -3 && result <= 1);
    if (result == -2) Require(mfError() != 0);
    Require(platform.MonotonicMs() - startedMs <= kLongestCallMs);
}

// The calls, each enabled by one bit of the selector; buffers are exactly as large as the
// interface promises, on the heap, so that an overrun is caught.
inline void RunSession(uint32_t selector, Platform& platform) {
    auto call = [&](int bit, auto&& body) {
        if ((selector & (1u << bit)) == 0) return;
        const int64_t started = platform.MonotonicMs();
        Check(body(), platform, started);
    };
    auto serial = std::make_unique<char[]>(12);
    auto number = std::make_unique<int[]>(6);
    auto answer = std::make_unique<unsigned char[]>(16);
    call(0, [&] { return mfStart(0, 1); });
    call(1, [&] { return mfGetSerNo(serial.get()); });
    call(2, [&] { return mfGetLastTicketNo(&number[0]); });
    call(3, [&] { return mfPrState(); });
    call(4, [&] {
        return mfGetTax(&number[0], &number[1], &number[2], &number[3], &number[4], &number[5]);
    });
    call(5, [&] { return mfGetDate(&number[0], &number[1], &number[2]); });
    call(6, [&] { return mfBeginTicket(-1); });
    call(7, [&] { return mfLineTicket(0, "Chleb pszenny", 'A', "szt", 350, 2000, 0); });
    call(8, [&] { return mfStornoLineTicket(0, "Chleb pszenny", 'A', "szt", 350, 1000, 0); });
    call(9, [&] {
        return mfEndTicket(0, 0, 0, 350, "Got\xA2wka", 0, "", 0, "", 0, "", 0, "", "", "");
    });
    call(10, [&] { return mfStornoTicket(); });
    call(11, [&] { return mfDrawerIsOpen(1, &number[0]); });
    call(12, [&] {
        return mfPrPayIn(
            "Wp\x88"
            "ata",
            "Kasa 1", "Jan", "100,00");
    });
    call(13, [&] { return mfShiftEnd(); });
    call(14, [&] {
        return mfAnyCommand(2, reinterpret_cast<const unsigned char*>("\x1Bq"), 16, answer.get(),
                            &number[0], 500);
    });
    call(15, [&] { return mfBgOrder("Stolik 4", "Jan"); });
    call(16, [&] { return mfLineOrder("Zupa", "", ""); });
    call(17, [&] { return mfEndOrder(); });
    call(18, [&] { return mfDispSum("Suma", 1250); });
    call(19, [&] { return mfStatMode(&number[0]); });
    call(20, [&] { return mfStop(); });
}

}  // namespace tarn::fuzz
