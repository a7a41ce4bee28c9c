// 24-bit BMP files: the 54-byte header and the writer of header plus pixels.
#include "still/bmp.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

namespace ostrel::still {
namespace {

void Put16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t* p, uint32_t v) {
  Put16(p, v);
  Put16(p + 2, v >> 16);
}

bool Fail(std::string* error, std::string text) {
  if (error) *error = std::move(text);
  return false;
}

}  // namespace

uint64_t BmpPixelBytes(uint32_t width, uint32_t height) { return uint64_t{width} * height * 3; }

bool BmpFits(uint32_t width, uint32_t height) {
  return width != 0 && height != 0 && BmpPixelBytes(width, height) + kBmpHeaderBytes <= UINT32_MAX;
}

BmpHeader BuildBmpHeader(uint32_t width, uint32_t height) {
  const uint32_t imageBytes = static_cast<uint32_t>(BmpPixelBytes(width, height));
  BmpHeader h{};
  h[0] = 'B';
  h[1] = 'M';
  Put32(&h[2], imageBytes + static_cast<uint32_t>(kBmpHeaderBytes));
  Put32(&h[10], static_cast<uint32_t>(kBmpHeaderBytes));
  Put32(&h[14], static_cast<uint32_t>(kBmpInfoHeaderBytes));
  Put32(&h[18], width);
  Put32(&h[22], height);
  Put16(&h[26], 1);
  Put16(&h[28], 24);
  Put32(&h[34], imageBytes);
  return h;
}

bool WriteBmpFile(const std::string& path, const uint8_t* pixels, uint32_t width, uint32_t height,
                  std::string* error) {
  if (!BmpFits(width, height)) {
    return Fail(error, "Cannot write " + path + ": an image of " + std::to_string(width) + " x " +
                           std::to_string(height) + " pixels does not fit a BMP file");
  }
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    return Fail(error, "Cannot create " + path + ": " + std::strerror(errno));
  }
  const BmpHeader header = BuildBmpHeader(width, height);
  const size_t imageBytes = static_cast<size_t>(BmpPixelBytes(width, height));
  bool ok = std::fwrite(header.data(), 1, kBmpFileHeaderBytes, file) == kBmpFileHeaderBytes &&
            std::fwrite(header.data() + kBmpFileHeaderBytes, 1, kBmpInfoHeaderBytes, file) ==
                kBmpInfoHeaderBytes &&
            std::fwrite(pixels, 1, imageBytes, file) == imageBytes;
  int savedErrno = ok ? 0 : errno;
  if (std::fclose(file) != 0 && ok) {
    ok = false;
    savedErrno = errno;
  }
  if (ok) return true;
  // A truncated picture would look like a finished one in the folder.
  std::remove(path.c_str());
  return Fail(error, "Cannot write " + path + ": " + std::strerror(savedErrno ? savedErrno : EIO));
}

}  // namespace ostrel::still
