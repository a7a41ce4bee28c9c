// The window-system services the main frame relies on: menus, message boxes, status
// pane, geometry, timer, painting, wait cursor, the folder browser and modal dialogs
// built from templates.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace media {
class VideoSurface;
class PropertySheetHost;
}  // namespace media

namespace platform {

enum class MessageIcon { None, Error, Warning, Information, Question };
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageResult { Ok, Cancel, Yes, No };

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const Rect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};

// The metrics the frame's sizing rules read.
enum class SystemMetric { CyBorder, CxBorder, CxMin };

// The colours the frame paints with.
enum class SystemColor { ButtonText };

// One menu bar or popup. Items are addressed by command id (searched through every
// popup below this menu, as window-system menus do) or by position in this menu.
class Menu {
 public:
  virtual ~Menu() = default;
  virtual int ItemCount() const = 0;
  // The popup at a position, or null when that item is not a popup.
  virtual Menu* SubMenu(int position) = 0;
  // Command id of the item at a position; 0 for popups and separators, -1 when out of range.
  virtual int64_t IdAtPosition(int position) const = 0;
  virtual std::string TextAtPosition(int position) const = 0;
  // Text of a command item anywhere below this menu; empty when not found.
  virtual std::string TextOfCommand(uint32_t id) const = 0;
  virtual bool IsChecked(uint32_t id) const = 0;
  virtual bool IsEnabled(uint32_t id) const = 0;

  // Each returns false when the item does not exist, and then changes nothing.
  virtual bool ModifyByCommand(uint32_t id, const std::string& text) = 0;
  virtual bool ModifyByPosition(int position, const std::string& text) = 0;
  virtual bool CheckByCommand(uint32_t id, bool checked) = 0;
  virtual bool EnableByCommand(uint32_t id, bool enabled) = 0;
  virtual bool RemoveByPosition(int position) = 0;
  virtual bool AppendItem(uint32_t id, const std::string& text) = 0;
  virtual bool AppendSeparator() = 0;
};

// A menu resource written as data: items in order, each with its nesting depth
// (0 = on the bar). A popup's items follow it at depth + 1.
struct MenuTemplateItem {
  enum class Kind { Popup, Command, Separator };
  int depth;
  Kind kind;
  uint32_t id;  // command id; 0 for popups and separators
  const char* text;
};
using MenuTemplate = std::vector<MenuTemplateItem>;

// A dialog resource written as data: a caption, a font, a size and controls, all
// sizes and positions in dialog units of the dialog's font.
struct DialogControl {
  enum class Kind {
    AutoCheckBox,   // a check box that toggles itself when clicked
    Static,         // left-aligned text
    NumberEdit,     // bordered edit box that takes digits only and scrolls horizontally
    DefPushButton,  // the default button, pressed by Enter
    PushButton,
    Icon,  // the application icon
  };
  Kind kind;
  int id;  // kNoControlId for controls the program never addresses
  int x, y, cx, cy;
  const char* text;       // the template's text
  bool noPrefix = false;  // '&' is shown as it stands, not as a mnemonic
};
constexpr int kNoControlId = -1;

struct DialogTemplate {
  int resourceId;
  int cx, cy;
  const char* caption;
  const char* fontName;  // a Windows face name; the window system maps it to a face it has
  int fontPointSize;
  std::vector<DialogControl> controls;
};

// What DoModal-style calls return: the id of the button that ended the dialog.
constexpr int kDialogOk = 1;
constexpr int kDialogCancel = 2;
constexpr int kDialogFailed = -1;  // the dialog could not be created

// The running dialog as its logic sees it.
class DialogControls {
 public:
  virtual ~DialogControls() = default;
  virtual void SetCaption(const std::string& text) = 0;
  virtual std::string Caption() const = 0;
  // Each returns false when the dialog has no control with that id.
  virtual bool SetItemText(int id, const std::string& text) = 0;
  virtual std::string ItemText(int id) const = 0;
  virtual bool CheckItem(int id, bool checked) = 0;
  virtual bool IsItemChecked(int id) const = 0;
  // Moves the keyboard focus to a control and selects its whole text.
  virtual void FocusItem(int id) = 0;
  // A message box owned by the dialog, with the application title as caption.
  virtual void ShowMessage(const std::string& text, MessageIcon icon) = 0;
  // Ends the modal loop; RunModalDialog returns the result.
  virtual void EndDialog(int result) = 0;
};

// The dialog's own behaviour, called on the user-interface thread inside the modal loop.
class DialogLogic {
 public:
  virtual ~DialogLogic() = default;
  // The dialog is about to become visible: set its texts and values.
  virtual void OnShowWindow(DialogControls& dialog) = 0;
  // The default button or Enter. Ends the dialog with kDialogOk, or keeps it open.
  virtual void OnOK(DialogControls& dialog) { dialog.EndDialog(kDialogOk); }
  // The Cancel button, Escape and the close box.
  virtual void OnCancel(DialogControls& dialog) { dialog.EndDialog(kDialogCancel); }
};

// Who a modal dialog belongs to.
enum class DialogOwner {
  Window,  // the window is the dialog's parent; the dialog stands over it
  None,    // no parent: the dialog is on its own (placed over the window all the same)
};

// Where the frame paints during a paint request.
class Painter {
 public:
  virtual ~Painter() = default;
  virtual void FillRectangle(const Rect& r, SystemColor color) = 0;
};

