// The SETUP and INSTALL pages: one row at a time in the banner, the knob walking the rows and
// editing the values, every edit stored at once.
#pragma once
#include "gfx/layers.h"
#include "settings/setup_rows.h"

struct setup_pages_state {
  int copies[SETUP_ROW_COUNT] = {};  // working copy of each editable row
  char checksum_text[9] = {};        // made on the first display of its row
};
extern setup_pages_state setup_pages;

void open_setup();
void reload_setup_copies();
int setup_event(int event);
void draw_setup_pages();
void draw_setup_soft_keys(pixel_t* top, pixel_t* base);

void setup_pages_power_on();
