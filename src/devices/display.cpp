// The customer display: sale lines, sums, the summary and free texts, fitted to the display
// the printer reported at start-up.
#include "devices/display.h"
#include "api/exported.h"

#include <cstdio>
#include <cstring>

#include "api/library.h"
#include "api/log.h"
#include "link/detail_codes.h"
#include "tarn/tarn.h"
#include "text/field_text.h"
#include "text/formatting.h"

namespace tarn {

namespace {

constexpr int kMostSent = 30;
constexpr size_t kLongestShown = 32;
constexpr size_t kLongestSummaryLabel = 20;
constexpr char kControl = 0x0B;

// 'R', the text (at most 30 bytes, 0xFF sent as 0x00), ESC 'S'.
class CRequestSendToDisplay1 : public CRequest {
public:
    explicit CRequestSendToDisplay1(const std::string& text) {
        AppendByte('R');
        for (size_t i = 0; i < text.size() && i < static_cast<size_t>(kMostSent); ++i) {
            const auto byte = static_cast<uint8_t>(text[i]);
            AppendByte(byte == 0xFF ? 0x00 : byte);
        }
        AppendByte(0x1B);
        AppendByte('S');
    }
};

class CRequestDisplaySummary : public CRequest {
public:
    CRequestDisplaySummary() : CRequest(Framing::Unacknowledged) { AppendByte(0x80); }
};

int Send(const std::string& text) {
    CRequestSendToDisplay1 request(text);
    return Exchange(request);
}

// Both texts fitted and sent as the display type takes them; a display of no listed type is
// sent nothing. The two lines of type 3 with their control bytes are 47 bytes, more than one
// command carries: each line goes in a command of its own. The display keeps its place between
// commands, so it takes the same bytes in the same order as from one text.
[[nodiscard]] int Show(Library& lib, const std::string& first, const std::string& second) {
    const int type = lib.displayType;
    if (type < 1 || type > 3) return Succeeded();
    const DisplayType& display = DisplayOf(type);
    std::string one = first.substr(0, kLongestShown);
    std::string two = second.substr(0, kLongestShown);
    if (type != 3) {
        for (std::string* text : {&one, &two}) {
            for (char& c : *text) c = c == ',' ? '.' : c;
        }
    }
    one = FitText(one, display, type);
    two = FitText(two, display, type);
    lib.mfErrorL = 0;
    if (type != 3) return Send(two + "\n");
    const int result = Send(std::string("\r\x0E\x12\x0B") + one + "\n");
    return result != 0 ? result : Send("\f" + two + "\n");
}

// A label and an amount on one line of the display's width; the label gives way first.
std::string SummaryLine(std::string label, const std::string& amount, const DisplayType& display) {
    const int width = display.width;
    while (!label.empty() && Positions(label + amount, display) > width - 1) label.pop_back();
    while (Positions(label + amount, display) < width) label += ' ';
    return label + amount;
}

}  // namespace

}  // namespace tarn

using namespace tarn;

int tarn::exported::mfParFiscDisp(Library& lib, int item, char* name, int* width, int* lines,
                                  char* characters, int* pointMode, int* pointMode2) {
    if (item != 0) return Succeeded(MF_NOT_PERFORMED);
    LogInfoF("In mfParFiscDisp, item %d", 1);
    const int type = lib.displayType;
    if (type < 1 || type > 3) return Failed(kCodeOther);
    const DisplayType& display = DisplayOf(type);
    if (name != nullptr) std::snprintf(name, 11, "%s", display.name);
    if (width != nullptr) *width = display.width;
    if (lines != nullptr) *lines = display.lines;
    if (characters != nullptr)
        std::memcpy(characters, display.characters->c_str(), display.characters->size() + 1);
    if (pointMode != nullptr) *pointMode = display.pointMode;
    if (pointMode2 != nullptr) *pointMode2 = display.pointMode;
    return Succeeded();
}

int tarn::exported::mfDispTicketLine(Library& lib, const char* name, int price, int quantity,
                                     int value) {
    if (lib.IsDocumentOpen(MF_DOC_RECEIPT)) return Failed(kCodeDocumentOpen);
    LogInfoF(
        "In mfDispTicketLine, CRequestSendToDisplay1, upos_DisplayType %d, price: %d, quantity: "
        "%d, value: %d",
        lib.displayType, price, quantity, value);
    if (lib.displayType == 2) {
        const std::string text = std::string(1, kControl) + "1" + DisplayAmount(value) + "\n";
        const int result = Send(text);
        LogResultF(result,
                   "In mfDispTicketLine, CRequestSendToDisplay2, upos_DisplayType %d, "
                   "szDispTicketLine: %s,\t\t\tresult: "
                   "%d, price: %d, quantity: %d, value: %d",
                   lib.displayType, text.c_str(), result, price, quantity, value);
        return result;
    }
    // The call succeeds whatever the display did; mfErrorL keeps its code.
    (void)Show(lib, FieldText(name, kLongestShown), DisplayAmount(value));
    return MF_OK;
}

int tarn::exported::mfDispSum(Library& lib, const char* text, int amount) {
    if (lib.IsDocumentOpen(MF_DOC_RECEIPT)) return Failed(kCodeDocumentOpen);
    if (lib.displayType == 2) {
        const std::string shown = std::string(1, kControl) + "2" + DisplayAmount(amount) + "\n";
        const int result = Send(shown);
        LogResultF(result,
                   "In mfDispSum, CRequestSendToDisplay1, upos_DisplayType %d, szDispSum: "
                   "%s,\t\t\tresult: %d",
                   lib.displayType, shown.c_str(), result);
        return result != 0 ? result : Succeeded();
    }
    // The call succeeds whatever the display did.
    (void)Show(lib, FieldText(text, kLongestShown), DisplayAmount(amount));
    return Succeeded();
}

int tarn::exported::mfDispSummary(Library& lib, const char* text1, int amount1, const char* text2,
                                  int amount2) {
    if (lib.capabilities.displaySummary) {
        CRequestDisplaySummary summary;
        return Exchange(summary);
    }
    const int type = lib.displayType;
    if (type < 1 || type > 3) return Show(lib, "", "");
    const DisplayType& display = DisplayOf(type);
    const std::string label1 = type == 3 ? FieldText(text1, kLongestSummaryLabel) : "";
    const std::string label2 = type == 3 ? FieldText(text2, kLongestSummaryLabel) : "";
    const std::string line1 = SummaryLine(label1, AmountToText(amount1, 2), display);
    const std::string line2 = SummaryLine(label2, AmountToText(amount2, 2), display);
    if (type == 2) {
        (void)Show(lib, line1, line2);  // shown again below, where it counts
        const int result = Send(std::string(1, kControl) + "0" + std::string(1, kControl) + "3");
        if (result != 0) return result;
    }
    return Show(lib, line1, line2);
}

int tarn::exported::mfDispConsumerLOGO(Library& lib, const char* text1, const char* text2) {
    // Each text is shown as far as a display line holds it, and read no further.
    const std::string one = FieldText(text1, kLongestShown);
    const std::string two = FieldText(text2, kLongestShown);
    if (lib.displayType == 2) {
        const int result = Send(std::string(1, kControl) + "0");
        if (result != 0) return result;
    }
    return Show(lib, one, two);
}
