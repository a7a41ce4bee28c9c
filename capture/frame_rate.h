// Frame rate and average frame time (100 ns units) conversions of the capture format.
#pragma once

#include <cstdint>

#include "platform/media.h"

// 30 gives 333333, 60 gives 166666 (32-bit integer division, truncated).
inline int64_t FrameTimeForRate(int32_t fps) {
  return static_cast<int64_t>(static_cast<int32_t>(media::kUnitsPerSecond) / fps);
}

// 333333 gives 30, 333334 gives 29 (64-bit integer division, truncated).
inline int32_t RateForFrameTime(int64_t avgTimePerFrame) {
  return static_cast<int32_t>(media::kUnitsPerSecond / avgTimePerFrame);
}

// The capture subtype codes: 1 UYVY, 2 YUYV, 3 YUY2, 4 I420, 5 RGB24, 6 RGB32, 7 MJPG;
// 0 for a subtype outside the table.
inline int SubtypeCode(media::Subtype subtype) {
  switch (subtype) {
    case media::Subtype::UYVY:
      return 1;
    case media::Subtype::YUYV:
      return 2;
    case media::Subtype::YUY2:
      return 3;
    case media::Subtype::I420:
      return 4;
    case media::Subtype::RGB24:
      return 5;
    case media::Subtype::RGB32:
      return 6;
    case media::Subtype::MJPG:
      return 7;
    default:
      return 0;
  }
}
