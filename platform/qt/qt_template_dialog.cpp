// QtTemplateDialog: widgets for the template's controls, placed from dialog units.
#include "platform/qt/qt_template_dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QStyle>
#include <algorithm>

#include "platform/qt/dialog_look.h"

namespace platform {

namespace {

QString ToQ(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

// MulDiv for the non-negative values of a template: rounded to the nearest.
int MulDiv(int a, int b, int c) { return (a * b + c / 2) / c; }

// The application icon, or a drawn camera when the application has none.
QPixmap AppIconPixmap(QWidget* from, QSize size) {
  QIcon icon = from ? from->windowIcon() : QApplication::windowIcon();
  if (icon.isNull()) icon = QApplication::windowIcon();
  if (!icon.isNull()) return icon.pixmap(size);
  QPixmap pm(size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal w = size.width(), h = size.height();
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(60, 64, 72));
  p.drawRoundedRect(QRectF(w * 0.06, h * 0.22, w * 0.88, h * 0.62), w * 0.1, w * 0.1);
  p.drawRect(QRectF(w * 0.32, h * 0.12, w * 0.3, h * 0.14));
  p.setBrush(QColor(170, 200, 235));
  p.drawEllipse(QPointF(w * 0.5, h * 0.53), w * 0.22, h * 0.22);
  p.setBrush(QColor(40, 70, 120));
  p.drawEllipse(QPointF(w * 0.5, h * 0.53), w * 0.12, h * 0.12);
  return pm;
}

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Error:
      return QMessageBox::Critical;
    case MessageIcon::Warning:
      return QMessageBox::Warning;
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::Question:
      return QMessageBox::Question;
    case MessageIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

QFont QtTemplateDialog::DialogFont(const char* face, int pointSize) {
  // The template names a Windows face ("宋体", a serif Song face). Latin text is drawn in
  // the desktop's interface face and CJK text in the CJK face of the interface's language.
  (void)face;
  QFont font = InterfaceFont(QLocale().name());
  font.setPointSize(pointSize > 0 ? pointSize : 9);
  font.setWeight(QFont::Normal);
  font.setItalic(false);
  return font;
}

QSize QtTemplateDialog::BaseUnits(const QFont& font) {
  QFontMetrics fm(font);
  const int extent =
      fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return {std::max(1, (extent / 26 + 1) / 2), std::max(1, fm.height())};
}

QRect QtTemplateDialog::MapDialogRect(int x, int y, int cx, int cy, QSize b) {
  return QRect(MulDiv(x, b.width(), 4), MulDiv(y, b.height(), 8), MulDiv(cx, b.width(), 4),
               MulDiv(cy, b.height(), 8));
}

QtTemplateDialog::QtTemplateDialog(const DialogTemplate& resource, DialogLogic& logic,
                                   QWidget* parent, QWidget* placeOver,
                                   const QString& applicationTitle)
    : QDialog(parent, FixedDialogFlags()),
      m_resource(resource),
      m_logic(logic),
      m_placeOver(placeOver ? placeOver : parent),
      m_appTitle(applicationTitle) {
  setModal(true);
  setObjectName(QStringLiteral("dialog_%1").arg(resource.resourceId));
  setWindowTitle(QString::fromUtf8(resource.caption ? resource.caption : ""));
  setFont(DialogFont(resource.fontName, resource.fontPointSize));
  m_baseUnits = BaseUnits(font());
  m_templateSize = MapDialogRect(0, 0, resource.cx, resource.cy, m_baseUnits).size();
  Build();
  LayOut();
}

void QtTemplateDialog::Build() {
  using Kind = DialogControl::Kind;
  for (const DialogControl& c : m_resource.controls) {
    const QString text = QString::fromUtf8(c.text ? c.text : "");
    QWidget* w = nullptr;
    switch (c.kind) {
      case Kind::AutoCheckBox:
        w = new QCheckBox(text, this);  // toggles itself on a click or the space bar
        break;
      case Kind::Static: {
        auto* label = new QLabel(text, this);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        w = label;
        break;
      }
      case Kind::NumberEdit: {
        auto* edit = new QLineEdit(text, this);
        edit->setFrame(true);
        edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
        w = edit;
        break;
      }
      case Kind::DefPushButton:
      case Kind::PushButton: {
        auto* button = new QPushButton(text, this);
        button->setDefault(c.kind == Kind::DefPushButton);
        const int id = c.id;
        connect(button, &QPushButton::clicked, this, [this, id] {
          if (id == kDialogOk) {
            m_logic.OnOK(*this);
          } else if (id == kDialogCancel) {
            m_logic.OnCancel(*this);
          }
        });
        w = button;
        break;
      }
      case Kind::Icon: {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("icon"));
        w = label;
        break;
      }
    }
    if (c.id != kNoControlId) {
      w->setObjectName(QStringLiteral("control_%1").arg(c.id));
      w->setProperty("ostrelControlId", c.id);
      m_byId[c.id] = w;
    }
    m_controls.push_back({&c, w});
  }
  // The first control that takes the focus has it when the dialog opens, as in the template.
  for (const Placed& p : m_controls) {
    if (p.control->kind != Kind::Static && p.control->kind != Kind::Icon) {
      p.widget->setFocus(Qt::OtherFocusReason);
      break;
    }
  }
}

int QtTemplateDialog::TextWidthNeeded(const Placed& p) const {
  using Kind = DialogControl::Kind;
  QFontMetrics fm(font());
  switch (p.control->kind) {
    case Kind::AutoCheckBox:
      return p.widget->sizeHint().width();
    case Kind::Static:
      return fm.horizontalAdvance(static_cast<QLabel*>(p.widget)->text()) + 1;
    case Kind::DefPushButton:
    case Kind::PushButton: {
      auto* button = static_cast<QPushButton*>(p.widget);
      const QStyle* s = button->style();
      // The frame, the style's margin and one average character of air.
      return fm.horizontalAdvance(button->text()) + s->pixelMetric(QStyle::PM_ButtonMargin) +
             2 * s->pixelMetric(QStyle::PM_DefaultFrameWidth) +
             2 * s->pixelMetric(QStyle::PM_ButtonDefaultIndicator) + m_baseUnits.width();
    }
    case Kind::NumberEdit:
    case Kind::Icon:
      break;
  }
  return 0;
}

// Places every control at its template rectangle. Where a translated text is wider than
// its control, the control grows to show it whole and the controls to its right on the
// same line move along; the dialog widens to keep its right margin.
void QtTemplateDialog::LayOut() {
  std::vector<QRect> rects;
  int templateRight = 0;
  for (const Placed& p : m_controls) {
    const DialogControl& c = *p.control;
    rects.push_back(MapDialogRect(c.x, c.y, c.cx, c.cy, m_baseUnits));
    templateRight = std::max(templateRight, rects.back().right() + 1);
  }
  const int rightMargin = std::max(0, m_templateSize.width() - templateRight);

  std::vector<size_t> order(m_controls.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return rects[a].left() < rects[b].left(); });
  for (size_t i : order) {
    const int grow = TextWidthNeeded(m_controls[i]) - rects[i].width();
    if (grow <= 0) continue;
    const QRect before = rects[i];
    rects[i].setWidth(before.width() + grow);
    for (size_t j = 0; j < rects.size(); ++j) {
      const bool sameLine = rects[j].top() <= before.bottom() && rects[j].bottom() >= before.top();
      if (j != i && sameLine && rects[j].left() >= before.right()) rects[j].translate(grow, 0);
    }
  }

