// The AVI multiplexer (one free input more once the last is connected) and the ASF
// writer (inputs by profile: audio first when it has sound, then video).
#include <gst/gst.h>

#include "platform/gst/caps_mapping.h"
#include "platform/gst/stock_filters.h"

namespace media::gst {
namespace {

// Binds an input ghost pad to a new request pad of the muxer for the upstream's kind.
bool BindRequestPad(GstElement* mux, GstPin& pin, const GstCaps* upstream) {
  GstPad* target = gst_ghost_pad_get_target(GST_GHOST_PAD(pin.Pad()));
  if (target) {
    gst_object_unref(target);
    return true;
  }
  const MajorType major = MajorOfCaps(upstream);
  const char* tmpl = major == MajorType::Audio ? "audio_%u" : "video_%u";
  if (major != MajorType::Audio && major != MajorType::Video) return false;
  GstPad* pad = gst_element_request_pad_simple(mux, tmpl);
  if (!pad) return false;
  gst_ghost_pad_set_target(GST_GHOST_PAD(pin.Pad()), pad);
  pin.SetMajor(major);
  gst_object_unref(pad);
  return true;
}

void ReleaseRequestPad(GstElement* mux, GstPin& pin) {
  GstPad* target = gst_ghost_pad_get_target(GST_GHOST_PAD(pin.Pad()));
  if (!target) return;
  gst_ghost_pad_set_target(GST_GHOST_PAD(pin.Pad()), nullptr);
  gst_element_release_request_pad(mux, target);
  gst_object_unref(target);
  pin.SetMajor(MajorType::Any);
}

class AviMuxFilter : public GstFilter {
 public:
  AviMuxFilter(GstElement* bin, GstElement* mux) : GstFilter(clsid::kAviMux, bin), mux_(mux) {}

  void Init() {
    GstPad* out = gst_element_get_static_pad(mux_, "src");
    AddPin("AVI Out", out, PinDirection::Output, PinCategory::None, MajorType::Any);
    gst_object_unref(out);
    AddInput();
  }
  bool PrepareInput(GstPin& pin, const GstCaps* upstream) override {
    return BindRequestPad(mux_, pin, upstream);
  }
  void InputConnected(GstPin&) override {
    if (gst_pad_is_linked(pins_.back()->Pad())) AddInput();
  }
  void InputDisconnected(GstPin& pin) override { ReleaseRequestPad(mux_, pin); }

 private:
  void AddInput() {
    ++inputs_;
    gchar* name = g_strdup_printf("Input %02d", inputs_);
    AddPin(name, nullptr, PinDirection::Input, PinCategory::None, MajorType::Any);
    g_free(name);
  }
  GstElement* mux_;
  int inputs_ = 0;
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

// The encoders stamp their first frame far from zero; the muxer wants running time.
GstPadProbeReturn RebaseTimestamps(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto* first = static_cast<GstClockTime*>(data);
  GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
  if (!GST_BUFFER_PTS_IS_VALID(buffer)) return GST_PAD_PROBE_OK;
  buffer = gst_buffer_make_writable(buffer);
  GST_PAD_PROBE_INFO_DATA(info) = buffer;
  if (*first == GST_CLOCK_TIME_NONE) *first = GST_BUFFER_PTS(buffer);
  const GstClockTime base = *first;
  GST_BUFFER_PTS(buffer) = GST_BUFFER_PTS(buffer) > base ? GST_BUFFER_PTS(buffer) - base : 0;
  if (GST_BUFFER_DTS_IS_VALID(buffer))
    GST_BUFFER_DTS(buffer) = GST_BUFFER_DTS(buffer) > base ? GST_BUFFER_DTS(buffer) - base : 0;
  return GST_PAD_PROBE_OK;
}

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
    for (GstPad* p : muxPads_) {
      gst_element_release_request_pad(mux_, p);
      gst_object_unref(p);
    }
    muxPads_.clear();
    profile_ = profile;
    if (profile.hasAudio) AddBranch(true, profile);
    if (profile.hasVideo) AddBranch(false, profile);
    return kOk;
  }
  const AsfProfile& Profile() const { return profile_; }

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
      GstCaps* caps = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "I420", "width",
                                          G_TYPE_INT, profile.videoWidth, "height", G_TYPE_INT,
                                          std::abs(profile.videoHeight), nullptr);
      g_object_set(size, "caps", caps, nullptr);
      gst_caps_unref(caps);
      encoder = make("avenc_wmv2");
      if (encoder) g_object_set(encoder, "bitrate", profile.videoBitrate, nullptr);
    }
    make("queue");
    if (!encoder) {
      for (GstElement* e : chain) gst_object_unref(gst_object_ref_sink(e));
      return;
    }
    for (GstElement* e : chain) gst_bin_add(GST_BIN(Bin()), e);
    for (size_t i = 1; i < chain.size(); ++i) gst_element_link(chain[i - 1], chain[i]);
    GstPad* encOut = gst_element_get_static_pad(encoder, "src");
    auto* first = audio ? &audioBase_ : &videoBase_;
    *first = GST_CLOCK_TIME_NONE;
    gst_pad_add_probe(encOut, GST_PAD_PROBE_TYPE_BUFFER, RebaseTimestamps, first, nullptr);
    gst_object_unref(encOut);
    GstPad* muxPad = gst_element_request_pad_simple(mux_, audio ? "audio_%u" : "video_%u");
    GstPad* tail = gst_element_get_static_pad(chain.back(), "src");
    gst_pad_link(tail, muxPad);
    gst_object_unref(tail);
    muxPads_.push_back(muxPad);
    branch_.insert(branch_.end(), chain.begin(), chain.end());
    GstPad* in = gst_element_get_static_pad(chain.front(), "sink");
    AddPin(audio ? "Audio Input 01" : "Video Input 01", in, PinDirection::Input, PinCategory::None,
           audio ? MajorType::Audio : MajorType::Video);
    gst_object_unref(in);
    for (GstElement* e : chain) gst_element_sync_state_with_parent(e);
  }

  GstElement* mux_;
  GstElement* sink_;
  AsfProfile profile_;
  std::vector<GstElement*> branch_;
  std::vector<GstPad*> muxPads_;
  GstClockTime audioBase_ = GST_CLOCK_TIME_NONE;
  GstClockTime videoBase_ = GST_CLOCK_TIME_NONE;
};

Status AsfConfig::ConfigureFilterUsingProfile(const AsfProfile& profile) {
  return filter_->Configure(profile);
}
AsfProfile AsfConfig::CurrentProfile() { return filter_->Profile(); }

}  // namespace

std::shared_ptr<GstFilter> MakeAviMux() {
  GstElement* bin = gst_bin_new(nullptr);
  GstElement* mux = gst_element_factory_make("avimux", "mux");
  if (!mux) {
    gst_object_unref(gst_object_ref_sink(bin));
    return nullptr;
  }
  gst_bin_add(GST_BIN(bin), mux);
  auto filter = std::make_shared<AviMuxFilter>(bin, mux);
  filter->Init();
  return filter;
}

std::shared_ptr<GstFilter> MakeAsfWriter() {
  GstElement* mux = gst_element_factory_make("asfmux", "mux");
  GstElement* sink = gst_element_factory_make("filesink", "sink");
  if (!mux || !sink || !gst_element_factory_find("avenc_wmv2")) {
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
