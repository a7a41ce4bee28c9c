// The fast resampler against the plain transcription, byte for byte, on random and still sizes.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "reference_resample.h"
#include "resample_test_util.h"
#include "still/resample.h"
#include "still/still_size.h"

namespace ostrel::still::testing {
namespace {

// Sanitizer builds run the same cases but fewer of the big ones.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif
#ifdef NDEBUG
constexpr bool kOptimized = !kSanitized;
#else
constexpr bool kOptimized = false;
#endif

// Output buffers kept across cases: fresh pages are slow to touch.
struct Buffers {
  std::vector<uint8_t> expected;
  std::vector<uint8_t> out;
};

::testing::AssertionResult SameAtEveryLevel(const std::vector<uint8_t>& src, uint32_t sw,
                                            uint32_t sh, uint32_t dw, uint32_t dh) {
  static Buffers buffers;
  auto& expected = buffers.expected;
  auto& out = buffers.out;
  ReferenceResample(src, sw, sh, dw, dh, expected);
  for (SimdLevel level : LevelsToTest()) {
    // Exactly the output size, with a guard band behind it that must stay untouched.
    constexpr size_t kGuard = 64;
    out.assign(expected.size() + kGuard, 0xA5);
    ResampleRGB24AtLevel(level, out.data(), src.data(), sw, sh, dw, dh);
    const auto mismatch = std::mismatch(expected.begin(), expected.end(), out.begin());
    if (mismatch.first != expected.end()) {
      const size_t i = mismatch.first - expected.begin();
      const size_t pixel = i / 3;
      return ::testing::AssertionFailure()
             << sw << "x" << sh << " -> " << dw << "x" << dh << " at " << LevelName(level)
             << ": first difference at output pixel (" << pixel % dw << ", " << pixel / dw
             << ") byte " << i % 3 << ": " << int(out[i]) << " instead of " << int(expected[i]);
    }
    if (std::count(out.end() - kGuard, out.end(), 0xA5) != kGuard) {
      return ::testing::AssertionFailure() << sw << "x" << sh << " -> " << dw << "x" << dh << " at "
                                           << LevelName(level) << " wrote past the output";
    }
  }
  return ::testing::AssertionSuccess();
}

TEST(ResampleDifferential, RandomSizesUpTo400) {
  std::mt19937 rng(20240611);
  std::uniform_int_distribution<uint32_t> size(1, 400);
  std::uniform_int_distribution<uint32_t> small(1, 24);
  const int cases = kSanitized ? 100 : 400;
  for (int n = 0; n < cases; ++n) {
    // A quarter of the cases on small sizes, where 1-pixel axes and tails are frequent.
    auto pick = [&] { return n % 4 == 0 ? small(rng) : size(rng); };
    const uint32_t sw = pick(), sh = pick(), dw = pick(), dh = pick();
    const auto src = RandomImage(size_t{sw} * sh, rng);
    ASSERT_TRUE(SameAtEveryLevel(src, sw, sh, dw, dh));
  }
}

TEST(ResampleDifferential, WholeFactorsAndNearMisses) {
  std::mt19937 rng(5);
  for (uint32_t k = 1; k <= 7; ++k) {
    for (uint32_t dw : {1u, 2u, 5u, 33u}) {
      const uint32_t dh = dw % 3 + 1;
      const auto src = RandomImage(size_t{dw} * k * dh * k + 3 * dw, rng);
      ASSERT_TRUE(SameAtEveryLevel(src, dw * k, dh * k, dw, dh));
      ASSERT_TRUE(SameAtEveryLevel(src, dw * k + 1, dh * k, dw, dh));
      ASSERT_TRUE(SameAtEveryLevel(src, dw * k, dh * k + 1, dw, dh));
    }
  }
  // Enlargements beyond 64x leave the step at 0 and everything on the first pixel.
  const auto src = RandomImage(2 * 2, rng);
  ASSERT_TRUE(SameAtEveryLevel(src, 2, 2, 300, 130));
}

TEST(ResampleDifferential, StillSizesFromCameraFrames) {
  std::mt19937 rng(42);
  const std::pair<uint32_t, uint32_t> frames[] = {
      {160, 120}, {352, 288}, {640, 480}, {1280, 720}, {1920, 1080}};
  for (auto [fw, fh] : frames) {
    const auto src = RandomImage(size_t{fw} * fh, rng);
    for (uint32_t index = 0; index < kStillSizeCount; ++index) {
      const StillSize out = StillOutputSize(index, fw, fh);
      // Big stills take long to compare: optimized builds check those above 2 megapixels
      // from a small and a large frame; unoptimized ones stop at 1 megapixel, sanitized ones at
      // half of it (the random
      // sizes cover the same code paths).
      const uint64_t pixels = uint64_t{out.width} * out.height;
      if (!kOptimized && pixels > (kSanitized ? 500'000 : 1'000'000)) continue;
      if (pixels > 2'000'000 && fw != 640 && fw != 1920) continue;
      ASSERT_TRUE(SameAtEveryLevel(src, fw, fh, out.width, out.height));
    }
  }
}

}  // namespace
}  // namespace ostrel::still::testing
