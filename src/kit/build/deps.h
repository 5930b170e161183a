// flipdeck-kit deps: the files a conversion reads, as a dependency file in
// make syntax that make and Ninja read alike:
//   walk.c walk.h: /work/anim/walk.taf /work/anim/walk.tpf /work/anim/walk1.tmf ...
// The set is what flipdeck opens when it converts the animation: the TAF;
// every project a TPF.<n>.FILE key names (flipdeck reads them all to keep
// its outputs off its inputs); each TMF and TLF file the sequence part and
// the camera part load; and the art the projects record of the pictures
// that share a palette with one loaded, and of the sheets they were cut
// from (art_record.h), which a build syncs before it converts. Each input
// also stands alone as a target without prerequisites, as compilers' -MP
// writes it, so that deleting one breaks no build. A file that is not
// there is no dependency: make
// would stop at a prerequisite it cannot make and Ninja would rebuild for
// ever, while flipdeck fails on it anyway, and a failed build step leaves
// nothing that looks up to date.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

struct DepsOptions {
  std::string anime;    // the TAF file
  std::string output;   // the C file: the first target
  std::string header;   // the header, a second target; "" for none
  std::string depfile;  // where to write; "" for standard output
  /// Spelt as CMake reads a custom command's dependency file, which takes
  /// "\\:" for a backslash and a colon: a ':' in a path stands bare.
  bool cmake = false;
};

/// The deps job: 0 when the dependency file was written, 1 after the
/// message (an output flipdeck refuses, the TAF cannot be read, a path that
/// make and Ninja cannot both read).
int RunDeps(const DepsOptions& options, std::ostream& out);
