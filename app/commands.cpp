// CMainFrame: the menu bar's item states at every opening, and the command handler.
#include "app/main_frame.h"

void CMainFrame::OnInitMenu() {}

bool CMainFrame::OnCommand(uint32_t id) {
  if (id == kCmdExit) {
    Ui().CloseWindow();
    return true;
  }
  return true;
}
