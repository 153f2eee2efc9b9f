#include "core/firmware.h"

#include "attitude/alerts.h"
#include "attitude/attitude.h"
#include "core/controls.h"
#include "core/demo.h"
#include "core/filters.h"
#include "core/modes.h"
#include "core/platform.h"
#include "core/slip.h"
#include "fields/field_editor.h"
#include "fields/field_strip.h"
#include "fields/layouts.h"
#include "fields/popups.h"
#include "fields/widgets.h"
#include "gfx/banner.h"
#include "gfx/images.h"
#include "gfx/text.h"
#include "nav/compact_heading.h"
#include "nav/dg_adjust.h"
#include "nav/heading_bug.h"
#include "nav/nav_page.h"
#include "serial/gps_data.h"
#include "serial/serial_input.h"
#include "settings/settings.h"
#include "settings/setup_pages.h"
#include "settings/startup_screen.h"
#include "transponder/transponder.h"

frame_cycle_state cycle;

void firmware_power_on() {
  cycle = frame_cycle_state{};
  settings_power_on();
  controls_power_on();
  modes_power_on();
  filters_power_on();
  demo_power_on();
  startup_power_on();
  layers_power_on();
  vignette_power_on();
  banner_power_on();
  text_power_on();
  heading_bug_power_on();
  dg_adjust_power_on();
  nav_page_power_on();
  compact_heading_power_on();
  attitude_power_on();
  alerts_power_on();
  slip_power_on();
  fields_power_on();
  field_strip_power_on();
  widgets_power_on();
  popups_power_on();
  setup_pages_power_on();
  transponder_power_on();
  gps_data_power_on();
  serial_input_power_on();
}

void firmware_init() {
  cfg_load_defaults();
  controls_init();
  startup_screen_init();
  hdg_bug_init();
  set_alt_init();
  alerts_init();
  banner_cursor_clear();
  layout_load();
  layout_defaults();  // after the load, so the default layouts always win at start-up
  attitude_init();
  slip_init();
  compact_heading_init();
  airspeed_tape_init();
  // The angle-of-attack channel has no owner that configures it, so it is given its lag (and
  // primed) with the others at start-up.
  aoa_channel_init();
  reload_setup_copies();
  transponder_page_init();
  txp_init();
}

bool firmware_pass(pixel_t* frame) {
  filter_tick();
  decode_controls();
  dispatch_event();
  cycle.present_countdown -= 1;
  if (cycle.present_countdown != 0) {
    return false;
  }
  compose_frame(frame);
  cycle.present_countdown = 10;
  return true;
}

