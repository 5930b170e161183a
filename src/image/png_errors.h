// libpng's errors as the PNG reader and writer take them. libpng reports an
// error by calling back and jumping to the setjmp of the frame that called
// it; the callback only keeps the text, in plain memory the caller owns, so
// nothing with a destructor is passed over. Private to the image library:
// it names libpng.
#pragma once

#include <png.h>

#include <string>

/// What a reader's or writer's libpng callbacks keep; the object given to
/// png_create_*_struct as the error pointer must be (or start with) this.
struct CPngErrors {
  std::string message;
};

/// libpng's error callback: keeps `text` in the CPngErrors of the error
/// pointer, then jumps back to the frame's setjmp.
[[noreturn]] void OnPngError(png_structp png, png_const_charp text);

/// libpng's warning callback: damaged ancillary chunks are skipped by
/// libpng, the picture is still whole, so warnings are not kept.
void OnPngWarning(png_structp png, png_const_charp text);
