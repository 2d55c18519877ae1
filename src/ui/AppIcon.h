#pragma once

#include <QIcon>

namespace dokivo {

// The program's icon (a sheet going into a folder), the same drawing the desktop shows: the main
// window's icon and the notification-area icon.
QIcon applicationIcon();

}  // namespace dokivo
