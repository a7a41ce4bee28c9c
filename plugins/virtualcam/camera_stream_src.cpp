// The live source inside a virtual camera: draws each frame into a pooled buffer
// (JPEG-encoded for MJPG) and pushes every triggered frame once more on "still".
#include "camera_stream_src.h"

#include <gst/video/video.h>

#include <atomic>
#include <vector>

#include "camera_caps.h"
#include "device_config.h"
#include "jpeg_encoder.h"
#include "test_pattern.h"

GST_DEBUG_CATEGORY_STATIC(stream_debug);
#define GST_CAT_DEFAULT stream_debug

using virtualcam::Canvas;
using virtualcam::PixelLayout;

namespace {

// A frame-sized block of memory laid out as GstVideoInfo says, with slack at the end
// because the JPEG encoder reads whole 16-pixel blocks.
struct OwnedCanvas {
  std::vector<uint8_t> bytes;
  Canvas canvas;

  void Allocate(const GstVideoInfo& info, PixelLayout layout) {
    bytes.assign(GST_VIDEO_INFO_SIZE(&info) + 64, 0);
    canvas.layout = layout;
    canvas.width = GST_VIDEO_INFO_WIDTH(&info);
    canvas.height = GST_VIDEO_INFO_HEIGHT(&info);
    for (guint p = 0; p < 3; ++p) {
      const bool used = p < GST_VIDEO_INFO_N_PLANES(&info);
      canvas.plane[p] = used ? bytes.data() + GST_VIDEO_INFO_PLANE_OFFSET(&info, p) : nullptr;
      canvas.stride[p] = used ? GST_VIDEO_INFO_PLANE_STRIDE(&info, p) : 0;
    }
  }
};

struct StreamState {
  int index = 0;
  virtualcam::CameraSpec spec;

  // What was negotiated.
  bool negotiated = false;
  bool jpeg = false;
  PixelLayout layout = PixelLayout::kI420;
  GstVideoInfo info;  // for MJPG: the I420 picture before encoding
  GstCaps* caps = nullptr;
  OwnedCanvas background;
  OwnedCanvas scratch;  // MJPG only
  std::vector<uint8_t> jpegBytes;
  virtualcam::JpegEncoder encoder;

  // Timing: frames since start, and the timestamp the current rate counts from.
  guint64 frames = 0;
  GstClockTime rateBase = GST_CLOCK_TIME_NONE;
  guint64 framesSinceRateBase = 0;
  GstClockTime clockAhead = 0;  // the camera's own clock ahead of the graph's
  bool stalled = false;

  // Still pad bookkeeping; the counters are touched from other threads.
  std::atomic<bool> started{false};
  std::atomic<int> pendingStills{0};
  bool stillNeedsHeader = true;
  bool stillCapsChanged = true;
};

}  // namespace

struct _OstrelCameraStreamSrc {
  GstPushSrc parent;
  StreamState* state;
  OstrelStillOutput* still_output;  // null for a camera without a still pin
  GstPad* still;                    // its pad
};

G_DEFINE_TYPE(OstrelCameraStreamSrc, ostrel_camera_stream_src, GST_TYPE_PUSH_SRC)

static GstClockTime frame_time(const StreamState* s, guint64 n) {
  return gst_util_uint64_scale(n, GST_SECOND * GST_VIDEO_INFO_FPS_D(&s->info),
                               GST_VIDEO_INFO_FPS_N(&s->info));
}

// A camera never falls behind the clock for good: on a machine too busy to make its
// frames in time it leaves out the ones it is this late for, as a real camera's driver
// does once its buffers are full. The frames it does make keep their times.
static constexpr GstClockTime kMostLate = GST_SECOND / 2;
// Later than this is no longer lateness but a clock that moved: nothing is skipped then.
static constexpr GstClockTime kMostSkipped = 10 * GST_SECOND;

