// Why a TAF or TPF file could not be read, for the kit's messages: flipdeck
// only says "can not open", which leaves the artist guessing between a
// wrong name, a folder and a file far too large for a settings file.
#pragma once

#include <string>

/// What keeps CKeyValueFile from reading the settings file `path`:
/// "does not exist", "is a directory, not a settings file", "cannot be
/// opened for reading", "holds N bytes, more than the 64 MiB flipdeck reads
/// of a settings file", or, for a device or pipe, "does not end within the
/// 64 MiB ...". "cannot be read" when it can be read after all (it changed
/// meanwhile).
std::string SettingsFileTrouble(const std::string& path);
