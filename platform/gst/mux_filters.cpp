// The AVI multiplexer (one free input more once the last is connected, each behind a
// rate keeper; the file writer behind it muxes) and the ASF writer (inputs by profile:
// audio first when it has sound, then video; WMV2 and WMA2 through libav).
#include <gst/gst.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/gst/asf_frame_time.h"
#include "platform/gst/caps_mapping.h"
#include "platform/gst/clip_streams.h"
#include "platform/gst/stock_filters.h"
#include "platform/gst/stream_timeline.h"

namespace media::gst {
namespace {

// avimux places video frames by their count and ignores timestamps, so every input
// first goes through a rate keeper: videorate fills a camera's missing frames (and drops
// surplus ones), audiorate fills gaps in the sound; both start at the running time 0,
// which keeps sound and picture together over the whole clip. In front of each, the
// stream is put on the graph's timeline: a source stamping by a clock of its own would
// otherwise have its first frame repeated for hours. The kept streams leave
// the filter for the file writer, which muxes them with avimux.
struct MuxInput {
  GstPin* pin = nullptr;
  GstElement* keeper = nullptr;
  GstPad* output = nullptr;  // the filter's own pad for the kept stream; not a pin
  MajorType major = MajorType::Video;
};

class AviMuxFilter : public GstFilter, public ClipStreams {
 public:
  AviMuxFilter(GstElement* bin, uint64_t clipBytes)
      : GstFilter(clsid::kAviMux, bin), clipBytes_(clipBytes) {}
  ~AviMuxFilter() override {
    for (MuxInput& input : inputs_) {
      if (receiver_) receiver_->RemoveStream(input.output);
      Release(input);
    }
  }

  void Init() {
    AddPin("AVI Out", nullptr, PinDirection::Output, PinCategory::None, MajorType::Any);
    AddInput();
  }
  GstCaps* OutputFormat(GstPin& pin) override {
    if (pin.Direction() != PinDirection::Output) return nullptr;
    return gst_caps_new_empty_simple("video/x-msvideo");
  }
  bool PrepareInput(GstPin& pin, const GstCaps* upstream) override {
    GstPad* target = gst_ghost_pad_get_target(GST_GHOST_PAD(pin.Pad()));
    if (target) {
      gst_object_unref(target);
      return true;
    }
    const MajorType major = MajorOfCaps(upstream);
    if (major != MajorType::Audio && major != MajorType::Video) return false;
    // The writer muxes one video stream; sound streams may be several.
    if (major == MajorType::Video)
      for (const MuxInput& other : inputs_)
        if (other.major == MajorType::Video) return false;
    const bool audio = major == MajorType::Audio;
    MuxInput input;
    input.pin = &pin;
    input.major = major;
    input.keeper = gst_element_factory_make(audio ? "audiorate" : "videorate", nullptr);
    if (!input.keeper) return false;
    gst_bin_add(GST_BIN(Bin()), input.keeper);
    GstPad* keeperOut = gst_element_get_static_pad(input.keeper, "src");
    gchar* name = g_strdup_printf("kept_%u", ++streamCount_);
    input.output = gst_ghost_pad_new(name, keeperOut);
    g_free(name);
    // A multiplexer no writer takes from yet discards its streams instead of stopping them.
    gst_pad_add_probe(
        keeperOut, GST_PAD_PROBE_TYPE_BUFFER,
        [](GstPad*, GstPadProbeInfo*, gpointer output) {
          return gst_pad_is_linked(GST_PAD(output)) ? GST_PAD_PROBE_OK : GST_PAD_PROBE_DROP;
        },
        input.output, nullptr);
    gst_object_unref(keeperOut);
    gst_pad_set_active(input.output, TRUE);
    gst_element_add_pad(Bin(), input.output);
    GstPad* keeperIn = gst_element_get_static_pad(input.keeper, "sink");
    KeepOnGraphTimeline(keeperIn, audio ? "AVI Mux: the sound" : "AVI Mux: the picture");
    gst_ghost_pad_set_target(GST_GHOST_PAD(pin.Pad()), keeperIn);
    gst_object_unref(keeperIn);
    gst_element_sync_state_with_parent(input.keeper);
    if (receiver_ && !receiver_->AddStream({input.output, major})) {
      gst_ghost_pad_set_target(GST_GHOST_PAD(pin.Pad()), nullptr);
      Release(input);
      return false;
    }
    pin.SetMajor(major);
    inputs_.push_back(input);
    return true;
  }
  void InputConnected(GstPin&) override {
    if (gst_pad_is_linked(pins_.back()->Pad())) AddInput();
  }
  void InputDisconnected(GstPin& pin) override {
    for (auto it = inputs_.begin(); it != inputs_.end(); ++it) {
      if (it->pin != &pin) continue;
      gst_ghost_pad_set_target(GST_GHOST_PAD(pin.Pad()), nullptr);
      pin.SetMajor(MajorType::Any);
      if (receiver_) receiver_->RemoveStream(it->output);
      Release(*it);
      inputs_.erase(it);
      return;
    }
  }

