#include "texture/c_array_text.h"

#include <array>
#include <cstring>
#include <vector>

namespace {

// Between the declarator and " = {", so that GNU compilers place the data on
// an 8-byte boundary for the target's texture loads.
constexpr std::string_view kAlignBlock =
    "\n#ifdef __GNUC__\n __attribute__((aligned (8)))\n#endif\n";

using HexQuad = std::array<char, 4>;

// The four lower-case hex digits of every 16-bit value, built on first use:
// two bytes take one lookup, so a 32-bit value costs two loads and no
// arithmetic per digit. 256 KiB, small beside the text of one image.
const HexQuad* HexQuads() {
  static const std::vector<HexQuad> quads = [] {
    constexpr std::string_view kDigits = "0123456789abcdef";
    std::vector<HexQuad> table(65536);
    for (size_t value = 0; value < table.size(); ++value)
      table[value] = {kDigits[value >> 12], kDigits[(value >> 8) & 0xf],
                      kDigits[(value >> 4) & 0xf], kDigits[value & 0xf]};
    return table;
  }();
  return quads.data();
}

template <int kSize>
char* PutValue(char* out, const uint8_t* value, const HexQuad* quads) {
  // All bytes are read before anything is written: the output is char and
  // may alias the input as far as the compiler knows.
  std::array<uint8_t, kSize> bytes;
  std::memcpy(bytes.data(), value, kSize);
  out[0] = '0';
  out[1] = 'x';
  std::array<HexQuad, kSize / 2> digits;
  for (size_t i = 0; i < digits.size(); ++i)
    digits[i] = quads[(bytes[2 * i] << 8) | bytes[2 * i + 1]];
  std::memcpy(out + 2, digits.data(), 2 * kSize);
  out[2 + 2 * kSize] = ',';
  return out + 3 + 2 * kSize;
}

// Writes `lines` full lines and returns the input behind them. A line of
// 16 bytes (kPerLine known when compiled) is unrolled; kPerLine 0 takes
// `perLine` at run time.
template <int kSize, size_t kPerLine>
const uint8_t* PutFullLines(char*& out, const uint8_t* in, size_t lines, size_t perLine,
                            const HexQuad* quads) {
  if constexpr (kPerLine != 0) perLine = kPerLine;
  for (size_t line = 0; line < lines; ++line) {
    *out++ = '\t';
    for (size_t i = 0; i < perLine; ++i, in += kSize) out = PutValue<kSize>(out, in, quads);
    *out++ = '\n';
  }
  return in;
}

// Writes every value into `out`, which has room for exactly HexLinesSize
// characters: the full lines first, then a last, shorter one.
template <int kSize>
void PutHexLines(char* out, std::span<const uint8_t> bytes, size_t valuesPerLine) {
  const HexQuad* quads = HexQuads();
  const size_t wholeValues = bytes.size() / kSize;
  const size_t lines = wholeValues / valuesPerLine;
  const uint8_t* in =
      valuesPerLine == 16 / kSize
          ? PutFullLines<kSize, 16 / kSize>(out, bytes.data(), lines, valuesPerLine, quads)
          : PutFullLines<kSize, 0>(out, bytes.data(), lines, valuesPerLine, quads);
  const size_t restValues = wholeValues % valuesPerLine;
  const size_t tailBytes = bytes.size() % kSize;
  if (restValues == 0 && tailBytes == 0) return;
  *out++ = '\t';
  for (size_t i = 0; i < restValues; ++i, in += kSize) out = PutValue<kSize>(out, in, quads);
  if (tailBytes != 0) {
    // The bytes of the last value that the data does not supply are zero,
    // never whatever lies behind the buffer.
    std::array<uint8_t, kSize> last{};
    std::memcpy(last.data(), in, tailBytes);
    out = PutValue<kSize>(out, last.data(), quads);
  }
  // The tail value never overflows the line: fewer than valuesPerLine
  // values came before it.
  *out = '\n';
}

}  // namespace

void AppendDefinitionOpen(std::string& text, std::string_view declarator) {
  text += "static ";
  text += declarator;
  text += kAlignBlock;
  text += " = {\n";
}

size_t HexLinesSize(size_t byteCount, int32_t elementSize, size_t valuesPerLine) {
  if ((elementSize != 2 && elementSize != 4) || valuesPerLine == 0) return 0;
  const auto size = static_cast<size_t>(elementSize);
  const size_t values = (byteCount + size - 1) / size;
  const size_t lines = (values + valuesPerLine - 1) / valuesPerLine;
  // "0x", two digits a byte and a comma per value; a tab and a newline per line.
  return values * (3 + 2 * size) + lines * 2;
}

void AppendHexLines(std::string& text, std::span<const uint8_t> bytes, int32_t elementSize,
                    size_t valuesPerLine) {
  const size_t added = HexLinesSize(bytes.size(), elementSize, valuesPerLine);
  if (added == 0) return;
  const size_t start = text.size();
  text.resize(start + added);
  char* out = text.data() + start;
  if (elementSize == 2) PutHexLines<2>(out, bytes, valuesPerLine);
  if (elementSize == 4) PutHexLines<4>(out, bytes, valuesPerLine);
}

void AppendStaticArray(std::string& text, std::string_view type, std::string_view name,
                       std::span<const uint8_t> bytes, int32_t elementSize, size_t valuesPerLine) {
  std::string declarator(type);
  declarator += ' ';
  declarator += name;
  declarator += "[]";
  text.reserve(text.size() + declarator.size() + kAlignBlock.size() + 20 +
               HexLinesSize(bytes.size(), elementSize, valuesPerLine));
  AppendDefinitionOpen(text, declarator);
  AppendHexLines(text, bytes, elementSize, valuesPerLine);
  text += "};\n\n";
}
