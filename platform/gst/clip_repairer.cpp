// GstClipRepairer: filesrc ! avidemux|asfdemux, each stream through a queue into avimux
// or the ASF muxer the recordings use, into a filesink; the frames are counted on the way.
#include "platform/gst/clip_repairer.h"

#include <fcntl.h>
#include <gst/gst.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace media::gst {
namespace {

// A repair that moves no buffer for this long has hung: a demuxer stuck on a damaged
// file (one that found nothing at all cannot read it).
constexpr GstClockTime kStallTimeout = 15 * GST_SECOND;
// How often the remux looks at its progress and whether it was cancelled.
constexpr GstClockTime kPollInterval = 100 * GST_MSECOND;
// How much of each stream waits between the demuxer and the muxer. Sound waits longer:
// it is held back until the picture is known to reach it (see HoldSound).
constexpr GstClockTime kVideoQueueTime = 2 * GST_SECOND;
constexpr GstClockTime kSoundQueueTime = 10 * GST_SECOND;
constexpr const char* kCancelledText = "Ostrel was closing";
// What a killed writer leaves unreadable at the end of the clip, besides its last chunk
// (see ReadToTheEnd): chunk headers, padding, sound written along with the last frames.
constexpr uint64_t kTailSlack = 64 * 1024;

struct Remuxing {
  GstElement* pipeline = nullptr;
  GstElement* mux = nullptr;
  bool asf = false;
  std::atomic<int64_t> buffers{0};         // on every stream: the progress
  std::atomic<uint64_t> readTo{0};         // the end of the furthest whole read of the clip
  std::atomic<uint64_t> largestBuffer{0};  // the largest frame or sound the demuxer gave
  std::mutex mutex;
  std::vector<GstPad*> queueSinks;  // where an early end is sent
  int64_t videoFrames = 0;
  GstClockTime videoEnd = 0;
  bool linkFailed = false;

  // The killed writer may have got sound further than picture into the file; the sound
  // past the last whole frame is left out of the repair, so that both end together.
  std::condition_variable videoMoved;
  int videoStreams = 0;
  GstClockTime demuxedVideoEnd = 0;  // the end of the newest frame the demuxer gave
  bool videoEnded = false;           // the demuxer gives no more frames
  bool soundPasses = false;          // no trimming: no picture, too much sound waits, or the end
};

// Where a frame with a timestamp ends: its start, plus its duration when it has one.
GstClockTime EndOf(GstBuffer* buffer) {
  GstClockTime end = GST_BUFFER_PTS(buffer);
  if (GST_BUFFER_DURATION_IS_VALID(buffer)) end += GST_BUFFER_DURATION(buffer);
  return end;
}

void LetSoundPass(Remuxing* r) {
  {
    std::lock_guard<std::mutex> lock(r->mutex);
    r->soundPasses = true;
  }
  r->videoMoved.notify_all();
}

// On the input of a video stream's queue: how far the demuxer has got with the picture.
GstPadProbeReturn NoteDemuxedVideo(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto* r = static_cast<Remuxing*>(data);
  {
    std::lock_guard<std::mutex> lock(r->mutex);
    if (info->type & GST_PAD_PROBE_TYPE_BUFFER) {
      GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
      if (!GST_BUFFER_PTS_IS_VALID(buffer)) return GST_PAD_PROBE_OK;
      r->demuxedVideoEnd = std::max(r->demuxedVideoEnd, EndOf(buffer));
    } else if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) == GST_EVENT_EOS) {
      r->videoEnded = true;
    } else {
      return GST_PAD_PROBE_OK;
    }
  }
  r->videoMoved.notify_all();
  return GST_PAD_PROBE_OK;
}

// On the output of a sound stream's queue: a buffer goes on once the picture is known to
// reach its start, and is dropped when the picture ended before it. The wait cannot stall
// the muxer: it only ever waits for sound that lies ahead of every frame it holds.
GstPadProbeReturn HoldSound(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto* r = static_cast<Remuxing*>(data);
  GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
  if (!GST_BUFFER_PTS_IS_VALID(buffer)) return GST_PAD_PROBE_OK;
  const GstClockTime start = GST_BUFFER_PTS(buffer);
  std::unique_lock<std::mutex> lock(r->mutex);
  r->videoMoved.wait(lock,
                     [&] { return r->soundPasses || r->videoEnded || start < r->demuxedVideoEnd; });
  if (r->soundPasses || start < r->demuxedVideoEnd) return GST_PAD_PROBE_OK;
  return GST_PAD_PROBE_DROP;
}

// Every stream has been announced: without a picture there is nothing to trim against.
void OnNoMorePads(GstElement*, gpointer data) {
  auto* r = static_cast<Remuxing*>(data);
  bool noVideo;
  {
    std::lock_guard<std::mutex> lock(r->mutex);
    noVideo = r->videoStreams == 0;
  }
  if (noVideo) LetSoundPass(r);
}

