// Demo motion: a gently pitching and rolling aircraft that climbs and descends, stepped once per
// composed frame, with readers that stand in for sensors and GPS data in "DEMO MODE".
#pragma once

struct demo_state {
  float demo_roll = 0.0f;
  int demo_roll_dir = 1;
  float demo_pitch = 0.0f;
  int demo_pitch_dir = 1;
  float demo_g_acc = 0.0f;
  float demo_g = 0.0f;
  float demo_vs_acc = 0.0f;
  int demo_alt = 6000;
  float demo_slip_acc = 0.0f;
  float demo_track_state = 0.0f;
  float demo_wpt_dist = 20.0f;
};
extern demo_state demo;

void demo_motion_step();
void reset_demo();

float demo_get_roll();
float demo_get_pitch();
float demo_get_aoa();
float demo_get_g();
int demo_get_vs();
int demo_get_baro_alt();
float demo_get_baro_alt_float();
float demo_get_ias();
float demo_get_tas();
float demo_get_slip();
float demo_get_oat();
float demo_get_track();
float demo_get_wpt_dist();
float demo_get_ground_speed();
float demo_get_xte();
float demo_get_dtk();
float demo_get_bearing();
const char* demo_get_wpt_id();

void demo_power_on();
