// The field strip: what each field shows for a reading, the slots' coupling and geometry, the
// presence flags, the editor's arrows and the selection frame.
#include "fields/field_strip.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <iterator>
#include <string>

#include "core/controls.h"
#include "core/filters.h"
#include "core/firmware.h"
#include "core/modes.h"
#include "core/platform.h"
#include "fields/layouts.h"
#include "fields/popups.h"
#include "gfx/banner.h"
#include "gfx/images.h"
#include "host/common/desk_platform.h"
#include "serial/gps_data.h"
#include "settings/settings.h"
#include "tests/support/power_on.h"

namespace {

class FieldStrip : public Started {
 protected:
  void SetUp() override {
    Started::SetUp();
    cfg_set_byte(CFG_DEMO_MODE, 0);  // live readings from the desk
    cfg_set_byte(CFG_GPS_NAV_SRC, 1);
    cycle.unit_function = 0;
  }
};

// The texts one attitude slot draws for an id, joined with '|'.
std::string texts_of(int id, int slot = 1) {
  fields.layout_ai[0][slot] = static_cast<std::uint16_t>(id);
  draw_field_strip(top_layer, base_layer);
  for (int i = 0; i < field_strip.drawn_count; ++i) {
    const drawn_field& d = field_strip.drawn[i];
    if (d.slot != slot) continue;
    std::string out;
    for (int t = 0; t < d.text_count; ++t) out += (t > 0 ? "|" : "") + std::string(d.texts[t]);
    return out;
  }
  return "(not drawn)";
}

void gps_fresh(int age) {
  gps_nav_data.gps_nav_valid = 1;
  filters.data_fresh[age] = 1;
}

TEST_F(FieldStrip, EachReadingIsShownByItsFieldsRule) {
  struct row {
    const char* what;
    int id;
    std::function<void()> set;
    const char* shown;
  };
  const row rows[] = {
      // Vertical speed: a dead band of 100 fpm, tens, then thousands large and hundreds small.
      {"vs 99", FIELD_VERT_SPD, [] { desk.vertical_speed = 99.0f; }, "0"},
      {"vs 100", FIELD_VERT_SPD, [] { desk.vertical_speed = 100.0f; }, "+100"},
      {"vs -100", FIELD_VERT_SPD, [] { desk.vertical_speed = -100.0f; }, "-100"},
      {"vs 999", FIELD_VERT_SPD, [] { desk.vertical_speed = 999.0f; }, "+990"},
      {"vs 1000", FIELD_VERT_SPD, [] { desk.vertical_speed = 1000.0f; }, "+1|000"},
      {"vs 1250", FIELD_VERT_SPD, [] { desk.vertical_speed = 1250.0f; }, "+1|200"},
      {"vs -2370", FIELD_VERT_SPD, [] { desk.vertical_speed = -2370.0f; }, "-2|300"},
      {"vs invalid", FIELD_VERT_SPD, [] { desk.vertical_speed_valid = false; }, "---"},
      {"vs nan", FIELD_VERT_SPD, [] { desk.vertical_speed = NAN; }, "---"},
      {"vs past int", FIELD_VERT_SPD, [] { desk.vertical_speed = 3e9f; }, "---"},
      // Heading and track: truncated, wrapped, three digits; exactly 360 stays 360.
      {"hdg 359.9", FIELD_HDG, [] { desk.heading = 359.9f; }, "359"},
      {"hdg 0.4", FIELD_HDG, [] { desk.heading = 0.4f; }, "000"},
      {"hdg inf", FIELD_HDG, [] { desk.heading = INFINITY; }, "---"},
      {"trk 360", FIELD_GPS_TRK,
       [] {
         gps_nav_data.gps_track = 360;
         gps_fresh(AGE_GPS_TRACK);
       },
       "360"},
      {"trk 5", FIELD_GPS_TRK,
       [] {
         gps_nav_data.gps_track = 5;
         gps_fresh(AGE_GPS_TRACK);
       },
       "005"},
      {"trk stale", FIELD_GPS_TRK, [] { gps_nav_data.gps_track = 5; }, "---"},
      // Tenths counted in integers and truncated.
      {"dist 99.95", FIELD_GPS_DIST,
       [] {
         gps_nav_data.gps_waypoint_distance = 99.95f;
         gps_fresh(AGE_GPS_DISTANCE);
       },
       "99.9"},
      {"dist 100", FIELD_GPS_DIST,
       [] {
         gps_nav_data.gps_waypoint_distance = 100.0f;
         gps_fresh(AGE_GPS_DISTANCE);
       },
       "100"},
      {"dist 2.3", FIELD_GPS_DIST,
       [] {
         gps_nav_data.gps_waypoint_distance = 2.3f;
         gps_fresh(AGE_GPS_DISTANCE);
       },
       "2.3"},
      {"xte -2.3", FIELD_GPS_XTE,
       [] {
         gps_nav_data.gps_cross_track_error = -2.3f;
         gps_fresh(AGE_GPS_XTE);
       },
       "2.3"},
      {"busv 12.23", FIELD_BUS_VOLTS, [] { desk.bus_volts = 12.23f; }, "12.2"},
      {"busv 2.3", FIELD_BUS_VOLTS, [] { desk.bus_volts = 2.3f; }, "2.3"},
      {"busv nan", FIELD_BUS_VOLTS, [] { desk.bus_volts = NAN; }, "---"},
      {"g 2.3", FIELD_GLOAD, [] { desk.g = 2.3f; }, "+2.3"},
      {"g 1", FIELD_GLOAD, [] { desk.g = 1.0f; }, "+1.0"},
      {"g -0.5", FIELD_GLOAD, [] { desk.g = -0.5f; }, "-0.5"},
      {"g 0.04", FIELD_GLOAD, [] { desk.g = 0.04f; }, "0.0"},
      // Temperature: rounded halves away from zero, sign only above zero.
      {"oat -0.4", FIELD_OAT, [] { desk.oat = -0.4f; }, "0"},
      {"oat 0.5", FIELD_OAT, [] { desk.oat = 0.5f; }, "+1"},
      {"oat -5", FIELD_OAT, [] { desk.oat = -5.0f; }, "-5"},
      {"oat in F", FIELD_OAT, [] { cfg_set_byte(CFG_TEMP_UNITS, 1); }, "+68"},
      {"oat invalid", FIELD_OAT, [] { desk.oat_valid = false; }, "---"},
      // Altimeter setting in inches with two decimals, or whole hectopascals in four digits.
      {"baro 29.92", FIELD_BARO, [] {}, "29.92"},
      {"baro 998.6 hPa", FIELD_BARO,
       [] {
         cfg_set_byte(CFG_BARO_UNITS, 1);
         read_baro_setting();  // the desk converts once to the new units
         desk.baro_setting = 99860.0f;
       },
       "0998"},
      // Density altitude to 100 ft; below zero the thousands keep their sign.
      {"dalt -250", FIELD_DALT,
       [] {
         desk.baro_setting = 2700.0f;
         desk.pressure_altitude = -1250.0f;
       },
       "-0|300"},
      {"dalt -1500", FIELD_DALT,
       [] {
         desk.baro_setting = 2700.0f;
         desk.pressure_altitude = -2500.0f;
       },
       "-1|500"},
      {"dalt 12000", FIELD_DALT,
       [] {
         desk.baro_setting = 2700.0f;
         desk.pressure_altitude = 11000.0f;
       },
       "12|000"},
      {"dalt invalid", FIELD_DALT, [] { desk.density_altitude_valid = false; }, "---"},
      // Selected altitude, with the same sign rule.
      {"salt 500", FIELD_SET_ALT, [] { popups.selected_altitude = 500; }, "0|500"},
      {"salt -999", FIELD_SET_ALT, [] { popups.selected_altitude = -999; }, "-0|900"},
      {"salt 4500", FIELD_SET_ALT, [] { popups.selected_altitude = 4500; }, "4|500"},
      {"tas 150", FIELD_TAS,
       [] {
         desk.tas_held = true;
         desk.tas = 150.0f;
       },
       "150"},
      {"tas mph", FIELD_TAS,
       [] {
         desk.tas_held = true;
         desk.tas = 150.0f;
         cfg_set_byte(CFG_IAS_UNITS, 1);
       },
       "172"},
      {"tas invalid", FIELD_TAS, [] { desk.tas_valid = false; }, "---"},
      {"gs 155", FIELD_GPS_GS,
       [] {
         gps_nav_data.gps_ground_speed = 155;
         gps_fresh(AGE_GPS_SPEED);
       },
       "155"},
      {"wpt", FIELD_GPS_WPT,
       [] {
         std::strcpy(gps_nav_data.gps_waypoint_id, "KABQX");
         gps_fresh(AGE_GPS_WPT);
       },
       "KABQX"},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.what);
    SetUp();
    r.set();
    EXPECT_EQ(texts_of(r.id), r.shown);
  }
}