  GstElement* MakeMuxer() const override { return gst_element_factory_make("avimux", nullptr); }
  uint64_t ClipBytes() const override { return clipBytes_; }
  std::vector<ClipStream> Streams() const override {
    std::vector<ClipStream> streams;
    for (const MuxInput& input : inputs_) streams.push_back({input.output, input.major});
    return streams;
  }
  void SetReceiver(ClipStreamReceiver* receiver) override { receiver_ = receiver; }

 private:
  void Release(MuxInput& input) {
    gst_element_set_state(input.keeper, GST_STATE_NULL);
    gst_element_remove_pad(Bin(), input.output);
    gst_bin_remove(GST_BIN(Bin()), input.keeper);
  }
  void AddInput() {
    ++inputCount_;
    gchar* name = g_strdup_printf("Input %02d", inputCount_);
    AddPin(name, nullptr, PinDirection::Input, PinCategory::None, MajorType::Any);
    g_free(name);
  }
  uint64_t clipBytes_;
  int inputCount_ = 0;
  unsigned streamCount_ = 0;
  std::vector<MuxInput> inputs_;
  ClipStreamReceiver* receiver_ = nullptr;
};

class AsfWriterFilter;

class AsfConfig : public AsfWriterConfig {
 public:
  explicit AsfConfig(std::shared_ptr<AsfWriterFilter> f) : filter_(std::move(f)) {}
  Status ConfigureFilterUsingProfile(const AsfProfile& profile) override;
  AsfProfile CurrentProfile() override;

 private:
  std::shared_ptr<AsfWriterFilter> filter_;
};

class AsfSink : public FileSink {
 public:
  AsfSink(std::shared_ptr<GstFilter> owner, GstElement* sink)
      : owner_(std::move(owner)), sink_(sink) {}
  Status SetFileName(const std::string& path) override {
    if (path.empty()) return kInvalidArgument;
    g_object_set(sink_, "location", path.c_str(), nullptr);
    return kOk;
  }

 private:
  std::shared_ptr<GstFilter> owner_;
  GstElement* sink_;
};

// libav's WMV quantizer limit for a profile quality (0 to 100): 50 gives 5, about
// 1 to 1.5 Mbit/s at 640x480@30 on a detailed scene; 100 gives 2, 0 gives 31. The
// encoder's bit rate has no effect (its timestamps start 1000 hours ahead, which pins
// its rate control at the limit).
int QuantizerForQuality(int quality) {
  quality = std::clamp(quality, 0, 100);
  return quality >= 50 ? 5 - (quality - 50) * 3 / 50 : 31 - quality * 26 / 50;
}

// The video stream as it reaches the ASF muxer, for the frame rate the header is given
// once the file is finished: the camera's rate from the caps, and for a stream without
// one, how many frames came between the first and the last timestamp.
struct FrameTimes {
  std::mutex mutex;
  GstClockTime nominal = GST_CLOCK_TIME_NONE;  // one frame at the caps' rate
  uint64_t frames = 0;
  GstClockTime first = GST_CLOCK_TIME_NONE;
  GstClockTime last = GST_CLOCK_TIME_NONE;

