// The file writer: a splitmuxsink that muxes the streams of the multiplexer in front of
// it into the recording's file and, past the multiplexer's clip size, finishes that file
// and goes on in the next, without losing or repeating a frame at the cut.
#include <mutex>
#include <vector>

#include "platform/file_names.h"
#include "platform/gst/clip_streams.h"
#include "platform/gst/stock_filters.h"

namespace media::gst {
namespace {

// The bytes a writer with a limit has taken; the limit is the probe's own.
struct WriteLimit {
  uint64_t limit = 0;
  uint64_t written = 0;
  bool full = false;
};

GstPadProbeReturn LimitWrites(GstPad* pad, GstPadProbeInfo* info, gpointer data) {
  auto* w = static_cast<WriteLimit*>(data);
  GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
  const uint64_t size = gst_buffer_get_size(buffer);
  if (!w->full && w->written + size <= w->limit) {
    w->written += size;
    return GST_PAD_PROBE_OK;
  }
  if (!w->full) {
    w->full = true;
    GstElement* sink = gst_pad_get_parent_element(pad);
    GST_ELEMENT_ERROR(sink, RESOURCE, NO_SPACE_LEFT, ("No space left on device"),
                      ("the writer is set to fail after %" G_GUINT64_FORMAT " bytes", w->limit));
    if (sink) gst_object_unref(sink);
  }
  gst_buffer_unref(buffer);
  GST_PAD_PROBE_INFO_DATA(info) = nullptr;
  GST_PAD_PROBE_INFO_FLOW_RETURN(info) = GST_FLOW_ERROR;
  return GST_PAD_PROBE_HANDLED;
}

// A writer nobody tells how to name the files after the first numbers them after it,
// passing over names that are taken: Clip0000.AVI goes on in Clip0000-1.AVI.
struct LinkedStream {
  GstPad* upstream = nullptr;  // the multiplexer's pad (borrowed)
  GstPad* input = nullptr;     // the writer's own ghost pad
  GstPad* request = nullptr;   // splitmuxsink's pad
};

class FileWriterFilter : public GstFilter, public ClipStreamReceiver {
 public:
  FileWriterFilter(GstElement* bin, GstElement* split)
      : GstFilter(clsid::kFileWriter, bin), split_(split) {
    g_signal_connect(split_, "format-location", G_CALLBACK(OnFormatLocation), this);
  }
  ~FileWriterFilter() override {
    g_signal_handlers_disconnect_by_data(split_, this);
    Detach();
  }

  std::shared_ptr<FileSink> GetFileSink() override;

  Status SetFileName(const std::string& path) {
    if (path.empty()) return kInvalidArgument;
    GstState state = GST_STATE_NULL;
    gst_element_get_state(split_, &state, nullptr, 0);
    if (state > GST_STATE_READY) return kFail;  // the file is open
    std::lock_guard<std::mutex> lock(namesLock_);
    location_ = path;
    return kOk;
  }
  Status SetNextFileNamer(std::function<std::string()> namer) {
    std::lock_guard<std::mutex> lock(namesLock_);
    namer_ = std::move(namer);
    return kOk;
  }

  // Only a multiplexer that hands its streams over can feed the writer.
  bool PrepareInput(GstPin&, const GstCaps* upstream) override {
    return gst_caps_is_fixed(upstream) &&
           gst_structure_has_name(gst_caps_get_structure(upstream, 0), "video/x-msvideo");
  }
  void InputConnected(GstPin& pin) override {
    GstPad* peer = gst_pad_get_peer(pin.Pad());
    std::shared_ptr<GstPin> out = GstPin::FromPad(peer);
    if (peer) gst_object_unref(peer);
    std::shared_ptr<GstFilter> owner = out ? out->OwnerFilter() : nullptr;
    auto* streams = dynamic_cast<ClipStreams*>(owner.get());
    if (!streams) return;
    if (!muxerSet_) {
      GstElement* muxer = streams->MakeMuxer();
      if (!muxer) return;
      g_object_set(split_, "muxer", muxer, nullptr);
      muxerSet_ = true;
    }
    g_object_set(split_, "max-size-bytes", static_cast<guint64>(streams->ClipBytes()), nullptr);
    upstream_ = owner;
    for (const ClipStream& stream : streams->Streams()) AddStream(stream);
    streams->SetReceiver(this);
  }
  void InputDisconnected(GstPin&) override { Detach(); }

