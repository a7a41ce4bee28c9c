// The limited-range YUV rows to B,G,R: the matrix is rounded from the same chain of
// double-precision steps as videoconvert's, so every coefficient is the same integer.
#include "platform/gst/yuv_to_bgr_rows.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace media::gst {
namespace {

struct Matrix4 {
  double m[4][4];
};

Matrix4 Identity() {
  Matrix4 r{};
  for (int i = 0; i < 4; ++i) r.m[i][i] = 1;
  return r;
}

// a * b, summed in the same order as videoconvert so the last bit agrees.
Matrix4 Multiply(const Matrix4& a, const Matrix4& b) {
  Matrix4 r{};
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      double x = 0;
      for (int k = 0; k < 4; ++k) x += a.m[i][k] * b.m[k][j];
      r.m[i][j] = x;
    }
  return r;
}

Matrix4 Offset(const Matrix4& m, double a1, double a2, double a3) {
  Matrix4 a = Identity();
  a.m[0][3] = a1;
  a.m[1][3] = a2;
  a.m[2][3] = a3;
  return Multiply(a, m);
}

Matrix4 Scale(const Matrix4& m, double a1, double a2, double a3) {
  Matrix4 a = Identity();
  a.m[0][0] = a1;
  a.m[1][1] = a2;
  a.m[2][2] = a3;
  return Multiply(a, m);
}

}  // namespace

namespace {

Matrix4 ToRgb(double kr, double kb) {
  const double kg = 1.0 - kr - kb;
  return {{{1., 0., 2 * (1 - kr), 0.},
           {1., -2 * kb * (1 - kb) / kg, -2 * kr * (1 - kr) / kg, 0.},
           {1., 2 * (1 - kb), 0., 0.},
           {0., 0., 0., 1.}}};
}

YuvToRgbMatrix Rounded(const Matrix4& m) {
  YuvToRgbMatrix r{};
  for (int c = 0; c < 3; ++c) {
    r.y[c] = static_cast<int32_t>(std::rint(m.m[c][0]));
    r.u[c] = static_cast<int32_t>(std::rint(m.m[c][1]));
    r.v[c] = static_cast<int32_t>(std::rint(m.m[c][2]));
    r.offset[c] = static_cast<int32_t>(std::rint(m.m[c][3]));
  }
  return r;
}

}  // namespace

YuvToRgbMatrix LimitedRangeMatrix(double kr, double kb) {
  // 16-bit limited range to 0..1 (the scales are single-precision reciprocals there too).
  Matrix4 m = Offset(Identity(), -4096, -32768, -32768);
  m = Scale(m, 1 / 56064.0f, 1 / 57344.0f, 1 / 57344.0f);
  m = Multiply(ToRgb(kr, kb), m);
  m = Scale(m, 255.0f, 255.0f, 255.0f);  // to full-range 8-bit R'G'B'
  m = Scale(m, 256.0f, 256.0f, 256.0f);  // computed in 16 bits
  m = Scale(m, 256.0f, 256.0f, 256.0f);  // fixed point, 8 fractional bits
  return Rounded(m);
}

bool FullRangeMatrix(double kr, double kb, YuvToRgbMatrix& matrix) {
  Matrix4 m = Offset(Identity(), 0, -128, -128);
  m = Scale(m, 1 / 255.0f, 1 / 255.0f, 1 / 255.0f);
  m = Multiply(ToRgb(kr, kb), m);
  m = Scale(m, 255.0f, 255.0f, 255.0f);
  m = Scale(m, 256.0f, 256.0f, 256.0f);  // fixed point, 8 fractional bits
  matrix = Rounded(m);
  matrix.eightBit = true;
  // The fast arithmetic takes one luma weight for all three and ignores the offsets.
  const auto fits16 = [](int32_t k) { return k >= -32768 && k <= 32767; };
  for (int c = 0; c < 3; ++c)
    if (!fits16(matrix.y[c]) || !fits16(matrix.u[c]) || !fits16(matrix.v[c])) return false;
  return matrix.y[0] == matrix.y[1] && matrix.y[1] == matrix.y[2] && matrix.u[0] == 0 &&
         matrix.v[2] == 0;
}

