// The texts mfParMessage gives for a detail code. The codes themselves are named in
// link/detail_codes.h, where the link that gives most of them reaches them.
#pragma once

namespace tarn {

// The text table index of the code's class text and of its detail text.
int ClassTextIndex(int code);
int DetailTextIndex(int code);

}  // namespace tarn
