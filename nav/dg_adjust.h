// Opening of the two DG ADJ pop-ups (compact heading display and heading page).
#pragma once

void dg_adjust_open();
void nav_dg_adjust_open();
