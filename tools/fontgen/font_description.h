// The editable description of the ten strip fonts: which typeface file, pixel size, char set and
// substitutions each font is made from. Read from a small line-based text file.
#pragma once
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace fontgen {

// A problem with the description or the typefaces; the generator reports it and exits non-zero.
struct build_error : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// native: the face's own instructions; native35: the same with the classic interpreter, which
// also fits stems horizontally; auto: FreeType's auto-hinter; snap: the auto-hinter fitting stems
// as hard as for a one-bit display (still rendered grey); light: vertical fitting only.
enum class hinting { native, native_v35, autohint, snap, light, none };

struct face_desc {
  std::string name;
  std::string path;
  hinting hint = hinting::native;
};

enum class shape_kind { none, arrow_left, arrow_right, segments };

// A segment-display layout for one cell size: named columns and rows (in pixels, 0 at the cell's
// left edge and top row; a pixel spans [k, k + 1)) whose crossings are the nodes the segment
// shapes join, the stroke widths, the ink box every stroke is clipped to, and the cell width.
// Made for each cell height, so that strokes fall on whole pixels where they should.
struct segment_geometry {
  std::string name;
  std::map<char, double> columns;
  std::map<char, double> rows;
  double horizontal = 1.0;  // stroke widths in pixels, by direction
  double vertical = 1.0;
  double diagonal = 1.0;
  int box_left = 0;  // the ink box: columns and rows of the cell
  int box_top = 0;
  int box_width = 0;
  int box_height = 0;
  int advance = 0;  // columns of the whole cell
  int line = 0;
};

// A segment shape: polylines through nodes, each node a column name and a row name ("LT").
struct segment_shape {
  std::vector<std::vector<std::string>> polylines;
  int line = 0;
};

// Where one character's pixels come from: a glyph of a typeface at a pixel size (em height and em
// width may differ so that tall, narrow digits fit a fixed cell), or a drawn shape.
struct glyph_source {
  std::string face;        // face_desc name
  double em_height = 0.0;  // pixels per em, vertically
  double em_width = 0.0;   // pixels per em, horizontally
  unsigned codepoint = 0;  // 0: the character itself
  shape_kind shape = shape_kind::none;
  int shape_width = 0;  // for shapes: ink box in pixels
  int shape_height = 0;
  std::string geometry;  // for segment shapes: the segment_geometry name
};

// Blank columns either side of a glyph: added to its advance, or, when tight, to its bare ink
// (for segment faces whose signs carry a digit's full advance, or none at all).
struct padding {
  int left = 0;
  int right = 0;
  bool tight = false;
};

struct font_desc {
  int id = -1;
  int height = 0;
  std::string charset;
  int digit_cell = 0;  // every digit is drawn centred in a cell this wide
  int digit_min = 0;   // the widths the field layouts can live with
  int digit_max = 0;
  int baseline = -1;  // rows above the baseline; -1: chosen by the generator
  glyph_source base;  // used for every character without an override
  std::map<char, glyph_source> overrides;
  std::map<char, padding> pads;
  std::string in_digit_cell;  // signs drawn in a digit's cell, so that signed numbers line up
  int air = 0;                // blank columns every glyph keeps before its ink, so glyphs never touch
  int line = 0;               // where the font starts in the description, for messages
};

struct description {
  std::vector<face_desc> faces;
  std::vector<font_desc> fonts;  // sorted by id, ids 0..n-1 each once
  std::vector<segment_geometry> geometries;
  std::map<char, segment_shape> shapes;

  const face_desc& face(const std::string& name) const;
  const segment_geometry& geometry(const std::string& name) const;
};

// The printable ASCII characters 0x21..0x7E in code order.
std::string printable_ascii();

// Parses the description text; `origin` names it in messages. Throws build_error.
description parse_description(const std::string& text, const std::string& origin);

// The char set of a font after every override: the source of character ch.
const glyph_source& source_of(const font_desc& font, char ch);

}  // namespace fontgen
