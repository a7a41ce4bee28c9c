// Times, on the real frame (Qt window offscreen, virtual cameras at YUY2 1280x720, the
// system's real clock and sleeps), how long each command that changes the capture state
// holds the user-interface thread: preview off, preview on, a switch between two cameras,
// a capture-format change through command 41 (its sheet closed at once), the cameras
// unplugged and plugged in again while the preview runs (the longest the thread is held
// in one go while the frame follows them; its message box closed at once), and closing the
// window while the preview runs. In the same run a plain GStreamer pipeline with the same
// camera and conversions is taken to PLAYING and back to NULL as the reference.
#include <gst/gst.h>
#include <stdlib.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/pelquin_app.h"
#include "platform/gst/gst_media_factory.h"
#include "platform/linux/linux_system.h"
#include "platform/qt/qt_frame_window.h"
#include "plugins/transfer/transfer_register.h"
#include "res/menu_ids.h"
#include "virtual_devices.h"

namespace {

constexpr int kRounds = 7;

// The real system, with the executable (and so the settings file) in a temporary folder.
class BenchSystem : public platform::LinuxSystem {
 public:
  explicit BenchSystem(std::string dir) : dir_(std::move(dir)) {}
  std::string ModulePath() const override { return dir_ + "/ostrel"; }

 private:
  std::string dir_;
};

double Ms(const std::function<void()>& work) {
  QElapsedTimer clock;
  clock.start();
  work();
  return clock.nsecsElapsed() / 1e6;
}

// Lets the preview run a little between two commands, as a user would.
void Settle(int ms) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 10);
}

double Median(std::vector<double> v) {
  if (v.empty()) return -1;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// The longest the user-interface thread is held in one go while its events run for ms;
// a message box that comes up meanwhile is closed at once, as a user would.
double LongestBlock(int ms) {
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [] {
    if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) box->done(0);
  });
  closer.start(1);
  double longest = 0;
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms) {
    longest = std::max(longest, Ms([] { QApplication::processEvents(QEventLoop::AllEvents); }));
    g_usleep(500);
  }
  return longest;
}

// The reference: the same camera and conversions in one pipeline, to PLAYING and to NULL.
struct Plain {
  double start = -1;
  double stop = -1;
};
Plain PlainPipeline() {
  GError* error = nullptr;
  GstElement* p = gst_parse_launch(
      "ostrelvirtualcamsrc ! video/x-raw,format=YUY2,width=1280,height=720 ! tee ! queue ! "
      "videoconvert ! video/x-raw,format=BGR ! ostreltransfer ! videoconvert ! "
      "video/x-raw,format=BGRx ! fakesink sync=true",
      &error);
  if (!p) {
    if (error) g_error_free(error);
    return {};
  }
  Plain r;
  r.start = Ms([&] {
    gst_element_set_state(p, GST_STATE_PLAYING);
    gst_element_get_state(p, nullptr, nullptr, 5 * GST_SECOND);
  });
  Settle(300);
  r.stop = Ms([&] { gst_element_set_state(p, GST_STATE_NULL); });
  gst_object_unref(p);
  return r;
}