namespace {

Instructions Available() {
#if defined(__SSE2__)
  if (__builtin_cpu_supports("avx2")) return Instructions::kAvx2;
  if (__builtin_cpu_supports("ssse3")) return Instructions::kSsse3;
#endif
  return Instructions::kScalar;
}

}  // namespace

bool YuvToBgrRows::Configure(uint32_t width, const YuvToRgbMatrix& matrix, ChromaSiting siting,
                             int bytesPerPixel, Instructions widest) {
  if (width < 2 || width % 2 != 0 || (bytesPerPixel != 3 && bytesPerPixel != 4)) return false;
  width_ = width;
  matrix_ = matrix;
  siting_ = siting;
  bytesPerPixel_ = bytesPerPixel;
  instructions_ = std::min(widest, Available());
  y_.resize(width);
  u_.resize(width);
  v_.resize(width);
  half_.resize(width / 2 + 2);
  far_.resize(width);
  return true;
}

namespace {

#if defined(__SSE2__)
inline __m128i Load(const uint8_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// Sixteen bytes taken every 2 (or every 4) bytes from p.
inline __m128i Every2nd(const uint8_t* p) {
  const __m128i low = _mm_set1_epi16(0xFF);
  return _mm_packus_epi16(_mm_and_si128(Load(p), low), _mm_and_si128(Load(p + 16), low));
}
inline __m128i Every4th(const uint8_t* p) {
  const __m128i low = _mm_set1_epi32(0xFF);
  const __m128i a = _mm_packs_epi32(_mm_and_si128(Load(p), low), _mm_and_si128(Load(p + 16), low));
  const __m128i b =
      _mm_packs_epi32(_mm_and_si128(Load(p + 32), low), _mm_and_si128(Load(p + 48), low));
  return _mm_packus_epi16(a, b);
}
#endif

// Copies n samples taken `step` bytes apart; the steps of packed and planar rows go fast.
void Take(uint8_t* dst, const uint8_t* src, size_t step, uint32_t n) {
  uint32_t i = 0;
#if defined(__SSE2__)
  // Vector loads read up to 3 bytes past the last sample they use: never past the row's last.
  if (step == 1) {
    for (; i + 16 <= n; i += 16)
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), Load(src + i));
  } else if (step == 2) {
    for (; i + 17 <= n; i += 16)
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), Every2nd(src + 2 * i));
  } else if (step == 4) {
    for (; i + 17 <= n; i += 16)
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), Every4th(src + 4 * i));
  }
#endif
  for (; i < n; ++i) dst[i] = src[i * step];
}

}  // namespace

void YuvToBgrRows::WidenChroma(std::vector<uint8_t>& full, const uint8_t* src, size_t step) {
  // The half row has one sample of padding each side, a copy of the edge sample: the
  // filters then leave the first and last pixels at their own sample, as videoconvert does.
  const uint32_t n = width_ / 2;
  uint8_t* h = half_.data();
  Take(h + 1, src, step, n);
  h[0] = h[1];
  h[n + 1] = h[n];
  UpsampleChroma(full, h);
}

