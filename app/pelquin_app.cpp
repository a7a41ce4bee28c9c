// CPelquinApp: the start-up sequence.
#include "app/pelquin_app.h"

#include "i18n/settings_dialogs.h"

CPelquinApp::CPelquinApp(platform::System& system, media::MediaFactory* media,
                         platform::WindowFactory& windows)
    : m_system(system), m_media(media), m_windows(windows) {}

CPelquinApp::~CPelquinApp() {
  m_window.reset();
  m_frame.reset();
}

BOOL CPelquinApp::InitInstance() {
  m_frame = std::make_unique<CMainFrame>(m_system, m_media);
  m_window = m_windows.CreateFrameWindow(m_frame->PreCreateWindow(), *m_frame);
  if (!m_window) return 0;
  m_frame->AttachWindow(*m_window);
  m_frame->SetAboutHandler([this] { OnAppAbout(); });
  if (m_frame->OnCreate() == -1) {
    m_window.reset();
    return 0;
  }
  m_window->Show();
  m_frame->ActivateFrame();
  m_window->UpdateWindow();
  return 1;
}

void CPelquinApp::OnAppAbout() {
  if (!m_window || !m_frame) return;
  // The language is read from the frame each time the box opens.
  CAboutDlg about(*m_window, m_frame->m_languageIndex);
  about.DoModal();
}
