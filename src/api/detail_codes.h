// Detail codes (class * 256 + number) and the texts mfParMessage gives for them.
#pragma once

namespace tarn {

constexpr int kCodeFiscalError = 257;
constexpr int kCodeResourcesExhausted = 258;
constexpr int kCodeNotInitialised = 259;
constexpr int kCodeDisplayError = 513;
constexpr int kCodeInitialisationError = 518;
constexpr int kCodeOther = 769;
constexpr int kCodeWrongOrder = 770;
constexpr int kCodeBadTaxLetter = 772;
constexpr int kCodeItemBlocked = 773;
constexpr int kCodeClockChange = 775;
constexpr int kCodeDayOpen = 777;
constexpr int kCodeDayClosed = 778;
constexpr int kCodeDocumentOpen = 779;
constexpr int kCodeDocumentNotOpen = 780;
constexpr int kCodeNoPaper = 784;

// The text table index of the code's class text and of its detail text.
int ClassTextIndex(int code);
int DetailTextIndex(int code);

}  // namespace tarn
