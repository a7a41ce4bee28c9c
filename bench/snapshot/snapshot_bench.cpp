// Times the menu snapshot (command to closed file, the fixed 50 ms wait included) and the
// still-pin callback on the virtual camera at several still sizes; checks that the still
// pin keeps up with ten presses a second while the preview loses no frame; and, in the
// same run, times OpenCV's resize and BMP writer on the same frame, and the still
// buffers fresh (small pages, huge pages) against reused.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <thread>
#include <vector>

#include "app/main_frame.h"
#include "capture/graph_utils.h"
#include "plugins/transfer/transfer_register.h"
#include "preview_support.h"
#include "still/resample.h"
#include "still/still_buffer.h"
#include "still/still_file.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRuns = 8;

double Ms(Clock::time_point from) {
  return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
}
double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}
long MinorFaults() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_minflt;
}

class SleepingSystem : public platform::FakeSystem {
 public:
  void Sleep(uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

// Times every still-pin frame the frame's own callback writes.
class TimedCallback : public media::SampleGrabberCallback {
 public:
  media::Status BufferCB(double t, const uint8_t* data, long length) override {
    const auto start = Clock::now();
    const media::Status s = inner->BufferCB(t, data, length);
    const double ms = Ms(start);
    std::lock_guard<std::mutex> lock(mutex);
    times.push_back(ms);
    if (s != media::kOk) ++failures;
    return s;
  }
  size_t Count() {
    std::lock_guard<std::mutex> lock(mutex);
    return times.size();
  }
  media::SampleGrabberCallback* inner = nullptr;
  std::mutex mutex;
  std::vector<double> times;
  int failures = 0;
};

struct Camera {
  const char* name;
  virtualcam::Format format;
};

void EmptyFolder(const std::string& folder) {
  for (const auto& e : std::filesystem::directory_iterator(folder)) std::filesystem::remove(e);
}

void BenchCamera(const Camera& camera, const std::string& folder) {
  UseCamera(CameraWith({camera.format}));
  SleepingSystem system;
  system.modulePath = folder + "/../ostrel";
  system.documents = folder;
  system.config = folder + "/../config";
  PreviewWindow window;
  media::gst::GstMediaFactory factory{"ostrelvirtualdeviceprovider"};
  CMainFrame frame(system, &factory);
  frame.AttachWindow(window);
  TimedCallback timed;
  timed.inner = frame.m_pStillCallback;
  frame.m_pStillCallback = &timed;
  frame.OnCreate();
  frame.ActivateFrame();
  frame.SetSnapshotFolder(folder);
  if (!frame.m_graphRunning || !WaitFor([&] { return window.surface.Frames() >= 10; })) {
    std::printf("%s: the preview did not run\n", camera.name);
    return;
  }

  for (int size : {0, 4, 10}) {
    g_stillSizeIndex = size;
    std::vector<double> times;
    long faultsFirst = 0, faultsLater = 0;
    for (int i = 0; i < kRuns; ++i) {
      const long faults = MinorFaults();
      const auto start = Clock::now();
      const int32_t result = frame.TakeSnapshot();
      times.push_back(Ms(start));
      (i == 0 ? faultsFirst : faultsLater) += MinorFaults() - faults;
      if (result != 1) std::printf("  snapshot failed: %d\n", result);
      EmptyFolder(folder);
    }
    const double first = times.front();
    times.erase(times.begin());
    std::printf("| %s | menu | %d | %.1f (%ld faults) | %.1f | %.1f | %.1f (%ld faults) |\n",
                camera.name, size, first, faultsFirst, Median(times),
                *std::max_element(times.begin(), times.end()), Median(times) - 50.0,
                faultsLater / (kRuns - 1));
  }

  // The still pin at the largest size: the callback's own time, buffer kept between frames.
  g_stillSizeIndex = 10;
  timed.times.clear();
  for (int i = 0; i < kRuns; ++i) {
    const size_t before = timed.Count();
    virtualcam::PressSnapshotButton(0);
    WaitFor([&] { return timed.Count() > before; }, std::chrono::seconds(10));
    EmptyFolder(folder);
  }
  {
    std::vector<double> t = timed.times;
    const double first = t.front();
    t.erase(t.begin());
    std::printf("| %s | still pin | 10 | %.1f | %.1f | %.1f | - |\n", camera.name, first, Median(t),
                *std::max_element(t.begin(), t.end()));
  }

  // Ten presses a second at size 4 for five seconds: every press a file, no preview frame lost.
  g_stillSizeIndex = 4;
  std::shared_ptr<media::FrameCounters> counters;
  media::Filter* device = frame.m_videoDevices[frame.m_selectedVideoDevice].get();
  frame.m_pBuilder->FindFrameCounters(media::PinCategory::Capture, media::MajorType::Video, *device,
                                      counters);
  int32_t droppedBefore = 0, droppedAfter = 0;
  if (counters) counters->GetNumDropped(droppedBefore);
  timed.times.clear();
  timed.failures = 0;
  const int framesBefore = window.surface.Frames();
  const auto start = Clock::now();
  for (int i = 0; i < 50; ++i) {
    std::this_thread::sleep_until(start + std::chrono::milliseconds(100 * i));
    virtualcam::PressSnapshotButton(0);
  }
  WaitFor([&] { return timed.Count() >= 50; }, std::chrono::seconds(10));
  const double seconds = Ms(start) / 1000;
  const int presented = window.surface.Frames() - framesBefore;
  if (counters) counters->GetNumDropped(droppedAfter);
  size_t files = 0;
  for (const auto& e : std::filesystem::directory_iterator(folder)) files += e.is_regular_file();
  std::printf(
      "%s: 50 presses at 10/s, size 4: %zu files, %d failures, callback median %.1f ms, "
      "max %.1f ms; preview %d frames in %.2f s (%.1f fps), camera dropped %d\n",
      camera.name, files, timed.failures, Median(timed.times),
      timed.times.empty() ? 0 : *std::max_element(timed.times.begin(), timed.times.end()),
      presented, seconds, presented / seconds, droppedAfter - droppedBefore);
  EmptyFolder(folder);
  frame.OnClose();
}

// OpenCV's bilinear resize and BMP writer on a frame of the camera's picture.
void BenchOpenCv(const std::string& folder, int w, int h) {
  cv::Mat frame(h, w, CV_8UC3);
  cv::randu(frame, 0, 255);
  for (auto [dw, dh] : {std::pair{1280, 960}, std::pair{5120, 3840}}) {
    std::vector<double> reused, fresh;
    cv::Mat out;
    for (int i = 0; i < kRuns; ++i) {
      auto start = Clock::now();
      cv::resize(frame, out, cv::Size(dw, dh), 0, 0, cv::INTER_LINEAR);
      cv::imwrite(folder + "/cv.bmp", out);
      reused.push_back(Ms(start));
      start = Clock::now();
      cv::Mat f;
      cv::resize(frame, f, cv::Size(dw, dh), 0, 0, cv::INTER_LINEAR);
      cv::imwrite(folder + "/cv.bmp", f);
      fresh.push_back(Ms(start));
    }
    std::printf("| OpenCV %dx%d | resize + imwrite | %dx%d | output reused %.1f | fresh %.1f |\n",
                w, h, dw, dh, Median(reused), Median(fresh));
  }
  EmptyFolder(folder);
}

// Resample to 5120 x 3840 and write, with the output in three kinds of buffer.
void BenchBuffers(const std::string& folder, int w, int h) {
  std::vector<uint8_t> frame(size_t(w) * h * 3, 77);
  const size_t bytes = size_t{5120} * 3840 * 3;
  ostrel::still::StillBuffer kept;
  const auto once = [&](uint8_t* out) {
    const auto start = Clock::now();
    ostrel::still::ResampleRGB24(out, frame.data(), w, h, 5120, 3840);
    const double resample = Ms(start);
    ostrel::still::PendingBmp file;
    std::string error;
    file.Write(folder, out, 5120, 3840, false, &error);
    file.PublishAs(folder + "/b.bmp", &error);
    std::filesystem::remove(folder + "/b.bmp");
    return std::pair{resample, Ms(start)};
  };
  std::vector<double> rs[3], all[3];
  for (int i = 0; i < kRuns; ++i) {
    std::unique_ptr<uint8_t[]> plain(new uint8_t[bytes]);  // small pages, untouched
    auto [r0, a0] = once(plain.get());
    ostrel::still::StillBuffer huge;
    auto [r1, a1] = once(huge.Get(bytes));
    auto [r2, a2] = once(kept.Get(bytes));
    rs[0].push_back(r0), all[0].push_back(a0), rs[1].push_back(r1), all[1].push_back(a1);
    rs[2].push_back(r2), all[2].push_back(a2);
  }
  const char* names[3] = {"fresh, small pages", "fresh, huge pages", "reused"};
  for (int k = 0; k < 3; ++k)
    std::printf("| %dx%d -> 5120x3840 | %s | resample %.1f | resample + write %.1f |\n", w, h,
                names[k], Median(rs[k]), Median(all[k]));
}

}  // namespace

int main() {
  gst_init(nullptr, nullptr);
  transfer::RegisterStatic();
  char tmpl[] = "/tmp/ostrel-snapshot-bench-XXXXXX";
  if (!::mkdtemp(tmpl)) return 1;
  const std::string folder = std::string(tmpl) + "/Pictures";
  std::filesystem::create_directories(folder);

  std::printf(
      "| camera | path | still size | first ms | median ms | max ms | median beyond the "
      "50 ms wait |\n|---|---|---|---|---|---|---|\n");
  const Camera cameras[] = {{"YUY2 640x480", {"YUY2", 640, 480, 30}},
                            {"MJPG 1920x1080", {"MJPG", 1920, 1080, 30}}};
  for (const Camera& c : cameras) BenchCamera(c, folder);
  std::printf("\n");
  BenchOpenCv(folder, 640, 480);
  BenchOpenCv(folder, 1920, 1080);
  std::printf("\n");
  BenchBuffers(folder, 640, 480);
  BenchBuffers(folder, 1920, 1080);
  std::filesystem::remove_all(tmpl);
  return 0;
}
