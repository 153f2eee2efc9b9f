// A picture buffer of any size for the review tools, drawn with the firmware's own operations.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "gfx/layers.h"

namespace sheet {

struct picture {
  int width = 0;
  int height = 0;
  std::vector<pixel_t> pixels;

  picture(int w, int h, pixel_t fill) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, fill) {}
  pixel_t* data() { return pixels.data(); }
};

// Checkerboard squares of the given size, so transparency shows.
void checkerboard(picture& p, int x, int y, int w, int h, int square);
// Straight-alpha pixels blended over the picture at (x, y), each source pixel enlarged to
// scale x scale (nearest neighbour).
void blend_scaled(picture& p, const pixel_t* src, int w, int h, int x, int y, int scale);

bool save(const picture& p, const std::string& path, std::string* error);

// The scenes composed from the catalogue images where the pages place them; each is written as
// DIR/scene_<name>.png. Returns false with a reason if a file cannot be written.
bool write_scenes(const std::string& dir, std::string* error);

}  // namespace sheet
