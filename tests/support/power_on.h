// Every test starts from the instrument as it is switched on: all module state at its power-on
// values and the desk platform at its fixed answers.
#pragma once
#include <gtest/gtest.h>

void restore_power_on();

class PowerOn : public ::testing::Test {
 protected:
  void SetUp() override { restore_power_on(); }
};

// Power-on, then firmware_init, as a host starts the instrument.
class Started : public PowerOn {
 protected:
  void SetUp() override;
};
