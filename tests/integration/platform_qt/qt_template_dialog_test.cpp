// The three dialogs on Qt, offscreen: their controls and ids, their texts in every
// language, a layout from dialog units that shows every text whole, the digits-only
// edits, and the data exchange that keeps the dialog open with the focus in the box.
#include "platform/qt/qt_template_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "i18n/lang_text_table.h"
#include "i18n/settings_dialogs.h"
#include "platform/fakes/fake_window.h"
#include "platform/fakes/no_window_events.h"
#include "platform/qt/qt_frame_window.h"
#include "res/dialog_templates.h"

namespace {

using platform::QtTemplateDialog;
using namespace dialog_id;

// Runs every dialog on Qt; the test acts inside the modal loop once it is shown.
class QtDialogHost : public platform::FakeWindow {
 public:
  std::function<void(QtTemplateDialog&)> whileShown;

  int RunModalDialog(const platform::DialogTemplate& resource, platform::DialogLogic& logic,
                     platform::DialogOwner) override {
    QtTemplateDialog dialog(resource, logic, nullptr, nullptr, QStringLiteral("Pelquin "));
    QTimer::singleShot(0, &dialog, [this, &dialog] {
      if (whileShown) whileShown(dialog);
      if (dialog.isVisible()) dialog.done(-2);  // the test left it open
    });
    return dialog.exec();
  }
};

// Answers the next message box and notes what it said.
struct MessageAnswer {
  QString text, title;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  bool seen = false;
  void Arm() {
    QTimer::singleShot(0, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      seen = true;
      text = box->text();
      title = box->windowTitle();
      icon = box->icon();
      box->accept();
    });
  }
};

QString Text(QWidget* w) {
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
  if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
  if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
  return {};
}

QString Q(const char* s) { return QString::fromUtf8(s); }

// Every control inside the dialog, no two overlapping, every text whole in its control.
void ExpectTextsFit(QtTemplateDialog& d, const platform::DialogTemplate& resource) {
  std::vector<QWidget*> widgets;
  for (const platform::DialogControl& c : resource.controls) {
    QWidget* w = c.id == platform::kNoControlId ? d.findChild<QWidget*>("icon") : d.Control(c.id);
    ASSERT_NE(w, nullptr) << c.id;
    widgets.push_back(w);
    EXPECT_TRUE(d.rect().contains(w->geometry())) << c.id;
    QFontMetrics fm(w->font());
    const QString text = Text(w);
    if (qobject_cast<QCheckBox*>(w)) {
      EXPECT_LE(w->sizeHint().width(), w->width()) << c.id << " " << text.toStdString();
    } else if (qobject_cast<QLabel*>(w) || qobject_cast<QPushButton*>(w)) {
      EXPECT_LE(fm.horizontalAdvance(text), w->width()) << c.id << " " << text.toStdString();
    }
    EXPECT_LE(fm.height(), w->height()) << c.id;
  }
  for (size_t i = 0; i < widgets.size(); ++i) {
    for (size_t j = i + 1; j < widgets.size(); ++j) {
      EXPECT_FALSE(widgets[i]->geometry().intersects(widgets[j]->geometry()))
          << resource.resourceId << ": " << widgets[i]->objectName().toStdString() << " and "
          << widgets[j]->objectName().toStdString();
    }
  }
}