  int right = 0;
  for (size_t i = 0; i < m_controls.size(); ++i) {
    QWidget* w = m_controls[i].widget;
    w->setGeometry(rects[i]);
    right = std::max(right, rects[i].right() + 1);
    if (m_controls[i].control->kind == DialogControl::Kind::Icon) {
      static_cast<QLabel*>(w)->setPixmap(AppIconPixmap(m_placeOver, rects[i].size()));
    }
  }
  setFixedSize(std::max(m_templateSize.width(), right + rightMargin), m_templateSize.height());
}

QWidget* QtTemplateDialog::Control(int id) const {
  auto it = m_byId.find(id);
  return it == m_byId.end() ? nullptr : it->second;
}

void QtTemplateDialog::SetCaption(const std::string& text) { setWindowTitle(ToQ(text)); }

std::string QtTemplateDialog::Caption() const { return windowTitle().toUtf8().toStdString(); }

bool QtTemplateDialog::SetItemText(int id, const std::string& text) {
  QWidget* w = Control(id);
  if (auto* b = qobject_cast<QAbstractButton*>(w)) {
    b->setText(ToQ(text));
  } else if (auto* l = qobject_cast<QLabel*>(w)) {
    l->setText(ToQ(text));
  } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
    e->setText(ToQ(text));  // as a program sets it: past the key filter
  } else {
    return false;
  }
  if (isVisible()) LayOut();
  return true;
}

std::string QtTemplateDialog::ItemText(int id) const {
  QWidget* w = Control(id);
  QString text;
  if (auto* b = qobject_cast<QAbstractButton*>(w)) {
    text = b->text();
  } else if (auto* l = qobject_cast<QLabel*>(w)) {
    text = l->text();
  } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
    text = e->text();
  }
  return text.toUtf8().toStdString();
}

bool QtTemplateDialog::CheckItem(int id, bool checked) {
  auto* box = qobject_cast<QCheckBox*>(Control(id));
  if (!box) return false;
  box->setChecked(checked);
  return true;
}

bool QtTemplateDialog::IsItemChecked(int id) const {
  auto* box = qobject_cast<QCheckBox*>(Control(id));
  return box && box->isChecked();
}

void QtTemplateDialog::FocusItem(int id) {
  QWidget* w = Control(id);
  if (!w) return;
  w->setFocus(Qt::OtherFocusReason);
  if (auto* e = qobject_cast<QLineEdit*>(w)) e->selectAll();
}

void QtTemplateDialog::ShowMessage(const std::string& text, MessageIcon icon) {
  QMessageBox box(ToQtIcon(icon), m_appTitle, ToQ(text), QMessageBox::Ok, this);
  UseFixedDialogFrame(&box);
  box.exec();
}

void QtTemplateDialog::EndDialog(int result) { done(result); }

void QtTemplateDialog::setVisible(bool visible) {
  if (visible && !isVisible()) {
    // The logic sets its texts before the first paint; the layout follows the texts.
    m_logic.OnShowWindow(*this);
    LayOut();
    if (!parentWidget() && m_placeOver && m_placeOver->isVisible()) {
      QRect over = m_placeOver->frameGeometry();
      move(over.center() - QPoint(width() / 2, height() / 2));
    } else if (!parentWidget()) {
      if (QScreen* screen = QApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
      }
    }
  }
  QDialog::setVisible(visible);
}

void QtTemplateDialog::reject() { m_logic.OnCancel(*this); }

}  // namespace platform
