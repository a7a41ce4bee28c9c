// A modal dialog built from a dialog template: controls placed from dialog units by
// the dialog font's metrics, as the template's platform places them, with the
// dialog's logic called for show, OK and cancel.
#pragma once

#include <QDialog>
#include <QFont>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <map>
#include <vector>

#include "platform/ui.h"

namespace platform {

class QtTemplateDialog : public QDialog, public DialogControls {
 public:
  // placeOver: the window a dialog without a parent is centred over (may be null).
  QtTemplateDialog(const DialogTemplate& resource, DialogLogic& logic, QWidget* parent,
                   QWidget* placeOver, const QString& applicationTitle);

  // The template's face mapped to a face this machine has (CJK-capable for 宋体).
  static QFont DialogFont(const char* face, int pointSize);
  // Pixels per 4 horizontal and per 8 vertical dialog units: the average width of the
  // Latin letters and the height of the font.
  static QSize BaseUnits(const QFont& font);
  // A template rectangle in pixels (rounded as MulDiv rounds).
  static QRect MapDialogRect(int x, int y, int cx, int cy, QSize baseUnits);

  // The control with a template id, for tests; the icon has the object name "icon".
  QWidget* Control(int id) const;
  QSize BaseUnits() const { return m_baseUnits; }
  // The client size the template asks for, before any control grew to fit its text.
  QSize TemplateSize() const { return m_templateSize; }

  void SetCaption(const std::string& text) override;
  std::string Caption() const override;
  bool SetItemText(int id, const std::string& text) override;
  std::string ItemText(int id) const override;
  bool CheckItem(int id, bool checked) override;
  bool IsItemChecked(int id) const override;
  void FocusItem(int id) override;
  void ShowMessage(const std::string& text, MessageIcon icon) override;
  void EndDialog(int result) override;

  void setVisible(bool visible) override;
  void reject() override;  // Escape and the close box

 private:
  struct Placed {
    const DialogControl* control;
    QWidget* widget;
  };
  void Build();
  void LayOut();
  int TextWidthNeeded(const Placed& p) const;

  const DialogTemplate& m_resource;
  DialogLogic& m_logic;
  QPointer<QWidget> m_placeOver;
  QString m_appTitle;
  QSize m_baseUnits;
  QSize m_templateSize;
  std::vector<Placed> m_controls;
  std::map<int, QWidget*> m_byId;
};

}  // namespace platform
