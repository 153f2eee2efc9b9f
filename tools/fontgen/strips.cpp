#include "tools/fontgen/strips.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_DRIVER_H
#include FT_MODULE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include "host/common/png_io.h"

namespace fontgen {
namespace {

std::string char_name(char ch) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "'%c' (0x%02X)", ch, static_cast<unsigned char>(ch));
  return buf;
}

// ---- Typefaces

// Each face gets its own FreeType library so that its TrueType interpreter version is its own.
class typeface {
 public:
  explicit typeface(const face_desc& desc) : desc_(desc) {
    if (!std::filesystem::exists(desc.path)) {
      throw build_error("typeface file " + desc.path + " (face '" + desc.name +
                        "') is missing; install the Debian font package that provides it");
    }
    if (FT_Init_FreeType(&lib_) != 0) throw build_error("FreeType cannot start");
    if (desc.hint == hinting::native_v35) {
      FT_UInt version = TT_INTERPRETER_VERSION_35;
      FT_Property_Set(lib_, "truetype", "interpreter-version", &version);
    }
    if (FT_New_Face(lib_, desc.path.c_str(), 0, &face_) != 0) {
      FT_Done_FreeType(lib_);
      throw build_error("typeface file " + desc.path + " (face '" + desc.name + "') cannot be read by FreeType");
    }
  }
  ~typeface() {
    FT_Done_Face(face_);
    FT_Done_FreeType(lib_);
  }
  typeface(const typeface&) = delete;
  typeface& operator=(const typeface&) = delete;

  FT_Face face() const { return face_; }
  const face_desc& desc() const { return desc_; }

  FT_Int32 load_flags() const {
    switch (desc_.hint) {
      case hinting::native:
      case hinting::native_v35:
        return FT_LOAD_TARGET_NORMAL;
      case hinting::autohint:
        return FT_LOAD_TARGET_NORMAL | FT_LOAD_FORCE_AUTOHINT;
      case hinting::snap:
        return FT_LOAD_TARGET_MONO | FT_LOAD_FORCE_AUTOHINT;
      case hinting::light:
        return FT_LOAD_TARGET_LIGHT;
      case hinting::none:
        return FT_LOAD_NO_HINTING;
    }
    return FT_LOAD_DEFAULT;
  }
  FT_Render_Mode render_mode() const {
    return desc_.hint == hinting::light ? FT_RENDER_MODE_LIGHT : FT_RENDER_MODE_NORMAL;
  }

 private:
  face_desc desc_;
  FT_Library lib_ = nullptr;
  FT_Face face_ = nullptr;
};

// ---- Glyph images

// A rasterised glyph relative to its pen position: its ink box starts `left` columns right of the
// pen and `top` rows above the baseline.
struct inked_glyph {
  coverage_image ink;
  int left = 0;
  int top = 0;
  int advance = 0;  // whole pixels
};

std::uint8_t quantise(unsigned grey, unsigned levels) {
  unsigned max = levels > 1 ? levels - 1 : 255;
  return static_cast<std::uint8_t>((grey * 15 + max / 2) / max);
}

// Trims blank rows and columns so that the ink box is exactly the inked pixels.
void trim(inked_glyph& g) {
  const coverage_image& im = g.ink;
  int x0 = im.width, x1 = -1, y0 = im.height, y1 = -1;
  for (int y = 0; y < im.height; ++y) {
    for (int x = 0; x < im.width; ++x) {
      if (im.at(x, y) != 0) {
        x0 = std::min(x0, x);
        x1 = std::max(x1, x);
        y0 = std::min(y0, y);
        y1 = std::max(y1, y);
      }
    }
  }
  if (x1 < 0) {
    g.ink = {};
    return;
  }
  coverage_image out{x1 - x0 + 1, y1 - y0 + 1, {}};
  out.n.resize(static_cast<std::size_t>(out.width) * out.height);
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) out.at(x - x0, y - y0) = im.at(x, y);
  }
  g.left += x0;
  g.top -= y0;
  g.ink = std::move(out);
}

