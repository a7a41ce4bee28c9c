// x86 kernels of the resampler: SSE2 row blending, SSSE3/AVX2 byte gathers, selected at run time.
#include "still/resample_plan.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

namespace ostrel::still::detail {
namespace {

// (x + 32) >> 6 on 16-bit lanes: pmulhrsw by 512 rounds x * 512 / 2^15 half up.
constexpr short kRoundShift6 = 512;

__attribute__((target("ssse3"))) inline __m128i GatherSsse3(const HorizontalPlan& plan,
                                                            const uint8_t* base, int k) {
  __m128i pairs = _mm_shuffle_epi8(
      _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + plan.windowOffset[k][0])),
      _mm_load_si128(reinterpret_cast<const __m128i*>(plan.mask[k][0])));
  for (int w = 1; w < plan.windows[k]; ++w) {
    pairs = _mm_or_si128(
        pairs,
        _mm_shuffle_epi8(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + plan.windowOffset[k][w])),
            _mm_load_si128(reinterpret_cast<const __m128i*>(plan.mask[k][w]))));
  }
  return _mm_maddubs_epi16(pairs, _mm_load_si128(reinterpret_cast<const __m128i*>(plan.weight[k])));
}

}  // namespace

__attribute__((target("ssse3"))) void HorizontalSsse3(const HorizontalPlan& plan,
                                                      const uint8_t* src, uint8_t* line,
                                                      size_t chunks) {
  const __m128i round = _mm_set1_epi16(kRoundShift6);
  size_t c = 0;
  size_t base = 0;
  while (c < chunks) {
    for (int k = 0; k < kChunks && c < chunks; k += 2, c += 2) {
      const __m128i a = _mm_mulhrs_epi16(GatherSsse3(plan, src + base, k), round);
      const __m128i b = _mm_mulhrs_epi16(GatherSsse3(plan, src + base, k + 1), round);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(line + c * kChunkBytes), _mm_packus_epi16(a, b));
    }
    base += plan.periodAdvance;
  }
}

__attribute__((target("avx2"))) void HorizontalAvx2(const HorizontalPlan& plan, const uint8_t* src,
                                                    uint8_t* line, size_t chunks) {
  const __m256i round = _mm256_set1_epi16(kRoundShift6);
  size_t c = 0;
  size_t base = 0;
  while (c < chunks) {
    const uint8_t* s = src + base;
    for (int q = 0; q < kChunks / 4 && c < chunks; ++q, c += 4) {
      const int k = 4 * q;
      const __m256i w0 = _mm256_inserti128_si256(
          _mm256_castsi128_si256(
              _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + plan.windowOffset[k][0]))),
          _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + plan.windowOffset[k + 2][0])), 1);
      const __m256i w1 = _mm256_inserti128_si256(
          _mm256_castsi128_si256(
              _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + plan.windowOffset[k + 1][0]))),
          _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + plan.windowOffset[k + 3][0])), 1);
      const __m256i p0 = _mm256_shuffle_epi8(
          w0, _mm256_load_si256(reinterpret_cast<const __m256i*>(plan.quadMask[q][0])));
      const __m256i p1 = _mm256_shuffle_epi8(
          w1, _mm256_load_si256(reinterpret_cast<const __m256i*>(plan.quadMask[q][1])));
      const __m256i r0 = _mm256_mulhrs_epi16(
          _mm256_maddubs_epi16(
              p0, _mm256_load_si256(reinterpret_cast<const __m256i*>(plan.quadWeight[q][0]))),
          round);
      const __m256i r1 = _mm256_mulhrs_epi16(
          _mm256_maddubs_epi16(
              p1, _mm256_load_si256(reinterpret_cast<const __m256i*>(plan.quadWeight[q][1]))),
          round);
      // Per 128-bit lane the pack puts chunk 4q (or 4q+2) before chunk 4q+1 (or 4q+3).
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(line + c * kChunkBytes),
                          _mm256_packus_epi16(r0, r1));
    }
    base += plan.periodAdvance;
  }
}

namespace {

inline __m128i BlendSse2At(const uint8_t* cur, const uint8_t* next, __m128i wc, __m128i wn) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i half = _mm_set1_epi16(32);
  const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cur));
  const __m128i n = _mm_loadu_si128(reinterpret_cast<const __m128i*>(next));
  const __m128i lo =
      _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(c, zero), wc),
                                                 _mm_mullo_epi16(_mm_unpacklo_epi8(n, zero), wn)),
                                   half),
                     6);
  const __m128i hi =
      _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(c, zero), wc),
                                                 _mm_mullo_epi16(_mm_unpackhi_epi8(n, zero), wn)),
                                   half),
                     6);
  return _mm_packus_epi16(lo, hi);
}

__attribute__((target("avx2"))) inline __m256i BlendAvx2At(const uint8_t* cur, const uint8_t* next,
                                                           __m256i w) {
  const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(cur));
  const __m256i n = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(next));
  const __m256i round = _mm256_set1_epi16(kRoundShift6);
  const __m256i lo =
      _mm256_mulhrs_epi16(_mm256_maddubs_epi16(_mm256_unpacklo_epi8(c, n), w), round);
  const __m256i hi =
      _mm256_mulhrs_epi16(_mm256_maddubs_epi16(_mm256_unpackhi_epi8(c, n), w), round);
  return _mm256_packus_epi16(lo, hi);
}

}  // namespace

