// The timeline probe of a recording's inputs: running time from the first buffer on,
// anchored at the arrival of a buffer whose time is off the graph's clock.
#include "platform/gst/stream_timeline.h"

#include <cstdio>
#include <string>

namespace media::gst {
namespace {

// A live source stamps a buffer at or somewhat before its arrival; one stamped later
// than this after its arrival runs on a clock of its own. So does a first buffer stamped
// this much earlier, or one this much earlier than the buffer before it; a later buffer
// that is only late waited in a queue (a busy writer holds the capture branch back) and
// keeps its time.
constexpr GstClockTimeDiff kAheadAllowed = 2 * GST_SECOND;
constexpr GstClockTimeDiff kBehindAllowed = 5 * GST_SECOND;
// A gap longer than this is a stall worth a line in the log.
constexpr GstClockTimeDiff kStallLogged = GST_SECOND;

struct Timeline {
  std::string what;
  GstSegment segment;
  bool haveSegment = false;
  GstClockTimeDiff offset = 0;              // added to the source's running time
  GstClockTimeDiff skipped = 0;             // left out of the clip by the gap bound
  GstClockTime last = GST_CLOCK_TIME_NONE;  // the last restamped time

  void Reset() {
    offset = 0;
    skipped = 0;
    last = GST_CLOCK_TIME_NONE;
  }
};

// The graph's running time now, as the pad's element sees it; NONE when it has no clock.
GstClockTime RunningTimeNow(GstPad* pad) {
  GstElement* element = gst_pad_get_parent_element(pad);
  if (!element) return GST_CLOCK_TIME_NONE;
  GstClockTime now = GST_CLOCK_TIME_NONE;
  if (GstClock* clock = gst_element_get_clock(element)) {
    const GstClockTime time = gst_clock_get_time(clock);
    const GstClockTime base = gst_element_get_base_time(element);
    now = time >= base ? time - base : 0;
    gst_object_unref(clock);
  }
  gst_object_unref(element);
  return now;
}

double Seconds(GstClockTimeDiff t) { return static_cast<double>(t) / GST_SECOND; }

GstClockTime Restamp(Timeline& t, GstPad* pad, GstClockTime pts) {
  const GstClockTime now = RunningTimeNow(pad);
  GstClockTime running = GST_CLOCK_TIME_NONE;
  if (GST_CLOCK_TIME_IS_VALID(pts) && t.haveSegment)
    running = gst_segment_to_running_time(&t.segment, GST_FORMAT_TIME, pts);
  if (!GST_CLOCK_TIME_IS_VALID(now)) return running;
  if (!GST_CLOCK_TIME_IS_VALID(running)) running = now;
  const GstClockTimeDiff expected = static_cast<GstClockTimeDiff>(now) - t.skipped;
  GstClockTimeDiff out = static_cast<GstClockTimeDiff>(running) + t.offset;
  const GstClockTimeDiff earliest = GST_CLOCK_TIME_IS_VALID(t.last)
                                        ? static_cast<GstClockTimeDiff>(t.last) - kBehindAllowed
                                        : expected - kBehindAllowed;
  if (out > expected + kAheadAllowed || out < earliest) {
    std::fprintf(stderr,
                 "ostrel: %s: the source's time is %.1f s off the graph's clock; its stream "
                 "goes on from this buffer's arrival\n",
                 t.what.c_str(), Seconds(out - expected));
    t.offset = expected - static_cast<GstClockTimeDiff>(running);
    out = expected;
  }
  if (GST_CLOCK_TIME_IS_VALID(t.last)) {
    const GstClockTimeDiff gap = out - static_cast<GstClockTimeDiff>(t.last);
    if (gap > static_cast<GstClockTimeDiff>(kMaxFilledGap)) {
      const GstClockTimeDiff cut = gap - static_cast<GstClockTimeDiff>(kMaxFilledGap);
      std::fprintf(stderr,
                   "ostrel: %s: nothing came for %.1f s; the clip repeats the last %.1f s "
                   "and leaves out the rest\n",
                   t.what.c_str(), Seconds(gap), Seconds(kMaxFilledGap));
      t.offset -= cut;
      t.skipped += cut;
      out -= cut;
    } else if (gap > kStallLogged) {
      std::fprintf(stderr, "ostrel: %s: nothing came for %.1f s; the clip repeats the last\n",
                   t.what.c_str(), Seconds(gap));
    }
  }
  if (out < 0) out = 0;
  if (GST_CLOCK_TIME_IS_VALID(t.last) && static_cast<GstClockTime>(out) < t.last) out = t.last;
  t.last = static_cast<GstClockTime>(out);
  return t.last;
}

GstPadProbeReturn OnData(GstPad* pad, GstPadProbeInfo* info, gpointer data) {
  auto* t = static_cast<Timeline*>(data);
  if (info->type & GST_PAD_PROBE_TYPE_BUFFER) {
    GstBuffer* buffer = gst_buffer_make_writable(GST_PAD_PROBE_INFO_BUFFER(info));
    GST_PAD_PROBE_INFO_DATA(info) = buffer;
    GST_BUFFER_PTS(buffer) = Restamp(*t, pad, GST_BUFFER_PTS(buffer));
    GST_BUFFER_DTS(buffer) = GST_CLOCK_TIME_NONE;
    return GST_PAD_PROBE_OK;
  }
  GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
  switch (GST_EVENT_TYPE(event)) {
    case GST_EVENT_SEGMENT: {
      const GstSegment* segment = nullptr;
      gst_event_parse_segment(event, &segment);
      if (segment->format != GST_FORMAT_TIME) return GST_PAD_PROBE_OK;
      gst_segment_copy_into(segment, &t->segment);
      t->haveSegment = true;
      // Downstream sees the running time the buffers now carry.
      GstSegment running;
      gst_segment_init(&running, GST_FORMAT_TIME);
      GstEvent* replaced = gst_event_new_segment(&running);
      gst_event_set_seqnum(replaced, gst_event_get_seqnum(event));
      gst_event_unref(event);
      GST_PAD_PROBE_INFO_DATA(info) = replaced;
      return GST_PAD_PROBE_OK;
    }
    case GST_EVENT_FLUSH_STOP:
    case GST_EVENT_STREAM_START:
      t->Reset();
      return GST_PAD_PROBE_OK;
    default:
      return GST_PAD_PROBE_OK;
  }
}

}  // namespace

void KeepOnGraphTimeline(GstPad* pad, const char* what) {
  auto* timeline = new Timeline;
  timeline->what = what;
  gst_segment_init(&timeline->segment, GST_FORMAT_TIME);
  gst_pad_add_probe(
      pad,
      static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
      OnData, timeline, [](gpointer p) { delete static_cast<Timeline*>(p); });
}

}  // namespace media::gst
