// Relabelling the menu bar built from menu resource 128, language by language.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "i18n/language.h"
#include "i18n/own_text_table.h"
#include "i18n/translate_menu.h"
#include "platform/fakes/fake_menu.h"
#include "res/menu_128.h"

namespace {

using platform::FakeMenu;
using platform::MenuOperation;

// The bar after relabelling in English, item by item.
constexpr const char* kEnglishBar =
    "[popup] File(&F)\n"
    "  [32771] Set capture file Folder...(&S)\n"
    "  [32776] Set snapshot file Folder...(&N)\n"
    "  [32780] File index reset(&R)\n"
    "  ----\n"
    "  [57665] Exit(&X)\n"
    "[popup] Device(&D)\n"
    "  ----\n"
    "[popup] Option(&O)\n"
    "  [32773] Preview(&P)\n"
    "  ----\n"
    "[popup] Preview(&P)\n"
    "  [32813] Distinguish Setting(&S)\n"
    "[popup] Capture(&R)\n"
    "  [32774] Start Capture(&S)\n"
    "  [popup] Video Format\n"
    "    [32784] AVI\n"
    "    [32785] WMV\n"
    "  ----\n"
    "  [32775] Snap Shot(&P)\n"
    "  [popup] Still image size\n"
    "    [32794] Still image capture\n"
    "    [32797] 320*240\n"
    "    [32798] Still image capture(300K)\n"
    "    [32799] Still image capture(480K)\n"
    "    [32791] Still image capture(1.3M)\n"
    "    [32792] Still image capture(2M)\n"
    "    [32800] Still image capture(5M)\n"
    "    [32801] Still image capture(8M)\n"
    "    [32802] 4096*3072\n"
    "    [32803] 5120*3840\n"
    "  ----\n"
    "  [32777] Record Audio(&A)\n"
    "  ----\n"
    "  [32778] Set Frame rate(&F)\n"
    "  [32779] Record time limit(&L)\n"
    "  ----\n"
    "[popup] Help(&H)\n"
    "  [57664] About Ostrel(&A)...\n";

// The bar's shape without texts: kinds, ids and nesting.
std::string Shape(FakeMenu& menu, const std::string& indent = "") {
  std::string out;
  for (int i = 0; i < menu.ItemCount(); ++i) {
    out += indent + std::to_string(menu.IdAtPosition(i)) +
           (menu.IsPopup(i)       ? "P"
            : menu.IsSeparator(i) ? "S"
                                  : "C") +
           "\n";
    if (FakeMenu* popup = menu.Popup(i)) out += Shape(*popup, indent + " ");
  }
  return out;
}

std::unique_ptr<FakeMenu> TranslatedBar(int language) {
  auto bar = FakeMenu::FromTemplate(MenuResource128());
  TranslateMenuBar(*bar, language);
  return bar;
}

TEST(TranslateMenuBarTest, EnglishRelabelsTheWholeBar) {
  EXPECT_EQ(TranslatedBar(kLangEnglish)->Dump(), kEnglishBar);
}

TEST(TranslateMenuBarTest, EveryRowFindsItsTargetAndNothingElseChanges) {
  auto bar = FakeMenu::FromTemplate(MenuResource128());
  TranslateMenuBar(*bar, kLangGerman);
  int byCommand = 0;
  int byPosition = 0;
  for (const MenuOperation& op : bar->Log()) {
    EXPECT_TRUE(op.ok) << platform::KindName(op.kind) << " " << op.id << " " << op.position;
    if (op.kind == MenuOperation::Kind::ModifyByCommand) ++byCommand;
    if (op.kind == MenuOperation::Kind::ModifyByPosition) {
      ++byPosition;
      EXPECT_TRUE(op.menu == "" || op.menu == "4") << op.menu;
    }
  }
  EXPECT_EQ(byCommand, 21);
  EXPECT_EQ(byPosition, 8) << "the table's seven popups and the still-size popup";
  EXPECT_EQ(bar->Log().size(), 29u);
}

TEST(TranslateMenuBarTest, EveryLanguageKeepsIdsPopupsAndUnlabelledItems) {
  auto original = FakeMenu::FromTemplate(MenuResource128());
  const std::string shape = Shape(*original);
  for (int language = 0; language < kLanguageCount; ++language) {
    auto bar = TranslatedBar(language);
    EXPECT_EQ(Shape(*bar), shape) << language;
    FakeMenu* stillSizes = bar->Popup(menu_pos::kCapture)->Popup(menu_pos::kStillSize);
    ASSERT_NE(stillSizes, nullptr);
    EXPECT_EQ(bar->Popup(menu_pos::kCapture)->TextAtPosition(menu_pos::kStillSize),
              OwnText(OWN_STILL_SIZE_POPUP, language));
    EXPECT_EQ(bar->TextOfCommand(menu_id::kStillSize[1]), "320*240") << language;
    EXPECT_EQ(bar->TextOfCommand(menu_id::kStillSize[9]), "4096*3072") << language;
    EXPECT_EQ(bar->TextOfCommand(menu_id::kStillSize[10]), "5120*3840") << language;
  }
}

TEST(TranslateMenuBarTest, French) {
  auto bar = TranslatedBar(kLangFrench);
  EXPECT_EQ(bar->TextAtPosition(menu_pos::kFile), "Dossier(&F)");
  EXPECT_EQ(bar->TextAtPosition(menu_pos::kPreview), "aperçu(&P)");
  EXPECT_EQ(bar->TextAtPosition(menu_pos::kCapture), "Captage de vidéo(&R)");
  FakeMenu* capture = bar->Popup(menu_pos::kCapture);
  ASSERT_NE(capture, nullptr);
  EXPECT_EQ(capture->TextAtPosition(menu_pos::kVideoFormat), "Format visuel");
  EXPECT_EQ(capture->ItemCount(), 11);
  EXPECT_EQ(bar->TextOfCommand(menu_id::kAppExit), "Quitter(&X)");
  EXPECT_EQ(bar->TextOfCommand(menu_id::kFormatAvi), "AVI");
}

TEST(TranslateMenuBarTest, PolishIsMostlyEnglish) {
  auto bar = TranslatedBar(kLangPolish);
  EXPECT_EQ(bar->TextOfCommand(menu_id::kAppExit), "wyjsc(&X)");
  EXPECT_EQ(bar->TextOfCommand(menu_id::kPreview), "nowosc(&P)");
  EXPECT_EQ(bar->TextOfCommand(menu_id::kSnapshot), "zdjecie(&P)");
  EXPECT_EQ(bar->TextAtPosition(menu_pos::kCapture), "nagrywanie wideo(&R)");
  EXPECT_EQ(bar->TextAtPosition(menu_pos::kFile), "File(&F)");
  EXPECT_EQ(bar->TextOfCommand(menu_id::kSetCaptureFolder), "Set capture file Folder...(&S)");
}

TEST(TranslateMenuBarTest, JapaneseExitKeepsTheChineseLabel) {
  auto bar = TranslatedBar(kLangJapanese);
  EXPECT_EQ(bar->TextOfCommand(menu_id::kAppExit), "退出(&X)");
  EXPECT_EQ(bar->TextAtPosition(menu_pos::kPreview), "プレビュー(&P)");
}

// The resource is already Chinese, but some of its mnemonics and labels differ.
TEST(TranslateMenuBarTest, SimplifiedChineseStillRelabels) {
  auto bar = TranslatedBar(kLangSimplifiedChinese);
  EXPECT_EQ(bar->TextAtPosition(menu_pos::kPreview), "预览(&P)");
  EXPECT_EQ(bar->TextOfCommand(menu_id::kSnapshot), "拍照(&P)");
  EXPECT_EQ(bar->TextOfCommand(menu_id::kStillSize[2]), "静态图像捕获(300K)");
  EXPECT_EQ(bar->TextOfCommand(menu_id::kFormatWmv), "WMV格式");
}

TEST(TranslateMenuBarTest, BadLanguageIndexReadsEnglish) {
  EXPECT_EQ(TranslatedBar(-1)->Dump(), kEnglishBar);
  EXPECT_EQ(TranslatedBar(kLanguageCount)->Dump(), kEnglishBar);
}

TEST(TranslateMenuBarTest, MissingTargetsAreIgnored) {
  using Kind = platform::MenuTemplateItem::Kind;
  const platform::MenuTemplate partial = {
      {0, Kind::Popup, 0, "文件(&F)"},
      {1, Kind::Command, menu_id::kSetCaptureFolder, "录像文件路径...(&S)"},
      {1, Kind::Command, 12345, "其他"},
  };
  auto bar = FakeMenu::FromTemplate(partial);
  ASSERT_NE(bar, nullptr);
  TranslateMenuBar(*bar, kLangEnglish);
  EXPECT_EQ(bar->Dump(),
            "[popup] File(&F)\n"
            "  [32771] Set capture file Folder...(&S)\n"
            "  [12345] 其他\n");
  int failed = 0;
  for (const MenuOperation& op : bar->Log()) failed += op.ok ? 0 : 1;
  EXPECT_EQ(failed, 20 + 5);  // the other commands and bar positions 1 to 5
  // No Capture popup: the Video Format row is not even tried.
  EXPECT_EQ(bar->Log().size(), 27u);

  FakeMenu empty;
  TranslateMenuBar(empty, kLangFrench);
  EXPECT_EQ(empty.ItemCount(), 0);
}

}  // namespace