// videoconvert's horizontal 2x chroma filters: between pixels, each sample weighs 3:1 on
// its nearer neighbours; cosited, the odd pixel is the mean of the two.
void YuvToBgrRows::UpsampleChroma(std::vector<uint8_t>& full, const uint8_t* half) const {
  uint8_t* out = full.data();
  const uint32_t n = width_ / 2;
  const uint8_t* c = half + 1;  // c[k] is the k-th sample; c[-1] and c[n] are the padding
  uint32_t k = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i two = _mm_set1_epi16(2);
  for (; k + 16 <= n; k += 16) {
    const __m128i cur = Load(c + k), next = Load(c + k + 1);
    __m128i even, odd;
    if (siting_ == ChromaSiting::kBetween) {
      const __m128i prev = Load(c + k - 1);
      __m128i e[2], o[2];
      for (int h = 0; h < 2; ++h) {
        const __m128i p16 = h ? _mm_unpackhi_epi8(prev, zero) : _mm_unpacklo_epi8(prev, zero);
        const __m128i c16 = h ? _mm_unpackhi_epi8(cur, zero) : _mm_unpacklo_epi8(cur, zero);
        const __m128i n16 = h ? _mm_unpackhi_epi8(next, zero) : _mm_unpacklo_epi8(next, zero);
        const __m128i c3 = _mm_add_epi16(_mm_add_epi16(c16, c16), c16);
        e[h] = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(p16, c3), two), 2);
        o[h] = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(n16, c3), two), 2);
      }
      even = _mm_packus_epi16(e[0], e[1]);
      odd = _mm_packus_epi16(o[0], o[1]);
    } else if (siting_ == ChromaSiting::kCosited) {
      even = cur;
      odd = _mm_avg_epu8(cur, next);
    } else {
      even = odd = cur;
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * k), _mm_unpacklo_epi8(even, odd));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * k + 16), _mm_unpackhi_epi8(even, odd));
  }
#endif
  for (; k < n; ++k) {
    const uint8_t* p = c + k;  // p[-1] is the padding when k is 0
    if (siting_ == ChromaSiting::kBetween) {
      out[2 * k] = static_cast<uint8_t>((p[-1] + 3 * p[0] + 2) >> 2);
      out[2 * k + 1] = static_cast<uint8_t>((3 * p[0] + p[1] + 2) >> 2);
    } else if (siting_ == ChromaSiting::kCosited) {
      out[2 * k] = p[0];
      out[2 * k + 1] = static_cast<uint8_t>((p[0] + p[1] + 1) >> 1);
    } else {
      out[2 * k] = out[2 * k + 1] = p[0];
    }
  }
}