static void skip_frames_too_late(OstrelCameraStreamSrc* self, StreamState* s) {
  GstClock* clock = gst_element_get_clock(GST_ELEMENT(self));
  if (!clock) return;
  const GstClockTime now = gst_clock_get_time(clock);
  gst_object_unref(clock);
  const GstClockTime base = gst_element_get_base_time(GST_ELEMENT(self));
  if (GST_VIDEO_INFO_FPS_N(&s->info) <= 0 || now < base + s->rateBase + kMostLate) return;
  const guint64 due =
      gst_util_uint64_scale(now - base - s->rateBase - kMostLate, GST_VIDEO_INFO_FPS_N(&s->info),
                            GST_SECOND * GST_VIDEO_INFO_FPS_D(&s->info));
  if (due > s->framesSinceRateBase && frame_time(s, due - s->framesSinceRateBase) < kMostSkipped)
    s->framesSinceRateBase = due;
}

static void trigger_from_button(void* source) {
  ostrel_camera_stream_src_trigger_still(OSTREL_CAMERA_STREAM_SRC(source));
}

void ostrel_camera_stream_src_trigger_still(OstrelCameraStreamSrc* self) {
  if (!self->still || !self->state->started.load()) return;
  self->state->pendingStills.fetch_add(1);
}

void ostrel_camera_stream_src_set_camera(OstrelCameraStreamSrc* self, int index,
                                         const virtualcam::CameraSpec& spec,
                                         OstrelStillOutput* still) {
  self->state->index = index;
  self->state->spec = spec;
  if (self->state->spec.formats.empty()) self->state->spec.formats = virtualcam::DefaultFormats();
  virtualcam::ChangeLiveCameraIndex(self, index);
  if (self->still_output) gst_object_unref(self->still_output);
  self->still_output = still ? OSTREL_STILL_OUTPUT(gst_object_ref(still)) : nullptr;
  self->still = still ? ostrel_still_output_pad(still) : nullptr;
}

static GstCaps* stream_get_caps(GstBaseSrc* src, GstCaps* filter) {
  auto* self = OSTREL_CAMERA_STREAM_SRC(src);
  GstCaps* caps = virtualcam::CameraCaps(self->state->spec);
  if (filter) {
    GstCaps* filtered = gst_caps_intersect_full(filter, caps, GST_CAPS_INTERSECT_FIRST);
    gst_caps_unref(caps);
    caps = filtered;
  }
  return caps;
}

static GstCaps* stream_fixate(GstBaseSrc* src, GstCaps* caps) {
  auto* self = OSTREL_CAMERA_STREAM_SRC(src);
  caps = gst_caps_truncate(gst_caps_make_writable(caps));
  GstStructure* s = gst_caps_get_structure(caps, 0);
  // Unconstrained, a camera runs a format at its own rate, not at the range's minimum.
  gst_structure_fixate_field_nearest_fraction(s, "framerate",
                                              virtualcam::NativeRate(self->state->spec, s), 1);
  return GST_BASE_SRC_CLASS(ostrel_camera_stream_src_parent_class)->fixate(src, caps);
}

static gboolean stream_set_caps(GstBaseSrc* src, GstCaps* caps) {
  auto* self = OSTREL_CAMERA_STREAM_SRC(src);
  StreamState* s = self->state;
  PixelLayout layout;
  bool jpeg = false;
  if (!virtualcam::LayoutForCaps(caps, &layout, &jpeg)) return FALSE;
  GstVideoInfo info;
  const GstStructure* st = gst_caps_get_structure(caps, 0);
  int width = 0, height = 0, fpsN = 0, fpsD = 1;
  if (!gst_structure_get_int(st, "width", &width) ||
      !gst_structure_get_int(st, "height", &height) ||
      !gst_structure_get_fraction(st, "framerate", &fpsN, &fpsD) || fpsN <= 0 || fpsD <= 0) {
    return FALSE;
  }
  if (jpeg) {
    gst_video_info_set_format(&info, GST_VIDEO_FORMAT_I420, width, height);
    GST_VIDEO_INFO_FPS_N(&info) = fpsN;
    GST_VIDEO_INFO_FPS_D(&info) = fpsD;
  } else if (!gst_video_info_from_caps(&info, caps)) {
    return FALSE;
  }

  // A new rate counts from where the old one left off.
  if (s->negotiated && GST_CLOCK_TIME_IS_VALID(s->rateBase)) {
    s->rateBase += frame_time(s, s->framesSinceRateBase);
    s->framesSinceRateBase = 0;
  }
  s->info = info;
  s->jpeg = jpeg;
  s->layout = layout;
  gst_caps_replace(&s->caps, caps);
  s->background.Allocate(info, layout);
  s->background.canvas.fullRange = jpeg;
  virtualcam::DrawBackground(s->background.canvas);
  if (jpeg) {
    s->scratch.Allocate(info, layout);
    s->scratch.canvas.fullRange = true;
  }
  s->negotiated = true;
  s->stillCapsChanged = true;
  if (self->still_output) ostrel_still_output_set_latency(self->still_output, frame_time(s, 1));
  GST_DEBUG_OBJECT(self, "negotiated %" GST_PTR_FORMAT, caps);
  return TRUE;
}

