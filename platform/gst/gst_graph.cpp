// The graph on a GstPipeline: adding and removing filters, intelligent connect, run and
// a stop that lets every file writer finish its file.
#include "platform/gst/gst_graph.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "platform/gst/caps_mapping.h"
#include "platform/gst/colour_converter.h"

namespace media::gst {
namespace {

constexpr GstClockTime kRunSettleTimeout = 2 * GST_SECOND;
// A stop waits as long as the writers take frames: until no frame has reached one for
// the stall time, and never past the limit (the capture backlog they drain is bounded).
constexpr int64_t kDrainStallUs = 2500 * 1000;
constexpr int64_t kDrainLimitUs = 60 * G_USEC_PER_SEC;
constexpr auto kDrainPoll = std::chrono::milliseconds(20);
constexpr size_t kMaxKeptEvents = 64;

// Converter chains tried in order when an output and an input do not meet.
struct ConverterChain {
  MajorType major;
  const char* name;
  std::vector<std::string> elements;
};
const std::vector<ConverterChain>& ConverterChains() {
  static const std::vector<ConverterChain> chains = {
      {MajorType::Video, "Color Space Converter", {kColourConverter}},
      {MajorType::Video, "MJPEG Decompressor", {"jpegdec", kColourConverter}},
      {MajorType::Video, "Video Scaler", {kColourConverter, "videoscale"}},
      {MajorType::Audio, "Audio Converter", {"audioconvert", "audioresample"}},
  };
  return chains;
}

// The bus keeps only what the user-interface thread may want to hear about.
GstBusSyncReply KeepInterestingMessages(GstBus*, GstMessage* message, gpointer) {
  switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ERROR:
    case GST_MESSAGE_WARNING:
    case GST_MESSAGE_EOS:
      return GST_BUS_PASS;
    default:
      return GST_BUS_DROP;
  }
}

class GraphControl : public MediaControl {
 public:
  explicit GraphControl(std::weak_ptr<GstGraph> graph) : graph_(std::move(graph)) {}
  Status Run() override {
    auto g = graph_.lock();
    return g ? g->Run() : kFail;
  }
  Status StopWhenReady() override {
    auto g = graph_.lock();
    return g ? g->StopWhenReady() : kFail;
  }

 private:
  std::weak_ptr<GstGraph> graph_;
};

// Elements inside a bin (recursively) with a flag, bins themselves excluded.
std::vector<GstElement*> ElementsWithFlag(GstElement* bin, GstElementFlags flag) {
  std::vector<GstElement*> found;
  GstIterator* it = gst_bin_iterate_recurse(GST_BIN(bin));
  GValue item = G_VALUE_INIT;
  while (gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
    GstElement* e = GST_ELEMENT(g_value_get_object(&item));
    if (!GST_IS_BIN(e) && GST_OBJECT_FLAG_IS_SET(e, flag))
      found.push_back(GST_ELEMENT(gst_object_ref(e)));
    g_value_reset(&item);
  }
  g_value_unset(&item);
  gst_iterator_free(it);
  return found;
}

// What a stop waits for: the file-writing sinks that have not yet seen the end of their
// stream, each with the name of its filter, and the last time a frame reached a writer.
struct EosWait {
  std::mutex mutex;
  std::condition_variable done;
  std::vector<std::pair<GstPad*, std::string>> waiting;
  std::atomic<int64_t> lastProgressUs{0};
};

GstPadProbeReturn OnWriterData(GstPad* pad, GstPadProbeInfo* info, gpointer data) {
  auto* wait = static_cast<EosWait*>(data);
  wait->lastProgressUs = g_get_monotonic_time();
  if ((GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) &&
      GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) == GST_EVENT_EOS) {
    std::lock_guard<std::mutex> lock(wait->mutex);
    wait->waiting.erase(std::remove_if(wait->waiting.begin(), wait->waiting.end(),
                                       [pad](const auto& w) { return w.first == pad; }),
                        wait->waiting.end());
    wait->done.notify_all();
  }
  return GST_PAD_PROBE_OK;
}

