#include "nonfiscal/nonfiscal_state.h"

#include <cstring>

namespace tarn {

void CopyCut(char* buffer, int size, const char* text) {
    if (buffer == nullptr || size <= 0) return;
    const char* source = text != nullptr ? text : "";
    const size_t length = strnlen(source, static_cast<size_t>(size - 1));
    std::memcpy(buffer, source, length);
    buffer[length] = '\0';
}

}  // namespace tarn
