#include "core/demo.h"

#include <cmath>

#include "core/platform.h"
#include "gfx/text.h"
#include "nav/heading_bug.h"
#include "settings/settings.h"

demo_state demo;

void demo_power_on() { demo = demo_state{}; }

void demo_motion_step() {
  demo.demo_roll += 0.02f * static_cast<float>(demo.demo_roll_dir);
  if (std::fabs(demo.demo_roll) > 5.0f) {
    demo.demo_roll_dir = -demo.demo_roll_dir;
  }

  const float p = demo.demo_pitch;  // before this step's pitch change
  demo.demo_g = demo.demo_g_acc / 40.0f;
  demo.demo_g_acc += (p / 12.0f + 1.0f) - demo.demo_g;

  const float v = demo.demo_vs_acc / 200.0f;
  demo.demo_vs_acc += p - v;
  const int vs = static_cast<int>(v * 180.0f);

  demo.demo_alt += vs / 100;
  if (demo.demo_alt > 15000) {
    demo.demo_alt = 5000;
  }

  // It climbs three times slower than it falls.
  if (demo.demo_pitch_dir < 0) {
    demo.demo_pitch += 0.06f * static_cast<float>(demo.demo_pitch_dir);
  } else {
    demo.demo_pitch += 0.02f * static_cast<float>(demo.demo_pitch_dir);
  }
  if (demo.demo_pitch > 10.0f && demo.demo_pitch_dir == 1) {
    demo.demo_pitch_dir = -1;
  }
  if (demo.demo_pitch < -5.0f && demo.demo_pitch_dir == -1) {
    demo.demo_pitch_dir = 1;
  }
}

void reset_demo() {
  demo.demo_pitch = 0.0f;
  demo.demo_roll = 0.0f;
  demo.demo_vs_acc = 0.0f;
  demo.demo_g_acc = 0.0f;
  demo.demo_g = 0.0f;
  demo.demo_alt = 6000;
}

float demo_get_roll() { return demo.demo_roll; }
float demo_get_pitch() { return demo.demo_pitch; }
float demo_get_aoa() { return cfg_get_byte(CFG_DEMO_MODE) == 1 ? demo.demo_pitch : read_sensor_pitch(); }
float demo_get_g() { return demo.demo_g; }

int demo_get_vs() {
  const float v = demo.demo_vs_acc / 200.0f;
  demo.demo_vs_acc += demo.demo_pitch - v;
  return static_cast<int>(v * 180.0f);
}

namespace {

// Altimeter-setting correction of the demo altitude, in feet (about 9 at 29.92 inHg).
double baro_correction() {
  float b = read_baro_setting();
  if (cfg_get_byte(CFG_BARO_UNITS) == 1) {
    b = static_cast<float>(b / 33.8639);
  }
  const double x = (static_cast<double>(b) - 28.0) * 100.0;
  return -3e-7 * x * x * x + 0.0014 * x * x - 9.7612 * x + 1833.92;
}

}  // namespace

int demo_get_baro_alt() { return demo.demo_alt - static_cast<int>(std::trunc(baro_correction())); }

// Density altitude wants the untruncated value.
float demo_get_baro_alt_float() { return static_cast<float>(demo.demo_alt - baro_correction()); }

float demo_get_ias() { return 100.0f - 4.0f * demo.demo_pitch; }
float demo_get_tas() { return 100.0f - 4.0f * demo.demo_pitch; }

float demo_get_slip() {
  const float out = demo.demo_slip_acc / 10.0f;
  demo.demo_slip_acc += demo.demo_roll / 5.0f - out;
  return out;
}

float demo_get_oat() { return 23.0f + static_cast<float>(cfg_get(CFG_OAT_TRIM)) / 3.0f; }

float demo_get_track() {
  float d = demo.demo_track_state - heading_bug_display();
  if (d < -180.0f) {
    d += 360.0f;
  }
  if (d > 180.0f) {
    d -= 360.0f;
  }
  demo.demo_track_state = wrap_value(demo.demo_track_state - 0.01f * d, 360.0f);
  return demo.demo_track_state;
}

float demo_get_wpt_dist() {
  demo.demo_wpt_dist -= 0.002f;
  if (demo.demo_wpt_dist < 0.0f) {
    demo.demo_wpt_dist = 20.0f;
  }
  return demo.demo_wpt_dist;
}

float demo_get_ground_speed() { return 155.0f; }
float demo_get_xte() { return -0.5f; }
float demo_get_dtk() { return 24.0f; }
float demo_get_bearing() { return 16.0f; }
const char* demo_get_wpt_id() { return " KABQ"; }
