// The user's message locale, read the way gettext reads it, as a Windows LANGID.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

// The LANGID of a POSIX locale name such as "fr_FR.UTF-8", "zh_TW", "sr_RS@latin"
// or "pt". The codeset is ignored; a name without a region gives the language's
// usual LANGID; a known language in an unknown region gives the language with a
// neutral sublanguage. "C", "POSIX", an empty name or an unknown language: en-US.
uint16_t LangIdFromLocale(const std::string& locale);

// The locale messages are shown in: the first entry of LANGUAGE, unless the
// locale (LC_ALL, LC_MESSAGES, LANG, the first that is set) is "C" or "POSIX" or
// unset, in which case LANGUAGE does not count, as with gettext. Empty when none
// is set.
std::string UiLocaleFromEnvironment(const std::function<const char*(const char*)>& getenv);
