// The AVI and WMV recording builds: the camera split by a smart tee into a directly
// rendered preview and a capture stream that goes, with the sound when it is wanted,
// into the next numbered clip file.
#include <cstdint>
#include <cstdio>

#include "capture/capture_frame.h"
#include "capture/graph_utils.h"

namespace {

// The recording profile every WMV build starts from: one audio and one video stream.
media::AsfProfile SystemProfile() { return media::AsfProfile{}; }

constexpr int32_t kWmvVideoQuality = 50;

}  // namespace

bool CaptureFrame::CanRecordFormat(int subtype) { return subtype >= 1 && subtype <= 7; }

std::string CaptureFrame::ClipPath(int index, const char* extension) const {
  return clip_series::ClipPath(m_captureFolder, index, extension);
}

// A clip never replaces a file that is already there: numbers whose file exists are
// passed over, as the snapshots do.
std::optional<int> CaptureFrame::NextFreeClipIndex(const char* extension) {
  return clip_series::FirstFreeIndex(
      m_clipIndex, [this, extension](int n) { return ClipPath(n, extension); }, Sys());
}

std::string CaptureFrame::NoFreeClipNumber() {
  const char* extension = m_recordFormat == 1 ? "WMV" : "AVI";
  if (NextFreeClipIndex(extension)) return {};
  return "No clip number is free: " + ClipPath(INT32_MAX, extension) +
         " exists and no number comes after it.";
}

// Both recording builds start alike: the camera into the tee, the tee's preview output
// straight into the renderer. Only the last connection's message differs between them.
BOOL CaptureFrame::BuildTeeAndRenderer(const char* connectRendererError) {
  media::Graph* graph = m_pGraph.get();
  const auto fail = [this](const char* text) { return FailBuild(text); };
  if (!BuildStartTee()) return 0;
  if (!AddFilterByClsid(Media(), graph, media::clsid::kVideoRenderer, "Render", m_pVideoRenderer))
    return fail("Add Video render error");
  if (!ConnectFilters(graph, m_pSmartTee.get(), 1, m_pVideoRenderer.get(), 0))
    return fail(connectRendererError);
  return 1;
}

BOOL CaptureFrame::ConnectCaptureStream(media::Filter* writer, int writerPin) {
  media::Graph* graph = m_pGraph.get();
  std::shared_ptr<media::Filter> grabber;
  // The frames pass unchanged into the clip; a snapshot converts the one it takes.
  if (AddFilterByClsid(Media(), graph, media::clsid::kSampleGrabber, "Grabber", grabber)) {
    std::shared_ptr<media::SampleGrabber> g = grabber->GetSampleGrabber();
    if (g && media::Succeeded(g->SetKeptType(Rgb24Video())) &&
        ConnectFilters(graph, m_pSmartTee.get(), 0, grabber.get(), 0) &&
        ConnectFilters(graph, grabber.get(), 0, writer, writerPin)) {
      g->SetBufferSamples(false);
      m_pPreviewGrabber = grabber;
      return 1;
    }
    // The clip is recorded all the same; only the snapshots wait for its end.
    std::fprintf(stderr, "ostrel: no snapshots while this clip is recorded\n");
    graph->RemoveFilter(*grabber);
  }
  return ConnectFilters(graph, m_pSmartTee.get(), 0, writer, writerPin);
}

BOOL CaptureFrame::BuildAviGraph() {
  media::Graph* graph = m_pGraph.get();
  const auto fail = [this](const char* text) { return FailBuild(text); };
  if (!BuildTeeAndRenderer("Connect InfTee preview  decompressor to video render Error")) return 0;
  if (!AddFilterByClsid(Media(), graph, media::clsid::kAviMux, "AVI Mux", m_pAviMux))
    return fail("Add Avi Mux error");
  if (!ConnectCaptureStream(m_pAviMux.get(), 0)) return fail("Connect  inftee to avi Mux Error");
  if (m_recordAudio && m_selectedAudioDevice >= 0) {
    media::Filter* audio =
        m_selectedAudioDevice < kMaxDevices ? m_audioDevices[m_selectedAudioDevice].get() : nullptr;
    if (!ConnectFilters(graph, audio, 0, m_pAviMux.get(), 1))
      return fail("Connect audio capture  to avi Mux Error");
  }
  if (!AddFilterByClsid(Media(), graph, media::clsid::kFileWriter, "FileWriter", m_pFileWriter))
    return fail("Add Avi dump error");
  const std::optional<int> index = NextFreeClipIndex("AVI");
  if (!index) return fail(NoFreeClipNumber().c_str());
  BeginClipSeries(m_pFileWriter.get(), *index, "AVI");
  if (!ConnectFilters(graph, m_pAviMux.get(), 0, m_pFileWriter.get(), 0))
    return fail("Connect  avi Mux to dump Error");
  m_clipIndex = clip_series::NumberAfter(*index);
  return 1;
}

BOOL CaptureFrame::BuildWmvGraph() {
  media::Graph* graph = m_pGraph.get();
  const auto fail = [this](const char* text) { return FailBuild(text); };
  if (!BuildTeeAndRenderer("Connect VarnicaInfTee preview  decompressor to video render Error"))
    return 0;
  if (!AddFilterByClsid(Media(), graph, media::clsid::kWmAsfWriter, "WMV FileWriter",
                        m_pFileWriter))
    return fail("Add wmv file writer error");
  const std::optional<int> index = NextFreeClipIndex("WMV");
  if (!index) return fail(NoFreeClipNumber().c_str());
  BeginClipSeries(m_pFileWriter.get(), *index, "WMV");

  const bool sound = m_recordAudio && m_selectedAudioDevice >= 0;
  if (std::shared_ptr<media::AsfWriterConfig> config = m_pFileWriter->GetAsfWriterConfig()) {
    media::AsfProfile profile = SystemProfile();
    if (!profile.hasVideo) {
      Ui().ShowMessage("GetMediaType size Error", "", platform::MessageIcon::None);
      return 0;
    }
    profile.videoWidth = m_videoWidth;
    profile.videoHeight = m_videoHeight;
    profile.videoSizeImage =
        static_cast<uint32_t>(m_videoWidth) * static_cast<uint32_t>(m_videoHeight) * 2u;
    profile.videoQuality = kWmvVideoQuality;
    // An audio stream that nothing feeds would hold the writer back for good, so the
    // profile keeps it only when the sound is recorded, with or without a microphone.
    if (!sound) profile.hasAudio = false;
    config->ConfigureFilterUsingProfile(profile);
  }
  if (sound) {
    media::Filter* audio =
        m_selectedAudioDevice < kMaxDevices ? m_audioDevices[m_selectedAudioDevice].get() : nullptr;
    if (!ConnectFilters(graph, audio, 0, m_pFileWriter.get(), 0))
      return fail("Connect  inftee audio to avi Mux Error");
    if (!ConnectCaptureStream(m_pFileWriter.get(), 1))
      return fail("Connect inftee to wmv writer Error");
  } else if (!ConnectCaptureStream(m_pFileWriter.get(), 0)) {
    return fail("Connect inftee to wmv writer Error");
  }
  m_clipIndex = clip_series::NumberAfter(*index);
  return 1;
}
