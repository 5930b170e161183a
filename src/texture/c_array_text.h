// The C text shared by images and palettes: the opening of a static,
// 8-byte-aligned definition and the hex lines of an initialised array.
// The hex lines of a 512 KiB image are about 1.5 MB, so they are written from
// a digit table straight into the caller's text, never value by value
// through a printf-style call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

/// Appends "static ", `declarator`, the alignment block and " = {\n":
/// "u16 p[]" -> "static u16 p[]\n#ifdef __GNUC__\n __attribute__((aligned (8)))\n#endif\n = {\n".
void AppendDefinitionOpen(std::string& text, std::string_view declarator);

/// The number of characters AppendHexLines appends for the same arguments,
/// so that callers can reserve their text once.
size_t HexLinesSize(size_t byteCount, int32_t elementSize, size_t valuesPerLine);

/// Appends `bytes` as lower-case hex values of `elementSize` bytes (2 or 4,
/// read big-endian, zero-filled to 4 or 8 digits, each followed by a comma),
/// `valuesPerLine` to a line, each line opened by a tab and closed by a
/// newline. A last value that runs past the end of `bytes` takes zero for
/// the missing bytes.
/// {12 34 56}, size 2, 8 per line -> "\t0x1234,0x5600,\n".
void AppendHexLines(std::string& text, std::span<const uint8_t> bytes, int32_t elementSize,
                    size_t valuesPerLine);

/// Appends the whole static array `name` of `type` ("u16", "u32") holding
/// `bytes` in elements of `elementSize` bytes, `valuesPerLine` to a line.
/// ("u16", "p", {12 34}, 2, 16) -> "static u16 p[]<alignment> = {\n\t0x1234,\n};\n\n".
void AppendStaticArray(std::string& text, std::string_view type, std::string_view name,
                       std::span<const uint8_t> bytes, int32_t elementSize, size_t valuesPerLine);
