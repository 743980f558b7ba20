// The machine clock: the time window timers run on.
//
// It starts at 0 and moves only when the UI agent (`advance MS`) or a test
// advances it, so a five-second timer fires when five seconds of machine time
// have passed, however long the run really takes. Sleep and GetTickCount
// keep the host's time.
#pragma once

#include <cstdint>

namespace winsim {

/// Milliseconds of machine time since the process started.
std::uint64_t clockMs();
/// Moves the clock forward and wakes every thread waiting for messages, so
/// that timers which came due are delivered.
void advanceClock(std::uint64_t milliseconds);

}  // namespace winsim