TEST_F(FieldStrip, DemoReadingsReplaceTheLiveOnesWhereTheFieldTakesThem) {
  struct row {
    int demo_mode;
    int id;
    bool demo_shown;
  };
  const row rows[] = {
      {1, FIELD_VERT_SPD, true}, {2, FIELD_VERT_SPD, false},  {2, FIELD_OAT, true},
      {2, FIELD_GPS_GS, true},   {1, FIELD_BUS_VOLTS, false},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.id);
    SetUp();
    desk.vertical_speed_valid = false;
    desk.oat_valid = false;
    desk.bus_volts = 14.0f;
    cfg_set_byte(CFG_DEMO_MODE, r.demo_mode);
    const std::string shown = texts_of(r.id);
    if (r.id == FIELD_BUS_VOLTS) {
      EXPECT_EQ(shown, "14.0");
    } else {
      EXPECT_EQ(shown != "---", r.demo_shown) << shown;
    }
  }
}

TEST_F(FieldStrip, CoupledSlotsPagesAndPresence) {
  // BARO ALT in slot 6 forces BARO into slot 7 of that page, whatever the store held.
  fields.layout_ai[0][6] = FIELD_BARO_ALT;
  fields.layout_ai[0][7] = FIELD_OAT;
  draw_field_strip(top_layer, base_layer);
  EXPECT_EQ(fields.layout_ai[0][7], FIELD_BARO);

  // The GPS ARC picture moves heading slots 2 and 4 down and outwards.
  struct anchor_row {
    int picture;
    int slot;
    int x;
    int y;
  };
  const anchor_row anchors[] = {{FIELD_GPS_ARC, 2, 75, 100},
                                {FIELD_GPS_ARC, 4, 250, 100},
                                {FIELD_GPS_HSI, 2, 115, 70},
                                {FIELD_GPS_HSI, 4, 210, 70},
                                {FIELD_GPS_ARC, 1, 25, 140}};
  for (const anchor_row& a : anchors) {
    fields.layout_dg[0][3] = static_cast<std::uint16_t>(a.picture);
    int x = 0;
    int y = 0;
    field_slot_anchor(1, a.slot, &x, &y);
    EXPECT_EQ(x, a.x) << a.picture << " slot " << a.slot;
    EXPECT_EQ(y, a.y) << a.picture << " slot " << a.slot;
  }

  // Presence flags follow what the page draws, frame by frame.
  struct presence_row {
    int unit;
    int page;
    int baro, hdg_bug, dg_adjust, set_alt;
  };
  const presence_row presence[] = {
      {0, 0, 1, 1, 1, 0}, {0, 1, 1, 1, 0, 0}, {0, 2, 1, 1, 0, 1}, {0, 3, 0, 0, 0, 0}, {1, 0, 0, 1, 1, 0},
      {1, 1, 0, 1, 0, 0}, {1, 3, 0, 0, 0, 0}, {0, 9, 1, 1, 1, 0},  // a stored page outside 0..3 reads as page 0
  };
  for (const presence_row& p : presence) {
    SCOPED_TRACE(testing::Message() << "unit " << p.unit << " page " << p.page);
    SetUp();
    cycle.unit_function = p.unit;
    modes.field_page = p.page;
    draw_field_strip(top_layer, base_layer);
    EXPECT_EQ(field_strip.drawn_page, p.page > 3 ? 0 : p.page);
    EXPECT_EQ(field_hosts_baro(), p.baro);
    EXPECT_EQ(field_hosts_hdg_bug(), p.hdg_bug);
    EXPECT_EQ(field_hosts_dg_adjust(), p.dg_adjust);
    EXPECT_EQ(field_hosts_set_alt(), p.set_alt);
  }
}

