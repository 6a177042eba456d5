#pragma once

#include <string>

#include "link/request.h"

namespace tarn {

// 'C', then the point-of-sale number and the cashier number as two ASCII digits each.
class CRequestPosNumbers : public CRequest {
public:
    CRequestPosNumbers(int cashNo, int cashierNo);
};

// The characters allowed in item names and footer lines: 0x20-0x7F, then 37 code page 852
// letters and signs.
std::string PrintableCharacters();

}  // namespace tarn