namespace {

inline uint8_t Channel(int32_t y, int32_t u, int32_t v, int32_t ky, int32_t ku, int32_t kv,
                       int32_t offset) {
  const int32_t t = 257 * (ky * y + ku * u + kv * v) + offset;
  return static_cast<uint8_t>(std::clamp(t >> 16, 0, 255));
}

// A value less 128 as a signed byte, repeated in both bytes of a 16-bit word.
inline int32_t Splat(uint8_t x) {
  return static_cast<int16_t>(static_cast<uint16_t>((x ^ 0x80) * 257));
}

inline uint8_t Channel8(int32_t sy, int32_t su, int32_t sv, int32_t ky, int32_t ku, int32_t kv) {
  const int32_t t = ((sy * ky) >> 16) + ((su * ku) >> 16) + ((sv * kv) >> 16);
  return static_cast<uint8_t>(std::clamp(t, -128, 127) + 128);
}

void MatrixPixels(const YuvToRgbMatrix& m, const uint8_t* y, const uint8_t* u, const uint8_t* v,
                  uint8_t* dst, uint32_t from, uint32_t to, int bytes) {
  for (uint32_t x = from; x < to; ++x) {
    uint8_t* d = dst + bytes * x;
    for (int c = 0; c < 3; ++c) {
      const int k = 2 - c;  // B, G, R are the matrix's rows 2, 1, 0
      d[c] = m.eightBit ? Channel8(Splat(y[x]), Splat(u[x]), Splat(v[x]), m.y[k], m.u[k], m.v[k])
                        : Channel(y[x], u[x], v[x], m.y[k], m.u[k], m.v[k], m.offset[k]);
    }
    if (bytes == 4) d[3] = 0xFF;
  }
}

#if defined(__SSE2__)
// One channel's weights: (Y,U) and (V,0) pairs through pmaddwd give the exact 32-bit sums;
// 257 * s + offset, the top 16 bits, saturated to 0..255 by the packs.
struct ChannelWeights {
  __m128i yu, v0, offset;
  __m128i ky, ku, kv;  // the 8-bit arithmetic's
  ChannelWeights(const YuvToRgbMatrix& m, int c)
      : yu(_mm_set1_epi32(static_cast<int32_t>((static_cast<uint32_t>(m.u[c]) << 16) |
                                               (static_cast<uint32_t>(m.y[c]) & 0xFFFF)))),
        v0(_mm_set1_epi32(m.v[c] & 0xFFFF)),
        offset(_mm_set1_epi32(m.offset[c])),
        ky(_mm_set1_epi16(static_cast<int16_t>(m.y[c]))),
        ku(_mm_set1_epi16(static_cast<int16_t>(m.u[c]))),
        kv(_mm_set1_epi16(static_cast<int16_t>(m.v[c]))) {}
};

// Sixteen pixels' B, G and R, a byte each.
struct Bgr16 {
  __m128i b, g, r;
};

// Sixteen pixels of one channel with the 8-bit arithmetic.
inline __m128i EightBitChannel16(const __m128i s[3][2], const ChannelWeights& w) {
  __m128i t[2];
  for (int h = 0; h < 2; ++h)
    t[h] =
        _mm_add_epi16(_mm_add_epi16(_mm_mulhi_epi16(s[0][h], w.ky), _mm_mulhi_epi16(s[1][h], w.ku)),
                      _mm_mulhi_epi16(s[2][h], w.kv));
  return _mm_xor_si128(_mm_packs_epi16(t[0], t[1]), _mm_set1_epi8(static_cast<char>(0x80)));
}

inline __m128i Half(__m128i yu, __m128i v0, const ChannelWeights& w) {
  const __m128i s = _mm_add_epi32(_mm_madd_epi16(yu, w.yu), _mm_madd_epi16(v0, w.v0));
  const __m128i t = _mm_add_epi32(_mm_add_epi32(_mm_slli_epi32(s, 8), s), w.offset);
  return _mm_srai_epi32(t, 16);
}

// Eight pixels' values of one channel, as 16-bit lanes (already within 0..255 after packus).
inline __m128i SixteenBitChannel8(__m128i yuLo, __m128i yuHi, __m128i v0Lo, __m128i v0Hi,
                                  const ChannelWeights& w) {
  return _mm_packs_epi32(Half(yuLo, v0Lo, w), Half(yuHi, v0Hi, w));
}

// w: the weights of B, G and R.
__attribute__((always_inline)) inline Bgr16 Channels(const ChannelWeights* w, bool eightBit,
                                                     const uint8_t* y, const uint8_t* u,
                                                     const uint8_t* v) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i y8 = Load(y), u8 = Load(u), v8 = Load(v);
  if (eightBit) {
    const __m128i bias = _mm_set1_epi8(static_cast<char>(0x80));
    __m128i s[3][2];
    const __m128i in[3] = {_mm_xor_si128(y8, bias), _mm_xor_si128(u8, bias),
                           _mm_xor_si128(v8, bias)};
    for (int i = 0; i < 3; ++i) {
      s[i][0] = _mm_unpacklo_epi8(in[i], in[i]);
      s[i][1] = _mm_unpackhi_epi8(in[i], in[i]);
    }
    return {EightBitChannel16(s, w[0]), EightBitChannel16(s, w[1]), EightBitChannel16(s, w[2])};
  }
  __m128i bgr[3][2];
  for (int half = 0; half < 2; ++half) {
    const __m128i y16 = half ? _mm_unpackhi_epi8(y8, zero) : _mm_unpacklo_epi8(y8, zero);
    const __m128i u16 = half ? _mm_unpackhi_epi8(u8, zero) : _mm_unpacklo_epi8(u8, zero);
    const __m128i v16 = half ? _mm_unpackhi_epi8(v8, zero) : _mm_unpacklo_epi8(v8, zero);
    const __m128i yuLo = _mm_unpacklo_epi16(y16, u16), yuHi = _mm_unpackhi_epi16(y16, u16);
    const __m128i v0Lo = _mm_unpacklo_epi16(v16, zero), v0Hi = _mm_unpackhi_epi16(v16, zero);
    for (int c = 0; c < 3; ++c) bgr[c][half] = SixteenBitChannel8(yuLo, yuHi, v0Lo, v0Hi, w[c]);
  }
  return {_mm_packus_epi16(bgr[0][0], bgr[0][1]), _mm_packus_epi16(bgr[1][0], bgr[1][1]),
          _mm_packus_epi16(bgr[2][0], bgr[2][1])};
}

