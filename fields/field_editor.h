// What the field editor and the main page's soft keys draw: the banner lines while slots are
// selected or changed, and the MENU / NEXT / DONE key and the page label.
#pragma once
#include "gfx/layers.h"

void draw_field_editor();
void draw_soft_key_menu(pixel_t* layer);
