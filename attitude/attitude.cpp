#include "attitude/attitude.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/demo.h"
#include "core/platform.h"
#include "gfx/images.h"
#include "gfx/text.h"
#include "settings/settings.h"

attitude_state attitude;

namespace {

constexpr float CENTRE_X = 160.0f;
constexpr float CENTRE_Y = 140.0f;
constexpr float DEG_TO_RAD = 0.017453292f;

// Pitch marks relative to the horizon centre, positive y below the horizon: rows 0..13 are the
// marks at 5, 10, 15, 20, 30, 40 and 50 degrees up and down, rows 14 and 15 the two ground lines.
struct mark_row {
  float x0, y0, x1, y1;
};
constexpr mark_row pitch_marks[16] = {
    {-5, -10, 5, -10},   {-20, -20, 20, -20}, {-10, -30, 10, -30},   {-25, -40, 25, -40},
    {-25, -60, 25, -60}, {-25, -80, 25, -80}, {-25, -100, 25, -100}, {-5, 10, 5, 10},
    {-10, 20, 10, 20},   {-10, 30, 10, 30},   {-25, 40, 25, 40},     {-25, 60, 25, 60},
    {-25, 80, 25, 80},   {-25, 100, 25, 100}, {-60, 40, 0, 0},       {60, 40, 0, 0},
};
constexpr int VINTAGE_MARK_ROWS = 14;  // the vintage face has no ground lines

struct number_row {
  float lx, ly, rx, ry;
  int value;
};
constexpr number_row pitch_numbers[10] = {
    {-30, -20, 30, -20, 10},   {-35, -40, 35, -40, 20}, {-35, -60, 35, -60, 30}, {-35, -80, 35, -80, 40},
    {-35, -100, 35, -100, 50}, {-18, 20, 18, 20, 10},   {-35, 40, 35, 40, 20},   {-35, 60, 35, 60, 30},
    {-35, 80, 35, 80, 40},     {-35, 100, 35, 100, 50},
};

// Roll ticks, inner end then outer end: long ticks near 60 and 30 degrees, short near 10 and 20.
constexpr mark_row roll_ticks[8] = {
    {-101, -55, -130, -74}, {101, -55, 130, -74}, {-56, -100, -72, -130}, {56, -100, 72, -130},
    {-22, -110, -26, -127}, {22, -110, 26, -127}, {-39, -107, -45, -124}, {39, -107, 45, -124},
};

// The roll scale fades out towards this row and is not drawn at or below it.
constexpr float ROLL_SCALE_FLOOR = 70.0f;

// A picture point relative to the horizon centre on the screen; p moves it with pitch.
void map_point(float x, float y, float p, float& sx, float& sy) {
  const float c = attitude.roll_cos;
  const float s = attitude.roll_sin;
  sx = CENTRE_X + x * c - (y + p) * s;
  sy = CENTRE_Y + (y + p) * c + x * s;
}

// End points, relative to the centre, of a horizon 640 pixels long displaced by h along the
// picture's vertical.
void horizon_segment(float h, float& x0, float& y0, float& x1, float& y1) {
  const float c = attitude.roll_cos;
  const float s = attitude.roll_sin;
  x0 = -320.0f * c - h * s;
  y0 = -320.0f * s + h * c;
  x1 = 320.0f * c - h * s;
  y1 = 320.0f * s + h * c;
}

void set_colours(int style) {
  switch (style) {
    case 0:  // LEGACY
      attitude.adi_mark_colour = 0xFFFFFFFF;
      attitude.adi_line_colour = 0xFFFFFFFF;
      attitude.adi_sky_colour = 0xFF3878A8;
      attitude.adi_ground_colour = 0xFF603C04;
      break;
    case 1:  // EFIS
      attitude.adi_mark_colour = 0xFFB0B0B0;
      attitude.adi_line_colour = 0xFFB0B0B0;
      attitude.adi_sky_colour = 0xFF0000FF;
      attitude.adi_ground_colour = 0xFF925B06;
      break;
    case 2:  // VINTAGE
      attitude.adi_mark_colour = 0xFFB0B0B0;
      attitude.adi_line_colour = 0xFFB0B0B0;
      attitude.adi_sky_colour = 0xFF505060;
      attitude.adi_ground_colour = 0xFF000000;
      break;
    default:  // an unknown style keeps the colours of the last frame
      break;
  }
}

// A roll beyond half a turn (a sensor near inverted plus the trim) is the same attitude as its
// remainder in -180..180, which the sky/ground fill expects; remainder() is exact.
float within_half_turn(float roll) { return std::remainder(roll, 360.0f); }

void read_attitude() {
  const float roll_trim = static_cast<float>(cfg_get(CFG_ROLL_TRIM)) / 10.0f;
  const float pitch_trim = static_cast<float>(cfg_get(CFG_PITCH_TRIM));
  if (cfg_get_byte(CFG_DEMO_MODE) == 1) {
    attitude.attitude_roll = within_half_turn(demo_get_roll() + roll_trim);
    attitude.attitude_pitch = demo_get_pitch() + pitch_trim;
    return;
  }
  if (sensors_valid()) {
    const float roll = read_sensor_roll();
    const float pitch = read_sensor_pitch();
    // A reading that is not a number counts as none: the picture could not be placed.
    if (std::isfinite(roll) && std::isfinite(pitch)) {
      // The sensor reports roll with the opposite sign to the picture's.
      attitude.attitude_roll = within_half_turn(roll_trim - roll);
      attitude.attitude_pitch = pitch + pitch_trim;
      return;
    }
  }
  attitude.attitude_roll = 0.0f;
  attitude.attitude_pitch = 0.0f;
}

void draw_aircraft_symbol(pixel_t* top) {
  const bool vintage = cfg_get_byte(CFG_UI_STYLE) == 2;
  const image_ref img = image_lookup(vintage ? IMG_AIRCRAFT_SYMBOL_VINTAGE : IMG_AIRCRAFT_SYMBOL);
  const int x = vintage ? 106 : 94;
  blend_image(top, img.pixels, top, SCREEN_W, SCREEN_H, x, 135 + attitude.aircraft_symbol_offset, img.width,
              img.height);
}

void draw_horizon_line(pixel_t* top) {
  float x0, y0, x1, y1;
  horizon_segment(2.0f * attitude.attitude_pitch, x0, y0, x1, y1);
  if (!clip_line(x0, y0, x1, y1, -160, 160, 160, -160)) {
    return;
  }
  for (int k = -1; k <= 1; ++k) {
    const float dk = static_cast<float>(k);
    draw_line_aa(top, SCREEN_W, SCREEN_H, x0 + CENTRE_X, y0 + CENTRE_Y + dk, x1 + CENTRE_X, y1 + CENTRE_Y + dk,
                 attitude.adi_line_colour);
  }
}

}  // namespace