// The same arithmetic on sixteen pixels at once in 256-bit registers, in the same order.
struct WideWeights {
  __m256i yu, v0, offset, ky, ku, kv;
};

__attribute__((target("avx2"))) inline WideWeights Widen(const ChannelWeights& w) {
  return {_mm256_broadcastsi128_si256(w.yu),     _mm256_broadcastsi128_si256(w.v0),
          _mm256_broadcastsi128_si256(w.offset), _mm256_broadcastsi128_si256(w.ky),
          _mm256_broadcastsi128_si256(w.ku),     _mm256_broadcastsi128_si256(w.kv)};
}

__attribute__((target("avx2"))) inline __m128i Bytes(__m256i words, bool saturateSigned) {
  const __m128i lo = _mm256_castsi256_si128(words), hi = _mm256_extracti128_si256(words, 1);
  return saturateSigned ? _mm_packs_epi16(lo, hi) : _mm_packus_epi16(lo, hi);
}

__attribute__((target("avx2"))) inline __m128i SixteenBitChannel16(__m256i yuLo, __m256i yuHi,
                                                                   __m256i v0Lo, __m256i v0Hi,
                                                                   const WideWeights& w) {
  __m256i half[2];
  for (int h = 0; h < 2; ++h) {
    const __m256i s = _mm256_add_epi32(_mm256_madd_epi16(h ? yuHi : yuLo, w.yu),
                                       _mm256_madd_epi16(h ? v0Hi : v0Lo, w.v0));
    half[h] = _mm256_srai_epi32(
        _mm256_add_epi32(_mm256_add_epi32(_mm256_slli_epi32(s, 8), s), w.offset), 16);
  }
  return Bytes(_mm256_packs_epi32(half[0], half[1]), false);
}

__attribute__((target("avx2"), always_inline)) inline Bgr16 WideChannels(
    const WideWeights* w, bool eightBit, const uint8_t* y, const uint8_t* u, const uint8_t* v) {
  if (eightBit) {
    const __m128i bias = _mm_set1_epi8(static_cast<char>(0x80));
    __m256i s[3];
    const uint8_t* in[3] = {y, u, v};
    for (int i = 0; i < 3; ++i) {
      const __m256i b = _mm256_cvtepu8_epi16(_mm_xor_si128(Load(in[i]), bias));
      s[i] = _mm256_or_si256(b, _mm256_slli_epi16(b, 8));  // the byte in both halves
    }
    __m128i c[3];
    for (int k = 0; k < 3; ++k) {
      const __m256i t = _mm256_add_epi16(
          _mm256_add_epi16(_mm256_mulhi_epi16(s[0], w[k].ky), _mm256_mulhi_epi16(s[1], w[k].ku)),
          _mm256_mulhi_epi16(s[2], w[k].kv));
      c[k] = _mm_xor_si128(Bytes(t, true), bias);
    }
    return {c[0], c[1], c[2]};
  }
  const __m256i zero = _mm256_setzero_si256();
  const __m256i y16 = _mm256_cvtepu8_epi16(Load(y));
  const __m256i u16 = _mm256_cvtepu8_epi16(Load(u));
  const __m256i v16 = _mm256_cvtepu8_epi16(Load(v));
  // Within each 128-bit lane, as the narrow arithmetic pairs them; the packs undo the order.
  const __m256i yuLo = _mm256_unpacklo_epi16(y16, u16), yuHi = _mm256_unpackhi_epi16(y16, u16);
  const __m256i v0Lo = _mm256_unpacklo_epi16(v16, zero), v0Hi = _mm256_unpackhi_epi16(v16, zero);
  return {SixteenBitChannel16(yuLo, yuHi, v0Lo, v0Hi, w[0]),
          SixteenBitChannel16(yuLo, yuHi, v0Lo, v0Hi, w[1]),
          SixteenBitChannel16(yuLo, yuHi, v0Lo, v0Hi, w[2])};
}