static gboolean stream_decide_allocation(GstBaseSrc* src, GstQuery* query) {
  auto* self = OSTREL_CAMERA_STREAM_SRC(src);
  StreamState* s = self->state;
  GstCaps* caps = nullptr;
  gst_query_parse_allocation(query, &caps, nullptr);
  // For MJPG the I420 size: a JPEG of this picture is far smaller; a bigger one gets
  // a buffer of its own.
  const guint wanted = GST_VIDEO_INFO_SIZE(&s->info);
  GstBufferPool* pool = nullptr;
  guint size = wanted, min = 2, max = 0;
  const bool offered = gst_query_get_n_allocation_pools(query) > 0;
  if (offered) {
    gst_query_parse_nth_allocation_pool(query, 0, &pool, &size, &min, &max);
    size = MAX(size, wanted);
    // Raw frames are drawn through GstVideoFrame; any pool will do. MJPG needs plain memory.
    if (pool && s->jpeg && GST_IS_VIDEO_BUFFER_POOL(pool)) gst_clear_object(&pool);
  }
  if (!pool) pool = s->jpeg ? gst_buffer_pool_new() : gst_video_buffer_pool_new();
  GstStructure* config = gst_buffer_pool_get_config(pool);
  gst_buffer_pool_config_set_params(config, caps, size, min, max);
  if (!s->jpeg && gst_query_find_allocation_meta(query, GST_VIDEO_META_API_TYPE, nullptr)) {
    gst_buffer_pool_config_add_option(config, GST_BUFFER_POOL_OPTION_VIDEO_META);
  }
  if (!gst_buffer_pool_set_config(pool, config)) {
    // The pool may have adjusted the config; take what it offers.
    config = gst_buffer_pool_get_config(pool);
    if (!gst_buffer_pool_set_config(pool, config)) {
      gst_object_unref(pool);
      return FALSE;
    }
  }
  if (offered) {
    gst_query_set_nth_allocation_pool(query, 0, pool, size, min, max);
  } else {
    gst_query_add_allocation_pool(query, pool, size, min, max);
  }
  gst_object_unref(pool);
  return TRUE;
}

static gboolean stream_start(GstBaseSrc* src) {
  auto* self = OSTREL_CAMERA_STREAM_SRC(src);
  StreamState* s = self->state;
  if (s->spec.failsToStart) {
    GST_ELEMENT_ERROR(self, RESOURCE, OPEN_READ, ("Could not start the virtual camera."),
                      ("camera %d is set to fail when it starts", s->index));
    return FALSE;
  }
  s->frames = 0;
  s->rateBase = GST_CLOCK_TIME_NONE;
  s->framesSinceRateBase = 0;
  s->stalled = false;
  s->negotiated = false;
  s->pendingStills.store(0);
  s->stillNeedsHeader = true;
  s->stillCapsChanged = true;
  s->started.store(true);
  return TRUE;
}

static gboolean stream_stop(GstBaseSrc* src) {
  auto* self = OSTREL_CAMERA_STREAM_SRC(src);
  StreamState* s = self->state;
  s->started.store(false);
  s->pendingStills.store(0);
  s->negotiated = false;
  gst_caps_replace(&s->caps, nullptr);
  s->background = OwnedCanvas();
  s->scratch = OwnedCanvas();
  s->jpegBytes = std::vector<uint8_t>();
  return TRUE;
}

