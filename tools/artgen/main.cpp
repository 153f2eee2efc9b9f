// vesper-artgen: draws every catalogue image and writes them as the constant tables of the firmware.
//
//   vesper-artgen OUT.cpp REGULAR.ttf BOLD.ttf
//   vesper-artgen --preview OUT.png REGULAR.ttf BOLD.ttf   (every image x3 on a checkerboard)
//
// Full-colour images become packed 0xAARRGGBB words (straight alpha, top row first); four-bit
// images become coverage bytes (rows bottom-up, high nibble = left column).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "gfx/layers.h"
#include "tools/artgen/art.h"
#include "tools/artgen/canvas.h"

namespace {

struct colour_entry {
  const char* name;
  int width;
  int height;
  void (*paint)(art::Canvas&);
};

const colour_entry colour_images[] = {
#define IMAGE(id, name, w, h) {#name, w, h, art::paint_##name},
#include "gfx/images/image_catalogue.def"
#undef IMAGE
};

const colour_entry four_bit_images[] = {
#define IMAGE4(id, name, w, h) {#name, w, h, art::paint_##name},
#include "gfx/images/image4_catalogue.def"
#undef IMAGE4
};

void write_words(std::FILE* out, const std::vector<std::uint32_t>& words) {
  for (std::size_t i = 0; i < words.size(); ++i) {
    std::fprintf(out, "%s0x%08X,", i % 10 == 0 ? "\n    " : " ", static_cast<unsigned>(words[i]));
  }
}

// Per row, the first column with any alpha and one past the last (0, 0 for a clear row): a blend
// of the image need visit no other pixel, since a clear source pixel leaves the pixel under it.
std::vector<std::uint32_t> visible_rows(const std::vector<std::uint32_t>& pixels, int w, int h) {
  std::vector<std::uint32_t> rows;
  for (int y = 0; y < h; ++y) {
    int first = w, end = 0;
    for (int x = 0; x < w; ++x) {
      if ((pixels[static_cast<std::size_t>(y) * w + x] >> 24) == 0) continue;
      first = std::min(first, x);
      end = x + 1;
    }
    if (end == 0) first = 0;
    rows.push_back(static_cast<std::uint32_t>(first));
    rows.push_back(static_cast<std::uint32_t>(end));
  }
  return rows;
}

void write_shorts(std::FILE* out, const std::vector<std::uint32_t>& values) {
  for (std::size_t i = 0; i < values.size(); ++i) {
    std::fprintf(out, "%s%u,", i % 16 == 0 ? "\n    " : " ", static_cast<unsigned>(values[i]));
  }
}

void write_bytes(std::FILE* out, const std::vector<std::uint8_t>& bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    std::fprintf(out, "%s0x%02X,", i % 16 == 0 ? "\n    " : " ", static_cast<unsigned>(bytes[i]));
  }
}

