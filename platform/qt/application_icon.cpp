// The application's icon from the resource compiled into the Qt layer.
#include "platform/qt/application_icon.h"

#include <QFile>

namespace platform {

QIcon ApplicationIcon() {
  QIcon icon;
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    QString file = QStringLiteral(":/icons/ostrel_%1.png").arg(size);
    if (QFile::exists(file)) icon.addFile(file, QSize(size, size));
  }
  return icon;
}

}  // namespace platform
