// A window for unit tests: records every message box, status text, timer and
// resize, scripts the folder browser and the modal dialogs, and simulates a menu bar
// that wraps.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/fakes/fake_dialog.h"
#include "platform/media.h"
#include "platform/ui.h"

namespace platform {

class FakeWindow : public Window {
 public:
  struct Message {
    std::string text;
    std::string caption;  // as passed; empty = the application title
    MessageIcon icon;
    std::string detail = {};  // the reason shown underneath
  };

  // Menu bar height at a window width: one line, or two when narrower than wrapWidth.
  int menuLineHeight = 20;
  int menuWrapWidth = 0;
  int statusFontHeight = 12;
  int cxMin = 136;
  bool failStatusBar = false;
  std::deque<std::string> browseAnswers;  // empty answer = cancelled
  // What the user does in the dialogs, in order across dialogs; a dialog that finds the
  // script empty is ended as by Escape.
  std::deque<DialogAction> dialogScript;
  bool failDialogs = false;  // RunModalDialog returns kDialogFailed

  std::vector<Message> messages;
  std::vector<std::string> statusTexts;
  std::vector<std::pair<int, int>> resizes;
  std::map<int, int> timers;  // running timers: id -> period
  std::vector<std::string> browseTitles;
  std::vector<std::string> browseStarts;
  std::vector<DialogRun> dialogRuns;
  std::vector<Rect> statusBarMoves;
  int updates = 0;
  int waitCursorDepth = 0;
  bool shown = false;
  bool closeRequested = false;
  std::string caption;
  InterfaceLanguage interfaceLanguage;
  Rect window{100, 100, 460, 420};

  MessageResult ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                            MessageButtons buttons) override;
  MessageResult ShowDetailedMessage(const std::string& text, const std::string& detail,
                                    const std::string& caption, MessageIcon icon) override {
    messages.push_back({text, caption, icon, detail});
    return MessageResult::Ok;
  }
  std::string ApplicationTitle() const override { return "Pelquin "; }
  void SetCaption(const std::string& c) override { caption = c; }
  void SetInterfaceLanguage(const InterfaceLanguage& l) override { interfaceLanguage = l; }

  std::unique_ptr<Menu> LoadMenu(const MenuTemplate& resource) override;
  void SetMenu(Menu* menu) override { m_menu = menu; }
  Menu* GetMenu() override { return m_menu; }

  bool CreateStatusBar(const std::string& initialPaneText) override;
  void SetStatusText(const std::string& text) override;
  std::string StatusText() const override { return m_status; }
  void SetStatusPaneWidth(int width) override { statusPaneWidth = width; }
  void MoveStatusBar(const Rect& r) override { statusBarMoves.push_back(r); }
  int StatusFontHeight() override { return statusFontHeight; }
  int statusPaneWidth = 0;

  Rect WindowRect() const override { return window; }
  Rect ClientRect() const override;
  void SetWindowSize(int width, int height) override;
  void UpdateWindow() override { ++updates; }
  void Invalidate() override {}
  int Metric(SystemMetric metric) const override;

  void SetTimer(int id, int periodMs) override { timers[id] = periodMs; }
  void KillTimer(int id) override { timers.erase(id); }
  void BeginWaitCursor() override { ++waitCursorDepth; }
  void EndWaitCursor() override { --waitCursorDepth; }

  std::string BrowseForFolder(const std::string& title, const std::string& startFolder) override;
  int RunModalDialog(const DialogTemplate& resource, DialogLogic& logic,
                     DialogOwner owner) override;
  void Show() override { shown = true; }
  void ClearVideoArea() override { ++videoAreaClears; }
  void FlashVideoArea() override { ++videoAreaFlashes; }
  int videoAreaClears = 0;
  int videoAreaFlashes = 0;

  // Property sheets: each one shown is recorded with its pages as they opened; the next
  // script in line plays the user's part on it (none: the sheet is closed unchanged).
  struct Sheet {
    std::vector<media::PropertyPage> pages;
    int x;
    int y;
  };
  std::vector<Sheet> sheets;
  std::deque<std::function<void(media::PropertyPages&)>> sheetScripts;
  media::PropertySheetHost* GetPropertySheetHost() override { return &m_sheetHost; }
  void CloseWindow() override { closeRequested = true; }

 private:
  class SheetHost : public media::PropertySheetHost {
   public:
    explicit SheetHost(FakeWindow& w) : m_w(w) {}
    void ShowPropertySheet(media::PropertyPages& pages, int x, int y) override;

   private:
    FakeWindow& m_w;
  };

  Menu* m_menu = nullptr;
  std::string m_status;
  SheetHost m_sheetHost{*this};
};

}  // namespace platform