// The demuxer is blocked on a full sound queue while the picture lags far behind.
void OnSoundQueueFull(GstElement*, gpointer data) { LetSoundPass(static_cast<Remuxing*>(data)); }

void RaiseTo(std::atomic<uint64_t>& value, uint64_t to) {
  uint64_t now = value.load();
  while (now < to && !value.compare_exchange_weak(now, to)) {
  }
}

GstPadProbeReturn CountBuffer(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto* r = static_cast<Remuxing*>(data);
  ++r->buffers;
  RaiseTo(r->largestBuffer, gst_buffer_get_size(GST_PAD_PROBE_INFO_BUFFER(info)));
  return GST_PAD_PROBE_OK;
}

// On the demuxer's input: how far into the clip it has read. A pull that came back short
// ran into the end of the file and does not count: a damaged chunk size makes avidemux
// ask for more than is left, take that for the end and stop without an error.
GstPadProbeReturn NoteRead(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto* r = static_cast<Remuxing*>(data);
  GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
  if (!buffer) return GST_PAD_PROBE_OK;  // before a pull: nothing read yet
  const uint64_t size = gst_buffer_get_size(buffer);
  const bool pulled = info->type & GST_PAD_PROBE_TYPE_PULL;
  if (pulled && size < GST_PAD_PROBE_INFO_SIZE(info)) return GST_PAD_PROBE_OK;
  const uint64_t offset = GST_BUFFER_OFFSET_IS_VALID(buffer) ? GST_BUFFER_OFFSET(buffer)
                          : pulled                           ? GST_PAD_PROBE_INFO_OFFSET(info)
                                                             : r->readTo.load();
  RaiseTo(r->readTo, offset + size);
  return GST_PAD_PROBE_OK;
}

// Whether the demuxer read the clip to its end, but for what the killed writer left half
// written: its last chunk. Twice the largest chunk the demuxer gave allows for a last frame
// larger than those before it, and for chunks avidemux, reading in the order of the
// timestamps, had not reached when the end of one stream stopped it.
bool ReadToTheEnd(const Remuxing& r, uint64_t clipSize) {
  const uint64_t tail = 2 * r.largestBuffer.load() + kTailSlack;
  return r.readTo.load() + tail >= clipSize;
}

uint64_t SizeOf(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
}

GstPadProbeReturn CountVideoFrame(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto* r = static_cast<Remuxing*>(data);
  GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
  std::lock_guard<std::mutex> lock(r->mutex);
  ++r->videoFrames;
  if (GST_BUFFER_PTS_IS_VALID(buffer)) r->videoEnd = std::max(r->videoEnd, EndOf(buffer));
  return GST_PAD_PROBE_OK;
}

// The killed clip's headers give a wrong duration (none, or a wrapped one for an ASF
// file), which a muxer that asks upstream would copy into the repaired headers; it
// measures the streams itself instead.
GstPadProbeReturn RefuseDurationQuery(GstPad*, GstPadProbeInfo* info, gpointer) {
  GstQuery* query = GST_PAD_PROBE_INFO_QUERY(info);
  return GST_QUERY_TYPE(query) == GST_QUERY_DURATION ? GST_PAD_PROBE_DROP : GST_PAD_PROBE_OK;
}

// asfdemux gives its buffers no duration, and the ASF muxer takes a missing one for
// hours of it in the headers: each buffer lasts as long as the gap before it did.
struct StreamTiming {
  GstClockTime lastPts = GST_CLOCK_TIME_NONE;
};

GstPadProbeReturn FillDuration(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto* timing = static_cast<StreamTiming*>(data);
  GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
  if (!GST_BUFFER_PTS_IS_VALID(buffer)) return GST_PAD_PROBE_OK;
  const GstClockTime pts = GST_BUFFER_PTS(buffer);
  const GstClockTime gap =
      GST_CLOCK_TIME_IS_VALID(timing->lastPts) && pts > timing->lastPts ? pts - timing->lastPts : 0;
  timing->lastPts = pts;
  if (!GST_BUFFER_DURATION_IS_VALID(buffer)) {
    buffer = gst_buffer_make_writable(buffer);
    GST_BUFFER_DURATION(buffer) = gap;
    GST_PAD_PROBE_INFO_DATA(info) = buffer;
  }
  return GST_PAD_PROBE_OK;
}

