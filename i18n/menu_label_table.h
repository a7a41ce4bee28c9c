// The labels that relabel the menu bar in the chosen language.
#pragma once

#include <array>
#include <cstdint>

#include "i18n/lang_text_table.h"

// What a row relabels: a command anywhere in the bar, a popup on the bar by its
// position, or a popup inside the Capture popup by its position there.
struct MenuLabelTarget {
  enum Kind { kCommand, kBarPopup, kCapturePopupItem };
  Kind kind;
  uint32_t value;  // command id or position
};

struct MenuLabelRow {
  MenuLabelTarget target;
  LangStrings text;
};

constexpr int kMenuLabelRowCount = 28;
extern const std::array<MenuLabelRow, kMenuLabelRowCount> MenuLabelTable;
