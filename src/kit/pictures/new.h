// flipdeck-kit new: a project that flipdeck converts at once, from PNG
// pictures. It imports the pictures (into one shared palette NAME.tlf when
// they fit one, else a palette each) and writes NAME.tpf, listing them, and
// NAME.taf, showing them in the order given for their numbers of frames; a
// picture given twice is imported and listed once and shown twice.
// flipdeck reads the project path of the TAF from its working directory,
// so it converts the project from the directory it was written to:
//   flipdeck -oNAME.c -eNAME.h NAME.taf
#pragma once

#include <functional>
#include <string>
#include <vector>

struct NewOptions {
  std::string name;
  std::vector<std::string> pictures;
  std::string frames = "10";  // "N" for every picture, or "N1,N2,..." one each
  std::string outDir;         // the working directory when empty
  bool force = false;         // replace files that exist
};

/// The new job: 0 when every file was written, 1 after the messages of a
/// job that changed no file.
int RunNew(const NewOptions& options);
