// The C text shared by images and palettes: storage words, declaration
// prefixes, the alignment block and the hex lines of an initialised array.
// The hex lines of a 512 KiB image are about 1.5 MB, so they are written from
// a digit table straight into the caller's text, never value by value
// through a printf-style call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

/// The word that opens a declaration: 0 -> "extern ", 1 -> "static ",
/// anything else -> "".
std::string_view StorageWord(int32_t storage);

/// The C type of an array element of `elementSize` bytes: 1 -> "u8",
/// 2 -> "u16", 4 -> "u32"; empty for every other size (3 included: no
/// 24-bit type exists on the target).
std::string_view ElementTypeName(int32_t elementSize);

/// Storage word, "const " when `isConst`, then `declarator`:
/// (0, true, "u16 tlf01[]") -> "extern const u16 tlf01[]".
std::string MakeDeclPrefix(int32_t storage, bool isConst, std::string_view declarator);

/// Appends the opening of a definition: `prefix`, the alignment block when
/// `isAligned`, then " = {\n".
/// ("static u32 a[]", false) -> "static u32 a[] = {\n".
void AppendDefinitionOpen(std::string& text, std::string_view prefix, bool isAligned);

/// Appends the declaration "`prefix`;\n" to `declText` unless `storage` is
/// 1: a static object is invisible outside its file and needs none.
void AppendDeclaration(std::string& declText, int32_t storage, std::string_view prefix);

/// The number of characters AppendHexLines appends for the same arguments,
/// so that callers can reserve their text once.
size_t HexLinesSize(size_t byteCount, int32_t elementSize, size_t valuesPerLine);

/// Appends `bytes` as lower-case hex values of `elementSize` bytes (1, 2 or
/// 4, read big-endian, zero-filled to 2, 4 or 8 digits, each followed by a
/// comma), `valuesPerLine` to a line, each line opened by a tab and closed by
/// a newline. A last value that runs past the end of `bytes` takes zero for
/// the missing bytes. Other element sizes append nothing.
/// {12 34 56}, size 2, 8 per line -> "\t0x1234,0x5600,\n".
void AppendHexLines(std::string& text, std::span<const uint8_t> bytes, int32_t elementSize,
                    size_t valuesPerLine);

/// How an array is declared and laid out.
struct CArrayForm {
  int32_t storage = 1;
  bool isConst = false;
  bool isAligned = false;
  int32_t elementSize = 1;
  size_t valuesPerLine = 16;
};

/// Appends the whole initialised array `name` of `bytes` in `form`: the
/// definition to `defText`, and its declaration to `declText` unless the
/// storage is static. False, nothing appended, when the element size has no
/// C type.
/// ({1, false, false, 2, 8}, "p", {12 34}) -> defText "static u16 p[] = {\n\t0x1234,\n};\n\n".
bool AppendCArray(std::string& declText, std::string& defText, const CArrayForm& form,
                  const std::string& name, std::span<const uint8_t> bytes);
