// Recordings from the virtual camera with sound: frames the camera delivered, frames in
// the clip as ffprobe and GStreamer read it, the sound's end against the picture's, and
// the CPU time per frame of the whole process; in the same run the CPU time per frame of
// a plain gst-launch-1.0 pipeline making the same recording (camera, tee with a preview
// branch, the same muxer and encoders). The busy rows record while two other programs
// keep both cores busy: the seconds recorded against the seconds in the file, the frames
// left out as the stop told them, and how long the stop took.
#include <gst/gst.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "capture/capture_frame.h"
#include "capture/graph_utils.h"
#include "clip_probe.h"
#include "platform/fakes/fake_system.h"
#include "platform/fakes/fake_window.h"
#include "platform/gst/gst_media_factory.h"
#include "virtual_devices.h"

namespace {

// Takes the preview's frames as a window would, so the renderer converts every one.
class CountingSurface : public media::VideoSurface {
 public:
  void Present(const media::VideoFrame&) override { ++frames; }
  void Place(int, int, int, int) override {}
  void Show(bool) override {}
  std::atomic<long> frames{0};
};

class BenchWindow : public platform::FakeWindow {
 public:
  media::VideoSurface* GetVideoSurface() override { return &surface; }
  CountingSurface surface;
};

class BenchFrame : public CaptureFrame {
 public:
  BenchFrame() : factory_("ostrelvirtualdeviceprovider") {}
  platform::Window& Ui() override { return window; }
  platform::System& Sys() override { return system; }
  media::MediaFactory& Media() override { return factory_; }
  void FitWindowToVideo(int, int) override {}
  BenchWindow window;
  platform::FakeSystem system;

 private:
  media::gst::GstMediaFactory factory_;
};

struct Case {
  const char* name;
  virtualcam::Format format;
  int deliveredFps;  // 0: all the format's frames
  int recordFormat;  // 0 AVI, 1 WMV
  const char* caps;  // the camera's output as the plain pipeline asks for it
  const char* decode;
  bool busy = false;  // both cores kept busy by two other programs
};

struct Result {
  bool ok = false;
  int delivered = 0;
  long ffFrames = 0;
  long gstFrames = 0;
  double ffAvGap = 0;  // sound's end minus picture's end, seconds
  double gstAvGap = 0;
  double cpuMsPerFrame = 0;
  double wallSeconds = 0;
  double recordedSeconds = 0;  // from the start to the stop request
  double stopSeconds = 0;
  double videoEnd = 0;  // ffprobe: the picture's end in the file
  int64_t leftOut = 0;  // frames the stop said were left out
  std::string error;
};

// Two other programs that keep both cores busy while this lives.
class BusyPrograms {
 public:
  explicit BusyPrograms(bool on) {
    for (int i = 0; on && i < 2; ++i) {
      const pid_t pid = fork();
      if (pid == 0)
        for (volatile unsigned long n = 0;; n = n + 1) {
        }
      if (pid > 0) pids_.push_back(pid);
    }
  }
  ~BusyPrograms() {
    for (pid_t pid : pids_) kill(pid, SIGKILL);
    for (pid_t pid : pids_) waitpid(pid, nullptr, 0);
  }

