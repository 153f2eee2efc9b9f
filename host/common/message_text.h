// Text a user gave (a file name, a script word, an option) shown inside a one-line message: cut to
// a readable length and with every byte that could move the cursor, clear the line or switch the
// terminal's modes written out as an escape, so a message is always one harmless line.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// Long enough for any real name or value, short enough to keep a message on one line.
inline constexpr std::size_t MESSAGE_TEXT_LIMIT = 60;

// The text made safe: printable ASCII and well-formed UTF-8 stay; tab, newline and carriage
// return become \t \n \r; other control bytes, DEL and malformed UTF-8 become \xNN; the C1
// controls and the invisible or direction-changing characters (U+FEFF, U+200B..U+200F,
// U+2028..U+202E, U+2066..U+2069) become \uXXXX. More than `limit` characters are cut, with "..."
// after the last one kept.
std::string safe_text(std::string_view text, std::size_t limit = MESSAGE_TEXT_LIMIT);

// safe_text between single quotes: 'text'.
std::string quote_text(std::string_view text, std::size_t limit = MESSAGE_TEXT_LIMIT);

// A whole message line made safe without cutting it (the parts quoted in it are cut already).
std::string safe_line(std::string_view line);
