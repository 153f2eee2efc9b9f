#include "host/common/png_io.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace {

// libpng reports trouble through callbacks; by default it prints to standard error and so would
// add a second line to a message the caller gives anyway. These keep the text for the caller.
struct png_sink {
  std::string* bytes;
  std::string message;
};

void on_png_error(png_structp png, png_const_charp message) {
  static_cast<png_sink*>(png_get_error_ptr(png))->message = message;
  png_longjmp(png, 1);
}

void on_png_warning(png_structp, png_const_charp) {}

void on_png_write(png_structp png, png_bytep data, png_size_t length) {
  static_cast<png_sink*>(png_get_io_ptr(png))->bytes->append(reinterpret_cast<const char*>(data), length);
}

void on_png_flush(png_structp) {}

}  // namespace

bool encode_png(const std::uint32_t* pixels, int w, int h, bool keep_alpha, std::string* bytes, std::string* error) {
  bytes->clear();
  png_sink sink{bytes, ""};
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, on_png_error, on_png_warning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info) {
    png_destroy_write_struct(&png, &info);
    if (error) *error = "out of memory making a PNG picture";
    return false;
  }
  const int channels = keep_alpha ? 4 : 3;
  std::vector<png_byte> row(static_cast<std::size_t>(w) * channels);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    if (error) *error = "cannot make a PNG picture: " + sink.message;
    return false;
  }
  png_set_write_fn(png, &sink, on_png_write, on_png_flush);
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
  return true;
}

bool write_file_bytes(const std::string& path, const std::string& bytes, std::string* error) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    if (error) *error = std::strerror(errno);
    return false;
  }
  // Every step is checked: a full disk shows only at the flush or the close.
  errno = 0;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && std::fflush(file) == 0;
  const int write_errno = errno;
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    const int e = !written ? write_errno : errno;
    if (error) *error = e != 0 ? std::strerror(e) : "write failed";
    return false;
  }
  return true;
}

bool write_png(const std::string& path, const std::uint32_t* pixels, int w, int h, bool keep_alpha,
               std::string* error) {
  std::string bytes;
  std::string why;
  if (!encode_png(pixels, w, h, keep_alpha, &bytes, &why)) {
    if (error) *error = "cannot write " + path + ": " + why;
    return false;
  }
  if (!write_file_bytes(path, bytes, &why)) {
    if (error) *error = "cannot write " + path + ": " + why;
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
