// User text inside one-line messages: cut to a readable length, nothing that a terminal would
// act on reaches it raw, and ordinary text (also UTF-8) stays as it was.
#include <gtest/gtest.h>

#include "host/common/message_text.h"

namespace {

struct safe_case {
  std::string in;
  std::string out;
};

TEST(MessageText, ControlBytesAndInvisibleCharactersAreEscaped) {
  const std::vector<safe_case> cases = {
      {"plain words 1.5", "plain words 1.5"},
      {"tab\there", "tab\\there"},
      {"two\nlines\r", "two\\nlines\\r"},
      {std::string("nul\0x", 5), "nul\\x00x"},
      {"\x1B[2J\x1B]0;title\x07", "\\x1B[2J\\x1B]0;title\\x07"},
      {"del\x7F", "del\\x7F"},
      {"caf\xC3\xA9 \xE2\x86\x92 \xF0\x9F\x9B\xA9", "caf\xC3\xA9 \xE2\x86\x92 \xF0\x9F\x9B\xA9"},  // kept
      {"\xEF\xBB\xBFwait", "\\uFEFFwait"},                                                         // byte-order mark
      {"a\xC2\x9B"
       "31m",
       "a\\u009B31m"},  // C1 control sequence introducer
      {"ab\xE2\x80\xAE"
       "cd",
       "ab\\u202Ecd"},                      // right-to-left override
      {"\xFF\xFE", "\\xFF\\xFE"},           // not UTF-8
      {"\xC3", "\\xC3"},                    // cut sequence
      {"\xC0\xAF", "\\xC0\\xAF"},           // overlong '/'
      {"\xED\xA0\x80", "\\xED\\xA0\\x80"},  // surrogate
      {"\\x1B stays text", "\\x1B stays text"},
  };
  for (const safe_case& c : cases) EXPECT_EQ(safe_text(c.in), c.out) << c.in;
  EXPECT_EQ(quote_text("it's"), "'it's'");
}

TEST(MessageText, LongTextIsCutByCharactersNotBytes) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {std::string(60, 'x'), std::string(60, 'x')},
      {std::string(61, 'x'), std::string(60, 'x') + "..."},
      // 60 two-byte letters are 60 characters, not 120 bytes to cut in the middle of one.
      {[] {
         std::string s;
         for (int i = 0; i < 61; ++i) s += "\xC3\xA9";
         return s;
       }(),
       [] {
         std::string s;
         for (int i = 0; i < 60; ++i) s += "\xC3\xA9";
         return s + "...";
       }()},
      // An escape counts as the one character it stands for.
      {std::string(61, '\x01'),
       [] {
         std::string s;
         for (int i = 0; i < 60; ++i) s += "\\x01";
         return s + "...";
       }()},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(safe_text(in), out) << in.size();
  EXPECT_EQ(safe_text("abcdef", 3), "abc...");
  EXPECT_EQ(safe_line(std::string(500, 'y') + "\x1B"), std::string(500, 'y') + "\\x1B");
}

}  // namespace