namespace {

void clear_both_layers() {
  clear_layer(top_layer);
  clear_layer(base_layer);
}

void merge_top_into_base() {
  blend_image(base_layer, top_layer, base_layer, SCREEN_W, SCREEN_H, 0, 0, SCREEN_W, SCREEN_H);
}

void blend_into_frame(pixel_t* frame) {
  blend_image(frame, top_layer, base_layer, SCREEN_W, SCREEN_H, 0, 0, SCREEN_W, SCREEN_H);
  flush_display();
}

void blend_overlay(int entry, int x, int y) { blend_catalogue_image(top_layer, entry, x, y); }

void blink_fail_flag() {
  if (!sensors_valid() && cycle.blink_phase == 1) {
    blend_overlay(IMG_FAIL_FLAG, 229, 62);
  }
}

// Pop-ups, menus and setup pages write the banner; the slip indicator sits among them so that it
// can slide out of the banner's way.
void draw_attitude_overlays() {
  clear_banner_lines();
  draw_field_editor();
  draw_setup_pages();
  draw_set_baro_popup();
  hdg_bug_popup_draw();
  draw_brightness_popup();
  draw_set_alt_popup();
  dg_adjust_popup_draw();
  draw_squawk_edit();
  draw_slip_indicator(top_layer, base_layer);
  draw_banner(top_layer);
  draw_soft_key_menu(top_layer);
  draw_setup_soft_keys(top_layer, base_layer);
  draw_transponder_soft_keys(top_layer);
  draw_brightness_soft_keys(top_layer);
}

bool serial2_is_transponder() { return cfg_get_byte(CFG_SERIAL2) == 1; }

// The vignetted looks blend the vignette into the top layer and merge it in one pass (the same
// pixels as blending and then merging).
bool vignetted(int style) { return style == 0 || style == 2; }

void compose_attitude_unit(pixel_t* frame, int style) {
  clear_layer(top_layer);  // the sky and ground cover every pixel of the base
  // The vignetted looks paint the sky and ground as they merge, skipping what the vignette covers.
  draw_attitude(top_layer, base_layer, !vignetted(style));
  if (vignetted(style)) {
    merge_vignette(base_layer, attitude.horizon, attitude.adi_sky_colour, attitude.adi_ground_colour, SCREEN_H);
    merge_top_into_base();
  } else {
    merge_top_layer_twice(base_layer);  // the picture merged twice, in one pass
  }
  clear_layer(top_layer);
  flush_display();
  draw_field_strip(top_layer, base_layer);
  if (modes.field_page == 3 && serial2_is_transponder()) {
    draw_transponder_strip(top_layer);
  }
  blend_overlay(IMG_BOTTOM_MASK, 0, 213);
  blink_fail_flag();
  draw_attitude_overlays();
  blend_overlay(IMG_ROLL_POINTER, 146, 30);
  draw_attitude_alerts(top_layer);
  draw_status_badge(top_layer);
  blend_into_frame(frame);
}

void compose_dg_attitude_page(pixel_t* frame, int style) {
  clear_layer(top_layer);  // the sky and ground cover every pixel of the base
  draw_attitude(top_layer, base_layer, !vignetted(style));
  if (vignetted(style)) {
    // The bottom mask goes over the vignette before the merge, so its rows merge after it.
    merge_vignette(base_layer, attitude.horizon, attitude.adi_sky_colour, attitude.adi_ground_colour, 213);
    blend_overlay(IMG_BOTTOM_MASK, 0, 213);  // on this page only with these two styles
    merge_top_into_base();
  } else {
    merge_top_layer_twice(base_layer);  // the picture merged twice, in one pass
  }
  clear_layer(top_layer);
  flush_display();
  draw_field_strip(top_layer, base_layer);
  if (serial2_is_transponder()) {
    draw_transponder_strip(top_layer);
  }
  blink_fail_flag();
  draw_attitude_overlays();
  blend_overlay(IMG_ROLL_POINTER, 146, 30);
  draw_status_badge(top_layer);
  blend_into_frame(frame);
}

void compose_heading_page(pixel_t* frame) {
  nav_page_select_from_layout();
  nav_page_draw(top_layer, base_layer);
  blend_overlay(IMG_BOTTOM_MASK, 0, 213);
  merge_top_into_base();
  clear_layer(top_layer);
  // An unusable gyro under the rose blinks the same flag as failed sensors.
  const bool failed = !sensors_valid() || nav_page.heading_failed != 0;
  if (failed && cycle.blink_phase == 1 && modes.nav_page_style == NAV_STYLE_ROSE) {
    blend_overlay(IMG_FAIL_FLAG, 229, 62);
  }
  clear_banner_lines();
  draw_field_editor();
  draw_setup_pages();
  hdg_bug_popup_draw();
  draw_set_baro_popup();
  draw_brightness_popup();
  draw_set_alt_popup();
  nav_dg_adjust_popup_draw();
  flush_display();
  draw_field_strip(top_layer, base_layer);
  draw_banner(top_layer);
  draw_soft_key_menu(top_layer);
  draw_setup_soft_keys(top_layer, base_layer);
  draw_brightness_soft_keys(top_layer);
  draw_status_badge(top_layer);  // only while no pop-up is open
  merge_top_into_base();
  clear_layer(top_layer);
  blend_into_frame(frame);
}

}  // namespace

void compose_frame(pixel_t* frame) {
  const int style = cfg_get_byte(CFG_UI_STYLE);
  display_frame = frame;
  cycle.frame_number += 1;
  if (cycle.initial_clear_count > 0) {
    clear_layer(frame);
    clear_both_layers();
    cycle.initial_clear_count -= 1;
  }
  cycle.unit_function = cfg_get_byte(CFG_UNIT_FUNCTION);
  transponder_strip_forget();

  if (!startup_done()) {
    clear_both_layers();
    draw_startup_screen(top_layer);
    blend_into_frame(frame);
  } else if (cycle.unit_function == 0) {
    compose_attitude_unit(frame, style);
  } else if (cycle.unit_function == 1) {
    if (modes.field_page == 3) {
      compose_dg_attitude_page(frame, style);
    } else {
      clear_both_layers();
      compose_heading_page(frame);
    }
  }
  demo_motion_step();
}

void second_tick() {
  cycle.blink_phase = 1 - cycle.blink_phase;
  if (cycle.inactivity_countdown > 0) {
    cycle.inactivity_countdown -= 1;
  } else {
    // Thirty seconds without a control event: everything closes, and again every second.
    clear_banner_lines();
    close_all_popups();
  }
  if (startup.startup_countdown > 0) {
    startup.startup_countdown -= 1;
  }
  age_data();
  txp_ident_tick();
  reply_indicator_tick();
}
