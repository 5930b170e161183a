// The files a conversion reads: what deps lists for a build, and what watch
// keeps an eye on. Both walk the animation as the writers do (the projects
// the TAF names, then the pictures the two parts show, through the project
// library's search), so neither can disagree with what flipdeck opens.
#pragma once

#include <string>
#include <vector>

class CAnimeFile;

/// Every project a TPF.<n>.FILE key of `anime` names, whether or not it
/// exists, as full paths in key order, each once.
std::vector<std::string> NamedProjects(const CAnimeFile& anime);

/// Every file a conversion of `anime`, loaded from `tafPath`, opens, as full
/// paths in the order it first opens them, each once.
std::vector<std::string> ConversionInputs(const CAnimeFile& anime, const std::string& tafPath);

/// Every file whose change, appearance or removal changes what a conversion
/// of `anime` reads: the inputs above; each project the TAF names, whether
/// or not it exists yet; and for each image and palette every place its
/// search tries up to the one where it is found (all of them for a file not
/// found), so that a file saved earlier on a search list is seen too.
/// `TMF_DIR = new;old` with walk1.tmf in old -> `.../new/walk1.tmf`,
/// `.../old/walk1.tmf`.
std::vector<std::string> WatchedInputs(const CAnimeFile& anime, const std::string& tafPath);
