#include "nonfiscal/form_commands.h"

#include <string>

namespace tarn {

namespace {

constexpr int kPayInOutWidth = 20;
constexpr int kReturnLineWidth = 30;
constexpr int kQuantityRoom = kReturnLineWidth - 4;  // before " = -"

std::string Text(const char* text) {
    return text != nullptr ? text : "";
}

}  // namespace

CRequestPayInOut::CRequestPayInOut(int kind, const char* text1, const char* text2,
                                   const char* text3, const char* text4) {
    AppendHead(kind == kPayIn ? "20" : "30");
    AppendLine("10", text1, kPayInOutWidth, Align::Right);
    AppendLine("20", text2, kPayInOutWidth, Align::Right);
    if (kind != kPayOut) AppendLine("30", text3, kPayInOutWidth, Align::Right);
    AppendLine("40", text4, kPayInOutWidth, Align::Right);
    AppendCode("70");
    AppendEnd();
}

CRequestBeginOrder::CRequestBeginOrder(const char* text1, const char* text2) {
    AppendHead("70");
    AppendLine("10", text2, 27, Align::Right);
    AppendLine("20", text1, 33, Align::Right);
    AppendCode("30");
}

CRequestLineOrder::CRequestLineOrder(const char* text1, const char* text2, const char* text3) {
    AppendLine("40", text1, 33, Align::Right);
    if (!Text(text2).empty()) {
        AppendLine("50", text2, 27, Align::Right);
        AppendLine("60", text3, 33, Align::Right);
    }
    AppendCode("70");
}

CRequestEndOrder::CRequestEndOrder() {
    AppendCode("90");
    AppendEnd();
}

CRequestLineReturn::CRequestLineReturn(const char* returnNumber, const char* personName,
                                       const char* name, const char* quantity, const char* total) {
    const std::string quantityText = Text(quantity);
    const std::string totalText = Text(total);
    const size_t q = quantityText.size();
    AppendHead("51");
    AppendLine("10", returnNumber, kReturnLineWidth, Align::Right);
    AppendLine("20", name, kReturnLineWidth, Align::Right);
    AppendCode("40");
    AppendTextWhole(quantityText);
    if (q < static_cast<size_t>(kQuantityRoom)) AppendWhole(" = -");
    if (q + totalText.size() + 4 <= static_cast<size_t>(kReturnLineWidth)) {
        AppendText(totalText.c_str(), kQuantityRoom - static_cast<int>(q), Align::Left, ' ');
    }
    AppendByte('\n');
    AppendLine("60", personName, 20, Align::Left);
    AppendCode("70");
    AppendByte('\n');
    AppendEnd();
}

}  // namespace tarn
