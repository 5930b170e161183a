// The case tables of the kit tests: each case is a small project written
// into a fresh directory, the base of its table with some files replaced,
// and what the kit must say of it. The format is in kit_cases.md.
#pragma once

#include <map>
#include <string>
#include <vector>

struct KitCase {
  std::string name;
  std::map<std::string, std::string> files;
  std::vector<std::string> args;  // before the TAF name
  std::string anime = "walk.taf";
  std::string expect;  // the report, "@DIR@" standing for the case's directory
};

/// The cases of tests/`table`, each with the table's base files.
std::vector<KitCase> ReadKitCases(const std::string& table);
