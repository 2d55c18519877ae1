#pragma once

#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>

#include "ui/TrayEvents.h"

namespace dokivo {

// The notification-area icon of the main window, tooltip "Dokivo", with its pop-up menu
// "&Systray": "&Visualizza Dokivo" and "&Chiudi Dokivo". The menu is opened by the icon's own
// right click (never from the window's menu bar). Where the desktop has no notification area
// the icon is never shown, and the window then does not hide when minimised.
class TrayIcon final : public QObject {
    Q_OBJECT
  public:
    explicit TrayIcon(const QIcon& icon, QObject* parent = nullptr);

    // Adds the icon to the notification area, once the desktop offers one.
    void add();
    void remove();
    // The icon is in the notification area, so a hidden window can be brought back through it.
    bool isShown() const { return icon_.isVisible(); }

    QAction* mPopExit() const { return exit_; }

  Q_SIGNALS:
    // A left click or a double click on the icon.
    void showRequested(TrayAction action);
    // "&Visualizza Dokivo".
    void restoreRequested();
    // "&Chiudi Dokivo".
    void exitRequested();

  private:
    void onActivated(QSystemTrayIcon::ActivationReason reason);

    QSystemTrayIcon icon_;
    QMenu menu_;
    QAction* restore_;
    QAction* exit_;
};

}  // namespace dokivo
