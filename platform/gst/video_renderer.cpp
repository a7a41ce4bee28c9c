// The video renderer: converts to 32-bit BGRx and hands each frame to the window's
// video surface; frames are dropped while no surface is attached. The surface is placed
// and shown through the renderer's video window, on the user-interface thread.
#include <gst/app/gstappsink.h>
#include <gst/video/video.h>

#include <algorithm>
#include <memory>
#include <mutex>

#include "platform/gst/stock_filters.h"

namespace media::gst {
namespace {

class RendererFilter;

class RendererWindow : public VideoWindow {
 public:
  explicit RendererWindow(std::shared_ptr<RendererFilter> f) : filter_(std::move(f)) {}
  Status SetOwner(VideoSurface* surface) override;
  Status SetWindowPosition(int left, int top, int width, int height) override;
  Status GetWindowPosition(int& left, int& top, int& width, int& height) override;
  Status SetVisible(bool visible) override;
  Status SetAutoShow(bool autoShow) override;

 private:
  std::shared_ptr<RendererFilter> filter_;
};

class RendererFilter : public GstFilter {
 public:
  explicit RendererFilter(GstElement* bin) : GstFilter(clsid::kVideoRenderer, bin) {}
  ~RendererFilter() override {
    // The window goes with its renderer; the streaming thread is past its last frame
    // once the lock is ours.
    std::lock_guard<std::mutex> lock(mutex);
    if (surface) surface->Show(false);
    surface = nullptr;
    gst_caps_replace(&infoCaps_, nullptr);
  }

  std::shared_ptr<VideoWindow> GetVideoWindow() override {
    return std::make_shared<RendererWindow>(
        std::static_pointer_cast<RendererFilter>(shared_from_this()));
  }

  void Init(GstElement* first, GstElement* sink) {
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = OnSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, this, nullptr);
    GstPad* in = gst_element_get_static_pad(first, "sink");
    AddPin("Input", in, PinDirection::Input, PinCategory::None, MajorType::Video);
    gst_object_unref(in);
  }

  std::mutex mutex;
  VideoSurface* surface = nullptr;
  bool visible = false;
  int left = 0, top = 0, width = 0, height = 0;

 private:
  static GstFlowReturn OnSample(GstAppSink* sink, gpointer data) {
    auto* self = static_cast<RendererFilter*>(data);
    GstSample* sample = gst_app_sink_pull_sample(sink);
    if (!sample) return GST_FLOW_OK;
    std::lock_guard<std::mutex> lock(self->mutex);
    if (self->surface && self->visible && self->FormatOf(gst_sample_get_caps(sample))) {
      // The mapped frame holds its own reference to the buffer: the window may keep it
      // instead of copying it, and the buffer goes back to its pool when the last holder
      // lets go.
      auto mapped = std::make_shared<MappedFrame>();
      if (gst_video_frame_map(&mapped->frame, &self->info_, gst_sample_get_buffer(sample),
                              GST_MAP_READ)) {
        mapped->mapped = true;
        VideoFrame out;
        out.width = GST_VIDEO_INFO_WIDTH(&self->info_);
        out.height = GST_VIDEO_INFO_HEIGHT(&self->info_);
        out.stride = GST_VIDEO_FRAME_PLANE_STRIDE(&mapped->frame, 0);
        out.data = static_cast<const uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&mapped->frame, 0));
        out.keeper = std::move(mapped);
        self->surface->Present(out);
      }
    }
    gst_sample_unref(sample);
    return GST_FLOW_OK;
  }

  struct MappedFrame {
    GstVideoFrame frame;
    bool mapped = false;
    ~MappedFrame() {
      if (mapped) gst_video_frame_unmap(&frame);
    }
  };

  // The frame layout of the negotiated caps, parsed again only when they change.
  bool FormatOf(GstCaps* caps) {
    if (!caps) return false;
    if (caps == infoCaps_) return true;
    if (!gst_video_info_from_caps(&info_, caps)) return false;
    gst_caps_replace(&infoCaps_, caps);
    return true;
  }

  GstCaps* infoCaps_ = nullptr;  // what info_ was read from; guarded by mutex
  GstVideoInfo info_;
};

Status RendererWindow::SetOwner(VideoSurface* surface) {
  std::lock_guard<std::mutex> lock(filter_->mutex);
  if (filter_->surface == surface) return kOk;
  if (filter_->surface) filter_->surface->Show(false);
  filter_->surface = surface;
  if (surface) {
    surface->Place(filter_->left, filter_->top, filter_->width, filter_->height);
    surface->Show(filter_->visible);
  }
  return kOk;
}
Status RendererWindow::SetWindowPosition(int left, int top, int width, int height) {
  // A client area smaller than the status bar leaves no room: nothing, not less.
  width = std::max(width, 0);
  height = std::max(height, 0);
  std::lock_guard<std::mutex> lock(filter_->mutex);
  filter_->left = left;
  filter_->top = top;
  filter_->width = width;
  filter_->height = height;
  if (filter_->surface) filter_->surface->Place(left, top, width, height);
  return kOk;
}
Status RendererWindow::GetWindowPosition(int& left, int& top, int& width, int& height) {
  std::lock_guard<std::mutex> lock(filter_->mutex);
  left = filter_->left;
  top = filter_->top;
  width = filter_->width;
  height = filter_->height;
  return kOk;
}
Status RendererWindow::SetVisible(bool visible) {
  std::lock_guard<std::mutex> lock(filter_->mutex);
  filter_->visible = visible;
  if (filter_->surface) filter_->surface->Show(visible);
  return kOk;
}
Status RendererWindow::SetAutoShow(bool autoShow) {
  if (autoShow) return SetVisible(true);
  return kOk;
}

}  // namespace

std::shared_ptr<GstFilter> MakeVideoRenderer() {
  GstElement* bin = gst_bin_new(nullptr);
  // Only raw video enters: compressed frames get a decoder from the graph's connect.
  GstElement* raw = gst_element_factory_make("capsfilter", "raw");
  GstCaps* rawCaps = gst_caps_new_empty_simple("video/x-raw");
  g_object_set(raw, "caps", rawCaps, nullptr);
  gst_caps_unref(rawCaps);
  GstElement* convert = gst_element_factory_make("videoconvert", "convert");
  GstElement* sink = gst_element_factory_make("appsink", "sink");
  GstCaps* caps = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGRx", nullptr);
  g_object_set(sink, "caps", caps, "sync", FALSE, "max-buffers", 1u, "drop", TRUE, nullptr);
  gst_caps_unref(caps);
  // No queue of its own: handing a frame to the window never waits for the window, and
  // the smart tee's preview queue already keeps the camera from waiting for the preview.
  gst_bin_add_many(GST_BIN(bin), raw, convert, sink, nullptr);
  gst_element_link_many(raw, convert, sink, nullptr);
  auto filter = std::make_shared<RendererFilter>(bin);
  filter->Init(raw, sink);
  return filter;
}

}  // namespace media::gst