void attitude_power_on() { attitude = attitude_state{}; }

void attitude_init() { attitude.aircraft_symbol_offset = 0; }

void draw_attitude(pixel_t* top, pixel_t* base, bool paint_sky_ground) {
  set_colours(cfg_get_byte(CFG_UI_STYLE));
  read_attitude();
  attitude.attitude_pitch_fill = std::clamp(attitude.attitude_pitch, -50.0f, 25.0f);
  const float radians = attitude.attitude_roll * DEG_TO_RAD;
  attitude.roll_sin = static_cast<float>(std::sin(static_cast<double>(radians)));
  attitude.roll_cos = static_cast<float>(std::cos(static_cast<double>(radians)));

  if (paint_sky_ground) {
    draw_sky_ground(base, attitude.attitude_roll, attitude.attitude_pitch_fill);
  } else {
    place_sky_ground(attitude.attitude_roll, attitude.attitude_pitch_fill);
  }
  draw_roll_scale(top);
  draw_horizon_line(top);
  draw_pitch_ladder(top);
  draw_pitch_labels(top);
  draw_aircraft_symbol(top);
}

// Sky and ground: a wedge of sky spans between the tilted horizon and the screen edge, and one
// rectangle for the part of the sky clear of the horizon (above it, or below it when flying
// inverted), ground elsewhere. The spans are gathered per row first (on the left side when rolled
// one way, on the right the other way, so a row's sky is at most a run from each edge), then every
// pixel is written once.
void draw_sky_ground(pixel_t* base, float roll, float pf) {
  place_sky_ground(roll, pf);
  paint_horizon_rows(base, attitude.horizon, attitude.adi_sky_colour, attitude.adi_ground_colour);
  flush_display();
}

