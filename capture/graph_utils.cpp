// Graph utilities: filter creation, pin lookup, connecting, running, stopping and teardown.
#include "capture/graph_utils.h"

#include <vector>

namespace {

// The picture settings, in the order they are applied.
struct ProcAmpDefault {
  media::VideoProcAmpProperty property;
  int32_t value;
};
constexpr ProcAmpDefault kProcAmpDefaults[] = {
    {media::VideoProcAmpProperty::Brightness, 0}, {media::VideoProcAmpProperty::Contrast, 62},
    {media::VideoProcAmpProperty::Hue, 20},       {media::VideoProcAmpProperty::Saturation, 64},
    {media::VideoProcAmpProperty::Sharpness, 2},  {media::VideoProcAmpProperty::Gamma, 125},
};

// Paths longer than this (in UTF-16 units, terminator included) do not fit the name buffer.
constexpr size_t kMaxPathUnits = 260;

size_t Utf16Units(const std::string& utf8) {
  size_t units = 0;
  for (size_t i = 0; i < utf8.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    if ((c & 0xC0) == 0x80) continue;  // continuation byte
    units += (c >= 0xF0) ? 2 : 1;      // four-byte sequences need a surrogate pair
  }
  return units;
}

}  // namespace

bool AddFilterByClsid(media::MediaFactory& factory, media::Graph* graph, const std::string& classId,
                      const std::string& name, std::shared_ptr<media::Filter>& filter) {
  filter.reset();
  if (!graph) return false;
  std::shared_ptr<media::Filter> created = factory.CreateFilter(classId);
  if (!created) return false;
  if (!media::Succeeded(graph->AddFilter(created, name))) return false;
  filter = std::move(created);
  return true;
}

media::Status GetUnconnectedPin(media::Filter& filter, media::PinDirection direction, int index,
                                std::shared_ptr<media::Pin>& pin) {
  pin.reset();
  std::vector<std::shared_ptr<media::Pin>> pins;
  const media::Status status = filter.EnumPins(pins);
  if (!media::Succeeded(status)) return status;
  int counter = 0;
  for (const auto& candidate : pins) {
    if (candidate->Direction() != direction) continue;
    if (!candidate->ConnectedTo() && counter == index) {
      pin = candidate;
      return media::kOk;
    }
    ++counter;
  }
  return media::kFail;
}

bool ConnectFilters(media::Graph* graph, media::Filter* upstream, int outputIndex,
                    media::Filter* downstream, int inputIndex) {
  if (!graph || !upstream || !downstream) return false;
  std::shared_ptr<media::Pin> output;
  std::shared_ptr<media::Pin> input;
  if (!media::Succeeded(
          GetUnconnectedPin(*upstream, media::PinDirection::Output, outputIndex, output)))
    return false;
  if (!media::Succeeded(
          GetUnconnectedPin(*downstream, media::PinDirection::Input, inputIndex, input)))
    return false;
  return media::Succeeded(graph->Connect(*output, *input));
}

bool SetSinkFileName(media::Filter* sink, const std::string& path) {
  if (!sink) return false;
  std::shared_ptr<media::FileSink> fileSink = sink->GetFileSink();
  if (!fileSink) return false;
  // A name that does not fit the buffer is refused rather than cut short: a truncated
  // name would write the recording somewhere the user never chose.
  if (Utf16Units(path) + 1 > kMaxPathUnits) return false;
  return media::Succeeded(fileSink->SetFileName(path));
}

bool RunGraph(media::Graph* graph, platform::System& sys, int64_t* runningSinceMs) {
  if (!graph) return false;
  std::shared_ptr<media::MediaControl> control = graph->GetMediaControl();
  if (!control) return false;
  if (!media::Succeeded(control->Run())) return false;
  if (runningSinceMs) *runningSinceMs = sys.MonotonicMilliseconds();
  control.reset();
  sys.Sleep(kRunSettleMs);
  return true;
}

