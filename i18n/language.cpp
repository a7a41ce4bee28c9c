// LANGID to language index.
#include "i18n/language.h"

namespace {

struct ListedLangId {
  uint16_t langId;
  int8_t index;
};

// The LANGIDs the program knows by name, whole LANGIDs only.
constexpr ListedLangId kListed[] = {
    {0x0409, kLangEnglish},  // en-US
    {0x0809, kLangEnglish},  // en-GB
    {0x0C09, kLangEnglish},  // en-AU
    {0x1009, kLangEnglish},  // en-CA
    {0x1409, kLangEnglish},  // en-NZ
    {0x1809, kLangEnglish},  // en-IE
    {0x1C09, kLangEnglish},  // en-ZA
    {0x2009, kLangEnglish},  // en-JM
    {0x2409, kLangEnglish},  // English, Caribbean
    {0x2809, kLangEnglish},  // en-BZ
    {0x2C09, kLangEnglish},  // en-TT
    {0x3009, kLangEnglish},  // en-ZW
    {0x3409, kLangEnglish},  // en-PH

    {0x0804, kLangSimplifiedChinese},  // zh-CN

    {0x040C, kLangFrench},  // fr-FR
    {0x080C, kLangFrench},  // fr-BE
    {0x0C0C, kLangFrench},  // fr-CA
    {0x100C, kLangFrench},  // fr-CH
    {0x140C, kLangFrench},  // fr-LU
    {0x180C, kLangFrench},  // fr-MC

    {0x0411, kLangJapanese},  // ja-JP

    {0x040A, kLangSpanish},  // es-ES, traditional sort
    {0x080A, kLangSpanish},  // es-MX
    {0x0C0A, kLangSpanish},  // es-ES, modern sort
    {0x100A, kLangSpanish},  // es-GT
    {0x140A, kLangSpanish},  // es-CR
    {0x180A, kLangSpanish},  // es-PA
    {0x1C0A, kLangSpanish},  // es-DO
    {0x200A, kLangSpanish},  // es-VE
    {0x240A, kLangSpanish},  // es-CO
    {0x280A, kLangSpanish},  // es-PE
    {0x2C0A, kLangSpanish},  // es-AR
    {0x300A, kLangSpanish},  // es-EC
    {0x340A, kLangSpanish},  // es-CL
    {0x380A, kLangSpanish},  // es-UY
    {0x3C0A, kLangSpanish},  // es-PY
    {0x400A, kLangSpanish},  // es-BO
    {0x440A, kLangSpanish},  // es-SV
    {0x480A, kLangSpanish},  // es-HN
    {0x4C0A, kLangSpanish},  // es-NI
    {0x500A, kLangSpanish},  // es-PR

    {0x0407, kLangGerman},  // de-DE
    {0x0807, kLangGerman},  // de-CH
    {0x0C07, kLangGerman},  // de-AT
    {0x1007, kLangGerman},  // de-LU
    {0x1407, kLangGerman},  // de-LI

    {0x0416, kLangPortuguese},  // pt-BR
    {0x0816, kLangPortuguese},  // pt-PT

    {0x0415, kLangPolish},  // pl-PL

    {0x0404, kLangTraditionalChinese},  // zh-TW
};
static_assert(sizeof(kListed) / sizeof(kListed[0]) == 50, "the list names 50 LANGIDs");

constexpr uint16_t kPrimaryChinese = 0x04;

// Chinese outside the list: Hong Kong, Macau and the Traditional script read
// Traditional Chinese; Singapore, the Simplified script and anything else Simplified.
int ChineseIndex(uint16_t subLanguage) {
  switch (subLanguage) {
    case 0x01:  // Taiwan
    case 0x03:  // Hong Kong
    case 0x05:  // Macau
    case 0x1F:  // Traditional script, no region (0x7C04)
      return kLangTraditionalChinese;
    default:  // PRC, Singapore, the Simplified script (0x0004)
      return kLangSimplifiedChinese;
  }
}

}  // namespace

int LookupLanguageIndex(uint16_t langId) {
  for (const ListedLangId& entry : kListed) {
    if (entry.langId == langId) return entry.index;
  }
  return -1;
}

int LanguageIndexFromLangId(uint16_t langId) {
  const int listed = LookupLanguageIndex(langId);
  if (listed >= 0) return listed;

  const uint16_t primary = langId & 0x3FF;
  const uint16_t subLanguage = langId >> 10;
  switch (primary) {
    case kPrimaryChinese:
      return ChineseIndex(subLanguage);
    case 0x09:
      return kLangEnglish;
    case 0x0C:
      return kLangFrench;
    case 0x11:
      return kLangJapanese;
    case 0x0A:
      return kLangSpanish;
    case 0x07:
      return kLangGerman;
    case 0x16:
      return kLangPortuguese;
    case 0x15:
      return kLangPolish;
    default:
      return kLangEnglish;
  }
}

const char* LanguageLocaleName(int languageIndex) {
  static constexpr const char* kNames[kLanguageCount] = {"en", "zh_CN", "fr", "ja",   "es",
                                                         "de", "pt_BR", "pl", "zh_TW"};
  return kNames[ClampLanguageIndex(languageIndex)];
}
