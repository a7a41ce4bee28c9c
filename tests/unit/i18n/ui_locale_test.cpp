// Reading the message locale from the environment and mapping it to a LANGID.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "i18n/language.h"
#include "i18n/ui_locale.h"

namespace {

struct LocaleCase {
  const char* locale;
  uint16_t langId;
};

TEST(LangIdFromLocaleTest, RegionalLocales) {
  const LocaleCase cases[] = {
      {"fr_FR.UTF-8", 0x040C}, {"zh_CN.UTF-8", 0x0804},  {"zh_TW", 0x0404},
      {"zh_HK.UTF-8", 0x0C04}, {"zh_SG.GB2312", 0x1004}, {"zh_MO", 0x1404},
      {"pt_BR", 0x0416},       {"pt_PT.UTF-8", 0x0816},  {"en_IN", 0x4009},
      {"es_US.UTF-8", 0x540A}, {"es_ES", 0x0C0A},        {"es_MX", 0x080A},
      {"pl_PL.UTF-8", 0x0415}, {"ja_JP.eucJP", 0x0411},  {"de_DE@euro", 0x0407},
      {"de_AT.UTF-8", 0x0C07}, {"ru_RU.KOI8-R", 0x0419}, {"en_GB.UTF-8", 0x0809},
      {"fr_CA", 0x0C0C},       {"ko_KR.UTF-8", 0x0412},  {"ca_ES.UTF-8@valencia", 0x0403},
      {"sr_RS", 0x281A},       {"sr_RS@latin", 0x241A},  {"uz_UZ.UTF-8@cyrillic", 0x0843},
      {"es_419", 0x580A},      {"FR_fr", 0x040C},        {"pt-BR", 0x0416},
      {"zh-Hant-TW", 0x0404},
  };
  for (const LocaleCase& c : cases) {
    EXPECT_EQ(LangIdFromLocale(c.locale), c.langId) << c.locale;
  }
}

TEST(LangIdFromLocaleTest, LanguageWithoutRegionGivesItsUsualLangId) {
  EXPECT_EQ(LangIdFromLocale("fr"), 0x040C);
  EXPECT_EQ(LangIdFromLocale("ru"), 0x0419);
  EXPECT_EQ(LangIdFromLocale("de.UTF-8"), 0x0407);
  EXPECT_EQ(LangIdFromLocale("ja"), 0x0411);
  EXPECT_EQ(LangIdFromLocale("en"), 0x0409);
  EXPECT_EQ(LangIdFromLocale("zh"), 0x0804);
  EXPECT_EQ(LangIdFromLocale("zh_Hant"), 0x7C04);
  EXPECT_EQ(LangIdFromLocale("zh_Hans"), 0x0804);
  EXPECT_EQ(LanguageIndexFromLangId(LangIdFromLocale("pt")), kLangPortuguese);
  EXPECT_EQ(LanguageIndexFromLangId(LangIdFromLocale("es")), kLangSpanish);
}

TEST(LangIdFromLocaleTest, UnknownRegionKeepsTheLanguage) {
  EXPECT_EQ(LangIdFromLocale("pt_AO") & 0x3FF, 0x16);
  EXPECT_EQ(LangIdFromLocale("de_BE.UTF-8") & 0x3FF, 0x07);
  EXPECT_EQ(LangIdFromLocale("ru_UA") & 0x3FF, 0x19);
  EXPECT_EQ(LanguageIndexFromLangId(LangIdFromLocale("zh_XX")), kLangSimplifiedChinese);
  EXPECT_EQ(LanguageIndexFromLangId(LangIdFromLocale("zh_Hant_XX")), kLangTraditionalChinese);
}

TEST(LangIdFromLocaleTest, NoLanguageMeansUsEnglish) {
  for (const char* locale : {"", "C", "POSIX", "C.UTF-8", "C.utf8", "klingon", "xx_YY", "x", "_",
                             ".", "@", "_US", "12_34", "en\xff"}) {
    EXPECT_EQ(LangIdFromLocale(locale), 0x0409) << locale;
  }
}

// The language a user of each locale sees, the whole way from the name.
TEST(LangIdFromLocaleTest, LocalesReachTheExpectedLanguage) {
  const std::pair<const char*, int> cases[] = {
      {"fr_FR.UTF-8", kLangFrench},
      {"zh_CN.UTF-8", kLangSimplifiedChinese},
      {"pl_PL.UTF-8", kLangPolish},
      {"zh_HK.UTF-8", kLangTraditionalChinese},
      {"zh_MO", kLangTraditionalChinese},
      {"zh_TW.Big5", kLangTraditionalChinese},
      {"zh_SG", kLangSimplifiedChinese},
      {"en_IN", kLangEnglish},
      {"es_US", kLangSpanish},
      {"es_AR", kLangSpanish},
      {"pt_AO", kLangPortuguese},
      {"de_CH", kLangGerman},
      {"fr_SN", kLangFrench},
      {"ja_JP.UTF-8", kLangJapanese},
      {"ru_RU.UTF-8", kLangEnglish},
      {"C", kLangEnglish},
  };
  for (const auto& [locale, index] : cases) {
    EXPECT_EQ(LanguageIndexFromLangId(LangIdFromLocale(locale)), index) << locale;
  }
}

class UiLocaleTest : public ::testing::Test {
 protected:
  std::string Read() {
    return UiLocaleFromEnvironment([this](const char* name) -> const char* {
      auto it = env_.find(name);
      return it == env_.end() ? nullptr : it->second.c_str();
    });
  }
  std::map<std::string, std::string> env_;
};

TEST_F(UiLocaleTest, LocaleVariablesInGettextOrder) {
  EXPECT_EQ(Read(), "");
  env_["LANG"] = "fr_FR.UTF-8";
  EXPECT_EQ(Read(), "fr_FR.UTF-8");
  env_["LC_MESSAGES"] = "ja_JP.UTF-8";
  EXPECT_EQ(Read(), "ja_JP.UTF-8");
  env_["LC_ALL"] = "";  // set but empty does not count
  EXPECT_EQ(Read(), "ja_JP.UTF-8");
  env_["LC_ALL"] = "pl_PL.UTF-8";
  EXPECT_EQ(Read(), "pl_PL.UTF-8");
}

TEST_F(UiLocaleTest, LanguageListTakesItsFirstEntry) {
  env_["LANG"] = "fr_FR.UTF-8";
  env_["LANGUAGE"] = "de_DE:fr";
  EXPECT_EQ(Read(), "de_DE");
  env_["LANGUAGE"] = "::zh_TW:en";
  EXPECT_EQ(Read(), "zh_TW");
  env_["LANGUAGE"] = ":";
  EXPECT_EQ(Read(), "fr_FR.UTF-8");
  env_["LANGUAGE"] = "";
  EXPECT_EQ(Read(), "fr_FR.UTF-8");
}

TEST_F(UiLocaleTest, LanguageListIgnoredInTheCLocale) {
  env_["LANGUAGE"] = "de";
  EXPECT_EQ(Read(), "");  // no locale at all is the C locale
  env_["LANG"] = "C";
  EXPECT_EQ(Read(), "C");
  env_["LANG"] = "fr_FR.UTF-8";
  env_["LC_ALL"] = "POSIX";
  EXPECT_EQ(Read(), "POSIX");
  env_["LC_ALL"] = "C.UTF-8";  // a real locale for gettext: the list counts
  EXPECT_EQ(Read(), "de");
  EXPECT_EQ(LangIdFromLocale(Read()), 0x0407);
}

TEST(UiLocaleNoEnvironmentTest, MissingReaderMeansNoLocale) {
  EXPECT_EQ(UiLocaleFromEnvironment(nullptr), "");
  EXPECT_EQ(LangIdFromLocale(UiLocaleFromEnvironment(nullptr)), 0x0409);
}

}  // namespace