static void stream_get_times(GstBaseSrc* src, GstBuffer* buffer, GstClockTime* start,
                             GstClockTime* end) {
  // Live: the base class waits for each frame's time on the clock. A camera with a clock
  // of its own paces itself, as PipeWire's source does, so its times reach the graph as
  // they are (the base class would rebase them).
  if (OSTREL_CAMERA_STREAM_SRC(src)->state->clockAhead > 0) {
    *start = *end = GST_CLOCK_TIME_NONE;
    return;
  }
  *start = GST_BUFFER_PTS(buffer);
  *end = GST_CLOCK_TIME_IS_VALID(*start) && GST_BUFFER_DURATION_IS_VALID(buffer)
             ? *start + GST_BUFFER_DURATION(buffer)
             : GST_CLOCK_TIME_NONE;
}

static gboolean stream_query(GstBaseSrc* src, GstQuery* query) {
  auto* self = OSTREL_CAMERA_STREAM_SRC(src);
  if (GST_QUERY_TYPE(query) == GST_QUERY_LATENCY && self->state->negotiated) {
    gst_query_set_latency(query, TRUE, frame_time(self->state, 1), GST_CLOCK_TIME_NONE);
    return TRUE;
  }
  return GST_BASE_SRC_CLASS(ostrel_camera_stream_src_parent_class)->query(src, query);
}

static void push_still_events(OstrelCameraStreamSrc* self, GstClockTime pts) {
  StreamState* s = self->state;
  if (s->stillNeedsHeader) {
    gchar* id = gst_pad_create_stream_id(self->still, GST_ELEMENT(self->still_output), "still");
    gst_pad_push_event(self->still, gst_event_new_stream_start(id));
    g_free(id);
  }
  if (s->stillNeedsHeader || s->stillCapsChanged) {
    gst_pad_push_event(self->still, gst_event_new_caps(s->caps));
  }
  if (s->stillNeedsHeader) {
    GstSegment segment;
    gst_segment_init(&segment, GST_FORMAT_TIME);
    gst_pad_push_event(self->still, gst_event_new_segment(&segment));
  }
  s->stillNeedsHeader = false;
  s->stillCapsChanged = false;
  if (ostrel_still_output_take_gap_request(self->still_output)) {
    gst_pad_push_event(self->still, gst_event_new_gap(pts, GST_CLOCK_TIME_NONE));
  }
}

// Takes one pending trigger, if any.
static bool take_trigger(StreamState* s) {
  int pending = s->pendingStills.load();
  while (pending > 0) {
    if (s->pendingStills.compare_exchange_weak(pending, pending - 1)) return true;
  }
  return false;
}

static GstFlowReturn draw_raw(OstrelCameraStreamSrc* self, GstBuffer** out) {
  StreamState* s = self->state;
  GstBufferPool* pool = gst_base_src_get_buffer_pool(GST_BASE_SRC(self));
  GstBuffer* buffer = nullptr;
  GstFlowReturn ret = GST_FLOW_OK;
  if (pool) {
    ret = gst_buffer_pool_acquire_buffer(pool, &buffer, nullptr);
    gst_object_unref(pool);
    if (ret != GST_FLOW_OK) return ret;
  } else {
    buffer = gst_buffer_new_allocate(nullptr, GST_VIDEO_INFO_SIZE(&s->info), nullptr);
  }
  GstVideoFrame frame;
  if (!gst_video_frame_map(&frame, &s->info, buffer, GST_MAP_WRITE)) {
    gst_buffer_unref(buffer);
    GST_ELEMENT_ERROR(self, RESOURCE, WRITE, (nullptr), ("cannot map a frame buffer"));
    return GST_FLOW_ERROR;
  }
  Canvas canvas = s->background.canvas;
  for (guint p = 0; p < GST_VIDEO_FRAME_N_PLANES(&frame); ++p) {
    canvas.plane[p] = static_cast<uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, p));
    canvas.stride[p] = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, p);
  }
  virtualcam::CopyCanvas(s->background.canvas, canvas);
  virtualcam::DrawFrameMarks(canvas, s->frames);
  gst_video_frame_unmap(&frame);
  *out = buffer;
  return GST_FLOW_OK;
}

