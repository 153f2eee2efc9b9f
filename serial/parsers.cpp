#include "serial/parsers.h"

#include "core/filters.h"
#include "gfx/text.h"
#include "serial/gps_data.h"

namespace {

// ---- LK1 records: a letter, then fixed-width digits taken without checking they are digits.

int digit(const char* line, int i) { return line[i] - '0'; }

// The record is used only when it is long enough for its layout and, where the layout has one,
// the CR stands at its place.
bool layout_fits(const char* line, int length, int needed, int cr_at) {
  if (length < needed) return false;
  return cr_at < 0 || (cr_at < length && line[cr_at] == '\r');
}

line_result lk1_track(const char* line, int length) {
  line_result r;
  if (!layout_fits(line, length, 5, 4)) return r;
  r.used = true;
  const int v = digit(line, 1) * 100 + digit(line, 2) * 10 + digit(line, 3);
  // Out of range: the item keeps its last good value and its age runs on, so a bad record can
  // never show as fresh data.
  if (v >= 0 && v <= 360) {
    gps_nav_data.gps_track = v;
    data_received(AGE_GPS_TRACK);
    r.restart_track = true;
  }
  return r;
}

line_result lk1_speed(const char* line, int length) {
  line_result r;
  if (!layout_fits(line, length, 5, 4)) return r;
  r.used = true;
  const int v = digit(line, 1) * 100 + digit(line, 2) * 10 + digit(line, 3);
  if (v >= 0 && v <= 999) {
    gps_nav_data.gps_ground_speed = v;
    data_received(AGE_GPS_SPEED);
  }
  return r;
}

line_result lk1_distance(const char* line, int length) {
  line_result r;
  if (!layout_fits(line, length, 7, 6)) return r;
  r.used = true;
  const int n =
      digit(line, 1) * 10000 + digit(line, 2) * 1000 + digit(line, 3) * 100 + digit(line, 4) * 10 + digit(line, 5);
  const float v = static_cast<float>(n) / 10.0f;
  if (v >= 0.0f && v <= 9999.0f) {
    gps_nav_data.gps_waypoint_distance = v;
    data_received(AGE_GPS_DISTANCE);
  }
  return r;
}

line_result lk1_cross_track(const char* line, int length) {
  line_result r;
  if (!layout_fits(line, length, 7, 6)) return r;
  r.used = true;
  const int n = digit(line, 2) * 1000 + digit(line, 3) * 100 + digit(line, 4) * 10 + digit(line, 5);
  const float v = static_cast<float>(n) / 100.0f;
  if (v >= 0.0f && v <= 9999.0f) {
    gps_nav_data.gps_cross_track_error = line[1] == 'R' ? -v : v;
    data_received(AGE_GPS_XTE);
  }
  return r;
}

line_result lk1_desired_track(const char* line, int length) {
  line_result r;
  if (!layout_fits(line, length, 6, 5)) return r;
  r.used = true;
  const int n = digit(line, 1) * 1000 + digit(line, 2) * 100 + digit(line, 3) * 10 + digit(line, 4);
  const float v = static_cast<float>(n) / 10.0f;
  if (v >= 0.0f && v <= 360.0f) {
    gps_nav_data.gps_desired_track = v;
    data_received(AGE_GPS_DTK);
  }
  return r;
}

line_result lk1_waypoint(const char* line, int length) {
  line_result r;
  if (length < 2) return r;
  r.used = true;
  // The name is five characters wide; a record cut short (blanks are dropped on the way in) ends
  // its name at the CR or at the end of the line instead of taking the CR into the name.
  int n = 0;
  while (n < GPS_WAYPOINT_ID_LENGTH && 1 + n < length && line[1 + n] != '\r') {
    gps_nav_data.gps_waypoint_id[n] = line[1 + n];
    ++n;
  }
  gps_nav_data.gps_waypoint_id[n] = '\0';
  data_received(AGE_GPS_WPT);
  return r;
}

line_result lk1_bearing(const char* line, int length) {
  line_result r;
  if (!layout_fits(line, length, 5, -1)) return r;
  r.used = true;
  const int n = digit(line, 1) * 1000 + digit(line, 2) * 100 + digit(line, 3) * 10 + digit(line, 4);
  const float v = static_cast<float>(n) / 10.0f;
  if (v >= 0.0f && v <= 360.0f) {
    gps_nav_data.gps_waypoint_bearing = v;
    data_received(AGE_GPS_BEARING);
  }
  return r;
}

line_result lk1_variation(const char* line, int length) {
  line_result r;
  if (!layout_fits(line, length, 5, -1)) return r;
  r.used = true;
  const int n = digit(line, 2) * 100 + digit(line, 3) * 10 + digit(line, 4);
  float v = static_cast<float>(n) / 10.0f;
  if (line[1] == 'W') v = -v;
  if (v >= -99.0f && v <= 99.0f) {
    gps_nav_data.gps_magnetic_variation = static_cast<int>(v);
    data_received(AGE_GPS_MAGVAR);
  }
  return r;
}

// S and T carry the receiver's status: "N" at 5, or "A" at 4, says the navigation is not usable.
line_result lk1_status(const char* line, int length, int at, char not_usable) {
  line_result r;
  if (length <= at) return r;
  r.used = true;
  gps_nav_data.gps_nav_valid = line[at] == not_usable ? 0 : 1;
  return r;
}

// ---- NMEA sentences.

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool is_line_end(char c) { return c == '\r' || c == '\n'; }

// A sentence that carries "*hh" is used only when hh (either case) is the exclusive or of every
// character between "$" and "*", and nothing but the line end follows. One without "*" is
// taken as it is, as older devices send. `body` is the text after "$".
bool checksum_holds(const char* body, int length) {
  int sum = 0;
  int i = 0;
  while (i < length && body[i] != '*') {
    sum ^= static_cast<unsigned char>(body[i]);
    ++i;
  }
  if (i == length) return true;       // no checksum
  if (i + 2 >= length) return false;  // "*" without two digits: cut short on the wire
  const int high = hex_value(body[i + 1]);
  const int low = hex_value(body[i + 2]);
  if (high < 0 || low < 0 || high * 16 + low != sum) return false;
  for (int k = i + 3; k < length; ++k) {
    if (!is_line_end(body[k])) return false;
  }
  return true;
}

// Field n of a sentence: the text after the n-th comma, up to the next comma, "*", line end or
// the end of the line. A field the sentence does not have is absent.
struct field_text {
  const char* text = nullptr;
  int length = 0;
  bool present = false;
};

field_text field(const char* s, int length, int n) {
  field_text f;
  int i = 0;
  for (int commas = 0; commas < n; ++i) {
    if (i >= length || s[i] == '*' || is_line_end(s[i])) return f;
    if (s[i] == ',') ++commas;
  }
  f.text = s + i;
  f.present = true;
  while (i < length && s[i] != ',' && s[i] != '*' && !is_line_end(s[i])) {
    ++i;
    ++f.length;
  }
  return f;
}

// A numeric field read as the decimal reader reads it. Empty, absent, or holding no digit before
// the number ends: no value, so the item and its age stay as they are. A field too long for any
// number a receiver sends is not a number either.
bool field_number(const field_text& f, float* value) {
  constexpr int kLongest = 31;
  if (!f.present || f.length == 0 || f.length > kLongest) return false;
  char text[kLongest + 1];
  bool digits = false;
  bool number_ended = false;
  for (int i = 0; i < f.length; ++i) {
    const char c = f.text[i];
    text[i] = c;
    const bool numeric = (c >= '0' && c <= '9') || c == '.' || c == '-';
    if (!numeric) number_ended = true;
    if (!number_ended && c >= '0' && c <= '9') digits = true;
  }
  text[f.length] = '\0';
  if (!digits) return false;
  *value = parse_decimal(text);
  return true;
}

bool field_starts_with(const field_text& f, char c) { return f.present && f.length > 0 && f.text[0] == c; }

void nmea_rmc(const char* s, int length) {
  float v = 0.0f;
  if (field_number(field(s, length, 7), &v) && v >= 0.0f && v <= 999.0f) {
    gps_nav_data.gps_ground_speed = static_cast<int>(v);
    data_received(AGE_GPS_SPEED);
  }
  if (field_number(field(s, length, 8), &v) && v >= 0.0f && v <= 360.0f) {
    const float magnetic = static_cast<float>(gps_nav_data.gps_magnetic_variation + static_cast<int>(v));
    gps_nav_data.gps_track = static_cast<int>(wrap_value(magnetic, 360.0f));
    data_received(AGE_GPS_TRACK);
    gps_nav_data.gps_nav_valid = 1;
  }
  // The east sign turns only a variation stored from this sentence: an unknown variation sent as
  // "999.9,E" must not flip the kept one (and the track with it) on every sentence.
  bool variation_stored = false;
  if (field_number(field(s, length, 10), &v) && v >= -90.0f && v <= 90.0f) {
    gps_nav_data.gps_magnetic_variation = static_cast<int>(v);
    data_received(AGE_GPS_MAGVAR);
    variation_stored = true;
  }
  if (variation_stored && field_starts_with(field(s, length, 11), 'E')) {
    gps_nav_data.gps_magnetic_variation = -gps_nav_data.gps_magnetic_variation;
  }
}

void nmea_rmb(const char* s, int length) {
  const field_text name = field(s, length, 5);
  if (name.present) {
    // An empty name is a name too (no active waypoint): stored and refreshed.
    int n = 0;
    while (n < GPS_WAYPOINT_ID_LENGTH && n < name.length && is_alnum_or_space(name.text[n])) {
      gps_nav_data.gps_waypoint_id[n] = name.text[n];
      ++n;
    }
    gps_nav_data.gps_waypoint_id[n] = '\0';
    data_received(AGE_GPS_WPT);
  }
  float v = 0.0f;
  if (field_number(field(s, length, 10), &v) && v >= 0.0f && v <= 1000.0f) {
    gps_nav_data.gps_waypoint_distance = v;
    data_received(AGE_GPS_DISTANCE);
  }
  bool xte_stored = false;
  if (field_number(field(s, length, 2), &v) && v >= -200.0f && v <= 200.0f) {
    gps_nav_data.gps_cross_track_error = -v;
    data_received(AGE_GPS_XTE);
    xte_stored = true;
  }
  if (xte_stored && field_starts_with(field(s, length, 3), 'R')) {
    gps_nav_data.gps_cross_track_error = -gps_nav_data.gps_cross_track_error;
  }
  if (field_number(field(s, length, 11), &v) && v >= 0.0f && v <= 360.0f) {
    gps_nav_data.gps_waypoint_bearing = wrap_value(static_cast<float>(gps_nav_data.gps_magnetic_variation) + v, 360.0f);
    data_received(AGE_GPS_BEARING);
    if (gps_dtk_age() <= 0) {
      gps_nav_data.gps_desired_track = gps_nav_data.gps_waypoint_bearing;  // age not refreshed
    }
  }
}

void nmea_pgrmh(const char* s, int length) {
  float v = 0.0f;
  if (field_number(field(s, length, 7), &v) && v >= 0.0f && v <= 360.0f) {
    gps_nav_data.gps_desired_track = wrap_value(static_cast<float>(gps_nav_data.gps_magnetic_variation) + v, 360.0f);
    data_received(AGE_GPS_DTK);
  }
}

bool is_upper(char c) { return c >= 'A' && c <= 'Z'; }

// "$ttRMC" or "$ttRMB" from any two-letter talker. Proprietary sentences start with "P" and are
// not talkers: "$PGRMB" is a beacon sentence, not RMB.
bool is_talker_sentence(const char* s, int length, const char* kind) {
  return length >= 6 && s[0] == '$' && is_upper(s[1]) && is_upper(s[2]) && s[1] != 'P' && s[3] == kind[0] &&
         s[4] == kind[1] && s[5] == kind[2];
}

bool starts_with(const char* s, int length, const char* word) {
  int i = 0;
  for (; word[i] != '\0'; ++i) {
    if (i >= length || s[i] != word[i]) return false;
  }
  return true;
}

}  // namespace

