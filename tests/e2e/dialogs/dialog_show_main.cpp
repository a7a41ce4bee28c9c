// Opens one of the three dialogs over a real frame window, in the language of the
// environment's locale, the way Ostrel opens it; prints what the dialog stored.
// Usage: dialog_show 133|134|100 [grab.png]
// With a file name the dialog grabs itself into it once shown and closes with Escape.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "i18n/language.h"
#include "i18n/settings_dialogs.h"
#include "i18n/ui_locale.h"
#include "platform/fakes/no_window_events.h"
#include "platform/qt/application_icon.h"
#include "platform/qt/qt_frame_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setWindowIcon(platform::ApplicationIcon());
  const int which = argc > 1 ? std::atoi(argv[1]) : 133;
  const QString grabPath = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
  const int lang = LanguageIndexFromLangId(
      LangIdFromLocale(UiLocaleFromEnvironment([](const char* n) { return std::getenv(n); })));

  platform::NoWindowEvents events;
  platform::QtFrameWindow window({"Pelquin ", 360, 320}, events);
  window.move(0, 0);
  window.Show();

  if (!grabPath.isEmpty()) {
    QTimer::singleShot(500, [grabPath] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->grab().save(grabPath);
        modal->close();
      }
    });
  }
  int32_t enabled = 1;
  int value = which == 134 ? 30 : 25;
  int result = 0;
  if (which == 133) {
    result = CSetFrameRateDlg(window, enabled, value, lang).DoModal();
  } else if (which == 134) {
    result = CUseTimeLimitDlg(window, enabled, value, lang).DoModal();
  } else {
    result = CAboutDlg(window, lang).DoModal();
  }
  std::printf("language %d result %d enabled %d value %d\n", lang, result, enabled, value);
  return 0;
}
