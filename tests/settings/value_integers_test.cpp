#include "settings/value_integers.h"

#include <gtest/gtest.h>

#include <string>

TEST(ValueIntegersTest, StreamRule) {
  std::string read;
  // The last three hold 15, 16 and 16 characters; only the first 15 count.
  for (const char* text :
       {"010", "08", "0x1A", "  -12 frames", "+7", "walk", "0xg", " 123456789012345",
        "-00000000000012", "-000000000000012", "0x0000000000001F"}) {
    read.append(std::to_string(ReadStreamInt(text))).append(" ");
  }
  EXPECT_EQ(read, "8 0 26 -12 7 0 0 2147483647 -10 -1 1 ");
}

TEST(ValueIntegersTest, PercentIRule) {
  std::string read;
  for (const char* text : {" 0x1f", "010", "-3,rest", "99999999999999999999",
                           "-99999999999999999999", "", "ten", "-", " - 5"}) {
    int value = 42;  // kept when the text holds no number
    if (!ScanInt(text, value)) read += "!";
    read.append(std::to_string(value)).append(" ");
  }
  EXPECT_EQ(read, "31 8 -3 2147483647 -2147483648 !42 !42 !42 !42 ");
}
