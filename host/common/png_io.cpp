#include "host/common/png_io.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

struct file_closer {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using file_ptr = std::unique_ptr<std::FILE, file_closer>;

}  // namespace

bool write_png(const std::string& path, const std::uint32_t* pixels, int w, int h, bool keep_alpha,
               std::string* error) {
  file_ptr file(std::fopen(path.c_str(), "wb"));
  if (!file) {
    if (error) *error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info) {
    png_destroy_write_struct(&png, &info);
    if (error) *error = "out of memory writing " + path;
    return false;
  }
  const int channels = keep_alpha ? 4 : 3;
  std::vector<png_byte> row(static_cast<std::size_t>(w) * channels);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    if (error) *error = "cannot write " + path;
    return false;
  }
  png_init_io(png, file.get());
  png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8,
               keep_alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const std::uint32_t p = pixels[static_cast<std::size_t>(y) * w + x];
      png_byte* out = &row[static_cast<std::size_t>(x) * channels];
      out[0] = static_cast<png_byte>(p >> 16);
      out[1] = static_cast<png_byte>(p >> 8);
      out[2] = static_cast<png_byte>(p);
      if (keep_alpha) out[3] = static_cast<png_byte>(p >> 24);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  if (std::fflush(file.get()) != 0) {
    if (error) *error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

bool read_png(const std::string& path, std::vector<std::uint32_t>* pixels, int* w, int* h, std::string* error) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) {
    if (error) *error = "cannot read " + path + ": " + image.message;
    return false;
  }
  image.format = PNG_FORMAT_BGRA;  // little-endian words 0xAARRGGBB
  pixels->assign(static_cast<std::size_t>(image.width) * image.height, 0);
  if (!png_image_finish_read(&image, nullptr, pixels->data(), 0, nullptr)) {
    if (error) *error = "cannot decode " + path + ": " + image.message;
    png_image_free(&image);
    return false;
  }
  *w = static_cast<int>(image.width);
  *h = static_cast<int>(image.height);
  return true;
}
