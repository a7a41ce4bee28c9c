// Times ResampleRGB24 on the still conversions, with OpenCV (INTER_LINEAR, one thread) and a
// memcpy of the output size in the same run. compare_resample.py prints the ratios.
#include <benchmark/benchmark.h>

#include <cstring>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <random>
#include <string>
#include <vector>

#include "still/resample.h"
#include "still/resample_simd.h"

namespace {

struct Conversion {
  int sw, sh, dw, dh;
};

const Conversion kConversions[] = {
    {640, 480, 320, 240},     {640, 480, 800, 600},  {640, 480, 1280, 960},
    {640, 480, 5120, 3840},   {1280, 720, 640, 480}, {1920, 1080, 5120, 3840},
    {1280, 1024, 1600, 1200},
};

// Buffers are made and touched once: first touches of fresh pages would dominate.
std::vector<uint8_t> Filled(size_t bytes, unsigned seed) {
  std::vector<uint8_t> v(bytes);
  std::mt19937 rng(seed);
  for (auto& b : v) b = static_cast<uint8_t>(rng());
  return v;
}

std::string Name(const Conversion& c, const char* what) {
  return std::to_string(c.sw) + "x" + std::to_string(c.sh) + "->" + std::to_string(c.dw) + "x" +
         std::to_string(c.dh) + "/" + what;
}

void SetBytes(benchmark::State& state, const Conversion& c) {
  state.SetBytesProcessed(int64_t(state.iterations()) * c.dw * c.dh * 3);
}

void RunOstrel(benchmark::State& state, Conversion c, ostrel::still::SimdLevel level) {
  const auto src = Filled(size_t(c.sw) * c.sh * 3, 1);
  auto dst = Filled(size_t(c.dw) * c.dh * 3, 2);
  for (auto _ : state) {
    ostrel::still::ResampleRGB24AtLevel(level, dst.data(), src.data(), c.sw, c.sh, c.dw, c.dh);
    benchmark::ClobberMemory();
  }
  SetBytes(state, c);
}

void RunOpenCv(benchmark::State& state, Conversion c) {
  const auto srcBytes = Filled(size_t(c.sw) * c.sh * 3, 1);
  const cv::Mat src(c.sh, c.sw, CV_8UC3, const_cast<uint8_t*>(srcBytes.data()));
  auto dstBytes = Filled(size_t(c.dw) * c.dh * 3, 2);
  cv::Mat dst(c.dh, c.dw, CV_8UC3, dstBytes.data());
  for (auto _ : state) {
    cv::resize(src, dst, dst.size(), 0, 0, cv::INTER_LINEAR);
    benchmark::ClobberMemory();
  }
  SetBytes(state, c);
}

void RunMemcpy(benchmark::State& state, Conversion c) {
  const auto from = Filled(size_t(c.dw) * c.dh * 3, 1);
  auto to = Filled(from.size(), 2);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), from.size());
    benchmark::ClobberMemory();
  }
  SetBytes(state, c);
}

}  // namespace

int main(int argc, char** argv) {
  cv::setNumThreads(1);
  using ostrel::still::SimdLevel;
  const SimdLevel best = ostrel::still::DetectedSimdLevel();
  for (const Conversion& c : kConversions) {
    benchmark::RegisterBenchmark(Name(c, "ostrel").c_str(), RunOstrel, c, best)
        ->Unit(benchmark::kMicrosecond);
    if (best > SimdLevel::kSse2) {
      benchmark::RegisterBenchmark(Name(c, "ostrel_sse2").c_str(), RunOstrel, c, SimdLevel::kSse2)
          ->Unit(benchmark::kMicrosecond);
    }
    benchmark::RegisterBenchmark(Name(c, "opencv").c_str(), RunOpenCv, c)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(Name(c, "memcpy").c_str(), RunMemcpy, c)
        ->Unit(benchmark::kMicrosecond);
  }
  static const char* const levelNames[] = {"scalar", "sse2", "ssse3", "avx2"};
  benchmark::AddCustomContext("ostrel_simd", levelNames[static_cast<int>(best)]);
#ifdef NDEBUG
  benchmark::AddCustomContext("ostrel_optimized", "yes");
#else
  benchmark::AddCustomContext("ostrel_optimized", "no");
#endif
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