TEST(QtTemplateDialogTest, PlacesControlsFromDialogUnitsOfTheDialogFont) {
  QFont font = QtTemplateDialog::DialogFont("宋体", 9);
  EXPECT_EQ(font.pointSize(), 9);
  // A face that writes Chinese: the dialog's texts must never show empty boxes.
  EXPECT_TRUE(QFontMetrics(font).inFontUcs4(0x5E27)) << font.family().toStdString();
  QSize bu = QtTemplateDialog::BaseUnits(font);
  QFontMetrics fm(font);
  EXPECT_EQ(bu.height(), fm.height());
  EXPECT_NEAR(bu.width() * 52,
              fm.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"), 26);
  // Dialog units round as the platform rounds them: half a pixel up.
  EXPECT_EQ(QtTemplateDialog::MapDialogRect(19, 13, 99, 10, {6, 12}), QRect(29, 20, 149, 15));

  QtDialogHost host;
  int32_t on = 1;
  int rate = 30;
  host.whileShown = [&](QtTemplateDialog& d) {
    EXPECT_EQ(d.TemplateSize(),
              QSize((131 * d.BaseUnits().width() + 2) / 4, (90 * d.BaseUnits().height() + 4) / 8));
    // English texts fit the template: nothing grows.
    EXPECT_EQ(d.size(), d.TemplateSize());
    QWidget* edit = d.Control(kFrameRateEdit);
    EXPECT_EQ(edit->geometry(), QtTemplateDialog::MapDialogRect(20, 39, 39, 13, d.BaseUnits()));
    EXPECT_EQ(d.Control(kCancel)->geometry(),
              QtTemplateDialog::MapDialogRect(69, 62, 44, 13, d.BaseUnits()));
    d.reject();
  };
  CSetFrameRateDlg(host, on, rate, 0).DoModal();
}

TEST(QtTemplateDialogTest, TheControlsOfEachTemplateAreThereWithTheirIds) {
  QtDialogHost host;
  int32_t flag = 0;
  int value = 5;
  int checked = 0;
  host.whileShown = [&](QtTemplateDialog& d) {
    ++checked;
    const int rid = d.objectName() == "dialog_133"   ? 133
                    : d.objectName() == "dialog_134" ? 134
                                                     : 100;
    if (rid == 133) {
      EXPECT_NE(qobject_cast<QCheckBox*>(d.Control(kFrameRateEnable)), nullptr);
      EXPECT_NE(qobject_cast<QLabel*>(d.Control(kFrameRateLabel)), nullptr);
      EXPECT_NE(qobject_cast<QLineEdit*>(d.Control(kFrameRateEdit)), nullptr);
      EXPECT_NE(qobject_cast<QLabel*>(d.Control(kFrameRateUnit)), nullptr);
    } else if (rid == 134) {
      EXPECT_NE(qobject_cast<QCheckBox*>(d.Control(kTimeLimitEnable)), nullptr);
      EXPECT_NE(qobject_cast<QLabel*>(d.Control(kTimeLimitLabel)), nullptr);
      EXPECT_NE(qobject_cast<QLineEdit*>(d.Control(kTimeLimitEdit)), nullptr);
      EXPECT_NE(qobject_cast<QLabel*>(d.Control(kTimeLimitUnit)), nullptr);
    } else {
      EXPECT_NE(qobject_cast<QLabel*>(d.Control(kAboutVersion)), nullptr);
      EXPECT_NE(qobject_cast<QLabel*>(d.Control(kAboutCopyright)), nullptr);
      auto* icon = d.findChild<QLabel*>("icon");
      ASSERT_NE(icon, nullptr);
      EXPECT_FALSE(icon->pixmap().isNull());
      EXPECT_EQ(d.Control(kCancel), nullptr);
    }
    auto* ok = qobject_cast<QPushButton*>(d.Control(kOk));
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(ok->isDefault());
    if (rid != 100) {
      auto* cancel = qobject_cast<QPushButton*>(d.Control(kCancel));
      ASSERT_NE(cancel, nullptr);
      EXPECT_FALSE(cancel->isDefault());
    }
    d.reject();
  };
  CSetFrameRateDlg(host, flag, value, 0).DoModal();
  CUseTimeLimitDlg(host, flag, value, 0).DoModal();
  CAboutDlg(host, 0).DoModal();
  EXPECT_EQ(checked, 3);
}

TEST(QtTemplateDialogTest, EveryLanguageShowsItsTextsWholeInsideTheControls) {
  QtDialogHost host;
  int32_t flag = 1;
  int value = 60;
  for (int lang = 0; lang < kLanguageCount; ++lang) {
    SCOPED_TRACE(lang);
    host.whileShown = [&](QtTemplateDialog& d) {
      EXPECT_EQ(d.windowTitle(), Q(LangText(TXT_FRAMERATE_CAPTION, lang)));
      EXPECT_EQ(Text(d.Control(kFrameRateEnable)), Q(LangText(TXT_FRAMERATE_ENABLE, lang)));
      EXPECT_EQ(Text(d.Control(kFrameRateLabel)), Q(LangText(TXT_FRAMERATE_LABEL, lang)));
      EXPECT_EQ(Text(d.Control(kFrameRateUnit)), Q(LangText(TXT_FRAMERATE_UNIT, lang)));
      EXPECT_EQ(Text(d.Control(kOk)), Q(LangText(TXT_OK, lang)));
      EXPECT_EQ(Text(d.Control(kCancel)), Q(LangText(TXT_CANCEL, lang)));
      EXPECT_EQ(Text(d.Control(kFrameRateEdit)), "60");
      EXPECT_TRUE(static_cast<QCheckBox*>(d.Control(kFrameRateEnable))->isChecked());
      ExpectTextsFit(d, DialogResource133());
      if (lang == 1) {
        EXPECT_EQ(d.size(), d.TemplateSize());  // the template's own language
      }
      d.reject();
    };
    CSetFrameRateDlg(host, flag, value, lang).DoModal();

    host.whileShown = [&](QtTemplateDialog& d) {
      EXPECT_EQ(d.windowTitle(), Q(LangText(TXT_TIMELIMIT_CAPTION, lang)));
      EXPECT_EQ(Text(d.Control(kTimeLimitEnable)), Q(LangText(TXT_TIMELIMIT_ENABLE, lang)));
      EXPECT_EQ(Text(d.Control(kTimeLimitLabel)), Q(LangText(TXT_TIMELIMIT_LABEL, lang)));
      EXPECT_EQ(Text(d.Control(kTimeLimitUnit)), Q(LangText(TXT_TIMELIMIT_UNIT, lang)));
      EXPECT_EQ(Text(d.Control(kOk)), Q(LangText(TXT_OK, lang)));
      EXPECT_EQ(Text(d.Control(kCancel)), Q(LangText(TXT_CANCEL, lang)));
      ExpectTextsFit(d, DialogResource134());
      if (lang == 1) {
        EXPECT_EQ(d.size(), d.TemplateSize());
      }
      d.reject();
    };
    CUseTimeLimitDlg(host, flag, value, lang).DoModal();

    host.whileShown = [&](QtTemplateDialog& d) {
      EXPECT_EQ(d.windowTitle(), Q(LangText(TXT_ABOUT_CAPTION, lang)));
      EXPECT_EQ(Text(d.Control(kAboutVersion)), Q(LangText(TXT_ABOUT_VERSION, lang)));
      EXPECT_EQ(Text(d.Control(kAboutCopyright)), Q(LangText(TXT_ABOUT_COPYRIGHT, lang)));
      EXPECT_EQ(Text(d.Control(kOk)), Q(LangText(TXT_OK, lang)));
      ExpectTextsFit(d, DialogResource100());
      d.reject();
    };
    CAboutDlg(host, lang).DoModal();
  }
}

TEST(QtTemplateDialogTest, TheEditTakesDigitsOnlyAndTheCheckBoxTogglesItself) {
  QtDialogHost host;
  int32_t on = 1;
  int rate = 30;
  host.whileShown = [&](QtTemplateDialog& d) {
    auto* edit = static_cast<QLineEdit*>(d.Control(kFrameRateEdit));
    edit->clear();
    QTest::keyClicks(edit, "-1a2 .3");
    EXPECT_EQ(edit->text(), "123");
    edit->clear();
    edit->insert("4x5");  // a paste of something that is not a number is refused
    EXPECT_EQ(edit->text(), "");
    QTest::keyClicks(edit, "45");
    auto* box = static_cast<QCheckBox*>(d.Control(kFrameRateEnable));
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_FALSE(box->isChecked());
    QTest::keyClick(edit, Qt::Key_Return);  // Enter is the default button
  };
  EXPECT_EQ(CSetFrameRateDlg(host, on, rate, 0).DoModal(), kIdOk);
  EXPECT_EQ(on, 0);
  EXPECT_EQ(rate, 45);
}

TEST(QtTemplateDialogTest, ABadEntryPromptsAndKeepsTheDialogOpenWithTheFocusInTheBox) {
  struct Case {
    const char* typed;
    const char* prompt;
  };
  const Case cases[] = {{"0", "请输入一个在 1 和 60 之间的整数。"},
                        {"61", "请输入一个在 1 和 60 之间的整数。"},
                        {"", "请输入一个正整数。"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    QtDialogHost host;
    int32_t on = 1;
    int rate = 30;
    MessageAnswer answer;
    host.whileShown = [&](QtTemplateDialog& d) {
      d.activateWindow();
      auto* edit = static_cast<QLineEdit*>(d.Control(kFrameRateEdit));
      edit->setText(QString::fromUtf8(c.typed));
      static_cast<QCheckBox*>(d.Control(kFrameRateEnable))->setChecked(false);
      answer.Arm();
      static_cast<QPushButton*>(d.Control(kOk))->click();
      EXPECT_TRUE(answer.seen);
      EXPECT_EQ(answer.text, Q(c.prompt));
      EXPECT_EQ(answer.title, "Pelquin ");
      EXPECT_EQ(answer.icon, QMessageBox::Warning);
      EXPECT_TRUE(d.isVisible());
      EXPECT_EQ(d.focusWidget(), edit);
      EXPECT_EQ(edit->selectedText(), edit->text());
      QTest::keyClick(&d, Qt::Key_Escape);
    };
    EXPECT_EQ(CSetFrameRateDlg(host, on, rate, 0).DoModal(), kIdCancel);
    EXPECT_EQ(on, 1);
    EXPECT_EQ(rate, 30);
  }
}

TEST(QtTemplateDialogTest, CancelEscapeAndTheCloseBoxStoreNothing) {
  const std::function<void(QtTemplateDialog&)> ends[] = {
      [](QtTemplateDialog& d) { static_cast<QPushButton*>(d.Control(kCancel))->click(); },
      [](QtTemplateDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); },
      [](QtTemplateDialog& d) { d.close(); },
  };
  for (const auto& end : ends) {
    QtDialogHost host;
    int32_t on = 0;
    int seconds = 30;
    host.whileShown = [&](QtTemplateDialog& d) {
      static_cast<QLineEdit*>(d.Control(kTimeLimitEdit))->setText("4294967295");
      static_cast<QCheckBox*>(d.Control(kTimeLimitEnable))->setChecked(true);
      end(d);
      EXPECT_FALSE(d.isVisible());
    };
    EXPECT_EQ(CUseTimeLimitDlg(host, on, seconds, 2).DoModal(), kIdCancel);
    EXPECT_EQ(on, 0);
    EXPECT_EQ(seconds, 30);
  }
}

TEST(QtTemplateDialogTest, OkWithoutChangesStoresTheValuesTheFrameHad) {
  QtDialogHost host;
  int32_t on = 0;
  int rate = 60;
  host.whileShown = [](QtTemplateDialog& d) { static_cast<QPushButton*>(d.Control(kOk))->click(); };
  EXPECT_EQ(CSetFrameRateDlg(host, on, rate, 7).DoModal(), kIdOk);
  EXPECT_EQ(on, 0);
  EXPECT_EQ(rate, 60);
}

TEST(QtTemplateDialogTest, TheTimeLimitTakesTheLargestUnsignedNumber) {
  QtDialogHost host;
  int32_t on = 0;
  int seconds = 30;
  host.whileShown = [&](QtTemplateDialog& d) {
    auto* edit = static_cast<QLineEdit*>(d.Control(kTimeLimitEdit));
    edit->clear();
    QTest::keyClicks(edit, "4294967295");
    QTest::mouseClick(d.Control(kTimeLimitEnable), Qt::LeftButton);
    static_cast<QPushButton*>(d.Control(kOk))->click();
  };
  EXPECT_EQ(CUseTimeLimitDlg(host, on, seconds, 0).DoModal(), kIdOk);
  EXPECT_EQ(on, 1);
  EXPECT_EQ(seconds, CUseTimeLimitDlg::kLargestStoredLimit);
}

// The About box through the frame window: no parent, over the frame, blocking the
// application, showing the application's icon.
TEST(QtTemplateDialogTest, TheAboutBoxStandsOverTheFrameWithTheApplicationIcon) {
  QPixmap red(32, 32);
  red.fill(Qt::red);
  QApplication::setWindowIcon(QIcon(red));
  platform::NoWindowEvents events;
  platform::QtFrameWindow window({"Pelquin ", 400, 300}, events);
  window.move(100, 80);
  window.Show();
  bool seen = false;
  QTimer::singleShot(0, [&] {
    auto* d = dynamic_cast<QtTemplateDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(d, nullptr);
    seen = true;
    EXPECT_EQ(d->parentWidget(), nullptr);
    EXPECT_EQ(d->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(d->windowTitle(), "About Ostrel");
    const QPoint offset = d->frameGeometry().center() - window.frameGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 4);
    auto* icon = d->findChild<QLabel*>("icon");
    ASSERT_NE(icon, nullptr);
    QImage shown = icon->pixmap().toImage();
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(shown.pixelColor(shown.width() / 2, shown.height() / 2), QColor(Qt::red));
    QTest::keyClick(d, Qt::Key_Return);
  });
  EXPECT_EQ(CAboutDlg(window, 0).DoModal(), kIdOk);
  EXPECT_TRUE(seen);
  QApplication::setWindowIcon(QIcon());
}

// Fixed-size dialogs and message boxes offer no minimise or maximise button; Qt's own
// buttons speak the interface's language; Latin text is in the interface's sans face, CJK
// text in the language's CJK face.
TEST(QtTemplateDialogTest, DialogsLookFinishedInTheInterfacesLanguage) {
  const QFont before = QApplication::font();
  const auto noMinMax = [](QWidget* w) {
    return (w->windowFlags() & Qt::CustomizeWindowHint) &&
           !(w->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
  };
  platform::NoWindowEvents events;
  platform::QtFrameWindow window({"Pelquin ", 400, 300}, events);
  struct Case {
    const char* locale;
    const char* cjkFace;
    const char* cancel;
  };
  for (const Case& c :
       {Case{"fr", "Noto Sans CJK SC", "Annuler"}, Case{"zh_CN", "Noto Sans CJK SC", "取消"},
        Case{"ja", "Noto Sans CJK JP", "キャンセル"}, Case{"zh_TW", "Noto Sans CJK TC", "取消"}}) {
    SCOPED_TRACE(c.locale);
    window.SetInterfaceLanguage({c.locale, {}});
    const QFont font = QtTemplateDialog::DialogFont("宋体", 9);
    const QStringList families = font.families();
    ASSERT_GE(families.size(), 2);
    EXPECT_EQ(families.last(), QString::fromLatin1(c.cjkFace));
    EXPECT_FALSE(QFontInfo(font).family().contains("CJK"))
        << "Latin text in the sans face: " << families.join(",").toStdString() << " -> "
        << QFontInfo(font).family().toStdString();
    EXPECT_FALSE(QFontInfo(font).family().contains("Serif"));
    QString cancel;
    bool finished = false;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      finished = noMinMax(box);
      cancel = box->button(QMessageBox::Cancel)->text();
      box->reject();
    });
    window.ShowMessage("?", "", platform::MessageIcon::Question,
                       platform::MessageButtons::OkCancel);
    EXPECT_TRUE(finished);
    EXPECT_TRUE(cancel.contains(QString::fromUtf8(c.cancel))) << cancel.toStdString();
  }
  QtDialogHost host;
  bool finished = false;
  host.whileShown = [&](QtTemplateDialog& d) {
    finished = noMinMax(&d);
    d.reject();
  };
  CAboutDlg(host, 0).DoModal();
  EXPECT_TRUE(finished);
  window.SetInterfaceLanguage({"en", {}});
  QApplication::setFont(before);
}

}  // namespace
