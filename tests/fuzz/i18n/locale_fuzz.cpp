// Any environment: the locale reader returns one of its values, the mapping a valid language.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "i18n/language.h"
#include "i18n/ui_locale.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);

  const uint16_t langId = LangIdFromLocale(input);
  const int index = LanguageIndexFromLangId(langId);
  if (index < 0 || index >= kLanguageCount) std::abort();

  // The input split at NUL bytes gives LANGUAGE, LC_ALL, LC_MESSAGES and LANG.
  std::vector<std::string> values(4);
  size_t field = 0;
  for (char c : input) {
    if (c == '\0') {
      if (++field == values.size()) break;
    } else {
      values[field] += c;
    }
  }
  const char* names[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
  const std::string locale = UiLocaleFromEnvironment([&](const char* name) -> const char* {
    for (size_t i = 0; i < values.size(); ++i) {
      if (std::string(name) == names[i]) return values[i].c_str();
    }
    return nullptr;
  });
  const bool fromLocaleVariable = locale == values[1] || locale == values[2] || locale == values[3];
  const bool fromLanguageList = !locale.empty() && values[0].find(locale) != std::string::npos &&
                                locale.find(':') == std::string::npos;
  if (!fromLocaleVariable && !fromLanguageList) std::abort();
  LangIdFromLocale(locale);
  return 0;
}
