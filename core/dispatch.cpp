#include "attitude/alerts.h"
#include "core/controls.h"
#include "core/demo.h"
#include "core/firmware.h"
#include "core/modes.h"
#include "fields/field_strip.h"
#include "fields/layouts.h"
#include "fields/popups.h"
#include "gfx/banner.h"
#include "nav/dg_adjust.h"
#include "nav/heading_bug.h"
#include "nav/nav_page.h"
#include "settings/settings.h"
#include "settings/setup_pages.h"
#include "settings/startup_screen.h"
#include "transponder/transponder.h"

mode_flags modes;

void modes_power_on() { modes = mode_flags{}; }

bool no_popup_open() {
  return !(modes.baro_popup_open || modes.dg_adjust_popup_open || modes.nav_dg_adjust_popup_open ||
           modes.hdg_bug_popup_open || modes.set_alt_popup_open || modes.menu_active || modes.setup_active ||
           modes.brightness_popup_open || modes.squawk_edit_active);
}

void close_all_popups() {
  close_set_baro();
  modes.dg_adjust_popup_open = 0;
  modes.dg_adjust_adjusted = 0;
  modes.nav_dg_adjust_popup_open = 0;
  modes.nav_dg_adjust_adjusted = 0;
  hdg_bug_close();  // its adjusted flag stays
  close_set_alt();
  modes.setup_active = 0;
  modes.setup_value_edit = 0;
  modes.setup_touched = 0;
  close_menu();
  close_brightness();
  close_squawk_edit();
}

