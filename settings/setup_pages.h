// Opening, closing and reloading of the SETUP and INSTALL pages.
#pragma once

void open_setup();
void reload_setup_copies();
