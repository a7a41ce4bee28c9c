// The input-validation prompts of the string table. They are Simplified Chinese in
// every interface language.
#pragma once

#include <cstdint>
#include <string>

namespace prompt_id {
constexpr int kParseUInt = 61719;      // the box does not hold an unsigned whole number
constexpr int kParseIntRange = 61714;  // the number lies outside a range
}  // namespace prompt_id

// "请输入一个正整数。"
extern const char* const kPromptParseUInt;
// "请输入一个在 %1 和 %2 之间的整数。"
extern const char* const kPromptParseIntRange;

// The range prompt with %1 and %2 replaced by the bounds.
std::string FormatRangePrompt(uint64_t low, uint64_t high);
