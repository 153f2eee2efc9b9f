#include "fields/layouts.h"

#include "core/controls.h"
#include "core/firmware.h"
#include "core/modes.h"
#include "core/platform.h"
#include "fields/field_ids.h"
#include "fields/field_strip.h"
#include "settings/settings.h"

field_layout_state fields;

void fields_power_on() { fields = field_layout_state{}; }

namespace {

constexpr std::uint16_t kDefaultAi[FIELD_PAGES][AI_SLOTS] = {
    {0, 16, 9, 0, 2, 0, 10, 31, 0},
    {11, 16, 9, 0, 1, 0, 10, 31, 12},
    {11, 24, 9, 25, 1, 17, 10, 31, 12},
    {0, 0, 0, 0, 0, 0, 0, 0, 0},
};
constexpr std::uint16_t kDefaultDg[FIELD_PAGES][DG_SLOTS] = {
    {16, 0, 15, 4, 0, 0, 19},
    {26, 27, 24, 5, 25, 30, 28},
    {26, 27, 24, 6, 25, 30, 28},
    {0, 0, 0, 0, 0, 0, 0},
};

}  // namespace

void layout_defaults() {
  for (int p = 0; p < FIELD_PAGES; ++p) {
    for (int s = 0; s < AI_SLOTS; ++s) {
      fields.layout_ai[p][s] = kDefaultAi[p][s];
    }
    for (int s = 0; s < DG_SLOTS; ++s) {
      fields.layout_dg[p][s] = kDefaultDg[p][s];
    }
  }
  layout_save();
}

void open_menu() {
  modes.menu_active = 1;
  modes.field_editor_active = 0;
  modes.layout_modified = 0;
  modes.editor_cursor_moved = 0;
  // The top-centre slot, which holds the main heading display.
  modes.selected_slot = cycle.unit_function == 1 ? 3 : 4;
}

void close_menu() {
  if (modes.menu_active || modes.field_editor_active) {
    layout_save();  // every way of leaving the editor keeps the layout
  }
  modes.menu_active = 0;
  modes.field_editor_active = 0;
  modes.layout_modified = 0;
}

namespace {

// Allowed field ids per slot, as masks (bit n = id n allowed).
constexpr std::uint32_t kAiSlotMask[AI_SLOTS] = {0x00002801, 0x7FEF8001, 0x00000201, 0x7FEF8001, 0x00000007,
                                                 0x7FEF8001, 0x00000401, 0xFFEF8001, 0x00005001};
constexpr std::uint32_t kDgSlotMask[DG_SLOTS] = {0x7FE98001, 0x7FE98001, 0x7FE98001, 0x00000070,
                                                 0x7FE98001, 0x7FE98001, 0x7FE98001};
constexpr std::uint32_t kWithoutGps = 0x80FFFF9D;       // no ids 1, 5, 6, 24..30
constexpr std::uint32_t kWithoutOatProbe = 0xFF0FFFFF;  // no ids 20..23
constexpr std::uint16_t kFieldBaroAlt = 10;
constexpr std::uint16_t kFieldBaro = 31;

std::uint16_t& selected_field() {
  if (cycle.unit_function == 1) {
    return fields.layout_dg[current_field_page()][modes.selected_slot];
  }
  return fields.layout_ai[current_field_page()][modes.selected_slot];
}

}  // namespace

void keep_selected_slot_in_unit() {
  const int slots = cycle.unit_function == 1 ? DG_SLOTS : AI_SLOTS;
  if (modes.selected_slot >= slots) {
    modes.selected_slot = slots - 1;
  } else if (modes.selected_slot < 0) {
    modes.selected_slot = 0;
  }
}

std::uint32_t slot_allowed_mask(int unit, int slot) {
  const int slots = unit == 1 ? DG_SLOTS : AI_SLOTS;
  if (slot < 0 || slot >= slots) {
    return 0;  // no such slot on this unit: nothing may be chosen there
  }
  std::uint32_t mask = unit == 1 ? kDgSlotMask[slot] : kAiSlotMask[slot];
  if (cfg_get_byte(CFG_DEMO_MODE) == 0) {
    if (cfg_get_byte(CFG_GPS_NAV_SRC) == 0) {
      mask &= kWithoutGps;
    }
    if (!oat_sensor_fitted()) {
      mask &= kWithoutOatProbe;
    }
  }
  return mask;
}

void layout_fixup() {
  std::uint16_t* page = fields.layout_ai[current_field_page()];
  if (page[6] == kFieldBaroAlt) {
    page[7] = kFieldBaro;
  }
}

int main_page_event(int event) {
  const int slots = cycle.unit_function == 1 ? DG_SLOTS : AI_SLOTS;
  keep_selected_slot_in_unit();
  switch (event) {
    case EVT_KNOB_CW:
    case EVT_KNOB_CCW: {
      const bool up = event == EVT_KNOB_CW;
      if (modes.field_editor_active && cycle.unit_function == 0 && modes.selected_slot == 7 &&
          fields.layout_ai[current_field_page()][6] == FIELD_BARO_ALT) {
        // BARO ALT in slot 6 ties slot 7 to BARO: a turn there changes nothing, so it is no edit.
      } else if (modes.field_editor_active) {
        modes.layout_modified = 1;
        std::uint16_t& slot = selected_field();
        const int cur = slot;
        const std::uint32_t mask = slot_allowed_mask(cycle.unit_function, modes.selected_slot);
        int next = cur;
        if (up) {
          for (int id = cur + 1; cur < 31 && id <= 31; ++id) {
            if (mask & (1u << id)) {
              next = id;
              break;
            }
          }
        } else {
          for (int id = cur - 1; cur > 0 && id >= 0; --id) {
            if (mask & (1u << id)) {
              next = id;
              break;
            }
          }
        }
        if ((up && cur < 31) || (!up && cur > 0)) {
          slot = static_cast<std::uint16_t>(next);
          layout_fixup();
        }
      } else if (modes.menu_active) {
        modes.layout_modified = 1;
        modes.editor_cursor_moved = 1;
        modes.selected_slot = up ? (modes.selected_slot + 1 < slots ? modes.selected_slot + 1 : slots - 1)
                                 : (modes.selected_slot > 0 ? modes.selected_slot - 1 : 0);
      }
      break;
    }
    case EVT_KNOB_RELEASE:
      if (modes.menu_active) {
        modes.field_editor_active = modes.field_editor_active ? 0 : 1;
        if (!modes.field_editor_active) {
          modes.editor_cursor_moved = 0;
        }
      }
      break;
    case EVT_RIGHT_RELEASE:
      if (!modes.menu_active && !modes.field_editor_active) {
        modes.field_page = modes.field_page == 3 ? 0 : modes.field_page + 1;
        cfg_set(CFG_FIELD_PAGE, modes.field_page);
        close_all_popups();
      }
      break;
    default:
      break;
  }
  return modes.menu_active || modes.field_editor_active ? EVT_NONE : event;
}
