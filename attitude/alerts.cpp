#include "attitude/alerts.h"

#include <algorithm>
#include <cmath>

#include "core/demo.h"
#include "core/filters.h"
#include "core/modes.h"
#include "core/platform.h"
#include "gfx/images.h"
#include "gfx/primitives.h"
#include "gfx/text.h"
#include "settings/settings.h"

alerts_state alerts;

const char* const alert_names[ALERT_COUNT] = {
    "ALERT_G_80",   "ALERT_G_90",    "ALERT_G_100",     "ALERT_AOA_80",
    "ALERT_AOA_90", "ALERT_AOA_100", "ALERT_ROLL_LEFT", "ALERT_ROLL_RIGHT",
};

namespace {

// Tone channels: one per G and angle-of-attack stage, one shared by both bank alerts.
enum : int {
  TONE_G_100 = 0,
  TONE_G_90 = 1,
  TONE_G_80 = 2,
  TONE_AOA_100 = 3,
  TONE_AOA_90 = 4,
  TONE_AOA_80 = 5,
  TONE_ROLL = 6,
};
constexpr int TONE_START = 2;
constexpr int TONE_STOP = 0;

constexpr int BLINK_PERIOD = 20;
constexpr int BLINK_SHOWN_BELOW = 10;  // counter values 9..1 show the box

bool demo_mode_1() { return cfg_get_byte(CFG_DEMO_MODE) == 1; }

float g_load() { return demo_mode_1() ? demo_get_g() : read_sensor_g(); }

bool angle_of_attack(float& a) {
  if (demo_mode_1()) {
    a = demo_get_aoa();
    return true;
  }
  if ((aoa_available() && sensors_valid() && attitude_data_valid()) || cfg_get_byte(CFG_DEMO_MODE) != 0) {
    a = read_sensor_aoa();
    return true;
  }
  return false;
}

// The raw roll of the sensor or the demo: no trim and no sign change as on the picture.
bool bank(float& r) {
  if (demo_mode_1()) {
    r = demo_get_roll();
    return true;
  }
  if ((sensors_valid() && attitude_data_valid()) || cfg_get_byte(CFG_DEMO_MODE) != 0) {
    r = read_sensor_roll();
    return true;
  }
  return false;
}

float air_vector_magnitude() {
  const float va = read_air_vector_a();
  const float vb = read_air_vector_b();
  return std::sqrt(vb * vb + va * va);
}

// Primes the configured channel with the first usable magnitude (positive, a number), once.
void prime_aoa_channel(float m) {
  if (alerts.aoa_channel_primed || !(m > 0.0f) || !std::isfinite(m) || !(filters.channel[FILTER_AOA].k > 0.0f)) {
    return;
  }
  filter_prime(FILTER_AOA, m);
  alerts.aoa_channel_primed = 1;
}

// Where the angle of attack lies between the low and high limits, scaled by the smoothed
// air-vector magnitude while that channel gives a positive value, limited to 0..1.
float ratio_of(float a) {
  const int hi = cfg_get(CFG_AOA_HIGH_LIM);
  const int lo = cfg_get(CFG_AOA_LOW_LIM);
  float r = 0.0f;
  if (hi - lo != 0) {
    r = (a - static_cast<float>(lo)) / static_cast<float>(hi - lo);
  }
  const float magnitude = air_vector_magnitude();
  prime_aoa_channel(magnitude);
  const float m = filter_feed(FILTER_AOA, magnitude);
  if (m > 0.0f) {
    r *= m;
  }
  // An angle that is not a number gives no ratio rather than one outside 0..1.
  if (!(r >= 0.0f)) return 0.0f;
  return std::min(r, 1.0f);
}

void raise(int alert, int tone) {
  alert_tone(tone, TONE_START);
  alerts.alert_flag[alert] = 1;
  alerts.alert_latch[alert] = 1;
}

void clear(int alert, int tone) {
  alert_tone(tone, TONE_STOP);
  alerts.alert_flag[alert] = 0;
  alerts.alert_latch[alert] = 0;
}

bool g_beyond(float factor) {
  const float g = g_load();
  const float pos = static_cast<float>(cfg_get(CFG_G_POS_LIM));
  const float neg = static_cast<float>(cfg_get(CFG_G_NEG_LIM));
  return cfg_get_byte(CFG_G_ALERT) != 0 && (g >= factor * pos || g <= factor * neg);
}

void evaluate_g() {
  if (g_beyond(0.8f)) {
    if (!alerts.alert_latch[ALERT_G_80]) raise(ALERT_G_80, TONE_G_80);
  } else {
    clear(ALERT_G_80, TONE_G_80);
  }
  if (g_beyond(0.9f)) {
    if (!alerts.alert_latch[ALERT_G_90] && alerts.alert_flag[ALERT_G_80]) raise(ALERT_G_90, TONE_G_90);
  } else {
    clear(ALERT_G_90, TONE_G_90);
  }
  if (g_beyond(1.0f)) {
    if (!alerts.alert_latch[ALERT_G_100] && alerts.alert_flag[ALERT_G_90] && alerts.alert_flag[ALERT_G_80]) {
      raise(ALERT_G_100, TONE_G_100);
    }
  } else {
    clear(ALERT_G_100, TONE_G_100);
  }
}

// Stages 2 and 3 compare in single precision like stage 1 (aoa_stage_reached), so that a reading
// of exactly 90 % or 100 % of the range reaches its stage.
bool aoa_beyond(float threshold) {
  float a;
  return angle_of_attack(a) && aoa_ratio(a) >= threshold && cfg_get_byte(CFG_AOA_ALERT) != 0;
}

void evaluate_aoa() {
  if (aoa_stage_reached(1) && cfg_get_byte(CFG_AOA_ALERT) != 0) {
    if (!alerts.alert_latch[ALERT_AOA_80]) raise(ALERT_AOA_80, TONE_AOA_80);
  } else {
    clear(ALERT_AOA_80, TONE_AOA_80);
  }
  if (aoa_beyond(0.9f)) {
    if (!alerts.alert_latch[ALERT_AOA_90] && alerts.alert_flag[ALERT_AOA_80]) raise(ALERT_AOA_90, TONE_AOA_90);
  } else {
    clear(ALERT_AOA_90, TONE_AOA_90);
  }
  if (aoa_beyond(1.0f)) {
    if (!alerts.alert_latch[ALERT_AOA_100] && alerts.alert_flag[ALERT_AOA_90] && alerts.alert_flag[ALERT_AOA_80]) {
      raise(ALERT_AOA_100, TONE_AOA_100);
    }
  } else {
    clear(ALERT_AOA_100, TONE_AOA_100);
  }
}

void evaluate_roll() {
  const bool enabled = cfg_get_byte(CFG_ROLL_ALERT) != 0;
  const float limit = static_cast<float>(cfg_get_byte(CFG_ROLL_LIM));
  float r;
  if (bank(r) && r >= limit && enabled) {
    if (!alerts.alert_latch[ALERT_ROLL_RIGHT]) raise(ALERT_ROLL_RIGHT, TONE_ROLL);
  } else if (bank(r) && r < -limit && enabled) {
    if (!alerts.alert_latch[ALERT_ROLL_LEFT]) raise(ALERT_ROLL_LEFT, TONE_ROLL);
  } else {
    alert_tone(TONE_ROLL, TONE_STOP);
    alerts.alert_flag[ALERT_ROLL_LEFT] = 0;
    alerts.alert_flag[ALERT_ROLL_RIGHT] = 0;
    alerts.alert_latch[ALERT_ROLL_LEFT] = 0;
    alerts.alert_latch[ALERT_ROLL_RIGHT] = 0;
  }
}

bool valid_alert(int i) { return i >= 0 && i < ALERT_COUNT; }

struct bar_place {
  double threshold;
  int x, y;         // where the lit bar's image goes
  int x0, x1, row;  // the short span that marks an unlit bar
};
constexpr bar_place aoa_bars[10] = {
    {0.1, 78, 193, 91, 95, 192}, {0.2, 72, 185, 86, 91, 184}, {0.3, 69, 172, 82, 88, 176}, {0.4, 67, 163, 77, 84, 166},
    {0.5, 65, 151, 74, 82, 154}, {0.6, 64, 138, 73, 82, 142}, {0.7, 65, 123, 73, 83, 128}, {0.8, 66, 109, 76, 87, 114},
    {0.9, 72, 93, 82, 95, 99},   {1.0, 78, 77, 90, 104, 85},
};

bool bar_lit(int k, float g) {
  // Half and full scale are exact in single precision; the other steps are compared as doubles,
  // so a ratio of 0.7f or 0.9f (just below the decimal value) leaves that bar dark.
  if (k == 4) return g >= 0.5f;
  if (k == 9) return g >= 1.0f;
  return static_cast<double>(g) >= aoa_bars[k].threshold;
}

}  // namespace