TEST_F(FieldStrip, EditorArrowsOfferOnlyAllowedIds) {
  struct row {
    const char* what;
    int slot;
    int id;
    int demo;
    int gps_source;
    int left, right;
  };
  const row rows[] = {
      {"top slot, highest id", 4, FIELD_MAIN_DG_HEADING, 0, 1, 1, 0},
      {"top slot, none", 4, FIELD_NONE, 0, 1, 0, 1},
      {"no GPS: nothing above DALT", 1, FIELD_DALT, 0, 0, 1, 0},
      {"demo keeps GPS ids", 1, FIELD_DALT, 1, 0, 1, 1},
      {"stored GPS id without GPS", 1, FIELD_GPS_TRK, 0, 0, 1, 0},
      {"BARO tied to BARO ALT", 7, FIELD_BARO, 0, 1, 0, 0},
      {"BARO slot free", 7, FIELD_BARO, 0, 1, 1, 0},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.what);
    SetUp();
    cfg_set_byte(CFG_DEMO_MODE, r.demo);
    cfg_set_byte(CFG_GPS_NAV_SRC, r.gps_source);
    fields.layout_ai[0][6] = std::strcmp(r.what, "BARO slot free") == 0 ? FIELD_NONE : FIELD_BARO_ALT;
    fields.layout_ai[0][r.slot] = static_cast<std::uint16_t>(r.id);
    open_menu();
    modes.selected_slot = r.slot;
    main_page_event(EVT_KNOB_RELEASE);
    draw_field_strip(top_layer, base_layer);
    EXPECT_EQ(banner.banner_left_arrow, r.left);
    EXPECT_EQ(banner.banner_right_arrow, r.right);
  }
  // A turn on the tied slot is no edit at all.
  SetUp();
  open_menu();
  modes.selected_slot = 7;
  main_page_event(EVT_KNOB_RELEASE);
  main_page_event(EVT_KNOB_CCW);
  EXPECT_EQ(fields.layout_ai[0][7], FIELD_BARO);
  EXPECT_EQ(modes.layout_modified, 0);
}

