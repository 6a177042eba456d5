// Non-fiscal forms, the cash drawers and the customer display.
#include <string>

#include "handlers.h"

namespace tarn::sim {

bool AcceptForm(Context& ctx) {
    return !ctx.state.receiptOpen && !ctx.state.paperOut;
}

// Prints the form's items one per line: the two-digit line code and its text.
void HandleForm(Context& ctx, const Bytes& record) {
    const std::string code =
        record.size() >= 3 ? std::string(record.begin() + 1, record.begin() + 3) : "";
    ctx.roll.PrintCentred("WYDRUK NIEFISKALNY " + code);
    std::string line;
    for (size_t i = 3; i < record.size(); ++i) {
        if (record[i] == '\n') {
            ctx.roll.Print(line);
            line.clear();
        } else {
            line += static_cast<char>(record[i]);
        }
    }
    if (!line.empty()) ctx.roll.Print(line);
    ctx.roll.Cut();
}

bool AcceptDrawer(Context& ctx) {
    return ctx.state.model.type < 8 || ctx.command == 0x57;
}

Bytes OpenDrawer(Context& ctx, const Bytes& body) {
    const size_t drawer = static_cast<size_t>(body[0] - 0x57);
    if (drawer < ctx.state.drawerOpen.size())
        ctx.state.drawerOpen[ctx.state.model.type >= 8 ? 0 : drawer] = true;
    return {};
}

// 'R', the text (a byte 0 stands for 0xFF), ESC 'S'.
Bytes DisplayText(Context& ctx, const Bytes& body) {
    std::string text(body.begin() + 1, body.end() - 2);
    for (char& c : text) {
        if (c == '\0') c = static_cast<char>(0xFF);
    }
    ctx.state.displayText = text;
    return {};
}

Bytes DisplaySummary(Context& ctx, const Bytes&) {
    ctx.state.displayText = "SUMA";
    return {};
}

}  // namespace tarn::sim
