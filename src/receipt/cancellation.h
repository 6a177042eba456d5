#pragma once

namespace tarn {

// Asks the printer whether it cancelled the open receipt: 0 when it stands, -2 with the
// reason's detail code when it does not, or a failed query's result.
[[nodiscard]] int WhyTicketCanceled();

}  // namespace tarn
