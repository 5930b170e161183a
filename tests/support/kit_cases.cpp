#include "support/kit_cases.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace ts = testing_support;

std::vector<KitCase> ReadKitCases(const std::string& table) {
  std::vector<KitCase> cases;
  for (const ts::CaseText& text :
       ts::ReadCases(std::filesystem::path(FLIPDECK_SOURCE_DIR) / "tests" / table)) {
    KitCase c;
    c.name = text.name;
    std::vector<std::string> faults = text.faults;
    for (const ts::Directive& d : text.directives) {
      if (ts::ReadFixtureDirective(d, c.fixture, faults)) continue;
      if (d.verb == "expect")
        c.expect = d.block;
      else if (d.verb == "args")
        c.args = ts::ReadArguments(d.rest);
      else if (d.verb == "anime" && !d.rest.empty())
        c.anime = d.rest;
      else
        faults.push_back(d.where + ": no kit table directive: " + d.verb);
    }
    for (const std::string& fault : faults) ADD_FAILURE() << table << ": " << fault;
    cases.push_back(std::move(c));
  }
  return cases;
}
