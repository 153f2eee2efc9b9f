// The ring of data fields around the main picture: the catalogue of draw operations indexed by
// field id, the slot geometry of both units, and the per-frame pass that draws the current page
// and reports which fields are on screen.
#pragma once
#include <cstdint>

#include "fields/field_ids.h"
#include "gfx/kept_draw.h"
#include "fields/layouts.h"
#include "gfx/layers.h"

// Rewritten for each slot and handed to the slot's draw operation.
struct field_draw_context {
  pixel_t* top_layer = nullptr;
  pixel_t* base_layer = nullptr;
  pixel_t colour_value_normal = COLOUR_WHITE;
  pixel_t colour_value_selected = COLOUR_MAGENTA;
  pixel_t colour_label = COLOUR_LIGHT_GREY;
  pixel_t colour_value = COLOUR_WHITE;  // of the slot being drawn
  int x = 0;
  int y = 0;
  int value_font = 0;
  int unit_function = 0;
  int slot = 0;  // the slot being drawn
};

inline constexpr int FIELD_TEXT_SIZE = 16;

// What one slot drew on the last composed frame, for the state snapshots.
struct drawn_field {
  int slot = 0;
  int id = 0;
  const char* caption = "";
  char texts[2][FIELD_TEXT_SIZE] = {};  // the value texts in drawing order ("---" when invalid)
  int text_count = 0;
  pixel_t colour = 0;  // the value colour
};

// What each slot's caption and value last wrote, written again while they and the pixels under
// them stay the same (over the freshly cleared layer, the usual case, only the result is held).
// Only the slots that can hold such fields have them: every heading slot and every attitude slot
// but the last, which holds scales only.
inline constexpr int FIELD_KEPT_SLOTS = AI_SLOTS - 1;
inline constexpr int FIELD_CAPTION_KEPT = 768;
inline constexpr int FIELD_VALUE_KEPT = 1536;
struct field_kept {
  kept_area<FIELD_CAPTION_KEPT> caption;
  kept_area<FIELD_VALUE_KEPT> value;
};

struct field_strip_state {
  field_draw_context context;
  char scratch[FIELD_TEXT_SIZE] = {};
  drawn_field drawn[AI_SLOTS];
  int drawn_count = 0;
  int drawn_page = 0;
  drawn_field* current = nullptr;  // the record of the slot being drawn
  field_kept kept[FIELD_KEPT_SLOTS];
  kept_area<1024> soft_keys_kept[2];  // the editor's soft keys, left and right
};
extern field_strip_state field_strip;

using field_draw_op = void (*)(field_draw_context*);
extern const field_draw_op field_draw_table[FIELD_ID_COUNT];
// The caption drawn inside each field ("" for none; OAT has its unit's own).
const char* field_caption(int id);

// Draws every slot of the current page in the unit's drawing order.
void draw_field_strip(pixel_t* top, pixel_t* base);

// Horizontal offset of a caption from the slot anchor.
int field_caption_offset(int x, int y);

// The page shown: a stored page outside 0..3 reads as page 0 rather than indexing past the tables.
int current_field_page();

// Anchor of a slot on the given unit, with the GPS ARC shift of heading slots 2 and 4.
void field_slot_anchor(int unit, int slot, int* x, int* y);

// Presence flags of the last drawn strip.
int field_hosts_baro();
int field_hosts_hdg_bug();
int field_hosts_dg_adjust();
int field_hosts_set_alt();

void field_strip_power_on();