std::vector<GstPad*> SinkPads(GstElement* element) {
  std::vector<GstPad*> pads;
  GstIterator* it = gst_element_iterate_sink_pads(element);
  GValue item = G_VALUE_INIT;
  while (gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
    pads.push_back(GST_PAD(gst_object_ref(g_value_get_object(&item))));
    g_value_reset(&item);
  }
  g_value_unset(&item);
  gst_iterator_free(it);
  return pads;
}

}  // namespace

// A stop under way: the ends of the streams are on their way to the file writers behind
// the frames captured before them.
struct GstGraph::Drain {
  EosWait wait;
  std::vector<std::pair<GstPad*, gulong>> probes;
  int64_t startUs = 0;
  bool recorded = false;  // the graph has file writers
};

GstGraph::GstGraph() : pipeline_(gst_pipeline_new(nullptr)) {
  gst_object_ref_sink(pipeline_);
  // The graph runs on the machine's monotonic clock, never on one a source offers:
  // pipewiresrc's clock carries the previous stream's time into the next and jumps when
  // its stream starts, so a second recording's running time began at hours and its
  // clip with it, or its sinks waited for that jump.
  GstClock* clock = gst_system_clock_obtain();
  gst_pipeline_use_clock(GST_PIPELINE(pipeline_), clock);
  gst_object_unref(clock);
  bus_ = gst_pipeline_get_bus(GST_PIPELINE(pipeline_));
  gst_bus_set_sync_handler(bus_, KeepInterestingMessages, nullptr, nullptr);
}

GstGraph::~GstGraph() {
  // A graph let go while it runs still ends its streams first: its files get their index,
  // and splitmuxsink, set to NULL while a frame is on its way in, can hang.
  GstState state = GST_STATE_NULL;
  GstState pending = GST_STATE_VOID_PENDING;
  gst_element_get_state(pipeline_, &state, &pending, 0);
  if (drain_ || state == GST_STATE_PLAYING || pending == GST_STATE_PLAYING)
    while (StopWhenReady() == kStateIntermediate) {
    }
  gst_element_set_state(pipeline_, GST_STATE_NULL);
  for (const auto& filter : filters_) {
    std::vector<std::shared_ptr<Pin>> pins;
    filter->EnumPins(pins);
    for (const auto& pin : pins) Unlink(static_cast<GstPin&>(*pin).Pad());
    gst_element_set_locked_state(filter->Bin(), FALSE);
    gst_bin_remove(GST_BIN(pipeline_), filter->Bin());
  }
  filters_.clear();
  gst_bus_set_sync_handler(bus_, nullptr, nullptr, nullptr);
  gst_object_unref(bus_);
  gst_object_unref(pipeline_);
}

bool GstGraph::Contains(const GstFilter& filter) const {
  return GST_OBJECT_PARENT(filter.Bin()) == GST_OBJECT(pipeline_);
}

Status GstGraph::AddFilter(const std::shared_ptr<Filter>& filter, const std::string& name) {
  auto gf = std::dynamic_pointer_cast<GstFilter>(filter);
  if (!gf || GST_OBJECT_PARENT(gf->Bin())) return kFail;
  std::string unique = name;
  for (int n = 1; FindFilterByName(unique); ++n) {
    char suffix[16];
    g_snprintf(suffix, sizeof suffix, " %04d", n);
    unique = name + suffix;
  }
  gst_object_set_name(GST_OBJECT(gf->Bin()), unique.c_str());
  gst_element_set_locked_state(gf->Bin(), TRUE);
  if (!gst_bin_add(GST_BIN(pipeline_), gf->Bin())) return kFail;
  filters_.push_back(gf);
  return kOk;
}