TEST_F(FieldStrip, CaptionOffsetsBySide) {
  const int rows[][3] = {{40, 70, 2},  {280, 70, -2}, {280, 180, 5}, {35, 180, 0},
                         {160, 70, 0}, {280, 120, 0}, {30, 119, 2}};
  for (const auto& r : rows) EXPECT_EQ(field_caption_offset(r[0], r[1]), r[2]) << r[0] << "," << r[1];
}

TEST_F(FieldStrip, SelectionFramesAtTheLeftEdgeStayInTheirRows) {
  // Attitude slot 2 and heading slot 1 have frames that start two columns left of the screen.
  struct row {
    int unit;
    int slot;
    int frame_top;
    int frame_height;
  };
  const row rows[] = {{0, 2, 107, 60}, {1, 1, 128, 45}};
  for (const row& r : rows) {
    SetUp();
    cycle.unit_function = r.unit;
    open_menu();
    modes.selected_slot = r.slot;
    const pixel_t sentinel = 0xFF123456;
    fill_layer(base_layer, SCREEN_W, SCREEN_H, sentinel);
    draw_field_strip(top_layer, base_layer);
    int touched = 0;
    for (int y = r.frame_top; y < r.frame_top + r.frame_height; ++y) {
      // Columns 318 and 319 of the row above are where an unclipped blend would spill.
      EXPECT_EQ(base_layer[(y - 1) * SCREEN_W + 318], sentinel) << "row " << y - 1;
      EXPECT_EQ(base_layer[(y - 1) * SCREEN_W + 319], sentinel) << "row " << y - 1;
      for (int x = 0; x < 60; ++x) touched += base_layer[y * SCREEN_W + x] != sentinel ? 1 : 0;
    }
    EXPECT_GT(touched, 0) << "the frame is drawn";
  }
}

TEST_F(FieldStrip, SelectionFramesMixEachPixelByItsAlpha) {
  // Every frame image, at the slots that use it (two start left of the screen), over arbitrary
  // pixels: inside the clipped frame each pixel is the plain mix by the image's alpha, outside
  // nothing changes. The fields themselves are taken off so that only the frame draws.
  struct row {
    int unit, slot, image, x, y;
  };
  const row rows[] = {{0, 2, IMG_FIELD_FRAME_SMALL, -2, 107}, {0, 6, IMG_FIELD_FRAME_SMALL, 263, 106},
                      {0, 0, IMG_FIELD_FRAME_TALL, 53, 75},   {0, 8, IMG_FIELD_FRAME_TAPE, 196, 75},
                      {0, 4, IMG_FIELD_FRAME_WIDE, 130, 34},  {1, 1, IMG_FIELD_FRAME_WIDE, -2, 128},
                      {1, 5, IMG_FIELD_FRAME_WIDE, 263, 128}};
  static pixel_t before[LAYER_PIXELS];
  for (const row& r : rows) {
    SetUp();
    cycle.unit_function = r.unit;
    for (auto& page : fields.layout_ai) std::fill(std::begin(page), std::end(page), 0);
    for (auto& page : fields.layout_dg) std::fill(std::begin(page), std::end(page), 0);
    open_menu();
    modes.selected_slot = r.slot;
    std::uint32_t seed = static_cast<std::uint32_t>(r.slot + 1);
    for (pixel_t& p : before) p = seed = seed * 1664525u + 1013904223u;
    std::copy(std::begin(before), std::end(before), base_layer);
    draw_field_strip(top_layer, base_layer);
    const image_ref img = image_lookup(r.image);
    for (int y = 0; y < SCREEN_H; ++y) {
      for (int x = 0; x < SCREEN_W; ++x) {
        const int i = x - r.x, j = y - r.y;
        pixel_t expected = before[y * SCREEN_W + x];
        if (i >= 0 && j >= 0 && i < img.width && j < img.height) {
          const pixel_t s = img.pixels[j * img.width + i];
          expected = mix_colour(expected, s, static_cast<float>(static_cast<double>(s >> 24) / 255.0));
        }
        ASSERT_EQ(base_layer[y * SCREEN_W + x], expected) << r.unit << " slot " << r.slot << " at " << x << "," << y;
      }
    }
  }
}

}  // namespace
