// The main frame on a V4L2 camera (the emulated UVC camera of tests/support, which this
// program runs inside): the driver's current mode first, every mode it offers previewed,
// snapped and recorded, and its faults: a refused frame rate, an unplug, its button.
#include <fcntl.h>
#include <linux/input.h>
#include <linux/videodev2.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <set>
#include <thread>

#include "clip_probe.h"
#include "frame_fixture.h"
#include "i18n/lang_text_table.h"
#include "platform/gst/v4l2_controls.h"
#include "plugins/transfer/transfer_register.h"
#include "res/menu_ids.h"

namespace {

// The camera's 75% colour bars, left to right, as RGB.
constexpr uint8_t kBars[8][3] = {{191, 191, 191}, {191, 191, 0}, {0, 191, 191}, {0, 191, 0},
                                 {191, 0, 191},   {191, 0, 0},   {0, 0, 191},   {0, 0, 0}};

// Where a BMP's colour at (x, y from the top) differs from the expected bar, as text; empty
// when every bar is within tolerance on its middle row.
std::string BarsMismatch(const std::string& path, int tolerance) {
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> bmp((std::istreambuf_iterator<char>(in)), {});
  if (bmp.size() < 54) return path + ": no BMP";
  const auto at = [&](size_t o) { return bmp[o] | bmp[o + 1] << 8 | bmp[o + 2] << 16; };
  const int width = at(18), height = at(22);
  const size_t row = static_cast<size_t>(height / 2) * width * 3;  // bottom-up: the middle
  std::string mismatch;
  for (int bar = 0; bar < 8; ++bar) {
    const size_t p = 54 + row + static_cast<size_t>((2 * bar + 1) * width / 16) * 3;
    if (p + 3 > bmp.size()) return path + ": short";
    for (int c = 0; c < 3; ++c) {
      const int got = bmp[p + 2 - c];  // BGR
      if (std::abs(got - kBars[bar][c]) > tolerance)
        mismatch += "bar " + std::to_string(bar) + " channel " + std::to_string(c) + ": " +
                    std::to_string(got) + " for " + std::to_string(kBars[bar][c]) + "; ";
    }
  }
  return mismatch;
}

class UvcCameraTest : public MainFrameTest<SleepingSystem> {
 protected:
  UvcCameraTest() : MainFrameTest("v4l2deviceprovider") { tickRealMs = 50; }

  void SetUp() override {
    struct stat st;
    const char* camera = ::getenv("UVCEMU_DIR");
    if (!camera || ::stat("/dev/video42", &st) != 0)
      GTEST_SKIP() << "needs the emulated camera: run through tests/support/uvc_camera.sh";
    cameraDir = camera;
    MainFrameTest::SetUp();
    transfer::RegisterStatic();
    // A new camera for every test: plugged out and in again, it is in its default mode.
    Unplug();
    ASSERT_NE(::stat("/dev/video42", &st), 0);
    Plug();
    Start();
  }
  void Start() {
    MainFrameTest::Start();
    ASSERT_EQ(frame->m_videoDeviceCount, 1);
    ASSERT_EQ(frame->m_graphRunning, 1) << Messages();
    frame->m_captureFolder = dir;
    frame->SetSnapshotFolder(dir);
  }
  void TearDown() override {
    if (frame) frame->OnClose();
    MainFrameTest::TearDown();
    Plug();
  }

  void Unplug() { std::ofstream(cameraDir + "/unplug").put('1'); }
  void Plug() { ::unlink((cameraDir + "/unplug").c_str()); }

  std::string Messages() {
    std::string all;
    for (const auto& m : window.messages) all += "\"" + m.text + "\" ";
    return all;
  }
  int CountMessages(const std::string& text) {
    int n = 0;
    for (const auto& m : window.messages) n += m.text == text;
    return n;
  }

  bool FramesShownAt(int width, int height) {
    const int before = window.surface.Frames();
    return WaitFor(
        [&] {
          return window.surface.Frames() > before + 5 &&
                 window.surface.Size() == std::make_pair(width, height);
        },
        std::chrono::seconds(20));
  }

  // What the Video Capture Pin page offers; with choice, the user picks it and presses OK.
  std::vector<std::string> CapturePinPage(const std::string& choice = "") {
    std::vector<std::string> choices;
    window.sheetScripts.push_back([&](media::PropertyPages& pages) {
      choices = pages.Pages().at(0).properties.at(0).choices;
      for (size_t i = 0; i < choices.size(); ++i)
        if (choices[i] == choice) pages.Apply(0, 0, static_cast<int32_t>(i));
    });
    frame->OnCommand(menu_id::kVideoPinProperties);
    return choices;
  }

  void Record(int frames) {
    frame->OnStartStopCapture();
    ASSERT_EQ(frame->m_recording, 1) << Messages();
    const int start = Delivered();
    for (int i = 0; i < frames * 4 && Delivered() < start + frames; ++i) Ticks(1);
    frame->OnStartStopCapture();
  }

