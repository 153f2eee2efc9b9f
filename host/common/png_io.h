// PNG files of 0xAARRGGBB pictures, through libpng.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Writes w x h pixels, row 0 at the top. With keep_alpha the alpha channel is written too;
// without it the picture is opaque (what a display shows). On failure returns false with a reason.
bool write_png(const std::string& path, const std::uint32_t* pixels, int w, int h, bool keep_alpha, std::string* error);

// The PNG file's bytes, in memory (for standard output, or a file written with the checks below).
bool encode_png(const std::uint32_t* pixels, int w, int h, bool keep_alpha, std::string* bytes, std::string* error);

// Writes bytes to a file, replacing it; false with the reason alone (the caller names the file)
// when any step fails, the close included (a full disk often shows only there).
bool write_file_bytes(const std::string& path, const std::string& bytes, std::string* error);

// Reads a PNG of any colour type into 0xAARRGGBB pixels.
bool read_png(const std::string& path, std::vector<std::uint32_t>* pixels, int* w, int* h, std::string* error);
