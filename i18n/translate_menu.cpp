// Relabels the bar from the menu-label table.
#include "i18n/translate_menu.h"

#include "i18n/menu_label_table.h"
#include "i18n/own_text_table.h"
#include "res/menu_ids.h"

void TranslateMenuBar(platform::Menu& bar, int languageIndex) {
  // The resource's own texts are Simplified Chinese, so every language relabels.
  const int language = ClampLanguageIndex(languageIndex);
  for (const MenuLabelRow& row : MenuLabelTable) {
    const char* text = row.text[language];
    switch (row.target.kind) {
      case MenuLabelTarget::kCommand:
        bar.ModifyByCommand(row.target.value, text);
        break;
      case MenuLabelTarget::kBarPopup:
        bar.ModifyByPosition(static_cast<int>(row.target.value), text);
        break;
      case MenuLabelTarget::kCapturePopupItem:
        if (platform::Menu* capture = bar.SubMenu(menu_pos::kCapture)) {
          capture->ModifyByPosition(static_cast<int>(row.target.value), text);
        }
        break;
    }
  }
  // The still-size popup has no row of the menu-label table; it has one of our own.
  if (platform::Menu* capture = bar.SubMenu(menu_pos::kCapture))
    capture->ModifyByPosition(menu_pos::kStillSize, OwnText(OWN_STILL_SIZE_POPUP, language));
}
