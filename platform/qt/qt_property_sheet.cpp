// QtPropertySheet: builds its controls from the pages' data and applies changes.
#include "platform/qt/qt_property_sheet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "platform/qt/dialog_look.h"

namespace platform {

namespace {

QString ToQ(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

// A slider and a spin box that move together; the spin box holds the value.
QWidget* RangeEditor(const media::Property& p, QWidget* parent) {
  auto* box = new QWidget(parent);
  auto* layout = new QHBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* slider = new QSlider(Qt::Horizontal, box);
  auto* spin = new QSpinBox(box);
  slider->setRange(p.minimum, p.maximum);
  slider->setSingleStep(std::max(1, p.step));
  spin->setRange(p.minimum, p.maximum);
  spin->setSingleStep(std::max(1, p.step));
  spin->setValue(p.value);
  slider->setValue(p.value);
  QObject::connect(slider, &QSlider::valueChanged, spin, &QSpinBox::setValue);
  QObject::connect(spin, qOverload<int>(&QSpinBox::valueChanged), slider, &QSlider::setValue);
  layout->addWidget(slider, 1);
  layout->addWidget(spin);
  spin->setObjectName("value");
  return box;
}

}  // namespace

QtPropertySheet::QtPropertySheet(media::PropertyPages& pages, QWidget* owner,
                                 const SheetTranslation& translate)
    : QDialog(owner), m_pages(pages) {
  UseFixedDialogFrame(this);
  const auto tr = [&translate](const std::string& english) {
    return ToQ(translate ? translate(english) : english);
  };
  // A device's sheet is captioned with its name; the host captions the others.
  const std::string name = pages.ObjectName();
  if (!name.empty()) setWindowTitle(ToQ(name) + " " + tr("Properties"));
  auto* tabs = new QTabWidget(this);
  std::vector<media::PropertyPage> data = pages.Pages();
  if (data.empty()) data.push_back({"General", {}});
  for (size_t pi = 0; pi < data.size(); ++pi) {
    auto* page = new QWidget(tabs);
    auto* form = new QFormLayout(page);
    for (size_t qi = 0; qi < data[pi].properties.size(); ++qi) {
      const media::Property& p = data[pi].properties[qi];
      QWidget* editor = nullptr;
      switch (p.kind) {
        case media::Property::Kind::Range:
          editor = RangeEditor(p, page);
          break;
        case media::Property::Kind::Enumeration: {
          auto* combo = new QComboBox(page);
          for (const std::string& c : p.choices) combo->addItem(tr(c));
          combo->setCurrentIndex(p.value);
          editor = combo;
          break;
        }
        case media::Property::Kind::Boolean: {
          auto* check = new QCheckBox(page);
          check->setChecked(p.value != 0);
          editor = check;
          break;
        }
      }
      form->addRow(tr(p.name), editor);
      editor->setEnabled(!p.inactive);
      m_rows.push_back({static_cast<int>(pi), static_cast<int>(qi), p.kind, editor, p.value});
    }
    if (data[pi].properties.empty())
      form->addRow(new QLabel(tr("This device has no settings to change."), page));
    tabs->addTab(page, tr(data[pi].title));
  }
  for (const Row& row : m_rows) m_opened.push_back(row.applied);
  // With nothing to set there is nothing to confirm, cancel or apply.
  const QDialogButtonBox::StandardButtons kinds =
      m_rows.empty() ? QDialogButtonBox::Close
                     : QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply;
  auto* buttons = new QDialogButtonBox(kinds, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  if (!m_rows.empty()) {
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
      ApplyChanges();
      accept();
    });
    connect(this, &QDialog::rejected, this, [this] {
      if (m_live) RevertToOpened();
    });
    connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this, [this] {
      ApplyChanges();
      Commit();
    });
  }
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

int32_t QtPropertySheet::ValueOf(const Row& row) const {
  switch (row.kind) {
    case media::Property::Kind::Range:
      return row.editor->findChild<QSpinBox*>("value")->value();
    case media::Property::Kind::Enumeration:
      return static_cast<QComboBox*>(row.editor)->currentIndex();
    case media::Property::Kind::Boolean:
      return static_cast<QCheckBox*>(row.editor)->isChecked() ? 1 : 0;
  }
  return 0;
}

void QtPropertySheet::ShowValue(Row& row, int32_t value) {
  switch (row.kind) {
    case media::Property::Kind::Range: {
      auto* spin = row.editor->findChild<QSpinBox*>("value");
      auto* slider = row.editor->findChild<QSlider*>();
      const QSignalBlocker quietSpin(spin), quietSlider(slider);
      spin->setValue(value);
      slider->setValue(value);
      break;
    }
    case media::Property::Kind::Enumeration: {
      const QSignalBlocker quiet(row.editor);
      static_cast<QComboBox*>(row.editor)->setCurrentIndex(value);
      break;
    }
    case media::Property::Kind::Boolean: {
      const QSignalBlocker quiet(row.editor);
      static_cast<QCheckBox*>(row.editor)->setChecked(value != 0);
      break;
    }
  }
}

void QtPropertySheet::Refresh() {
  const std::vector<media::PropertyPage> data = m_pages.Pages();
  for (Row& row : m_rows) {
    if (row.page >= static_cast<int>(data.size()) ||
        row.property >= static_cast<int>(data[row.page].properties.size()))
      continue;
    const media::Property& p = data[row.page].properties[row.property];
    row.applied = p.value;
    ShowValue(row, p.value);
    row.editor->setEnabled(!p.inactive);
  }
}

bool QtPropertySheet::ApplyChanges() {
  bool all = true, sent = false;
  for (Row& row : m_rows) {
    int32_t value = ValueOf(row);
    if (value == row.applied) continue;
    sent = true;
    if (m_pages.Apply(row.page, row.property, value)) {
      row.applied = value;
    } else {
      all = false;
      ShowValue(row, row.applied);
    }
  }
  // The device may round a value or switch a partner: show what it has now.
  if (sent) Refresh();
  return all;
}

void QtPropertySheet::Commit() {
  for (size_t i = 0; i < m_rows.size(); ++i) m_opened[i] = m_rows[i].applied;
}

void QtPropertySheet::SetLiveApply(bool live) {
  if (!live || m_live) return;
  m_live = true;
  for (const Row& row : m_rows) {
    switch (row.kind) {
      case media::Property::Kind::Range:
        connect(row.editor->findChild<QSpinBox*>("value"), qOverload<int>(&QSpinBox::valueChanged),
                this, [this] { ApplyChanges(); });
        break;
      case media::Property::Kind::Enumeration:
        connect(static_cast<QComboBox*>(row.editor),
                qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { ApplyChanges(); });
        break;
      case media::Property::Kind::Boolean:
        connect(static_cast<QCheckBox*>(row.editor), &QCheckBox::toggled, this,
                [this] { ApplyChanges(); });
        break;
    }
  }
}

void QtPropertySheet::RevertToOpened() {
  // In the driver's order, automatic modes before their partners: a partner is settable
  // again once its automatic mode is back off.
  bool sent = false;
  for (size_t i = 0; i < m_rows.size(); ++i) {
    Row& row = m_rows[i];
    if (row.applied == m_opened[i]) continue;
    sent = true;
    if (m_pages.Apply(row.page, row.property, m_opened[i])) row.applied = m_opened[i];
  }
  if (sent) Refresh();
}

QWidget* QtPropertySheet::Editor(int page, int property) const {
  for (const Row& row : m_rows)
    if (row.page == page && row.property == property) return row.editor;
  return nullptr;
}

void QtPropertySheetHost::ShowPropertySheet(media::PropertyPages& pages, int x, int y) {
  QtPropertySheet sheet(pages, m_owner, m_translate);
  // Captioned like the message boxes, the application's title, unless it is a device's.
  if (m_owner && pages.ObjectName().empty()) sheet.setWindowTitle(m_owner->window()->windowTitle());
  // The device shows each change at once; Cancel takes the values back.
  sheet.SetLiveApply(true);
  if (m_owner) sheet.move(m_owner->mapToGlobal(QPoint(0, 0)) + QPoint(x, y));
  sheet.exec();
}

}  // namespace platform