inked_glyph rasterise(const typeface& tf, const glyph_source& src, char ch, int font_id) {
  FT_Face face = tf.face();
  unsigned cp = src.codepoint != 0 ? src.codepoint : static_cast<unsigned char>(ch);
  std::string who = "font " + std::to_string(font_id) + " glyph " + char_name(ch);
  FT_UInt gi = FT_Get_Char_Index(face, cp);
  if (gi == 0) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "U+%04X", cp);
    throw build_error(who + ": face '" + tf.desc().name + "' (" + tf.desc().path + ") has no glyph for " + buf +
                      "; take it from another face with a 'from' line");
  }
  FT_F26Dot6 w = static_cast<FT_F26Dot6>(std::lround(src.em_width * 64.0));
  FT_F26Dot6 h = static_cast<FT_F26Dot6>(std::lround(src.em_height * 64.0));
  if (FT_Set_Char_Size(face, w, h, 72, 72) != 0) throw build_error(who + ": FreeType refuses the pixel size");
  if (FT_Load_Glyph(face, gi, tf.load_flags()) != 0) throw build_error(who + ": FreeType cannot load the glyph");
  if (FT_Render_Glyph(face->glyph, tf.render_mode()) != 0) throw build_error(who + ": FreeType cannot render it");
  const FT_Bitmap& bm = face->glyph->bitmap;
  if (bm.pixel_mode != FT_PIXEL_MODE_GRAY) throw build_error(who + ": FreeType gave no grey-level bitmap");

  inked_glyph g;
  g.left = face->glyph->bitmap_left;
  g.top = face->glyph->bitmap_top;
  g.advance = static_cast<int>((face->glyph->advance.x + 32) >> 6);
  g.ink.width = static_cast<int>(bm.width);
  g.ink.height = static_cast<int>(bm.rows);
  g.ink.n.resize(static_cast<std::size_t>(g.ink.width) * g.ink.height);
  for (int y = 0; y < g.ink.height; ++y) {
    const unsigned char* row = bm.buffer + static_cast<std::ptrdiff_t>(y) * bm.pitch;
    for (int x = 0; x < g.ink.width; ++x) g.ink.at(x, y) = quantise(row[x], static_cast<unsigned>(bm.num_grays));
  }
  trim(g);
  if (!g.ink.has_ink()) throw build_error(who + ": the typeface draws nothing for it");
  return g;
}

// A filled arrow head, anti-aliased by sampling each pixel on a 16 x 16 grid. The ink box is
// width x height; the point is at mid-height.
coverage_image draw_arrow(shape_kind kind, int width, int height) {
  coverage_image im{width, height, {}};
  im.n.resize(static_cast<std::size_t>(width) * height);
  const int sub = 16;
  const double mid = height / 2.0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      int hits = 0;
      for (int sy = 0; sy < sub; ++sy) {
        for (int sx = 0; sx < sub; ++sx) {
          double px = x + (sx + 0.5) / sub;
          double py = y + (sy + 0.5) / sub;
          // Distance from the point along the arrow's axis, 0 at the tip, width at the base.
          double along = kind == shape_kind::arrow_right ? width - px : px;
          double half = mid * along / width;
          if (std::fabs(py - mid) <= half) ++hits;
        }
      }
      im.at(x, y) = static_cast<std::uint8_t>((hits * 15 + sub * sub / 2) / (sub * sub));
    }
  }
  return im;
}

