// A large pixel buffer kept between stills: touching fresh memory costs far more than the
// resample itself, so a buffer grows on demand and is reused, on huge pages where the
// kernel offers them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ostrel::still {

class StillBuffer {
 public:
  StillBuffer() = default;
  ~StillBuffer();
  StillBuffer(const StillBuffer&) = delete;
  StillBuffer& operator=(const StillBuffer&) = delete;

  // At least `bytes` bytes (contents unspecified); null when that much cannot be had, in
  // which case the buffer held before is kept.
  uint8_t* Get(size_t bytes);
  size_t Capacity() const { return capacity_; }
  void Release();

 private:
  uint8_t* data_ = nullptr;
  size_t capacity_ = 0;
};

}  // namespace ostrel::still
