// Building the glyph strips from a font description: rasterising with FreeType, laying glyphs
// side by side, packing them as the firmware stores them, and writing the generated sources.
#pragma once
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/fontgen/font_description.h"

namespace fontgen {

// Coverage 0..15 of a block of pixels, rows top-down.
struct coverage_image {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> n;

  std::uint8_t at(int x, int y) const { return n[static_cast<std::size_t>(y) * width + x]; }
  std::uint8_t& at(int x, int y) { return n[static_cast<std::size_t>(y) * width + x]; }
  bool has_ink() const {
    return std::any_of(n.begin(), n.end(), [](std::uint8_t v) { return v != 0; });
  }
};

struct built_font {
  int id = 0;
  int height = 0;
  int baseline = 0;  // rows above the baseline
  std::string charset;
  std::vector<int> offsets;  // charset.size() + 1 entries
  coverage_image strip;      // height rows, top-down
};

// Rasterises every font of the description. Throws build_error for a missing typeface file, a
// character a face lacks or draws blank, a glyph that does not fit the height or its digit cell,
// and a digit width outside the font's range.
std::vector<built_font> build_fonts(const description& d);

// The strip as the firmware stores it: two pixels a byte, high nibble the even column, rows
// bottom-up.
std::vector<std::uint8_t> pack(const coverage_image& strip);

// The generated font table source and the header naming the strips; `origin` is quoted in them.
std::string source_text(const std::vector<built_font>& fonts, const std::string& origin);
std::string header_text(const std::vector<built_font>& fonts, const std::string& origin);

// Writes a whole file at once (through a temporary and a rename), making its folder.
void write_file(const std::string& path, const std::string& text);

// Review pictures <stem>_<id>.png: each font's char set and sample texts, enlarged, white on
// black and on the sky colour, drawn the way the firmware draws text.
void write_preview(const std::vector<built_font>& fonts, const std::string& stem);

}  // namespace fontgen
