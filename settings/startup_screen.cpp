#include "settings/startup_screen.h"

#include "gfx/images.h"
#include "gfx/text.h"
#include "settings/settings.h"

startup_state startup;

void startup_power_on() { startup = startup_state{}; }

void startup_screen_init() {
  startup.startup_countdown = 8;
  startup.startup_fade = 0x00000000;
}

bool startup_done() { return startup.startup_countdown == 0; }

void draw_startup_screen(pixel_t* layer) {
  const image_ref logo = image_lookup(IMG_STARTUP_LOGO);
  blend_image(layer, logo.pixels, layer, SCREEN_W, SCREEN_H, 160 - logo.width / 2, 50, logo.width, logo.height);
  draw_text(layer, SCREEN_W, SCREEN_H, 6, 130, 160, startup.startup_fade, "VESPER-C");
  draw_text_centred(layer, SCREEN_W, SCREEN_H, 5, 160, 195, startup.startup_fade, "SOFTWARE VERSION");
  draw_text_centred(layer, SCREEN_W, SCREEN_H, 5, 160, 215, startup.startup_fade, "1.0.18");
  // The text fades in from transparent to opaque white over 255 frames, and stays there.
  if (startup.startup_fade != 0xFFFFFFFF) {
    startup.startup_fade += 0x01010101;
  }
  const int demo_mode = cfg_get_byte(CFG_DEMO_MODE);
  if (demo_mode == 1) {
    draw_text_centred(layer, SCREEN_W, SCREEN_H, 5, 160, 7, 0xFF00FFFF, "DEMO1");
  } else if (demo_mode == 2) {
    draw_text_centred(layer, SCREEN_W, SCREEN_H, 5, 160, 7, 0xFF00FFFF, "DEMO2");
  }
}
