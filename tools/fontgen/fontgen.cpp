// vesper-fontgen: turns the font description (gfx/fonts/fonts.txt) into the firmware's ten glyph
// strips. Each glyph is rasterised with FreeType, anti-aliased and hinted, quantised to 4-bit
// coverage and laid side by side in one strip per font, rows stored bottom-up.
//
//   vesper-fontgen <description> <out.cpp> <out.h> [--preview <picture stem>]
//
// Any problem (a missing typeface file, a character a face lacks, a digit wider than the field
// layouts allow, a glyph that does not fit the font height) stops it with a message and exit 1.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "gfx/text.h"
#include "tools/fontgen/font_description.h"
#include "tools/fontgen/strips.h"

namespace fontgen {
namespace {

int run(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string preview;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--preview" && i + 1 < args.size()) {
      preview = args[i + 1];
      args.erase(args.begin() + static_cast<std::ptrdiff_t>(i), args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
      break;
    }
  }
  if (args.size() != 3) {
    std::fprintf(stderr, "usage: vesper-fontgen <description> <out.cpp> <out.h> [--preview <picture stem>]\n");
    return 2;
  }
  const std::string& desc_path = args[0];
  std::ifstream in(desc_path, std::ios::binary);
  if (!in) throw build_error("cannot read the font description " + desc_path);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  description d = parse_description(text, desc_path);
  if (static_cast<int>(d.fonts.size()) != FONT_COUNT) {
    throw build_error(desc_path + ": describes " + std::to_string(d.fonts.size()) + " fonts; the firmware has " +
                      std::to_string(FONT_COUNT));
  }

  std::vector<built_font> fonts = build_fonts(d);

  std::string origin = std::filesystem::path(desc_path).filename().string();
  write_file(args[1], source_text(fonts, "gfx/fonts/" + origin));
  write_file(args[2], header_text(fonts, "gfx/fonts/" + origin));
  if (!preview.empty()) write_preview(fonts, preview);
  return 0;
}

}  // namespace
}  // namespace fontgen

int main(int argc, char** argv) {
  try {
    return fontgen::run(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vesper-fontgen: %s\n", e.what());
    return 1;
  }
}
