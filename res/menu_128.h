// Menu resource 128, the main menu bar, with its Simplified Chinese resource texts.
#pragma once

#include "platform/ui.h"
#include "res/menu_ids.h"

// The bar as loaded from the resource, before any relabelling.
const platform::MenuTemplate& MenuResource128();
