// The cash drawers and the customer display on the printer's ports.
#include <string>

#include "handlers.h"

namespace tarn::sim {

namespace {

constexpr uint8_t kFirstDrawer = 0x57;  // 'W'; 'X' and 'Y' the second and third
constexpr size_t kMostDisplayText = 30;

int DrawerOf(uint8_t command) {
    return command - kFirstDrawer + 1;
}

}  // namespace

// From type 8 the printer has one drawer output: only 'W'.
bool AcceptDrawer(Context& ctx) {
    return ctx.state.HasDrawer(DrawerOf(ctx.command));
}

Bytes OpenDrawer(Context& ctx, const Bytes& body) {
    ctx.state.OpenDrawer(DrawerOf(body[0]), ctx.nowMs);
    return {};
}

// 'R', the text, ESC 'S'. A byte 0 in the text stands for 0xFF, which the line cannot carry.
// The command holds 30 bytes of text: the display is passed no more.
Bytes DisplayText(Context& ctx, const Bytes& body) {
    std::string text(body.begin() + 1, body.end() - 2);
    if (text.size() > kMostDisplayText) text.resize(kMostDisplayText);
    for (char& c : text) {
        if (c == '\0') c = static_cast<char>(0xFF);
    }
    ctx.state.display.Show(text, ctx.state.DisplaySummary());
    return {};
}

Bytes DisplaySummary(Context& ctx, const Bytes&) {
    ctx.state.display.ShowSummary(ctx.state.DisplaySummary());
    return {};
}

}  // namespace tarn::sim
