// vesper-contact-sheet: one PNG showing every image of both tables and every font, for review.
//
//   vesper-contact-sheet OUT.png           the contact sheet
//   vesper-contact-sheet --scenes DIR      screens composed from the images where the pages put them
//
// Images are shown at 1:1 and enlarged three times on a checkerboard; each font's character set at
// 1:1 and enlarged, drawn with the firmware's own text operations.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "gfx/images.h"
#include "gfx/text.h"
#include "tools/contactsheet/sheet.h"

namespace {

constexpr int SHEET_W = 1600;
constexpr int MARGIN = 12;
constexpr int GAP = 16;
constexpr int SCALE = 3;
constexpr int LABEL_FONT = 5;
constexpr pixel_t BACKGROUND = 0xFF1C2026;
constexpr pixel_t LABEL_COLOUR = 0xFFE8E8E8;
constexpr pixel_t HEADING_COLOUR = 0xFF06F4CE;

// Places blocks left to right, wrapping to a new row when the sheet is full.
struct flow {
  int x = MARGIN;
  int y = MARGIN;
  int row_height = 0;

  // Top-left corner for a block of w x h.
  std::pair<int, int> place(int w, int h) {
    if (x > MARGIN && x + w > SHEET_W - MARGIN) new_row();
    const std::pair<int, int> at{x, y};
    x += w + GAP;
    row_height = std::max(row_height, h);
    return at;
  }
  void new_row() {
    x = MARGIN;
    y += row_height + GAP;
    row_height = 0;
  }
};

struct block {
  std::string label;
  int width;
  int height;
  std::vector<pixel_t> pixels;  // straight alpha
};

constexpr int LABEL_H = 18;

int block_width(const block& b) {
  return std::max(text_width(LABEL_FONT, b.label.c_str()), b.width + 8 + b.width * SCALE);
}
int block_height(const block& b) { return LABEL_H + b.height * SCALE; }

void draw_block(sheet::picture& p, const block& b, int x, int y) {
  draw_text(p.data(), p.width, p.height, LABEL_FONT, x, y, LABEL_COLOUR, b.label.c_str());
  const int top = y + LABEL_H;
  sheet::checkerboard(p, x, top, b.width, b.height, 4);
  sheet::blend_scaled(p, b.pixels.data(), b.width, b.height, x, top, 1);
  const int big_x = x + b.width + 8;
  sheet::checkerboard(p, big_x, top, b.width * SCALE, b.height * SCALE, 12);
  sheet::blend_scaled(p, b.pixels.data(), b.width, b.height, big_x, top, SCALE);
}

std::string size_label(const char* name, int w, int h) {
  return std::string(name) + "  " + std::to_string(w) + " x " + std::to_string(h);
}

std::vector<block> colour_blocks() {
  std::vector<block> out;
  for (int i = 0; i < IMAGE_COUNT; ++i) {
    const image_ref img = image_lookup(i);
    block b{size_label(image_name[i], img.width, img.height), img.width, img.height, {}};
    b.pixels.assign(img.pixels, img.pixels + static_cast<std::size_t>(img.width) * img.height);
    out.push_back(std::move(b));
  }
  return out;
}

// The four-bit images after the font strips, drawn as grey with matching alpha.
std::vector<block> four_bit_blocks() {
  std::vector<block> out;
  for (int i = FONT_COUNT; i < IMAGE4_COUNT; ++i) {
    const image4_ref img = image4_lookup(i);
    block b{size_label(image4_name[i], img.width, img.height), img.width, img.height, {}};
    b.pixels.assign(static_cast<std::size_t>(img.width) * img.height, COLOUR_TRANSPARENT);
    draw_grey4_image(b.pixels.data(), img.width, img.height, img.data, img.width, img.height, 0, 0);
    out.push_back(std::move(b));
  }
  return out;
}

// A font's character set cut into lines that fit the sheet when enlarged.
std::vector<std::string> charset_lines(int font) {
  std::vector<std::string> lines;
  std::string line;
  const int room = (SHEET_W - 2 * MARGIN) / SCALE;
  for (const char* c = font_table[font].charset; *c; ++c) {
    const std::string next = line + *c;
    if (!line.empty() && text_width(font, next.c_str()) > room) {
      lines.push_back(line);
      line = std::string(1, *c);
    } else {
      line = next;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

int heading(sheet::picture& p, flow& f, const char* text) {
  if (f.x > MARGIN) f.new_row();
  draw_text(p.data(), p.width, p.height, 6, MARGIN, f.y, HEADING_COLOUR, text);
  f.y += 26;
  return f.y;
}

// Lays everything out twice: once to measure the sheet, once to draw it.
int lay_out(sheet::picture* p, const std::vector<block>& colour, const std::vector<block>& four) {
  sheet::picture scratch(1, 1, 0);
  sheet::picture& target = p ? *p : scratch;
  flow f;
  heading(target, f, "Full-colour images");
  for (const block& b : colour) {
    const auto [x, y] = f.place(block_width(b), block_height(b));
    if (p) draw_block(*p, b, x, y);
  }
  heading(target, f, "Four-bit images");
  for (const block& b : four) {
    const auto [x, y] = f.place(block_width(b), block_height(b));
    if (p) draw_block(*p, b, x, y);
  }
  heading(target, f, "Fonts");
  for (int font = 0; font < FONT_COUNT; ++font) {
    const font_record& rec = font_table[font];
    const std::string label = "font " + std::to_string(font) + "  height " + std::to_string(rec.height) + "  strip " +
                              std::to_string(rec.strip_width) + (font < 5 ? "  LCD" : "  ARIAL");
    const auto [x, y] = f.place(SHEET_W - 2 * MARGIN, LABEL_H);
    if (p) draw_text(p->data(), p->width, p->height, LABEL_FONT, x, y, LABEL_COLOUR, label.c_str());
    f.new_row();
    const auto [x1, y1] = f.place(SHEET_W - 2 * MARGIN, rec.height + 2);
    if (p) draw_text(p->data(), p->width, p->height, font, x1, y1, COLOUR_WHITE, rec.charset);
    f.new_row();
    for (const std::string& line : charset_lines(font)) {
      const int w = text_width(font, line.c_str());
      const auto [x2, y2] = f.place(w * SCALE, (rec.height + 1) * SCALE);
      if (p) {
        std::vector<pixel_t> glyphs(static_cast<std::size_t>(w) * (rec.height + 1), COLOUR_TRANSPARENT);
        draw_text(glyphs.data(), w, rec.height + 1, font, 0, 0, COLOUR_WHITE, line.c_str());
        sheet::blend_scaled(*p, glyphs.data(), w, rec.height + 1, x2, y2, SCALE);
      }
      f.new_row();
    }
  }
  f.new_row();
  return f.y + MARGIN;
}

void usage(std::FILE* to) {
  std::fprintf(to,
               "usage: vesper-contact-sheet OUT.png\n"
               "       vesper-contact-sheet --scenes DIR\n"
               "\n"
               "Writes one PNG with every full-colour and four-bit image at 1:1 and enlarged three times on a\n"
               "checkerboard, each labelled with its name and size, and every font's character set with its id\n"
               "and height. With --scenes, writes screens composed from the images into DIR instead.\n");
}

}  // namespace

// Bad arguments: a message naming the problem, the usage, and exit status 2.
int bad_arguments(const std::string& problem) {
  std::fprintf(stderr, "vesper-contact-sheet: %s\n", problem.c_str());
  usage(stderr);
  return 2;
}

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return bad_arguments("missing the output file name");
  if (args[0] == "--help" || args[0] == "-h") {
    if (args.size() != 1) return bad_arguments("--help takes no further arguments");
    usage(stdout);
    return 0;
  }
  if (args[0] == "--scenes") {
    if (args.size() != 2 || args[1].empty()) return bad_arguments("--scenes needs one directory to write into");
    std::string error;
    if (!sheet::write_scenes(args[1], &error)) {
      std::fprintf(stderr, "vesper-contact-sheet: %s\n", error.c_str());
      return 1;
    }
    return 0;
  }
  if (args[0].size() > 1 && args[0][0] == '-') return bad_arguments("unknown option '" + args[0] + "'");
  if (args.size() != 1)
    return bad_arguments("expected one output file name, got " + std::to_string(args.size()) + " arguments");

  const std::vector<block> colour = colour_blocks();
  const std::vector<block> four = four_bit_blocks();
  const int height = lay_out(nullptr, colour, four);
  sheet::picture p(SHEET_W, height, BACKGROUND);
  lay_out(&p, colour, four);

  std::string error;
  if (!sheet::save(p, args[0], &error)) {
    std::fprintf(stderr, "vesper-contact-sheet: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
