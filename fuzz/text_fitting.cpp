// The routines that turn amounts and texts into what the printer and the display show. Beyond
// not crashing, each keeps its stated shape: widths are exact, amounts read back to the same
// value, code page 852 survives a trip through UTF-8.
#include <cstdint>
#include <string>

#include "cardslip/slip_text.h"
#include "devices/display.h"
#include "fuzz_input.h"
#include "receipt/receipt_state.h"
#include "text/cp852.h"
#include "text/formatting.h"

namespace tarn::fuzz {
namespace {

constexpr int64_t kLargestReadable = 100000000000000000;  // 10^17: ReadDigits cannot overflow

void Amounts(int64_t value) {
    const std::string text = AmountToText(value, 2);
    const std::string grouped = GroupThousands(text);
    if (value > -kLargestReadable && value < kLargestReadable) {
        Require(ReadDigits(text) == value);
        Require(ReadDigits(grouped) == value);
        Require(ReadDigits(slipAmountText(value)) == value);
    }
    const std::string printed = PrintedAmount(value);
    Require(!printed.empty() && printed.find('-') == std::string::npos);
    Require(!DisplayAmount(value).empty());
    Require(IntToText(value) == std::to_string(value));
}

void Widths(const std::string& text, int width, int mode) {
    const size_t expected = text.size() < static_cast<size_t>(width > 0 ? width : 0)
                                ? static_cast<size_t>(width)
                                : text.size();
    constexpr Align kAlignments[] = {Align::Left, Align::Right, Align::Centre};
    Require(PadText(text, width, kAlignments[mode % 3]).size() == expected);
    const std::string amount = AmountToText(width, 2);
    if (width >= 0 && amount.size() <= static_cast<size_t>(width)) {
        Require(LabelAndAmount(text, amount, width).size() == static_cast<size_t>(width));
    }
    if (width >= 0 && width <= 255) {
        Require(rightAlign(text, width).size() == expected);
        Require(leftAlign(text, width).size() == static_cast<size_t>(width));
        Require(cutRightAlign(text, width).size() == static_cast<size_t>(width));
    }
    centreText(text, width, mode);
    Require(markText(width).size() <= 1);
}

void Display(const std::string& text, int type) {
    const DisplayType& display = DisplayOf(type);
    Positions(text, display);
    if (display.width < 0) return;
    const std::string fitted = FitText(text, display, type);
    Require(Positions(fitted, display) == display.width);
    for (const char c : fitted) Require(display.characters->find(c) != std::string::npos);
}

void Names(const std::string& text) {
    const std::string name = FixUpName(text.c_str());
    Require(name.size() >= 10 && name.size() <= 28);
    Require(Utf8ToCp852(Cp852ToUtf8(text)) == text);
    Utf8ToCp852(text);
}

}  // namespace
}  // namespace tarn::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarn;
    fuzz::FuzzInput input(data, size);
    const int64_t value = input.Int64();
    const int32_t price = input.Int32();
    const int32_t quantity = input.Int32();
    const int32_t lineValue = input.Int32();
    const int width = input.Int32() % 300;
    const int mode = input.Byte() % 3;
    const int type = input.Byte() % 5;
    const std::string mask = input.Text(64);
    const std::string text = input.Rest();
    fuzz::Amounts(value);
    fuzz::Widths(text, width, mode);
    fuzz::Display(text, type);
    fuzz::Names(text);
    LineValue(price, quantity, lineValue);
    MatchMask(mask.c_str(), text.c_str());
    return 0;
}
