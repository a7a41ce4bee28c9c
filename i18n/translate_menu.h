// Relabelling of the freshly loaded menu bar in the chosen language.
#pragma once

#include "platform/ui.h"

// Gives every item the label table names its label in the language; items the
// table does not name, and rows whose target is missing, keep their text.
void TranslateMenuBar(platform::Menu& bar, int languageIndex);
