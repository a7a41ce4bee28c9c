// The validation prompts and the filling of their placeholders.
#include "res/prompt_strings.h"

const char* const kPromptParseUInt = "请输入一个正整数。";
const char* const kPromptParseIntRange = "请输入一个在 %1 和 %2 之间的整数。";

std::string FormatRangePrompt(uint64_t low, uint64_t high) {
  std::string out;
  for (const char* p = kPromptParseIntRange; *p; ++p) {
    if (p[0] == '%' && (p[1] == '1' || p[1] == '2')) {
      out += std::to_string(p[1] == '1' ? low : high);
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}