static GstFlowReturn draw_jpeg(OstrelCameraStreamSrc* self, GstBuffer** out) {
  StreamState* s = self->state;
  virtualcam::CopyCanvas(s->background.canvas, s->scratch.canvas);
  virtualcam::DrawFrameMarks(s->scratch.canvas, s->frames);
  if (!s->encoder.Encode(s->scratch.canvas, &s->jpegBytes)) {
    GST_ELEMENT_ERROR(self, STREAM, ENCODE, (nullptr), ("JPEG encoding failed"));
    return GST_FLOW_ERROR;
  }
  GstBufferPool* pool = gst_base_src_get_buffer_pool(GST_BASE_SRC(self));
  GstBuffer* buffer = nullptr;
  if (pool) {
    GstFlowReturn ret = gst_buffer_pool_acquire_buffer(pool, &buffer, nullptr);
    gst_object_unref(pool);
    if (ret != GST_FLOW_OK) return ret;
    if (gst_buffer_get_size(buffer) < s->jpegBytes.size()) gst_clear_buffer(&buffer);
  }
  if (!buffer) buffer = gst_buffer_new_allocate(nullptr, s->jpegBytes.size(), nullptr);
  gst_buffer_fill(buffer, 0, s->jpegBytes.data(), s->jpegBytes.size());
  gst_buffer_set_size(buffer, s->jpegBytes.size());
  *out = buffer;
  return GST_FLOW_OK;
}

// Waits until the graph's running time reaches `time`.
static void wait_for_graph_time(OstrelCameraStreamSrc* self, GstClockTime time) {
  GstClock* clock = gst_element_get_clock(GST_ELEMENT(self));
  if (!clock) return;
  GstClockID id =
      gst_clock_new_single_shot_id(clock, gst_element_get_base_time(GST_ELEMENT(self)) + time);
  gst_clock_id_wait(id, nullptr);
  gst_clock_id_unref(id);
  gst_object_unref(clock);
}

static GstFlowReturn stream_create(GstPushSrc* src, GstBuffer** out) {
  auto* self = OSTREL_CAMERA_STREAM_SRC(src);
  StreamState* s = self->state;
  if (!s->negotiated) return GST_FLOW_NOT_NEGOTIATED;

  if (s->spec.stallAfterFrames > 0 && !s->stalled &&
      s->frames >= static_cast<guint64>(s->spec.stallAfterFrames)) {
    s->stalled = true;
    g_usleep(static_cast<gulong>(s->spec.stallMs) * 1000);
    if (!s->spec.stallKeepsTimes) {
      s->rateBase = GST_CLOCK_TIME_NONE;
      s->framesSinceRateBase = 0;
    }
  }
  if (!GST_CLOCK_TIME_IS_VALID(s->rateBase)) {
    // The first frame is stamped with the running time at which it is made.
    s->clockAhead = static_cast<GstClockTime>(s->spec.clockAheadSeconds) * GST_SECOND;
    s->rateBase = s->clockAhead;
    GstClock* clock = gst_element_get_clock(GST_ELEMENT(self));
    if (clock) {
      const GstClockTime now = gst_clock_get_time(clock);
      const GstClockTime base = gst_element_get_base_time(GST_ELEMENT(self));
      if (now > base) s->rateBase += now - base;
      gst_object_unref(clock);
    }
  }
  if (s->spec.unplugAfterFrames > 0 &&
      s->frames >= static_cast<guint64>(s->spec.unplugAfterFrames)) {
    GST_ELEMENT_ERROR(
        self, RESOURCE, READ, ("The virtual camera was unplugged."),
        ("camera %d is set to vanish after %d frames", s->index, s->spec.unplugAfterFrames));
    return GST_FLOW_ERROR;
  }
  // The plug file: a whole program under test (which cannot configure the plugin in its
  // own process) unplugs every virtual camera by removing the file the variable names.
  const char* plug = g_getenv("OSTREL_VIRTUAL_CAMERA_PLUG");
  if (plug && *plug && !g_file_test(plug, G_FILE_TEST_EXISTS)) {
    GST_ELEMENT_ERROR(self, RESOURCE, READ, ("The virtual camera was unplugged."),
                      ("the plug file %s is gone", plug));
    return GST_FLOW_ERROR;
  }
  if (!(s->stalled && s->spec.stallKeepsTimes)) skip_frames_too_late(self, s);
  // A camera that makes fewer frames than its rate leaves out the frame times that do
  // not raise the count of frames made so far in that second.
  const int nominal = GST_VIDEO_INFO_FPS_N(&s->info) / MAX(GST_VIDEO_INFO_FPS_D(&s->info), 1);
  if (s->spec.deliveredFps > 0 && s->spec.deliveredFps < nominal) {
    const guint64 made = s->spec.deliveredFps;
    while ((s->framesSinceRateBase + 1) * made / nominal == s->framesSinceRateBase * made / nominal)
      ++s->framesSinceRateBase;
  }
  const GstClockTime pts = s->rateBase + frame_time(s, s->framesSinceRateBase);
  if (s->clockAhead > 0) wait_for_graph_time(self, pts - s->clockAhead);

  GstBuffer* buffer = nullptr;
  const GstFlowReturn ret = s->jpeg ? draw_jpeg(self, &buffer) : draw_raw(self, &buffer);
  if (ret != GST_FLOW_OK) return ret;
  GST_BUFFER_PTS(buffer) = pts;
  GST_BUFFER_DTS(buffer) = GST_CLOCK_TIME_NONE;
  GST_BUFFER_DURATION(buffer) = frame_time(s, 1);
  GST_BUFFER_OFFSET(buffer) = s->frames;
  GST_BUFFER_OFFSET_END(buffer) = s->frames + 1;
  if (s->frames == 0) GST_BUFFER_FLAG_SET(buffer, GST_BUFFER_FLAG_DISCONT);
  ++s->frames;
  ++s->framesSinceRateBase;

  if (self->still) {
    push_still_events(self, pts);
    if (take_trigger(s)) {
      // The still branch has its own thread behind a leaky queue, so this never waits
      // on it; with nothing linked the push just reports NOT_LINKED.
      const GstFlowReturn still = gst_pad_push(self->still, gst_buffer_ref(buffer));
      GST_DEBUG_OBJECT(self, "still frame %" G_GUINT64_FORMAT ": %s", s->frames - 1,
                       gst_flow_get_name(still));
    }
  }
  *out = buffer;
  return GST_FLOW_OK;
}