// Segment glyphs: strokes between the nodes of a segment geometry, each a bar of its direction's
// width reaching half a width past its end nodes (so that strokes meet without notches),
// anti-aliased by sampling each pixel on a 16 x 16 grid and clipped to the ink box.
coverage_image draw_segments(const segment_geometry& g, const segment_shape& shape, char ch, int height, int font_id) {
  struct bar {
    double ax, ay, ux, uy, len, half;
  };
  std::vector<bar> bars;
  auto node = [&](const std::string& name) {
    auto cx = g.columns.find(name[0]);
    auto cy = g.rows.find(name[1]);
    if (cx == g.columns.end() || cy == g.rows.end()) {
      throw build_error("font " + std::to_string(font_id) + " glyph " + char_name(ch) + ": geometry '" + g.name +
                        "' has no node '" + name + "' (no column '" + name[0] + "' or no row '" + name[1] + "')");
    }
    return std::pair<double, double>{cx->second, cy->second};
  };
  for (const std::vector<std::string>& pl : shape.polylines) {
    for (std::size_t i = 0; i + 1 < pl.size(); ++i) {
      auto [ax, ay] = node(pl[i]);
      auto [bx, by] = node(pl[i + 1]);
      const double dx = bx - ax, dy = by - ay;
      const double len = std::hypot(dx, dy);
      if (len == 0.0) continue;
      const double w = dy == 0.0 ? g.horizontal : dx == 0.0 ? g.vertical : g.diagonal;
      bars.push_back({ax, ay, dx / len, dy / len, len, w / 2.0});
    }
  }
  if (g.box_top + g.box_height > height) {
    throw build_error("font " + std::to_string(font_id) + ": segment geometry '" + g.name +
                      "' is taller than the font");
  }
  coverage_image im{g.advance, height, {}};
  im.n.resize(static_cast<std::size_t>(g.advance) * height);
  const int sub = 16;
  for (int y = g.box_top; y < g.box_top + g.box_height; ++y) {
    for (int x = g.box_left; x < g.box_left + g.box_width; ++x) {
      int hits = 0;
      for (int sy = 0; sy < sub; ++sy) {
        for (int sx = 0; sx < sub; ++sx) {
          const double px = x + (sx + 0.5) / sub;
          const double py = y + (sy + 0.5) / sub;
          for (const bar& b : bars) {
            const double along = (px - b.ax) * b.ux + (py - b.ay) * b.uy;
            const double across = (py - b.ay) * b.ux - (px - b.ax) * b.uy;
            if (std::fabs(across) <= b.half && along >= -b.half && along <= b.len + b.half) {
              ++hits;
              break;
            }
          }
        }
      }
      im.at(x, y) = static_cast<std::uint8_t>((hits * 15 + sub * sub / 2) / (sub * sub));
    }
  }
  return im;
}

// ---- Strips

bool is_digit(char ch) { return ch >= '0' && ch <= '9'; }

int leading_blank_columns(const coverage_image& cell) {
  int n = 0;
  for (int x = 0; x < cell.width; ++x, ++n) {
    for (int y = 0; y < cell.height; ++y) {
      if (cell.at(x, y) != 0) return n;
    }
  }
  return n;
}

int trailing_blank_columns(const coverage_image& cell) {
  int n = 0;
  for (int x = cell.width - 1; x >= 0; --x, ++n) {
    for (int y = 0; y < cell.height; ++y) {
      if (cell.at(x, y) != 0) return n;
    }
  }
  return n;
}

// The cell with blank columns added on the left and on the right; a negative count on the right
// drops columns there (the caller drops only blank ones).
coverage_image widened(const coverage_image& cell, int left, int right) {
  coverage_image out{cell.width + left + right, cell.height, {}};
  out.n.resize(static_cast<std::size_t>(out.width) * out.height);
  for (int y = 0; y < cell.height; ++y) {
    for (int x = 0; x < cell.width && left + x < out.width; ++x) out.at(left + x, y) = cell.at(x, y);
  }
  return out;
}

