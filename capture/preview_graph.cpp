// The graph downstream of the device filters: the preview path through the video
// transfer filter, the still-pin branch, the video window, and the teardown.
#include <cstdio>

#include "capture/capture_frame.h"
#include "capture/graph_utils.h"

media::MediaType g_stillMediaType;

namespace {

constexpr const char* kErrorCaption = "Error";

// The wait cursor for the length of a build.
class WaitCursor {
 public:
  explicit WaitCursor(platform::Window& window) : window_(window) { window_.BeginWaitCursor(); }
  ~WaitCursor() { window_.EndWaitCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  platform::Window& window_;
};

}  // namespace

media::Filter* CaptureFrame::SelectedVideoDevice() const {
  if (m_selectedVideoDevice < 0 || m_selectedVideoDevice >= kMaxDevices) return nullptr;
  return m_videoDevices[m_selectedVideoDevice].get();
}

BOOL CaptureFrame::BuildGraph() {
  if (m_graphBuilt) return 1;
  WaitCursor wait(Ui());
  if (m_captureMode) {
    // A capture format or a clip format no recording can take is a failed build: an
    // empty graph that runs would let the clock count while no file is written.
    if (!CanRecordFormat(m_videoSubtype) || (m_recordFormat != 0 && m_recordFormat != 1)) return 0;
    const BOOL built = m_recordFormat == 0 ? BuildAviGraph() : BuildWmvGraph();
    if (!built) {
      TearDownGraph();
      return 0;
    }
    SetUpVideoWindow();
    SetFrameRate(m_frameRate, m_frameRate);
    m_graphBuilt = 1;
    return 1;
  }
  if (!BuildPreviewGraph()) {
    TearDownGraph();
    return 0;
  }
  SetUpVideoWindow();
  m_graphBuilt = 1;
  return 1;
}

BOOL CaptureFrame::FailBuild(const char* text) {
  Ui().ShowMessage(text, kErrorCaption, platform::MessageIcon::Error);
  return 0;
}

// Every build starts with the camera split by the smart tee.
BOOL CaptureFrame::BuildStartTee() {
  media::Graph* graph = m_pGraph.get();
  if (!AddFilterByClsid(Media(), graph, media::clsid::kSmartTee, "Start tee", m_pSmartTee))
    return FailBuild("Add smart tee error");
  if (!ConnectFilters(graph, SelectedVideoDevice(), 0, m_pSmartTee.get(), 0))
    return FailBuild("Connect InfTee to smart tee Error");
  return 1;
}

BOOL CaptureFrame::BuildPreviewGraph() {
  media::Graph* graph = m_pGraph.get();
  const auto fail = [this](const char* text) { return FailBuild(text); };
  if (!BuildStartTee()) return 0;
  media::Filter* device = SelectedVideoDevice();
  if (!AddFilterByClsid(Media(), graph, media::clsid::kSampleGrabber, "Grabber", m_pPreviewGrabber))
    return fail("Add Sample grabber error");
  {
    std::shared_ptr<media::SampleGrabber> grabber = m_pPreviewGrabber->GetSampleGrabber();
    if (!grabber) return fail("Sample Grabber set Media type failed");
    grabber->SetMediaType(Rgb24Video());
    // Snapshots switch buffering on only for as long as they need a frame.
    grabber->SetBufferSamples(false);
  }
  if (!ConnectFilters(graph, m_pSmartTee.get(), 1, m_pPreviewGrabber.get(), 0))
    return fail("Connect InfTee preview  decompressor to video render Error");
  if (!AddFilterByClsid(Media(), graph, media::clsid::kVideoTransfer, "Video DynamicInterpolation",
                        m_pTransferFilter))
    return fail("Add Video Transfer error");
  if (!ConnectFilters(graph, m_pPreviewGrabber.get(), 0, m_pTransferFilter.get(), 0))
    return fail("Connect Transfer preview  decompressor to video render Error");
  if (!AddFilterByClsid(Media(), graph, media::clsid::kVideoRenderer, "Render", m_pVideoRenderer))
    return fail("Add Video render error");
  if (!ConnectFilters(graph, m_pTransferFilter.get(), 0, m_pVideoRenderer.get(), 0))
    return fail("Connect InfTee preview  decompressor to video render Error");
  BuildStillBranch(*device);
  return 1;
}

// The still pin's branch is optional: whatever fails here leaves the preview working
// and only still capture through the pin missing.
void CaptureFrame::BuildStillBranch(media::Filter& device) {
  media::Graph* graph = m_pGraph.get();
  AddFilterByClsid(Media(), graph, media::clsid::kSampleGrabber, "SampleGrab", m_pStillGrabber);
  AddFilterByClsid(Media(), graph, media::clsid::kNullRenderer, "NullRender", m_pNullRenderer);
  std::shared_ptr<media::SampleGrabber> grabber =
      m_pStillGrabber ? m_pStillGrabber->GetSampleGrabber() : nullptr;
  if (grabber) {
    grabber->SetOneShot(false);
    grabber->SetBufferSamples(true);
    grabber->SetCallback(m_pStillCallback, 1);
    grabber->SetMediaType(Rgb24Video());
  }
  if (m_pBuilder)
    m_pBuilder->RenderStream(media::PinCategory::Still, media::MajorType::Video, device,
                             m_pStillGrabber.get(), m_pNullRenderer.get());
  // Without a connected still pin the record is empty, never a former camera's type.
  g_stillMediaType = media::MediaType{};
  if (grabber) {
    media::MediaType connected;
    if (media::Succeeded(grabber->GetConnectedMediaType(connected))) g_stillMediaType = connected;
  }
}

BOOL CaptureFrame::SetUpVideoWindow() {
  if (!m_pGraph) return 0;
  std::shared_ptr<media::VideoWindow> window =
      m_pVideoRenderer ? m_pVideoRenderer->GetVideoWindow() : nullptr;
  if (!window) {
    Ui().ShowMessage("This graph cannot preview properly", kErrorCaption,
                     platform::MessageIcon::Error);
    return 0;
  }
  const platform::Rect cli = Ui().ClientRect();
  const int border = Ui().Metric(platform::SystemMetric::CyBorder);
  window->SetOwner(Ui().GetVideoSurface());
  window->SetWindowPosition(0, 0, cli.right, cli.bottom - (m_statusBarHeight + border));
  window->SetVisible(true);
  window->SetAutoShow(true);
  window.reset();
  if (m_firstVideoWindowSizing) {
    m_firstVideoWindowSizing = 0;
    MoveFrameForVideoArea(kFirstVideoAreaWidth, kFirstVideoAreaHeight);
  }
  return 1;
}

BOOL CaptureFrame::TearDownGraph() {
  // The frame's references only; the graph still holds the filters until they are removed.
  m_pVideoRenderer.reset();
  m_pPreviewGrabber.reset();
  m_pSmartTee.reset();
  m_pAviMux.reset();
  m_pTransferFilter.reset();
  m_pStillGrabber.reset();
  m_pNullRenderer.reset();
  m_pFileWriter.reset();
  if (m_selectedVideoDevice >= 0 && m_selectedVideoDevice < kMaxDevices)
    RemoveDownstream(m_pGraph.get(), m_videoDevices[m_selectedVideoDevice].get());
  if (m_selectedAudioDevice >= 0 && m_selectedAudioDevice < kMaxDevices)
    RemoveDownstream(m_pGraph.get(), m_audioDevices[m_selectedAudioDevice].get());
  m_graphBuilt = 0;
  // What the stopped graph still reported is not news for the graph built next; a file
  // the stop had to close unfinished keeps its marker.
  DrainGraphEvents();
  // Every teardown follows the stop that ended the clip's file.
  FinishClipSeries();
  return 1;
}

bool CaptureFrame::DrainGraphEvents() {
  if (!m_pGraph) return false;
  bool failed = false;
  media::GraphEvent event;
  while (m_pGraph->NextEvent(event)) {
    using Kind = media::GraphEvent::Kind;
    if (event.kind == Kind::Complete) continue;
    if (event.kind == Kind::FileUnfinished) KeepClipUnfinished();
    if (event.kind == Kind::FramesDropped) m_framesLeftOut += event.frames;
    if (event.kind != Kind::FramesDropped && event.kind != Kind::Warning) failed = true;
    std::fprintf(stderr, "ostrel: %s: %s\n", event.source.c_str(), event.text.c_str());
  }
  return failed;
}
