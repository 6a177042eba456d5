// Blocks that arrive without ESC after an accepted announcement: logo rows, footer lines
// and report descriptions (read in handlers_reports.cpp).
#include <string>

#include "handlers.h"

namespace tarn::sim {

namespace {

constexpr int kLogoRows = 64;
constexpr int kRowBytes = 24;
constexpr int kFooterWidth = 40;

uint8_t Xor(const Bytes& block, size_t from, size_t count) {
    uint8_t check = 0;
    for (size_t i = 0; i < count; ++i) check ^= block[from + i];
    return check;
}

Bytes LogoRow(Context& ctx, const Bytes& block) {
    const int row = block[0];
    if (row >= kLogoRows) return {kNak};
    Bytes out{static_cast<uint8_t>(row), 0};
    const auto& dots = ctx.state.logo[static_cast<size_t>(row)];
    out.insert(out.end(), dots.begin(), dots.end());
    return out;
}

// Row number, 24 bytes of dots, the exclusive OR of those 24 bytes: 0 taken, 1 refused.
// With the last row in, the printer prints the new logo.
Bytes StoreLogoRow(Context& ctx, const Bytes& block) {
    const int row = block[0];
    if (row >= kLogoRows || Xor(block, 1, kRowBytes) != block[1 + kRowBytes]) return {1};
    auto& dots = ctx.state.logo[static_cast<size_t>(row)];
    for (size_t i = 0; i < kRowBytes; ++i) dots[i] = block[1 + i];
    if (row == kLogoRows - 1) {
        ctx.roll.PrintCentred("NOWE LOGO");
        PrintLogo(ctx);
        ctx.roll.Cut();
    }
    return {0};
}

// Line number, 40 characters, the exclusive OR of the characters: 0 taken, 1 refused.
Bytes StoreFooterLine(Context& ctx, const Bytes& block) {
    const int line = block[0];
    if (line >= 3 || Xor(block, 1, kFooterWidth) != block[1 + kFooterWidth]) return {1};
    ctx.state.footer[static_cast<size_t>(line)] =
        std::string(block.begin() + 1, block.begin() + 1 + kFooterWidth);
    return {0};
}

}  // namespace

// 192 x 64 dots on 40 columns: each character stands for a cell of about 5 x 4 dots, "#"
// when at least half of them are black, "+" when some are.
void PrintLogo(Context& ctx) {
    bool blank = true;
    for (const auto& row : ctx.state.logo) {
        for (const uint8_t byte : row) blank = blank && byte == 0;
    }
    if (blank) return;
    constexpr int kColumns = PaperRoll::kWidth;
    constexpr int kRowsPerLine = 4;
    for (int top = 0; top < kLogoRows; top += kRowsPerLine) {
        std::string line;
        for (int column = 0; column < kColumns; ++column) {
            const int from = column * kRowBytes * 8 / kColumns;
            const int to = (column + 1) * kRowBytes * 8 / kColumns;
            int black = 0;
            for (int row = top; row < top + kRowsPerLine; ++row) {
                for (int dot = from; dot < to; ++dot) {
                    black +=
                        (ctx.state.logo[static_cast<size_t>(row)][static_cast<size_t>(dot / 8)] >>
                         (7 - dot % 8)) &
                        1;
                }
            }
            const int cell = (to - from) * kRowsPerLine;
            line += black * 2 >= cell ? '#' : (black > 0 ? '+' : ' ');
        }
        ctx.roll.Print(line);
    }
}

int RawBlockLength(RawBlock kind, const Bytes& soFar) {
    switch (kind) {
        case RawBlock::LogoRowRequest: return 1;
        case RawBlock::LogoRowUpload: return 2 + kRowBytes;
        case RawBlock::FooterLine: return 2 + kFooterWidth;
        case RawBlock::ReportDescription:
            if (soFar.empty()) return -1;
            if (soFar[0] == 0 || soFar[0] == 3) return 13;
            return soFar[0] == 1 ? 5 : 1;
        case RawBlock::None: break;
    }
    return 1;
}

Bytes HandleRawBlock(Context& ctx, RawBlock kind, const Bytes& block) {
    switch (kind) {
        case RawBlock::LogoRowRequest: return LogoRow(ctx, block);
        case RawBlock::LogoRowUpload: return StoreLogoRow(ctx, block);
        case RawBlock::FooterLine: return StoreFooterLine(ctx, block);
        case RawBlock::ReportDescription: return ReportFromDescription(ctx, block);
        case RawBlock::None: break;
    }
    return {};
}

}  // namespace tarn::sim
