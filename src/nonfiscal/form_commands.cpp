#include "nonfiscal/form_commands.h"

#include <string>

#include "text/field_text.h"

namespace tarn {

namespace {

constexpr int kPayInOutWidth = 20;
constexpr int kOrderQuantityWidth = 27;
constexpr int kReturnLineWidth = 30;
constexpr int kQuantityRoom = kReturnLineWidth - 4;  // before " = -"
// The quantity of a return is written whole: no command holds more than its body, and one that
// does not fit is refused whole, so the quantity is read no further.
constexpr size_t kMostQuantity = CRequest::kBodySize;

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

CRequestBeginOrder::CRequestBeginOrder(const char* text1, const char* text2)
    : CRequestFormRecord(Framing::Unacknowledged) {
    AppendHead("70");
    AppendLine("10", text2, 27, Align::Right);
    AppendLine("20", text1, 33, Align::Right);
    AppendCode("30");
}

CRequestLineOrder::CRequestLineOrder(const char* text1, const char* text2, const char* text3)
    : CRequestFormRecord(Framing::Raw) {
    AppendLine("40", text1, 33, Align::Right);
    if (!FieldText(text2, kOrderQuantityWidth).empty()) {
        AppendLine("50", text2, kOrderQuantityWidth, Align::Right);
        AppendLine("60", text3, 33, Align::Right);
    }
    AppendCode("70");
}

CRequestEndOrder::CRequestEndOrder() : CRequestFormRecord(Framing::Raw) {
    AppendCode("90");
    AppendEnd();
}

CRequestLineReturn::CRequestLineReturn(const char* returnNumber, const char* personName,
                                       const char* name, const char* quantity, const char* total) {
    const std::string quantityText = FieldText(quantity, kMostQuantity);
    const size_t q = quantityText.size();
    // The total is printed only when it fits the room the quantity leaves: it is read one byte
    // past that room, which tells whether it fits.
    const size_t most = static_cast<size_t>(kQuantityRoom);
    const size_t room = q < most ? most - q : 0;
    const std::string totalText = room > 0 ? FieldText(total, room + 1) : std::string();
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
