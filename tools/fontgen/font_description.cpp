#include "tools/fontgen/font_description.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace fontgen {

namespace {

std::vector<std::string> split_words(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  std::string w;
  while (in >> w) words.push_back(w);
  return words;
}

// A comment runs from a '#' at the start of a line or after white space to the end of the line.
std::string strip_comment(const std::string& line) {
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '#' && (i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t')) return line.substr(0, i);
  }
  return line;
}

class parser {
 public:
  parser(const std::string& origin) : origin_(origin) {}

  [[noreturn]] void fail(const std::string& what) const {
    throw build_error(origin_ + ":" + std::to_string(line_) + ": " + what);
  }

  void set_line(int line) { line_ = line; }

  int to_int(const std::string& w, int lo, int hi) const {
    char* end = nullptr;
    long v = std::strtol(w.c_str(), &end, 10);
    if (w.empty() || *end != '\0') fail("'" + w + "' is not a whole number");
    if (v < lo || v > hi) fail(w + " is outside " + std::to_string(lo) + ".." + std::to_string(hi));
    return static_cast<int>(v);
  }

  double to_size(const std::string& w) const {
    char* end = nullptr;
    double v = std::strtod(w.c_str(), &end);
    if (w.empty() || *end != '\0') fail("'" + w + "' is not a number");
    if (!(v >= 4.0 && v <= 200.0)) fail("pixel size " + w + " is outside 4..200");
    return v;
  }

  // A position in pixels, whole or fractional.
  double to_coordinate(const std::string& w) const {
    char* end = nullptr;
    double v = std::strtod(w.c_str(), &end);
    if (w.empty() || *end != '\0') fail("'" + w + "' is not a number");
    if (!(v >= 0.0 && v <= 255.0)) fail(w + " is outside 0..255");
    return v;
  }

  char to_char(const std::string& w) const {
    if (w.size() != 1) fail("'" + w + "' is not a single character");
    return w[0];
  }

  unsigned to_codepoint(const std::string& w) const {
    if (w.size() < 3 || w[0] != 'U' || w[1] != '+') fail("'" + w + "' is not a code point such as U+00B0");
    char* end = nullptr;
    unsigned long v = std::strtoul(w.c_str() + 2, &end, 16);
    if (*end != '\0' || v == 0 || v > 0x10FFFF) fail("'" + w + "' is not a code point such as U+00B0");
    return static_cast<unsigned>(v);
  }

  void need(const std::vector<std::string>& words, std::size_t n, const char* usage) const {
    if (words.size() != n) fail(std::string("expected: ") + usage);
  }

 private:
  std::string origin_;
  int line_ = 0;
};

hinting parse_hinting(const parser& p, const std::string& w) {
  if (w == "native") return hinting::native;
  if (w == "native35") return hinting::native_v35;
  if (w == "auto") return hinting::autohint;
  if (w == "snap") return hinting::snap;
  if (w == "light") return hinting::light;
  if (w == "none") return hinting::none;
  p.fail("unknown hinting '" + w + "' (native, native35, auto, snap, light, none)");
}

}  // namespace

std::string printable_ascii() {
  std::string s;
  for (int c = 0x21; c <= 0x7E; ++c) s.push_back(static_cast<char>(c));
  return s;
}

const face_desc& description::face(const std::string& name) const {
  for (const face_desc& f : faces) {
    if (f.name == name) return f;
  }
  throw build_error("no face named '" + name + "'");
}

const segment_geometry& description::geometry(const std::string& name) const {
  for (const segment_geometry& g : geometries) {
    if (g.name == name) return g;
  }
  throw build_error("no segment geometry named '" + name + "'");
}

const glyph_source& source_of(const font_desc& font, char ch) {
  auto it = font.overrides.find(ch);
  return it != font.overrides.end() ? it->second : font.base;
}

