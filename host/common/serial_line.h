// Terminal line settings shared by the simulators' serial ports: raw bytes, 8N1, no flow
// control, reads that return at once.
#pragma once
#include <termios.h>

// Fills `tio` (as read with tcgetattr) for a raw 8N1 line at `baud`; false for a rate the
// terminal interface has no constant for.
bool raw_8n1_line(termios& tio, int baud);