built_font build_font(const description& d, const font_desc& desc,
                      const std::map<std::string, std::unique_ptr<typeface>>& faces) {
  const std::string who = "font " + std::to_string(desc.id);
  const int H = desc.height;
  std::vector<inked_glyph> glyphs(desc.charset.size());

  for (std::size_t i = 0; i < desc.charset.size(); ++i) {
    char ch = desc.charset[i];
    const glyph_source& src = source_of(desc, ch);
    if (src.shape != shape_kind::none) continue;
    glyphs[i] = rasterise(*faces.at(src.face), src, ch, desc.id);
  }

  // The baseline: high enough for every ascender, low enough for every descender, and where it
  // can be, so that the digits sit in the middle of the height (centred texts then look centred).
  int ascent = 0, descent = 0;
  std::string tallest, deepest;
  for (std::size_t i = 0; i < desc.charset.size(); ++i) {
    if (source_of(desc, desc.charset[i]).shape != shape_kind::none) continue;
    const inked_glyph& g = glyphs[i];
    if (g.top > ascent) ascent = g.top, tallest = char_name(desc.charset[i]);
    if (g.ink.height - g.top > descent) descent = g.ink.height - g.top, deepest = char_name(desc.charset[i]);
  }
  if (ascent + descent > H) {
    throw build_error(who + ": its glyphs need " + std::to_string(ascent + descent) + " rows (" + tallest + " rises " +
                      std::to_string(ascent) + " above the baseline, " + deepest + " drops " + std::to_string(descent) +
                      " below) but the font is " + std::to_string(H) + " rows high; use a smaller em height");
  }
  int baseline = desc.baseline;
  if (baseline < 0) {
    const inked_glyph& eight = glyphs[desc.charset.find('8')];
    int digit_top = eight.top, digit_bottom = eight.top - eight.ink.height;  // rows above the baseline
    // Equal space above the top and below the bottom of the digits.
    baseline = (H + digit_top + digit_bottom + 1) / 2;
    baseline = std::clamp(baseline, ascent, H - descent);
  } else if (baseline < ascent || baseline + descent > H) {
    throw build_error(who + ": baseline " + std::to_string(baseline) + " cuts " +
                      (baseline < ascent ? tallest : deepest));
  }

  built_font out;
  out.id = desc.id;
  out.height = H;
  out.baseline = baseline;
  out.charset = desc.charset;
  std::vector<coverage_image> cells(desc.charset.size());

  for (std::size_t i = 0; i < desc.charset.size(); ++i) {
    char ch = desc.charset[i];
    const glyph_source& src = source_of(desc, ch);
    padding pad;
    if (auto it = desc.pads.find(ch); it != desc.pads.end()) pad = it->second;
    coverage_image& cell = cells[i];

    if (src.shape == shape_kind::segments) {
      cell = draw_segments(d.geometry(src.geometry), d.shapes.at(ch), ch, H, desc.id);
      continue;
    }
    if (src.shape != shape_kind::none) {
      if (src.shape_height > H)
        throw build_error(who + ": the shape for " + char_name(ch) + " is taller than the font");
      coverage_image arrow = draw_arrow(src.shape, src.shape_width, src.shape_height);
      // One clear column each side so that neighbouring glyphs do not touch it.
      cell = coverage_image{src.shape_width + 2 + pad.left + pad.right, H, {}};
      cell.n.resize(static_cast<std::size_t>(cell.width) * H);
      int y0 = (H - src.shape_height) / 2;
      for (int y = 0; y < arrow.height; ++y) {
        for (int x = 0; x < arrow.width; ++x) cell.at(1 + pad.left + x, y0 + y) = arrow.at(x, y);
      }
      continue;
    }

    const inked_glyph& g = glyphs[i];
    int pen = 0;
    int width = 0;
    if (is_digit(ch) || desc.in_digit_cell.find(ch) != std::string::npos) {
      // Digits share one cell width so that numbers do not jitter as they change. They keep their
      // places relative to each other (a segment '1' stays on the right), with the '8' centred;
      // a sign in the digit cell is centred on its own.
      width = desc.digit_cell;
      const inked_glyph& ref = is_digit(ch) ? glyphs[desc.charset.find('8')] : g;
      // A spare column that cannot be split goes to the right, or, in a font that keeps air
      // before its glyphs, to the left.
      pen = (width - ref.ink.width + (desc.air > 0 ? 1 : 0)) / 2 - ref.left;
      if (pen + g.left < 0 || pen + g.left + g.ink.width > width) {
        throw build_error(who + ": " + char_name(ch) + " is " + std::to_string(g.ink.width) +
                          " pixels of ink and does not fit the " + std::to_string(width) +
                          "-column digit cell; narrow the em width or widen the cell");
      }
    } else if (pad.tight) {
      width = g.ink.width + pad.left + pad.right;
      pen = pad.left - g.left;
    } else {
      // Glyphs whose ink runs past their advance get the columns they need.
      int lo = std::min(0, g.left);
      int hi = std::max(g.advance, g.left + g.ink.width);
      width = hi - lo + pad.left + pad.right;
      pen = pad.left - lo;
    }
    cell = coverage_image{width, H, {}};
    cell.n.resize(static_cast<std::size_t>(width) * H);
    int row0 = baseline - g.top;
    for (int y = 0; y < g.ink.height; ++y) {
      for (int x = 0; x < g.ink.width; ++x) cell.at(pen + g.left + x, row0 + y) = g.ink.at(x, y);
    }
  }

  // Air before every glyph's ink, so that no two glyphs of a word touch. Digits keep their cell:
  // it must leave the air itself.
  if (desc.air > 0) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
      const int blank = leading_blank_columns(cells[i]);
      if (blank >= desc.air) continue;
      const char ch = desc.charset[i];
      if (is_digit(ch) || desc.in_digit_cell.find(ch) != std::string::npos) {
        throw build_error(who + ": " + char_name(ch) + " leaves " + std::to_string(blank) +
                          " blank columns at the left of its digit cell, fewer than the font's air of " +
                          std::to_string(desc.air) + "; narrow the em width or widen the cell");
      }
      // Ink moves right into blank columns at the glyph's end where it has them, so that the
      // glyph keeps its width; only what is still missing widens it.
      const int need = desc.air - blank;
      cells[i] = widened(cells[i], need, -std::min(need, trailing_blank_columns(cells[i])));
    }
  }

  // The strip is stored two pixels a byte, so its width must be even: the last glyph gets a
  // blank column if needed.
  int total = 0;
  for (const coverage_image& c : cells) total += c.width;
  if (total % 2 != 0) {
    cells.back() = widened(cells.back(), 0, 1);
    ++total;
  }

  out.strip = coverage_image{total, H, {}};
  out.strip.n.resize(static_cast<std::size_t>(total) * H);
  int col = 0;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    out.offsets.push_back(col);
    char ch = desc.charset[i];
    if (is_digit(ch) && (cells[i].width < desc.digit_min || cells[i].width > desc.digit_max)) {
      throw build_error(who + ": digit " + char_name(ch) + " is " + std::to_string(cells[i].width) +
                        " columns wide; the field layouts need " + std::to_string(desc.digit_min) + ".." +
                        std::to_string(desc.digit_max));
    }
    for (int y = 0; y < H; ++y) {
      for (int x = 0; x < cells[i].width; ++x) out.strip.at(col + x, y) = cells[i].at(x, y);
    }
    col += cells[i].width;
  }
  out.offsets.push_back(col);
  return out;
}

}  // namespace

