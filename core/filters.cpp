#include "core/filters.h"

#include <cmath>

filter_bank_state filters;

const char* const data_age_names[DATA_AGE_COUNT] = {
    "serial_rx_age", "gps_track_age", "gps_speed_age",   "gps_distance_age", "gps_xte_age",
    "gps_dtk_age",   "gps_wpt_age",   "gps_bearing_age", "gps_magvar_age",
};

const char* const filter_names[FILTER_COUNT] = {
    "FILTER_SLIP",     "FILTER_HEADING", "FILTER_SPARE",
    nullptr,           nullptr,          nullptr,
    nullptr,           nullptr,          nullptr,
    nullptr,           nullptr,          nullptr,
    nullptr,           "FILTER_AOA",     nullptr,
    nullptr,           nullptr,          nullptr,
    nullptr,           nullptr,          nullptr,
    nullptr,           nullptr,          nullptr,
    nullptr,           nullptr,          nullptr,
    nullptr,           nullptr,          nullptr,
    nullptr,           "FILTER_XTE",     "FILTER_CDI_SCALE",
    "FILTER_WPT_DIST", nullptr,          nullptr,
    nullptr,
};

void filters_power_on() { filters = filter_bank_state{}; }

void filter_configure(int ch, float k) { filters.channel[ch] = filter_channel{k, 0.0f, 0.0f, 0.0f}; }

void filter_prime(int ch, float x) {
  if (!std::isfinite(x)) return;
  filter_channel& c = filters.channel[ch];
  c.input = x;
  c.acc = x * c.k;
  c.output = x;
}

float filter_feed(int ch, float x) {
  filters.channel[ch].input = x;
  return filters.channel[ch].output;
}

void filter_tick() {
  // One fixed loop over every channel, used or not; an unconfigured channel (k = 0) yields NaN,
  // which its readers test for by comparison.
  for (filter_channel& c : filters.channel) {
    c.output = c.acc / c.k;
    c.acc = c.acc - c.output + c.input;
  }
}

void age_data() {
  for (int i = 0; i < DATA_AGE_COUNT; ++i) {
    filters.data_age[i] -= 1;
    filters.data_fresh[i] = filters.data_age[i] > 0 ? 1 : 0;
  }
}

void data_received(int counter) { filters.data_age[counter] = 5; }
