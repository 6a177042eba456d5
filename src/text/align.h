// Where a text shorter than its field stands in it: the one choice of every text helper.
#pragma once

namespace tarn {

// Left: the padding after the text; Right: before it; Centre: half before, the odd byte after.
enum class Align { Left, Right, Centre };

}  // namespace tarn