  bool AddStream(const ClipStream& stream) override {
    GstPad* request = gst_element_request_pad_simple(
        split_, stream.major == MajorType::Video ? "video" : "audio_%u");
    if (!request) return false;
    gchar* name = gst_pad_get_name(request);
    GstPad* input = gst_ghost_pad_new(name, request);
    g_free(name);
    gst_pad_set_active(input, TRUE);
    gst_element_add_pad(Bin(), input);
    if (gst_pad_link(stream.pad, input) != GST_PAD_LINK_OK) {
      Release({stream.pad, input, request});
      return false;
    }
    streams_.push_back({stream.pad, input, request});
    return true;
  }
  void RemoveStream(GstPad* pad) override {
    for (auto it = streams_.begin(); it != streams_.end(); ++it) {
      if (it->upstream != pad) continue;
      Release(*it);
      streams_.erase(it);
      return;
    }
  }

 private:
  static gchar* OnFormatLocation(GstElement*, guint fragment, gpointer self) {
    return static_cast<FileWriterFilter*>(self)->NameFragment(fragment);
  }
  // Runs on the streaming thread; the file before has been finished and closed.
  gchar* NameFragment(guint fragment) {
    std::lock_guard<std::mutex> lock(namesLock_);
    if (location_.empty()) return nullptr;
    if (fragment == 0) return g_strdup(location_.c_str());
    std::string next = namer_ ? namer_() : std::string();
    // Nobody names the files after the first: Clip0000.AVI goes on in Clip0000-1.AVI.
    if (next.empty())
      next = platform::FreeNumberedVariant(location_, fragment, platform::NameTaken);
    return g_strdup(next.c_str());
  }
  void Release(const LinkedStream& stream) {
    gst_pad_unlink(stream.upstream, stream.input);
    gst_element_remove_pad(Bin(), stream.input);
    gst_element_release_request_pad(split_, stream.request);
    gst_object_unref(stream.request);
  }
  void Detach() {
    for (const LinkedStream& stream : streams_) Release(stream);
    streams_.clear();
    if (auto owner = upstream_.lock())
      if (auto* streams = dynamic_cast<ClipStreams*>(owner.get())) streams->SetReceiver(nullptr);
    upstream_.reset();
  }

  GstElement* split_;
  bool muxerSet_ = false;
  std::weak_ptr<GstFilter> upstream_;
  std::vector<LinkedStream> streams_;
  std::mutex namesLock_;
  std::string location_;
  std::function<std::string()> namer_;
};

class FileWriterSink : public FileSink {
 public:
  explicit FileWriterSink(std::shared_ptr<FileWriterFilter> owner) : owner_(std::move(owner)) {}
  Status SetFileName(const std::string& path) override { return owner_->SetFileName(path); }
  Status SetNextFileNamer(std::function<std::string()> namer) override {
    return owner_->SetNextFileNamer(std::move(namer));
  }

 private:
  std::shared_ptr<FileWriterFilter> owner_;
};

std::shared_ptr<FileSink> FileWriterFilter::GetFileSink() {
  return std::make_shared<FileWriterSink>(
      std::static_pointer_cast<FileWriterFilter>(shared_from_this()));
}

}  // namespace

std::shared_ptr<GstFilter> MakeFileWriter(uint64_t failAfterBytes) {
  GstElement* split = gst_element_factory_make("splitmuxsink", "splitmux");
  GstElement* sink = gst_element_factory_make("filesink", "sink");
  if (!split || !sink) {
    if (split) gst_object_unref(gst_object_ref_sink(split));
    if (sink) gst_object_unref(gst_object_ref_sink(sink));
    return nullptr;
  }
  g_object_set(sink, "async", FALSE, nullptr);
  if (failAfterBytes > 0) {
    auto* limit = new WriteLimit;
    limit->limit = failAfterBytes;
    GstPad* in = gst_element_get_static_pad(sink, "sink");
    gst_pad_add_probe(in, GST_PAD_PROBE_TYPE_BUFFER, LimitWrites, limit,
                      [](gpointer p) { delete static_cast<WriteLimit*>(p); });
    gst_object_unref(in);
  }
  // Every file is kept (max-files 0), and each is finished before the next one opens.
  g_object_set(split, "sink", sink, "max-files", 0u, "async-finalize", FALSE, nullptr);
  GstElement* bin = gst_bin_new(nullptr);
  gst_bin_add(GST_BIN(bin), split);
  auto filter = std::make_shared<FileWriterFilter>(bin, split);
  filter->AddPin("in", nullptr, PinDirection::Input, PinCategory::None, MajorType::Any);
  return filter;
}

}  // namespace media::gst