std::vector<built_font> build_fonts(const description& d) {
  std::map<std::string, std::unique_ptr<typeface>> faces;
  for (const font_desc& f : d.fonts) {
    for (char ch : f.charset) {
      const glyph_source& src = source_of(f, ch);
      if (src.shape != shape_kind::none || faces.count(src.face)) continue;
      faces.emplace(src.face, std::make_unique<typeface>(d.face(src.face)));
    }
  }
  std::vector<built_font> fonts;
  for (const font_desc& f : d.fonts) fonts.push_back(build_font(d, f, faces));
  return fonts;
}

// Two pixels a byte (high nibble the even column), rows bottom-up.
std::vector<std::uint8_t> pack(const coverage_image& strip) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(static_cast<std::size_t>(strip.width / 2) * strip.height);
  for (int r = 0; r < strip.height; ++r) {
    int y = strip.height - 1 - r;
    for (int x = 0; x < strip.width; x += 2) {
      bytes.push_back(static_cast<std::uint8_t>(strip.at(x, y) << 4 | strip.at(x + 1, y)));
    }
  }
  return bytes;
}

// ---- Output

namespace {

std::string c_string(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') out.push_back('\\');
    out.push_back(c);
  }
  return out + "\"";
}

}  // namespace

std::string source_text(const std::vector<built_font>& fonts, const std::string& origin) {
  std::ostringstream o;
  o << "// Generated by vesper-fontgen from " << origin << "; edit that description, not this file.\n";
  o << "#include \"gfx/fonts/font_strips.h\"\n#include \"gfx/text.h\"\n\n";
  for (const built_font& f : fonts) {
    std::vector<std::uint8_t> bytes = pack(f.strip);
    o << "// Font " << f.id << ": " << f.height << " rows, " << f.strip.width << " columns, baseline " << f.baseline
      << " rows from the top.\n";
    o << "const std::uint8_t font_strip_" << f.id << "[" << bytes.size() << "] = {";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      o << (i % 24 == 0 ? "\n    " : " ");
      char buf[8];
      std::snprintf(buf, sizeof buf, "0x%02X,", bytes[i]);
      o << buf;
    }
    o << "\n};\n\n";
  }
  o << "namespace {\n\n";
  for (const built_font& f : fonts) {
    o << "const char font_charset_" << f.id << "[] = " << c_string(f.charset) << ";\n";
    o << "const int font_offsets_" << f.id << "[" << f.offsets.size() << "] = {";
    for (std::size_t i = 0; i < f.offsets.size(); ++i) {
      o << (i % 16 == 0 ? "\n    " : " ") << f.offsets[i] << ",";
    }
    o << "\n};\n\n";
  }
  o << "}  // namespace\n\n";
  o << "const font_record font_table[FONT_COUNT] = {\n";
  for (const built_font& f : fonts) {
    o << "    {font_strip_" << f.id << ", " << f.strip.width << ", " << f.height << ", 0, font_charset_" << f.id
      << ", font_offsets_" << f.id << "},\n";
  }
  o << "};\n";
  return o.str();
}

