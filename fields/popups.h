// Opening and closing of the adjustment pop-ups (SET BARO, SET ALT, brightness). Their value
// editing and drawing join with the pop-ups themselves.
#pragma once

void open_set_baro();
void open_set_alt();
void open_brightness();
void close_brightness();
