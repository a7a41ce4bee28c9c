// The main frame on the real media layer when its graph meets a fault: the camera
// unplugged while recording or previewing, the file writer out of room, a nearly full
// folder. Nothing recorded is lost, one message says what happened, nothing hangs.
#include "capture/unfinished_clips.h"
#include "platform/gst/clip_repairer.h"
#include "platform/gst/stock_filters.h"
#include "recording_fault_fixture.h"

namespace {

TEST_F(RecordingFaultTest, ACameraUnpluggedWhileRecordingLeavesAWholeClipAndOneMessage) {
  virtualcam::CameraSpec camera;
  camera.unplugAfterFrames = 150;  // counted again from the recording's start
  Open(camera);
  frame->OnStartStopCapture();
  ASSERT_EQ(frame->m_recording, 1);
  EXPECT_TRUE(fs::exists(clips + "/Clip0000.AVI.unfinished"));

  ASSERT_TRUE(TickUntil([&] { return frame->m_recording == 0; })) << "the recording never ended";
  EXPECT_EQ(Messages(), std::vector<std::string>{Text(TXT_RECORD_ERROR)});
  EXPECT_EQ(frame->m_captureMode, 0);
  EXPECT_EQ(Label(), "Start Capture(&S)");
  EXPECT_FALSE(fs::exists(clips + "/Clip0000.AVI.unfinished")) << "the clip was finished";
  const long frames = CheckPlayable(clips + "/Clip0000.AVI");
  EXPECT_GE(frames, 140);
  EXPECT_LE(frames, 152);

  // The clock has stopped: the status pane names the camera again, not the time.
  Ticks(3);
  EXPECT_EQ(window.statusTexts.back().rfind("Ostrel Virtual Camera", 0), 0u)
      << window.statusTexts.back();
  // A camera that is gone gets no preview to fail once more: one message is enough.
  EXPECT_EQ(frame->m_graphRunning, 0);
  Ticks(10);
  EXPECT_EQ(Messages(), std::vector<std::string>{Text(TXT_RECORD_ERROR)});
}

TEST_F(RecordingFaultTest, ACameraUnpluggedDuringThePreviewStopsItWithOneMessage) {
  virtualcam::CameraSpec camera;
  camera.unplugAfterFrames = 20;
  Open(camera);
  ASSERT_TRUE(TickUntil([&] { return frame->m_graphRunning == 0; }));
  Ticks(10);
  EXPECT_EQ(Messages(), std::vector<std::string>{Text(TXT_CANNOT_PREVIEW)});
  EXPECT_EQ(frame->m_recording, 0);
  // The frame goes on: the close after it neither hangs nor fails.
  frame->OnClose();
}

TEST_F(RecordingFaultTest, AWriterOutOfRoomStopsTheRecordingAndTheNextStartRepairsTheClip) {
  // The disk is full after about 2 s of 320x240 at 30 frames a second with sound.
  factory.RegisterFilter(media::clsid::kFileWriter,
                         [] { return media::gst::MakeFileWriter(10u << 20); });
  Open({});
  frame->OnStartStopCapture();
  ASSERT_EQ(frame->m_recording, 1);
  ASSERT_TRUE(TickUntil([&] { return frame->m_recording == 0; })) << "the recording never ended";
  EXPECT_EQ(Messages(), std::vector<std::string>{Text(TXT_RECORD_ERROR)});
  EXPECT_EQ(Label(), "Start Capture(&S)");
  EXPECT_EQ(frame->m_graphRunning, 1) << "the camera is fine: the preview is back";
  const std::string clip = clips + "/Clip0000.AVI";
  ASSERT_TRUE(fs::exists(clip));
  EXPECT_LE(fs::file_size(clip), 10u << 20);
  // Its index could not be written: the marker stays for the next start.
  EXPECT_TRUE(fs::exists(clip + ".unfinished"));
  frame->OnClose();
  frame.reset();

  platform::FakeSystem nextStart;  // another process
  nextStart.processToken = "boot-1 4343 200";
  media::gst::GstClipRepairer repairer;
  std::ostringstream log;
  EXPECT_EQ(unfinished_clips::RepairAbandoned(clips, nextStart, repairer, log), 1) << log.str();
  EXPECT_GE(CheckPlayable(clip), 45);
}

// A writer whose file never sees the end of its stream (a disk that hangs): the stop
// gives up on it after a while, and the clip keeps its marker for the repair.
GstPadProbeReturn SwallowEos(GstPad*, GstPadProbeInfo* info, gpointer) {
  return GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) == GST_EVENT_EOS ? GST_PAD_PROBE_DROP
                                                                         : GST_PAD_PROBE_OK;
}