void alerts_power_on() { alerts = alerts_state{}; }

void alerts_init() {
  for (int i = 0; i < ALERT_COUNT; ++i) {
    alerts.alert_flag[i] = 0;
  }
}

// An empty channel answers 0, which leaves the ratio unscaled: the first attitude frame after the
// start-up screen would raise every angle-of-attack stage, the next drop them as the channel starts
// to fill, and they would rise again one by one. Primed with the reading of the moment (or, if
// there is none yet, with the first one the ratio reads), the channel scales the ratio from the
// first frame as it will when steady.
void aoa_channel_init() {
  filter_configure(FILTER_AOA, FILTER_AOA_K);
  alerts.aoa_channel_primed = 0;
  prime_aoa_channel(air_vector_magnitude());
}

void draw_attitude_alerts(pixel_t* top) {
  evaluate_g();
  evaluate_aoa();
  evaluate_roll();
  draw_alert_box(top);
}

void draw_alert_box(pixel_t* top) {
  const int* f = alerts.alert_flag;
  bool any = false;
  for (int i = 0; i < ALERT_COUNT; ++i) {
    any = any || f[i] != 0;
  }
  modes.attitude_alert_active = any ? 1 : 0;
  if (!any) {
    alerts.alert_blink = BLINK_PERIOD;
    return;
  }
  if (alerts.alert_blink < BLINK_SHOWN_BELOW) {
    const char* text;
    int image;
    if (f[ALERT_G_100]) {
      text = "G LIMIT";
      image = IMG_ALERT_RED;
    } else if (f[ALERT_G_80] || f[ALERT_G_90]) {
      text = "G LIMIT";
      image = IMG_ALERT_AMBER;
    } else if (f[ALERT_AOA_100]) {
      text = "ANGLE";
      image = IMG_ALERT_RED;
    } else if (f[ALERT_AOA_80] || f[ALERT_AOA_90]) {
      text = "ANGLE";
      image = IMG_ALERT_AMBER;
    } else {
      text = "ROLL";
      image = IMG_ALERT_AMBER;
    }
    const image_ref box = image_lookup(image);
    blend_image(top, box.pixels, top, SCREEN_W, SCREEN_H, 160 - box.width / 2, 80, box.width, box.height);
    flush_display();
    draw_text_centred(top, SCREEN_W, SCREEN_H, 6, 160, 93, COLOUR_BLACK, text);
  }
  alerts.alert_blink -= 1;
  if (alerts.alert_blink <= 0) {
    alerts.alert_blink = BLINK_PERIOD;
  }
}