bool StopGraph(media::Graph* graph, platform::System& sys, platform::Window* window) {
  if (!graph) return false;
  std::shared_ptr<media::MediaControl> control = graph->GetMediaControl();
  if (!control) return false;
  int further = 0;
  bool draining = false;
  for (;;) {
    const media::Status status = control->StopWhenReady();
    if (status == media::kStateIntermediate) {
      // Frames already captured are still being written: the graph bounds this wait.
      if (window && !draining) window->BeginWaitCursor();
      draining = true;
      if (!window || !window->PaintWhileWaiting(kStopDrainPollMs)) sys.Sleep(kStopDrainPollMs);
      continue;
    }
    if (media::Succeeded(status)) break;
    sys.Sleep(kStopRetryMs);
    if (further == kStopFurtherAttempts) break;
    ++further;
  }
  if (window && draining) window->EndWaitCursor();
  return true;
}

void TriggerStillPin(media::CaptureGraphBuilder* builder, media::Filter* captureFilter) {
  if (!builder || !captureFilter) return;
  std::shared_ptr<media::VideoControl> control = captureFilter->GetVideoControl();
  if (!control) return;
  std::shared_ptr<media::Pin> still;
  if (media::Succeeded(builder->FindPin(*captureFilter, media::PinDirection::Output,
                                        media::PinCategory::Still, media::MajorType::Any, false, 0,
                                        still)) &&
      still) {
    control->SetMode(*still, media::kVideoControlFlagTrigger);
  }
}

void ApplyVideoProcAmpDefaults(media::Filter* captureFilter) {
  if (!captureFilter) return;
  std::shared_ptr<media::VideoProcAmp> procAmp = captureFilter->GetVideoProcAmp();
  if (!procAmp) return;
  for (const ProcAmpDefault& d : kProcAmpDefaults)
    procAmp->Set(d.property, d.value, media::kVideoProcAmpFlagsManual);
}

void RemoveDownstream(media::Graph* graph, media::Filter* filter) {
  if (!filter || !graph) return;
  std::vector<std::shared_ptr<media::Pin>> pins;
  if (!media::Succeeded(filter->EnumPins(pins))) return;
  for (const auto& pin : pins) {
    std::shared_ptr<media::Pin> peer = pin->ConnectedTo();
    if (!peer) continue;
    std::shared_ptr<media::Filter> peerFilter = peer->Owner();
    if (!peerFilter) return;
    if (peer->Direction() == media::PinDirection::Input) {
      RemoveDownstream(graph, peerFilter.get());
      graph->Disconnect(*peer);
      graph->Disconnect(*pin);
      graph->RemoveFilter(*peerFilter);
    }
  }
}

bool ShowFilterPropertyPages(media::Filter* filter, media::PropertySheetHost& owner) {
  if (!filter) return false;
  std::shared_ptr<media::PropertyPages> pages = filter->GetPropertyPages();
  if (!pages) return false;
  owner.ShowPropertySheet(*pages, kPropertySheetX, kPropertySheetY);
  return true;
}

bool ShowCapturePinPropertyPages(media::CaptureGraphBuilder* builder, media::Filter* captureFilter,
                                 media::PropertySheetHost& owner) {
  if (!builder || !captureFilter) return true;
  std::shared_ptr<media::StreamConfig> config;
  if (!media::Succeeded(builder->FindStreamConfig(
          media::PinCategory::Capture, media::MajorType::Interleaved, *captureFilter, config)) ||
      !config) {
    config.reset();
    builder->FindStreamConfig(media::PinCategory::Capture, media::MajorType::Video, *captureFilter,
                              config);
  }
  if (!config) return true;
  std::shared_ptr<media::PropertyPages> pages = config->GetPropertyPages();
  if (pages) owner.ShowPropertySheet(*pages, kPropertySheetX, kPropertySheetY);
  return true;
}

bool GetOutputPinVideoSize(media::Filter* filter, int32_t& width, int32_t& height) {
  if (!filter) return false;
  std::vector<std::shared_ptr<media::Pin>> pins;
  if (!media::Succeeded(filter->EnumPins(pins))) return false;
  for (const auto& pin : pins) {
    if (pin->Direction() != media::PinDirection::Output) continue;
    media::MediaType type;
    if (!pin->CurrentMediaType(type) || type.formatType != media::FormatType::VideoInfo)
      return false;
    width = type.width;
    height = type.height;
    return true;
  }
  return false;
}

media::MediaType Rgb24Video() {
  media::MediaType type;
  type.major = media::MajorType::Video;
  type.subtype = media::Subtype::RGB24;
  return type;
}
