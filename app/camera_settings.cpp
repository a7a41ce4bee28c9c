// CMainFrame: each camera's capture format, frame rate and picture settings, kept in a
// section of its own of the settings file and set again whenever that camera is used
// (chosen, at the start, plugged in again). A camera the user never set up has no
// section and starts as it always did.
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "app/ini_profile.h"
#include "app/main_frame.h"

namespace {

struct SubtypeName {
  media::Subtype subtype;
  const char* name;
};
constexpr SubtypeName kSubtypeNames[] = {
    {media::Subtype::UYVY, "UYVY"},   {media::Subtype::YUYV, "YUYV"},
    {media::Subtype::YUY2, "YUY2"},   {media::Subtype::I420, "I420"},
    {media::Subtype::RGB24, "RGB24"}, {media::Subtype::RGB32, "RGB32"},
    {media::Subtype::MJPG, "MJPG"},
};

constexpr const char* kControlPrefix = "Control ";

// An identity may hold any character ("]", "=", ";" among them): the section is named
// by its hash, and the identity itself is kept inside, where a clash would show.
std::string SectionFor(const std::string& identity) {
  uint64_t hash = 1469598103934665603ull;  // FNV-1a
  for (unsigned char c : identity) hash = (hash ^ c) * 1099511628211ull;
  char text[32];
  std::snprintf(text, sizeof text, "Camera %016" PRIx64, hash);
  return text;
}

// "YUY2 640x480 333333": the subtype, the size and the frame time (100 ns units).
std::string FormatText(const media::MediaType& type) {
  for (const SubtypeName& s : kSubtypeNames)
    if (s.subtype == type.subtype)
      return std::string(s.name) + " " + std::to_string(type.width) + "x" +
             std::to_string(std::abs(type.height)) + " " + std::to_string(type.avgTimePerFrame);
  return {};
}

bool ParseFormat(const std::string& text, media::Subtype& subtype, int& width, int& height,
                 int64_t& frameTime) {
  char name[16] = {};
  long long time = 0;
  if (std::sscanf(text.c_str(), "%15s %dx%d %lld", name, &width, &height, &time) != 4) return false;
  frameTime = time;
  for (const SubtypeName& s : kSubtypeNames)
    if (std::string(name) == s.name) {
      subtype = s.subtype;
      return width > 0 && height > 0 && frameTime > 0;
    }
  return false;
}

bool ParseInt(const std::string& text, int32_t& value) {
  char* end = nullptr;
  const long n = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || n < INT32_MIN || n > INT32_MAX) return false;
  value = static_cast<int32_t>(n);
  return true;
}

// Writes only what changed: every write replaces the whole file.
bool WriteIfChanged(IniProfile& profile, const std::string& key, const std::string& value) {
  std::string stored;
  profile.ReadString(key, stored);
  return stored == value || profile.WriteString(key, value);
}

}  // namespace

std::shared_ptr<media::StreamConfig> CMainFrame::SelectedCameraFormat() {
  std::shared_ptr<media::StreamConfig> config;
  media::Filter* camera = SelectedVideoFilter();
  if (!camera || !m_pBuilder ||
      !media::Succeeded(m_pBuilder->FindStreamConfig(media::PinCategory::Capture,
                                                     media::MajorType::Video, *camera, config)))
    config.reset();
  return config;
}

