// Pixel layers and colour arithmetic: the 0xAARRGGBB pixel, the 320 x 240 layers, the named
// colours, and the block operations every drawing builds on. Pixels are not premultiplied; the
// alpha channel is mixed like the colour channels.
#pragma once
#include <bit>
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
// The SSE2 blend applied twice in place, as two calls with dst as the under layer would.
void blend_image_sse2_twice(pixel_t* dst, const pixel_t* src, int stride, int x, int y, int w, int h);
#endif

// The vignette's merge on the attitude pages, for the drawn pixels among n of a row where the
// vignette shades: each drawn top pixel T is merged into the plain sky or ground B under it, the
// vignette V (black) is blended twice over T, and that is merged again,
// blend(blend(B, T), blend(blend(T, V), V)); the top pixel is then cleared. B is the ground on
// pixels ground_from .. ground_to - 1 of the run and the sky elsewhere. Under a clear top pixel
// the caller has already given the base that rule's result (the merged pictures); it may be
// computed again, to the same pixel. The pointers all start at the run's first pixel.
struct vignette_merge_run {
  pixel_t* base;
  pixel_t* top;
  const pixel_t* vignette;
  pixel_t sky;
  pixel_t ground;
  int ground_from;
  int ground_to;
};
void merge_vignetted_run(const vignette_merge_run& run, int n);
void merge_vignetted_portable(const vignette_merge_run& run, int n);
#if defined(__SSE2__)
void merge_vignetted_sse2(const vignette_merge_run& run, int n);
#endif

// The weight t of a source alpha in the blend, float(alpha / 255.0), tabulated once at compile time
// so that no blend path needs a double division per pixel.
struct blend_weight_table {
  float t[256];
};
extern const blend_weight_table blend_weights;

// Which parts of the top layer may hold anything but 0x00000000: one bit per 16-pixel column tile
// of each row (bit k covers columns 16k .. 16k + 15). Every writer marks, on entry, at least what
// it may write into the top layer; clearing the top layer clears only marked tiles and unmarks
// them, and blending the whole top layer over another layer works on marked tiles only, copying
// the under layer elsewhere. A superset costs time only; a write outside the marks would leave a
// stale pixel on screen, so a writer that cannot bound its writes marks everything.
inline constexpr int TILE_SHIFT = 4;
inline constexpr int TILE_W = 1 << TILE_SHIFT;
inline constexpr int TILES_PER_ROW = SCREEN_W / TILE_W;
static_assert(TILES_PER_ROW * TILE_W == SCREEN_W && TILES_PER_ROW <= 32, "a row's tiles fit one word");

struct layer_tile_state {
  std::uint32_t top_rows[SCREEN_H] = {};
};
extern layer_tile_state layer_tiles;

// Marks the pixels x0..x1, y0..y1 (inclusive) of the top layer, clamped to the screen: a rectangle
// partly or wholly off the screen marks its clamped remainder (an edge tile at worst).
void mark_top_tiles(int x0, int y0, int x1, int y1);

// Tiles first .. last of a row as bits.
inline std::uint32_t tile_bits(int first, int last) {
  const std::uint32_t upto = last >= 31 ? ~0u : (1u << (last + 1)) - 1u;
  return upto & ~((1u << first) - 1u);
}
inline constexpr std::uint32_t ALL_TILES = TILES_PER_ROW >= 32 ? ~0u : (1u << TILES_PER_ROW) - 1u;

// Calls f(x, n) for each run of set tiles in a row's bits: n pixels from column x.
template <typename F>
inline void for_each_tile_run(std::uint32_t bits, F f) {
  while (bits != 0) {
    const int first = std::countr_zero(bits);
    const int count = std::countr_one(bits >> first);
    f(first * TILE_W, count * TILE_W);
    bits &= ~tile_bits(first, first + count - 1);
  }
}

// The entry mark of a writer: marks the rectangle when buf is the top layer (other buffers are
// not tracked). The float form takes any order of corners, widens them by margin pixels and marks
// the whole layer when a coordinate is not a number.
inline void mark_written(const pixel_t* buf, int x0, int y0, int x1, int y1) {
  if (buf == top_layer) mark_top_tiles(x0, y0, x1, y1);
}
void mark_written_box(const pixel_t* buf, float xa, float ya, float xb, float yb, float margin);
inline void mark_written_pixel(const pixel_t* buf, int x, int y) {
  if (buf == top_layer && static_cast<unsigned>(x) < SCREEN_W && static_cast<unsigned>(y) < SCREEN_H)
    layer_tiles.top_rows[y] |= 1u << (x >> TILE_SHIFT);
}

// True when every pixel of the top layer outside the marked tiles is 0x00000000: what the tile
// bookkeeping promises. The audit below checks it at every clear and whole-layer blend of the top
// layer while it is enabled; it is a test probe, not instrument state, and power-on leaves it be.
bool top_tiles_hold();
struct layer_audit_state {
  bool enabled = false;
  long checks = 0;
  long failures = 0;
};
extern layer_audit_state layer_audit;

// The whole top layer blended into dst twice, in place, as two whole-layer blend_image calls with
// dst as the under layer would (the attitude pages merge their picture twice): marked runs only.
void merge_top_layer_twice(pixel_t* dst);
// The same for w pixels of a packed source at (x, y) of dst: blended twice in place.
void merge_twice_in_place(pixel_t* dst, const pixel_t* src, int x, int y, int w);

// Restores the power-on state: all three buffers zero, no display frame, no tile marked.
void layers_power_on();
