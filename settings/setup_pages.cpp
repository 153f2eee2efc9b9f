#include "settings/setup_pages.h"

#include "core/modes.h"

void open_setup() {
  modes.setup_active = 1;
  modes.setup_value_edit = 0;
  modes.setup_touched = 0;
  modes.setup_row = -1;  // no row selected: the title shows
}

void reload_setup_copies() {
  modes.setup_active = 0;
  modes.setup_row = -1;
  modes.setup_touched = 0;
}