Status GstGraph::RemoveFilter(Filter& filter) {
  auto it = std::find_if(filters_.begin(), filters_.end(),
                         [&](const auto& f) { return f.get() == &filter; });
  if (it == filters_.end()) return kFail;
  std::shared_ptr<GstFilter> gf = *it;
  std::vector<std::shared_ptr<Pin>> pins;
  gf->EnumPins(pins);
  for (const auto& pin : pins) Unlink(static_cast<GstPin&>(*pin).Pad());
  gst_element_set_locked_state(gf->Bin(), FALSE);
  gst_element_set_state(gf->Bin(), GST_STATE_NULL);
  gst_bin_remove(GST_BIN(pipeline_), gf->Bin());
  filters_.erase(it);
  return kOk;
}

void GstGraph::Unlink(GstPad* pad) {
  GstPad* peer = gst_pad_get_peer(pad);
  if (!peer) return;
  GstPad* src = GST_PAD_DIRECTION(pad) == GST_PAD_SRC ? pad : peer;
  GstPad* sink = src == pad ? peer : pad;
  gst_pad_unlink(src, sink);
  if (auto pin = GstPin::FromPad(sink))
    if (auto owner = pin->OwnerFilter()) owner->InputDisconnected(*pin);
  gst_object_unref(peer);
}

Status GstGraph::Disconnect(Pin& pin) {
  auto* gp = dynamic_cast<GstPin*>(&pin);
  if (!gp) return kInvalidArgument;
  if (!gst_pad_is_linked(gp->Pad())) return kFalse;
  Unlink(gp->Pad());
  return kOk;
}

Status GstGraph::LinkDirect(GstPin& out, GstPin& in) {
  return gst_pad_link(out.Pad(), in.Pad()) == GST_PAD_LINK_OK ? kOk : kFail;
}

Status GstGraph::LinkThroughConverter(GstPin& out, GstPin& in, const GstCaps* outCaps,
                                      const GstCaps* inCaps) {
  const MajorType major = MajorOfCaps(outCaps);
  for (const ConverterChain& chain : ConverterChains()) {
    if (chain.major != major) continue;
    std::shared_ptr<GstFilter> conv = MakeChainFilter(chain.name, chain.elements);
    if (!conv) continue;
    std::vector<std::shared_ptr<Pin>> pins;
    conv->EnumPins(pins);
    auto& convIn = static_cast<GstPin&>(*pins[0]);
    auto& convOut = static_cast<GstPin&>(*pins[1]);
    GstCaps* accepted = gst_pad_query_caps(convIn.Pad(), nullptr);
    const bool takesInput = gst_caps_can_intersect(accepted, outCaps);
    gst_caps_unref(accepted);
    if (!takesInput) continue;
    if (!Succeeded(AddFilter(conv, chain.name))) continue;
    if (Succeeded(LinkDirect(out, convIn))) {
      GstCaps* produced = gst_pad_query_caps(convOut.Pad(), nullptr);
      const bool meets = gst_caps_can_intersect(produced, inCaps);
      gst_caps_unref(produced);
      if (meets && Succeeded(LinkDirect(convOut, in))) {
        ++converterCount_;
        return kOk;
      }
    }
    RemoveFilter(*conv);
  }
  return kFail;
}

Status GstGraph::Connect(Pin& output, Pin& input) {
  auto* out = dynamic_cast<GstPin*>(&output);
  auto* in = dynamic_cast<GstPin*>(&input);
  if (!out || !in || out->Direction() != PinDirection::Output ||
      in->Direction() != PinDirection::Input)
    return kInvalidArgument;
  auto outFilter = out->OwnerFilter();
  auto inFilter = in->OwnerFilter();
  if (!outFilter || !inFilter || !Contains(*outFilter) || !Contains(*inFilter)) return kFail;
  if (gst_pad_is_linked(out->Pad()) || gst_pad_is_linked(in->Pad())) return kFail;

  // A device output delivers its current format, whatever else it could offer.
  GstCaps* outCaps = outFilter->OutputFormat(*out);
  if (!outCaps) outCaps = gst_pad_query_caps(out->Pad(), nullptr);
  Status status = kFail;
  if (!gst_caps_is_empty(outCaps) && inFilter->PrepareInput(*in, outCaps)) {
    GstCaps* inCaps = gst_pad_query_caps(in->Pad(), nullptr);
    if (gst_caps_can_intersect(outCaps, inCaps)) status = LinkDirect(*out, *in);
    if (!Succeeded(status)) status = LinkThroughConverter(*out, *in, outCaps, inCaps);
    gst_caps_unref(inCaps);
  }
  gst_caps_unref(outCaps);
  if (Succeeded(status))
    inFilter->InputConnected(*in);
  else
    inFilter->InputDisconnected(*in);
  return status;
}

