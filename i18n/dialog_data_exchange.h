// The dialog data exchange of an edit box holding an unsigned decimal number: read it
// back, check its range, and on failure prompt, focus the box and store nothing.
#pragma once

#include <cstdint>
#include <string>

#include "platform/ui.h"

enum class UnsignedParse { Ok, NotANumber, TooLarge };

// Digits only, optionally surrounded by spaces; TooLarge past 4294967295.
UnsignedParse ParseUnsigned(const std::string& text, uint32_t& value);

// Reads edit box id into value when it holds a number in low..high. Otherwise shows
// the validation prompt with the warning icon, puts the focus back in the box, leaves
// value alone and returns false.
bool ExchangeUnsigned(platform::DialogControls& dialog, int id, uint32_t low, uint32_t high,
                      uint32_t& value);
