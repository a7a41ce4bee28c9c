// LANGID to language index: the named list, the fallbacks, and lookups that stay in the table.
#include <gtest/gtest.h>

#include <climits>

#include "i18n/lang_text_table.h"
#include "i18n/language.h"

namespace {

TEST(LanguageIndexTest, NamedLangIdsPickTheirLanguage) {
  EXPECT_EQ(LanguageIndexFromLangId(0x0804), kLangSimplifiedChinese);
  EXPECT_EQ(LanguageIndexFromLangId(0x0404), kLangTraditionalChinese);
  EXPECT_EQ(LanguageIndexFromLangId(0x0415), kLangPolish);
  EXPECT_EQ(LanguageIndexFromLangId(0x0411), kLangJapanese);
  // Both sort orders of Spanish (Spain), both Portuguese regions.
  EXPECT_EQ(LanguageIndexFromLangId(0x040A), kLangSpanish);
  EXPECT_EQ(LanguageIndexFromLangId(0x0C0A), kLangSpanish);
  EXPECT_EQ(LanguageIndexFromLangId(0x0816), kLangPortuguese);
  EXPECT_EQ(LanguageIndexFromLangId(0x0416), kLangPortuguese);
  EXPECT_EQ(LanguageIndexFromLangId(0x0C0C), kLangFrench);
  EXPECT_EQ(LanguageIndexFromLangId(0x1407), kLangGerman);
  for (uint16_t english : {0x0409, 0x0809, 0x0C09, 0x1009, 0x1409, 0x1809, 0x1C09, 0x2009, 0x2409,
                           0x2809, 0x2C09, 0x3009, 0x3409}) {
    EXPECT_EQ(LookupLanguageIndex(english), kLangEnglish) << std::hex << english;
  }
}

// The list compares whole LANGIDs: regions it does not name are not on it.
TEST(LanguageIndexTest, ListMatchesWholeLangIdsOnly) {
  for (uint16_t unlisted :
       {0x0C04, 0x1004, 0x1404, 0x7C04, 0x4009, 0x540A, 0x0419, 0x0016, 0x0000}) {
    EXPECT_EQ(LookupLanguageIndex(unlisted), -1) << std::hex << unlisted;
  }
}

// Every listed LANGID belongs to its index's language, and the list has the
// expected number of regions per language: catches a mistyped LANGID.
TEST(LanguageIndexTest, ListIsConsistentWithPrimaryLanguages) {
  const uint16_t primaryOf[kLanguageCount] = {0x09, 0x04, 0x0C, 0x11, 0x0A, 0x07, 0x16, 0x15, 0x04};
  const int expectedCount[kLanguageCount] = {13, 1, 6, 1, 20, 5, 2, 1, 1};
  int count[kLanguageCount] = {};
  int listed = 0;
  for (uint32_t id = 0; id <= 0xFFFF; ++id) {
    const int index = LookupLanguageIndex(static_cast<uint16_t>(id));
    if (index < 0) continue;
    ASSERT_LT(index, kLanguageCount);
    ++listed;
    ++count[index];
    EXPECT_EQ(id & 0x3FF, primaryOf[index]) << std::hex << id;
    EXPECT_EQ(LanguageIndexFromLangId(static_cast<uint16_t>(id)), index);
  }
  EXPECT_EQ(listed, 50);
  for (int i = 0; i < kLanguageCount; ++i) EXPECT_EQ(count[i], expectedCount[i]) << i;
}

TEST(LanguageIndexTest, UnlistedRegionsFallBackToTheirLanguage) {
  EXPECT_EQ(LanguageIndexFromLangId(0x0C04), kLangTraditionalChinese);  // Hong Kong
  EXPECT_EQ(LanguageIndexFromLangId(0x1404), kLangTraditionalChinese);  // Macau
  EXPECT_EQ(LanguageIndexFromLangId(0x7C04), kLangTraditionalChinese);  // Traditional script
  EXPECT_EQ(LanguageIndexFromLangId(0x1004), kLangSimplifiedChinese);   // Singapore
  EXPECT_EQ(LanguageIndexFromLangId(0x0004), kLangSimplifiedChinese);   // Simplified script
  EXPECT_EQ(LanguageIndexFromLangId(0x4009), kLangEnglish);             // India
  EXPECT_EQ(LanguageIndexFromLangId(0x540A), kLangSpanish);             // United States
  EXPECT_EQ(LanguageIndexFromLangId(0x0016), kLangPortuguese);          // no region
  EXPECT_EQ(LanguageIndexFromLangId(0x200C), kLangFrench);              // Réunion
  EXPECT_EQ(LanguageIndexFromLangId(0x0007), kLangGerman);
}

TEST(LanguageIndexTest, OtherLanguagesAndOddValuesReadEnglish) {
  EXPECT_EQ(LanguageIndexFromLangId(0x0419), kLangEnglish);  // Russian
  EXPECT_EQ(LanguageIndexFromLangId(0x0412), kLangEnglish);  // Korean
  EXPECT_EQ(LanguageIndexFromLangId(0x0000), kLangEnglish);
  EXPECT_EQ(LanguageIndexFromLangId(0xFFFF), kLangEnglish);
  for (uint32_t id = 0; id <= 0xFFFF; ++id) {
    const int index = LanguageIndexFromLangId(static_cast<uint16_t>(id));
    ASSERT_TRUE(index >= 0 && index < kLanguageCount) << std::hex << id;
  }
}

TEST(LanguageIndexTest, TextLookupNeverLeavesTheTable) {
  EXPECT_STREQ(LangText(TXT_CANCEL, -1), "Cancel");
  EXPECT_STREQ(LangText(TXT_CANCEL, kLanguageCount), "Cancel");
  EXPECT_STREQ(LangText(TXT_CANCEL, INT_MIN), "Cancel");
  EXPECT_STREQ(LangText(TXT_CANCEL, INT_MAX), "Cancel");
  EXPECT_STREQ(LangText(static_cast<TextId>(TXT_COUNT), kLangFrench), "");
  EXPECT_STREQ(LangText(static_cast<TextId>(-1), kLangFrench), "");
  EXPECT_STREQ(LangText(TXT_CANCEL, kLangPolish), "anulacja");
  EXPECT_STREQ(LangText(TXT_OK, kLangPolish), "konfirmacja");
}

}  // namespace
