// Dialog frames and fonts.
#include "platform/qt/dialog_look.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QWidget>

namespace platform {

Qt::WindowFlags FixedDialogFlags() {
  return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
         Qt::WindowCloseButtonHint;
}

void UseFixedDialogFrame(QWidget* dialog) { dialog->setWindowFlags(FixedDialogFlags()); }

QString CjkFace(const QString& locale) {
  QStringList wanted;
  if (locale.startsWith(QLatin1String("ja")))
    wanted = {"Noto Sans CJK JP", "Source Han Sans JP", "IPAGothic", "TakaoGothic"};
  else if (locale == QLatin1String("zh_TW") || locale == QLatin1String("zh_HK"))
    wanted = {"Noto Sans CJK TC", "Source Han Sans TC", "AR PL UKai TW"};
  wanted << "Noto Sans CJK SC"
         << "Source Han Sans SC"
         << "WenQuanYi Zen Hei"
         << "WenQuanYi Micro Hei"
         << "Droid Sans Fallback";
  const QStringList have = QFontDatabase::families();
  for (const QString& face : wanted)
    if (have.contains(face, Qt::CaseInsensitive)) return face;
  return {};
}

QFont InterfaceFont(const QString& locale) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  font.setStyleHint(QFont::SansSerif);
  // The desktop's font may name an alias ("Sans Serif") that only the fontconfig match
  // turns into a face; in a list of families Qt would pass over it to the CJK face.
  QStringList families = {QFontInfo(font).family()};
  // Behind the Latin face: first in the list, the CJK face would draw the Latin text too.
  const QString cjk = CjkFace(locale);
  if (!cjk.isEmpty() && !families.contains(cjk)) families << cjk;
  font.setFamilies(families);
  return font;
}

}  // namespace platform
