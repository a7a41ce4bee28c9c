// Helpers of the preview integration tests.
#include "preview_support.h"

#include <thread>

void PreviewCaptureFrame::Open() {
  EnumerateVideoDevices();
  m_selectedVideoDevice = m_videoDeviceCount > 0 ? 0 : -1;
  CreateGraph();
}

virtualcam::CameraSpec CameraWith(std::vector<virtualcam::Format> formats) {
  virtualcam::CameraSpec spec;
  spec.formats = std::move(formats);
  return spec;
}

void UseCamera(const virtualcam::CameraSpec& spec) { virtualcam::Configure({spec}, {}); }

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

std::string PeerFilterName(media::Pin& pin) {
  std::shared_ptr<media::Pin> peer = pin.ConnectedTo();
  if (!peer) return "";
  std::shared_ptr<media::Filter> owner = peer->Owner();
  return owner ? owner->Name() : "?";
}

std::string PeerOf(media::Filter& filter, media::PinDirection direction, int index) {
  std::vector<std::shared_ptr<media::Pin>> pins;
  filter.EnumPins(pins);
  for (const auto& pin : pins)
    if (pin->Direction() == direction && index-- == 0) return PeerFilterName(*pin);
  return "<no such pin>";
}

TriggerCounter::TriggerCounter() {
  virtualcam::RegisterStatic();
  GstElement* camera = gst_element_factory_make("ostrelvirtualcamsrcplain", nullptr);
  if (!camera) return;
  gst_object_ref_sink(camera);
  signal_ = g_signal_lookup("trigger-still", G_OBJECT_TYPE(camera));
  gst_object_unref(camera);
  if (signal_) hook_ = g_signal_add_emission_hook(signal_, 0, OnTrigger, this, nullptr);
}

TriggerCounter::~TriggerCounter() {
  if (hook_) g_signal_remove_emission_hook(signal_, hook_);
}

gboolean TriggerCounter::OnTrigger(GSignalInvocationHint*, guint, const GValue*, gpointer self) {
  ++static_cast<TriggerCounter*>(self)->count_;
  return TRUE;  // stay installed
}
