#include "tests/support/power_on.h"

#include "core/firmware.h"
#include "host/common/desk_platform.h"
#include "host/common/memory_serial.h"

void restore_power_on() {
  firmware_power_on();
  desk_platform_power_on();
  memory_serial_power_on();
}

void Started::SetUp() {
  PowerOn::SetUp();
  firmware_init();
}
