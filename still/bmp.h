// 24-bit BMP files: the 54-byte header and the writer of header plus pixels.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace ostrel::still {

inline constexpr size_t kBmpFileHeaderBytes = 14;
inline constexpr size_t kBmpInfoHeaderBytes = 40;
inline constexpr size_t kBmpHeaderBytes = kBmpFileHeaderBytes + kBmpInfoHeaderBytes;

using BmpHeader = std::array<uint8_t, kBmpHeaderBytes>;

// Pixel bytes of a width x height image of 3-byte pixels (rows without padding).
uint64_t BmpPixelBytes(uint32_t width, uint32_t height);

// False when the image cannot be described by the header's 32-bit sizes.
bool BmpFits(uint32_t width, uint32_t height);

// File header and information header of an uncompressed 24-bit image: file size
// S + 54, pixel offset 54, positive height (rows stored bottom-up), image size S,
// resolutions and colour counts 0. Callers check BmpFits first.
BmpHeader BuildBmpHeader(uint32_t width, uint32_t height);

// Creates (or replaces) the file at path (UTF-8) and writes the header and the
// width x height x 3 pixel bytes exactly as given. On failure returns false with a
// message in *error (when given) and leaves no partial file behind.
bool WriteBmpFile(const std::string& path, const uint8_t* pixels, uint32_t width, uint32_t height,
                  std::string* error);

}  // namespace ostrel::still