// The language the interface speaks, as the frame chose it at start.
struct InterfaceLanguage {
  // POSIX locale name ("zh_CN", "fr"): the window system's own texts (standard buttons,
  // the folder browser) and the faces of the dialogs' fonts follow it.
  std::string locale;
  // The window system's own pages show texts that the program hands over in English
  // (property pages); this gives each in the interface's language. Empty: as they are.
  std::function<std::string(const std::string& english)> translate;
};

// The main window as the frame sees it. Every message box belongs to it.
class Window {
 public:
  virtual ~Window() = default;

  // An empty caption means the application title (what the framework shows by default).
  virtual MessageResult ShowMessage(const std::string& text, const std::string& caption,
                                    MessageIcon icon,
                                    MessageButtons buttons = MessageButtons::Ok) = 0;
  // A message with its reason underneath (as detail text); by default one text.
  virtual MessageResult ShowDetailedMessage(const std::string& text, const std::string& detail,
                                            const std::string& caption, MessageIcon icon) {
    return ShowMessage(detail.empty() ? text : text + "\n\n" + detail, caption, icon);
  }
  virtual std::string ApplicationTitle() const = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  // Set once, while the window is being created, before any dialog or message shows.
  virtual void SetInterfaceLanguage(const InterfaceLanguage& language) { (void)language; }

  // Builds a menu bar from a resource description; SetMenu installs it (the window
  // shows it but does not own it) and GetMenu returns what is installed.
  virtual std::unique_ptr<Menu> LoadMenu(const MenuTemplate& resource) = 0;
  virtual void SetMenu(Menu* menu) = 0;
  virtual Menu* GetMenu() = 0;

  // The one-pane status bar. Its initial pane width is the width of the given text.
  virtual bool CreateStatusBar(const std::string& initialPaneText) = 0;
  virtual void SetStatusText(const std::string& text) = 0;
  virtual std::string StatusText() const = 0;
  virtual void SetStatusPaneWidth(int width) = 0;
  virtual void MoveStatusBar(const Rect& r) = 0;
  // Text height of the status font (a 12-pixel normal-weight sans font).
  virtual int StatusFontHeight() = 0;

  // Geometry in pixels. The window rectangle is in screen coordinates, the client
  // rectangle starts at (0, 0).
  virtual Rect WindowRect() const = 0;
  virtual Rect ClientRect() const = 0;
  virtual void SetWindowSize(int width, int height) = 0;  // keeps the position
  virtual void UpdateWindow() = 0;
  virtual void Invalidate() = 0;
  virtual int Metric(SystemMetric metric) const = 0;

  virtual void SetTimer(int id, int periodMs) = 0;
  virtual void KillTimer(int id) = 0;

  virtual void BeginWaitCursor() = 0;
  virtual void EndWaitCursor() = 0;
  // Waits about ms on the user-interface thread while the window keeps repainting; no
  // input, timer tick or command reaches the frame meanwhile (a close asked for is
  // delivered after the wait). False when the window cannot: the caller sleeps instead.
  virtual bool PaintWhileWaiting(uint32_t ms) {
    (void)ms;
    return false;
  }

  // A folder browser opening at startFolder; empty result when cancelled.
  virtual std::string BrowseForFolder(const std::string& title, const std::string& startFolder) = 0;

  // Runs a dialog built from a template modally; returns the id that ended it, or
  // kDialogFailed when the window system cannot show dialogs.
  virtual int RunModalDialog(const DialogTemplate& resource, DialogLogic& logic,
                             DialogOwner owner = DialogOwner::Window) {
    (void)resource;
    (void)logic;
    (void)owner;
    return kDialogFailed;
  }

  // The video window's drawing area, a child of the client area that the window owns;
  // null when the window has none.
  virtual media::VideoSurface* GetVideoSurface() { return nullptr; }
  // The video area goes black (the preview was switched off), or flashes briefly (a
  // snapshot was taken).
  virtual void ClearVideoArea() {}
  virtual void FlashVideoArea() {}
  // Where property sheets open, owned by this window; null when it shows none.
  virtual media::PropertySheetHost* GetPropertySheetHost() { return nullptr; }

  virtual void Show() = 0;
  // Asks the window to close: the frame's OnClose runs, then the window goes away.
  virtual void CloseWindow() = 0;
};

// What the frame asks of its window before it exists.
struct WindowCreateParams {
  std::string caption;
  int width = 0;
  int height = 0;
};

// What the window system delivers to the frame, in the order it happens.
class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  virtual int OnCreate() = 0;  // -1 = do not create the window
  virtual void ActivateFrame() = 0;
  virtual void OnShowWindow(bool shown) = 0;
  virtual void OnInitMenu() = 0;
  virtual bool OnCommand(uint32_t id) = 0;
  virtual void OnSize(int width, int height) = 0;
  virtual void OnPaint(Painter& painter) = 0;
  virtual void OnTimer(int id) = 0;
  virtual void OnClose() = 0;
};

// Makes the frame's window, not yet shown; the application attaches it to the frame
// and delivers OnCreate before showing it.
class WindowFactory {
 public:
  virtual ~WindowFactory() = default;
  virtual std::unique_ptr<Window> CreateFrameWindow(const WindowCreateParams& params,
                                                    WindowEvents& events) = 0;
};

}  // namespace platform