  std::string Clip() const { return dir + "/Clip0000.AVI"; }

  std::string cameraDir;
};

TEST_F(UvcCameraTest, OpensInTheDriversCurrentModeAndOffersEveryMode) {
  EXPECT_EQ(frame->m_videoDeviceNames[0], "Emulated Webcam");
  EXPECT_EQ(frame->m_videoWidth, 640);
  EXPECT_EQ(frame->m_videoHeight, 480);
  EXPECT_TRUE(FramesShownAt(640, 480));
  const std::vector<std::string> page = CapturePinPage();
  const std::set<std::string> offered(page.begin(), page.end());
  const std::set<std::string> modes = {
      "YUY2 640 x 480, 30 fps",  "YUY2 640 x 480, 15 fps",   "YUY2 320 x 240, 30 fps",
      "YUY2 320 x 240, 15 fps",  "YUY2 1280 x 720, 10 fps",  "YUY2 1280 x 720, 5 fps",
      "MJPG 640 x 480, 30 fps",  "MJPG 640 x 480, 15 fps",   "MJPG 1280 x 720, 30 fps",
      "MJPG 1280 x 720, 15 fps", "MJPG 1920 x 1080, 30 fps", "MJPG 1920 x 1080, 15 fps"};
  EXPECT_EQ(offered, modes);
  EXPECT_EQ(page.size(), modes.size());
  EXPECT_TRUE(window.messages.empty()) << Messages();
}

// The mode and the controls the user set come back at the next start, on a camera that was
// unplugged meanwhile (so in its default mode): the automatic white balance off before the
// temperature it governs is set.
TEST_F(UvcCameraTest, ItsModeAndControlsAreKeptForTheNextStart) {
  EXPECT_EQ(frame->m_videoDeviceIds[0], "usb:0c45:6366:UVC0042/1.0");
  CapturePinPage("MJPG 1280 x 720, 15 fps");
  window.sheetScripts.push_back([](media::PropertyPages& pages) {
    const auto set = [&](const std::string& name, int32_t value) {
      const auto all = pages.Pages();
      for (size_t p = 0; p < all.size(); ++p)
        for (size_t i = 0; i < all[p].properties.size(); ++i)
          if (all[p].properties[i].name == name) {
            EXPECT_TRUE(pages.Apply(static_cast<int>(p), static_cast<int>(i), value)) << name;
          }
    };
    set("Brightness", 200);
    set("White Balance, Automatic", 0);
    set("White Balance Temperature", 3000);
  });
  frame->OnCommand(menu_id::kVideoFilterProperties);
  frame->OnClose();
  frame.reset();
  Unplug();
  Plug();
  Start();
  EXPECT_EQ(frame->m_videoWidth, 1280);
  EXPECT_EQ(frame->m_videoSubtype, 7) << "MJPG";
  EXPECT_TRUE(FramesShownAt(1280, 720));
  auto device = media::v4l2::OpenControlDevice("/dev/video42");
  ASSERT_TRUE(device);
  int32_t brightness = 0, automatic = 1, temperature = 0;
  device->Get(V4L2_CID_BRIGHTNESS, brightness);
  device->Get(V4L2_CID_AUTO_WHITE_BALANCE, automatic);
  device->Get(V4L2_CID_WHITE_BALANCE_TEMPERATURE, temperature);
  EXPECT_EQ(brightness, 200);
  EXPECT_EQ(automatic, 0);
  EXPECT_EQ(temperature, 3000);
  EXPECT_TRUE(window.messages.empty()) << Messages();
}

// Each mode chosen on the Video Capture Pin page previews at its size, snaps the bars in
// their colours and records the camera's own frames (MJPG as it comes, 4:2:2 as the camera
// encodes it) into a clip ffmpeg decodes without an error.
TEST_F(UvcCameraTest, EveryKindOfModePreviewsSnapsAndRecords) {
  struct Mode {
    const char* choice;
    int width, height, fps;
    const char* codec;  // ffprobe's codec and pixel format
  };
  const Mode modes[] = {
      {"MJPG 1920 x 1080, 30 fps", 1920, 1080, 30, "mjpeg,yuvj422p"},
      {"YUY2 1280 x 720, 10 fps", 1280, 720, 10, "rawvideo,yuyv422"},
      {"MJPG 640 x 480, 15 fps", 640, 480, 15, "mjpeg,yuvj422p"},
      {"YUY2 320 x 240, 30 fps", 320, 240, 30, "rawvideo,yuyv422"},
  };
  int snapshot = 0;
  for (const Mode& mode : modes) {
    SCOPED_TRACE(mode.choice);
    CapturePinPage(mode.choice);
    ASSERT_EQ(frame->m_videoWidth, mode.width);
    ASSERT_EQ(frame->m_videoHeight, mode.height);
    ASSERT_TRUE(FramesShownAt(mode.width, mode.height)) << Messages();

    Snap();
    char still[32];
    std::snprintf(still, sizeof still, "/Still%04d.BMP", snapshot++);
    EXPECT_EQ(BarsMismatch(dir + still, 6), "");

    std::filesystem::remove(Clip());
    frame->m_clipIndex = 0;
    frame->m_frameRate = mode.fps;
    Record(mode.fps * 2);
    EXPECT_TRUE(window.messages.empty()) << Messages();
    const std::string probe = CommandOutput(
        "ffprobe -v error -select_streams v:0 -show_entries stream=codec_name,pix_fmt "
        "-of csv=p=0 " +
        Clip());
    EXPECT_EQ(probe, std::string(mode.codec) + "\n");
    EXPECT_EQ(CommandOutput("ffmpeg -v error -i " + Clip() + " -f null - 2>&1"), "");
    const ProbedClip clip = ProbeWithFfprobe(Clip());
    ASSERT_TRUE(clip.ok) << clip.error;
    EXPECT_GE(clip.Find("video")->frames, mode.fps);
  }
}

// The faults a camera brings, each with the one message the user sees and what is kept.
TEST_F(UvcCameraTest, FaultsShowOneMessageAndKeepTheClip) {
  const std::string recordError = LangText(TXT_RECORD_ERROR, 0);
  const std::string cannotPreview = LangText(TXT_CANNOT_PREVIEW, 0);
  struct Fault {
    const char* name;
    bool recording;  // while recording, else while previewing
    int frameRate;   // asked for at the start
    bool unplug;
    std::string message;
  };
  const Fault faults[] = {
      {"60 fps asked of a camera that offers 30", true, 60, false, "Cannot set new frame rate"},
      {"unplugged while previewing", false, 30, true, cannotPreview},
      {"unplugged while recording", true, 30, true, recordError},
  };
  for (const Fault& fault : faults) {
    SCOPED_TRACE(fault.name);
    if (!frame) Start();
    window.messages.clear();
    std::filesystem::remove(Clip());
    frame->m_clipIndex = 0;
    frame->m_frameRate = fault.frameRate;
    if (fault.recording) {
      frame->OnStartStopCapture();
      ASSERT_EQ(frame->m_recording, 1) << Messages();
    }
    const int start = Delivered();
    for (int i = 0; i < 40 && Delivered() < start + 20; ++i) Ticks(1);
    if (fault.unplug) {
      Unplug();
      for (int i = 0; i < 100 && window.messages.empty(); ++i) Ticks(1);
      Ticks(10);  // time for a second message, if one came
      EXPECT_EQ(frame->m_graphRunning, 0);
    } else if (fault.recording) {
      frame->OnStartStopCapture();
    }
    EXPECT_EQ(window.messages.size(), 1u) << Messages();
    EXPECT_EQ(CountMessages(fault.message), 1) << Messages();
    EXPECT_EQ(frame->m_recording, 0);
    if (fault.recording) {
      EXPECT_FALSE(std::filesystem::exists(Clip() + ".unfinished")) << "the clip was not finished";
      EXPECT_EQ(CommandOutput("ffmpeg -v error -i " + Clip() + " -f null - 2>&1"), "");
      EXPECT_EQ(
          CommandOutput("ffprobe -v error -select_streams v:0 -show_entries stream=r_frame_rate "
                        "-of csv=p=0 " +
                        Clip()),
          "30/1\n");
      const ProbedClip clip = ProbeWithFfprobe(Clip());
      ASSERT_TRUE(clip.ok) << clip.error;
      EXPECT_GE(clip.Find("video")->frames, 15);
    }
    if (fault.frameRate == 60) {
      EXPECT_EQ(frame->m_frameRate, 30) << "the rate read back";
    }
    if (fault.unplug) {  // the next fault starts on a camera plugged in again
      frame->OnClose();
      frame.reset();
      Plug();
    }
  }
}

// The camera's own button (KEY_CAMERA on its event device) takes a still from the still pin.
TEST_F(UvcCameraTest, SnapshotButtonTakesAStill) {
  ASSERT_TRUE(FramesShownAt(640, 480));
  const int fd = ::open((cameraDir + "/button").c_str(), O_WRONLY | O_NONBLOCK);
  ASSERT_GE(fd, 0) << "nobody watches the button";
  input_event events[4] = {};
  events[0].type = events[2].type = EV_KEY;
  events[0].code = events[2].code = KEY_CAMERA;
  events[0].value = 1;
  ASSERT_EQ(::write(fd, events, sizeof events), static_cast<ssize_t>(sizeof events));
  ::close(fd);
  const std::string still = dir + "/0000.BMP";
  EXPECT_TRUE(WaitFor([&] { return std::filesystem::exists(still); }, std::chrono::seconds(10)));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));  // written in full
  EXPECT_EQ(BarsMismatch(still, 6), "");
  EXPECT_EQ(frame->m_snapshotIndex, 1);
}

}  // namespace