 private:
  std::vector<pid_t> pids_;
};

double CpuSeconds(const rusage& u) {
  return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double ProcessCpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return CpuSeconds(u);
}

void ReadBack(const std::string& file, Result& r) {
  const ProbedClip ff = ProbeWithFfprobe(file);
  const ProbedClip gst = ProbeWithGStreamer(file, 600);
  if (!ff.ok || !gst.ok || !ff.Find("video") || !ff.Find("audio") || !gst.Find("video") ||
      !gst.Find("audio")) {
    r.error = ff.error + " " + gst.error;
    return;
  }
  r.ffFrames = ff.Find("video")->frames;
  r.gstFrames = gst.Find("video")->frames;
  r.ffAvGap = ff.Find("audio")->end - ff.Find("video")->end;
  r.videoEnd = ff.Find("video")->end;
  r.gstAvGap = gst.Find("audio")->end - gst.Find("video")->end;
  r.ok = true;
}

int Delivered(BenchFrame& frame) {
  std::shared_ptr<media::FrameCounters> counters;
  frame.m_pBuilder->FindFrameCounters(media::PinCategory::Capture, media::MajorType::Video,
                                      *frame.m_videoDevices[0], counters);
  int32_t n = 0;
  if (counters) counters->GetNumNotDropped(n);
  return n;
}

Result RunOstrel(const Case& c, const std::string& dir, int seconds) {
  Result r;
  virtualcam::CameraSpec camera;
  camera.formats = {c.format};
  camera.deliveredFps = c.deliveredFps;
  virtualcam::Configure({camera}, {virtualcam::MicrophoneSpec{}});
  BenchFrame frame;
  frame.EnumerateVideoDevices();
  frame.EnumerateAudioDevices();
  frame.m_selectedVideoDevice = 0;
  frame.m_selectedAudioDevice = 0;
  frame.CreateGraph();
  frame.m_captureFolder = dir;
  frame.m_captureMode = 1;
  frame.m_recordAudio = 1;
  frame.m_recordFormat = c.recordFormat;
  frame.m_frameRate = c.format.fps;
  const std::string file = frame.ClipPath(frame.m_clipIndex, c.recordFormat ? "WMV" : "AVI");
  if (!frame.BuildGraph()) {
    r.error = "the recording graph was not built";
    return r;
  }
  const int before = Delivered(frame);
  const double cpu = ProcessCpuSeconds();
  BusyPrograms busy(c.busy);
  const auto start = std::chrono::steady_clock::now();
  if (!RunGraph(frame.m_pGraph.get(), frame.Sys())) {
    r.error = "the recording did not start";
    return r;
  }
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  const auto stop = std::chrono::steady_clock::now();
  StopGraph(frame.m_pGraph.get(), frame.Sys());
  const auto end = std::chrono::steady_clock::now();
  r.wallSeconds = std::chrono::duration<double>(end - start).count();
  r.recordedSeconds = std::chrono::duration<double>(stop - start).count();
  r.stopSeconds = std::chrono::duration<double>(end - stop).count();
  const double used = ProcessCpuSeconds() - cpu;
  r.delivered = Delivered(frame) - before;
  frame.TearDownGraph();
  r.leftOut = frame.TakeFramesLeftOut();
  r.cpuMsPerFrame = r.delivered > 0 ? 1000.0 * used / r.delivered : 0;
  ReadBack(file, r);
  return r;
}

std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  size_t p = 0;
  while (p < text.size()) {
    size_t end = text.find(' ', p);
    if (end == std::string::npos) end = text.size();
    if (end > p) words.push_back(text.substr(p, end - p));
    p = end + 1;
  }
  return words;
}