TEST_F(RecordingFaultTest, AFileTheStopCouldNotFinishKeepsItsMarker) {
  factory.RegisterFilter(media::clsid::kFileWriter, [] {
    std::shared_ptr<media::gst::GstFilter> writer = media::gst::MakeFileWriter();
    GstElement* split = gst_bin_get_by_name(GST_BIN(writer->Bin()), "splitmux");
    GstElement* sink = nullptr;
    g_object_get(split, "sink", &sink, nullptr);
    gst_object_unref(split);
    GstPad* pad = gst_element_get_static_pad(sink, "sink");
    gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, SwallowEos, nullptr, nullptr);
    gst_object_unref(pad);
    gst_object_unref(sink);
    return writer;
  });
  Open({});
  frame->OnStartStopCapture();
  ASSERT_EQ(frame->m_recording, 1);
  Ticks(20);
  frame->OnStartStopCapture();
  EXPECT_EQ(frame->m_recording, 0);
  EXPECT_TRUE(fs::exists(clips + "/Clip0000.AVI.unfinished"));
  // The next recording is a clip of its own, marked while written and finished.
  factory.RegisterFilter(media::clsid::kFileWriter, [] { return media::gst::MakeFileWriter(); });
  frame->OnStartStopCapture();
  ASSERT_EQ(frame->m_recording, 1);
  Ticks(10);
  frame->OnStartStopCapture();
  EXPECT_TRUE(fs::exists(clips + "/Clip0000.AVI.unfinished"));
  EXPECT_FALSE(fs::exists(clips + "/Clip0001.AVI.unfinished"));
  EXPECT_GE(CheckPlayable(clips + "/Clip0001.AVI"), 5);
}

TEST_F(RecordingFaultTest, AFrameLetGoWhileRecordingStillFinishesItsClip) {
  Open({});
  frame->OnStartStopCapture();
  ASSERT_EQ(frame->m_recording, 1);
  Ticks(20);
  frame.reset();  // no close: the graph goes with the frame
  EXPECT_GE(CheckPlayable(clips + "/Clip0000.AVI"), 20);
}

TEST_F(RecordingFaultTest, ANearlyFullFolderRefusesTheStartAndStopsARecordingInTime) {
  Open({});
  system.freeBytes = 2 << 20;  // less than 5 s of 320x240 at 30 frames a second
  frame->OnStartStopCapture();
  EXPECT_EQ(frame->m_recording, 0);
  EXPECT_EQ(Messages(), std::vector<std::string>{Text(TXT_RECORD_ERROR)});
  EXPECT_EQ(frame->m_graphRunning, 1) << "the preview goes on";
  EXPECT_FALSE(fs::exists(clips + "/Clip0000.AVI"));

  system.freeBytes = 1ll << 40;
  frame->OnStartStopCapture();
  ASSERT_EQ(frame->m_recording, 1);
  Ticks(20);
  system.freeBytes = 3 << 20;  // the disk fills up
  ASSERT_TRUE(TickUntil([&] { return frame->m_recording == 0; }));
  EXPECT_EQ(Messages(), (std::vector<std::string>{Text(TXT_RECORD_ERROR), Text(TXT_RECORD_ERROR)}));
  EXPECT_EQ(Label(), "Start Capture(&S)");
  EXPECT_FALSE(fs::exists(clips + "/Clip0000.AVI.unfinished"));
  EXPECT_GE(CheckPlayable(clips + "/Clip0000.AVI"), 20);
}

}  // namespace
