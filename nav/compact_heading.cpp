#include "nav/compact_heading.h"

#include "core/filters.h"
#include "core/modes.h"
#include "gfx/images.h"
#include "nav/dg_adjust.h"

compact_heading_state compact;

void compact_heading_power_on() { compact = compact_heading_state{}; }

void compact_heading_init() {
  const image4_ref a = image4_lookup(IMG4_HEADING_STRIP_A);
  const image4_ref b = image4_lookup(IMG4_HEADING_STRIP_B);
  draw_grey4_image(compact.heading_strip_a, HEADING_STRIP_W, HEADING_STRIP_H, a.data, a.width, a.height, 0, 0);
  draw_grey4_image(compact.heading_strip_b, HEADING_STRIP_W, HEADING_STRIP_H, b.data, b.width, b.height, 0, 0);
  filter_configure(FILTER_HEADING, 50.0f);
  filter_configure(FILTER_SPARE, 100.0f);
  dg_adjust_close();
  compact.compact_track_stab_delta = 0.0f;
}

void compact_track_stab_restart() { compact.compact_track_stab_delta = 0.0f; }

void compact_heading_draw(pixel_t*, pixel_t*, int) {}
