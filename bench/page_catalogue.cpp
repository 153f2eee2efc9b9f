#include "bench/page_catalogue.h"

#include <iostream>
#include <sstream>

#include "host/headless/runner.h"

namespace pages {
namespace {

struct page_script {
  const char* name;
  std::vector<std::string> sets;   // --set values
  std::vector<std::string> lines;  // script lines
};

// The start-up screen ends after 8 s; "wait 9" is past it. The knob opens the pop-ups in turn, as
// the golden-frame runs do; the left key opens the menu, then SETUP, then INSTALL.
std::vector<page_script> scripts() {
  const std::vector<std::string> past_startup = {"wait 9"};
  auto after = [&](std::vector<std::string> more) {
    std::vector<std::string> lines = past_startup;
    lines.insert(lines.end(), more.begin(), more.end());
    return lines;
  };
  return {
      {"startup-fading", {}, {"wait 3"}},
      {"startup-shown", {}, {"wait 7"}},
      {"ai-page0", {"UNIT FUNCTION=AI"}, past_startup},
      {"ai-page0-lcd", {"UNIT FUNCTION=AI", "UI FONT=LCD"}, past_startup},
      {"ai-page1", {"UNIT FUNCTION=AI", "CFG_FIELD_PAGE=1"}, past_startup},
      {"ai-page2", {"UNIT FUNCTION=AI", "CFG_FIELD_PAGE=2"}, past_startup},
      {"ai-txp", {"UNIT FUNCTION=AI", "CFG_FIELD_PAGE=3"}, past_startup},
      {"ai-squawk-edit", {"UNIT FUNCTION=AI", "CFG_FIELD_PAGE=3"}, after({"tap knob", "wait 0.1"})},
      {"ai-set-baro", {"UNIT FUNCTION=AI"}, after({"tap knob", "wait 0.1"})},
      {"ai-dg-adjust",
       {"UNIT FUNCTION=AI"},
       after({"tap knob", "wait 0.1", "turn 3", "wait 0.1", "tap knob", "wait 0.1", "tap knob", "wait 0.1", "tap knob",
              "wait 0.1"})},
      {"ai-hdg-bug",
       {"UNIT FUNCTION=AI"},
       after({"tap knob", "wait 0.1", "turn 3", "wait 0.1", "tap knob", "wait 0.1", "tap knob", "wait 0.1", "tap knob",
              "wait 0.1", "tap knob", "wait 0.1"})},
      {"ai-set-alt",
       {"UNIT FUNCTION=AI", "CFG_FIELD_PAGE=2"},
       after({"tap knob", "wait 0.1", "tap knob", "wait 0.1", "tap knob", "wait 0.1"})},
      {"ai-brightness", {"UNIT FUNCTION=AI"}, after({"hold right 1.2", "wait 0.1"})},
      {"ai-menu", {"UNIT FUNCTION=AI"}, after({"tap left", "wait 0.1"})},
      {"ai-editor", {"UNIT FUNCTION=AI"}, after({"tap left", "wait 0.1", "tap knob", "wait 0.1"})},
      {"ai-setup", {"UNIT FUNCTION=AI"}, after({"tap left", "wait 0.1", "tap left", "wait 0.1"})},
      {"ai-install",
       {"UNIT FUNCTION=AI"},
       after({"tap left", "wait 0.1", "tap left", "wait 0.1", "tap left", "wait 0.1"})},
      {"dg-rose", {"UNIT FUNCTION=DG"}, past_startup},
      {"dg-rose-lcd", {"UNIT FUNCTION=DG", "UI FONT=LCD"}, past_startup},
      {"dg-hsi", {"UNIT FUNCTION=DG", "CFG_FIELD_PAGE=1"}, past_startup},
      {"dg-arc", {"UNIT FUNCTION=DG", "CFG_FIELD_PAGE=2"}, past_startup},
      {"dg-attitude", {"UNIT FUNCTION=DG", "CFG_FIELD_PAGE=3"}, past_startup},
      {"dg-dg-adjust", {"UNIT FUNCTION=DG"}, after({"tap knob", "wait 0.1"})},
      {"dg-hdg-bug",
       {"UNIT FUNCTION=DG"},
       after({"tap knob", "wait 0.1", "turn 4", "wait 0.1", "tap knob", "wait 0.1", "tap knob", "wait 0.1", "tap knob",
              "wait 0.1"})},
      {"dg-brightness", {"UNIT FUNCTION=DG"}, after({"hold right 1.2", "wait 0.1"})},
      {"dg-menu", {"UNIT FUNCTION=DG"}, after({"tap left", "wait 0.1"})},
      {"dg-setup", {"UNIT FUNCTION=DG"}, after({"tap left", "wait 0.1", "tap left", "wait 0.1"})},
      {"dg-install",
       {"UNIT FUNCTION=DG"},
       after({"tap left", "wait 0.1", "tap left", "wait 0.1", "tap left", "wait 0.1"})},
  };
}

std::vector<page_case> build() {
  std::vector<page_case> cases;
  for (const page_script& page : scripts()) {
    for (const char* look : {"LEGACY", "EFIS", "VINTAGE"}) {
      page_case c;
      std::string lower = look;
      for (char& ch : lower) ch = static_cast<char>(ch - 'A' + 'a');
      c.name = std::string(page.name) + "/" + lower;
      c.args = {"--set", std::string("UI STYLE=") + look};
      for (const std::string& set : page.sets) c.args.insert(c.args.end(), {"--set", set});
      for (const std::string& line : page.lines) c.args.insert(c.args.end(), {"-e", line});
      cases.push_back(c);
    }
  }
  return cases;
}

}  // namespace

const std::vector<page_case>& page_cases() {
  static const std::vector<page_case> cases = build();
  return cases;
}

bool reach_page(const page_case& page) {
  std::istringstream no_input;
  std::ostringstream out;
  return headless::headless_main(page.args, no_input, out, std::cerr) == 0;
}

}  // namespace pages
