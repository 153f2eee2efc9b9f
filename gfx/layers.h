// Pixel layers and colour arithmetic: the 0xAARRGGBB pixel, the 320 x 240 layers, the named
// colours, and the block operations every drawing builds on. Pixels are not premultiplied; the
// alpha channel is mixed like the colour channels.
#pragma once
#include <cstdint>

using pixel_t = std::uint32_t;

inline constexpr int SCREEN_W = 320;
inline constexpr int SCREEN_H = 240;
inline constexpr int LAYER_PIXELS = SCREEN_W * SCREEN_H;

inline constexpr pixel_t COLOUR_TRANSPARENT = 0x00000000;
inline constexpr pixel_t COLOUR_BLACK = 0xFF000000;
inline constexpr pixel_t COLOUR_WHITE = 0xFFFFFFFF;
inline constexpr pixel_t COLOUR_GREEN = 0xFF00FF00;
inline constexpr pixel_t COLOUR_MAGENTA = 0xFFFF00FF;
inline constexpr pixel_t COLOUR_CYAN = 0xFF00FFFF;
inline constexpr pixel_t COLOUR_YELLOW = 0xFFFFFF00;
inline constexpr pixel_t COLOUR_RED = 0xFFFF0000;
inline constexpr pixel_t COLOUR_BLUE = 0xFF0000FF;
inline constexpr pixel_t COLOUR_SHADOW = 0xFF303030;
inline constexpr pixel_t COLOUR_SHADOW_SOFT = 0x90000000;
inline constexpr pixel_t COLOUR_GREY = 0xFF808080;
inline constexpr pixel_t COLOUR_LIGHT_GREY = 0xFFB0B0B0;
inline constexpr pixel_t COLOUR_DARK_GREY = 0xFF404040;
inline constexpr pixel_t COLOUR_GOLD = 0xFFD0B04E;
inline constexpr pixel_t COLOUR_DARK_GOLD = 0xFFC0A03E;
inline constexpr pixel_t COLOUR_TEAL = 0xFF06F4CE;
inline constexpr pixel_t COLOUR_DARK_TEAL = 0xFF07BDBA;
inline constexpr pixel_t COLOUR_DARK_GREEN = 0xFF00A000;
inline constexpr pixel_t COLOUR_DARK_RED = 0xFFA00000;
inline constexpr pixel_t COLOUR_OLIVE = 0xFFA0A000;
inline constexpr pixel_t COLOUR_PINK = 0xFFFF2FB0;

// The two layers and the spare buffer live for the whole run; zero (transparent) at power-on.
extern pixel_t top_layer[LAYER_PIXELS];
extern pixel_t base_layer[LAYER_PIXELS];
extern pixel_t aircraft_outline[LAYER_PIXELS];

// The frame being composed; firmware_pass points it at the host's buffer for the composing pass.
extern pixel_t* display_frame;

// Colour arithmetic.
pixel_t mix_colour(pixel_t a, pixel_t b, float t);
pixel_t scale_colour(pixel_t c, float f);
pixel_t add_colour(pixel_t a, pixel_t b);
float colour_brightness(pixel_t colour);

// Single pixels.
void put_pixel(pixel_t* buf, int width, int height, int x, int y, pixel_t colour);
void put_pixel_unchecked(pixel_t* buf, int width, int height, int x, int y, pixel_t colour);
pixel_t get_pixel(const pixel_t* buf, int width, int height, int x, int y);
pixel_t get_pixel_unchecked(const pixel_t* buf, int width, int height, int x, int y);

// Blocks. None clips: callers pass rectangles inside the destination.
void clear_layer(pixel_t* layer);
void fill_layer(pixel_t* buf, int width, int height, pixel_t colour);
void fill_rect(pixel_t* buf, int x, int y, int w, int h, pixel_t colour);
void copy_image(pixel_t* dst, const pixel_t* src, int stride, int height, int x, int y, int w, int h);
void blend_image(pixel_t* dst, const pixel_t* src, const pixel_t* under, int stride, int height, int x, int y, int w,
                 int h);
void copy_to_display(const pixel_t* layer);
void flush_display();

// The plain per-channel blend, kept as the reference the fast blend is proved against.
void blend_image_reference(pixel_t* dst, const pixel_t* src, const pixel_t* under, int stride, int height, int x, int y,
                           int w, int h);

// The blend kernels behind blend_image, each bit-identical to blend_image_reference. blend_image
// uses the SSE2 kernel where the target has SSE2 and the portable integer kernel elsewhere; both
// are declared here so that either can be checked on any machine that can run it.
void blend_image_portable(pixel_t* dst, const pixel_t* src, const pixel_t* under, int stride, int x, int y, int w,
                          int h);
#if defined(__SSE2__)
void blend_image_sse2(pixel_t* dst, const pixel_t* src, const pixel_t* under, int stride, int x, int y, int w, int h);
#endif

// The weight t of a source alpha in the blend, float(alpha / 255.0), tabulated once at compile time
// so that no blend path needs a double division per pixel.
struct blend_weight_table {
  float t[256];
};
extern const blend_weight_table blend_weights;

// Restores the power-on state: all three buffers zero, no display frame.
void layers_power_on();
