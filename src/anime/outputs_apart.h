// The outputs a conversion refuses. flipdeck deletes its outputs before it
// reads the animation, so an output naming the TAF file, a project, image or
// palette it reads, or both outputs naming one file, would destroy the
// user's work; the kit's deps, which lists what a conversion reads, refuses
// the same outputs so that a build stops at the same mistake.
#pragma once

#include <functional>
#include <string>
#include <string_view>

class CAnimeFile;

/// Shows a refused output: the path as given and why, e.g. ("walk.taf",
/// "is both input and output"). Returns false, as the checks then do.
using OutputRefusal = std::function<bool(const std::string& path, std::string_view reason)>;

/// Refuses, through `refuse`, a header name the C cannot include, an output
/// (`cPath` or `hPath`, "" for none) that names the TAF file `animePath`, or
/// both outputs naming one file.
/// True when they are apart.
bool CheckOutputsApart(const std::string& animePath, const std::string& cPath,
                       const std::string& hPath, const OutputRefusal& refuse);

/// Refuses, through `refuse`, an output that names a project, image or
/// palette of the loaded `anime`. True when none does.
bool CheckOutputsOffInputs(const CAnimeFile& anime, const std::string& cPath,
                           const std::string& hPath, const OutputRefusal& refuse);
