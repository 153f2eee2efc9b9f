// The pages the frame budget covers, each reached by a run of the headless program: every field
// page of both units, each heading presentation, every pop-up, the menu, SETUP, INSTALL, the
// transponder page's editor and the start-up screen, in each of the three looks.
#pragma once
#include <string>
#include <vector>

namespace pages {

struct page_case {
  std::string name;               // "<page>/<look>", e.g. "ai-page0/legacy"
  std::vector<std::string> args;  // vesper-headless arguments that leave the instrument on the page
};

const std::vector<page_case>& page_cases();

// Runs the case's headless run in this process: the firmware's state is then the page's, and the
// caller composes further frames with firmware_pass. False (with the program's message on
// standard error) if the run failed.
bool reach_page(const page_case& page);

}  // namespace pages
