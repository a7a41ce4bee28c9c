// Reading numbers back from edit boxes, with the string table's prompts.
#include "i18n/dialog_data_exchange.h"

#include <cctype>

#include "res/prompt_strings.h"

UnsignedParse ParseUnsigned(const std::string& text, uint32_t& value) {
  size_t i = 0;
  size_t n = text.size();
  while (i < n && text[i] == ' ') ++i;
  while (n > i && text[n - 1] == ' ') --n;
  if (i == n) return UnsignedParse::NotANumber;
  uint64_t v = 0;
  bool tooLarge = false;
  for (; i < n; ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (!std::isdigit(c)) return UnsignedParse::NotANumber;
    if (!tooLarge) {
      v = v * 10 + (c - '0');
      if (v > UINT32_MAX) tooLarge = true;
    }
  }
  if (tooLarge) return UnsignedParse::TooLarge;
  value = static_cast<uint32_t>(v);
  return UnsignedParse::Ok;
}

bool ExchangeUnsigned(platform::DialogControls& dialog, int id, uint32_t low, uint32_t high,
                      uint32_t& value) {
  uint32_t read = 0;
  std::string prompt;
  switch (ParseUnsigned(dialog.ItemText(id), read)) {
    case UnsignedParse::NotANumber:
      prompt = kPromptParseUInt;
      break;
    case UnsignedParse::TooLarge:
      // A whole number all the same: say which ones the box takes.
      prompt = FormatRangePrompt(low, high);
      break;
    case UnsignedParse::Ok:
      if (read < low || read > high) prompt = FormatRangePrompt(low, high);
      break;
  }
  if (!prompt.empty()) {
    dialog.ShowMessage(prompt, platform::MessageIcon::Warning);
    dialog.FocusItem(id);
    return false;
  }
  value = read;
  return true;
}
