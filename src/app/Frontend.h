#pragma once

#include <QString>

namespace dokivo {

// Whoever shows things to the operator: the main window, or standard output for the console
// program. The core never talks to a window directly.
class Frontend {
  public:
    enum class MessageIcon { None, Information, Exclamation };

    virtual ~Frontend() = default;

    // Repaint the operations list at once (the core may be holding the thread).
    virtual void refreshList() = 0;
    // A message box with an OK button; returns once it is dismissed. An empty title means the
    // application's own title.
    virtual void showMessage(const QString& text, MessageIcon icon = MessageIcon::None,
                             const QString& title = {}) = 0;
    // Let pending window events run (timer ticks and button presses included).
    virtual void processPendingEvents() = 0;
    // The operator code and the reception date as typed at this moment.
    virtual QString operatorCode() const = 0;
    virtual QString receptionDate() const = 0;

    // Start-up and close of the main window; the console has no window and ignores them.
    virtual void setWindowCaption(const QString&) {}
    virtual void showMainWindow() {}
    virtual void setListHorizontalExtent(int) {}
    virtual void addTrayIcon() {}
    virtual void removeTrayIcon() {}
    // Ask for the main window to close (end of an unattended run).
    virtual void requestClose() {}

    // The schedule's visible state: the run button's caption and Timer1.
    virtual void setRunCaption(const QString&) {}
    virtual void setTimerEnabled(bool) {}
};

}  // namespace dokivo
