// ShutterPlayer: one worker thread owns every pipeline; the caller only raises a flag.
#include "platform/gst/shutter_player.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

extern "C" void ostrel_sound_register_resource(void);

namespace media::gst {

namespace {

// playbin's flags: audio with software volume, no video or subtitles.
constexpr guint kPlayAudioOnly = 0x02 | 0x10;
// A play that has not ended by then (a sink that never prerolls) is abandoned.
constexpr auto kGiveUpAfter = std::chrono::seconds(10);
constexpr GstClockTime kPollInterval = 50 * GST_MSECOND;

// The sound output autoaudiosink would choose, among the primary-rank sinks only (the
// sound servers and ALSA): the lesser ones write to stderr when they find no device.
// Null when none opens.
GstElement* OpenAudioOutput() {
  GList* factories = gst_element_factory_list_get_elements(
      GST_ELEMENT_FACTORY_TYPE_SINK | GST_ELEMENT_FACTORY_TYPE_MEDIA_AUDIO, GST_RANK_PRIMARY);
  factories = g_list_sort(factories, gst_plugin_feature_rank_compare_func);
  GstElement* chosen = nullptr;
  for (GList* l = factories; l && !chosen; l = l->next) {
    GstElement* sink = gst_element_factory_create(GST_ELEMENT_FACTORY(l->data), nullptr);
    if (!sink) continue;
    gst_object_ref_sink(sink);
    if (gst_element_set_state(sink, GST_STATE_READY) == GST_STATE_CHANGE_SUCCESS) {
      chosen = sink;
    } else {
      gst_element_set_state(sink, GST_STATE_NULL);
      gst_object_unref(sink);
    }
  }
  gst_plugin_feature_list_free(factories);
  return chosen;
}

}  // namespace

std::string ShutterSoundUri() {
  static const bool registered = [] {
    ostrel_sound_register_resource();
    return true;
  }();
  (void)registered;
  return "resource:///ostrel/shutter.wav";
}

struct ShutterPlayer::State {
  std::string uri;
  SinkMaker makeSink;
  std::mutex mutex;
  std::condition_variable wake;
  bool pending = false;
  bool stopping = false;
  bool playing = false;
  int finished = 0;
  std::thread worker;

  void Run();
  void PlayOnce();
  // Takes a pending request; true when there was one.
  bool TakePending() {
    std::lock_guard<std::mutex> lock(mutex);
    const bool was = pending;
    pending = false;
    return was;
  }
  bool Stopping() {
    std::lock_guard<std::mutex> lock(mutex);
    return stopping;
  }
};

void ShutterPlayer::State::Run() {
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(mutex);
      wake.wait(lock, [this] { return pending || stopping; });
      if (stopping) return;
      pending = false;
      playing = true;
    }
    PlayOnce();
    std::lock_guard<std::mutex> lock(mutex);
    playing = false;
    ++finished;
    wake.notify_all();
  }
}

void ShutterPlayer::State::PlayOnce() {
  GstElement* sink = makeSink ? makeSink() : OpenAudioOutput();
  if (!sink) return;  // no sound output: silence, as on a machine without speakers
  if (g_object_is_floating(sink)) gst_object_ref_sink(sink);
  GstElement* playbin = gst_element_factory_make("playbin", nullptr);
  if (!playbin) {
    gst_element_set_state(sink, GST_STATE_NULL);
    gst_object_unref(sink);
    return;
  }
  g_object_set(playbin, "uri", uri.c_str(), "audio-sink", sink, "flags", kPlayAudioOnly, nullptr);
  GstBus* bus = gst_element_get_bus(playbin);
  if (gst_element_set_state(playbin, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE) {
    auto giveUp = std::chrono::steady_clock::now() + kGiveUpAfter;
    for (;;) {
      GstMessage* message = gst_bus_timed_pop_filtered(
          bus, kPollInterval, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
      if (message) {
        gst_message_unref(message);
        break;
      }
      if (Stopping() || std::chrono::steady_clock::now() > giveUp) break;
      // Another snapshot: the sound starts over. A pipeline that is not playing yet
      // keeps the request for a play of its own.
      if (TakePending()) {
        GstState current = GST_STATE_NULL;
        const bool running =
            gst_element_get_state(playbin, &current, nullptr, 0) == GST_STATE_CHANGE_SUCCESS &&
            current == GST_STATE_PLAYING;
        if (running && gst_element_seek_simple(playbin, GST_FORMAT_TIME, GST_SEEK_FLAG_FLUSH, 0)) {
          giveUp = std::chrono::steady_clock::now() + kGiveUpAfter;
        } else {
          std::lock_guard<std::mutex> lock(mutex);
          pending = true;
        }
      }
    }
  }
  // May block for a long time on a hung sound server; only this thread waits for it.
  gst_element_set_state(playbin, GST_STATE_NULL);
  gst_object_unref(bus);
  gst_object_unref(playbin);
  gst_object_unref(sink);
}

ShutterPlayer::ShutterPlayer(std::string uri, SinkMaker makeSink)
    : state_(std::make_shared<State>()) {
  if (!gst_is_initialized()) gst_init(nullptr, nullptr);
  state_->uri = std::move(uri);
  state_->makeSink = std::move(makeSink);
}

ShutterPlayer::~ShutterPlayer() {
  bool busy = false;
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->stopping = true;
    busy = state_->playing;
    state_->wake.notify_all();
  }
  if (!state_->worker.joinable()) return;
  if (busy) {
    // The worker keeps the state alive and ends once its play lets go.
    state_->worker.detach();
  } else {
    state_->worker.join();
  }
}

void ShutterPlayer::Play() {
  std::lock_guard<std::mutex> lock(state_->mutex);
  if (state_->stopping) return;
  state_->pending = true;
  if (!state_->worker.joinable()) {
    std::shared_ptr<State> state = state_;
    state_->worker = std::thread([state] { state->Run(); });
  }
  state_->wake.notify_all();
}

bool ShutterPlayer::WaitFinished(int count, int timeoutSeconds) {
  std::unique_lock<std::mutex> lock(state_->mutex);
  return state_->wake.wait_for(lock, std::chrono::seconds(timeoutSeconds),
                               [&] { return state_->finished >= count; });
}

}  // namespace media::gst
