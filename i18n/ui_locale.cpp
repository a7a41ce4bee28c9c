// POSIX locale names to Windows LANGIDs.
#include "i18n/ui_locale.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

constexpr uint16_t kEnglishUs = 0x0409;

struct LocaleLangId {
  const char* language;  // "sr-Latn" for a language written in a given script
  const char* region;    // "" for a script's own LANGID
  uint16_t langId;
};

// The first row of each language is its usual LANGID.
constexpr LocaleLangId kLocales[] = {
    {"en", "US", 0x0409},      {"en", "GB", 0x0809},      {"en", "AU", 0x0C09},
    {"en", "CA", 0x1009},      {"en", "NZ", 0x1409},      {"en", "IE", 0x1809},
    {"en", "ZA", 0x1C09},      {"en", "JM", 0x2009},      {"en", "BZ", 0x2809},
    {"en", "TT", 0x2C09},      {"en", "ZW", 0x3009},      {"en", "PH", 0x3409},
    {"en", "ID", 0x3809},      {"en", "HK", 0x3C09},      {"en", "IN", 0x4009},
    {"en", "MY", 0x4409},      {"en", "SG", 0x4809},

    {"zh", "CN", 0x0804},      {"zh", "TW", 0x0404},      {"zh", "HK", 0x0C04},
    {"zh", "SG", 0x1004},      {"zh", "MO", 0x1404},      {"zh-Hans", "", 0x0804},
    {"zh-Hant", "", 0x7C04},

    {"fr", "FR", 0x040C},      {"fr", "BE", 0x080C},      {"fr", "CA", 0x0C0C},
    {"fr", "CH", 0x100C},      {"fr", "LU", 0x140C},      {"fr", "MC", 0x180C},
    {"fr", "RE", 0x200C},      {"fr", "CD", 0x240C},      {"fr", "SN", 0x280C},
    {"fr", "CM", 0x2C0C},      {"fr", "CI", 0x300C},      {"fr", "ML", 0x340C},
    {"fr", "MA", 0x380C},      {"fr", "HT", 0x3C0C},

    {"ja", "JP", 0x0411},

    {"es", "ES", 0x0C0A},      {"es", "MX", 0x080A},      {"es", "GT", 0x100A},
    {"es", "CR", 0x140A},      {"es", "PA", 0x180A},      {"es", "DO", 0x1C0A},
    {"es", "VE", 0x200A},      {"es", "CO", 0x240A},      {"es", "PE", 0x280A},
    {"es", "AR", 0x2C0A},      {"es", "EC", 0x300A},      {"es", "CL", 0x340A},
    {"es", "UY", 0x380A},      {"es", "PY", 0x3C0A},      {"es", "BO", 0x400A},
    {"es", "SV", 0x440A},      {"es", "HN", 0x480A},      {"es", "NI", 0x4C0A},
    {"es", "PR", 0x500A},      {"es", "US", 0x540A},      {"es", "419", 0x580A},
    {"es", "CU", 0x5C0A},

    {"de", "DE", 0x0407},      {"de", "CH", 0x0807},      {"de", "AT", 0x0C07},
    {"de", "LU", 0x1007},      {"de", "LI", 0x1407},

    {"pt", "BR", 0x0416},      {"pt", "PT", 0x0816},

    {"pl", "PL", 0x0415},

    {"ar", "SA", 0x0401},      {"ar", "IQ", 0x0801},      {"ar", "EG", 0x0C01},
    {"ar", "LY", 0x1001},      {"ar", "DZ", 0x1401},      {"ar", "MA", 0x1801},
    {"ar", "TN", 0x1C01},      {"ar", "OM", 0x2001},      {"ar", "YE", 0x2401},
    {"ar", "SY", 0x2801},      {"ar", "JO", 0x2C01},      {"ar", "LB", 0x3001},
    {"ar", "KW", 0x3401},      {"ar", "AE", 0x3801},      {"ar", "BH", 0x3C01},
    {"ar", "QA", 0x4001},

    {"it", "IT", 0x0410},      {"it", "CH", 0x0810},      {"nl", "NL", 0x0413},
    {"nl", "BE", 0x0813},      {"sv", "SE", 0x041D},      {"sv", "FI", 0x081D},
    {"ru", "RU", 0x0419},      {"ru", "MD", 0x0819},      {"ro", "RO", 0x0418},
    {"ro", "MD", 0x0818},      {"ko", "KR", 0x0412},      {"bn", "IN", 0x0445},
    {"bn", "BD", 0x0845},      {"ta", "IN", 0x0449},      {"ta", "LK", 0x0849},
    {"ur", "PK", 0x0420},      {"ur", "IN", 0x0820},      {"ms", "MY", 0x043E},
    {"ms", "BN", 0x083E},      {"se", "NO", 0x043B},      {"se", "SE", 0x083B},
    {"se", "FI", 0x0C3B},      {"ne", "NP", 0x0461},      {"ne", "IN", 0x0861},
    {"pa", "IN", 0x0446},      {"pa", "PK", 0x0846},      {"hr", "HR", 0x041A},
    {"hr", "BA", 0x101A},      {"sr", "RS", 0x281A},      {"sr", "ME", 0x301A},
    {"sr", "BA", 0x1C1A},      {"sr-Latn", "RS", 0x241A}, {"sr-Latn", "ME", 0x2C1A},
    {"sr-Latn", "BA", 0x181A}, {"bs", "BA", 0x141A},      {"uz", "UZ", 0x0443},
    {"uz-Cyrl", "UZ", 0x0843}, {"az", "AZ", 0x042C},      {"ga", "IE", 0x083C},
    {"nb", "NO", 0x0414},      {"no", "NO", 0x0414},      {"nn", "NO", 0x0814},

    {"af", "ZA", 0x0436},      {"am", "ET", 0x045E},      {"as", "IN", 0x044D},
    {"ba", "RU", 0x046D},      {"be", "BY", 0x0423},      {"bg", "BG", 0x0402},
    {"bo", "CN", 0x0451},      {"br", "FR", 0x047E},      {"ca", "ES", 0x0403},
    {"co", "FR", 0x0483},      {"cs", "CZ", 0x0405},      {"cy", "GB", 0x0452},
    {"da", "DK", 0x0406},      {"dv", "MV", 0x0465},      {"el", "GR", 0x0408},
    {"et", "EE", 0x0425},      {"eu", "ES", 0x042D},      {"fa", "IR", 0x0429},
    {"fi", "FI", 0x040B},      {"fil", "PH", 0x0464},     {"fo", "FO", 0x0438},
    {"fy", "NL", 0x0462},      {"gd", "GB", 0x0491},      {"gl", "ES", 0x0456},
    {"gu", "IN", 0x0447},      {"ha", "NG", 0x0468},      {"he", "IL", 0x040D},
    {"hi", "IN", 0x0439},      {"hsb", "DE", 0x042E},     {"hu", "HU", 0x040E},
    {"hy", "AM", 0x042B},      {"id", "ID", 0x0421},      {"ig", "NG", 0x0470},
    {"ii", "CN", 0x0478},      {"is", "IS", 0x040F},      {"ka", "GE", 0x0437},
    {"kk", "KZ", 0x043F},      {"kl", "GL", 0x046F},      {"km", "KH", 0x0453},
    {"kn", "IN", 0x044B},      {"kok", "IN", 0x0457},     {"ky", "KG", 0x0440},
    {"lb", "LU", 0x046E},      {"lo", "LA", 0x0454},      {"lt", "LT", 0x0427},
    {"lv", "LV", 0x0426},      {"mi", "NZ", 0x0481},      {"mk", "MK", 0x042F},
    {"ml", "IN", 0x044C},      {"mn", "MN", 0x0450},      {"mr", "IN", 0x044E},
    {"mt", "MT", 0x043A},      {"oc", "FR", 0x0482},      {"or", "IN", 0x0448},
    {"ps", "AF", 0x0463},      {"rm", "CH", 0x0417},      {"rw", "RW", 0x0487},
    {"sa", "IN", 0x044F},      {"si", "LK", 0x045B},      {"sk", "SK", 0x041B},
    {"sl", "SI", 0x0424},      {"sq", "AL", 0x041C},      {"sw", "KE", 0x0441},
    {"te", "IN", 0x044A},      {"tg", "TJ", 0x0428},      {"th", "TH", 0x041E},
    {"tk", "TM", 0x0442},      {"tn", "ZA", 0x0432},      {"tr", "TR", 0x041F},
    {"tt", "RU", 0x0444},      {"ug", "CN", 0x0480},      {"uk", "UA", 0x0422},
    {"vi", "VN", 0x042A},      {"wo", "SN", 0x0488},      {"xh", "ZA", 0x0434},
    {"yo", "NG", 0x046A},      {"zu", "ZA", 0x0435},
};

