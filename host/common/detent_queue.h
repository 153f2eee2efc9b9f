// How many knob detents a host queues for the decoder at most, either way. A knob turned faster
// than the decoder takes detents reaches the largest step long before, and the bound keeps the
// decoder's step arithmetic far from overflowing.
#pragma once

inline constexpr int MAX_QUEUED_DETENTS = 100;
