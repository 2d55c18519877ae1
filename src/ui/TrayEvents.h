#pragma once

#include <QSystemTrayIcon>

namespace dokivo {

// The tray icon's mouse events, numbered as the window's own mouse messages.
inline constexpr int kTrayLeftButtonUp = 514;
inline constexpr int kTrayLeftDoubleClick = 515;
inline constexpr int kTrayRightButtonUp = 517;

enum class TrayAction {
    None,
    ShowWindow,            // back to its normal state, in front, shown
    ShowAndRestoreWindow,  // the same, then the restore of "&Visualizza Dokivo" (activated too)
    PopupMenu              // "&Visualizza Dokivo" / "&Chiudi Dokivo" at the mouse position
};

// What an event on the tray icon does; every code but the three above does nothing.
TrayAction trayActionFor(int eventCode);

// The event code a Qt activation of the tray icon stands for; 0 for one that has none.
int trayEventCode(QSystemTrayIcon::ActivationReason reason);

}  // namespace dokivo
