// The frame's device lists read again while it runs, devices kept by identity.
#include <vector>

#include "capture/capture_frame.h"

void CaptureFrame::RefreshDevices(media::DeviceEnumerator& enumerator,
                                  media::DeviceCategory category,
                                  std::array<std::string, kMaxDevices>& names,
                                  std::array<std::string, kMaxDevices>& ids,
                                  std::array<std::shared_ptr<media::Filter>, kMaxDevices>& filters,
                                  int& count, int& selected, const char* tooManyText,
                                  bool pictureDefaults,
                                  std::vector<std::shared_ptr<media::Filter>>& gone) {
  std::array<std::string, kMaxDevices> newNames;
  std::array<std::string, kMaxDevices> newIds;
  std::array<std::shared_ptr<media::Filter>, kMaxDevices> newFilters;
  int newCount = 0;
  EnumerateDevices(enumerator, category, newNames, newIds, newFilters, newCount, tooManyText,
                   pictureDefaults);
  std::array<bool, kMaxDevices> kept{};
  int newSelected = -1;
  for (int i = 0; i < newCount; ++i) {
    for (int j = 0; j < count && j < kMaxDevices; ++j) {
      if (kept[j] || !filters[j] || ids[j] != newIds[i]) continue;
      kept[j] = true;
      newFilters[i] = filters[j];
      if (j == selected) newSelected = i;
      break;
    }
  }
  for (int j = 0; j < count && j < kMaxDevices; ++j)
    if (!kept[j] && filters[j]) gone.push_back(filters[j]);
  names = newNames;
  ids = newIds;
  filters = newFilters;
  count = newCount;
  selected = newSelected;
}

std::vector<std::shared_ptr<media::Filter>> CaptureFrame::RefreshDeviceLists() {
  std::vector<std::shared_ptr<media::Filter>> gone;
  std::shared_ptr<media::DeviceEnumerator> enumerator = Media().CreateDeviceEnumerator();
  if (!enumerator) return gone;
  RefreshDevices(*enumerator, media::DeviceCategory::VideoInput, m_videoDeviceNames,
                 m_videoDeviceIds, m_videoDevices, m_videoDeviceCount, m_selectedVideoDevice,
                 "Video Capture Device too many", true, gone);
  RefreshDevices(*enumerator, media::DeviceCategory::AudioInput, m_audioDeviceNames,
                 m_audioDeviceIds, m_audioDevices, m_audioDeviceCount, m_selectedAudioDevice,
                 "Audio Capture Device too many", false, gone);
  return gone;
}
