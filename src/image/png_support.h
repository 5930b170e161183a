// What the PNG reader and writer share of libpng: its structs, owned, and
// its errors. libpng reports an error by calling back and jumping to the
// setjmp of the frame that called it; the callback only keeps the text, in
// plain memory the caller owns, and the structs live outside every frame,
// so nothing with a destructor is passed over. Private to the image
// library: it names libpng.
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

enum class PngDirection { kRead, kWrite };

/// libpng's read or write struct and its info struct, created for `errors`
/// and destroyed with the object.
template <PngDirection kDirection>
class CPngStruct {
 public:
  explicit CPngStruct(CPngErrors& errors) {
    m_png = kDirection == PngDirection::kRead
                ? png_create_read_struct(PNG_LIBPNG_VER_STRING, &errors, OnPngError, OnPngWarning)
                : png_create_write_struct(PNG_LIBPNG_VER_STRING, &errors, OnPngError, OnPngWarning);
    if (m_png != nullptr) m_info = png_create_info_struct(m_png);
  }
  ~CPngStruct() {
    if constexpr (kDirection == PngDirection::kRead) {
      png_destroy_read_struct(&m_png, &m_info, nullptr);
    } else {
      png_destroy_write_struct(&m_png, &m_info);
    }
  }
  CPngStruct(const CPngStruct&) = delete;
  CPngStruct& operator=(const CPngStruct&) = delete;

  bool IsValid() const { return m_png != nullptr && m_info != nullptr; }
  png_structp GetPng() const { return m_png; }
  png_infop GetInfo() const { return m_info; }

 private:
  png_structp m_png = nullptr;
  png_infop m_info = nullptr;
};
