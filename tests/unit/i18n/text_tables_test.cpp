// Integrity of the two text tables: every cell usable, and the texts that must agree do.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <set>
#include <string>

#include "i18n/lang_text_table.h"
#include "i18n/menu_label_table.h"
#include "i18n/own_text_table.h"
#include "res/menu_ids.h"

namespace {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(const std::string& s) {
  size_t i = 0;
  while (i < s.size()) {
    const unsigned char c = s[i];
    int extra = 0;
    uint32_t cp = 0;
    if (c < 0x80) {
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      extra = 1;
      cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2;
      cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      extra = 3;
      cp = c & 0x07;
    } else {
      return false;
    }
    if (i + extra >= s.size()) return false;
    for (int k = 1; k <= extra; ++k) {
      const unsigned char cc = s[i + k];
      if ((cc & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (cc & 0x3F);
    }
    const uint32_t minimum[] = {0, 0x80, 0x800, 0x10000};
    if (cp < minimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += extra + 1;
  }
  return true;
}

TEST(Utf8CheckTest, RejectsBrokenSequences) {
  EXPECT_TRUE(IsValidUtf8("aperçu 录像 ビデオ"));
  EXPECT_FALSE(IsValidUtf8("\xC3"));              // cut short
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
  EXPECT_FALSE(IsValidUtf8("a\xE5\xBD"));         // cut short at the end
  EXPECT_FALSE(IsValidUtf8("\xE5\xBD\x95\x80"));  // stray continuation byte
}

void ExpectUsableCells(const LangStrings& strings, const std::string& row) {
  for (int language = 0; language < kLanguageCount; ++language) {
    const char* text = strings[language];
    ASSERT_NE(text, nullptr) << row << " column " << language;
    EXPECT_GT(std::strlen(text), 0u) << row << " column " << language;
    EXPECT_TRUE(IsValidUtf8(text)) << row << " column " << language;
  }
}

TEST(TextTablesTest, EveryCellIsNonEmptyValidUtf8) {
  static_assert(TXT_COUNT == 23, "23 texts");
  static_assert(kMenuLabelRowCount == 28, "28 menu labels");
  static_assert(std::tuple_size<LangStrings>::value == 9, "nine languages");
  for (int i = 0; i < TXT_COUNT; ++i) {
    EXPECT_EQ(LangTextTable[i].id, i);
    ExpectUsableCells(LangTextTable[i].text, "text " + std::to_string(i));
  }
  for (int i = 0; i < kMenuLabelRowCount; ++i) {
    ExpectUsableCells(MenuLabelTable[i].text, "menu label " + std::to_string(i));
  }
  std::set<std::string> english;
  for (int i = 0; i < OWN_TEXT_COUNT; ++i) {
    EXPECT_EQ(OwnTextTable[i].id, i);
    ExpectUsableCells(OwnTextTable[i].text, "own text " + std::to_string(i));
    EXPECT_TRUE(english.insert(OwnTextTable[i].text[kLangEnglish]).second)
        << "English texts are the keys of the property pages' lookup: " << i;
  }
}

// A mnemonic "(&X" is closed in every language, as the menu shows it.
TEST(TextTablesTest, EveryMenuMnemonicIsClosed) {
  for (int i = 0; i < kMenuLabelRowCount; ++i)
    for (int language = 0; language < kLanguageCount; ++language) {
      const std::string label = MenuLabelTable[i].text[language];
      const size_t open = label.find("(&");
      if (open != std::string::npos) {
        EXPECT_EQ(label.find(')', open), open + 3) << label << " in column " << language;
      }
    }
}

// A translation that drops a %1 or %2 would lose the folder or number the message names.
TEST(TextTablesTest, OwnMessagesNameWhatTheEnglishNamesInEveryLanguage) {
  const auto marks = [](const std::string& text) {
    return std::make_pair(text.find("%1") != std::string::npos,
                          text.find("%2") != std::string::npos);
  };
  for (const OwnTextRow& row : OwnTextTable)
    for (int language = 0; language < kLanguageCount; ++language)
      EXPECT_EQ(marks(row.text[language]), marks(row.text[kLangEnglish]))
          << row.text[kLangEnglish] << " in column " << language;
  EXPECT_EQ(FillOwnText(OWN_REASON_FOLDER_REPLACED, kLangFrench, "/a", "/b"),
            "Le dossier /a n'existe plus. Ostrel utilise /b à la place.");
}

// Texts the media layer hands over in English come back in the language; others as they are.
TEST(TextTablesTest, OwnTextsAreFoundByTheirEnglish) {
  EXPECT_EQ(OwnTextForEnglish("Brightness", kLangFrench), "Luminosité");
  EXPECT_EQ(OwnTextForEnglish("This device has no settings to change.", kLangSimplifiedChinese),
            "此设备没有可更改的设置。");
  EXPECT_EQ(OwnTextForEnglish("YUY2 640 x 480, 30 fps", kLangGerman), "YUY2 640 x 480, 30 fps");
  EXPECT_EQ(OwnTextForEnglish("Brightness", 42), "Brightness");
  EXPECT_STREQ(OwnText(OWN_STILL_SIZE_POPUP, kLangSimplifiedChinese), "拍照大小");
  EXPECT_STREQ(LanguageLocaleName(kLangTraditionalChinese), "zh_TW");
  EXPECT_STREQ(LanguageLocaleName(-1), "en");
}

// A mnemonic marker must be followed by its letter; a lone "&" at the end would
// show as a literal or vanish.
TEST(TextTablesTest, MnemonicsHaveALetter) {
  for (const MenuLabelRow& row : MenuLabelTable) {
    for (const char* text : row.text) {
      const std::string s = text;
      for (size_t at = s.find('&'); at != std::string::npos; at = s.find('&', at + 2)) {
        ASSERT_LT(at + 1, s.size()) << s;
        EXPECT_TRUE(std::isalpha(static_cast<unsigned char>(s[at + 1]))) << s;
      }
    }
  }
}

// Targets: 21 distinct commands, the six bar popups once each, one Capture sub-popup.
TEST(TextTablesTest, MenuLabelTargetsAreDistinct) {
  std::set<uint32_t> commands;
  std::set<uint32_t> barPositions;
  int captureItems = 0;
  for (const MenuLabelRow& row : MenuLabelTable) {
    switch (row.target.kind) {
      case MenuLabelTarget::kCommand:
        EXPECT_TRUE(commands.insert(row.target.value).second) << row.target.value;
        break;
      case MenuLabelTarget::kBarPopup:
        EXPECT_TRUE(barPositions.insert(row.target.value).second) << row.target.value;
        break;
      case MenuLabelTarget::kCapturePopupItem:
        ++captureItems;
        EXPECT_EQ(row.target.value, static_cast<uint32_t>(menu_pos::kVideoFormat));
        break;
    }
  }
  EXPECT_EQ(commands.size(), 21u);
  EXPECT_EQ(barPositions, (std::set<uint32_t>{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(captureItems, 1);
}

// The recording command starts with the menu label and is set back to
// TXT_START_CAPTURE when a recording ends: both must read the same.
TEST(TextTablesTest, StartCaptureLabelMatchesItsText) {
  const MenuLabelRow* row = nullptr;
  for (const MenuLabelRow& r : MenuLabelTable) {
    if (r.target.kind == MenuLabelTarget::kCommand &&
        r.target.value == menu_id::kStartStopCapture) {
      row = &r;
    }
  }
  ASSERT_NE(row, nullptr);
  for (int language = 0; language < kLanguageCount; ++language) {
    EXPECT_STREQ(row->text[language], LangText(TXT_START_CAPTURE, language)) << language;
    EXPECT_STRNE(LangText(TXT_STOP_CAPTURE, language), LangText(TXT_START_CAPTURE, language));
  }
}

TEST(TextTablesTest, AboutBoxLinesNameTheProductVersionAndYear) {
  for (int language = 0; language < kLanguageCount; ++language) {
    const std::string caption = LangText(TXT_ABOUT_CAPTION, language);
    const std::string version = LangText(TXT_ABOUT_VERSION, language);
    const std::string copyright = LangText(TXT_ABOUT_COPYRIGHT, language);
    EXPECT_NE(caption.find("Ostrel"), std::string::npos) << language;
    EXPECT_NE(version.find("Ostrel"), std::string::npos) << language;
    EXPECT_NE(version.find("1.0.0.4"), std::string::npos) << language;
    EXPECT_NE(copyright.find("2009"), std::string::npos) << language;
    EXPECT_NE(copyright.find("(C)"), std::string::npos) << language;
  }
  // Chinese columns say "version" in Chinese, the others in English.
  EXPECT_NE(std::string(LangText(TXT_ABOUT_VERSION, kLangSimplifiedChinese)).find("版本"),
            std::string::npos);
  EXPECT_NE(std::string(LangText(TXT_ABOUT_VERSION, kLangTraditionalChinese)).find("版本"),
            std::string::npos);
  EXPECT_NE(std::string(LangText(TXT_ABOUT_VERSION, kLangGerman)).find("Version"),
            std::string::npos);
}

TEST(TextTablesTest, RecordErrorSpansTwoLines) {
  for (int language = 0; language < kLanguageCount; ++language) {
    const std::string text = LangText(TXT_RECORD_ERROR, language);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << language;
  }
}

}  // namespace
