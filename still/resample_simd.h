// Instruction-set levels of the resampler, so tests and benchmarks can run every code path.
#pragma once

#include <cstdint>

namespace ostrel::still {

// Each level includes the ones before it. kSse2 blends rows with SSE2; kSsse3 adds the byte
// shuffles of the horizontal pass; kAvx2 widens both to 32 bytes.
enum class SimdLevel { kScalar = 0, kSse2 = 1, kSsse3 = 2, kAvx2 = 3 };

// The best level this CPU runs (detected once).
SimdLevel DetectedSimdLevel();

// ResampleRGB24 restricted to the given level (capped at the detected one).
void ResampleRGB24AtLevel(SimdLevel level, uint8_t* dst, const uint8_t* src, uint32_t srcWidth,
                          uint32_t srcHeight, uint32_t dstWidth, uint32_t dstHeight);

}  // namespace ostrel::still
