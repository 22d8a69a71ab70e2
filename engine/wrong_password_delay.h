#pragma once
// The pause before "The password is incorrect." is shown. Attempts that follow
// each other within three seconds wait one second longer each time (1, 2,
// 3 ... seconds); after a longer pause the wait is one second again. The two
// cells belong to the database, so the rule spans several open attempts.

#include <cstdint>

namespace corvane {

// Grows or resets `delay` (ms) by the time since `tick`, sleeps that long on
// Clock(), and sets `tick` to the tick count after the sleep. Tick counts are
// compared across a 32-bit wrap-around.
void WaitAfterWrongPassword(std::uint32_t& tick, std::uint32_t& delay);

}  // namespace corvane
