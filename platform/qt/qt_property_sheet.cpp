// QtPropertySheet: builds its controls from the pages' data and applies changes.
#include "platform/qt/qt_property_sheet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

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

QtPropertySheet::QtPropertySheet(media::PropertyPages& pages, QWidget* owner)
    : QDialog(owner), m_pages(pages) {
  auto* tabs = new QTabWidget(this);
  std::vector<media::PropertyPage> data = pages.Pages();
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
          for (const std::string& c : p.choices) combo->addItem(ToQ(c));
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
      form->addRow(ToQ(p.name), editor);
      m_rows.push_back({static_cast<int>(pi), static_cast<int>(qi), p.kind, editor, p.value});
    }
    tabs->addTab(page, ToQ(data[pi].title));
  }
  auto* buttons = new QDialogButtonBox(
      QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    ApplyChanges();
    accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this,
          [this] { ApplyChanges(); });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs);
  layout->addWidget(buttons);
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

void QtPropertySheet::SetValue(Row& row, int32_t value) {
  switch (row.kind) {
    case media::Property::Kind::Range:
      row.editor->findChild<QSpinBox*>("value")->setValue(value);
      break;
    case media::Property::Kind::Enumeration:
      static_cast<QComboBox*>(row.editor)->setCurrentIndex(value);
      break;
    case media::Property::Kind::Boolean:
      static_cast<QCheckBox*>(row.editor)->setChecked(value != 0);
      break;
  }
}

bool QtPropertySheet::ApplyChanges() {
  bool all = true;
  for (Row& row : m_rows) {
    int32_t value = ValueOf(row);
    if (value == row.applied) continue;
    if (m_pages.Apply(row.page, row.property, value)) {
      row.applied = value;
    } else {
      all = false;
      SetValue(row, row.applied);
    }
  }
  return all;
}

QWidget* QtPropertySheet::Editor(int page, int property) const {
  for (const Row& row : m_rows)
    if (row.page == page && row.property == property) return row.editor;
  return nullptr;
}

void QtPropertySheetHost::ShowPropertySheet(media::PropertyPages& pages, int x, int y) {
  QtPropertySheet sheet(pages, m_owner);
  if (m_owner) sheet.move(m_owner->mapToGlobal(QPoint(0, 0)) + QPoint(x, y));
  sheet.exec();
}

}  // namespace platform
