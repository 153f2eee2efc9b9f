#include "host/common/message_text.h"

#include <cstdint>
#include <cstdio>

namespace {

// The length of the well-formed UTF-8 sequence at the start of s and its code point; 0 when the
// bytes there are not one (a stray continuation byte, an overlong form, a surrogate, a cut end).
std::size_t utf8_sequence(std::string_view s, char32_t* code_point) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  char32_t cp = 0;
  char32_t least = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, cp = lead & 0x1Fu, least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, cp = lead & 0x0Fu, least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, cp = lead & 0x07u, least = 0x10000;
  } else {
    return 0;
  }
  if (s.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0u) != 0x80u) return 0;
    cp = (cp << 6) | (byte(i) & 0x3Fu);
  }
  if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  *code_point = cp;
  return length;
}

bool hidden_or_reordering(char32_t cp) {
  return (cp >= 0x80 && cp <= 0x9F) || cp == 0xFEFF || (cp >= 0x200B && cp <= 0x200F) ||
         (cp >= 0x2028 && cp <= 0x202E) || (cp >= 0x2066 && cp <= 0x2069);
}

std::string byte_escape(unsigned char c) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "\\x%02X", c);
  return buf;
}

std::string code_point_escape(char32_t cp) {
  char buf[12];
  std::snprintf(buf, sizeof buf, "\\u%04X", static_cast<unsigned>(cp));
  return buf;
}

std::string make_safe(std::string_view text, std::size_t limit) {
  std::string out;
  std::size_t shown = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    if (shown == limit) {
      out += "...";
      break;
    }
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
      ++i;
    } else if (c == '\t') {
      out += "\\t", ++i;
    } else if (c == '\n') {
      out += "\\n", ++i;
    } else if (c == '\r') {
      out += "\\r", ++i;
    } else if (c < 0x80) {
      out += byte_escape(c), ++i;
    } else {
      char32_t cp = 0;
      const std::size_t n = utf8_sequence(text.substr(i), &cp);
      if (n == 0) {
        out += byte_escape(c), ++i;
      } else if (hidden_or_reordering(cp)) {
        out += code_point_escape(cp), i += n;
      } else {
        out.append(text.substr(i, n)), i += n;
      }
    }
    ++shown;
  }
  return out;
}

}  // namespace

std::string safe_text(std::string_view text, std::size_t limit) { return make_safe(text, limit); }

std::string quote_text(std::string_view text, std::size_t limit) { return "'" + make_safe(text, limit) + "'"; }

std::string safe_line(std::string_view line) { return make_safe(line, std::string_view::npos); }
