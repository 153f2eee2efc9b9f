// A picture of the whole instrument state as JSON, for the headless runner's snapshots and the
// desktop window's debug key. Taking a snapshot only reads: it never changes firmware state (no
// demo reader, no smoothing step, nothing that advances).
#pragma once
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

// What only the host knows: its clock and how often it has driven the firmware.
struct host_clock_reading {
  std::int64_t time_ms = 0;  // instrument time since firmware_init
  std::int64_t passes = 0;   // firmware_pass calls
  std::int64_t frames = 0;   // passes that composed a frame
};

// Keys keep insertion order so that a snapshot reads top-down like the instrument's modules.
using state_json = nlohmann::ordered_json;

state_json state_snapshot(const host_clock_reading& clock);
// The same snapshot as text (indent < 0: one line).
std::string state_snapshot_text(const host_clock_reading& clock, int indent = 2);

// Helpers the snapshot is built from, shared with the hosts' own output.
std::string colour_text(std::uint32_t colour);  // "0xAARRGGBB"
// A float as the shortest decimal that reads back as the same float (0.2f gives 0.2, not
// 0.20000000298...); not-a-number and infinities become null, as JSON has no such numbers.
state_json float_json(float value);