  // In 100 ns units; 0 when unknown. Starts over for the next file.
  uint64_t TakeFrameTime() {
    std::lock_guard<std::mutex> lock(mutex);
    GstClockTime frame = nominal;
    if (!GST_CLOCK_TIME_IS_VALID(frame) && frames > 1 && GST_CLOCK_TIME_IS_VALID(first))
      frame = (last - first) / (frames - 1);
    nominal = first = last = GST_CLOCK_TIME_NONE;
    frames = 0;
    return GST_CLOCK_TIME_IS_VALID(frame) ? (frame + 50) / 100 : 0;
  }
};

GstPadProbeReturn CountFrame(GstPad* pad, GstPadProbeInfo* info, gpointer data) {
  auto& times = **static_cast<std::shared_ptr<FrameTimes>*>(data);
  const GstClockTime pts = GST_BUFFER_PTS(GST_PAD_PROBE_INFO_BUFFER(info));
  std::lock_guard<std::mutex> lock(times.mutex);
  if (times.frames++ == 0) {
    gint num = 0;
    gint den = 0;
    GstCaps* caps = gst_pad_get_current_caps(pad);
    if (caps &&
        gst_structure_get_fraction(gst_caps_get_structure(caps, 0), "framerate", &num, &den) &&
        num > 0 && den > 0)
      times.nominal = gst_util_uint64_scale_int(GST_SECOND, den, num);
    if (caps) gst_caps_unref(caps);
  }
  if (!GST_CLOCK_TIME_IS_VALID(pts)) return GST_PAD_PROBE_OK;
  if (!GST_CLOCK_TIME_IS_VALID(times.first)) times.first = pts;
  times.last = pts;
  return GST_PAD_PROBE_OK;
}

// The muxer waits for the stream that is behind (the video, while its encoder drains
// the capture backlog); the queues in front of it hold that long, so that the sound
// never stalls its device meanwhile.
constexpr guint64 kMuxQueueTime = 10 * GST_SECOND;

class AsfWriterFilter : public GstFilter {
 public:
  AsfWriterFilter(GstElement* bin, GstElement* mux, GstElement* sink)
      : GstFilter(clsid::kWmAsfWriter, bin), mux_(mux), sink_(sink) {}

  std::shared_ptr<FileSink> GetFileSink() override {
    return std::make_shared<AsfSink>(shared_from_this(), sink_);
  }
  std::shared_ptr<AsfWriterConfig> GetAsfWriterConfig() override {
    return std::make_shared<AsfConfig>(
        std::static_pointer_cast<AsfWriterFilter>(shared_from_this()));
  }

  Status Configure(const AsfProfile& profile) {
    if (HasConnectedPin()) return kFail;
    // Drop the inputs of the previous profile.
    for (auto it = pins_.begin(); it != pins_.end();) {
      if ((*it)->Direction() == PinDirection::Input) {
        gst_element_remove_pad(Bin(), (*it)->Pad());
        it = pins_.erase(it);
      } else {
        ++it;
      }
    }
    for (GstElement* e : branch_) {
      gst_element_set_state(e, GST_STATE_NULL);
      gst_bin_remove(GST_BIN(Bin()), e);
    }
    branch_.clear();
    // libav's muxers keep the inputs they once had: a new profile gets a new muxer.
    for (GstPad* p : muxPads_) gst_object_unref(p);
    muxPads_.clear();
    if (configured_) {
      GstElement* mux = gst_element_factory_make("avmux_asf", nullptr);
      if (!mux) return kFail;
      gst_element_set_state(mux_, GST_STATE_NULL);
      gst_bin_remove(GST_BIN(Bin()), mux_);
      mux_ = mux;
      gst_bin_add(GST_BIN(Bin()), mux_);
      gst_element_link(mux_, sink_);
    }
    configured_ = true;
    profile_ = profile;
    if (profile.hasAudio) AddBranch(true, profile);
    if (profile.hasVideo) AddBranch(false, profile);
    return kOk;
  }
  const AsfProfile& Profile() const { return profile_; }

  // The time per frame in the header (libav leaves it out).
  std::string GraphStopped() override {
    const uint64_t frameTime = frameTimes_->TakeFrameTime();
    if (frameTime == 0) return {};
    gchar* location = nullptr;
    g_object_get(sink_, "location", &location, nullptr);
    const std::string path = location ? location : "";
    g_free(location);
    std::string why;
    if (path.empty() || WriteAsfAverageFrameTime(path, frameTime, why)) return {};
    return "the frame rate could not be written into " + path + ": " + why;
  }

