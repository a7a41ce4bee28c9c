// The shutter sound: the compiled-in WAV plays to its end on a fake output and on
// whatever autoaudiosink finds, the player never makes its caller wait, and a sink that
// never prerolls neither blocks the caller nor piles up plays.
#include "platform/gst/shutter_player.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "platform/linux/linux_system.h"

namespace {

using media::gst::ShutterPlayer;

// A fakesink that counts the bytes it is handed.
struct CountingSink {
  std::atomic<size_t> bytes{0};
  std::atomic<int> sinks{0};

  ShutterPlayer::SinkMaker Maker() {
    return [this] {
      GstElement* sink = gst_element_factory_make("fakesink", nullptr);
      g_object_set(sink, "signal-handoffs", TRUE, "sync", FALSE, nullptr);
      g_signal_connect(sink, "handoff", G_CALLBACK(OnHandoff), this);
      ++sinks;
      return sink;
    };
  }
  static void OnHandoff(GstElement*, GstBuffer* buffer, GstPad*, gpointer self) {
    static_cast<CountingSink*>(self)->bytes += gst_buffer_get_size(buffer);
  }
};

// A sink whose preroll blocks until the test lets go: the pipeline never reaches PAUSED
// and its set_state(NULL) waits, as with a sound server that stopped answering. Lives as
// long as the process, since a play abandoned by its player may outlive the test.
struct Gate {
  std::mutex mutex;
  std::condition_variable changed;
  int blocked = 0;
  bool open = false;
  int finalized = 0;