struct LocaleName {
  std::string language;  // lower case
  std::string script;    // title case, or from a @latin / @cyrillic modifier
  std::string region;    // upper case
};

bool AllAlpha(const std::string& s) {
  for (unsigned char c : s) {
    if (!std::isalpha(c)) return false;
  }
  return !s.empty();
}

bool AllDigits(const std::string& s) {
  for (unsigned char c : s) {
    if (!std::isdigit(c)) return false;
  }
  return !s.empty();
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// language[_territory][.codeset][@modifier]; "-" separators and script subtags
// ("zh-Hant-TW") are accepted too.
LocaleName Parse(const std::string& locale) {
  LocaleName name;
  const size_t at = locale.find('@');
  std::string modifier = at == std::string::npos ? "" : Lower(locale.substr(at + 1));
  modifier = modifier.substr(0, modifier.find('.'));
  const std::string base = locale.substr(0, std::min(locale.find('.'), at));

  std::vector<std::string> parts;
  size_t begin = 0;
  while (begin <= base.size()) {
    const size_t end = base.find_first_of("_-", begin);
    parts.push_back(base.substr(begin, end == std::string::npos ? std::string::npos : end - begin));
    if (end == std::string::npos) break;
    begin = end + 1;
  }
  if (parts.empty() || parts[0].size() < 2 || parts[0].size() > 3 || !AllAlpha(parts[0])) {
    return name;
  }
  name.language = Lower(parts[0]);
  for (size_t i = 1; i < parts.size(); ++i) {
    const std::string& part = parts[i];
    if (part.size() == 4 && AllAlpha(part) && name.script.empty() && name.region.empty()) {
      name.script = Lower(part);
      name.script[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name.script[0])));
    } else if ((part.size() == 2 && AllAlpha(part)) || (part.size() == 3 && AllDigits(part))) {
      if (name.region.empty()) name.region = Upper(part);
    }
  }
  if (name.script.empty()) {
    if (modifier == "latin") name.script = "Latn";
    if (modifier == "cyrillic") name.script = "Cyrl";
  }
  return name;
}