std::string header_text(const std::vector<built_font>& fonts, const std::string& origin) {
  std::ostringstream o;
  o << "// Generated by vesper-fontgen from " << origin << "; edit that description, not this file.\n";
  o << "// The glyph strips of the ten fonts under fixed names, in font-id order, for the image tables.\n";
  o << "#pragma once\n#include <cstdint>\n\n";
  o << "inline constexpr int FONT_STRIP_WIDTH[" << fonts.size() << "] = {";
  for (std::size_t i = 0; i < fonts.size(); ++i) o << (i ? ", " : "") << fonts[i].strip.width;
  o << "};\n";
  o << "inline constexpr int FONT_HEIGHT[" << fonts.size() << "] = {";
  for (std::size_t i = 0; i < fonts.size(); ++i) o << (i ? ", " : "") << fonts[i].height;
  o << "};\n\n";
  for (const built_font& f : fonts) {
    o << "extern const std::uint8_t font_strip_" << f.id << "[" << f.strip.width / 2 * f.height << "];\n";
  }
  return o.str();
}

void write_file(const std::string& path, const std::string& text) {
  std::filesystem::path p(path);
  if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
  // Written beside the target and renamed, so that a build never sees half a file.
  std::string tmp = path + ".tmp";
  {
    std::ofstream out(tmp, std::ios::binary);
    out << text;
    if (!out) throw build_error("cannot write " + tmp);
  }
  std::filesystem::rename(tmp, path);
}

namespace {

// ---- Preview sheet: every font's char set and a few sample texts, white on black and on the sky
// colour, drawn the way the firmware draws text, enlarged.

std::uint32_t mix(std::uint32_t a, std::uint32_t b, float t) {
  std::uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    float ca = static_cast<float>((a >> shift) & 0xFF), cb = static_cast<float>((b >> shift) & 0xFF);
    int v = static_cast<int>(ca * (1.0f - t) + cb * t);
    out |= static_cast<std::uint32_t>(std::min(v, 255)) << shift;
  }
  return out;
}

struct canvas {
  int width;
  int height;
  std::vector<std::uint32_t> px;

