// The generic property sheet: controls from data, changed values applied, refusals undone.
#include "platform/qt/qt_property_sheet.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QSpinBox>
#include <QTabWidget>

namespace {

// An object that keeps what it accepts; its sharpness can be set only while it is not
// automatic, as a camera's white balance temperature.
class RecordingPages : public media::PropertyPages {
 public:
  std::vector<media::PropertyPage> Pages() override {
    media::Property brightness;
    brightness.name = "Brightness";
    brightness.minimum = -64;
    brightness.maximum = 64;
    brightness.value = brightness_;
    media::Property size;
    size.name = "Output size";
    size.kind = media::Property::Kind::Enumeration;
    size.choices = {"640x480", "320x240", "1280x960"};
    size.value = size_;
    media::Property mirror;
    mirror.name = "Mirror";
    mirror.kind = media::Property::Kind::Boolean;
    media::Property automatic;
    automatic.name = "Sharpness, Auto";
    automatic.kind = media::Property::Kind::Boolean;
    automatic.value = auto_;
    media::Property sharpness;
    sharpness.name = "Sharpness";
    sharpness.maximum = 7;
    sharpness.value = sharpness_;
    sharpness.inactive = auto_ != 0;
    return {{"Picture", {brightness}}, {"Size", {size, mirror, automatic, sharpness}}};
  }
  bool Apply(int page, int property, int32_t value) override {
    applied.push_back({page, property, value});
    if (page == 0) brightness_ = value;
    if (page == 1 && property == 0) size_ = value;
    if (page == 1 && property == 2) auto_ = value;
    if (page == 1 && property == 3) {
      if (auto_) return false;
      sharpness_ = value;
    }
    return !(page == 1 && property == 1);  // the object refuses the mirror switch
  }
  std::string ObjectName() const override { return "USB Camera"; }
  int32_t brightness_ = 0, size_ = 0, auto_ = 1, sharpness_ = 3;
  struct Call {
    int page, property;
    int32_t value;
  };
  std::vector<Call> applied;
};

TEST(QtPropertySheet, AppliesOnlyChangedValuesAndUndoesRefusedOnes) {
  RecordingPages pages;
  platform::QtPropertySheet sheet(pages, nullptr);
  EXPECT_TRUE(sheet.ApplyChanges());
  EXPECT_TRUE(pages.applied.empty()) << "nothing changed";

  sheet.Editor(0, 0)->findChild<QSpinBox*>("value")->setValue(20);
  static_cast<QComboBox*>(sheet.Editor(1, 0))->setCurrentIndex(2);
  auto* mirror = static_cast<QCheckBox*>(sheet.Editor(1, 1));
  mirror->setChecked(true);
  EXPECT_FALSE(sheet.ApplyChanges());
  ASSERT_EQ(pages.applied.size(), 3u);
  EXPECT_EQ(pages.applied[0].value, 20);
  EXPECT_EQ(pages.applied[1].value, 2);
  EXPECT_EQ(pages.applied[2].value, 1);
  EXPECT_FALSE(mirror->isChecked()) << "a refused value goes back";

  pages.applied.clear();
  EXPECT_TRUE(sheet.ApplyChanges());
  EXPECT_TRUE(pages.applied.empty()) << "applied values are not sent again";
}

TEST(QtPropertySheet, LiveSheetAppliesEachChangeAndCancelTakesThemBack) {
  RecordingPages pages;
  platform::QtPropertySheet sheet(pages, nullptr);
  sheet.SetLiveApply(true);
  sheet.Editor(0, 0)->findChild<QSpinBox*>("value")->setValue(20);
  ASSERT_EQ(pages.applied.size(), 1u) << "applied while the sheet is open";
  EXPECT_EQ(pages.applied[0].value, 20);
  static_cast<QComboBox*>(sheet.Editor(1, 0))->setCurrentIndex(1);
  ASSERT_EQ(pages.applied.size(), 2u);
  sheet.reject();
  ASSERT_EQ(pages.applied.size(), 4u);
  EXPECT_EQ(pages.applied[2].page, 0);
  EXPECT_EQ(pages.applied[2].value, 0) << "the brightness the sheet opened with";
  EXPECT_EQ(pages.applied[3].page, 1);
  EXPECT_EQ(pages.applied[3].value, 0);
}

TEST(QtPropertySheet, ApplyKeepsWhatIsAppliedAndCancelTakesBackOnlyTheRest) {
  RecordingPages pages;
  platform::QtPropertySheet sheet(pages, nullptr);
  sheet.SetLiveApply(true);
  EXPECT_EQ(sheet.windowTitle(), "USB Camera Properties");
  QWidget* sharpness = sheet.Editor(1, 3);
  EXPECT_FALSE(sharpness->isEnabled()) << "greyed while it is automatic";
  static_cast<QCheckBox*>(sheet.Editor(1, 2))->setChecked(false);
  EXPECT_TRUE(sharpness->isEnabled()) << "settable once automatic is off";
  sharpness->findChild<QSpinBox*>("value")->setValue(6);
  EXPECT_EQ(pages.sharpness_, 6);
  sheet.Commit();  // Apply
  sheet.Editor(0, 0)->findChild<QSpinBox*>("value")->setValue(30);
  sheet.reject();
  EXPECT_EQ(pages.brightness_, 0) << "not applied: taken back";
  EXPECT_EQ(pages.auto_, 0) << "applied: kept";
  EXPECT_EQ(pages.sharpness_, 6);
}

TEST(QtPropertySheet, PageWithoutPropertiesSaysSoAndOffersOnlyClose) {
  class NoPages : public media::PropertyPages {
   public:
    std::vector<media::PropertyPage> Pages() override { return {{"Audio Input", {}}}; }
    bool Apply(int, int, int32_t) override { return false; }
  } pages;
  platform::QtPropertySheet sheet(pages, nullptr);
  bool said = false;
  for (QLabel* label : sheet.findChildren<QLabel*>()) said |= label->text().contains("no settings");
  EXPECT_TRUE(said);
  auto* buttons = sheet.findChild<QDialogButtonBox*>();
  ASSERT_NE(buttons, nullptr);
  EXPECT_EQ(buttons->standardButtons(), QDialogButtonBox::Close);
  EXPECT_FALSE(sheet.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));

  // The texts go through the interface's language; the tab title and the notice too.
  platform::QtPropertySheet french(pages, nullptr, [](const std::string& english) {
    return english == "Audio Input" ? std::string("Entrée audio") : "[" + english + "]";
  });
  EXPECT_EQ(french.findChild<QTabWidget*>()->tabText(0), QString::fromUtf8("Entrée audio"));
  said = false;
  for (QLabel* label : french.findChildren<QLabel*>())
    said |= label->text() == QStringLiteral("[This device has no settings to change.]");
  EXPECT_TRUE(said);
}

}  // namespace
