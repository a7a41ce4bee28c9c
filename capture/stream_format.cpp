// The selected camera's capture format and frame rate.
#include <cstdlib>

#include "capture/capture_frame.h"
#include "capture/frame_rate.h"

namespace {

constexpr const char* kNoStreamConfig = "Cannot find VCapture:IAMStreamConfig";
constexpr const char* kCannotSetRate = "Cannot set new frame rate";

}  // namespace

// Asks for the interleaved stream configuration first (which cameras do not offer),
// then for the video one.
CaptureFrame::StreamConfigLookup CaptureFrame::FindCaptureStreamConfig(
    std::shared_ptr<media::StreamConfig>& config) {
  config.reset();
  if (!m_pBuilder || m_selectedVideoDevice < 0 || m_selectedVideoDevice >= kMaxDevices ||
      !m_videoDevices[m_selectedVideoDevice])
    return StreamConfigLookup::NotFound;
  media::Filter& device = *m_videoDevices[m_selectedVideoDevice];
  if (media::Succeeded(m_pBuilder->FindStreamConfig(
          media::PinCategory::Capture, media::MajorType::Interleaved, device, config)) &&
      config)
    return StreamConfigLookup::Interleaved;
  config.reset();
  if (media::Succeeded(m_pBuilder->FindStreamConfig(media::PinCategory::Capture,
                                                    media::MajorType::Video, device, config)) &&
      config)
    return StreamConfigLookup::Video;
  config.reset();
  return StreamConfigLookup::NotFound;
}

BOOL CaptureFrame::ReadCaptureFormat(int& width, int& height, int& subtype) {
  std::shared_ptr<media::StreamConfig> config;
  switch (FindCaptureStreamConfig(config)) {
    case StreamConfigLookup::Interleaved:
      return 1;
    case StreamConfigLookup::NotFound:
      Ui().ShowMessage(kNoStreamConfig, "Error", platform::MessageIcon::Error);
      return 0;
    case StreamConfigLookup::Video:
      break;
  }
  media::MediaType format;
  if (media::Succeeded(config->GetFormat(format)) &&
      format.formatType == media::FormatType::VideoInfo) {
    width = format.width;
    height = std::abs(format.height);
    if (const int code = SubtypeCode(format.subtype)) subtype = code;
  }
  return 1;
}

BOOL CaptureFrame::SetFrameRate(int fps, int& actual) {
  if (!m_pBuilder || m_selectedVideoDevice < 0) return 0;
  std::shared_ptr<media::StreamConfig> config;
  switch (FindCaptureStreamConfig(config)) {
    case StreamConfigLookup::Interleaved:
      return 0;
    case StreamConfigLookup::NotFound:
      Ui().ShowMessage(kNoStreamConfig, "Error", platform::MessageIcon::Error);
      return 0;
    case StreamConfigLookup::Video:
      break;
  }
  media::MediaType format;
  if (!media::Succeeded(config->GetFormat(format))) {
    Ui().ShowMessage(kCannotSetRate, "", platform::MessageIcon::None);
    return 0;
  }
  if (format.formatType == media::FormatType::VideoInfo) {
    if (fps > 0) format.avgTimePerFrame = FrameTimeForRate(fps);
    if (!media::Succeeded(config->SetFormat(format)))
      Ui().ShowMessage(kCannotSetRate, "", platform::MessageIcon::None);
  }
  media::MediaType current;
  if (!media::Succeeded(config->GetFormat(current))) return 1;
  if (current.formatType == media::FormatType::VideoInfo && current.avgTimePerFrame > 0)
    actual = RateForFrameTime(current.avgTimePerFrame);
  return 1;
}
