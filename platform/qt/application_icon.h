// The application's icon (icon 128), compiled into the program as a Qt resource.
#pragma once

#include <QIcon>

namespace platform {

// Every size of the icon; null when the resource is not linked in.
QIcon ApplicationIcon();

}  // namespace platform
