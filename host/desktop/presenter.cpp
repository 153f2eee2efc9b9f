#include "host/desktop/presenter.h"

#include <algorithm>
#include <cstddef>

#include "host/desktop/input_map.h"

void outline_rect(std::uint32_t* picture, int picture_w, int picture_h, int x, int y, int w, int h,
                  std::uint32_t colour) {
  auto plot = [&](int px, int py) {
    if (px >= 0 && px < picture_w && py >= 0 && py < picture_h) {
      picture[static_cast<std::size_t>(py) * picture_w + px] = colour;
    }
  };
  for (int i = x; i <= x + w; ++i) {
    plot(i, y);
    plot(i, y + h);
  }
  for (int j = y; j <= y + h; ++j) {
    plot(x, j);
    plot(x + w, j);
  }
}

void compose_window_picture(const std::uint32_t* frame, const std::uint32_t* bezel, const std::uint32_t* mask,
                            std::uint32_t* picture, unsigned lit) {
  std::fill(picture, picture + WINDOW_PICTURE_PIXELS, 0xFF000000u);
  for (int row = 0; row < SHOWN_ROWS; ++row) {
    const int src_y = FIRST_SHOWN_ROW + row;
    const std::uint32_t* src = frame + static_cast<std::size_t>(src_y) * MASK_W;
    const std::uint32_t* m = mask + static_cast<std::size_t>(src_y) * MASK_W;
    std::uint32_t* dst = picture + static_cast<std::size_t>(PRESENT_Y + row) * BEZEL_W + PRESENT_X;
    for (int x = 0; x < MASK_W; ++x) {
      dst[x] = src[x] & m[x];
    }
  }
  for (int i = 0; i < WINDOW_PICTURE_PIXELS; ++i) {
    picture[i] |= bezel[i];
  }
  for (const touch_area_entry& area : touch_areas) {
    const touch_rect& r = area.outline;
    if ((lit & touch_bit(static_cast<int>(area.area))) != 0) {
      outline_rect(picture, BEZEL_W, BEZEL_H, r.x, r.y, r.w, r.h, HELD_OUTLINE_COLOUR);
      outline_rect(picture, BEZEL_W, BEZEL_H, r.x + 1, r.y + 1, r.w - 2, r.h - 2, HELD_OUTLINE_COLOUR);
    } else {
      outline_rect(picture, BEZEL_W, BEZEL_H, r.x, r.y, r.w, r.h, TOUCH_OUTLINE_COLOUR);
    }
  }
}

void zoom_picture(const std::uint32_t* src, int w, int h, int zoom, std::uint32_t* dst) {
  const int dst_w = w * zoom;
  for (int y = 0; y < h; ++y) {
    std::uint32_t* first = dst + static_cast<std::size_t>(y) * zoom * dst_w;
    const std::uint32_t* row = src + static_cast<std::size_t>(y) * w;
    for (int x = 0; x < w; ++x) {
      std::fill(first + x * zoom, first + (x + 1) * zoom, row[x]);
    }
    for (int k = 1; k < zoom; ++k) {
      std::copy(first, first + dst_w, first + static_cast<std::size_t>(k) * dst_w);
    }
  }
}
