#include "nav/nav_page.h"

#include <cmath>

#include "core/modes.h"
#include "core/platform.h"
#include "fields/field_ids.h"
#include "fields/layouts.h"

const int arc_range_table[ARC_RANGE_COUNT] = {1, 2, 5, 10, 20, 50, 100};

nav_page_state nav_page;

void nav_page_power_on() { nav_page = nav_page_state{}; }

void set_nav_page_style(int style) { modes.nav_page_style = style; }
int get_nav_page_style() { return modes.nav_page_style; }
void set_nav_page_source(int source) { nav_page.nav_page_source = source; }
int get_nav_page_source() { return nav_page.nav_page_source; }

void track_stab_restart() { nav_page.track_stab_delta = 0.0f; }

bool gyro_heading(float& h) {
  if (!heading_valid()) {
    return false;
  }
  const float g = get_heading();
  if (!std::isfinite(g)) {
    return false;
  }
  h = g;
  return true;
}

void nav_page_select_from_layout() {
  const int id = fields.layout_dg[modes.field_page & 3][3];
  if (id == FIELD_HDG_ROSE) {
    set_nav_page_style(NAV_STYLE_ROSE);
    set_nav_page_source(NAV_SOURCE_HEADING);
  } else if (id == FIELD_GPS_HSI) {
    set_nav_page_style(NAV_STYLE_HSI);
    set_nav_page_source(NAV_SOURCE_GPS);
  } else if (id == FIELD_GPS_ARC) {
    set_nav_page_style(NAV_STYLE_ARC);
    set_nav_page_source(NAV_SOURCE_GPS);
  }
}

void nav_page_restyle() {}
void nav_page_draw(pixel_t*, pixel_t*) {}