// Closes the property sheet as soon as it is up (the user cancels it at once).
void CancelNextSheet() {
  QTimer::singleShot(0, [] {
    if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) d->reject();
  });
}

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  gst_init(nullptr, nullptr);
  QApplication application(argc, argv);
  transfer::RegisterStatic();
  virtualcam::RegisterStatic();
  char tmpl[] = "/tmp/ostrel-commands-bench-XXXXXX";
  if (!mkdtemp(tmpl)) return 1;
  const std::string dir = tmpl;
  // The virtual cameras' plug: the file there, read by the device provider's own thread.
  const std::string plug = dir + "/plug";
  std::ofstream(plug).put('1');
  ::setenv("OSTREL_VIRTUAL_CAMERA_PLUG", plug.c_str(), 1);

  std::vector<double> off, on, toOther, toFirst, format, unplug, replug, close, plainStart,
      plainStop;
  for (int round = 0; round < kRounds; ++round) {
    virtualcam::CameraSpec camera;
    camera.formats = {{"YUY2", 1280, 720, 30}, {"YUY2", 640, 480, 30}};
    virtualcam::CameraSpec second = camera;
    second.name = "Second Virtual Camera";
    virtualcam::Configure({camera, second}, {});
    BenchSystem system(dir);
    platform::QtWindowFactory windows;
    media::gst::GstMediaFactory factory("ostrelvirtualdeviceprovider");
    CPelquinApp app(system, &factory, windows);
    if (!app.InitInstance() || !app.MainFrame()->m_graphRunning) {
      std::fprintf(stderr, "the preview did not start\n");
      return 1;
    }
    CMainFrame& frame = *app.MainFrame();
    Settle(500);
    off.push_back(Ms([&] { frame.OnCommand(menu_id::kPreview); }));
    Settle(200);
    on.push_back(Ms([&] { frame.OnCommand(menu_id::kPreview); }));
    Settle(500);
    toOther.push_back(Ms([&] { frame.OnCommand(17); }));
    Settle(500);
    toFirst.push_back(Ms([&] { frame.OnCommand(16); }));
    Settle(500);
    CancelNextSheet();
    format.push_back(Ms([&] { frame.OnCommand(menu_id::kVideoPinProperties); }));
    Settle(500);
    std::filesystem::remove(plug);
    unplug.push_back(LongestBlock(1500));
    if (frame.m_selectedVideoDevice >= 0) {
      std::fprintf(stderr, "the unplugged camera is still chosen\n");
      return 1;
    }
    std::ofstream(plug).put('1');
    replug.push_back(LongestBlock(1500));
    Settle(500);
    if (!frame.m_graphRunning) {
      std::fprintf(stderr, "a command left the preview stopped\n");
      return 1;
    }
    close.push_back(Ms([&] { app.MainWindow()->CloseWindow(); }));
    QApplication::processEvents();
    const Plain plain = PlainPipeline();
    plainStart.push_back(plain.start);
    plainStop.push_back(plain.stop);
  }
  std::filesystem::remove_all(dir);

  // The Part's fixed waits: 300 ms after every start, none in a stop that succeeds.
  struct Row {
    const char* name;
    double ms;
    double fixedWait;
    double target;
    double reference;
  };
  const double start = Median(plainStart), stop = Median(plainStop), switchMs = Median(toOther);
  const Row rows[] = {
      {"preview off", Median(off), 0, 150, stop},
      {"preview on", Median(on), 300, 450, start},
      {"camera switch", Median(toOther), 300, 450, start + stop},
      {"camera switch back", Median(toFirst), 300, 450, start + stop},
      {"capture format (41)", Median(format), 300, 450, start + stop},
      // A device change holds the thread no longer than a camera switch of the same run
      // (a tenth more for the noise between rounds).
      {"cameras unplugged", Median(unplug), 0, switchMs * 1.1, stop},
      {"cameras plugged in", Median(replug), 300, switchMs * 1.1, start},
      {"close during preview", Median(close), 0, 300, stop},
  };
  std::printf("median of %d rounds, milliseconds of the user-interface thread\n", kRounds);
  std::printf("%-22s %9s %11s %9s %13s %14s\n", "command", "ours", "fixed wait", "target",
              "plain gst", "ours-wait/gst");
  int over = 0;
  for (const Row& r : rows) {
    const double ratio = r.reference > 0 ? (r.ms - r.fixedWait) / r.reference : 0;
    std::printf("%-22s %9.1f %11.0f %9.0f %13.1f %14.2f%s\n", r.name, r.ms, r.fixedWait, r.target,
                r.reference, ratio, r.ms > r.target ? "  OVER" : "");
    over += r.ms > r.target;
  }
  std::printf("device change / camera switch: unplugged %.2f, plugged in %.2f\n",
              Median(unplug) / switchMs, Median(replug) / switchMs);
  return over == 0 ? 0 : 2;
}
