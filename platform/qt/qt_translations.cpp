// Qt's translations, loaded once for the language the program chose.
#include "platform/qt/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace platform {

bool InstallQtTranslations(const QString& locale) {
  static QTranslator* installed = nullptr;
  if (installed) {
    QCoreApplication::removeTranslator(installed);
    delete installed;
    installed = nullptr;
  }
  const QLocale chosen(locale);
  QLocale::setDefault(chosen);
  if (chosen.language() == QLocale::English) return false;
  auto* translator = new QTranslator(QCoreApplication::instance());
  // qtbase holds the standard buttons, the message boxes and the file dialog.
  if (!translator->load(chosen, QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  QCoreApplication::installTranslator(translator);
  installed = translator;
  return true;
}

}  // namespace platform