line_result lk1_record_parse(const char* line, int length) {
  if (line == nullptr || length < 1) return line_result{};
  switch (line[0]) {
    case 'C':
      return lk1_track(line, length);
    case 'D':
      return lk1_speed(line, length);
    case 'E':
      return lk1_distance(line, length);
    case 'G':
      return lk1_cross_track(line, length);
    case 'I':
      return lk1_desired_track(line, length);
    case 'K':
      return lk1_waypoint(line, length);
    case 'L':
      return lk1_bearing(line, length);
    case 'Q':
      return lk1_variation(line, length);
    case 'S':
      return lk1_status(line, length, 5, 'N');
    case 'T':
      return lk1_status(line, length, 4, 'A');
    default:
      return line_result{};
  }
}

line_result nmea_sentence_parse(const char* line, int length) {
  line_result r;
  if (line == nullptr || length < 1) return r;
  // Line noise before the sentence (a stray byte, binary garbage, a doubled "$") is skipped: the
  // sentence starts at the last "$" of the first run of them. The checksum guards the rest.
  int start = 0;
  while (start < length && line[start] != '$') ++start;
  while (start + 1 < length && line[start + 1] == '$') ++start;
  const char* s = line + start;
  const int n = length - start;
  const bool rmc = is_talker_sentence(s, n, "RMC");
  const bool rmb = is_talker_sentence(s, n, "RMB");
  const bool pgrmh = starts_with(s, n, "$PGRMH");
  if (!rmc && !rmb && !pgrmh) return r;
  if (!checksum_holds(s + 1, n - 1)) {
    r.bad_checksum = true;
    return r;
  }
  r.used = true;
  if (rmc) {
    nmea_rmc(s, n);
    r.restart_track = true;  // after every RMC, whatever its fields held
  } else if (rmb) {
    nmea_rmb(s, n);
  } else {
    nmea_pgrmh(s, n);
  }
  return r;
}