void set_alert_flag(int i) {
  if (valid_alert(i)) alerts.alert_flag[i] = 1;
}

int get_alert_flag(int i) { return valid_alert(i) ? alerts.alert_flag[i] : 0; }

// The pilot has seen the alert: its box goes away, but the latch keeps it from being raised again
// until its condition has cleared.
void acknowledge_alert() {
  int i = 0;
  while (i < ALERT_COUNT && !alerts.alert_flag[i]) {
    ++i;
  }
  if (i == ALERT_COUNT) {
    return;
  }
  if (i <= ALERT_G_100) {
    alerts.alert_flag[ALERT_G_80] = alerts.alert_flag[ALERT_G_90] = alerts.alert_flag[ALERT_G_100] = 0;
  } else if (i <= ALERT_AOA_100) {
    alerts.alert_flag[ALERT_AOA_80] = alerts.alert_flag[ALERT_AOA_90] = alerts.alert_flag[ALERT_AOA_100] = 0;
  } else {
    alerts.alert_flag[i] = 0;
  }
}

float aoa_ratio(float aoa) {
  alerts.last_aoa_ratio = ratio_of(aoa);
  return alerts.last_aoa_ratio;
}

int aoa_stage_reached(int stage) {
  float threshold;
  switch (stage) {
    case 1:
      threshold = 0.8f;
      break;
    case 2:
      threshold = 0.9f;
      break;
    case 3:
      threshold = 1.0f;
      break;
    default:
      return 0;
  }
  float a;
  if (!angle_of_attack(a)) {
    return 0;
  }
  return aoa_ratio(a) >= threshold ? 1 : 0;
}

void draw_aoa_indexer(pixel_t* bars, pixel_t* labels, pixel_t label_colour) {
  const bool demo = cfg_get_byte(CFG_DEMO_MODE) != 0;
  float a = demo ? demo_get_aoa() : read_sensor_aoa();
  a = std::min(a, 30.0f);

  draw_text_centred(labels, SCREEN_W, SCREEN_H, 5, 97, 206, COLOUR_SHADOW, "AoA");
  draw_text_centred(labels, SCREEN_W, SCREEN_H, 5, 96, 205, label_colour, "AoA");
  if (!aoa_available() && !demo) {
    return;
  }

  const float g = ratio_of(std::max(a, -30.0f));
  const pixel_t unlit = cfg_get_byte(CFG_UI_STYLE) == 2 ? COLOUR_GOLD : COLOUR_GREY;
  for (int k = 0; k < 10; ++k) {
    const bar_place& bar = aoa_bars[k];
    if (bar_lit(k, g)) {
      const image_ref img = image_lookup(IMG_AOA_BAR_0 + k);
      copy_image(bars, img.pixels, SCREEN_W, SCREEN_H, bar.x, bar.y, img.width, img.height);
    } else {
      draw_hspan(bars, SCREEN_W, SCREEN_H, bar.x0, bar.x1, bar.row, unlit);
    }
  }
}
