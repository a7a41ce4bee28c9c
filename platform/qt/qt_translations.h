// Qt's own texts (standard buttons, the folder browser) in the interface's language.
#pragma once

#include <QString>

namespace platform {

// Installs Qt's translations for a POSIX locale name ("zh_CN", "fr") from Qt's
// translations folder, replacing ones installed before, and makes the locale the default
// one. False when Qt has no translations for it (English needs none).
bool InstallQtTranslations(const QString& locale);

}  // namespace platform
