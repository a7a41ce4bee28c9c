// The localized texts of messages, dialogs and run-time menu items, one per language.
#pragma once

#include <array>

#include "i18n/language.h"

// One string per language index (UTF-8).
using LangStrings = std::array<const char*, kLanguageCount>;

enum TextId : int {
  TXT_NO_VIDEO_DEVICE,
  TXT_MENU_VIDEO_FILTER,
  TXT_MENU_VIDEO_PIN,
  TXT_MENU_AUDIO_FILTER,
  TXT_START_CAPTURE,
  TXT_STOP_CAPTURE,
  TXT_TIME_ELAPSED,
  TXT_OK,
  TXT_CANCEL,
  TXT_FRAMERATE_CAPTION,
  TXT_FRAMERATE_ENABLE,
  TXT_FRAMERATE_LABEL,
  TXT_FRAMERATE_UNIT,
  TXT_TIMELIMIT_CAPTION,
  TXT_TIMELIMIT_ENABLE,
  TXT_TIMELIMIT_LABEL,
  TXT_TIMELIMIT_UNIT,
  TXT_SELECT_FOLDER,
  TXT_ABOUT_CAPTION,
  TXT_ABOUT_VERSION,
  TXT_ABOUT_COPYRIGHT,
  TXT_CANNOT_PREVIEW,
  TXT_RECORD_ERROR,
  TXT_COUNT
};

struct LangTextRow {
  TextId id;  // equals the row's position
  LangStrings text;
};

// Constant and shared; a caller that needs its own string copies it.
extern const std::array<LangTextRow, TXT_COUNT> LangTextTable;

// The text in a language; a bad language index reads English, a bad id reads "".
const char* LangText(TextId id, int languageIndex);
