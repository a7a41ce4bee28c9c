// The nine user-interface languages and the choice of one from a Windows LANGID.
#pragma once

#include <cstdint>

// Language index: the column order of both text tables.
enum LanguageIndex : int {
  kLangEnglish = 0,
  kLangSimplifiedChinese = 1,
  kLangFrench = 2,
  kLangJapanese = 3,
  kLangSpanish = 4,
  kLangGerman = 5,
  kLangPortuguese = 6,
  kLangPolish = 7,
  kLangTraditionalChinese = 8,
};
constexpr int kLanguageCount = 9;

// The index of a LANGID on the program's own list (the whole 16 bits compared);
// -1 for a LANGID the list does not name.
int LookupLanguageIndex(uint16_t langId);

// The index to use for any LANGID: the list first; otherwise the language of the
// same primary language (Chinese by script and region), otherwise English.
int LanguageIndexFromLangId(uint16_t langId);

// The POSIX locale name of a language ("zh_CN", "fr", ...): the window system's own texts
// (standard buttons, the folder browser) are loaded for it. Portuguese is Brazil's, the
// Portuguese the window system's translations hold. A bad index gives English's.
const char* LanguageLocaleName(int languageIndex);

// A valid index for table lookups: anything outside 0..8 becomes English.
inline int ClampLanguageIndex(int languageIndex) {
  return languageIndex >= 0 && languageIndex < kLanguageCount ? languageIndex : kLangEnglish;
}
