// A caller's text as far as its field reads it.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>

namespace tarn {

// The bytes of `text` before its NUL, at most `width` of them; a null text is empty. Nothing
// past `width` bytes is touched, so a text that fills its field and has no NUL (an application's
// fixed-width record at the end of its memory) is read safely. Every caller text that goes into
// a field of known width, or into a log line, is read through this.
inline std::string FieldText(const char* text, size_t width) {
    if (text == nullptr) return {};
    return std::string(text, strnlen(text, width));
}

}  // namespace tarn
