// The command line of the headless runner: what each option means and every way to get it wrong.
#include <gtest/gtest.h>

#include "host/headless/options.h"

namespace {

using headless::options;
using headless::parse_command_line;

struct parsed {
  bool ok = false;
  options o;
  std::string error;
};

parsed parse(const std::vector<std::string>& args) {
  parsed p;
  p.ok = parse_command_line(args, &p.o, &p.error);
  return p;
}

TEST(HeadlessOptions, DefaultsRunTenSecondsWithoutAScriptAndNoneAfterOne) {
  const parsed plain = parse({});
  ASSERT_TRUE(plain.ok);
  EXPECT_EQ(headless::effective_run_ms(plain.o), 10000);
  EXPECT_EQ(plain.o.every, 1);
  EXPECT_TRUE(plain.o.state.empty());

  const parsed scripted = parse({"-e", "wait 1"});
  ASSERT_TRUE(scripted.ok);
  EXPECT_EQ(headless::effective_run_ms(scripted.o), 0);

  // An explicit time wins either way, also an explicit 0 without a script.
  EXPECT_EQ(headless::effective_run_ms(parse({"-e", "wait 1", "--seconds", "2"}).o), 2000);
  EXPECT_EQ(headless::effective_run_ms(parse({"--seconds", "0"}).o), 0);
}

TEST(HeadlessOptions, SecondsAreRoundedToWholeMilliseconds) {
  EXPECT_EQ(parse({"--seconds", "1.5"}).o.run_ms, 1500);
  EXPECT_EQ(parse({"--seconds", "0.0004"}).o.run_ms, 0);
  EXPECT_EQ(parse({"--seconds", "0.0005"}).o.run_ms, 1);  // halves round away from zero
  EXPECT_EQ(parse({"--seconds", "12.3456"}).o.run_ms, 12346);
  EXPECT_EQ(parse({"--seconds=3"}).o.run_ms, 3000);
}

TEST(HeadlessOptions, ScriptsAndLinesKeepTheirCommandLineOrder) {
  const parsed p = parse({"-e", "wait 1", "--script", "a.txt", "-e", "tap left", "--script", "-"});
  ASSERT_TRUE(p.ok) << p.error;
  ASSERT_EQ(p.o.scripts.size(), 4u);
  EXPECT_EQ(p.o.scripts[0].kind, headless::script_source::line);
  EXPECT_EQ(p.o.scripts[0].text, "wait 1");
  EXPECT_EQ(p.o.scripts[1].kind, headless::script_source::file);
  EXPECT_EQ(p.o.scripts[1].text, "a.txt");
  EXPECT_EQ(p.o.scripts[2].text, "tap left");
  EXPECT_EQ(p.o.scripts[3].kind, headless::script_source::standard_input);
}

TEST(HeadlessOptions, OutputsAndRepeatedSets) {
  const parsed p = parse({"--set", "DEMO MODE=MODE 2", "--set=CFG_UI_STYLE=1", "--png", "f.png", "--frames", "fr",
                          "--every", "5", "--layers", "ly", "--state", "-"});
  ASSERT_TRUE(p.ok) << p.error;
  ASSERT_EQ(p.o.sets.size(), 2u);
  EXPECT_EQ(p.o.sets[0], "DEMO MODE=MODE 2");
  EXPECT_EQ(p.o.sets[1], "CFG_UI_STYLE=1");  // only the first '=' separates the option
  EXPECT_EQ(p.o.png, "f.png");
  EXPECT_EQ(p.o.frames_dir, "fr");
  EXPECT_EQ(p.o.every, 5);
  EXPECT_EQ(p.o.layers_dir, "ly");
  EXPECT_EQ(p.o.state, "-");
}

TEST(HeadlessOptions, HelpNamesEveryOptionAndCommandWithExamples) {
  EXPECT_TRUE(parse({"--help"}).o.help);
  EXPECT_TRUE(parse({"-h"}).o.help);
  const std::string help = headless::help_text();
  for (const char* word :
       {"--seconds", "--script", "-e LINE", "--set", "--png", "--frames", "--every", "--layers", "--state", "wait S",
        "press X", "release X", "tap X", "hold X S", "turn N", "set NAME VALUE", "snapshot", "png FILE", "Examples:"}) {
    EXPECT_NE(help.find(word), std::string::npos) << word;
  }
}

// Each mistake gives one line that names the option and what is wrong with it.
struct bad_case {
  std::vector<std::string> args;
  std::vector<std::string> expected_words;
};

TEST(HeadlessOptions, EveryMistakeIsNamed) {
  const std::vector<bad_case> cases = {
      {{"--frobnicate"}, {"unknown option", "--frobnicate"}},
      {{"-x"}, {"unknown option", "-x"}},
      {{"--seconds"}, {"--seconds", "needs"}},
      {{"--seconds", "soon"}, {"--seconds", "'soon'", "not a number"}},
      {{"--seconds", "-1"}, {"--seconds", "out of range"}},
      {{"--seconds", "nan"}, {"--seconds", "not a number"}},
      {{"--seconds", "inf"}, {"--seconds", "not a number"}},
      {{"--seconds", "1e12"}, {"--seconds", "out of range"}},
      {{"--seconds", "2s"}, {"--seconds", "'2s'"}},
      {{"--script"}, {"--script", "needs"}},
      {{"--script", ""}, {"--script", "empty"}},
      {{"--script", "-", "--script", "-"}, {"standard input", "once"}},
      {{"-e"}, {"-e", "needs", "script line"}},
      {{"--set"}, {"--set", "needs"}},
      {{"--set", "CFG_DEMO_MODE"}, {"--set", "'CFG_DEMO_MODE'", "NAME=VALUE"}},
      {{"--png"}, {"--png", "needs"}},
      {{"--png="}, {"--png", "empty"}},
      {{"--frames"}, {"--frames", "needs"}},
      {{"--every", "0", "--frames", "d"}, {"--every", "'0'"}},
      {{"--every", "two", "--frames", "d"}, {"--every", "'two'"}},
      {{"--every", "3"}, {"--every", "--frames"}},
      {{"--layers"}, {"--layers", "needs"}},
      {{"--state"}, {"--state", "needs"}},
      {{"--help=yes"}, {"--help", "takes no value"}},
      {{"script.txt"}, {"unexpected argument", "'script.txt'"}},
      {{"-"}, {"unexpected argument"}},
  };
  for (const bad_case& c : cases) {
    const parsed p = parse(c.args);
    std::string joined;
    for (const std::string& a : c.args) joined += a + " ";
    ASSERT_FALSE(p.ok) << joined;
    EXPECT_EQ(p.error.find('\n'), std::string::npos) << p.error;
    for (const std::string& w : c.expected_words) {
      EXPECT_NE(p.error.find(w), std::string::npos) << joined << "-> " << p.error << " lacks " << w;
    }
  }
}

TEST(HeadlessOptions, AValueThatLooksLikeAnOptionIsStillTheValue) {
  // "-e -x" is a script line "-x", which the script parser then rejects; the option parser must
  // not read it as an unknown option.
  const parsed p = parse({"-e", "--seconds"});
  ASSERT_TRUE(p.ok) << p.error;
  ASSERT_EQ(p.o.scripts.size(), 1u);
  EXPECT_EQ(p.o.scripts[0].text, "--seconds");
  EXPECT_FALSE(p.o.seconds_given);
}

}  // namespace
