// Reading unsigned numbers back from edit boxes, and the range prompt's placeholders.
#include "i18n/dialog_data_exchange.h"

#include <gtest/gtest.h>

#include "res/prompt_strings.h"

namespace {

TEST(ParseUnsignedTest, DigitsOnlyUpToTheLargest32BitNumber) {
  uint32_t v = 7;
  EXPECT_EQ(ParseUnsigned("0", v), UnsignedParse::Ok);
  EXPECT_EQ(v, 0u);
  EXPECT_EQ(ParseUnsigned("  042 ", v), UnsignedParse::Ok);
  EXPECT_EQ(v, 42u);
  EXPECT_EQ(ParseUnsigned("4294967295", v), UnsignedParse::Ok);
  EXPECT_EQ(v, 4294967295u);
  EXPECT_EQ(ParseUnsigned("00000000004294967295", v), UnsignedParse::Ok);
  EXPECT_EQ(v, 4294967295u);

  v = 7;
  for (const char* bad : {"", "   ", "+5", "-0", "1 2", "12a", "0x10", "１２"}) {
    EXPECT_EQ(ParseUnsigned(bad, v), UnsignedParse::NotANumber) << bad;
  }
  EXPECT_EQ(ParseUnsigned("4294967296", v), UnsignedParse::TooLarge);
  EXPECT_EQ(ParseUnsigned("123456789012345678901234567890", v), UnsignedParse::TooLarge);
  EXPECT_EQ(v, 7u);  // untouched by every failure
}

TEST(RangePromptTest, FillsBothPlaceholders) {
  EXPECT_EQ(FormatRangePrompt(1, 60), "请输入一个在 1 和 60 之间的整数。");
  EXPECT_EQ(FormatRangePrompt(0, 4294967295u), "请输入一个在 0 和 4294967295 之间的整数。");
}

}  // namespace
