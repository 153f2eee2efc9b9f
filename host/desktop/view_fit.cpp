#include "host/desktop/view_fit.h"

#include <algorithm>
#include <cstddef>

#include "host/desktop/art/bezel_geometry.h"

namespace {

// Floor division for a positive divisor.
long long floor_div(long long a, long long b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

}  // namespace

int fitting_zoom(int wanted, int available_w, int available_h) {
  for (int zoom = wanted; zoom >= 1; --zoom) {
    if (BEZEL_W * zoom <= available_w && BEZEL_H * zoom <= available_h) return zoom;
  }
  return 0;
}

picture_place place_picture(int window_w, int window_h) {
  picture_place p;
  const int zoom = std::max(1, std::min(window_w / BEZEL_W, window_h / BEZEL_H));
  if (BEZEL_W * zoom <= window_w && BEZEL_H * zoom <= window_h) {
    p.zoom = zoom;
    p.w = BEZEL_W * zoom;
    p.h = BEZEL_H * zoom;
  } else {
    // Smaller than the picture itself: keep its proportions, whichever side limits.
    p.zoom = 0;
    if (static_cast<long long>(window_w) * BEZEL_H <= static_cast<long long>(window_h) * BEZEL_W) {
      p.w = window_w;
      p.h = static_cast<int>(static_cast<long long>(window_w) * BEZEL_H / BEZEL_W);
    } else {
      p.h = window_h;
      p.w = static_cast<int>(static_cast<long long>(window_h) * BEZEL_W / BEZEL_H);
    }
    p.w = std::max(1, p.w);
    p.h = std::max(1, p.h);
  }
  p.x = (window_w - p.w) / 2;
  p.y = (window_h - p.h) / 2;
  return p;
}

int to_bezel(int window_coordinate, int offset, int shown_size, int bezel_size) {
  if (shown_size <= 0) return -1;
  return static_cast<int>(
      floor_div(static_cast<long long>(window_coordinate - offset) * bezel_size, static_cast<long long>(shown_size)));
}

void scale_picture(const std::uint32_t* src, int w, int h, std::uint32_t* dst, int dw, int dh) {
  for (int y = 0; y < dh; ++y) {
    const std::uint32_t* row = src + static_cast<std::size_t>(static_cast<long long>(y) * h / dh) * w;
    std::uint32_t* out = dst + static_cast<std::size_t>(y) * dw;
    for (int x = 0; x < dw; ++x) out[x] = row[static_cast<long long>(x) * w / dw];
  }
}