std::vector<std::shared_ptr<Filter>> GstGraph::Filters() const {
  return {filters_.begin(), filters_.end()};
}

std::shared_ptr<Filter> GstGraph::FindFilterByName(const std::string& name) const {
  for (const auto& f : filters_)
    if (f->Name() == name) return f;
  return nullptr;
}

std::shared_ptr<MediaControl> GstGraph::GetMediaControl() {
  return std::make_shared<GraphControl>(weak_from_this());
}

void GstGraph::Keep(GstMessage* message) {
  GraphEvent event;
  switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ERROR: {
      GError* error = nullptr;
      gst_message_parse_error(message, &error, nullptr);
      event.kind = (error && error->domain == GST_RESOURCE_ERROR) ? GraphEvent::Kind::DeviceLost
                                                                  : GraphEvent::Kind::ErrorAbort;
      event.text = error ? error->message : "";
      g_clear_error(&error);
      break;
    }
    case GST_MESSAGE_EOS:
      event.kind = GraphEvent::Kind::Complete;
      break;
    default:
      gst_message_unref(message);
      return;
  }
  if (GST_MESSAGE_SRC(message)) {
    gchar* name = gst_object_get_path_string(GST_MESSAGE_SRC(message));
    event.source = name ? name : "";
    g_free(name);
  }
  gst_message_unref(message);
  if (events_.size() >= kMaxKeptEvents) events_.pop_front();
  events_.push_back(std::move(event));
}

void GstGraph::DrainBus() {
  while (GstMessage* m = gst_bus_pop(bus_)) Keep(m);
}

bool GstGraph::NextEvent(GraphEvent& event) {
  DrainBus();
  if (events_.empty()) return false;
  event = std::move(events_.front());
  events_.pop_front();
  return true;
}

void GstGraph::LockIdleFilters(bool allLocked) {
  for (const auto& f : filters_)
    gst_element_set_locked_state(f->Bin(), allLocked || !f->HasConnectedPin());
}

Status GstGraph::Run() {
  DrainBus();
  LockIdleFilters(false);
  GstStateChangeReturn ret = gst_element_set_state(pipeline_, GST_STATE_PLAYING);
  if (ret != GST_STATE_CHANGE_FAILURE)
    ret = gst_element_get_state(pipeline_, nullptr, nullptr, kRunSettleTimeout);
  bool failed = ret == GST_STATE_CHANGE_FAILURE;
  while (GstMessage* m = gst_bus_pop_filtered(bus_, GST_MESSAGE_ERROR)) {
    failed = true;
    Keep(m);
  }
  if (failed) {
    gst_element_set_state(pipeline_, GST_STATE_NULL);
    LockIdleFilters(true);
    return kFail;
  }
  return kOk;
}

