// The case tables of the kit tests: each case is a small project written
// into a fresh directory, the base of its table with some files replaced,
// and what the kit must say of it. The grammar is in cases.md.
#pragma once

#include <string>
#include <vector>

#include "support/case_file.h"

struct KitCase {
  std::string name;
  testing_support::CaseFixture fixture;
  std::vector<std::string> args;  // before the TAF name
  std::string anime = "walk.taf";
  std::string expect;  // the report, "@DIR@" standing for the case's directory
};

/// The cases of tests/`table`; a directive the table cannot hold fails the
/// test that reads it.
std::vector<KitCase> ReadKitCases(const std::string& table);
