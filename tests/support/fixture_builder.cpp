#include "support/fixture_builder.h"

namespace testing_support {

std::string MakeCountingTmf(int32_t width, int32_t height, int32_t bits) {
  const uint64_t packed = (TmfRowBytes(width, bits) * static_cast<uint64_t>(height) + 3) / 4 * 4;
  std::string body(packed, '\0');
  for (size_t i = 0; i < packed; ++i) body[i] = static_cast<char>(i & 0xff);
  return EncodeTmfFile({TmfTagFor(bits), width, height, bits}, body);
}

std::string MakeTlf(const std::vector<uint16_t>& entries, uint32_t type) {
  std::string body;
  for (uint16_t entry : entries) {
    body.push_back(static_cast<char>(entry >> 8));
    body.push_back(static_cast<char>(entry & 0xff));
  }
  const auto count = static_cast<int32_t>(entries.size());
  return EncodeTlfFile({TlfTagFor(count), count, type}, body);
}

std::string MakeSimpleTlf(int32_t count, uint16_t seed) {
  std::vector<uint16_t> entries;
  for (int32_t i = 0; i < count; ++i) entries.push_back(static_cast<uint16_t>(seed + i));
  return MakeTlf(entries);
}

FixtureFields ReadFixtureFields(std::istream& words, FixtureFields fields) {
  for (std::string word; words >> word;)
    fields[word.substr(0, word.find('='))] =
        std::stoll(word.substr(word.find('=') + 1), nullptr, 0);
  return fields;
}

std::string AddFixtureBody(std::string header, FixtureFields& fields) {
  for (long long i = 0; i < fields["body"]; ++i) header.push_back(static_cast<char>(i + 1));
  if (fields.count("size") != 0) header.resize(static_cast<size_t>(fields["size"]), '\0');
  return header;
}

}  // namespace testing_support
