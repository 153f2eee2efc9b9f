// The smoothing filter bank (first-order lags advanced once per pass) and the ages of received
// navigation data (whole seconds, aged once per second).
#pragma once

inline constexpr int FILTER_COUNT = 37;
enum : int {
  FILTER_SLIP = 0,
  FILTER_HEADING = 1,
  FILTER_SPARE = 2,
  FILTER_AOA = 13,
  FILTER_XTE = 31,
  FILTER_CDI_SCALE = 32,
  FILTER_WPT_DIST = 33,
};

// The angle-of-attack channel smooths the air-vector magnitude that scales the indexer. A lag of
// 50 passes (five frames) keeps the bars steady without making them feel late.
inline constexpr float FILTER_AOA_K = 50.0f;

struct filter_channel {
  float k = 0.0f;
  float input = 0.0f;
  float acc = 0.0f;
  float output = 0.0f;
};

inline constexpr int DATA_AGE_COUNT = 9;
enum : int {
  AGE_SERIAL_RX = 0,
  AGE_GPS_TRACK = 1,
  AGE_GPS_SPEED = 2,
  AGE_GPS_DISTANCE = 3,
  AGE_GPS_XTE = 4,
  AGE_GPS_DTK = 5,
  AGE_GPS_WPT = 6,
  AGE_GPS_BEARING = 7,
  AGE_GPS_MAGVAR = 8,
};
extern const char* const data_age_names[DATA_AGE_COUNT];  // "serial_rx_age" ...
extern const char* const filter_names[FILTER_COUNT];      // "FILTER_SLIP" ..., nullptr for unused

struct filter_bank_state {
  filter_channel channel[FILTER_COUNT];
  int data_age[DATA_AGE_COUNT] = {};
  int data_fresh[DATA_AGE_COUNT] = {};
};
extern filter_bank_state filters;

void filter_configure(int ch, float k);
// Sets a channel as though it had long been fed x: its output is x at once and stays there while
// x is fed. A value that is not a number leaves the channel as it is.
void filter_prime(int ch, float x);
float filter_feed(int ch, float x);
void filter_tick();
void age_data();
void data_received(int counter);  // a datum arrived: its age starts at 5 seconds

void filters_power_on();
