// The heading page of the directional-gyro unit: a compass card turned by the gyro heading or the
// GPS track, in one of three presentations (rose, HSI, arc), with the smoothed course, cross-track
// error, bearing, distance and range that those presentations draw.
#pragma once
#include "gfx/layers.h"
#include "nav/nav_draw.h"

inline constexpr int NAV_STYLE_ROSE = 1;
inline constexpr int NAV_STYLE_HSI = 2;
inline constexpr int NAV_STYLE_ARC = 3;
inline constexpr int NAV_SOURCE_HEADING = 0;
inline constexpr int NAV_SOURCE_GPS = 1;

inline constexpr int ARC_RANGE_COUNT = 7;
extern const int arc_range_table[ARC_RANGE_COUNT];  // nm

// The style itself lives with the mode flags (modes.nav_page_style): the dispatcher routes knob
// turns by it.
struct nav_page_state {
  int nav_page_source = NAV_SOURCE_HEADING;
  float card_heading = 0.0f;
  float nav_course = 0.0f;
  float nav_xte = 0.0f;
  float nav_bearing = 0.0f;
  float nav_distance = 0.0f;
  int arc_range_index = 2;
  float arc_range = 5.0f;
  float hsi_gain = 1.0f;
  float track_stab_delta = 0.0f;
  float track_stab_last = 0.0f;
  unsigned track_stab_frame = 0;  // the composed frame on which stabilisation last ran
  float card_smooth = 0.0f;
  float course_smooth = 0.0f;
  float bearing_smooth = 0.0f;
  pixel_t rose_colour = 0xFFB0B0B0;
  pixel_t outline_colour = 0xFFFFFFFF;
  pixel_t course_colour = 0xFFFF00FF;
  int nav_page_style_seen = -1;
  int nav_page_first_run = 1;
  int heading_failed = 0;  // the card follows the gyro and the gyro is not usable
  // What the presentations may draw this frame (each item only while its own data is valid).
  int presentation_shown = 0;
  int bearing_shown = 0;
  int course_shown = 0;
  int waypoint_shown = 0;
  int waypoint_name_shown = 0;
  // Images kept between frames, since their inputs rarely change.
  card_label_cache labels;
  tint_cache dot_ring;
  tint_cache course_arrow;
  tint_cache waypoint_ring;
  drawn_rows top_rows;  // what the presentation has drawn on the top layer this frame
  // The turned marks as last drawn, written again while the card and course stand still.
  sprite_kept bug_drawn;
  sprite_kept bearing_drawn;
  sprite_kept dots_drawn[4];
  sprite_kept arrow_drawn;
};
extern nav_page_state nav_page;

void set_nav_page_style(int style);
int get_nav_page_style();
void set_nav_page_source(int source);
int get_nav_page_source();

void nav_page_select_from_layout();
void nav_page_draw(pixel_t* top, pixel_t* base);
void nav_page_restyle();
void track_stab_restart();

// One frame of an angle smoother: a tenth of the shortest-way difference to the target. A target
// that is not a number leaves the memory as it is.
float smooth_angle(float& memory, float target);

// The heading card of the rose and HSI presentations, in the given colour.
void draw_compass_card(pixel_t* top, pixel_t* base, pixel_t colour);

// The gyro turn since the last GPS track sample, in -180..180, to add to that track. A pair that
// did not run on the previous composed frame starts again from the present heading.
float track_stabilisation(float& delta, float& last, unsigned& last_frame);

// The gyro heading when it can be drawn: valid and a finite number. Otherwise false, h untouched.
bool gyro_heading(float& h);

void nav_page_power_on();
