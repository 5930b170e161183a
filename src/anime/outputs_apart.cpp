#include "anime/outputs_apart.h"

#include "anime/anime_file.h"
#include "anime/c_output.h"
#include "path/path_utils.h"

namespace {

constexpr std::string_view kBothInputAndOutput = "is both input and output";

}  // namespace

bool CheckOutputsApart(const std::string& animePath, const std::string& cPath,
                       const std::string& hPath, const OutputRefusal& refuse) {
  // The C includes the header by the name as typed; one it cannot carry
  // would break the C or make it include another file.
  if (!CanIncludeHeader(hPath)) return refuse(hPath, "can not be named in #include");
  if (NamesSameFile(cPath, animePath)) return refuse(cPath, kBothInputAndOutput);
  if (NamesSameFile(hPath, animePath)) return refuse(hPath, kBothInputAndOutput);
  if (NamesSameFile(cPath, hPath)) return refuse(cPath, "is named by both -o and -e");
  return true;
}

bool CheckOutputsOffInputs(const CAnimeFile& anime, const std::string& cPath,
                           const std::string& hPath, const OutputRefusal& refuse) {
  if (cPath.empty() && hPath.empty()) return true;
  const CFileName c(cPath);
  const CFileName h(hPath);
  for (const std::string& input : anime.GetInputFiles()) {
    const CFileName in(input);
    if (c.IsSameAs(in)) return refuse(cPath, kBothInputAndOutput);
    if (h.IsSameAs(in)) return refuse(hPath, kBothInputAndOutput);
  }
  return true;
}