Result RunPlain(const Case& c, const std::string& dir, int seconds) {
  Result r;
  const std::string file = dir + (c.recordFormat ? "/plain.wmv" : "/plain.avi");
  const std::string camera = std::string("ostrelvirtualcamsrc ! ") + c.caps + " ! tee name=t ";
  const std::string preview =
      std::string("t. ! queue leaky=2 max-size-buffers=2 max-size-bytes=0 max-size-time=0 ! ") +
      c.decode + "videoconvert ! video/x-raw,format=BGRx ! fakesink sync=false ";
  std::string pipeline;
  if (c.recordFormat == 0) {
    pipeline = camera + "t. ! queue ! videorate ! avimux name=m ! filesink location=" + file + " " +
               preview + "ostrelvirtualmicsrc ! audiorate ! m.";
  } else {
    pipeline = camera + "t. ! queue ! " + c.decode +
               "videoconvert ! videoscale ! video/x-raw,format=I420 ! avenc_wmv2 qmax=5 ! "
               "identity single-segment=true ! queue ! avmux_asf name=m ! filesink location=" +
               file + " " + preview +
               "ostrelvirtualmicsrc ! audioconvert ! audioresample ! avenc_wmav2 bitrate=64000 ! "
               "identity single-segment=true ! queue ! m.";
  }
  std::fflush(stdout);
  BusyPrograms busy(c.busy);
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    std::vector<std::string> args{"gst-launch-1.0", "-q", "-e"};
    for (auto& w : Words(pipeline)) args.push_back(w);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (!freopen("/dev/null", "w", stdout)) _exit(126);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  kill(pid, SIGINT);  // -e: the end of the streams first, so the muxer finishes the file
  int status = 0;
  rusage u{};
  if (pid < 0 || wait4(pid, &status, 0, &u) != pid) {
    r.error = "gst-launch-1.0 did not run";
    return r;
  }
  r.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  r.recordedSeconds = seconds;
  r.stopSeconds = r.wallSeconds - seconds;
  ReadBack(file, r);
  r.delivered = static_cast<int>(r.ffFrames);
  r.cpuMsPerFrame = r.ffFrames > 0 ? 1000.0 * CpuSeconds(u) / r.ffFrames : 0;
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
  const std::string only = argc > 2 ? argv[2] : "";  // runs the cases whose name has it
  gst_init(nullptr, nullptr);
  virtualcam::RegisterStatic();
  ::setenv("GST_PLUGIN_PATH", OSTREL_PLUGIN_PATH, 1);  // for the plain pipelines
  char tmpl[] = "/tmp/ostrel-recording-bench-XXXXXX";
  if (!::mkdtemp(tmpl)) return 1;
  const std::string root = tmpl;

  const std::vector<Case> cases = {
      {"AVI YUY2 640x480@30",
       {"YUY2", 640, 480, 30},
       0,
       0,
       "video/x-raw,format=YUY2,width=640,height=480,framerate=30/1",
       ""},
      {"AVI YUY2 1280x720@10",
       {"YUY2", 1280, 720, 10},
       0,
       0,
       "video/x-raw,format=YUY2,width=1280,height=720,framerate=10/1",
       ""},
      {"AVI MJPG 1920x1080@30",
       {"MJPG", 1920, 1080, 30},
       0,
       0,
       "image/jpeg,width=1920,height=1080,framerate=30/1",
       "jpegdec ! "},
      {"AVI YUY2 640x480@30, 22 of 30 delivered", {"YUY2", 640, 480, 30}, 22, 0, nullptr, ""},
      {"WMV YUY2 640x480@30",
       {"YUY2", 640, 480, 30},
       0,
       1,
       "video/x-raw,format=YUY2,width=640,height=480,framerate=30/1",
       ""},
      {"WMV MJPG 1920x1080@30, both cores busy",
       {"MJPG", 1920, 1080, 30},
       0,
       1,
       "image/jpeg,width=1920,height=1080,framerate=30/1",
       "jpegdec ! ",
       true},
      {"AVI MJPG 1920x1080@30, both cores busy",
       {"MJPG", 1920, 1080, 30},
       0,
       0,
       "image/jpeg,width=1920,height=1080,framerate=30/1",
       "jpegdec ! ",
       true},
  };
  std::printf("%d s recordings with sound; gaps are the sound's end minus the picture's.\n\n",
              seconds);
  std::printf(
      "| case | delivered | ffprobe frames | GStreamer frames | A-V gap ffprobe | A-V gap "
      "GStreamer | CPU ms/frame | plain CPU ms/frame | ratio |\n|---|---|---|---|---|---|---|---|"
      "---|\n");
  int n = 0;
  std::vector<std::string> busyRows;
  for (const Case& c : cases) {
    if (std::string(c.name).find(only) == std::string::npos) continue;
    const std::string dir = root + "/" + std::to_string(n++);
    std::filesystem::create_directories(dir);
    const Result ours = RunOstrel(c, dir, seconds);
    Result plain;
    if (c.caps) plain = RunPlain(c, dir, seconds);
    if (!ours.ok) {
      std::printf("| %s | failed: %s |\n", c.name, ours.error.c_str());
      continue;
    }
    char plainText[64] = "-";
    char ratio[32] = "-";
    if (plain.ok) {
      std::snprintf(plainText, sizeof plainText, "%.2f", plain.cpuMsPerFrame);
      std::snprintf(ratio, sizeof ratio, "%.2f", ours.cpuMsPerFrame / plain.cpuMsPerFrame);
    } else if (c.caps) {
      std::snprintf(plainText, sizeof plainText, "failed");
    }
    std::printf("| %s | %d | %ld | %ld | %+.3f s | %+.3f s | %.2f | %s | %s |\n", c.name,
                ours.delivered, ours.ffFrames, ours.gstFrames, ours.ffAvGap, ours.gstAvGap,
                ours.cpuMsPerFrame, plainText, ratio);
    std::fflush(stdout);
    if (!c.busy) continue;
    char row[512];
    std::snprintf(row, sizeof row,
                  "| %s | %.2f | %.2f | %.3f | %d | %ld | %lld | %.2f | %.2f | %.3f | %.2f |",
                  c.name, ours.recordedSeconds, ours.videoEnd, ours.videoEnd / ours.recordedSeconds,
                  ours.delivered, ours.ffFrames, static_cast<long long>(ours.leftOut),
                  ours.stopSeconds, plain.videoEnd,
                  plain.ok ? plain.videoEnd / plain.recordedSeconds : 0.0, plain.stopSeconds);
    busyRows.push_back(row);
  }
  if (!busyRows.empty()) {
    std::printf(
        "\nBusy rows: seconds recorded (start to stop request) against seconds of picture in "
        "the file; the plain pipeline records as long.\n\n| case | recorded s | in file s | "
        "ratio | delivered | in file | left out (told) | stop s | plain in file s | plain "
        "ratio | plain stop s |\n|---|---|---|---|---|---|---|---|---|---|---|\n");
    for (const std::string& row : busyRows) std::printf("%s\n", row.c_str());
  }
  std::filesystem::remove_all(root);
  return 0;
}