// Both blends need bytes >= their vector width. A row's first and last vectors are
// stored unaligned (the last one overlapping its neighbour with equal bytes), so the
// streaming stores in between can be aligned.
void BlendSse2(uint8_t* out, const uint8_t* cur, const uint8_t* next, size_t bytes, uint32_t g,
               bool streaming) {
  const __m128i wc = _mm_set1_epi16(static_cast<short>(64 - g));
  const __m128i wn = _mm_set1_epi16(static_cast<short>(g));
  size_t j = 0;
  if (streaming) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), BlendSse2At(cur, next, wc, wn));
    j = (0u - reinterpret_cast<uintptr_t>(out)) & 15u;
    if (j == 0) j = 16;
    for (; j + 16 <= bytes; j += 16) {
      _mm_stream_si128(reinterpret_cast<__m128i*>(out + j), BlendSse2At(cur + j, next + j, wc, wn));
    }
  } else {
    for (; j + 16 <= bytes; j += 16) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + j), BlendSse2At(cur + j, next + j, wc, wn));
    }
  }
  if (j < bytes) {
    const size_t t = bytes - 16;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + t), BlendSse2At(cur + t, next + t, wc, wn));
  }
}

__attribute__((target("avx2"))) void BlendAvx2(uint8_t* out, const uint8_t* cur,
                                               const uint8_t* next, size_t bytes, uint32_t g,
                                               bool streaming) {
  const __m256i w = _mm256_set1_epi16(static_cast<short>((g << 8) | (64 - g)));
  size_t j = 0;
  if (streaming) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), BlendAvx2At(cur, next, w));
    j = (0u - reinterpret_cast<uintptr_t>(out)) & 31u;
    if (j == 0) j = 32;
    for (; j + 32 <= bytes; j += 32) {
      _mm256_stream_si256(reinterpret_cast<__m256i*>(out + j), BlendAvx2At(cur + j, next + j, w));
    }
  } else {
    for (; j + 32 <= bytes; j += 32) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + j), BlendAvx2At(cur + j, next + j, w));
    }
  }
  if (j < bytes) {
    const size_t t = bytes - 32;
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + t), BlendAvx2At(cur + t, next + t, w));
  }
}

namespace {
// Sums of horizontal pairs (byte, byte 3 further) for two output pixels at p.
__attribute__((target("ssse3"))) inline __m128i PairSums(const uint8_t* p, __m128i pairs,
                                                         __m128i ones) {
  return _mm_maddubs_epi16(
      _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), pairs), ones);
}
}  // namespace

// 2 x 2 box: four output pixels (12 bytes) from 24 bytes of each row per step.
__attribute__((target("ssse3"))) size_t Box2Ssse3(uint8_t* out, const uint8_t* row0,
                                                  const uint8_t* row1, size_t outBytes) {
  // Pairs (left pixel byte, right pixel byte) of two output pixels; the last two lanes are 0.
  const __m128i pairs = _mm_setr_epi8(0, 3, 1, 4, 2, 5, 6, 9, 7, 10, 8, 11, -1, -1, -1, -1);
  const __m128i ones = _mm_set1_epi8(1);
  const __m128i compact = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 8, 9, 10, 11, 12, 13, -1, -1, -1, -1);
  const size_t srcBytes = 2 * outBytes;
  size_t j = 0;
  // The loads reach 28 source bytes past 2j and the store 16 output bytes past j.
  for (; j + 16 <= outBytes && 2 * j + 28 <= srcBytes; j += 12) {
    const uint8_t* a = row0 + 2 * j;
    const uint8_t* b = row1 + 2 * j;
    const __m128i left =
        _mm_srli_epi16(_mm_add_epi16(PairSums(a, pairs, ones), PairSums(b, pairs, ones)), 2);
    const __m128i right = _mm_srli_epi16(
        _mm_add_epi16(PairSums(a + 12, pairs, ones), PairSums(b + 12, pairs, ones)), 2);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + j),
                     _mm_shuffle_epi8(_mm_packus_epi16(left, right), compact));
  }
  return j;
}

void StoreFence() { _mm_sfence(); }

}  // namespace ostrel::still::detail

#else

namespace ostrel::still::detail {
void HorizontalSsse3(const HorizontalPlan&, const uint8_t*, uint8_t*, size_t) {}
void HorizontalAvx2(const HorizontalPlan&, const uint8_t*, uint8_t*, size_t) {}
void BlendSse2(uint8_t*, const uint8_t*, const uint8_t*, size_t, uint32_t, bool) {}
void BlendAvx2(uint8_t*, const uint8_t*, const uint8_t*, size_t, uint32_t, bool) {}
size_t Box2Ssse3(uint8_t*, const uint8_t*, const uint8_t*, size_t) { return 0; }
void StoreFence() {}
}  // namespace ostrel::still::detail

#endif
