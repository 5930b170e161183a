// The driver: banner, usage text, command line, and the one conversion a
// run performs.
#pragma once

class COption;

/// The three banner lines; switches the console to hexadecimal integers.
void PrintBanner();
/// The ten lines of the usage text.
void PrintUsage();
/// Registers h, ?, o, e, v and parses; true when a conversion is to run.
bool ParseCommandLine(COption& option, int argc, const char* const* argv);
/// Deletes the outputs, loads the TAF file and runs both writers, whose
/// files take their names only when both have succeeded; false when any
/// step failed (after its console message; an interrupt fails silently).
/// Refuses, before anything is deleted, an output that names the TAF file or
/// the other output, and a header name the C cannot include; a TAF file that
/// cannot be opened is reported and fails.
bool RunConversion(const char* animePath, const char* cPath, const char* hPath, bool verbose);
/// The whole program: banner, parse, usage or conversion; the exit status.
int RunFlipdeck(int argc, const char* const* argv);