// Where each byte of a 48-byte B,G,R block comes from: per 16-byte part and channel, the
// pixel's index in that channel's register, or -1 for none.
struct GatherMasks {
  int8_t index[3][3][16];
};

constexpr GatherMasks MakeGatherMasks() {
  GatherMasks g{};
  for (int part = 0; part < 3; ++part)
    for (int i = 0; i < 16; ++i)
      for (int c = 0; c < 3; ++c) {
        const int at = 16 * part + i;
        g.index[part][c][i] = static_cast<int8_t>(at % 3 == c ? at / 3 : -1);
      }
  return g;
}

alignas(16) constexpr GatherMasks kGatherMasks = MakeGatherMasks();

// Sixteen pixels of `bytes` bytes each (B,G,R or B,G,R,0xFF) at dst.
__attribute__((target("ssse3"))) inline void Store(const Bgr16& p, uint8_t* dst, int bytes) {
  auto* out = reinterpret_cast<__m128i*>(dst);
  if (bytes == 4) {
    const __m128i opaque = _mm_set1_epi8(static_cast<char>(0xFF));
    const __m128i bgLo = _mm_unpacklo_epi8(p.b, p.g), bgHi = _mm_unpackhi_epi8(p.b, p.g);
    const __m128i raLo = _mm_unpacklo_epi8(p.r, opaque), raHi = _mm_unpackhi_epi8(p.r, opaque);
    _mm_storeu_si128(out, _mm_unpacklo_epi16(bgLo, raLo));
    _mm_storeu_si128(out + 1, _mm_unpackhi_epi16(bgLo, raLo));
    _mm_storeu_si128(out + 2, _mm_unpacklo_epi16(bgHi, raHi));
    _mm_storeu_si128(out + 3, _mm_unpackhi_epi16(bgHi, raHi));
    return;
  }
  const auto* masks = reinterpret_cast<const __m128i*>(&kGatherMasks);
  for (int part = 0; part < 3; ++part) {
    const __m128i* m = masks + 3 * part;
    const __m128i bg = _mm_or_si128(_mm_shuffle_epi8(p.b, _mm_load_si128(m)),
                                    _mm_shuffle_epi8(p.g, _mm_load_si128(m + 1)));
    _mm_storeu_si128(out + part, _mm_or_si128(bg, _mm_shuffle_epi8(p.r, _mm_load_si128(m + 2))));
  }
}

// The pixels from x to the row's end, fewer than sixteen, out of the block that ends there.
__attribute__((target("ssse3"))) inline void StoreLast(const Bgr16& block, uint8_t* dst, uint32_t x,
                                                       uint32_t width, int bytes) {
  alignas(16) uint8_t last[64];
  Store(block, last, bytes);
  std::memcpy(dst + bytes * x, last + bytes * (x + 16 - width), bytes * (width - x));
}

