// The output sizes the transfer filter offers and the sizes it accepts.
#pragma once

#include <cstdint>
#include <string>

namespace transfer {

// Accepted sizes per axis besides 0 (the input's own size).
constexpr uint32_t kMinOutputWidth = 320;
constexpr uint32_t kMinOutputHeight = 240;
constexpr uint32_t kMaxOutputWidth = 5120;
constexpr uint32_t kMaxOutputHeight = 3840;

bool IsAcceptedOutputWidth(uint32_t width);
bool IsAcceptedOutputHeight(uint32_t height);

// The sizes the property page offers, "WxH" comma-separated, "0x0" first (the input's size).
std::string AvailableSizesText();

}  // namespace transfer
