// Where a picture's TMF and TLF files are on disk, found along its
// project's directory lists. Shared by the sequence and camera writers.
#pragma once

#include <string>

#include "project/picture_project.h"

/// Sets `tmfPath` to the full path of `info.m_strTmf`, searched along the
/// project's TMF directory list, and `tlfPath` likewise along the TLF list.
/// A file that is not found leaves its path empty. True when both were
/// found. Project in /work/anim, `walk1.tmf` there -> `/work/anim/walk1.tmf`.
bool FindPictureFiles(const CPictureProject& project, const CPictureInfo& info,
                      std::string& tmfPath, std::string& tlfPath);
