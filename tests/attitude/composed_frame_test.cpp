// The attitude picture, alerts and slip indicator inside frames composed by the firmware.
#include <vector>

#include "attitude/alerts.h"
#include "attitude/attitude.h"
#include "core/firmware.h"
#include "core/modes.h"
#include "core/slip.h"
#include "host/common/desk_platform.h"
#include "settings/settings.h"
#include "settings/startup_screen.h"
#include "tests/support/power_on.h"

namespace {

class ComposedAttitude : public Started {
 protected:
  void SetUp() override {
    Started::SetUp();
    startup.startup_countdown = 0;
    cfg_set_byte(CFG_DEMO_MODE, 0);
  }

  void compose() {
    for (int i = 0; i < 10; ++i) {
      if (firmware_pass(frame.data())) return;
    }
    FAIL() << "no frame composed in ten passes";
  }

  std::vector<pixel_t> frame = std::vector<pixel_t>(LAYER_PIXELS, 0);
};

TEST_F(ComposedAttitude, AlertRaisedOnTheAttitudeUnitSetsTheActiveFlag) {
  cfg_set_byte(CFG_ROLL_ALERT, 1);
  desk.roll = 50.0f;
  compose();
  EXPECT_EQ(alerts.alert_flag[ALERT_ROLL_RIGHT], 1);
  EXPECT_EQ(modes.attitude_alert_active, 1);
  // The picture follows the sensor: roll turned round.
  EXPECT_FLOAT_EQ(attitude.attitude_roll, -50.0f);
}

TEST_F(ComposedAttitude, DirectionalGyroAttitudePageFreezesTheAlerts) {
  cfg_set_byte(CFG_ROLL_ALERT, 1);
  desk.roll = 50.0f;
  compose();
  ASSERT_EQ(alerts.alert_flag[ALERT_ROLL_RIGHT], 1);
  cfg_set_byte(CFG_UNIT_FUNCTION, 1);
  modes.field_page = 3;
  desk.roll = 0.0f;
  compose();
  EXPECT_FLOAT_EQ(attitude.attitude_roll, 0.0f);      // the picture is drawn
  EXPECT_EQ(alerts.alert_flag[ALERT_ROLL_RIGHT], 1);  // but the alerts are not evaluated
}

TEST_F(ComposedAttitude, SlipIndicatorRisesWhileAPopUpIsOpen) {
  modes.set_alt_popup_open = 1;
  for (int i = 0; i < 20; ++i) compose();
  EXPECT_EQ(slip.slip_offset, -39);
  modes.set_alt_popup_open = 0;
  for (int i = 0; i < 20; ++i) compose();
  EXPECT_EQ(slip.slip_offset, 0);
}

TEST_F(ComposedAttitude, LevelFrameShowsSkyAboveGround) {
  cfg_set_byte(CFG_UI_STYLE, 1);  // no vignette: the frame shows the picture's own colours
  desk.roll = 0.0f;
  desk.pitch = 0.0f;
  compose();
  // Points clear of the ladder, the numbers, the roll scale and the side fields.
  EXPECT_EQ(frame[75 * SCREEN_W + 140], 0xFF0000FFu);
  EXPECT_EQ(frame[190 * SCREEN_W + 140], 0xFF925B06u);
}

}  // namespace
