// Runs Ostrel's preview (the real frame, Qt window offscreen, virtual camera, transfer
// filter) for a fixed number of frames per camera format and reports frames delivered,
// handed to the window and drawn, and the CPU time per frame of the whole process; in
// the same run, a plain gst-launch-1.0 pipeline with the same conversions into a
// fakesink is timed the same way. The cases named "uvc" run on the emulated UVC camera
// through v4l2src (run the bench inside tests/support/uvc_camera.sh); the camera's own cost,
// a v4l2src pipeline that only takes its frames, is reported beside them. Under an X server
// with QT_QPA_PLATFORM=xcb both show their frames there: the plain pipeline ends in
// ximagesink (gstreamer1.0-x) instead.
#include <fcntl.h>
#include <gst/gst.h>
#include <linux/videodev2.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/pelquin_app.h"
#include "capture/graph_utils.h"
#include "platform/fakes/fake_system.h"
#include "platform/gst/gst_media_factory.h"
#include "platform/qt/qt_frame_window.h"
#include "platform/qt/qt_video_window.h"
#include "plugins/transfer/transfer_register.h"
#include "virtual_devices.h"

namespace {

constexpr int kWarmupFrames = 30;
constexpr int kMeasuredFrames = 300;
// CPU accounting on a shared machine is noisy: each side is measured this many times
// and its median reported.
constexpr int kRounds = 5;
constexpr int kFps = 30;

constexpr char kUvcNode[] = "/dev/video42";

struct Case {
  const char* name;
  virtualcam::Format format;
  const char* cameraCaps;  // the camera's output as the plain pipeline asks for it
  const char* decode;      // what the plain pipeline does before the colour conversion
  bool uvc = false;        // the emulated UVC camera instead of the virtual one
};

// Makes the format the V4L2 camera's current mode, which Ostrel then opens in.
bool SetDriverMode(const virtualcam::Format& f) {
  const int fd = ::open(kUvcNode, O_RDWR);
  if (fd < 0) return false;
  v4l2_format format{};
  format.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  format.fmt.pix.width = f.width;
  format.fmt.pix.height = f.height;
  format.fmt.pix.pixelformat = f.fourcc == "MJPG" ? V4L2_PIX_FMT_MJPEG : V4L2_PIX_FMT_YUYV;
  v4l2_streamparm parm{};
  parm.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  parm.parm.capture.timeperframe = {1, static_cast<uint32_t>(f.fps)};
  const bool ok = ::ioctl(fd, VIDIOC_S_FMT, &format) == 0 && ::ioctl(fd, VIDIOC_S_PARM, &parm) == 0;
  ::close(fd);
  return ok;
}

struct Result {
  int delivered = 0;
  uint64_t presented = 0;
  uint64_t drawn = 0;
  double cpuMsPerFrame = 0;
};

double CpuSeconds(const rusage& u) {
  return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double ProcessCpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return CpuSeconds(u);
}

int Delivered(CMainFrame& frame) {
  std::shared_ptr<media::FrameCounters> counters;
  frame.m_pBuilder->FindFrameCounters(media::PinCategory::Capture, media::MajorType::Video,
                                      *frame.m_videoDevices[0], counters);
  int32_t n = 0;
  if (counters) counters->GetNumNotDropped(n);
  return n;
}

bool ProcessUntil(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > timeoutMs) return false;
    // Sleeps until something happens: frames and the frame's timer wake it.
    QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
  return true;
}

// Ostrel's own path, start to close, measured between two delivered-frame counts.
bool RunOstrel(const Case& c, const std::string& dir, Result& r) {
  virtualcam::CameraSpec spec;
  spec.formats = {c.format};
  virtualcam::Configure({spec}, {});
  if (c.uvc && !SetDriverMode(c.format)) return false;
  platform::FakeSystem system;
  system.modulePath = dir + "/ostrel";
  system.documents = dir;
  platform::QtWindowFactory windows;
  media::gst::GstMediaFactory factory(c.uvc ? "v4l2deviceprovider" : "ostrelvirtualdeviceprovider");
  CPelquinApp app(system, &factory, windows);
  if (!app.InitInstance() || !app.MainFrame()->m_graphRunning) return false;
  CMainFrame& frame = *app.MainFrame();
  platform::QtVideoWindow* video =
      dynamic_cast<platform::QtFrameWindow*>(app.MainWindow())->VideoWindow();
  const int timeout = 4000 + 2000 * (kWarmupFrames + kMeasuredFrames) / kFps;
  if (!ProcessUntil([&] { return Delivered(frame) >= kWarmupFrames; }, timeout)) return false;
  // The frame in flight at each end can fall either side: one frame of slack.
  const int start = Delivered(frame);
  const uint64_t presented = video->PresentedFrames();
  const uint64_t drawn = video->PaintedFrames();
  const double cpu = ProcessCpuSeconds();
  if (!ProcessUntil([&] { return Delivered(frame) >= start + kMeasuredFrames; }, timeout))
    return false;
  const double used = ProcessCpuSeconds() - cpu;
  r.delivered = Delivered(frame) - start;
  r.presented = video->PresentedFrames() - presented;
  r.drawn = video->PaintedFrames() - drawn;
  r.cpuMsPerFrame = 1000.0 * used / r.delivered;
  app.MainWindow()->CloseWindow();
  QApplication::processEvents();
  return true;
}

