// The printer's logo (192 x 64 dots): backing it up to "<path>.old" and loading a logo file.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace tarn {

constexpr int kLogoRows = 64;
constexpr int kLogoRowBytes = 24;
constexpr int kLogoRowDots = kLogoRowBytes * 8;

using LogoRow = std::array<uint8_t, kLogoRowBytes>;
using Logo = std::array<LogoRow, kLogoRows>;

// A text line of dots ("X" black, anything else white) as the row's bytes, leftmost dot in
// the most significant bit. Dots past the end of the text are white.
LogoRow RowFromText(const std::string& line);
// The row as 192 characters of "X" and " ".
std::string TextFromRow(const LogoRow& row);
// The logo file: its first line is skipped, then one line per row; missing rows are white.
// Empty when it cannot be opened, is no regular file or has no line after its first.
std::optional<Logo> ReadLogoFile(const char* path);

// Backs up the printer's logo and loads the logo file; run by mfStart on printers of type 8
// and above. 0, or -2 when an exchange failed (its detail code in mfErrorL). Anything else
// that stops a transfer ends only that transfer.
[[nodiscard]] int TransferLogo(const char* logoPath);

}  // namespace tarn
