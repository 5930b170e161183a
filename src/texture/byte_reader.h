// CByteReader: big-endian fields read from a span of bytes. Every read checks
// the bytes that are left first, so a short header or body is reported as a
// failed read instead of being read past its end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <span>

class CByteReader {
 public:
  explicit CByteReader(std::span<const uint8_t> bytes) : m_bytes(bytes) {}

  /// Reads a 32-bit big-endian field: 00 12 03 00 -> 0x00120300. False, and
  /// nothing consumed, when fewer than 4 bytes are left.
  bool ReadU32(uint32_t& value) {
    if (GetRemaining() < 4) return false;
    const uint8_t* p = m_bytes.data() + m_offset;
    value = (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
            (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
    m_offset += 4;
    return true;
  }

  /// Reads a signed 32-bit big-endian field (two's complement):
  /// ff ff ff ff -> -1. False, nothing consumed, when fewer than 4 bytes are left.
  bool ReadI32(int32_t& value) {
    uint32_t raw = 0;
    if (!ReadU32(raw)) return false;
    value = static_cast<int32_t>(raw);
    return true;
  }

  /// Reads a 16-bit big-endian field: 12 34 -> 0x1234. False, nothing
  /// consumed, when fewer than 2 bytes are left.
  bool ReadU16(uint16_t& value) {
    if (GetRemaining() < 2) return false;
    const uint8_t* p = m_bytes.data() + m_offset;
    value = static_cast<uint16_t>((p[0] << 8) | p[1]);
    m_offset += 2;
    return true;
  }

  /// Passes over `count` bytes; false, nothing consumed, when fewer are left.
  bool Skip(size_t count) {
    if (GetRemaining() < count) return false;
    m_offset += count;
    return true;
  }

  size_t GetRemaining() const { return m_bytes.size() - m_offset; }

 private:
  std::span<const uint8_t> m_bytes;
  size_t m_offset = 0;
};

/// Reads up to `out.size()` bytes from `in` into `out`; returns how many
/// arrived (fewer at the end of the file or on a read error).
inline size_t ReadBlock(std::istream& in, std::span<uint8_t> out) {
  if (out.empty()) return 0;
  in.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(out.size()));
  return static_cast<size_t>(in.gcount());
}