static void stream_finalize(GObject* object) {
  auto* self = OSTREL_CAMERA_STREAM_SRC(object);
  virtualcam::RemoveLiveCamera(self);
  if (self->still_output) gst_object_unref(self->still_output);
  gst_caps_replace(&self->state->caps, nullptr);
  delete self->state;
  G_OBJECT_CLASS(ostrel_camera_stream_src_parent_class)->finalize(object);
}

static void ostrel_camera_stream_src_class_init(OstrelCameraStreamSrcClass* klass) {
  GST_DEBUG_CATEGORY_INIT(stream_debug, "ostrelvirtualcam", 0, "virtual camera stream");
  GObjectClass* object_class = G_OBJECT_CLASS(klass);
  GstElementClass* element_class = GST_ELEMENT_CLASS(klass);
  GstBaseSrcClass* base_class = GST_BASE_SRC_CLASS(klass);
  object_class->finalize = stream_finalize;
  GstCaps* caps = virtualcam::AllCameraCaps();
  gst_element_class_add_pad_template(
      element_class, gst_pad_template_new("src", GST_PAD_SRC, GST_PAD_ALWAYS, caps));
  gst_caps_unref(caps);
  gst_element_class_set_static_metadata(element_class, "Virtual camera stream", "Source/Video",
                                        "Test pattern frames of a virtual camera", "Ostrel");
  base_class->get_caps = stream_get_caps;
  base_class->fixate = stream_fixate;
  base_class->set_caps = stream_set_caps;
  base_class->decide_allocation = stream_decide_allocation;
  base_class->start = stream_start;
  base_class->stop = stream_stop;
  base_class->get_times = stream_get_times;
  base_class->query = stream_query;
  GST_PUSH_SRC_CLASS(klass)->create = stream_create;
}

static void ostrel_camera_stream_src_init(OstrelCameraStreamSrc* self) {
  self->state = new StreamState;
  gst_video_info_init(&self->state->info);
  self->still_output = nullptr;
  self->still = nullptr;
  gst_base_src_set_live(GST_BASE_SRC(self), TRUE);
  gst_base_src_set_format(GST_BASE_SRC(self), GST_FORMAT_TIME);
  virtualcam::AddLiveCamera(self, 0, trigger_from_button);
}