// CPU seconds of one gst-launch-1.0 run that ends after `frames` frames; cameraOnly: the
// frames are only taken from the camera.
double LaunchCpuSeconds(const Case& c, int frames, bool cameraOnly = false) {
  const std::string source =
      c.uvc ? std::string("v4l2src device=") + kUvcNode : std::string("ostrelvirtualcamsrc");
  const std::string work = cameraOnly
                               ? std::string()
                               : std::string("queue ! ") + c.decode +
                                     "videoconvert ! video/x-raw,format=BGR ! ostreltransfer ! "
                                     "video/x-raw,format=BGRx ! ";
  // Where Ostrel's window is on an X server, the plain pipeline shows its frames there too.
  const bool shown = !cameraOnly && QGuiApplication::platformName() == "xcb";
  const std::string pipeline = source + " ! " + c.cameraCaps + " ! " + work +
                               "identity eos-after=" + std::to_string(frames) + " ! " +
                               (shown ? "ximagesink" : "fakesink") + " sync=false";
  std::fflush(stdout);
  const pid_t pid = fork();
  if (pid == 0) {
    std::vector<std::string> args{"gst-launch-1.0", "-q"};
    for (const char* p = pipeline.c_str(); *p;) {
      const char* end = p;
      while (*end && *end != ' ') ++end;
      args.emplace_back(p, end);
      p = *end ? end + 1 : end;
    }
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (!freopen("/dev/null", "w", stdout)) _exit(126);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage u{};
  if (pid < 0 || wait4(pid, &status, 0, &u) != pid || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0)
    return -1;
  return CpuSeconds(u);
}

// Start-up cancelled out: the difference between a long run and a short one.
double PlainMsPerFrame(const Case& c, bool cameraOnly = false) {
  const double shortRun = LaunchCpuSeconds(c, kWarmupFrames, cameraOnly);
  const double longRun = LaunchCpuSeconds(c, kWarmupFrames + kMeasuredFrames, cameraOnly);
  if (shortRun < 0 || longRun < 0) return -1;
  return 1000.0 * (longRun - shortRun) / kMeasuredFrames;
}

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  gst_init(nullptr, nullptr);
  QApplication application(argc, argv);
  transfer::RegisterStatic();
  virtualcam::RegisterStatic();
  // The child pipelines find the same plugins as loadable modules.
  ::setenv("GST_PLUGIN_PATH", OSTREL_PLUGIN_PATH, 1);

  const std::vector<Case> cases = {
      {"YUY2 1280x720",
       {"YUY2", 1280, 720, kFps},
       "video/x-raw,format=YUY2,width=1280,height=720,framerate=30/1",
       ""},
      {"MJPG 1920x1080",
       {"MJPG", 1920, 1080, kFps},
       "image/jpeg,width=1920,height=1080,framerate=30/1",
       "jpegdec ! "},
      {"uvc YUYV 640x480",
       {"YUY2", 640, 480, kFps},
       "video/x-raw,format=YUY2,width=640,height=480,framerate=30/1",
       "",
       true},
      {"uvc MJPG 1920x1080",
       {"MJPG", 1920, 1080, kFps},
       "image/jpeg,width=1920,height=1080,framerate=30/1",
       "jpegdec ! ",
       true},
  };
  struct stat node;
  const bool haveUvc = ::stat(kUvcNode, &node) == 0;
  char tmpl[] = "/tmp/ostrel-bench-XXXXXX";
  if (!mkdtemp(tmpl)) return 1;
  const std::string dir = tmpl;

  std::printf("%-20s %9s %9s %7s %12s %12s %7s %13s %13s\n", "format", "delivered", "to window",
              "drawn", "ours ms/fr", "plain ms/fr", "ratio", "camera ms/fr", "ratio w/o cam");
  int failures = 0;
  // An argument picks cases by name ("YUY2", "MJPG"); none runs them all.
  const std::string only = argc > 1 ? argv[1] : "";
  for (const Case& c : cases) {
    if (!only.empty() && std::string(c.name).find(only) == std::string::npos) continue;
    if (c.uvc && !haveUvc) {
      std::printf("%-20s skipped: run the bench inside tests/support/uvc_camera.sh\n", c.name);
      continue;
    }
    std::vector<Result> runs;
    std::vector<double> plains, cameras;
    for (int round = 0; round < kRounds; ++round) {
      Result r;
      if (!RunOstrel(c, dir, r)) break;
      runs.push_back(r);
      plains.push_back(PlainMsPerFrame(c));
      if (c.uvc) cameras.push_back(PlainMsPerFrame(c, true));
    }
    if (runs.size() != static_cast<size_t>(kRounds)) {
      std::printf("%-20s preview did not run\n", c.name);
      ++failures;
      continue;
    }
    std::sort(runs.begin(), runs.end(),
              [](const Result& a, const Result& b) { return a.cpuMsPerFrame < b.cpuMsPerFrame; });
    std::sort(plains.begin(), plains.end());
    std::sort(cameras.begin(), cameras.end());
    const Result& r = runs[kRounds / 2];
    const double plain = plains[kRounds / 2];
    // The emulated camera's own work (drawing, encoding) is in both columns; without it
    // the ratio compares only what the two pipelines do with its frames.
    const double camera = cameras.empty() ? 0 : cameras[kRounds / 2];
    // Frames are counted over every round: a frame lost anywhere shows.
    int delivered = 0;
    unsigned long long presented = 0, drawn = 0;
    for (const Result& run : runs) {
      delivered += run.delivered;
      presented += run.presented;
      drawn += run.drawn;
    }
    std::printf("%-20s %9d %9llu %7llu %12.2f %12.2f %7.2f", c.name, delivered, presented, drawn,
                r.cpuMsPerFrame, plain, plain > 0 ? r.cpuMsPerFrame / plain : 0.0);
    if (c.uvc)
      std::printf(" %13.2f %13.2f", camera,
                  plain - camera > 0 ? (r.cpuMsPerFrame - camera) / (plain - camera) : 0.0);
    std::printf("\n");
    if (plain <= 0) ++failures;
  }
  std::filesystem::remove_all(dir);
  return failures == 0 ? 0 : 1;
}