  void fill(int x0, int y0, int w, int h, std::uint32_t c) {
    for (int y = std::max(0, y0); y < std::min(height, y0 + h); ++y) {
      for (int x = std::max(0, x0); x < std::min(width, x0 + w); ++x) px[static_cast<std::size_t>(y) * width + x] = c;
    }
  }
  // Returns the advance, as the firmware's text drawing does (7 for a character not in the font).
  int glyph(const built_font& f, int x, int y, std::uint32_t colour, char ch) {
    std::size_t i = f.charset.find(ch);
    if (i == std::string::npos) return 7;
    for (int k = f.offsets[i]; k < f.offsets[i + 1]; ++k) {
      for (int t = 0; t < f.height; ++t) {
        int sx = x + k - f.offsets[i], sy = y + 1 + t;
        if (sx < 0 || sy < 0 || sx >= width || sy >= height) continue;
        std::uint32_t& p = px[static_cast<std::size_t>(sy) * width + sx];
        p = mix(p, colour, static_cast<float>(f.strip.at(k, t) * 16) / 255.0f);
      }
    }
    return f.offsets[i + 1] - f.offsets[i];
  }
  int text(const built_font& f, int x, int y, std::uint32_t colour, const std::string& s) {
    for (char ch : s) x += glyph(f, x, y, colour, ch);
    return x;
  }
};

}  // namespace

// One picture per font, <stem>_<id>.png: the font's lines on black above the same lines on the sky.
void write_preview(const std::vector<built_font>& fonts, const std::string& stem) {
  const std::uint32_t backgrounds[2] = {0xFF000000u, 0xFF3878A8u};
  const int panel_w = 236;
  const int scale = 4;
  const std::vector<std::string> samples = {"OAT*C +24.6*C", "{ SET BARO }", "29.92 1013",   "-12.5 +0.9",
                                            "123kn 45kt",    "270d 9.5nm",   "3500ft 12:34", "HDG 090 TRK 275",
                                            "Lazy fox: 80%", "AUTO BRT",     "NO GPS"};
  for (const built_font& f : fonts) {
    // The char set cut into lines that fit the panel, then the samples the font can draw.
    std::vector<std::string> lines;
    std::string line;
    int w = 0;
    for (std::size_t i = 0; i < f.charset.size(); ++i) {
      int gw = f.offsets[i + 1] - f.offsets[i] + 1;
      if (w + gw > panel_w - 8) lines.push_back(line), line.clear(), w = 0;
      line.push_back(f.charset[i]);
      w += gw;
    }
    lines.push_back(line);
    for (const std::string& s : samples) {
      bool ok =
          std::all_of(s.begin(), s.end(), [&](char c) { return c == ' ' || f.charset.find(c) != std::string::npos; });
      if (ok) lines.push_back(s);
    }
    const int line_h = f.height + 3;
    const int panel_h = static_cast<int>(lines.size()) * line_h + 4;
    canvas cv{panel_w, 2 * panel_h, std::vector<std::uint32_t>(static_cast<std::size_t>(panel_w) * 2 * panel_h)};
    for (int b = 0; b < 2; ++b) {
      cv.fill(0, b * panel_h, panel_w, panel_h, backgrounds[b]);
      int y = b * panel_h + 2;
      for (std::size_t l = 0; l < lines.size(); ++l) {
        // A mark beside each line shows the font's rows.
        cv.fill(0, y + 1, 2, f.height, 0xFF806000u);
        cv.text(f, 4, y, 0xFFFFFFFFu, lines[l]);
        y += line_h;
      }
    }
    std::vector<std::uint32_t> big(static_cast<std::size_t>(cv.width * scale) * cv.height * scale);
    for (int yy = 0; yy < cv.height * scale; ++yy) {
      for (int xx = 0; xx < cv.width * scale; ++xx) {
        big[static_cast<std::size_t>(yy) * cv.width * scale + xx] =
            cv.px[static_cast<std::size_t>(yy / scale) * cv.width + xx / scale];
      }
    }
    std::string error;
    std::string path = stem + "_" + std::to_string(f.id) + ".png";
    if (!write_png(path, big.data(), cv.width * scale, cv.height * scale, false, &error)) throw build_error(error);
  }
}

}  // namespace fontgen
