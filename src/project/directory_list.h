// The ";"-separated directory lists of a picture project (TMF_DIR,
// TLF_DIR), made absolute once when the project loads so that the file
// search no longer depends on how the list was written.
#pragma once

#include <string>

/// Normalises every non-empty entry of `list` and makes it absolute against
/// the working directory, keeping the order; empty entries are dropped.
/// An entry whose full path cannot be formed is kept as normalised.
/// Working directory /work, existing directories: `tex/;..\common` ->
/// `/work/tex;/common`; `;;` -> "".
std::string ResolveDirectoryList(const std::string& list);