 private:
  void AddBranch(bool audio, const AsfProfile& profile) {
    std::vector<GstElement*> chain;
    auto make = [&](const char* factory) {
      GstElement* e = gst_element_factory_make(factory, nullptr);
      if (e) chain.push_back(e);
      return e;
    };
    GstElement* encoder = nullptr;
    if (audio) {
      make("audioconvert");
      make("audioresample");
      encoder = make("avenc_wmav2");
      if (encoder) g_object_set(encoder, "bitrate", profile.audioBitrate, nullptr);
    } else {
      make("videoconvert");
      make("videoscale");
      GstElement* size = make("capsfilter");
      // Square pixels: the muxer records them, and that record makes the header's room
      // for the frame rate.
      GstCaps* caps = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "I420",
                                          "pixel-aspect-ratio", GST_TYPE_FRACTION, 1, 1, nullptr);
      if (profile.videoWidth > 0 && profile.videoHeight != 0)
        gst_caps_set_simple(caps, "width", G_TYPE_INT, profile.videoWidth, "height", G_TYPE_INT,
                            std::abs(profile.videoHeight), nullptr);
      g_object_set(size, "caps", caps, nullptr);
      gst_caps_unref(caps);
      encoder = make("avenc_wmv2");
      if (encoder)
        g_object_set(encoder, "qmax", QuantizerForQuality(profile.videoQuality), nullptr);
    }
    // The encoders' segments start 1000 hours ahead; in running time, with the one base
    // the whole graph shares, both streams start at 0 and keep their offset.
    GstElement* timing = make("identity");
    if (timing) g_object_set(timing, "single-segment", TRUE, "silent", TRUE, nullptr);
    GstElement* queue = make("queue");
    if (queue)
      g_object_set(queue, "max-size-buffers", 0u, "max-size-bytes", 0u, "max-size-time",
                   kMuxQueueTime, nullptr);
    if (!encoder || !timing) {
      for (GstElement* e : chain) gst_object_unref(gst_object_ref_sink(e));
      return;
    }
    for (GstElement* e : chain) gst_bin_add(GST_BIN(Bin()), e);
    for (size_t i = 1; i < chain.size(); ++i) gst_element_link(chain[i - 1], chain[i]);
    GstPad* muxPad = gst_element_request_pad_simple(mux_, audio ? "audio_%u" : "video_%u");
    GstPad* tail = gst_element_get_static_pad(chain.back(), "src");
    gst_pad_link(tail, muxPad);
    if (!audio)
      gst_pad_add_probe(tail, GST_PAD_PROBE_TYPE_BUFFER, CountFrame,
                        new std::shared_ptr<FrameTimes>(frameTimes_),
                        [](gpointer p) { delete static_cast<std::shared_ptr<FrameTimes>*>(p); });
    gst_object_unref(tail);
    muxPads_.push_back(muxPad);
    branch_.insert(branch_.end(), chain.begin(), chain.end());
    GstPad* in = gst_element_get_static_pad(chain.front(), "sink");
    KeepOnGraphTimeline(in, audio ? "WMV FileWriter: the sound" : "WMV FileWriter: the picture");
    AddPin(audio ? "Audio Input 01" : "Video Input 01", in, PinDirection::Input, PinCategory::None,
           audio ? MajorType::Audio : MajorType::Video);
    gst_object_unref(in);
    for (GstElement* e : chain) gst_element_sync_state_with_parent(e);
  }

  GstElement* mux_;
  GstElement* sink_;
  bool configured_ = false;
  AsfProfile profile_;
  std::vector<GstElement*> branch_;
  std::vector<GstPad*> muxPads_;
  std::shared_ptr<FrameTimes> frameTimes_ = std::make_shared<FrameTimes>();
};

Status AsfConfig::ConfigureFilterUsingProfile(const AsfProfile& profile) {
  return filter_->Configure(profile);
}
AsfProfile AsfConfig::CurrentProfile() { return filter_->Profile(); }

}  // namespace

std::shared_ptr<GstFilter> MakeAviMux(uint64_t clipBytes) {
  GstElementFactory* mux = gst_element_factory_find("avimux");
  if (!mux) return nullptr;
  gst_object_unref(mux);
  auto filter = std::make_shared<AviMuxFilter>(gst_bin_new(nullptr), clipBytes);
  filter->Init();
  return filter;
}

// libav's ASF muxer: asfmux writes a last data packet that ffmpeg misreads ("invalid
// padsize"), losing the frames in it.
std::shared_ptr<GstFilter> MakeAsfWriter() {
  GstElement* mux = gst_element_factory_make("avmux_asf", "mux");
  GstElement* sink = gst_element_factory_make("filesink", "sink");
  GstElementFactory* encoder = gst_element_factory_find("avenc_wmv2");
  if (encoder) gst_object_unref(encoder);
  if (!mux || !sink || !encoder) {
    if (mux) gst_object_unref(gst_object_ref_sink(mux));
    if (sink) gst_object_unref(gst_object_ref_sink(sink));
    return nullptr;
  }
  g_object_set(sink, "async", FALSE, nullptr);
  GstElement* bin = gst_bin_new(nullptr);
  gst_bin_add_many(GST_BIN(bin), mux, sink, nullptr);
  gst_element_link(mux, sink);
  auto filter = std::make_shared<AsfWriterFilter>(bin, mux, sink);
  filter->Configure(AsfProfile{});
  return filter;
}

}  // namespace media::gst
