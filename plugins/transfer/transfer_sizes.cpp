// The output sizes the transfer filter offers and the sizes it accepts.
#include "transfer_sizes.h"

namespace transfer {
namespace {

struct Size {
  uint32_t width;
  uint32_t height;
};

constexpr Size kOffered[] = {{0, 0},      {320, 240},  {640, 480},   {800, 600},  {1024, 768},
                             {1280, 720}, {1280, 960}, {1600, 1200}, {1920, 1080}};

}  // namespace

bool IsAcceptedOutputWidth(uint32_t width) {
  return width == 0 || (width >= kMinOutputWidth && width <= kMaxOutputWidth);
}

bool IsAcceptedOutputHeight(uint32_t height) {
  return height == 0 || (height >= kMinOutputHeight && height <= kMaxOutputHeight);
}

std::string AvailableSizesText() {
  std::string text;
  for (const Size& size : kOffered) {
    if (!text.empty()) text += ',';
    text += std::to_string(size.width) + 'x' + std::to_string(size.height);
  }
  return text;
}

}  // namespace transfer
