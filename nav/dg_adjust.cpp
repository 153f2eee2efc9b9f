#include "nav/dg_adjust.h"

#include "core/modes.h"

void dg_adjust_open() {
  modes.dg_adjust_popup_open = 1;
  modes.dg_adjust_adjusted = 0;
}

void nav_dg_adjust_open() {
  modes.nav_dg_adjust_popup_open = 1;
  modes.nav_dg_adjust_adjusted = 0;
}
