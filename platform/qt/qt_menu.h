// platform::Menu over a Qt menu bar or popup; command ids live in the actions' data.
#pragma once

#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <map>
#include <memory>

#include "platform/ui.h"

namespace platform {

class QtMenu : public Menu {
 public:
  // A menu over `widget` (a QMenuBar or a QMenu). The owning menu (the bar) deletes
  // the widget when it is destroyed while no window has taken it.
  QtMenu(QWidget* widget, bool owning);
  ~QtMenu() override;

  static std::unique_ptr<QtMenu> FromTemplate(const MenuTemplate& resource);
  QMenuBar* Bar() const { return qobject_cast<QMenuBar*>(m_widget.data()); }

  int ItemCount() const override;
  Menu* SubMenu(int position) override;
  int64_t IdAtPosition(int position) const override;
  std::string TextAtPosition(int position) const override;
  std::string TextOfCommand(uint32_t id) const override;
  bool IsChecked(uint32_t id) const override;
  bool IsEnabled(uint32_t id) const override;
  bool ModifyByCommand(uint32_t id, const std::string& text) override;
  bool ModifyByPosition(int position, const std::string& text) override;
  bool CheckByCommand(uint32_t id, bool checked) override;
  bool EnableByCommand(uint32_t id, bool enabled) override;
  bool RemoveByPosition(int position) override;
  bool AppendItem(uint32_t id, const std::string& text) override;
  bool AppendSeparator() override;

 private:
  QList<QAction*> Actions() const;
  QAction* ActionAt(int position) const;
  QAction* FindCommand(uint32_t id) const;

  QPointer<QWidget> m_widget;
  bool m_owning;
  std::map<QMenu*, std::unique_ptr<QtMenu>> m_subMenus;
};

}  // namespace platform