Status GstGraph::StopWhenReady() {
  if (drain_) return ContinueDrain();
  GstState state = GST_STATE_NULL;
  GstState pending = GST_STATE_VOID_PENDING;
  gst_element_get_state(pipeline_, &state, &pending, 0);
  if (state != GST_STATE_PLAYING && pending != GST_STATE_PLAYING) return FinishStop(false);
  // End every stream at its source and wait until the file sinks have seen the end, so
  // multiplexers write their index and headers before the files are closed.
  drain_ = std::make_unique<Drain>();
  drain_->startUs = g_get_monotonic_time();
  drain_->wait.lastProgressUs = drain_->startUs;
  std::vector<GstElement*> sources;
  for (const auto& f : filters_) {
    if (!f->HasConnectedPin()) continue;
    bool writes = false;
    for (GstElement* sink : ElementsWithFlag(f->Bin(), GST_ELEMENT_FLAG_SINK)) {
      // Only sinks that write files need the end of their stream; the others stop as is.
      const bool writesFile =
          g_object_class_find_property(G_OBJECT_GET_CLASS(sink), "location") != nullptr;
      GstPad* pad = writesFile ? gst_element_get_static_pad(sink, "sink") : nullptr;
      writes = writes || pad != nullptr;
      // A stream that ended by itself (a camera unplugged sends its end after the error)
      // has nothing more to wait for.
      if (pad && GST_PAD_IS_EOS(pad)) {
        gst_object_unref(pad);
        pad = nullptr;
      }
      if (pad) {
        {
          std::lock_guard<std::mutex> lock(drain_->wait.mutex);
          drain_->wait.waiting.emplace_back(pad, f->Name());
        }
        Watch(pad, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM);
      }
      gst_object_unref(sink);
    }
    drain_->recorded = drain_->recorded || writes;
    // Frames entering a writer show that the stop is getting on.
    if (writes)
      for (GstPad* in : SinkPads(f->Bin()))
        Watch(in, static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER |
                                               GST_PAD_PROBE_TYPE_BUFFER_LIST));
    for (GstElement* src : ElementsWithFlag(f->Bin(), GST_ELEMENT_FLAG_SOURCE))
      sources.push_back(src);
  }
  for (GstElement* src : sources) {
    gst_element_send_event(src, gst_event_new_eos());
    gst_object_unref(src);
  }
  return ContinueDrain();
}

void GstGraph::Watch(GstPad* pad, GstPadProbeType type) {
  drain_->probes.emplace_back(pad,
                              gst_pad_add_probe(pad, type, OnWriterData, &drain_->wait, nullptr));
}

Status GstGraph::ContinueDrain() {
  EosWait& wait = drain_->wait;
  {
    std::unique_lock<std::mutex> lock(wait.mutex);
    if (!wait.done.wait_for(lock, kDrainPoll, [&] { return wait.waiting.empty(); })) {
      const int64_t now = g_get_monotonic_time();
      if (now - wait.lastProgressUs < kDrainStallUs && now - drain_->startUs < kDrainLimitUs)
        return kStateIntermediate;
      // A file cut short must not go unnoticed: the event tells the user-interface
      // thread, which logs it and keeps the clip for the repair.
      for (const auto& [pad, writer] : wait.waiting)
        events_.push_back({GraphEvent::Kind::FileUnfinished, writer,
                           "the file writer did not finish its file before the stop"});
    }
  }
  return FinishStop(drain_->recorded);
}

Status GstGraph::FinishStop(bool recorded) {
  const GstStateChangeReturn ret = gst_element_set_state(pipeline_, GST_STATE_NULL);
  if (drain_) {
    for (auto& [pad, id] : drain_->probes) {
      gst_pad_remove_probe(pad, id);
      gst_object_unref(pad);
    }
    drain_.reset();
  }
  if (ret == GST_STATE_CHANGE_FAILURE) return kFail;
  LockIdleFilters(true);
  for (const auto& f : filters_) {
    const std::string warning = f->GraphStopped();
    if (!warning.empty()) events_.push_back({GraphEvent::Kind::Warning, f->Name(), warning});
    // Frames a recording had to leave out are told; a preview's are of no account.
    const int64_t dropped = f->TakeDroppedFrames();
    if (!recorded || dropped <= 0) continue;
    events_.push_back(
        {GraphEvent::Kind::FramesDropped, f->Name(),
         std::to_string(dropped) + " frames were left out: the writer could not keep up", dropped});
  }
  // What the stop itself posted (the ends of the streams) is not news for the user.
  while (GstMessage* m = gst_bus_pop_filtered(bus_, GST_MESSAGE_EOS)) gst_message_unref(m);
  return kOk;
}

}  // namespace media::gst