void CMainFrame::RememberCameraSettings() {
  media::Filter* camera = SelectedVideoFilter();
  if (!camera) return;
  const std::string& identity = m_videoDeviceIds[m_selectedVideoDevice];
  // A new settings file begins with the program's own section, as it always did.
  if (!m_system.PathExists(SettingsPath())) SaveSettings();
  IniProfile profile(SettingsPath(), SectionFor(identity));
  bool ok = WriteIfChanged(profile, "Identity", identity);
  ok = ok && WriteIfChanged(profile, "Name", m_videoDeviceNames[m_selectedVideoDevice]);
  media::MediaType format;
  if (std::shared_ptr<media::StreamConfig> config = SelectedCameraFormat())
    if (media::Succeeded(config->GetFormat(format)) &&
        format.formatType == media::FormatType::VideoInfo && !FormatText(format).empty())
      ok = ok && WriteIfChanged(profile, "CaptureFormat", FormatText(format));
  ok = ok && WriteIfChanged(profile, "FrameRateEnabled", std::to_string(m_frameRateEnabled));
  ok = ok && WriteIfChanged(profile, "FrameRate", std::to_string(m_frameRate));
  if (std::shared_ptr<media::PictureSettings> picture = camera->GetPictureSettings()) {
    for (const auto& [name, value] : picture->Values()) {
      ok = ok && WriteIfChanged(profile, kControlPrefix + name, std::to_string(value));
      // What the page set through the device also holds when the camera opens again.
      std::string why;
      picture->Apply(name, value, why);
    }
  }
  if (!ok)
    std::fprintf(stderr, "ostrel: could not save the settings of the camera %s to %s: %s\n",
                 m_videoDeviceNames[m_selectedVideoDevice].c_str(), profile.Path().c_str(),
                 profile.Problem().c_str());
}

void CMainFrame::RestoreCameraSettings() {
  media::Filter* camera = SelectedVideoFilter();
  if (!camera) return;
  const std::string& identity = m_videoDeviceIds[m_selectedVideoDevice];
  const std::string& name = m_videoDeviceNames[m_selectedVideoDevice];
  IniProfile profile(SettingsPath(), SectionFor(identity));
  std::string stored;
  if (!profile.ReadString("Identity", stored) || stored != identity) return;

  std::string text;
  if (profile.ReadString("CaptureFormat", text)) RestoreCaptureFormat(text);
  int32_t enabled = 0, rate = 0;
  if (profile.ReadString("FrameRateEnabled", text) && ParseInt(text, enabled) &&
      profile.ReadString("FrameRate", stored) && ParseInt(stored, rate) &&
      (enabled == 0 || enabled == 1) && rate > 0) {
    m_frameRateEnabled = enabled;
    m_frameRate = enabled ? rate : 60;
  }
  std::shared_ptr<media::PictureSettings> picture = camera->GetPictureSettings();
  if (!picture) return;
  // The camera's own list, in its order: an automatic control before what it governs.
  for (const auto& current : picture->Values()) {
    if (!profile.ReadString(kControlPrefix + current.first, text)) continue;
    int32_t value = 0;
    std::string why = "not a number";
    if (!ParseInt(text, value) || !picture->Apply(current.first, value, why))
      std::fprintf(stderr,
                   "ostrel: the camera %s does not take its kept %s %s (%s); left as it is\n",
                   name.c_str(), current.first.c_str(), text.c_str(), why.c_str());
  }
}

void CMainFrame::RestoreCaptureFormat(const std::string& text) {
  const std::string& name = m_videoDeviceNames[m_selectedVideoDevice];
  std::shared_ptr<media::StreamConfig> config = SelectedCameraFormat();
  media::Subtype subtype = media::Subtype::None;
  int width = 0, height = 0;
  int64_t frameTime = 0;
  if (!config || !ParseFormat(text, subtype, width, height, frameTime)) {
    std::fprintf(stderr, "ostrel: the kept format \"%s\" of the camera %s cannot be used\n",
                 text.c_str(), name.c_str());
    return;
  }
  for (int i = 0; i < config->CapabilityCount(); ++i) {
    media::MediaType offered;
    if (!config->GetCapability(i, offered) || offered.subtype != subtype ||
        offered.width != width || std::abs(offered.height) != height)
      continue;
    media::MediaType wanted = offered;
    wanted.avgTimePerFrame = frameTime;
    // A rate the camera no longer offers gives way to the format's own.
    if (media::Succeeded(config->SetFormat(wanted)) || media::Succeeded(config->SetFormat(offered)))
      return;
  }
  std::fprintf(stderr, "ostrel: the camera %s no longer offers its kept format %s; left as it is\n",
               name.c_str(), text.c_str());
}