// A stream of the demuxer: a queue of its own into a new input of the muxer.
void OnPadAdded(GstElement*, GstPad* pad, gpointer data) {
  auto* r = static_cast<Remuxing*>(data);
  GstCaps* caps = gst_pad_get_current_caps(pad);
  if (!caps) caps = gst_pad_query_caps(pad, nullptr);
  const gchar* media = caps && gst_caps_get_size(caps) > 0
                           ? gst_structure_get_name(gst_caps_get_structure(caps, 0))
                           : "";
  const bool video = g_str_has_prefix(media, "video/") || g_str_has_prefix(media, "image/");
  GstElement* queue = gst_element_factory_make("queue", nullptr);
  g_object_set(queue, "max-size-buffers", 0u, "max-size-bytes", 0u, "max-size-time",
               static_cast<guint64>(video ? kVideoQueueTime : kSoundQueueTime), nullptr);
  if (!video) g_signal_connect(queue, "overrun", G_CALLBACK(OnSoundQueueFull), r);
  gst_bin_add(GST_BIN(r->pipeline), queue);
  GstPad* queueSink = gst_element_get_static_pad(queue, "sink");
  GstPad* queueSrc = gst_element_get_static_pad(queue, "src");
  GstPad* muxSink = gst_element_get_compatible_pad(r->mux, queueSrc, caps);
  gst_element_sync_state_with_parent(queue);
  bool linked = muxSink && gst_pad_link(queueSrc, muxSink) == GST_PAD_LINK_OK &&
                gst_pad_link(pad, queueSink) == GST_PAD_LINK_OK;
  if (linked) {
    if (video)
      gst_pad_add_probe(queueSink,
                        static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER |
                                                     GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
                        NoteDemuxedVideo, r, nullptr);
    else
      gst_pad_add_probe(queueSrc, GST_PAD_PROBE_TYPE_BUFFER, HoldSound, r, nullptr);
    gst_pad_add_probe(queueSrc, GST_PAD_PROBE_TYPE_QUERY_UPSTREAM, RefuseDurationQuery, nullptr,
                      nullptr);
    if (r->asf)
      gst_pad_add_probe(queueSrc, GST_PAD_PROBE_TYPE_BUFFER, FillDuration, new StreamTiming,
                        [](gpointer p) { delete static_cast<StreamTiming*>(p); });
    gst_pad_add_probe(queueSrc, GST_PAD_PROBE_TYPE_BUFFER, CountBuffer, r, nullptr);
    if (video) gst_pad_add_probe(queueSrc, GST_PAD_PROBE_TYPE_BUFFER, CountVideoFrame, r, nullptr);
  }
  {
    std::lock_guard<std::mutex> lock(r->mutex);
    if (linked)
      r->queueSinks.push_back(GST_PAD(gst_object_ref(queueSink)));
    else
      r->linkFailed = true;
    if (video) ++r->videoStreams;
  }
  if (muxSink) gst_object_unref(muxSink);
  gst_object_unref(queueSrc);
  gst_object_unref(queueSink);
  if (caps) gst_caps_unref(caps);
}

std::string ErrorText(GstMessage* message) {
  GError* error = nullptr;
  gst_message_parse_error(message, &error, nullptr);
  std::string text = error ? error->message : "an error of the remux";
  g_clear_error(&error);
  return text;
}

bool FlushToDisk(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

}  // namespace