// Rows of at least sixteen pixels, in blocks of sixteen.
__attribute__((target("ssse3"))) void MatrixRowSsse3(const YuvToRgbMatrix& m, const uint8_t* y,
                                                     const uint8_t* u, const uint8_t* v,
                                                     uint8_t* dst, uint32_t width, int bytes) {
  // B, G, R: the matrix's rows 2, 1, 0.
  const ChannelWeights w[3] = {ChannelWeights(m, 2), ChannelWeights(m, 1), ChannelWeights(m, 0)};
  uint32_t x = 0;
  for (; x + 16 <= width; x += 16)
    Store(Channels(w, m.eightBit, y + x, u + x, v + x), dst + bytes * x, bytes);
  const uint32_t from = width - 16;
  if (x < width)
    StoreLast(Channels(w, m.eightBit, y + from, u + from, v + from), dst, x, width, bytes);
}

__attribute__((target("avx2"))) void MatrixRowAvx2(const YuvToRgbMatrix& m, const uint8_t* y,
                                                   const uint8_t* u, const uint8_t* v, uint8_t* dst,
                                                   uint32_t width, int bytes) {
  const WideWeights w[3] = {Widen(ChannelWeights(m, 2)), Widen(ChannelWeights(m, 1)),
                            Widen(ChannelWeights(m, 0))};
  uint32_t x = 0;
  for (; x + 16 <= width; x += 16)
    Store(WideChannels(w, m.eightBit, y + x, u + x, v + x), dst + bytes * x, bytes);
  const uint32_t from = width - 16;
  if (x < width)
    StoreLast(WideChannels(w, m.eightBit, y + from, u + from, v + from), dst, x, width, bytes);
}
#endif

void MatrixRow(const YuvToRgbMatrix& m, const uint8_t* y, const uint8_t* u, const uint8_t* v,
               uint8_t* dst, uint32_t width, int bytes, Instructions instructions) {
#if defined(__SSE2__)
  if (width >= 16 && instructions == Instructions::kAvx2)
    return MatrixRowAvx2(m, y, u, v, dst, width, bytes);
  if (width >= 16 && instructions == Instructions::kSsse3)
    return MatrixRowSsse3(m, y, u, v, dst, width, bytes);
#endif
  MatrixPixels(m, y, u, v, dst, 0, width, bytes);
}

}  // namespace

namespace {

// videoconvert's vertical 2x chroma filter on rows already widened: 3:1 towards the
// nearer chroma row.
void BlendRows(uint8_t* near, const uint8_t* far, uint32_t width) {
  uint32_t x = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i two = _mm_set1_epi16(2);
  for (; x + 16 <= width; x += 16) {
    const __m128i a = Load(near + x), b = Load(far + x);
    __m128i r[2];
    for (int h = 0; h < 2; ++h) {
      const __m128i a16 = h ? _mm_unpackhi_epi8(a, zero) : _mm_unpacklo_epi8(a, zero);
      const __m128i b16 = h ? _mm_unpackhi_epi8(b, zero) : _mm_unpacklo_epi8(b, zero);
      const __m128i a3 = _mm_add_epi16(_mm_add_epi16(a16, a16), a16);
      r[h] = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(a3, b16), two), 2);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(near + x), _mm_packus_epi16(r[0], r[1]));
  }
#endif
  for (; x < width; ++x) near[x] = static_cast<uint8_t>((3 * near[x] + far[x] + 2) >> 2);
}

}  // namespace

void YuvToBgrRows::Convert(const YuvRow& row, uint8_t* dst) {
  Take(y_.data(), row.y, row.yStep, width_);
  WidenChroma(u_, row.u, row.cStep);
  WidenChroma(v_, row.v, row.cStep);
  if (row.farU && row.farV) {
    WidenChroma(far_, row.farU, row.cStep);
    BlendRows(u_.data(), far_.data(), width_);
    WidenChroma(far_, row.farV, row.cStep);
    BlendRows(v_.data(), far_.data(), width_);
  }
  MatrixRow(matrix_, y_.data(), u_.data(), v_.data(), dst, width_, bytesPerPixel_, instructions_);
}

}  // namespace media::gst
