// Encodes I420 pictures as baseline JPEG (the camera's MJPG format) with libjpeg-turbo.
#pragma once

#include <cstdint>
#include <vector>

#include "test_pattern.h"

namespace virtualcam {

class JpegEncoder {
 public:
  explicit JpegEncoder(int quality = 75) : quality_(quality) {}

  // Encodes an I420 canvas whose plane rows may be read up to 16 bytes past the width
  // (libjpeg reads whole blocks). Returns false when libjpeg reports an error. The
  // output buffer is reused from one call to the next.
  bool Encode(const Canvas& i420, std::vector<uint8_t>* out);

 private:
  int quality_;
};

}  // namespace virtualcam
