// How deps writes a path into a dependency file so that GNU make and Ninja
// both read it back as that path. Where the two read a spelling differently,
// or one of them cannot read a character in any spelling, the path is
// refused: a build that silently misses a dependency is worse than one that
// stops and names the path.
#pragma once

#include <string>
#include <string_view>

#include "path/path_style.h"

/// Which side of the dependency line a path stands on: make reads '%' in a
/// target as a pattern, and only a backslash keeps it from doing so, which
/// Ninja keeps as part of the name.
enum class DepfileSide { kTarget, kPrerequisite };

/// `path` spelt for a dependency line of a file made on a `style` system:
/// blank, '#' and ':' after a backslash, the backslashes before a blank
/// doubled, '$' doubled, a drive's colon on Windows kept.
/// `/my anim/take#2:$x.tmf` -> `/my\ anim/take\#2\:$$x.tmf`.
/// False, with what is wrong in `fault` ("holds '*', which make or Ninja
/// misreads in a dependency file"), when no spelling reads alike in both.
bool SpellForDepfile(std::string_view path, DepfileSide side, PathStyle style, std::string& spelt,
                     std::string& fault);