void place_sky_ground(float roll, float pf) {
  // Row y is sky on columns 0..sky_to[y] and sky_from[y]..319, ground between.
  std::int16_t* sky_to = attitude.horizon.sky_to;
  std::int16_t* sky_from = attitude.horizon.sky_from;
  for (int y = 0; y < SCREEN_H; ++y) {
    sky_to[y] = -1;
    sky_from[y] = SCREEN_W;
  }
  // A span's ends and row are clamped to the screen as a drawn span's are, so a span wholly off
  // one side still paints the edge pixel, and a row above the screen paints the top row.
  auto sky_left = [&](int x_last, int y) {
    const int row = std::clamp(y, 0, SCREEN_H - 1);
    sky_to[row] = static_cast<std::int16_t>(std::max<int>(sky_to[row], std::clamp(x_last, 0, SCREEN_W - 1)));
  };
  auto sky_right = [&](int x_first, int y) {
    const int row = std::clamp(y, 0, SCREEN_H - 1);
    sky_from[row] = static_cast<std::int16_t>(std::min<int>(sky_from[row], std::clamp(x_first, 0, SCREEN_W - 1)));
  };
  auto sky_rows = [&](int y0, int h) {
    for (int y = std::max(y0, 0); y < std::min(y0 + h, SCREEN_H); ++y) sky_to[y] = SCREEN_W - 1;
  };

  float x0, y0, x1, y1;
  horizon_segment(2.0f * pf, x0, y0, x1, y1);
  // With the fill pitch limited the segment always crosses this box, so the result is not needed.
  clip_line(x0, y0, x1, y1, -160, 160, 140, -140);

  const int top = static_cast<int>(std::min(y0, y1) + 121.0f);
  const int bottom = static_cast<int>(std::max(y0, y1) + 120.0f);

  const float sx0 = x0 + CENTRE_X;
  const float sy0 = y0 + CENTRE_Y;
  const float sx1 = x1 + CENTRE_X;
  const float sy1 = y1 + CENTRE_Y;
  const float dx = sx1 - sx0;
  const float dy = sy1 - sy0;
  const int ax = static_cast<int>(std::fabs(dx));
  const int ay = static_cast<int>(std::fabs(dy));

  // Rows of the wedge beyond the bottom edge are left out rather than clamped onto row 239, where
  // they would pile up into a band of sky.
  if (ay >= 1) {
    if (ax > ay) {
      const float k = dy / dx;
      const int n = static_cast<int>(dx);
      const int step = dx > 0.0f ? 1 : -1;
      for (int j = 0; j != n; j += step) {
        const float fj = static_cast<float>(j);
        const int x = static_cast<int>(sx0 + fj);
        const int y = static_cast<int>(sy0 + fj * k);
        if (y >= SCREEN_H) continue;
        if (roll < 0.0f) {
          sky_left(x - 1, y);
        } else if (roll > 0.0f) {
          sky_right(x, y);
        }
      }
    } else {
      const float k = dx / dy;
      const int n = static_cast<int>(dy);
      const int step = dy > 0.0f ? 1 : -1;
      // The walk stops one row short of the far end; when that end is the top edge, its row
      // is filled too, or the top row would keep a line of ground.
      const int far_row = static_cast<int>(sy0 + static_cast<float>(n));
      const int last = far_row == 0 ? n + step : n;
      for (int j = 0; j != last; j += step) {
        const float fj = static_cast<float>(j);
        const int y = static_cast<int>(sy0 + fj);
        const int x = static_cast<int>(sx0 + fj * k);
        if (y >= SCREEN_H) continue;
        if (roll < 0.0f) {
          sky_left(x, y);
        } else if (roll > 0.0f) {
          sky_right(x, y);
        }
      }
    }
  }

  // The rectangle reaches two rows below the horizon's highest point. When the horizon runs out
  // through the top edge no row lies wholly above it, and those two rows would paint sky across
  // the ground side; the wedge has already filled the sky there.
  const bool upright = roll > -90.0f && roll < 90.0f;
  const bool reaches_top_edge = std::min(y0, y1) <= -140.0f;
  if (top + 20 > 0 && upright && !reaches_top_edge) {
    sky_rows(0, std::min(top + 21, SCREEN_H));
  }
  if (bottom - 1 < 219 && !upright) {
    sky_rows(bottom + 19, 221 - bottom);
  }
}

void draw_pitch_ladder(pixel_t* top) {
  const int rows = cfg_get_byte(CFG_UI_STYLE) == 2 ? VINTAGE_MARK_ROWS : 16;
  const float p = 2.0f * attitude.attitude_pitch;
  for (int i = 0; i < rows; ++i) {
    float x0, y0, x1, y1;
    map_point(pitch_marks[i].x0, pitch_marks[i].y0, p, x0, y0);
    map_point(pitch_marks[i].x1, pitch_marks[i].y1, p, x1, y1);
    // The ladder shows only between rows 90 and 200, clear of the roll scale and the banner.
    if (clip_line(x0, y0, x1, y1, 0, 320, 200, 90)) {
      const pixel_t colour = i <= 5 ? attitude.adi_mark_colour : attitude.adi_line_colour;
      draw_line_aa(top, SCREEN_W, SCREEN_H, x0, y0, x1, y1, colour);
    }
  }
}

