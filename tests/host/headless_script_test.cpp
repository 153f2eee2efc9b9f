// The script language of the headless runner: commands, quoting, comments, the setting names
// with blanks in them, and a message with file and line for every mistake.
#include <gtest/gtest.h>

#include "host/headless/script.h"
#include "settings/settings.h"

namespace {

using headless::command;
using headless::command_kind;
using headless::control_id;

struct parsed {
  bool ok = false;
  std::vector<command> commands;
  std::string error;
};

parsed parse(const std::string& text, const std::string& source = "run.txt") {
  parsed p;
  p.ok = headless::parse_script_text(text, source, 1, &p.commands, &p.error);
  return p;
}

command one(const std::string& line) {
  const parsed p = parse(line);
  EXPECT_TRUE(p.ok) << line << ": " << p.error;
  EXPECT_EQ(p.commands.size(), 1u) << line;
  return p.commands.empty() ? command{} : p.commands[0];
}

TEST(HeadlessScript, ControlAndTimeCommands) {
  command c = one("wait 2.5");
  EXPECT_EQ(c.kind, command_kind::wait);
  EXPECT_EQ(c.ms, 2500);
  EXPECT_EQ(one("wait 0").ms, 0);

  c = one("press knob");
  EXPECT_EQ(c.kind, command_kind::press);
  EXPECT_EQ(c.control, control_id::knob);
  c = one("release right");
  EXPECT_EQ(c.kind, command_kind::release);
  EXPECT_EQ(c.control, control_id::right);
  c = one("tap left");
  EXPECT_EQ(c.kind, command_kind::tap);
  EXPECT_EQ(c.control, control_id::left);

  c = one("hold knob 3.25");
  EXPECT_EQ(c.kind, command_kind::hold);
  EXPECT_EQ(c.control, control_id::knob);
  EXPECT_EQ(c.ms, 3250);

  EXPECT_EQ(one("turn -3").detents, -3);
  EXPECT_EQ(one("turn +2").detents, 2);
  EXPECT_EQ(one("turn 0").detents, 0);
  EXPECT_EQ(one("turn -100").detents, -100);  // the window's queue, either way
  EXPECT_EQ(one("turn 100").detents, 100);

  // Commands and control names are not fussy about letter case.
  EXPECT_EQ(one("TAP Knob").control, control_id::knob);
}

TEST(HeadlessScript, SnapshotAndPicture) {
  command c = one("snapshot");
  EXPECT_EQ(c.kind, command_kind::snapshot);
  EXPECT_TRUE(c.text.empty());
  EXPECT_EQ(one("snapshot after the menu").text, "after the menu");
  EXPECT_EQ(one("snapshot \"a # b\"").text, "a # b");  // '#' inside quotes is text
  EXPECT_EQ(one("snapshot open # the menu").text, "open");

  c = one("png \"out/frame one.png\"");
  EXPECT_EQ(c.kind, command_kind::png);
  EXPECT_EQ(c.text, "out/frame one.png");
}

TEST(HeadlessScript, CommentsBlankLinesAndLineEndings) {
  const parsed p = parse("# a script\n\n   \nwait 1   # past nothing\r\n\ttap knob\r\n# end");
  ASSERT_TRUE(p.ok) << p.error;
  ASSERT_EQ(p.commands.size(), 2u);
  EXPECT_EQ(p.commands[0].where, "run.txt:4");
  EXPECT_EQ(p.commands[1].where, "run.txt:5");
  EXPECT_EQ(p.commands[1].kind, command_kind::tap);
  EXPECT_TRUE(parse("").commands.empty());
  EXPECT_TRUE(parse("\n\n").ok);
  // A UTF-8 byte-order mark at the start is skipped; anywhere else it is no command.
  const parsed bom = parse("\xEF\xBB\xBFwait 1\ntap knob");
  ASSERT_TRUE(bom.ok) << bom.error;
  EXPECT_EQ(bom.commands[0].ms, 1000);
  EXPECT_FALSE(parse("wait 1\n\xEF\xBB\xBFwait 1").ok);
}

TEST(HeadlessScript, SetFindsNamesWithBlanksWithOrWithoutQuotes) {
  // The longest label at the start of the line is the name, the rest the value.
  command c = one("set DEMO MODE MODE 2");
  EXPECT_EQ(c.kind, command_kind::set);
  EXPECT_EQ(c.setting.target.setting, CFG_DEMO_MODE);
  EXPECT_EQ(c.setting.value, 2);
  EXPECT_EQ(c.setting.where, "run.txt:1");

  c = one("set \"DEMO MODE\" \"MODE 1\"");
  EXPECT_EQ(c.setting.target.setting, CFG_DEMO_MODE);
  EXPECT_EQ(c.setting.value, 1);

  // "IAS VSO" must not be mistaken for a shorter label that happens to start it, and a
  // CFG_ name works as well as the label.
  EXPECT_EQ(one("set IAS VSO 65").setting.target.setting, CFG_IAS_VSO);
  EXPECT_EQ(one("set IAS VSO 65").setting.value, 65);
  EXPECT_EQ(one("set CFG_G_NEG_LIM -3").setting.value, -3);
  // A label that is a prefix of nothing longer still needs a blank after it: "UI STYLEX" is
  // not "UI STYLE" followed by "X".
  EXPECT_FALSE(parse("set UI STYLEX 1").ok);
}

TEST(HeadlessScript, SetValuesAreNumbersOrOptionTexts) {
  EXPECT_EQ(one("set GPS NAV SRC LK1 9600").setting.value, 1);
  EXPECT_EQ(one("set GPS NAV SRC \"TXP LINK\"").setting.value, 4);
  EXPECT_EQ(one("set FUNCTION LOCK yes").setting.value, 1);  // option texts ignore letter case
  EXPECT_EQ(one("set FUNCTION LOCK 0").setting.value, 0);    // a choice also takes its number
  EXPECT_EQ(one("set UNIT FUNCTION DG").setting.value, 1);
  EXPECT_EQ(one("set ROLL LIM 80").setting.value, 80);
  EXPECT_EQ(one("set ROLL LIM 30").setting.value, 30);
  EXPECT_EQ(one("set CFG_FIELD_PAGE 3").setting.target.row, -1);
  EXPECT_EQ(one("set CFG_HDG_BUG 359").setting.value, 359);
  EXPECT_EQ(one("set CFG_SET_ALT 25000").setting.value, 25000);
}

// Every mistake is one line, starting with the file and line, naming what is wrong.
struct bad_line {
  std::string line;
  std::vector<std::string> words;
};

TEST(HeadlessScript, EveryMistakeNamesFileLineAndProblem) {
  const std::vector<bad_line> cases = {
      {"jump 3", {"unknown command 'jump'"}},
      {"wait", {"wait takes one argument", "0 were given"}},
      {"wait 1 2", {"wait takes one argument", "2 were given"}},
      {"wait soon", {"wait", "'soon' is not a number of seconds"}},
      {"wait -1", {"out of range"}},
      {"press", {"press takes one argument"}},
      {"press nose", {"unknown control 'nose'", "knob, left or right"}},
      {"tap knob left", {"tap takes one argument", "2 were given"}},
      {"hold knob", {"hold takes two arguments", "1 was given"}},
      {"hold knob long", {"hold", "'long' is not a number of seconds"}},
      {"hold wheel 1", {"unknown control 'wheel'"}},
      {"turn", {"turn takes one argument"}},
      {"turn 1.5", {"'1.5' is not a whole number of detents"}},
      {"turn 99999999999", {"'99999999999' is out of range", "allowed -100..100"}},
      {"turn 101", {"out of range", "allowed -100..100"}},
      {"turn -2147483648", {"out of range"}},
      {"turn ++1", {"not a whole number"}},
      {"png", {"png takes one argument"}},
      {"png a.png b.png", {"png takes one argument", "2 were given"}},
      {"png \"\"", {"empty file name"}},
      {"set", {"set needs a setting name and a value"}},
      {"set CFG_NOTHING 1", {"unknown setting 'CFG_NOTHING'"}},
      {"set UI STYLEX 1", {"unknown setting"}},
      {"set SW CHECKSUM 1", {"SW CHECKSUM", "read-only"}},
      {"set DEMO MODE", {"missing value for DEMO MODE", "allowed 0..2", "\"MODE 1\""}},
      {"set DEMO MODE MODE 3", {"'MODE 3' is not an option of DEMO MODE", "allowed 0..2"}},
      {"set DEMO MODE 3", {"value 3 for DEMO MODE is out of range", "allowed 0..2"}},
      {"set G POS LIM 9", {"value 9 for G POS LIM is out of range", "allowed 2..8"}},
      {"set G NEG LIM 0", {"out of range", "allowed -8..-1"}},
      {"set ROLL LIM 29", {"allowed 30..80"}},
      {"set PITCH TRIM high", {"'high' is not a whole number", "allowed -20..20"}},
      {"set CFG_FIELD_PAGE 4", {"CFG_FIELD_PAGE", "allowed 0..3"}},
      {"set CFG_HDG_BUG 360", {"allowed 0..359"}},
      {"set CFG_SET_ALT -1", {"allowed 0..25000"}},
      {"set \"DEMO MODE\" \"MODE 1\" extra", {"unexpected text"}},
      {"snapshot \"open", {"unterminated double quote"}},
      {"set \"DEMO MODE MODE 1", {"unterminated double quote"}},
      {"fault txp_fail", {"fault takes two arguments", "1 was given"}},
      {"fault nothing_wrong on", {"unknown fault 'nothing_wrong'", "sensors_invalid", "txp_not_replying"}},
      {"fault TXP_FAIL on", {"unknown fault 'TXP_FAIL'"}},
      {"fault txp_fail maybe", {"'maybe' is neither on nor off"}},
  };
  for (const bad_line& c : cases) {
    const parsed p = parse("wait 1\n# comment\n" + c.line + "\nwait 1", "steps.txt");
    ASSERT_FALSE(p.ok) << c.line;
    EXPECT_EQ(p.error.rfind("steps.txt:3: ", 0), 0u) << c.line << " -> " << p.error;
    EXPECT_EQ(p.error.find('\n'), std::string::npos) << p.error;
    for (const std::string& w : c.words) {
      EXPECT_NE(p.error.find(w), std::string::npos) << c.line << " -> " << p.error << " lacks " << w;
    }
  }
}

TEST(HeadlessScript, TheFirstMistakeStopsTheParse) {
  parsed p = parse("wait 1\nfly\ncrash");
  EXPECT_FALSE(p.ok);
  EXPECT_NE(p.error.find("run.txt:2: unknown command 'fly'"), std::string::npos) << p.error;
}

TEST(HeadlessScript, LinesAreNumberedFromTheGivenStart) {
  std::vector<command> commands;
  std::string error;
  ASSERT_TRUE(headless::parse_script_text("wait 1\nwait 2", "-e", 7, &commands, &error));
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[0].where, "-e:7");
  EXPECT_EQ(commands[1].where, "-e:8");
}

TEST(HeadlessScript, WordSplittingKeepsQuotedBlanks) {
  std::vector<std::string> words;
  std::string error;
  ASSERT_TRUE(headless::split_words("  a \"b c\"  d\"e f\" ", &words, &error));
  EXPECT_EQ(words, (std::vector<std::string>{"a", "b c", "de f"}));
  EXPECT_FALSE(headless::split_words("a \"b", &words, &error));
}

TEST(HeadlessScript, SecondsParser) {
  std::int64_t ms = -1;
  std::string error;
  EXPECT_TRUE(headless::parse_seconds(" 0.030 ", &ms, &error));
  EXPECT_EQ(ms, 30);
  EXPECT_TRUE(headless::parse_seconds("10000000", &ms, &error));
  EXPECT_EQ(ms, 10000000000);
  EXPECT_FALSE(headless::parse_seconds("10000000.5", &ms, &error));
  EXPECT_FALSE(headless::parse_seconds("", &ms, &error));
  EXPECT_FALSE(headless::parse_seconds("1,5", &ms, &error));
}

}  // namespace
