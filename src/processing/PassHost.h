#pragma once

#include <QString>

namespace dokivo {

// What a folder pass needs from whoever shows things to the operator (the main window, or
// standard output for the console program). The pass never talks to a window directly.
class PassHost {
  public:
    enum class MessageIcon { None, Exclamation };

    virtual ~PassHost() = default;

    // Repaint the operations list at once (the pass may be holding the thread).
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
};

}  // namespace dokivo
