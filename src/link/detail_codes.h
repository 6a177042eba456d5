// Every detail code the library leaves in mfErrorL: class * 256 + number. The link gives the
// communication and range failures and the codes of the printer's refusals, the families the
// rest; the texts for them are in api/detail_texts.h.
#pragma once

namespace tarn {

// Class 1: critical.
constexpr int kCodeFiscalError = 257;
constexpr int kCodeResourcesExhausted = 258;
constexpr int kCodeNotInitialised = 259;
// Class 2: not critical.
constexpr int kCodeDisplayError = 513;
constexpr int kCodeCommunication = 514;
constexpr int kCodeBatteryError = 515;
constexpr int kCodeInitialisationError = 518;
// Class 3: while working.
constexpr int kCodeOther = 769;
constexpr int kCodeWrongOrder = 770;
constexpr int kCodeOutOfRange = 771;
constexpr int kCodeBadTaxLetter = 772;
constexpr int kCodeItemBlocked = 773;
constexpr int kCodeClockChange = 775;
constexpr int kCodeDayOpen = 777;
constexpr int kCodeDayClosed = 778;
constexpr int kCodeDocumentOpen = 779;
constexpr int kCodeDocumentNotOpen = 780;
constexpr int kCodeNoPaper = 784;

}  // namespace tarn
