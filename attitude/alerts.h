// Attitude alerts (g load, angle of attack, bank) with their latches, stages and tones, the
// blinking alert box, and the angle-of-attack indexer.
#pragma once
#include "gfx/layers.h"

enum : int {
  ALERT_G_80 = 0,
  ALERT_G_90 = 1,
  ALERT_G_100 = 2,
  ALERT_AOA_80 = 3,
  ALERT_AOA_90 = 4,
  ALERT_AOA_100 = 5,
  ALERT_ROLL_LEFT = 6,
  ALERT_ROLL_RIGHT = 7,
};
inline constexpr int ALERT_COUNT = 8;
inline constexpr int TONE_CHANNEL_COUNT = 7;
extern const char* const alert_names[ALERT_COUNT];

struct alerts_state {
  int alert_flag[ALERT_COUNT] = {};
  int alert_latch[ALERT_COUNT] = {};
  // Starts where every clear frame leaves it, so an alert already standing on the first frame
  // blinks like any other instead of flashing for one frame.
  int alert_blink = 20;
  float last_aoa_ratio = 0.0f;  // the ratio aoa_ratio computed last, for snapshots
  int aoa_channel_primed = 0;   // the smoothing channel has been given a first reading
};
extern alerts_state alerts;

void alerts_init();
// Gives the angle-of-attack smoothing channel its lag and primes it with the air-vector reading of
// this moment (start-up); without a usable reading, the first one the ratio reads primes it.
void aoa_channel_init();
void draw_attitude_alerts(pixel_t* top);
void draw_alert_box(pixel_t* top);
void set_alert_flag(int i);
int get_alert_flag(int i);
void acknowledge_alert();
float aoa_ratio(float aoa);
int aoa_stage_reached(int stage);
void draw_aoa_indexer(pixel_t* bars, pixel_t* labels, pixel_t label_colour);

void alerts_power_on();
