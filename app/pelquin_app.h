// The application object: makes the frame and its window and activates it.
#pragma once

#include <memory>

#include "app/main_frame.h"

class CPelquinApp {
 public:
  CPelquinApp(platform::System& system, media::MediaFactory* media,
              platform::WindowFactory& windows);
  ~CPelquinApp();

  // Creates, shows and activates the main frame. FALSE when the frame refused to be
  // created; the application then ends.
  BOOL InitInstance();

  // Command 57664: the About box in the frame's language.
  void OnAppAbout();

  CMainFrame* MainFrame() { return m_frame.get(); }
  platform::Window* MainWindow() { return m_window.get(); }

 private:
  platform::System& m_system;
  media::MediaFactory* m_media;
  platform::WindowFactory& m_windows;
  // The window goes before the frame whose events it delivers.
  std::unique_ptr<CMainFrame> m_frame;
  std::unique_ptr<platform::Window> m_window;
};