description parse_description(const std::string& text, const std::string& origin) {
  description d;
  parser p(origin);
  std::istringstream in(text);
  std::string raw;
  int line = 0;
  font_desc* cur = nullptr;
  segment_geometry* geo = nullptr;
  bool has_base = false;

  auto finish_font = [&]() {
    font_desc& f = *cur;
    p.set_line(f.line);
    if (f.height <= 0) p.fail("font " + std::to_string(f.id) + " has no height");
    if (f.charset.empty()) p.fail("font " + std::to_string(f.id) + " has no charset");
    if (!has_base) p.fail("font " + std::to_string(f.id) + " has no 'glyphs' line");
    if (f.digit_cell <= 0) p.fail("font " + std::to_string(f.id) + " has no 'digits' line");
    for (char c = '0'; c <= '9'; ++c) {
      if (f.charset.find(c) == std::string::npos) p.fail("font " + std::to_string(f.id) + " lacks digit " + c);
    }
    for (const auto& [ch, src] : f.overrides) {
      if (f.charset.find(ch) == std::string::npos) {
        p.fail(std::string("font ") + std::to_string(f.id) + ": '" + ch + "' is set up but not in the charset");
      }
    }
    for (const auto& [ch, pad] : f.pads) {
      if (f.charset.find(ch) == std::string::npos) {
        p.fail(std::string("font ") + std::to_string(f.id) + ": '" + ch + "' is padded but not in the charset");
      }
    }
    cur = nullptr;
  };

  auto check_face = [&](const std::string& name) {
    for (const face_desc& f : d.faces) {
      if (f.name == name) return;
    }
    p.fail("no face named '" + name + "' (faces must be declared before use)");
  };

  auto override_for = [&](char ch) -> glyph_source& {
    if (cur->charset.find(ch) == std::string::npos) p.fail(std::string("'") + ch + "' is not in the charset");
    auto it = cur->overrides.find(ch);
    if (it == cur->overrides.end()) it = cur->overrides.emplace(ch, cur->base).first;
    return it->second;
  };

  while (std::getline(in, raw)) {
    ++line;
    p.set_line(line);
    std::vector<std::string> w = split_words(strip_comment(raw));
    if (w.empty()) continue;
    const std::string& key = w[0];

    if (geo) {
      // Inside a segment geometry.
      if (key == "end") {
        p.need(w, 1, "end");
        p.set_line(geo->line);
        if (geo->columns.empty() || geo->rows.empty()) p.fail("geometry '" + geo->name + "' needs columns and rows");
        if (geo->box_width <= 0) p.fail("geometry '" + geo->name + "' has no 'box' line");
        if (geo->advance < geo->box_left + geo->box_width) {
          p.fail("geometry '" + geo->name + "': its advance does not hold its box");
        }
        geo = nullptr;
      } else if (key == "columns" || key == "rows") {
        if (w.size() < 3 || w.size() % 2 != 1) p.fail("expected: " + key + " <name> <pixels> ...");
        std::map<char, double>& names = key == "columns" ? geo->columns : geo->rows;
        for (std::size_t i = 1; i < w.size(); i += 2) names[p.to_char(w[i])] = p.to_coordinate(w[i + 1]);
      } else if (key == "strokes") {
        p.need(w, 4, "strokes <horizontal> <vertical> <diagonal>");
        geo->horizontal = p.to_coordinate(w[1]);
        geo->vertical = p.to_coordinate(w[2]);
        geo->diagonal = p.to_coordinate(w[3]);
        if (geo->horizontal <= 0 || geo->vertical <= 0 || geo->diagonal <= 0) p.fail("stroke widths must be positive");
      } else if (key == "box") {
        p.need(w, 5, "box <left> <top> <width> <height>");
        geo->box_left = p.to_int(w[1], 0, 255);
        geo->box_top = p.to_int(w[2], 0, 255);
        geo->box_width = p.to_int(w[3], 1, 255);
        geo->box_height = p.to_int(w[4], 1, 255);
      } else if (key == "advance") {
        p.need(w, 2, "advance <columns>");
        geo->advance = p.to_int(w[1], 1, 255);
      } else {
        p.fail("unknown keyword '" + key + "' in a geometry");
      }
    } else if (key == "geometry") {
      if (cur) p.fail("'geometry' inside a font");
      p.need(w, 2, "geometry <name>");
      for (const segment_geometry& g : d.geometries) {
        if (g.name == w[1]) p.fail("geometry '" + w[1] + "' declared twice");
      }
      d.geometries.emplace_back();
      geo = &d.geometries.back();
      geo->name = w[1];
      geo->line = line;
    } else if (key == "shape") {
      if (cur) p.fail("'shape' inside a font");
      if (w.size() < 4) p.fail("expected: shape <char> <node> <node> ... [/ <node> <node> ...]");
      const char ch = p.to_char(w[1]);
      if (d.shapes.count(ch)) p.fail(std::string("shape of '") + ch + "' given twice");
      segment_shape shape;
      shape.line = line;
      shape.polylines.emplace_back();
      for (std::size_t i = 2; i < w.size(); ++i) {
        if (w[i] == "/") {
          shape.polylines.emplace_back();
          continue;
        }
        if (w[i].size() != 2) p.fail("node '" + w[i] + "' is not a column name and a row name");
        shape.polylines.back().push_back(w[i]);
      }
      for (const auto& pl : shape.polylines) {
        if (pl.size() < 2) p.fail("a stroke needs two nodes at least");
      }
      d.shapes[ch] = std::move(shape);
    } else if (key == "face") {
      if (cur) p.fail("'face' inside a font");
      if (w.size() != 3 && w.size() != 4) p.fail("expected: face <name> <file> [hinting]");
      for (const face_desc& f : d.faces) {
        if (f.name == w[1]) p.fail("face '" + w[1] + "' declared twice");
      }
      face_desc f{w[1], w[2], hinting::native};
      if (w.size() == 4) f.hint = parse_hinting(p, w[3]);
      d.faces.push_back(f);
    } else if (key == "font") {
      if (cur) p.fail("'font' before the previous font's 'end'");
      p.need(w, 2, "font <id>");
      int id = p.to_int(w[1], 0, 255);
      for (const font_desc& f : d.fonts) {
        if (f.id == id) p.fail("font " + w[1] + " described twice");
      }
      d.fonts.emplace_back();
      cur = &d.fonts.back();
      cur->id = id;
      cur->line = line;
      has_base = false;
    } else if (key == "end") {
      if (!cur) p.fail("'end' outside a font");
      p.need(w, 1, "end");
      finish_font();
    } else if (!cur) {
      p.fail("'" + key + "' outside a font");
    } else if (key == "height") {
      p.need(w, 2, "height <rows>");
      cur->height = p.to_int(w[1], 1, 255);
    } else if (key == "charset") {
      p.need(w, 2, "charset printable|<characters>");
      if (!cur->overrides.empty() || !cur->pads.empty()) p.fail("'charset' must come before the glyph settings");
      cur->charset = w[1] == "printable" ? printable_ascii() : w[1];
      std::string sorted = cur->charset;
      std::sort(sorted.begin(), sorted.end());
      if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end()) p.fail("charset repeats a character");
    } else if (key == "swap") {
      p.need(w, 3, "swap <char> <char>");
      char a = p.to_char(w[1]), b = p.to_char(w[2]);
      std::size_t ia = cur->charset.find(a), ib = cur->charset.find(b);
      if (ia == std::string::npos || ib == std::string::npos) p.fail("swap of a character not in the charset");
      std::swap(cur->charset[ia], cur->charset[ib]);
    } else if (key == "digits") {
      p.need(w, 4, "digits <cell width> <min> <max>");
      cur->digit_cell = p.to_int(w[1], 1, 255);
      cur->digit_min = p.to_int(w[2], 1, 255);
      cur->digit_max = p.to_int(w[3], cur->digit_min, 255);
    } else if (key == "baseline") {
      p.need(w, 2, "baseline <rows above it>");
      cur->baseline = p.to_int(w[1], 0, 255);
    } else if (key == "glyphs") {
      p.need(w, 4, "glyphs <face> <em height px> <em width px>");
      if (!cur->overrides.empty()) p.fail("'glyphs' must come before 'from', 'map' and 'arrow'");
      check_face(w[1]);
      cur->base = glyph_source{};
      cur->base.face = w[1];
      cur->base.em_height = p.to_size(w[2]);
      cur->base.em_width = p.to_size(w[3]);
      has_base = true;
    } else if (key == "from") {
      p.need(w, 5, "from <face> <em height px> <em width px> <characters>");
      check_face(w[1]);
      for (char ch : w[4]) {
        glyph_source& s = override_for(ch);
        s.face = w[1];
        s.em_height = p.to_size(w[2]);
        s.em_width = p.to_size(w[3]);
        s.shape = shape_kind::none;
      }
    } else if (key == "map") {
      p.need(w, 3, "map <char> U+XXXX");
      override_for(p.to_char(w[1])).codepoint = p.to_codepoint(w[2]);
    } else if (key == "segments") {
      p.need(w, 3, "segments <geometry> <characters>");
      bool known = false;
      for (const segment_geometry& g : d.geometries) known = known || g.name == w[1];
      if (!known) p.fail("no geometry named '" + w[1] + "' (geometries must be declared before use)");
      for (char ch : w[2]) {
        if (!d.shapes.count(ch)) p.fail(std::string("no shape for '") + ch + "' (shapes must be declared before use)");
        glyph_source& s = override_for(ch);
        s.shape = shape_kind::segments;
        s.geometry = w[1];
      }
    } else if (key == "air") {
      p.need(w, 2, "air <columns>");
      cur->air = p.to_int(w[1], 0, 8);
    } else if (key == "arrow") {
      p.need(w, 5, "arrow <char> left|right <width> <height>");
      glyph_source& s = override_for(p.to_char(w[1]));
      if (w[2] == "left") {
        s.shape = shape_kind::arrow_left;
      } else if (w[2] == "right") {
        s.shape = shape_kind::arrow_right;
      } else {
        p.fail("arrow direction must be left or right");
      }
      s.shape_width = p.to_int(w[3], 1, 255);
      s.shape_height = p.to_int(w[4], 1, 255);
    } else if (key == "cell") {
      p.need(w, 2, "cell <characters>");
      for (char ch : w[1]) {
        if (cur->charset.find(ch) == std::string::npos) p.fail(std::string("'") + ch + "' is not in the charset");
        if (ch >= '0' && ch <= '9') p.fail("digits always have the digit cell");
        if (cur->in_digit_cell.find(ch) == std::string::npos) cur->in_digit_cell.push_back(ch);
      }
    } else if (key == "pad" || key == "tight") {
      p.need(w, 4, "pad|tight <left> <right> <characters>");
      padding pad{p.to_int(w[1], 0, 32), p.to_int(w[2], 0, 32), key == "tight"};
      for (char ch : w[3]) {
        if (cur->charset.find(ch) == std::string::npos) p.fail(std::string("'") + ch + "' is not in the charset");
        cur->pads[ch] = pad;
      }
    } else {
      p.fail("unknown keyword '" + key + "'");
    }
  }
  if (cur) {
    p.set_line(line);
    p.fail("font " + std::to_string(cur->id) + " has no 'end'");
  }
  if (geo) {
    p.set_line(line);
    p.fail("geometry '" + geo->name + "' has no 'end'");
  }
  std::sort(d.fonts.begin(), d.fonts.end(), [](const font_desc& a, const font_desc& b) { return a.id < b.id; });
  for (std::size_t i = 0; i < d.fonts.size(); ++i) {
    if (d.fonts[i].id != static_cast<int>(i)) {
      throw build_error(origin + ": font ids must run 0.." + std::to_string(d.fonts.size() - 1) + " without gaps");
    }
  }
  if (d.fonts.empty()) throw build_error(origin + ": no fonts described");
  return d;
}

}  // namespace fontgen