const LocaleLangId* Find(const std::string& language, const std::string& region) {
  for (const LocaleLangId& row : kLocales) {
    if (language == row.language && region == row.region) return &row;
  }
  return nullptr;
}

const LocaleLangId* FirstOf(const std::string& language) {
  for (const LocaleLangId& row : kLocales) {
    if (language == row.language) return &row;
  }
  return nullptr;
}

}  // namespace

uint16_t LangIdFromLocale(const std::string& locale) {
  const LocaleName name = Parse(locale);
  // "C" and "POSIX" fail the parse (one letter, five letters) and read as en-US.
  const LocaleLangId* usual = FirstOf(name.language);
  if (name.language.empty() || usual == nullptr) return kEnglishUs;

  const std::string scripted = name.script.empty() ? "" : name.language + "-" + name.script;
  if (!scripted.empty()) {
    if (const LocaleLangId* row = Find(scripted, name.region)) return row->langId;
  }
  if (name.region.empty()) {
    const LocaleLangId* scriptUsual = scripted.empty() ? nullptr : FirstOf(scripted);
    return (scriptUsual ? scriptUsual : usual)->langId;
  }
  if (const LocaleLangId* row = Find(name.language, name.region)) return row->langId;
  if (!scripted.empty()) {
    if (const LocaleLangId* row = Find(scripted, "")) return row->langId;
  }
  // A known language in a region without a LANGID of its own: the language itself.
  return static_cast<uint16_t>(usual->langId & 0x3FF);
}

std::string UiLocaleFromEnvironment(const std::function<const char*(const char*)>& getenv) {
  auto get = [&getenv](const char* variable) -> std::string {
    const char* value = getenv ? getenv(variable) : nullptr;
    return value ? value : "";
  };
  std::string locale;
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    locale = get(variable);
    if (!locale.empty()) break;
  }
  // A program in the "C" locale prints the untranslated messages whatever LANGUAGE says.
  if (locale.empty() || locale == "C" || locale == "POSIX") return locale;

  const std::string languages = get("LANGUAGE");
  size_t begin = 0;
  while (begin < languages.size()) {
    const size_t end = languages.find(':', begin);
    const std::string entry =
        languages.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
    if (!entry.empty()) return entry;
    if (end == std::string::npos) break;
    begin = end + 1;
  }
  return locale;
}