void draw_pitch_labels(pixel_t* top) {
  const float p = 2.0f * attitude.attitude_pitch;
  for (int j = 0; j < 10; ++j) {
    const number_row& row = pitch_numbers[j];
    const pixel_t colour = j < 5 ? attitude.adi_mark_colour : attitude.adi_line_colour;
    const float xs[2] = {row.lx, row.rx};
    const float ys[2] = {row.ly, row.ry};
    for (int side = 0; side < 2; ++side) {
      float x, y;
      map_point(xs[side] - 7.0f, ys[side] - 7.0f, p, x, y);
      if (box_visible(x, y, 75, 230, 100, 170, 32)) {
        draw_pitch_label(top, x, y, row.value, colour);
      }
    }
  }
}

// The number is rendered only when a different value is asked for; its colour and rotation are
// refreshed with it.
void draw_pitch_label(pixel_t* top, float x, float y, int value, pixel_t colour) {
  if (value != attitude.label_value) {
    char text[12];
    char* cursor = text;
    append_int(value, cursor);
    *cursor = '\0';
    std::fill(attitude.label_scratch, attitude.label_scratch + 15 * 15, COLOUR_TRANSPARENT);
    draw_text(attitude.label_scratch, 15, 15, 6, 7 - text_width(6, text) / 2, 7 - 18 / 2, colour, text);
    attitude.label_transform = image_transform{1.0f, 0.0f, 0.0f, 1.0f, 1.0f};
    rotate_matrix(attitude.label_transform, attitude.attitude_roll * -DEG_TO_RAD);
    attitude.label_value = value;
    attitude.label_renders += 1;
  }
  // A plain store: the number's transparent background cuts the ladder lines around it.
  draw_image_transformed(top, SCREEN_W, SCREEN_H, attitude.label_scratch, 15, 15, x, y, attitude.label_transform, 0.0f);
}

void draw_roll_scale(pixel_t* top) {
  const float roll = attitude.attitude_roll;
  draw_roll_mark(top, 0.0f, -120.0f, 1.2f, roll);
  draw_roll_mark(top, -80.0f, -80.0f, 1.4f, roll - 45.0f);
  draw_roll_mark(top, 90.0f, -90.0f, 1.4f, roll + 45.0f);

  const float c = attitude.roll_cos;
  const float s = attitude.roll_sin;
  for (const mark_row& tick : roll_ticks) {
    const float yi = tick.y0 * c + tick.x0 * s + CENTRE_Y;
    if (!(yi < ROLL_SCALE_FLOOR)) {
      continue;
    }
    const float xi = tick.x0 * c - tick.y0 * s + CENTRE_X;
    const float xo = tick.x1 * c - tick.y1 * s + CENTRE_X;
    const float yo = tick.y1 * c + tick.x1 * s + CENTRE_Y;
    const double a = std::min(1.0, static_cast<double>(std::fabs(ROLL_SCALE_FLOOR - yi)) / 70.0);
    const pixel_t colour =
        (attitude.adi_mark_colour & 0x00FFFFFFu) | (static_cast<pixel_t>(static_cast<int>(a * 255.0)) << 24);
    draw_line_aa(top, SCREEN_W, SCREEN_H, xi - 1.0f, yi - 1.0f, xo - 1.0f, yo + 1.0f, colour);
    draw_line_aa(top, SCREEN_W, SCREEN_H, xi, yi, xo, yo, colour);
    draw_line_aa(top, SCREEN_W, SCREEN_H, xi + 1.0f, yi - 1.0f, xo + 1.0f, yo + 1.0f, colour);
  }
}

// One triangle of the roll scale: the four-bit mark rendered grey into the scratch (once), then drawn
// turned by angle and shrunk by the inverse scale k, fading towards row 70.
void draw_roll_mark(pixel_t* top, float ax, float ay, float k, float angle) {
  const float c = attitude.roll_cos;
  const float s = attitude.roll_sin;
  const float ym = (ay - 16.0f) * c + (ax - 16.0f) * s + CENTRE_Y;
  const float xm = (ax - 16.0f) * c - (ay - 16.0f) * s + CENTRE_X;

  if (!attitude.mark_ready) {
    std::fill(attitude.mark_scratch, attitude.mark_scratch + 32 * 32, COLOUR_TRANSPARENT);
    const image4_ref mark = image4_lookup(IMG4_ROLL_MARK);
    draw_grey4_image(attitude.mark_scratch, 32, 32, mark.data, 32, 32, 0, 0);
    attitude.mark_ready = true;
  }

  image_transform t{1.0f, 0.0f, 0.0f, 1.0f, k};
  rotate_matrix(t, angle * -DEG_TO_RAD);

  const float d = (1.0f - k) * -16.0f;
  const float y = ym + d;
  const float x = xm + d;
  if (y < ROLL_SCALE_FLOOR) {
    const float blend = std::min(1.0f, std::fabs(ROLL_SCALE_FLOOR - y) / 70.0f);
    draw_image_transformed(top, SCREEN_W, SCREEN_H, attitude.mark_scratch, 32, 32, x, y, t, blend);
  }
}