ClipRepair GstClipRepairer::Remux(const std::string& clip, ClipContainer container,
                                  const std::string& output) {
  ClipRepair result;
  if (cancelled_) {
    result.detail = kCancelledText;
    return result;
  }
  const bool avi = container == ClipContainer::Avi;
  GstElement* pipeline = gst_pipeline_new("clip-repair");
  GstElement* src = gst_element_factory_make("filesrc", nullptr);
  // asfdemux pulling a killed file trusts its header's packet count (none) and waits for
  // good; pushed the data, it reads packet after packet.
  GstElement* push = avi ? nullptr : gst_element_factory_make("queue", nullptr);
  GstElement* demux = gst_element_factory_make(avi ? "avidemux" : "asfdemux", nullptr);
  GstElement* mux = gst_element_factory_make(avi ? "avimux" : "avmux_asf", nullptr);
  GstElement* sink = gst_element_factory_make("filesink", nullptr);
  if (!src || !demux || !mux || !sink || (!avi && !push)) {
    for (GstElement* e : {src, push, demux, mux, sink})
      if (e) gst_object_unref(e);
    gst_object_unref(pipeline);
    result.detail = avi ? "avidemux or avimux is missing" : "asfdemux or avmux_asf is missing";
    return result;
  }
  g_object_set(src, "location", clip.c_str(), nullptr);
  g_object_set(sink, "location", output.c_str(), "async", FALSE, nullptr);
  gst_bin_add_many(GST_BIN(pipeline), src, demux, mux, sink, nullptr);
  if (push) {
    gst_bin_add(GST_BIN(pipeline), push);
    gst_element_link_many(src, push, demux, nullptr);
  } else {
    gst_element_link(src, demux);
  }
  gst_element_link(mux, sink);

  Remuxing r;
  r.pipeline = pipeline;
  r.mux = mux;
  r.asf = !avi;
  g_signal_connect(demux, "pad-added", G_CALLBACK(OnPadAdded), &r);
  g_signal_connect(demux, "no-more-pads", G_CALLBACK(OnNoMorePads), &r);
  GstPad* demuxSink = gst_element_get_static_pad(demux, "sink");
  gst_pad_add_probe(demuxSink,
                    static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER |
                                                 GST_PAD_PROBE_TYPE_PUSH | GST_PAD_PROBE_TYPE_PULL),
                    NoteRead, &r, nullptr);
  gst_object_unref(demuxSink);
  const uint64_t clipSize = SizeOf(clip);

  GstBus* bus = gst_element_get_bus(pipeline);
  bool done = false;
  bool unreadable = false;
  bool endedEarly = false;  // the demuxer gave up after part of the clip
  if (gst_element_set_state(pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
    unreadable = true;
    result.detail = "the demuxer does not take it";
  }
  int64_t lastProgress = -1;
  GstClockTime stalled = 0;
  while (!done && !unreadable) {
    if (cancelled_) {
      result.detail = kCancelledText;
      break;
    }
    GstMessage* m = gst_bus_timed_pop_filtered(
        bus, kPollInterval, static_cast<GstMessageType>(GST_MESSAGE_ERROR | GST_MESSAGE_EOS));
    if (!m) {
      const int64_t progress = r.buffers.load();
      stalled = progress == lastProgress ? stalled + kPollInterval : 0;
      lastProgress = progress;
      if (stalled >= kStallTimeout) {
        unreadable = progress == 0;
        result.detail =
            unreadable ? "the demuxer finds no frame in it" : "the remux made no progress";
        break;
      }
      continue;
    }
    if (GST_MESSAGE_TYPE(m) == GST_MESSAGE_EOS) {
      done = true;
      gst_message_unref(m);
      break;
    }
    const std::string text = ErrorText(m);
    const bool fromWriter =
        GST_MESSAGE_SRC(m) == GST_OBJECT(sink) || GST_MESSAGE_SRC(m) == GST_OBJECT(mux);
    // The clip could not be read (a bad sector): not damage of the clip, and the data
    // after it may be there at the next try.
    const bool fromReader =
        GST_MESSAGE_SRC(m) == GST_OBJECT(src) || (push && GST_MESSAGE_SRC(m) == GST_OBJECT(push));
    gst_message_unref(m);
    if (fromWriter || fromReader) {
      result.detail = text;
      break;
    }
    if (r.buffers.load() == 0 || endedEarly) {
      unreadable = true;
      result.detail = text;
      break;
    }
    // The demuxer stopped at damage (the last frame half written): end every stream there
    // so the muxer writes its index; the copy is kept if that was near the end.
    endedEarly = true;
    std::vector<GstPad*> inputs;
    {
      std::lock_guard<std::mutex> lock(r.mutex);
      inputs = r.queueSinks;
    }
    for (GstPad* pad : inputs) gst_pad_send_event(pad, gst_event_new_eos());
  }
  gst_object_unref(bus);
  LetSoundPass(&r);  // no sound waits for a picture while the streams stop
  gst_element_set_state(pipeline, GST_STATE_NULL);
  for (GstPad* pad : r.queueSinks) gst_object_unref(pad);
  gst_object_unref(pipeline);

  // A stream the muxer would not take would be lost in the copy: the clip stays as it is.
  if (!unreadable && done && (r.linkFailed || r.videoFrames == 0)) {
    unreadable = true;
    result.detail = r.linkFailed ? "a stream does not fit the muxer" : "it holds no frames";
  }
  // The demuxer ended at damage in the middle: the copy would lose the rest of the clip.
  if (!unreadable && done && !ReadToTheEnd(r, clipSize)) {
    unreadable = true;
    result.detail = "it could be read only to byte " + std::to_string(r.readTo.load()) + " of " +
                    std::to_string(clipSize);
  }
  if (unreadable) {
    result.outcome = ClipRepair::Outcome::Unreadable;
    return result;
  }
  if (!done) return result;  // Failed, with its detail
  if (!FlushToDisk(output)) {
    result.outcome = ClipRepair::Outcome::Failed;
    result.detail = "the repaired copy could not be written to the disk";
    return result;
  }
  result.outcome = ClipRepair::Outcome::Repaired;
  result.videoFrames = r.videoFrames;
  result.durationUnits = static_cast<int64_t>(r.videoEnd / 100);
  return result;
}

}  // namespace media::gst
