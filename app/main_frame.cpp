// CMainFrame: construction, creation, activation, sizing, painting and shutdown.
#include "app/main_frame.h"

#include "app/still_callback.h"
#include "capture/graph_utils.h"

#include "i18n/lang_text_table.h"
#include "i18n/language.h"
#include "i18n/own_text_table.h"
#include "i18n/translate_menu.h"
#include "i18n/ui_locale.h"
#include "res/menu_128.h"

const std::string kStatusPaneInitialText = std::string("USB Video Device") + std::string(94, ' ');
const char* const kApplicationTitle = "Pelquin ";

std::atomic<int> g_stillSizeIndex{0};
std::string g_browseStartFolder;

CMainFrame::CMainFrame(platform::System& system, media::MediaFactory* media)
    : m_system(system),
      m_media(media),
      m_stillCallback(std::make_unique<SampleGrabberCallback>(this)) {
  m_languageIndex = LanguageIndexFromLangId(m_languageId);
  m_fpsWindowStart = m_system.Milliseconds();
  m_pStillCallback = m_stillCallback.get();
}

CMainFrame::~CMainFrame() {
  StopRepairs();
  // A graph still streaming (a frame destroyed without its close) must not call into the
  // callback once it is gone; detaching waits for a call in progress.
  if (std::shared_ptr<media::SampleGrabber> grabber =
          m_pStillGrabber ? m_pStillGrabber->GetSampleGrabber() : nullptr)
    grabber->SetCallback(nullptr, 1);
  m_pStillCallback = nullptr;
  g_stillMediaType = media::MediaType{};
}

platform::WindowCreateParams CMainFrame::PreCreateWindow() const {
  platform::WindowCreateParams params;
  params.caption = kApplicationTitle;
  params.width = 360;
  params.height = 320;
  return params;
}

int CMainFrame::OnCreate() {
  if (!Ui().CreateStatusBar(kStatusPaneInitialText)) return -1;
  m_statusBarCreated = true;
  ChooseLanguageAndMenu();
  // The status bar is one and a half lines of its font high.
  m_statusBarHeight = (Ui().StatusFontHeight() * 3) / 2;
  return 0;
}

void CMainFrame::ChooseLanguageAndMenu() {
  m_languageId = LangIdFromLocale(Sys().UiLocale());
  m_languageIndex = LanguageIndexFromLangId(m_languageId);
  const int language = m_languageIndex;
  Ui().SetInterfaceLanguage({LanguageLocaleName(language), [language](const std::string& english) {
                               return OwnTextForEnglish(english, language);
                             }});
  m_menuBar = Ui().LoadMenu(MenuResource128());
  if (!m_menuBar) return;
  TranslateMenuBar(*m_menuBar, m_languageIndex);
  Ui().SetMenu(m_menuBar.get());
}

void CMainFrame::ActivateFrame() {
  LoadSettings();
  if (!m_initDone) {
    if (m_media) {
      RepairUnfinishedClips();  // what a killed recording left behind, meanwhile
      BuildDeviceMenu();
      WatchDevices();
      BuildOptionMenu();
      CreateGraph();  // reports its own failures; activation goes on regardless
    }
    m_initDone = 1;
    if (m_media && m_previewOn && m_selectedVideoDevice >= 0) StartPreview();
  }
  Ui().SetTimer(kTimerId, kTimerPeriodMs);
  if (!m_folderNotice.empty()) {
    const std::string notice = std::move(m_folderNotice);
    m_folderNotice.clear();
    Ui().ShowMessage(notice, "", platform::MessageIcon::Information);
  }
}

void CMainFrame::OnShowWindow(bool) {
  // The document's view holds nothing; the client area belongs to the video window.
}

void CMainFrame::OnSize(int, int) {
  if (!m_statusBarCreated) return;
  // The status bar runs along the bottom, one border wider than the client area on
  // each side so that its own borders do not show.
  platform::Rect cli = Ui().ClientRect();
  int b = Ui().Metric(platform::SystemMetric::CyBorder);
  int x = Ui().Metric(platform::SystemMetric::CxBorder);
  int h = m_statusBarHeight + b;
  Ui().MoveStatusBar({-x, cli.bottom - h, cli.right + x, cli.bottom + b});
  if (!m_pGraph) return;
  // The video window fills the client area above the status bar.
  if (std::shared_ptr<media::VideoWindow> video =
          m_pVideoRenderer ? m_pVideoRenderer->GetVideoWindow() : nullptr) {
    video->SetOwner(Ui().GetVideoSurface());
    video->SetWindowPosition(0, 0, cli.right, cli.bottom - h);
    m_statusPaneWidth = cli.right;
  }
}

void CMainFrame::OnPaint(platform::Painter& painter) {
  if (m_graphRunning) return;  // the video window covers the client area
  painter.FillRectangle(Ui().ClientRect(), platform::SystemColor::ButtonText);
}

void CMainFrame::FitWindowToVideo(int width, int height) {
  ++m_fitWindowDepth;
  int b = Ui().Metric(platform::SystemMetric::CyBorder);
  platform::Rect win = Ui().WindowRect();
  platform::Rect cli = Ui().ClientRect();
  int extraW = win.Width() - cli.right;
  int extraH = win.Height() - cli.bottom + m_statusBarHeight + b;
  int newW = width + extraW;
  int newH = height + extraH;
  Ui().SetWindowSize(newW, newH);
  if (m_fitWindowDepth == 1) {
    // A menu bar that wraps at the new width changes the client height: measure again.
    bool widthChanged = newW != win.Width() && width > Ui().Metric(platform::SystemMetric::CxMin);
    if (widthChanged || newH != win.Height()) FitWindowToVideo(width, height);
  }
  Ui().UpdateWindow();
  m_statusPaneWidth = m_videoWidth;
  --m_fitWindowDepth;
}

void CMainFrame::OnClose() {
  m_previewOn = m_graphRunning ? 1 : 0;
  // Stopping first lets a recording in progress finish its file.
  if ((m_recording || m_graphRunning) && m_pGraph) StopGraph(m_pGraph.get(), Sys(), &Ui());
  m_graphRunning = 0;
  if (m_media) {
    TearDownGraph();
    ReleaseDevices();
    ReleaseGraph();
  }
  SaveSettings();
  Ui().KillTimer(kTimerId);
  StopRepairs();  // a clip under repair keeps its marker for the next start
}
