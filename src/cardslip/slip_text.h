// The text routines of the card-terminal slips: alignment in a field, centring with a reserve,
// amounts with a full stop before the grosze. Texts are code page 852 bytes.
#pragma once

#include <cstdint>
#include <string>

namespace tarn {

// Spaces up to `width`, then the text; the text alone when it is at least as long. A width
// above 255 gives nothing.
std::string rightAlign(const std::string& text, int width);
// The text cut to `width`, then spaces up to `width`.
std::string leftAlign(const std::string& text, int width);
// The text cut to `width`, then right-aligned in `width`.
std::string cutRightAlign(const std::string& text, int width);
// Right-aligned in (length + width - reserve) / 2, then left-aligned in `width`: in 30 columns
// with a reserve of 9 a text of L characters gets (21 - L) / 2 leading spaces, none from 21.
std::string centreText(const std::string& text, int width, int reserve);
// |value| with at least three digits, a full stop before the last two, a leading minus when
// negative, no thousands separators: 5 gives "0.05", -150 gives "-1.50".
std::string slipAmountText(int64_t value);
// The mark character: the low byte of `mark`, nothing when that byte is 0.
std::string markText(int32_t mark);

}  // namespace tarn
