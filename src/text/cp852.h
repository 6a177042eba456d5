// Code page 852, the printer's character set, to and from UTF-8.
#pragma once

#include <string>

namespace tarn {

// Characters without a place in code page 852 become '?'.
std::string Utf8ToCp852(const std::string& utf8);
std::string Cp852ToUtf8(const std::string& cp852);

}  // namespace tarn
