// QtMenu: window-system menu operations on QActions.
#include "platform/qt/qt_menu.h"

#include <functional>
#include <vector>

namespace platform {

namespace {

const char* const kIdProperty = "ostrelCommandId";
// The check mark the program gave the item; Qt's own toggling on a click is undone.
const char* const kCheckedProperty = "ostrelChecked";

QString ToQ(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}
std::string FromQ(const QString& s) { return s.toUtf8().toStdString(); }

bool HasId(const QAction* a, uint32_t id) {
  QVariant v = a->property(kIdProperty);
  return v.isValid() && v.toUInt() == id;
}

QAction* MakeCommand(QObject* parent, uint32_t id, const std::string& text) {
  auto* a = new QAction(ToQ(text), parent);
  a->setProperty(kIdProperty, id);
  // Connected before any menu hears of the action, so it runs before the command is
  // dispatched: a click never changes the mark.
  QObject::connect(a, &QAction::triggered, a, [a] {
    const bool checked = a->property(kCheckedProperty).toBool();
    if (a->isChecked() != checked) a->setChecked(checked);
  });
  return a;
}

}  // namespace

QtMenu::QtMenu(QWidget* widget, bool owning) : m_widget(widget), m_owning(owning) {}

QtMenu::~QtMenu() {
  if (m_owning && m_widget && !m_widget->parent()) delete m_widget.data();
}

std::unique_ptr<QtMenu> QtMenu::FromTemplate(const MenuTemplate& resource) {
  auto* bar = new QMenuBar();
  std::vector<QWidget*> stack{bar};  // stack[d] receives items of depth d
  for (const MenuTemplateItem& item : resource) {
    if (item.depth < 0 || item.depth >= static_cast<int>(stack.size())) continue;
    stack.resize(static_cast<size_t>(item.depth) + 1);
    QWidget* parent = stack.back();
    switch (item.kind) {
      case MenuTemplateItem::Kind::Popup: {
        auto* popup = new QMenu(ToQ(item.text), parent);
        parent->addAction(popup->menuAction());
        stack.push_back(popup);
        break;
      }
      case MenuTemplateItem::Kind::Command:
        parent->addAction(MakeCommand(parent, item.id, item.text));
        break;
      case MenuTemplateItem::Kind::Separator: {
        auto* sep = new QAction(parent);
        sep->setSeparator(true);
        parent->addAction(sep);
        break;
      }
    }
  }
  return std::make_unique<QtMenu>(bar, true);
}

QList<QAction*> QtMenu::Actions() const {
  return m_widget ? m_widget->actions() : QList<QAction*>{};
}

QAction* QtMenu::ActionAt(int position) const {
  QList<QAction*> actions = Actions();
  if (position < 0 || position >= actions.size()) return nullptr;
  return actions[position];
}

QAction* QtMenu::FindCommand(uint32_t id) const {
  std::function<QAction*(QWidget*)> find = [&](QWidget* w) -> QAction* {
    for (QAction* a : w->actions()) {
      if (a->menu()) {
        if (QAction* hit = find(a->menu())) return hit;
      } else if (!a->isSeparator() && HasId(a, id)) {
        return a;
      }
    }
    return nullptr;
  };
  return m_widget ? find(m_widget) : nullptr;
}

int QtMenu::ItemCount() const { return static_cast<int>(Actions().size()); }

Menu* QtMenu::SubMenu(int position) {
  QAction* a = ActionAt(position);
  if (!a || !a->menu()) return nullptr;
  QMenu* popup = a->menu();
  auto& slot = m_subMenus[popup];
  if (!slot) slot = std::make_unique<QtMenu>(popup, false);
  return slot.get();
}

int64_t QtMenu::IdAtPosition(int position) const {
  QAction* a = ActionAt(position);
  if (!a) return -1;
  if (a->menu() || a->isSeparator()) return 0;
  return a->property(kIdProperty).toUInt();
}

std::string QtMenu::TextAtPosition(int position) const {
  QAction* a = ActionAt(position);
  return a ? FromQ(a->text()) : std::string();
}

std::string QtMenu::TextOfCommand(uint32_t id) const {
  QAction* a = FindCommand(id);
  return a ? FromQ(a->text()) : std::string();
}

bool QtMenu::IsChecked(uint32_t id) const {
  QAction* a = FindCommand(id);
  return a && a->property(kCheckedProperty).toBool();
}

bool QtMenu::IsEnabled(uint32_t id) const {
  QAction* a = FindCommand(id);
  return a && a->isEnabled();
}

bool QtMenu::ModifyByCommand(uint32_t id, const std::string& text) {
  QAction* a = FindCommand(id);
  if (!a) return false;
  a->setText(ToQ(text));
  return true;
}

bool QtMenu::ModifyByPosition(int position, const std::string& text) {
  QAction* a = ActionAt(position);
  if (!a) return false;
  if (a->menu()) a->menu()->setTitle(ToQ(text));
  a->setText(ToQ(text));
  return true;
}

bool QtMenu::CheckByCommand(uint32_t id, bool checked) {
  QAction* a = FindCommand(id);
  if (!a) return false;
  a->setProperty(kCheckedProperty, checked);
  // Only a checked item is checkable, so an unchecked one shows no empty box.
  a->setCheckable(checked);
  a->setChecked(checked);
  return true;
}

bool QtMenu::EnableByCommand(uint32_t id, bool enabled) {
  QAction* a = FindCommand(id);
  if (!a) return false;
  a->setEnabled(enabled);
  return true;
}

bool QtMenu::RemoveByPosition(int position) {
  QAction* a = ActionAt(position);
  if (!a) return false;
  m_widget->removeAction(a);
  if (a->menu()) m_subMenus.erase(a->menu());
  if (a->parent() == m_widget) a->deleteLater();
  return true;
}

bool QtMenu::AppendItem(uint32_t id, const std::string& text) {
  if (!m_widget) return false;
  m_widget->addAction(MakeCommand(m_widget, id, text));
  return true;
}

bool QtMenu::AppendSeparator() {
  if (!m_widget) return false;
  auto* sep = new QAction(m_widget);
  sep->setSeparator(true);
  m_widget->addAction(sep);
  return true;
}

}  // namespace platform
