#include "project/directory_list.h"

#include "path/path_utils.h"

namespace {

// One directory of a list, the way a lone TMF_DIR is resolved: normalised
// when it exists, then absolute. Resolving entries one by one rather than
// the list text as a whole keeps a ".." at the start of a later entry from
// eating the end of the entry before it (`x\y;..\..\z`), and keeps a long
// list from failing as one over-long path.
std::string ResolveDirectory(std::string entry) {
  NormalizeDirectory(entry);
  std::string full = entry;
  if (!MakeFullPath(full)) return entry;
  return full;
}

}  // namespace

std::string ResolveDirectoryList(const std::string& list) {
  // The file search skips empty entries; resolving one would turn it into
  // the working directory and add a place to search.
  std::string resolved;
  for (const std::string_view entry : SplitDirectoryList(list)) {
    if (!resolved.empty()) resolved.push_back(';');
    resolved += ResolveDirectory(std::string(entry));
  }
  return resolved;
}
