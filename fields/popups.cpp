#include "fields/popups.h"

#include "core/modes.h"

void open_set_baro() {
  modes.baro_popup_open = 1;
  modes.baro_adjusted = 0;
}

void open_set_alt() { modes.set_alt_popup_open = 1; }

void open_brightness() { modes.brightness_popup_open = 1; }

void close_brightness() { modes.brightness_popup_open = 0; }