// A quick look at the artwork without building the firmware: each image three times enlarged on
// a checkerboard, in catalogue order, in rows.
int write_preview(const std::string& path) {
  constexpr int scale = 3;
  constexpr int sheet_w = 1400;
  constexpr int gap = 8;
  struct placed {
    const colour_entry* e;
    bool four_bit;
    int x, y;
  };
  std::vector<placed> layout;
  int x = gap, y = gap, row_h = 0;
  auto place = [&](const colour_entry& e, bool four_bit) {
    const int w = e.width * scale, h = e.height * scale;
    if (x + w + gap > sheet_w) {
      x = gap;
      y += row_h + gap;
      row_h = 0;
    }
    layout.push_back({&e, four_bit, x, y});
    x += w + gap;
    row_h = std::max(row_h, h);
  };
  for (const colour_entry& e : colour_images) place(e, false);
  for (const colour_entry& e : four_bit_images) place(e, true);
  const int sheet_h = y + row_h + gap;

  cairo_surface_t* sheet = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, sheet_w, sheet_h);
  cairo_t* cr = cairo_create(sheet);
  cairo_set_source_rgb(cr, 0.25, 0.25, 0.28);
  cairo_paint(cr);
  for (const placed& p : layout) {
    const int w = p.e->width * scale, h = p.e->height * scale;
    for (int cy = 0; cy < h; cy += 6)
      for (int cx = 0; cx < w; cx += 6) {
        const bool dark = ((cx / 6) + (cy / 6)) % 2;
        cairo_set_source_rgb(cr, dark ? 0.4 : 0.6, dark ? 0.4 : 0.6, dark ? 0.4 : 0.6);
        cairo_rectangle(cr, p.x + cx, p.y + cy, std::min(6, w - cx), std::min(6, h - cy));
        cairo_fill(cr);
      }
    art::Canvas canvas(p.e->width, p.e->height);
    p.e->paint(canvas);
    cairo_save(cr);
    cairo_translate(cr, p.x, p.y);
    cairo_scale(cr, scale, scale);
    cairo_set_source_surface(cr, canvas.surface(), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_restore(cr);
  }
  cairo_destroy(cr);
  const cairo_status_t status = cairo_surface_write_to_png(sheet, path.c_str());
  cairo_surface_destroy(sheet);
  if (status != CAIRO_STATUS_SUCCESS) {
    std::fprintf(stderr, "vesper-artgen: cannot write %s\n", path.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::string(argv[1]) == "--preview") {
    art::load_fonts(argv[3], argv[4]);
    const int rc = write_preview(argv[2]);
    art::unload_fonts();
    return rc;
  }
  if (argc != 4) {
    std::fprintf(stderr,
                 "usage: vesper-artgen OUT.cpp REGULAR.ttf BOLD.ttf\n"
                 "       vesper-artgen --preview OUT.png REGULAR.ttf BOLD.ttf\n");
    return 2;
  }
  const std::string out_path = argv[1];
  art::load_fonts(argv[2], argv[3]);

  const std::string temp_path = out_path + ".part";
  std::FILE* out = std::fopen(temp_path.c_str(), "w");
  if (!out) {
    std::fprintf(stderr, "vesper-artgen: cannot write %s\n", temp_path.c_str());
    return 1;
  }
  std::fprintf(out,
               "// Generated by vesper-artgen from the drawing code in tools/artgen. Do not edit: change the\n"
               "// drawing code and rebuild.\n"
               "#include \"gfx/images/image_arrays.h\"\n");

  for (const colour_entry& e : colour_images) {
    art::Canvas canvas(e.width, e.height);
    e.paint(canvas);
    std::fprintf(out, "\n// %s, %d x %d\nconst pixel_t %s_pixels[%d * %d] = {", e.name, e.width, e.height, e.name,
                 e.width, e.height);
    const std::vector<std::uint32_t> pixels = canvas.straight_pixels();
    write_words(out, pixels);
    std::fprintf(out, "\n};\nconst std::uint16_t %s_rows[%d * 2] = {", e.name, e.height);
    write_shorts(out, visible_rows(pixels, e.width, e.height));
    std::fprintf(out, "\n};\n");
    if (std::string(e.name) == "img_style_vignette") {
      // The attitude pages' merge leaves out the vignette's colour channels, which holds only
      // while it is black.
      for (const pixel_t p : pixels) {
        if ((p & 0x00FFFFFFu) != 0) {
          std::fprintf(stderr, "vesper-artgen: %s is not black; the attitude pages' merge would be wrong\n", e.name);
          return 1;
        }
      }
      // The vignette blended twice over a clear layer, by the reference blend itself: what the
      // composer's two blends leave wherever the layer under them is clear.
      std::vector<pixel_t> twice(static_cast<std::size_t>(e.width) * e.height, 0);
      for (int k = 0; k < 2; ++k) {
        blend_image_reference(twice.data(), pixels.data(), twice.data(), e.width, e.height, 0, 0, e.width, e.height);
      }
      std::fprintf(out, "\n// %s blended twice over a clear layer\nconst pixel_t %s_twice_pixels[%d * %d] = {", e.name,
                   e.name, e.width, e.height);
      write_words(out, twice);
      // The composer merges it by its alpha alone, which holds only while it is black.
      std::vector<std::uint8_t> alpha(twice.size());
      for (std::size_t i = 0; i < twice.size(); ++i) {
        if ((twice[i] & 0x00FFFFFFu) != 0) {
          std::fprintf(stderr, "vesper-artgen: %s is not black; its merge by alpha would be wrong\n", e.name);
          return 1;
        }
        alpha[i] = static_cast<std::uint8_t>(twice[i] >> 24);
      }
      std::fprintf(
          out, "\n};\n// Its alpha, the whole of each of its pixels\nconst std::uint8_t %s_twice_alpha[%d * %d] = {",
          e.name, e.width, e.height);
      write_bytes(out, alpha);
      // And per row, its 16-pixel tiles that hold any alpha: the others change nothing.
      std::vector<std::uint32_t> tiles(static_cast<std::size_t>(e.height), 0);
      for (int y = 0; y < e.height; ++y)
        for (int x = 0; x < e.width; ++x)
          if ((pixels[static_cast<std::size_t>(y) * e.width + x] >> 24) != 0) tiles[y] |= 1u << (x / TILE_W);
      std::fprintf(out, "\n};\nconst std::uint32_t %s_tiles[%d] = {", e.name, e.height);
      write_words(out, tiles);
      std::fprintf(out, "\n};\n");
    }
  }
  for (const colour_entry& e : four_bit_images) {
    if (e.width % 2 != 0) {
      std::fprintf(stderr, "vesper-artgen: %s has an odd width %d; four-bit rows need even widths\n", e.name, e.width);
      return 1;
    }
    art::Canvas canvas(e.width, e.height);
    e.paint(canvas);
    std::fprintf(out,
                 "\n// %s, %d x %d, four-bit coverage, rows bottom-up\nconst std::uint8_t %s_data[%d / 2 * %d] = {",
                 e.name, e.width, e.height, e.name, e.width, e.height);
    write_bytes(out, art::pack4_bottom_up(canvas.coverage4(), e.width, e.height));
    std::fprintf(out, "\n};\n");
  }
  art::unload_fonts();

  if (std::fclose(out) != 0 || std::rename(temp_path.c_str(), out_path.c_str()) != 0) {
    std::fprintf(stderr, "vesper-artgen: cannot finish %s\n", out_path.c_str());
    return 1;
  }
  return 0;
}