namespace {

using event_handler = int (*)(int event);

// The pop-ups and pages that can own the knob, in priority order; the first open one gets the
// event and returns what is left of it.
struct knob_owner {
  const int* open;
  event_handler handler;
};

int knob_owner_event(int e) {
  const knob_owner owners[] = {
      {&modes.baro_popup_open, set_baro_event},
      {&modes.dg_adjust_popup_open, dg_adjust_handle_event},
      {&modes.nav_dg_adjust_popup_open, nav_dg_adjust_handle_event},
      {&modes.hdg_bug_popup_open, hdg_bug_handle_event},
      {&modes.set_alt_popup_open, set_alt_event},
      {&modes.setup_active, setup_event},
      {&modes.brightness_popup_open, brightness_event},
      {&modes.squawk_edit_active, squawk_edit_event},
  };
  for (const knob_owner& owner : owners) {
    if (*owner.open) {
      return owner.handler(e);
    }
  }
  // Nothing open on the arc page: knob turns step its range, and the event still goes on.
  if (cycle.unit_function == 1 && modes.nav_page_style == NAV_STYLE_ARC && !modes.menu_active &&
      !modes.field_editor_active) {
    nav_dg_adjust_handle_event(e);
  }
  return e;
}

bool transponder_page_shown() { return modes.field_page == 3 && cfg_get_byte(CFG_SERIAL2) == 1; }

// Knob release: walks through the pop-ups that the shown fields offer while the open one is
// unchanged. Returns true when the release was consumed.
bool knob_release_opens_popup() {
  const bool none_open = no_popup_open();
  const int unit = cycle.unit_function;
  if (none_open && field_hosts_baro()) {
    open_set_baro();
    return true;
  }
  if ((none_open || modes.baro_popup_open) && field_hosts_dg_adjust() && !modes.baro_adjusted) {
    close_all_popups();
    if (unit == 0) {
      dg_adjust_open();
    } else if (unit == 1) {
      nav_dg_adjust_open();
    }
    return true;
  }
  const bool dg_or_baro = modes.dg_adjust_popup_open || modes.nav_dg_adjust_popup_open || modes.baro_popup_open;
  const bool any_adjusted = modes.baro_adjusted || modes.dg_adjust_adjusted || modes.nav_dg_adjust_adjusted;
  if ((none_open || dg_or_baro) && field_hosts_hdg_bug() && !any_adjusted) {
    close_all_popups();
    hdg_bug_open();
    return true;
  }
  if ((none_open || dg_or_baro || modes.hdg_bug_popup_open) && field_hosts_set_alt() && !any_adjusted &&
      !modes.hdg_bug_adjusted) {
    close_all_popups();
    open_set_alt();
    return true;
  }
  if (none_open && transponder_page_shown() && !modes.squawk_edit_active) {
    close_all_popups();
    open_squawk_edit();
    return true;
  }
  if (!(modes.brightness_popup_open || modes.menu_active || modes.field_editor_active || modes.setup_active ||
        modes.squawk_edit_active)) {
    close_all_popups();
  }
  return false;
}

// Left release: main page -> MENU -> SETUP -> INSTALL -> closed.
void left_release_walks_pages() {
  if (no_popup_open()) {
    if ((cycle.unit_function == 0 || cycle.unit_function == 1) && modes.field_page != 3) {
      open_menu();
      modes.install_mode = 0;
    }
    if (no_popup_open() && transponder_page_shown()) {
      start_ident();
    }
  } else if ((modes.menu_active || modes.field_editor_active) && modes.install_mode == 0 && !modes.layout_modified) {
    close_menu();
    modes.install_mode = 0;
    open_setup();
  } else if (modes.setup_active && modes.install_mode == 0 && !modes.setup_touched) {
    open_setup();
    if (modes.install_allowed) {
      modes.install_mode = 1;
    }
  } else {
    close_all_popups();
  }
}

// The global actions, in priority order; returns the event still to be handled.
int global_actions(int e) {
  if (cycle.unit_function == 0 && modes.attitude_alert_active && e == EVT_KNOB_RELEASE) {
    acknowledge_alert();
    e = EVT_NONE;
  }

  if (cfg_get_byte(CFG_DEMO_MODE) != 0 && get_left_button() && get_right_button()) {
    const int mode = cfg_get_byte(CFG_DEMO_MODE);
    layout_defaults();
    reset_demo();
    cfg_set_byte(CFG_DEMO_MODE, mode);
    reload_setup_copies();
    return EVT_NONE;
  }

  if (e == EVT_KNOB_RELEASE && knob_release_opens_popup()) {
    return EVT_NONE;
  }

  if (e == EVT_RIGHT_LONG && no_popup_open()) {
    open_brightness();
    return EVT_NONE;
  }

  if (modes.brightness_popup_open) {
    if (e == EVT_RIGHT_RELEASE || e == EVT_KNOB_RELEASE) {
      close_brightness();
      return EVT_NONE;
    }
    if (e == EVT_LEFT_RELEASE) {
      brightness_event(e);  // AUTO <-> MANUAL
      return EVT_NONE;
    }
  }

  if (e == EVT_LEFT_RELEASE) {
    left_release_walks_pages();  // the later stages still see the release
  }

  if (e == EVT_LEFT_LONG && no_popup_open() && transponder_page_shown()) {
    set_vfr_squawk();
  }

  if (e == EVT_KNOB_LONG && no_popup_open() && cfg_get_byte(CFG_FUNCTION_LOCK) == 0) {
    cycle.unit_function = 1 - cycle.unit_function;
    cfg_set_byte(CFG_UNIT_FUNCTION, cycle.unit_function);
    modes.field_page = 0;
    close_all_popups();
    return EVT_NONE;
  }
  return e;
}

}  // namespace

void dispatch_event() {
  int e = controls.pending_event;
  if (e == EVT_NONE) {
    return;
  }
  cycle.inactivity_countdown = 30;
  if (!startup_done()) {
    return;  // held until the start-up screen ends; the decoder waits meanwhile
  }

  e = global_actions(e);
  e = knob_owner_event(e);
  if (e != EVT_NONE) {
    main_page_event(e);  // whatever it leaves, the event ends with this pass
  }
  controls.pending_event = EVT_NONE;
}
