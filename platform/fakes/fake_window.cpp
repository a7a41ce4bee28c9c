// FakeWindow: recorded messages and a simulated geometry.
#include "platform/fakes/fake_window.h"

#include "platform/fakes/fake_menu.h"

namespace platform {

MessageResult FakeWindow::ShowMessage(const std::string& text, const std::string& cap,
                                      MessageIcon icon, MessageButtons buttons) {
  messages.push_back({text, cap, icon});
  return buttons == MessageButtons::YesNo ? MessageResult::Yes : MessageResult::Ok;
}

std::unique_ptr<Menu> FakeWindow::LoadMenu(const MenuTemplate& resource) {
  return FakeMenu::FromTemplate(resource);
}

bool FakeWindow::CreateStatusBar(const std::string& initialPaneText) {
  if (failStatusBar) return false;
  m_status = initialPaneText;
  return true;
}

void FakeWindow::SetStatusText(const std::string& text) {
  m_status = text;
  statusTexts.push_back(text);
}

Rect FakeWindow::ClientRect() const {
  int w = window.Width();
  int menu = (menuWrapWidth > 0 && w < menuWrapWidth) ? 2 * menuLineHeight : menuLineHeight;
  int h = window.Height() - menu;
  return {0, 0, w, h < 0 ? 0 : h};
}

void FakeWindow::SetWindowSize(int width, int height) {
  resizes.emplace_back(width, height);
  window.right = window.left + width;
  window.bottom = window.top + height;
}

int FakeWindow::Metric(SystemMetric metric) const {
  switch (metric) {
    case SystemMetric::CyBorder:
    case SystemMetric::CxBorder:
      return 1;
    case SystemMetric::CxMin:
      return cxMin;
  }
  return 0;
}

std::string FakeWindow::BrowseForFolder(const std::string& title, const std::string& startFolder) {
  browseTitles.push_back(title);
  browseStarts.push_back(startFolder);
  if (browseAnswers.empty()) return "";
  std::string answer = browseAnswers.front();
  browseAnswers.pop_front();
  return answer;
}

void FakeWindow::SheetHost::ShowPropertySheet(media::PropertyPages& pages, int x, int y) {
  m_w.sheets.push_back({pages.Pages(), x, y});
  if (m_w.sheetScripts.empty()) return;
  auto script = std::move(m_w.sheetScripts.front());
  m_w.sheetScripts.pop_front();
  if (script) script(pages);
}

int FakeWindow::RunModalDialog(const DialogTemplate& resource, DialogLogic& logic,
                               DialogOwner owner) {
  if (failDialogs) return kDialogFailed;
  FakeDialog dialog(resource, owner, ApplicationTitle());
  dialogRuns.push_back(dialog.Run(logic, dialogScript));
  return dialogRuns.back().result;
}

}  // namespace platform