  void Hold() {
    std::unique_lock<std::mutex> lock(mutex);
    ++blocked;
    changed.notify_all();
    changed.wait(lock, [this] { return open; });
  }
  template <class Condition>
  bool Await(Condition condition) {
    std::unique_lock<std::mutex> lock(mutex);
    return changed.wait_for(lock, std::chrono::seconds(60), condition);
  }
};
Gate* gate = new Gate;

GstElement* BlockingSink() {
  GstElement* sink = gst_element_factory_make("fakesink", nullptr);
  g_object_set(sink, "signal-handoffs", TRUE, nullptr);
  g_signal_connect(sink, "preroll-handoff",
                   G_CALLBACK(+[](GstElement*, GstBuffer*, GstPad*, gpointer) { gate->Hold(); }),
                   nullptr);
  g_object_weak_ref(
      G_OBJECT(sink),
      +[](gpointer, GObject*) {
        std::lock_guard<std::mutex> lock(gate->mutex);
        ++gate->finalized;
        gate->changed.notify_all();
      },
      nullptr);
  return sink;
}

TEST(ShutterPlayerTest, CompiledInSoundPlaysWholeOnAFakeOutput) {
  CountingSink sink;
  ShutterPlayer player(media::gst::ShutterSoundUri(), sink.Maker());
  player.Play();
  ASSERT_TRUE(player.WaitFinished(1, 60));
  // Half a second of 16 kHz mono 16-bit samples.
  EXPECT_EQ(sink.bytes.load(), 16000u);
  EXPECT_EQ(sink.sinks.load(), 1);
}

// On a machine with speakers this plays the sound; on one without (the test machines)
// it plays nothing, and in neither case says anything (autoaudiosink would, through
// openalsink: "AL lib: (EE) ... Could not open playback device").
TEST(ShutterPlayerTest, TheSystemsSoundOutputPlaysOrStaysSilentWithoutAMessage) {
  testing::internal::CaptureStderr();
  {
    ShutterPlayer player;
    player.Play();
    EXPECT_TRUE(player.WaitFinished(1, 60));
  }
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(ShutterPlayerTest, NoSoundOutputOrNoFileEndsQuietly) {
  testing::internal::CaptureStderr();
  {
    ShutterPlayer silent(media::gst::ShutterSoundUri(), [] { return nullptr; });
    silent.Play();
    EXPECT_TRUE(silent.WaitFinished(1, 60));
    CountingSink sink;
    ShutterPlayer missing("resource:///ostrel/no-such-sound.wav", sink.Maker());
    missing.Play();
    EXPECT_TRUE(missing.WaitFinished(1, 60));
    EXPECT_EQ(sink.bytes.load(), 0u);
  }
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(ShutterPlayerTest, ASinkThatNeverPrerollsNeitherBlocksTheCallerNorPilesUpPlays) {
  // Outlives the player: the abandoned play keeps its sink maker.
  static std::atomic<int> sinksMade{0};
  {
    ShutterPlayer player(media::gst::ShutterSoundUri(), [] {
      ++sinksMade;
      return BlockingSink();
    });
    platform::LinuxSystem system([&player] { player.Play(); });
    system.PlayShutterSound();
    ASSERT_TRUE(gate->Await([] { return gate->blocked == 1; }));
    // The pipeline is stuck in preroll: more snapshots return and merge into one play.
    for (int i = 0; i < 20; ++i) system.PlayShutterSound();
    EXPECT_EQ(sinksMade.load(), 1);
    // Destroying the player while its play hangs returns as well.
  }
  EXPECT_EQ(sinksMade.load(), 1);
  {
    std::lock_guard<std::mutex> lock(gate->mutex);
    gate->open = true;
    gate->changed.notify_all();
  }
  // Let go, the abandoned play tears its pipeline down on its own thread.
  EXPECT_TRUE(gate->Await([] { return gate->finalized == 1; }));
}

// Holds the first buffer it renders until the player, asked again, has started the
// sound over (its flushing seek reaches the sink while the buffer is held).
struct RestartSink {
  std::mutex mutex;
  std::condition_variable changed;
  bool holding = false;
  bool flushed = false;
  bool held = false;
  size_t bytes = 0;
  int sinks = 0;

  ShutterPlayer::SinkMaker Maker() {
    return [this] {
      GstElement* sink = gst_element_factory_make("fakesink", nullptr);
      g_object_set(sink, "signal-handoffs", TRUE, "sync", TRUE, nullptr);
      g_signal_connect(sink, "handoff", G_CALLBACK(OnHandoff), this);
      GstPad* pad = gst_element_get_static_pad(sink, "sink");
      gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_EVENT_FLUSH, OnFlush, this, nullptr);
      gst_object_unref(pad);
      std::lock_guard<std::mutex> lock(mutex);
      ++sinks;
      return sink;
    };
  }
  static void OnHandoff(GstElement*, GstBuffer* buffer, GstPad*, gpointer data) {
    auto* self = static_cast<RestartSink*>(data);
    std::unique_lock<std::mutex> lock(self->mutex);
    self->bytes += gst_buffer_get_size(buffer);
    if (self->held) return;
    self->held = self->holding = true;
    self->changed.notify_all();
    self->changed.wait(lock, [self] { return self->flushed; });
  }
  static GstPadProbeReturn OnFlush(GstPad*, GstPadProbeInfo* info, gpointer data) {
    auto* self = static_cast<RestartSink*>(data);
    if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) == GST_EVENT_FLUSH_START) {
      std::lock_guard<std::mutex> lock(self->mutex);
      self->flushed = true;
      self->changed.notify_all();
    }
    return GST_PAD_PROBE_OK;
  }
  template <class Condition>
  bool Await(Condition condition) {
    std::unique_lock<std::mutex> lock(mutex);
    return changed.wait_for(lock, std::chrono::seconds(60), condition);
  }
};

TEST(ShutterPlayerTest, ASecondSnapshotWhileTheSoundPlaysStartsItOver) {
  RestartSink sink;
  ShutterPlayer player(media::gst::ShutterSoundUri(), sink.Maker());
  player.Play();
  ASSERT_TRUE(sink.Await([&] { return sink.holding; }));
  player.Play();
  ASSERT_TRUE(sink.Await([&] { return sink.flushed; }));
  ASSERT_TRUE(player.WaitFinished(1, 60));
  std::lock_guard<std::mutex> lock(sink.mutex);
  EXPECT_EQ(sink.sinks, 1) << "the same play, started over";
  EXPECT_GT(sink.bytes, 16000u) << "the whole sound after the restart";
}

TEST(ShutterPlayerTest, PlaysAgainAfterASoundHasEnded) {
  CountingSink sink;
  ShutterPlayer player(media::gst::ShutterSoundUri(), sink.Maker());
  player.Play();
  ASSERT_TRUE(player.WaitFinished(1, 60));
  player.Play();
  ASSERT_TRUE(player.WaitFinished(2, 60));
  EXPECT_EQ(sink.sinks.load(), 2);
  EXPECT_EQ(sink.bytes.load(), 32000u);
}

}  // namespace
