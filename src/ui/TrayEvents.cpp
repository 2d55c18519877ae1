#include "ui/TrayEvents.h"

namespace dokivo {

TrayAction trayActionFor(int eventCode) {
    switch (eventCode) {
        case kTrayLeftButtonUp:
            return TrayAction::ShowWindow;
        case kTrayLeftDoubleClick:
            return TrayAction::ShowAndRestoreWindow;
        case kTrayRightButtonUp:
            return TrayAction::PopupMenu;
        default:
            return TrayAction::None;
    }
}

int trayEventCode(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
        case QSystemTrayIcon::Trigger:
            return kTrayLeftButtonUp;
        case QSystemTrayIcon::DoubleClick:
            return kTrayLeftDoubleClick;
        case QSystemTrayIcon::Context:
            return kTrayRightButtonUp;
        case QSystemTrayIcon::MiddleClick:
        case QSystemTrayIcon::Unknown:
            break;
    }
    return 0;
}

}  // namespace dokivo
