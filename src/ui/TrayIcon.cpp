#include "ui/TrayIcon.h"

#include <QCursor>

#include "app/Startup.h"

namespace dokivo {

TrayIcon::TrayIcon(const QIcon& icon, QObject* parent)
    : QObject(parent), icon_(icon), menu_(QStringLiteral("&Systray")) {
    menu_.setObjectName(QStringLiteral("mPopupSys"));
    restore_ = menu_.addAction(QStringLiteral("&Visualizza Dokivo"));
    restore_->setObjectName(QStringLiteral("mPopRestore"));
    exit_ = menu_.addAction(QStringLiteral("&Chiudi Dokivo"));
    exit_->setObjectName(QStringLiteral("mPopExit"));
    connect(restore_, &QAction::triggered, this, &TrayIcon::restoreRequested);
    connect(exit_, &QAction::triggered, this, &TrayIcon::exitRequested);

    icon_.setToolTip(kApplicationTitle);
    // The menu is not handed to the icon: the right click opens it here, through the same
    // decision as the other clicks.
    connect(&icon_, &QSystemTrayIcon::activated, this, &TrayIcon::onActivated);
}

void TrayIcon::add() {
    if (QSystemTrayIcon::isSystemTrayAvailable())
        icon_.show();
}

void TrayIcon::remove() {
    icon_.hide();
}

void TrayIcon::onActivated(QSystemTrayIcon::ActivationReason reason) {
    const TrayAction action = trayActionFor(trayEventCode(reason));
    switch (action) {
        case TrayAction::None:
            break;
        case TrayAction::ShowWindow:
        case TrayAction::ShowAndRestoreWindow:
            Q_EMIT showRequested(action);
            break;
        case TrayAction::PopupMenu:
            menu_.popup(QCursor::pos());
            break;
    }
}

}  // namespace dokivo
