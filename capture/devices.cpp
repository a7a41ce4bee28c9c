// The frame's device lists, graph creation and release.
#include <vector>

#include "capture/capture_frame.h"
#include "capture/device_listing.h"
#include "capture/graph_utils.h"
#include "i18n/lang_text_table.h"

namespace {

constexpr const char* kVideoDeviceName = "Video Capture device";
constexpr const char* kAudioDeviceName = "Audio Capture device";

}  // namespace

// Walks one category into a device table. Returns the class enumerator's status: kOk
// after a walk, kFalse when the category is empty, or its failure.
int CaptureFrame::EnumerateDevices(media::DeviceEnumerator& enumerator,
                                   media::DeviceCategory category,
                                   std::array<std::string, kMaxDevices>& names,
                                   std::array<std::string, kMaxDevices>& ids,
                                   std::array<std::shared_ptr<media::Filter>, kMaxDevices>& filters,
                                   int& count, const char* tooManyText, bool applyPictureDefaults) {
  std::vector<std::shared_ptr<media::DeviceMoniker>> devices;
  const media::Status status = enumerator.CreateClassEnumerator(category, devices);
  if (status != media::kOk) return status;
  // Each device once: the providers of a desktop list some devices twice.
  std::vector<media::DeviceDescription> descriptions;
  for (const auto& device : devices) descriptions.push_back(device->Describe());
  for (size_t i : capture::DevicesToList(descriptions)) {
    media::DeviceMoniker& device = *devices[i];
    std::string name;
    if (!media::Succeeded(device.ReadFriendlyName(name))) continue;
    std::shared_ptr<media::Filter> filter = device.BindToFilter();
    if (!filter) continue;
    if (count >= kMaxDevices) {
      filter.reset();
      Ui().ShowMessage(tooManyText, "", platform::MessageIcon::None);
      break;
    }
    names[count] = name;
    // A provider that knows no better tells devices apart by their names.
    ids[count] = descriptions[i].identity.empty() ? name : descriptions[i].identity;
    filters[count] = filter;
    if (applyPictureDefaults) ApplyVideoProcAmpDefaults(filter.get());
    ++count;
  }
  return media::kOk;
}

BOOL CaptureFrame::EnumerateVideoDevices() {
  m_videoDeviceCount = 0;
  std::shared_ptr<media::DeviceEnumerator> enumerator = Media().CreateDeviceEnumerator();
  if (!enumerator) {
    Ui().ShowMessage("Error Creating Device Enumerator", "", platform::MessageIcon::None);
    return 0;
  }
  const int status = EnumerateDevices(*enumerator, media::DeviceCategory::VideoInput,
                                      m_videoDeviceNames, m_videoDeviceIds, m_videoDevices,
                                      m_videoDeviceCount, "Video Capture Device too many", true);
  if (status != media::kOk)
    Ui().ShowMessage(LangText(TXT_NO_VIDEO_DEVICE, m_languageIndex), "",
                     platform::MessageIcon::None);
  return 1;
}

BOOL CaptureFrame::EnumerateAudioDevices() {
  m_audioDeviceCount = 0;
  std::shared_ptr<media::DeviceEnumerator> enumerator = Media().CreateDeviceEnumerator();
  if (!enumerator) {
    Ui().ShowMessage("Error Creating Device Enumerator", "", platform::MessageIcon::None);
    return 0;
  }
  const int status = EnumerateDevices(*enumerator, media::DeviceCategory::AudioInput,
                                      m_audioDeviceNames, m_audioDeviceIds, m_audioDevices,
                                      m_audioDeviceCount, "Audio Capture Device too many", false);
  return status == media::kOk ? 1 : 0;
}

BOOL CaptureFrame::CreateGraph() {
  if (!m_pGraph) {
    m_pGraph = Media().CreateGraph();
    if (!m_pGraph) {
      Ui().ShowMessage("Create graph error", "Error", platform::MessageIcon::Error);
      return 0;
    }
  }
  if (!m_pBuilder) {
    m_pBuilder = Media().CreateCaptureGraphBuilder();
    if (!m_pBuilder) {
      Ui().ShowMessage("Create Builder error", "Error", platform::MessageIcon::Error);
      return 0;
    }
  }
  if (!media::Succeeded(m_pBuilder->SetFiltergraph(m_pGraph))) {
    Ui().ShowMessage("Set builder to graph eror", "Error", platform::MessageIcon::Error);
    return 0;
  }
  // An index outside the list (nothing enumerated yet) has no filter to add.
  if (m_selectedVideoDevice >= 0 && m_selectedVideoDevice < m_videoDeviceCount &&
      m_videoDevices[m_selectedVideoDevice]) {
    m_pGraph->AddFilter(m_videoDevices[m_selectedVideoDevice], kVideoDeviceName);
    SetUpChosenCamera();
    ReadCaptureFormat(m_videoWidth, m_videoHeight, m_videoSubtype);
    FitWindowToVideo(m_videoWidth, m_videoHeight);
  }
  if (m_selectedAudioDevice >= 0 && m_selectedAudioDevice < m_audioDeviceCount &&
      m_audioDevices[m_selectedAudioDevice]) {
    m_pGraph->AddFilter(m_audioDevices[m_selectedAudioDevice], kAudioDeviceName);
  }
  return 1;
}

BOOL CaptureFrame::ReleaseDevices() {
  for (int i = 0; i < m_videoDeviceCount && i < kMaxDevices; ++i) {
    if (!m_videoDevices[i]) continue;
    if (m_pGraph) m_pGraph->RemoveFilter(*m_videoDevices[i]);
    m_videoDevices[i].reset();
  }
  m_videoDeviceCount = 0;
  for (int i = 0; i < m_audioDeviceCount && i < kMaxDevices; ++i) {
    if (!m_audioDevices[i]) continue;
    if (m_pGraph) m_pGraph->RemoveFilter(*m_audioDevices[i]);
    m_audioDevices[i].reset();
  }
  m_audioDeviceCount = 0;
  return 1;
}

BOOL CaptureFrame::ReleaseGraph() {
  m_pDroppedFrames.reset();
  // The builder holds the graph too: released with it so the graph really goes.
  m_pBuilder.reset();
  m_pGraph.reset();
  return 1;
}
