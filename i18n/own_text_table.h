// Ostrel's own localized texts beside the two tables: the still-size popup, the property
// pages' texts that the media layer hands over in English, the page with nothing to set,
// and messages of our own. One string per language, in the same column order.
#pragma once

#include <array>
#include <string>

#include "i18n/lang_text_table.h"

enum OwnTextId : int {
  // The menu bar.
  OWN_STILL_SIZE_POPUP,  // the still-size popup of the Capture popup
  // The property sheet: page titles, property names and choices, in English as the
  // media layer names them (column 0 is that English text).
  OWN_PAGE_GENERAL,
  OWN_NO_SETTINGS,
  OWN_PAGE_VIDEO_PROC_AMP,
  OWN_BRIGHTNESS,
  OWN_CONTRAST,
  OWN_HUE,
  OWN_SATURATION,
  OWN_SHARPNESS,
  OWN_GAMMA,
  OWN_WHITE_BALANCE_TEMPERATURE,
  OWN_GAIN,
  OWN_BACKLIGHT_COMPENSATION,
  OWN_POWER_LINE_FREQUENCY,
  OWN_PAGE_AUDIO_INPUT,
  OWN_VOLUME_PERCENT,
  OWN_MUTE,
  OWN_PAGE_STREAM_FORMAT,
  OWN_VIDEO_FORMAT,
  OWN_PAGE_VIDEO_TRANSFER,
  OWN_OUTPUT_SIZE,
  OWN_INPUT_SIZE,
  // Messages of our own: new rows go here, before OWN_TEXT_COUNT, with their texts in
  // the same place of own_text_table.cpp.
  // %1 and %2 stand for the texts FillOwnText puts in.
  OWN_REASON_FOLDER_MISSING,
  OWN_REASON_FOLDER_READ_ONLY,
  OWN_REASON_NO_ROOM_LEFT,
  OWN_REASON_DISK_NEARLY_FULL,
  OWN_REASON_FORMAT_CANNOT_BE_RECORDED,
  OWN_REASON_CLIP_FORMAT_UNKNOWN,
  OWN_REASON_CAMERA_UNPLUGGED,
  OWN_REASON_CLIP_NOT_WRITTEN,
  OWN_REASON_CLIP_NOT_WRITTEN_BECAUSE,
  OWN_REASON_FOLDER_REPLACED,
  OWN_REASON_NO_FREE_CLIP_NUMBER,
  OWN_FRAMES_LEFT_OUT,
  OWN_REASON_MICROPHONE_UNPLUGGED,
  OWN_TEXT_COUNT
};

struct OwnTextRow {
  OwnTextId id;  // equals the row's position
  LangStrings text;
};

extern const std::array<OwnTextRow, OWN_TEXT_COUNT> OwnTextTable;

// The text in a language; a bad language index reads English, a bad id reads "".
const char* OwnText(OwnTextId id, int languageIndex);

// An English text of the table in a language; the text itself when the table does not
// hold it (a control the driver names, a format such as "YUY2 640 x 480, 30 fps").
std::string OwnTextForEnglish(const std::string& english, int languageIndex);

// A message of the table in a language with %1 and %2 replaced by first and second.
std::string FillOwnText(OwnTextId id, int languageIndex, const std::string& first = {},
                        const std::string& second = {});
